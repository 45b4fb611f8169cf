#include "controls/create_control.h"

#include <cstdint>

namespace vantor {

HWND CreateControl(const ControlSpec& kind, const Arguments& a, HINSTANCE hostInstance) {
    const HWND parent = a.window(1);
    const int x = a.integer(2), y = a.integer(3), width = a.integer(4), height = a.integer(5);
    const bool atOrigin = kind.createAtOrigin;
    const HWND control = CreateWindowExA(
        0, kind.className, kind.text, kind.style, atOrigin ? 0 : x, atOrigin ? 0 : y,
        atOrigin ? 0 : width, atOrigin ? 0 : height, parent,
        reinterpret_cast<HMENU>(static_cast<std::intptr_t>(kind.id)),
        kind.hostInstance ? hostInstance : nullptr, nullptr);
    if (control != nullptr && (kind.placeAgain || atOrigin))
        SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_FRAMECHANGED);
    return control;
}

}  // namespace vantor
