// Animation controls (an).

#include "controls/create_control.h"
#include "controls/wrappers/animation.h"
#include "host/arguments.h"
#include "host/vantor.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

namespace vantor {

// Created hidden at 0, 0, 0, 0 and then placed; anOpenAVI shows it.
std::int32_t CVantor::anCreateAVI(HWND, HINSTANCE hostInstance, std::int32_t, ValueCell* args,
                                  std::int32_t argCount) {
    const Arguments a(args, argCount);
    const HWND control = CreateControl(
        {.className = ANIMATE_CLASSA, .text = nullptr, .style = WS_CHILD, .id = 2222,
         .createAtOrigin = true},
        a, hostInstance);
    return ReturnInteger(HandleValue(control));
}

// Opens the clip and shows the control, also when the clip did not open.
std::int32_t CVantor::anOpenAVI(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    const Arguments a(args, argCount);
    const Animation animation(a.window(1));
    animation.Open(a.text(2));
    animation.Show();
    return ReturnInteger(0);
}

// Arguments 2 to 4: first frame, last frame (-1 the last) and repeat count
// (-1 for ever).
std::int32_t CVantor::anPlayAVI(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    const Arguments a(args, argCount);
    Animation(a.window(1)).Play(a.integer(2), a.integer(3), a.integer(4));
    return ReturnInteger(1);
}

std::int32_t CVantor::anStopAVI(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    Animation(Arguments(args, argCount).window(1)).Stop();
    return ReturnInteger(1);
}

std::int32_t CVantor::anCloseAVI(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    Animation(Arguments(args, argCount).window(1)).Close();
    return ReturnInteger(1);
}

}  // namespace vantor
