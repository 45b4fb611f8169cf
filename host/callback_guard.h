// The edge of every function the platform (or the host) calls back: no C++
// exception may unwind through their frames, which are C code. Each such
// function runs its body through CallbackGuard and answers the way that
// kind of callback reports failure when the body throws.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

namespace vantor {

// body(), or fallback() when body throws anything. fallback must not throw
// (the platform's default procedure, a constant).
template <class Body, class Fallback>
auto CallbackGuard(Body&& body, Fallback&& fallback) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        return fallback();
    }
}

// The subclass procedure made of Body (a function of the same parameters
// that may throw): what Body throws ends here, and the message goes on to
// the next procedure as if the subclass were not there.
template <LRESULT (*Body)(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR)>
LRESULT CALLBACK GuardedSubclassProc(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                     DWORD_PTR data) noexcept {
    return CallbackGuard([&] { return Body(window, message, w, l, id, data); },
                         [&] { return DefSubclassProc(window, message, w, l); });
}

// A rich-text box's stream callback made of Body: what Body throws hands
// over no bytes and gives the box a nonzero answer, which ends the stream
// and becomes its dwError.
inline constexpr DWORD kStreamFailed = 1;

template <DWORD (*Body)(DWORD_PTR, LPBYTE, LONG, LONG*)>
DWORD CALLBACK GuardedStreamCallback(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* done) noexcept {
    return CallbackGuard([&] { return Body(cookie, buffer, wanted, done); },
                         [&] {
                             *done = 0;
                             return kStreamFailed;
                         });
}

}  // namespace vantor
