// The single functions that work on any window or on the desktop: show,
// class name, redraw, remove, and the task bar.

#include "host/arguments.h"
#include "host/vantor.h"

#include <windows.h>

#include <cstdint>

namespace vantor {

// Mode 0 or 2 hides the window, 1 shows it, any other mode does nothing.
std::int32_t CVantor::ccShow(HWND, HINSTANCE, std::int32_t, ValueCell* args, std::int32_t argCount) {
    const Arguments a(args, argCount);
    switch (a.integer(2)) {
    case 0:
    case 2:
        ShowWindow(a.window(1), SW_HIDE);
        break;
    case 1:
        ShowWindow(a.window(1), SW_SHOW);
        break;
    default:
        break;
    }
    return ReturnInteger(0);
}

// The window's class name; the empty text for a handle that is no window.
std::int32_t CVantor::DCCompatible(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                   std::int32_t argCount) {
    char name[512];
    const int length = GetClassNameA(Arguments(args, argCount).window(1), name, sizeof name - 1);
    name[length > 0 ? length : 0] = '\0';
    return ReturnString(name);
}

// Paints the window and its children now. Handle 0 does nothing (it would
// stand for the whole desktop).
std::int32_t CVantor::RedrawControl(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                    std::int32_t argCount) {
    const HWND window = Arguments(args, argCount).window(1);
    if (window != nullptr)
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_VALIDATE);
    return ReturnInteger(1);
}

std::int32_t CVantor::RemoveControl(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                    std::int32_t argCount) {
    DestroyWindow(Arguments(args, argCount).window(1));
    return ReturnInteger(1);
}

// Shows or hides (argument 1, an SW_ value) the task bar and then the first
// top-level "Button" window; the result is the second ShowWindow's answer.
// A window not found is a null handle, for which ShowWindow does nothing.
std::int32_t CVantor::wnTaskBar(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    const int command = Arguments(args, argCount).integer(1);
    const HWND taskBar = FindWindowA("Shell_TrayWnd", nullptr);
    const HWND button = FindWindowExA(GetDesktopWindow(), nullptr, "Button", nullptr);
    ShowWindow(taskBar, command);
    return ReturnInteger(ShowWindow(button, command));
}

}  // namespace vantor
