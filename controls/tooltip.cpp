// Tooltips (tt): argument 1 of all but ttCreateToolTip is the tooltip.

#include "controls/wrappers/tooltip.h"
#include "host/arguments.h"
#include "host/core/value_helpers.h"
#include "host/vantor.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

namespace vantor {

// A top-most balloon tooltip owned by argument 1.
std::int32_t CVantor::ttCreateToolTip(HWND, HINSTANCE hostInstance, std::int32_t, ValueCell* args,
                                      std::int32_t argCount) {
    const Arguments a(args, argCount);
    const HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr,
                                     WS_POPUP | TTS_BALLOON | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, a.window(1),
                                     nullptr, hostInstance, nullptr);
    if (tip != nullptr)
        SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return ReturnInteger(HandleValue(tip));
}

// The tip shows over the control's client rectangle as it is now.
std::int32_t CVantor::ttAddToolTip(HWND, HINSTANCE hostInstance, std::int32_t, ValueCell* args,
                                   std::int32_t argCount) {
    const Arguments a(args, argCount);
    const auto added = ToolTip(a.window(1)).AddTool(a.window(2), hostInstance, a.text(3));
    return ReturnInteger(added);
}

std::int32_t CVantor::ttDeleteToolTip(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                      std::int32_t argCount) {
    const Arguments a(args, argCount);
    return ReturnInteger(ToolTip(a.window(1)).DelTool(a.window(2)));
}

std::int32_t CVantor::ttSetText(HWND, HINSTANCE hostInstance, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    const Arguments a(args, argCount);
    const auto answer = ToolTip(a.window(1)).UpdateTipText(a.window(2), hostInstance, a.text(3));
    return ReturnInteger(answer);
}

// Argument 2 is the icon (TTI_NONE 0 to TTI_ERROR 3), argument 3 the title.
std::int32_t CVantor::ttSetTitle(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const auto answer = ToolTip(a.window(1)).SetTitle(static_cast<WPARAM>(a.integer(2)), a.text(3));
    return ReturnInteger(answer);
}

std::int32_t CVantor::ttActivate(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    ToolTip(a.window(1)).Activate(a.integer(2) != 0);
    return ReturnInteger(1);
}

// Argument 2 is a TTDT_ value, argument 3 the time in milliseconds.
std::int32_t CVantor::ttSetDelay(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const auto answer = ToolTip(a.window(1)).SetDelayTime(static_cast<WPARAM>(a.integer(2)),
                                                          a.integer(3));
    return ReturnInteger(answer);
}

// Argument 3 picks what argument 2 colours: 0 the background, 1 the text;
// any other target sends nothing and gives 0.
std::int32_t CVantor::ttSetColor(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const ToolTip tip(a.window(1));
    const COLORREF colour = ParseColor(a.text(2));
    switch (a.integer(3)) {
    case 0:
        return ReturnInteger(tip.SetTipBkColor(colour));
    case 1:
        return ReturnInteger(tip.SetTipTextColor(colour));
    default:
        return ReturnInteger(0);
    }
}

}  // namespace vantor
