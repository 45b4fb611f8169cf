// A combo box.
#pragma once

#include "wrappers/control.h"

#include <windows.h>
#include <commctrl.h>

namespace vantor {

class ComboBox : public Control {
public:
    using Control::Control;

    // The selected item, CB_ERR when none.
    int GetCurSel() const { return SendForInt(CB_GETCURSEL); }
    // The item now selected, CB_ERR when none (also when index is -1).
    int SetCurSel(int index) const { return SendForInt(CB_SETCURSEL, static_cast<WPARAM>(index)); }
    // The height of the items of the list (index 0 or more) or of the field
    // (-1); CB_ERR on failure.
    int GetItemHeight(int index) const { return SendForInt(CB_GETITEMHEIGHT, static_cast<WPARAM>(index)); }
    // The fewest items the dropped-down list shows (common controls 6).
    bool SetMinVisible(int items) const { return Send(CB_SETMINVISIBLE, static_cast<WPARAM>(items)) != 0; }
    // The box's parts (its field, button and list window); false when the
    // window is no combo box.
    bool GetComboBoxInfo(COMBOBOXINFO& info) const {
        info = COMBOBOXINFO{};
        info.cbSize = sizeof info;
        return Addressable() && ::GetComboBoxInfo(hwnd(), &info) != FALSE;
    }
};

}  // namespace vantor
