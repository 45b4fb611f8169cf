#include "controls/create_control.h"

#include <cstdint>

namespace vantor {

HWND CreateControl(const ControlSpec& spec, const Arguments& a, HINSTANCE hostInstance) {
    const HWND parent = a.window(1);
    const int x = a.integer(2), y = a.integer(3), width = a.integer(4), height = a.integer(5);
    const bool atOrigin = spec.createAtOrigin;
    const HWND control = CreateWindowExA(
        0, spec.className, spec.text, spec.style, atOrigin ? 0 : x, atOrigin ? 0 : y,
        atOrigin ? 0 : width, atOrigin ? 0 : height, parent,
        reinterpret_cast<HMENU>(static_cast<std::intptr_t>(spec.id)),
        spec.hostInstance ? hostInstance : nullptr, nullptr);
    if (control != nullptr && (spec.placeAgain || atOrigin))
        SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_FRAMECHANGED);
    return control;
}

}  // namespace vantor
