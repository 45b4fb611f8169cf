// A list box.
#pragma once

#include "wrappers/control.h"

#include <windows.h>

#include <vector>

namespace vantor {

class ListBox : public Control {
public:
    using Control::Control;

    int GetCount() const { return SendForInt(LB_GETCOUNT); }
    // The number of selected items; LB_ERR in a single-selection box.
    int GetSelCount() const { return SendForInt(LB_GETSELCOUNT); }
    // Positive when the item is selected, 0 when not, LB_ERR for no item.
    int GetSel(int index) const { return SendForInt(LB_GETSEL, static_cast<WPARAM>(index)); }
    // Selects (select non-zero) or deselects the item, every item for -1;
    // LB_ERR in a single-selection box.
    int SetSel(int index, BOOL select) const {
        return SendForInt(LB_SETSEL, static_cast<WPARAM>(select), static_cast<LPARAM>(index));
    }
    // The current item, LB_ERR when none.
    int GetCurSel() const { return SendForInt(LB_GETCURSEL); }
    // The selected items' indexes, as many as positions holds; their number,
    // or LB_ERR in a single-selection box.
    int GetSelItems(std::vector<int>& positions) const {
        return SendForInt(LB_GETSELITEMS, positions.size(), reinterpret_cast<LPARAM>(positions.data()));
    }
    // The number of items left, LB_ERR for no item.
    int DeleteString(int index) const { return SendForInt(LB_DELETESTRING, static_cast<WPARAM>(index)); }
    void ResetContent() const { Send(LB_RESETCONTENT); }
    int GetItemHeight(int index) const { return SendForInt(LB_GETITEMHEIGHT, static_cast<WPARAM>(index)); }
    // LB_ERR when the height is out of range.
    int SetItemHeight(int index, int height) const {
        return SendForInt(LB_SETITEMHEIGHT, static_cast<WPARAM>(index), MAKELPARAM(height, 0));
    }
    // The width the box scrolls across; the box's answer.
    int SetHorizontalExtent(int width) const { return SendForInt(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width)); }
};

}  // namespace vantor
