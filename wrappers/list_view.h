// A list view.
#pragma once

#include "wrappers/control.h"
#include "wrappers/header.h"

#include <windows.h>
#include <commctrl.h>

namespace vantor {

class ListView : public Control {
public:
    using Control::Control;

    int GetItemCount() const { return SendForInt(LVM_GETITEMCOUNT); }
    int GetSelectedCount() const { return SendForInt(LVM_GETSELECTEDCOUNT); }
    // The header of the columns (no window when the list has none).
    Header GetHeader() const { return Header(reinterpret_cast<HWND>(Send(LVM_GETHEADER))); }

    // An item with text and image at index item (past the end: appended);
    // its index, or -1.
    int InsertItem(int item, const char* text, int image) const {
        LVITEMA record{};
        record.mask = LVIF_TEXT | LVIF_IMAGE;
        record.iItem = item;
        record.pszText = const_cast<char*>(text);  // the control keeps a copy
        record.iImage = image;
        return SendForInt(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&record));
    }
    // A column headed by text at index column (past the end: appended); its
    // index, or -1.
    int InsertColumn(int column, const char* text) const {
        LVCOLUMNA record{};
        record.mask = LVCF_TEXT;
        record.pszText = const_cast<char*>(text);  // the header keeps a copy
        return SendForInt(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&record));
    }
    // Non-zero when the column took the width.
    int SetColumnWidth(int column, int width) const {
        return SendForInt(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
    }
    // The column's width, 0 when there is no such column.
    int GetColumnWidth(int column) const { return SendForInt(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)); }
    // The column's header shows image (from 0) beside its text; non-zero
    // when the column took it.
    int SetColumnImage(int column, int image) const {
        LVCOLUMNA record{};
        record.mask = LVCF_FMT | LVCF_IMAGE;
        record.fmt = LVCFMT_COL_HAS_IMAGES | LVCFMT_IMAGE;
        record.iImage = image;
        return SendForInt(LVM_SETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&record));
    }

    bool SetItemText(int item, int column, const char* text) const {
        LVITEMA record{};
        record.iSubItem = column;
        record.pszText = const_cast<char*>(text);  // the control keeps a copy
        return Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), &record) != 0;
    }
    // The item's text in column, read through buffer (size bytes): where the
    // control left the text, which is buffer or a copy of the control's own
    // (or LPSTR_TEXTCALLBACKA for a text the parent gives as it draws); null
    // when the control gives no text.
    const char* GetItemText(int item, int column, char* buffer, int size) const {
        LVITEMA record{};
        record.mask = LVIF_TEXT;
        record.iItem = item;
        record.iSubItem = column;
        record.pszText = buffer;
        record.cchTextMax = size;
        return Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), &record) != 0 ? record.pszText : nullptr;
    }

    // The item's state bits of mask (LVIS_*).
    UINT GetItemState(int item, UINT mask) const {
        return static_cast<UINT>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(item), mask));
    }
    // Sets the state bits of mask to state, for every item when item is -1;
    // non-zero when the control did.
    int SetItemState(int item, UINT mask, UINT state) const {
        LVITEMA record{};
        record.stateMask = mask;
        record.state = state;
        return SendForInt(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&record));
    }
    // Whether the item's check box (state image 2) is checked.
    bool GetCheckState(int item) const { return GetItemState(item, LVIS_STATEIMAGEMASK) == kChecked; }
    // Non-zero when the control set the check box.
    int SetCheckState(int item, bool check) const {
        return SetItemState(item, LVIS_STATEIMAGEMASK, check ? kChecked : kUnchecked);
    }
    bool IsSelected(int item) const { return GetItemState(item, LVIS_SELECTED) == LVIS_SELECTED; }

    // Shows image (an index into the small image list) in the item's column;
    // non-zero when the control did.
    int SetItemImage(int item, int column, int image) const {
        LVITEMA record{};
        record.mask = LVIF_IMAGE;
        record.iItem = item;
        record.iSubItem = column;
        record.iImage = image;
        return SendForInt(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&record));
    }

    // Sets the extended styles of mask (LVS_EX_*) to style; the styles before.
    DWORD SetExtendedStyle(DWORD mask, DWORD style) const {
        return static_cast<DWORD>(Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, static_cast<LPARAM>(style)));
    }
    // The image list of the kind which (LVSIL_*) before.
    HIMAGELIST SetImageList(HIMAGELIST images, int which) const {
        return reinterpret_cast<HIMAGELIST>(
            Send(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(images)));
    }
    HIMAGELIST GetImageList(int which) const {
        return reinterpret_cast<HIMAGELIST>(Send(LVM_GETIMAGELIST, static_cast<WPARAM>(which)));
    }

    bool DeleteItem(int item) const { return Send(LVM_DELETEITEM, static_cast<WPARAM>(item)) != 0; }
    bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS) != 0; }

    // Scrolls the item into view, only when no part of it shows with partly.
    bool EnsureVisible(int item, bool partly) const {
        return Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), partly) != 0;
    }
    // The first item shown.
    int GetTopIndex() const { return SendForInt(LVM_GETTOPINDEX); }
    // The rectangle of the item's part (LVIR_*) in client coordinates; for no
    // such item, {part, 0, 0, 0}.
    RECT GetItemRect(int item, int part) const {
        RECT rect{};
        rect.left = part;
        Send(LVM_GETITEMRECT, static_cast<WPARAM>(item), &rect);
        return rect;
    }
    // Scrolls by dx and dy pixels; non-zero when the control did.
    int Scroll(int dx, int dy) const { return SendForInt(LVM_SCROLL, static_cast<WPARAM>(dx), dy); }

    // The background behind item texts (CLR_NONE: none); non-zero when the
    // control took it.
    int SetTextBkColor(COLORREF colour) const { return SendForInt(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(colour)); }
    // The picture behind the items: source (a file name or URL with
    // LVBKIF_SOURCE_URL) at the offsets in percent, flags LVBKIF_*.
    bool SetBkImage(ULONG flags, const char* source, int xPercent, int yPercent) const {
        LVBKIMAGEA image{};
        image.ulFlags = flags;
        image.pszImage = const_cast<char*>(source);
        image.xOffsetPercent = xPercent;
        image.yOffsetPercent = yPercent;
        return Send(LVM_SETBKIMAGEA, 0, &image) != 0;
    }

private:
    static constexpr UINT kChecked = INDEXTOSTATEIMAGEMASK(2);
    static constexpr UINT kUnchecked = INDEXTOSTATEIMAGEMASK(1);
};

}  // namespace vantor
