// The single functions that work on any window or on the desktop: show,
// class name, redraw, remove, and the task bar.

#include "host/arguments.h"
#include "host/vantor.h"

#include <windows.h>

#include <cstdint>

namespace vantor {

// Mode 0 or 2 hides the window, 1 shows it, any other mode does nothing.
std::int32_t CVantor::ccShow(const Call& call) {
    switch (call.integer(2)) {
        case 0:
        case 2: ShowWindow(call.window(1), SW_HIDE); break;
        case 1: ShowWindow(call.window(1), SW_SHOW); break;
        default: break;
    }
    return call.ReturnInteger(0);
}

// The window's class name; the empty text for a handle that is no window.
std::int32_t CVantor::DCCompatible(const Call& call) {
    char name[512];
    const int length = GetClassNameA(call.window(1), name, sizeof name - 1);
    name[length > 0 ? length : 0] = '\0';
    return call.ReturnString(name);
}

// Paints the window and its children now. Handle 0 does nothing (it would
// stand for the whole desktop).
std::int32_t CVantor::RedrawControl(const Call& call) {
    const HWND window = call.window(1);
    if (window != nullptr) RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_VALIDATE);
    return call.ReturnInteger(1);
}

std::int32_t CVantor::RemoveControl(const Call& call) {
    DestroyWindow(call.window(1));
    return call.ReturnInteger(1);
}

// Shows or hides (argument 1, an SW_ value) the task bar and then the first
// top-level "Button" window; the result is the second ShowWindow's answer.
// A window not found is a null handle, for which ShowWindow does nothing.
std::int32_t CVantor::wnTaskBar(const Call& call) {
    const int command = call.integer(1);
    const HWND taskBar = FindWindowA("Shell_TrayWnd", nullptr);
    const HWND button = FindWindowExA(GetDesktopWindow(), nullptr, "Button", nullptr);
    ShowWindow(taskBar, command);
    return call.ReturnInteger(ShowWindow(button, command));
}

}  // namespace vantor
