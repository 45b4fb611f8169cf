// Tooltips (tt): argument 1 of all but ttCreateToolTip is the tooltip.

#include "host/arguments.h"
#include "host/core/value_helpers.h"
#include "host/vantor.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

namespace vantor {
namespace {

// The tool record with lParam and the reserved pointer.
static_assert(sizeof(TOOLINFOA) == 48);

// A thin wrapper of a tooltip window. A tool is always a control with id 0.
class ToolTip : public Window {
public:
    using Window::Window;

    LRESULT AddTool(HWND control, HINSTANCE instance, const char* text) const {
        TOOLINFOA tool = Tool(control);
        tool.uFlags = TTF_SUBCLASS;
        GetClientRect(control, &tool.rect);
        tool.hinst = instance;
        tool.lpszText = const_cast<char*>(text);  // the tooltip keeps a copy
        return Send(TTM_ADDTOOLA, 0, &tool);
    }
    LRESULT DelTool(HWND control) const {
        TOOLINFOA tool = Tool(control);
        return Send(TTM_DELTOOLA, 0, &tool);
    }
    LRESULT UpdateTipText(HWND control, HINSTANCE instance, const char* text) const {
        TOOLINFOA tool = Tool(control);
        tool.hinst = instance;
        tool.lpszText = const_cast<char*>(text);
        return Send(TTM_UPDATETIPTEXTA, 0, &tool);
    }
    LRESULT SetTitle(WPARAM icon, const char* title) const {
        return Send(TTM_SETTITLEA, icon, reinterpret_cast<LPARAM>(title));
    }
    void Activate(bool on) const { Send(TTM_ACTIVATE, on, 0); }
    LRESULT SetDelayTime(WPARAM which, LPARAM time) const {
        return Send(TTM_SETDELAYTIME, which, time);
    }
    LRESULT SetTipBkColor(COLORREF colour) const {
        return Send(TTM_SETTIPBKCOLOR, colour, 0);
    }
    LRESULT SetTipTextColor(COLORREF colour) const {
        return Send(TTM_SETTIPTEXTCOLOR, colour, 0);
    }

private:
    static TOOLINFOA Tool(HWND control) {
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = control;
        return tool;
    }
};

}  // namespace

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
    return ReturnInteger(static_cast<std::int32_t>(added));
}

std::int32_t CVantor::ttDeleteToolTip(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                      std::int32_t argCount) {
    const Arguments a(args, argCount);
    return ReturnInteger(static_cast<std::int32_t>(ToolTip(a.window(1)).DelTool(a.window(2))));
}

std::int32_t CVantor::ttSetText(HWND, HINSTANCE hostInstance, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    const Arguments a(args, argCount);
    const auto answer = ToolTip(a.window(1)).UpdateTipText(a.window(2), hostInstance, a.text(3));
    return ReturnInteger(static_cast<std::int32_t>(answer));
}

// Argument 2 is the icon (TTI_NONE 0 to TTI_ERROR 3), argument 3 the title.
std::int32_t CVantor::ttSetTitle(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const auto answer = ToolTip(a.window(1)).SetTitle(static_cast<WPARAM>(a.integer(2)), a.text(3));
    return ReturnInteger(static_cast<std::int32_t>(answer));
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
    return ReturnInteger(static_cast<std::int32_t>(answer));
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
        return ReturnInteger(static_cast<std::int32_t>(tip.SetTipBkColor(colour)));
    case 1:
        return ReturnInteger(static_cast<std::int32_t>(tip.SetTipTextColor(colour)));
    default:
        return ReturnInteger(0);
    }
}

}  // namespace vantor
