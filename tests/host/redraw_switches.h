// The WM_SETREDRAW messages a window receives while the recorder lives, in
// order (their wParam): shows whether a function paused a control's painting.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>
#include <vector>

namespace vantor::testing {

class RedrawSwitches {
public:
    explicit RedrawSwitches(HWND window) : window_(window) {
        SetWindowSubclass(window, &Proc, kId, reinterpret_cast<DWORD_PTR>(this));
    }
    ~RedrawSwitches() { RemoveWindowSubclass(window_, &Proc, kId); }
    RedrawSwitches(const RedrawSwitches&) = delete;
    RedrawSwitches& operator=(const RedrawSwitches&) = delete;

    // What arrived since the last call.
    std::vector<WPARAM> Take() { return std::exchange(seen_, {}); }

private:
    static constexpr UINT_PTR kId = 0x5EDA;
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
        if (m == WM_SETREDRAW) reinterpret_cast<RedrawSwitches*>(self)->seen_.push_back(wp);
        return DefSubclassProc(w, m, wp, lp);
    }
    HWND window_;
    std::vector<WPARAM> seen_;
};

}  // namespace vantor::testing
