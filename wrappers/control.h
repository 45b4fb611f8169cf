// The base of the control wrappers: Window (host/window.h) with the few
// window calls every control shares, each guarded as Send is, so that none
// reaches 0 (which some of them read as "the whole desktop"), 0xFFFF or -1.
//
// A wrapper (one header per window class in this folder) is one thin member
// per message or platform call: the record filled inside, the control's
// answer as a typed result (bool, int, a handle), no policy. Positions and
// indexes count from 0 here, as the controls count them; the families turn
// script numbers into them (ZeroBased, OneBased). A member whose answer a
// script gets as it came (0, 1 or whatever the window answers) returns it as
// an int.
#pragma once

#include "host/window.h"

#include <windows.h>

namespace vantor {

class Control : public Window {
public:
    using Window::Window;

    DWORD Style() const { return Addressable() ? static_cast<DWORD>(GetWindowLongA(hwnd(), GWL_STYLE)) : 0; }
    void SetStyle(DWORD style) const {
        if (Addressable()) SetWindowLongA(hwnd(), GWL_STYLE, static_cast<LONG>(style));
    }
    void AddStyle(DWORD bits) const { SetStyle(Style() | bits); }
    // The window lays out its frame again after a style change.
    void FrameChanged() const {
        if (Addressable())
            SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    // The whole window repaints, its background erased.
    void Invalidate() const {
        if (Addressable()) InvalidateRect(hwnd(), nullptr, TRUE);
    }
    void Show() const {
        if (Addressable()) ShowWindow(hwnd(), SW_SHOW);
    }
    RECT ClientRect() const {
        RECT r{};
        if (Addressable()) GetClientRect(hwnd(), &r);
        return r;
    }
    // Whether the window is of the class (a name such as WC_BUTTONA, in any case).
    bool IsOfClass(const char* className) const {
        char name[32] = {};
        return Addressable() && GetClassNameA(hwnd(), name, sizeof name) != 0 && lstrcmpiA(name, className) == 0;
    }
};

}  // namespace vantor
