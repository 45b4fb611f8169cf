// A tree view.
#pragma once

#include "wrappers/control.h"

#include <windows.h>
#include <commctrl.h>

namespace vantor {

class TreeView : public Control {
public:
    using Control::Control;

    // An item with text, images and param below parent (TVI_ROOT: at the
    // root), after the item after (or TVI_FIRST, TVI_LAST); the new item, or
    // null when the control refuses it.
    HTREEITEM InsertItem(HTREEITEM parent, HTREEITEM after, const char* text, int image, int selectedImage,
                         LPARAM param) const {
        TVINSERTSTRUCTA insert{};
        insert.hParent = parent;
        insert.hInsertAfter = after;
        TVITEMA& item = insert.item;
        item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM | TVIF_SELECTEDIMAGE;
        item.pszText = const_cast<char*>(text);  // the control keeps a copy
        item.cchTextMax = 4;                     // ignored when the control stores the text
        item.iImage = image;
        item.iSelectedImage = selectedImage;
        item.lParam = param;
        return reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMA, 0, &insert));
    }
    // The item in relation (TVGN_PARENT, TVGN_CARET, ...) to item; null when none.
    HTREEITEM GetNextItem(HTREEITEM item, UINT relation) const {
        return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    // The item's parent; null for an item at the root.
    HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
    // The selected item; null when none.
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    // Expands or collapses (action TVE_EXPAND, TVE_COLLAPSE, ...) the item's
    // children; false when nothing changed.
    bool Expand(HTREEITEM item, UINT action) const {
        return Send(TVM_EXPAND, action, reinterpret_cast<LPARAM>(item)) != 0;
    }
    // The item's image and its image when selected.
    bool SetItemImages(HTREEITEM item, int image, int selectedImage) const {
        TVITEMA record{};
        record.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        record.hItem = item;
        record.iImage = image;
        record.iSelectedImage = selectedImage;
        return Send(TVM_SETITEMA, 0, &record) != 0;
    }
    // The item with everything below it (TVI_ROOT: every item).
    bool DeleteItem(HTREEITEM item) const { return Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0; }
    int GetCount() const { return SendForInt(TVM_GETCOUNT); }
    // The image list of a kind (TVSIL_NORMAL, TVSIL_STATE); the one it had before.
    HIMAGELIST SetImageList(HIMAGELIST list, int kind) const {
        return reinterpret_cast<HIMAGELIST>(
            Send(TVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(list)));
    }
};

}  // namespace vantor
