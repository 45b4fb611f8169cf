// A tab control.
#pragma once

#include "wrappers/control.h"

#include <windows.h>
#include <commctrl.h>

namespace vantor {

class TabControl : public Control {
public:
    using Control::Control;

    // A tab with text and image (-1 none) at index (past the end: appended);
    // its index, or -1.
    int InsertItem(int index, const char* text, int image) const {
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = const_cast<char*>(text);  // the control keeps a copy
        item.iImage = image;
        return static_cast<int>(Send(TCM_INSERTITEMA, static_cast<WPARAM>(index), &item));
    }
    // Non-zero when the tab went.
    int DeleteItem(int index) const { return SendForInt(TCM_DELETEITEM, static_cast<WPARAM>(index)); }
    // The selected tab, -1 when none.
    int GetCurSel() const { return SendForInt(TCM_GETCURSEL); }
    // The tab selected before, -1 when none.
    int SetCurSel(int index) const { return SendForInt(TCM_SETCURSEL, static_cast<WPARAM>(index)); }
    // The page area of a window rectangle (larger: the window of a page area).
    void AdjustRect(bool larger, RECT& rect) const { Send(TCM_ADJUSTRECT, larger, &rect); }
};

}  // namespace vantor
