// A status bar.
#pragma once

#include "wrappers/control.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <vector>

namespace vantor {

class StatusBar : public Control {
public:
    using Control::Control;

    // A status bar along the bottom of parent, with no text yet.
    static StatusBar Create(HWND parent, LONG style, UINT id) {
        return StatusBar(CreateStatusWindowA(style, "", parent, id));
    }

    // The text of part (from 0) with the default sunken border.
    bool SetText(int part, const char* text) const {
        return Send(SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text)) != 0;
    }
    // The background colour before (CLR_DEFAULT when none was set).
    COLORREF SetBkColor(COLORREF colour) const {
        return static_cast<COLORREF>(Send(SB_SETBKCOLOR, 0, static_cast<LPARAM>(colour)));
    }
    // Non-zero when the part took the icon (the status bar never destroys it).
    int SetIcon(int part, HICON icon) const {
        return SendForInt(SB_SETICON, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(icon));
    }
    // The parts' right edges in client pixels (-1: the right border).
    bool SetParts(const std::vector<std::int32_t>& edges) const {
        return Send(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data())) != 0;
    }
};

}  // namespace vantor
