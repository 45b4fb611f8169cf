// A header control (the column headers of a list view).
#pragma once

#include "wrappers/control.h"

#include <windows.h>
#include <commctrl.h>

namespace vantor {

class Header : public Control {
public:
    using Control::Control;

    // The number of items (a list view's columns), -1 on failure.
    int GetItemCount() const { return SendForInt(HDM_GETITEMCOUNT); }
    // The item's text copied into buffer (size bytes, the end included);
    // false when there is no such item (buffer is left as it was).
    bool GetItemText(int index, char* buffer, int size) const {
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = buffer;
        item.cchTextMax = size;
        return Send(HDM_GETITEMA, static_cast<WPARAM>(index), &item) != 0;
    }
    // The font the items are drawn in; null for the system font.
    HFONT GetFont() const { return reinterpret_cast<HFONT>(Send(WM_GETFONT)); }
    // The width of the margin on either side of an item's bitmap and text.
    int GetBitmapMargin() const { return SendForInt(HDM_GETBITMAPMARGIN); }
};

}  // namespace vantor
