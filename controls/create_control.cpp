#include "controls/create_control.h"

#include <cstdint>

namespace vantor {

HWND CreateControl(const ControlSpec& kind, const Call& call) {
    const HWND parent = call.window(1);
    const int x = call.integer(2), y = call.integer(3), width = call.integer(4), height = call.integer(5);
    const bool atOrigin = kind.createAtOrigin;
    const HWND control = CreateWindowExA(0, kind.className, kind.text, kind.style, atOrigin ? 0 : x, atOrigin ? 0 : y,
                                         atOrigin ? 0 : width, atOrigin ? 0 : height, parent,
                                         reinterpret_cast<HMENU>(static_cast<std::intptr_t>(kind.id)),
                                         kind.hostInstance ? call.instance() : nullptr, nullptr);
    if (control != nullptr && (kind.placeAgain || atOrigin))
        SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_FRAMECHANGED);
    return control;
}

}  // namespace vantor
