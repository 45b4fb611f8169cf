// Typed data kept with one window, in the manner of an owner: WindowData<T>
// makes a T on the window's first use, attaches it to the window as the
// reference data of a subclass of its own (id T::kSubclassId, see
// SubclassId) and frees it as the window is destroyed (WM_NCDESTROY), or
// when Drop lets it go first. Nothing else ever frees it, so no family
// writes a delete of its own.
//
// A T that answers some of the window's messages itself has a member
//     std::optional<LRESULT> OnMessage(HWND window, UINT message, WPARAM, LPARAM);
// giving the answer for a message it handled and nullopt for one the
// window's next procedure is to handle; Next gives it that procedure's
// answer when it is to work around it. OnMessage may Drop the data of its
// own window (it must not touch its members after that). What T does as the
// window goes belongs in its destructor. Whatever OnMessage throws ends at
// the subclass procedure, and the message goes on as if the subclass were
// not there.
#pragma once

#include "controls/subclass.h"
#include "host/callback_guard.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <utility>

namespace vantor {

template <class T>
class WindowData {
public:
    WindowData() = delete;

    // The data window carries, or null.
    static T* Of(HWND window) {
        DWORD_PTR data = 0;
        if (window == nullptr || !GetWindowSubclass(window, &Procedure, T::kSubclassId, &data)) return nullptr;
        return reinterpret_cast<T*>(data);
    }

    // The data window carries, made from start on its first use; null when
    // the window cannot carry any (no window, or one of another thread).
    template <class... Start>
    static T* For(HWND window, Start&&... start) {
        if (T* data = Of(window)) return data;
        if (window == nullptr || !IsWindow(window)) return nullptr;
        auto made = std::make_unique<T>(std::forward<Start>(start)...);
        if (!Subclass(window, &Procedure, T::kSubclassId, reinterpret_cast<DWORD_PTR>(made.get()))) return nullptr;
        return made.release();  // the subclass holds it from here
    }

    // The answer of the window's procedure below the data (the procedures
    // subclassed before it, then the window's own) to a message, for an
    // OnMessage that works around that answer: paints over what the window
    // painted, say. Only inside OnMessage, for the message it was given or
    // one in its place.
    static LRESULT Next(HWND window, UINT message, WPARAM w, LPARAM l) {
        return DefSubclassProc(window, message, w, l);
    }

    // Frees the data window carries (if any) now; the window carries none after.
    static void Drop(HWND window) {
        const std::unique_ptr<T> data(Of(window));
        if (data) RemoveWindowSubclass(window, &Procedure, T::kSubclassId);
    }

private:
    // The subclass procedure: Body behind the guard every subclass of the
    // library has, so that what OnMessage throws passes the message on.
    static LRESULT Body(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR data) {
        if (message == WM_NCDESTROY) {
            RemoveWindowSubclass(window, &Procedure, id);
            const std::unique_ptr<T> going(reinterpret_cast<T*>(data));
        } else if constexpr (requires(T & held) { held.OnMessage(window, message, w, l); }) {
            if (const std::optional<LRESULT> answer = reinterpret_cast<T*>(data)->OnMessage(window, message, w, l))
                return *answer;
        }
        return DefSubclassProc(window, message, w, l);
    }
    static constexpr auto& Procedure = GuardedSubclassProc<Body>;
};

}  // namespace vantor
