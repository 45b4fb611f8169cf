// A push button, or any window a script names as one.
#pragma once

#include "wrappers/control.h"

#include <windows.h>
#include <commctrl.h>

namespace vantor {

class Button : public Control {
public:
    using Control::Control;

    // Whether the window really is a button (a script may name any window).
    bool IsButton() const { return IsOfClass(WC_BUTTONA); }
};

}  // namespace vantor
