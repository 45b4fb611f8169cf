// The one way every creator puts a control on a script's dialog: arguments
// 1 to 5 are the parent window, x, y, width and height in the parent's
// client coordinates; the result is the new window or null.
#pragma once

#include "host/call.h"

#include <windows.h>

namespace vantor {

struct ControlSpec {
    const char* className;
    const char* text;  // window text, may be null
    DWORD style;
    int id = 0;                   // control identifier
    bool hostInstance = true;     // created with the host's instance handle, else none
    bool placeAgain = false;      // SetWindowPos to the same place, frame changed
    bool createAtOrigin = false;  // created at 0, 0, 0, 0 and then placed
};

HWND CreateControl(const ControlSpec& kind, const Call& call);

}  // namespace vantor
