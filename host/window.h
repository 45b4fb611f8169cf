// The base of every control wrapper: a window the script names, as the
// library talks to it. It holds the handle and never owns it (the script's
// dialog owns its controls). Its Send is the library's one way to send a
// message: it never sends to 0xFFFF, which the platform reads as
// HWND_BROADCAST (every top-level window of the desktop, in every process),
// nor to -1, which Wine reads the same way, nor to 0; they give 0, as a
// message to a handle that names no window does.
#pragma once

#include "host/handles.h"

#include <windows.h>

#include <cstdint>

namespace vantor {

class Window {
public:
    Window() = default;
    explicit Window(HWND handle) : handle_(handle) {}

    HWND hwnd() const { return handle_; }
    operator HWND() const { return handle_; }

    // False for 0, for 0xFFFF and for -1 (HWND_TOPMOST, which Wine's message
    // functions read as HWND_BROADCAST too): no message goes there.
    bool Addressable() const { return handle_ != nullptr && handle_ != HWND_BROADCAST && handle_ != HWND_TOPMOST; }

    LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) const {
        return Addressable() ? SendMessageA(handle_, message, w, l) : 0;
    }
    template <class Record>
    LRESULT Send(UINT message, WPARAM w, Record* record) const {
        return Send(message, w, reinterpret_cast<LPARAM>(record));
    }
    // The same through the wide entry (for records whose size tells the
    // control their layout).
    template <class Record>
    LRESULT SendWide(UINT message, WPARAM w, Record* record) const {
        return Addressable() ? SendMessageW(handle_, message, w, reinterpret_cast<LPARAM>(record)) : 0;
    }
    // The control's answer as the script's 32-bit integer.
    std::int32_t SendForInt(UINT message, WPARAM w = 0, LPARAM l = 0) const {
        return static_cast<std::int32_t>(Send(message, w, l));
    }

private:
    HWND handle_ = nullptr;
};

// While it lives, a window about to have many of its items changed does
// not repaint: the change then costs one repaint at the end instead of one
// invalidation per item (each a trip to the window manager). Switching
// painting back on costs about as much as a few hundred invalidations (the
// control recomputes its scroll bars), so a change of fewer items than
// kItemsWorthPausing goes unpaused. A hidden window is left alone: switching
// painting back on would show it (the platform's default handling of
// WM_SETREDRAW sets WS_VISIBLE).
class PausedRedraw {
public:
    static constexpr int kItemsWorthPausing = 1000;

    PausedRedraw(const Window& window, int items)
        : window_(items >= kItemsWorthPausing && window.Addressable() &&
                          (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0
                      ? window
                      : Window()) {
        window_.Send(WM_SETREDRAW, FALSE);
    }
    PausedRedraw(const PausedRedraw&) = delete;
    PausedRedraw& operator=(const PausedRedraw&) = delete;
    ~PausedRedraw() {
        if (!window_.Addressable()) return;
        window_.Send(WM_SETREDRAW, TRUE);
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }

private:
    Window window_;
};

// Deletes, from the last of count items down to the first, each item that
// doomed(index) picks, with erase(index): going from the end, a deletion
// never moves an item still to be looked at. A long list repaints once, at
// the end (PausedRedraw).
template <class Doomed, class Erase>
void DeleteBackwardsPaused(const Window& window, int count, Doomed doomed, Erase erase) {
    const PausedRedraw paused(window, count);
    for (int index = count - 1; index >= 0; --index)
        if (doomed(index)) erase(index);
}

}  // namespace vantor
