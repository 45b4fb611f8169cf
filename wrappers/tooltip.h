// A tooltip window. A tool is always a control with id 0.
#pragma once

#include "wrappers/control.h"

#include <windows.h>
#include <commctrl.h>

namespace vantor {

// The tool record with lParam and the reserved pointer.
static_assert(sizeof(TOOLINFOA) == 48);

class ToolTip : public Control {
public:
    using Control::Control;

    // The tip shows over the control's client rectangle as it is now; the
    // tooltip keeps a copy of the text. Non-zero when it was added.
    int AddTool(HWND control, HINSTANCE instance, const char* text) const {
        TOOLINFOA tool = Tool(control);
        tool.uFlags = TTF_SUBCLASS;
        GetClientRect(control, &tool.rect);
        tool.hinst = instance;
        tool.lpszText = const_cast<char*>(text);
        return static_cast<int>(Send(TTM_ADDTOOLA, 0, &tool));
    }
    // The tooltip's answer.
    int DelTool(HWND control) const {
        TOOLINFOA tool = Tool(control);
        return static_cast<int>(Send(TTM_DELTOOLA, 0, &tool));
    }
    // The tooltip's answer.
    int UpdateTipText(HWND control, HINSTANCE instance, const char* text) const {
        TOOLINFOA tool = Tool(control);
        tool.hinst = instance;
        tool.lpszText = const_cast<char*>(text);
        return static_cast<int>(Send(TTM_UPDATETIPTEXTA, 0, &tool));
    }
    // icon: TTI_NONE to TTI_ERROR, or an icon handle; non-zero when set.
    int SetTitle(WPARAM icon, const char* title) const {
        return SendForInt(TTM_SETTITLEA, icon, reinterpret_cast<LPARAM>(title));
    }
    void Activate(bool on) const { Send(TTM_ACTIVATE, on); }
    // which: a TTDT_ value; the tooltip's answer.
    int SetDelayTime(WPARAM which, int milliseconds) const { return SendForInt(TTM_SETDELAYTIME, which, milliseconds); }
    // The tooltip's answers.
    int SetTipBkColor(COLORREF colour) const { return SendForInt(TTM_SETTIPBKCOLOR, colour); }
    int SetTipTextColor(COLORREF colour) const { return SendForInt(TTM_SETTIPTEXTCOLOR, colour); }

private:
    static TOOLINFOA Tool(HWND control) {
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = control;
        return tool;
    }
};

}  // namespace vantor
