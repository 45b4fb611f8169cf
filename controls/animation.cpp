// Animation controls (an).

#include "controls/create_control.h"
#include "wrappers/animation.h"
#include "host/arguments.h"
#include "host/vantor.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

namespace vantor {

// Created hidden at 0, 0, 0, 0 and then placed; anOpenAVI shows it.
std::int32_t CVantor::anCreateAVI(const Call& call) {
    const HWND control = CreateControl(
        {.className = ANIMATE_CLASSA, .text = nullptr, .style = WS_CHILD, .id = 2222, .createAtOrigin = true}, call);
    return call.ReturnInteger(HandleValue(control));
}

// Opens the clip and shows the control, also when the clip did not open.
std::int32_t CVantor::anOpenAVI(const Call& call) {
    const Animation animation(call.window(1));
    animation.Open(call.text(2));
    animation.Show();
    return call.ReturnInteger(0);
}

// Arguments 2 to 4: first frame, last frame (-1 the last) and repeat count
// (-1 for ever).
std::int32_t CVantor::anPlayAVI(const Call& call) {
    Animation(call.window(1)).Play(call.integer(2), call.integer(3), call.integer(4));
    return call.ReturnInteger(1);
}

std::int32_t CVantor::anStopAVI(const Call& call) {
    Animation(call.window(1)).Stop();
    return call.ReturnInteger(1);
}

std::int32_t CVantor::anCloseAVI(const Call& call) {
    Animation(call.window(1)).Close();
    return call.ReturnInteger(1);
}

}  // namespace vantor
