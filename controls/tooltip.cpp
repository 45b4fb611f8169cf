// Tooltips (tt): argument 1 of all but ttCreateToolTip is the tooltip.

#include "wrappers/tooltip.h"
#include "host/arguments.h"
#include "host/core/value_helpers.h"
#include "host/vantor.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

namespace vantor {

// A top-most balloon tooltip owned by argument 1.
std::int32_t CVantor::ttCreateToolTip(const Call& call) {
    const HWND tip =
        CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_BALLOON | TTS_ALWAYSTIP, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, call.window(1), nullptr, call.instance(), nullptr);
    if (tip != nullptr) SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return call.ReturnInteger(HandleValue(tip));
}

// The tip shows over the control's client rectangle as it is now.
std::int32_t CVantor::ttAddToolTip(const Call& call) {
    const auto added = ToolTip(call.window(1)).AddTool(call.window(2), call.instance(), call.text(3));
    return call.ReturnInteger(added);
}

std::int32_t CVantor::ttDeleteToolTip(const Call& call) {
    return call.ReturnInteger(ToolTip(call.window(1)).DelTool(call.window(2)));
}

std::int32_t CVantor::ttSetText(const Call& call) {
    const auto answer = ToolTip(call.window(1)).UpdateTipText(call.window(2), call.instance(), call.text(3));
    return call.ReturnInteger(answer);
}

// Argument 2 is the icon (TTI_NONE 0 to TTI_ERROR 3), argument 3 the title.
std::int32_t CVantor::ttSetTitle(const Call& call) {
    const auto answer = ToolTip(call.window(1)).SetTitle(static_cast<WPARAM>(call.integer(2)), call.text(3));
    return call.ReturnInteger(answer);
}

std::int32_t CVantor::ttActivate(const Call& call) {
    ToolTip(call.window(1)).Activate(call.integer(2) != 0);
    return call.ReturnInteger(1);
}

// Argument 2 is a TTDT_ value, argument 3 the time in milliseconds.
std::int32_t CVantor::ttSetDelay(const Call& call) {
    const auto answer = ToolTip(call.window(1)).SetDelayTime(static_cast<WPARAM>(call.integer(2)), call.integer(3));
    return call.ReturnInteger(answer);
}

// Argument 3 picks what argument 2 colours: 0 the background, 1 the text;
// any other target sends nothing and gives 0.
std::int32_t CVantor::ttSetColor(const Call& call) {
    const ToolTip tip(call.window(1));
    const COLORREF colour = ParseColor(call.text(2));
    switch (call.integer(3)) {
        case 0: return call.ReturnInteger(tip.SetTipBkColor(colour));
        case 1: return call.ReturnInteger(tip.SetTipTextColor(colour));
        default: return call.ReturnInteger(0);
    }
}

}  // namespace vantor
