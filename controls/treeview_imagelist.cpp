// Tree-view and image-list functions. A script builds a tree in document
// order, level by level; the tree records below remember where the next item
// goes. Image lists are the script's, known to it by their handles.
#include "host/vantor.h"

#include "controls/create_control.h"
#include "host/arguments.h"
#include "host/window.h"
#include "host/owners.h"

#include <commctrl.h>

#include <cstdint>

namespace vantor {
namespace {

// The tree view, one thin member per message.
class TreeView : public Window {
public:
    using Window::Window;

    HTREEITEM InsertItem(TVINSERTSTRUCTA& insert) const {
        return reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMA, 0, &insert));
    }
    HTREEITEM NextItem(HTREEITEM item, UINT relation) const {
        return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM Parent(HTREEITEM item) const { return NextItem(item, TVGN_PARENT); }
    HTREEITEM Selection() const { return NextItem(nullptr, TVGN_CARET); }
    void Expand(HTREEITEM item) const { Send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)); }
    void SetItemImages(HTREEITEM item, int image, int selectedImage) const {
        TVITEMA record{};
        record.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        record.hItem = item;
        record.iImage = image;
        record.iSelectedImage = selectedImage;
        Send(TVM_SETITEMA, 0, &record);
    }
    void DeleteItem(HTREEITEM item) const { Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)); }
    int Count() const { return static_cast<int>(Send(TVM_GETCOUNT)); }
    void SetImageList(HIMAGELIST list) const {
        Send(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(list));
    }
    // True when item is ancestor or lies below it.
    bool IsWithin(HTREEITEM item, HTREEITEM ancestor) const {
        for (HTREEITEM at = item; at != nullptr; at = Parent(at))
            if (at == ancestor) return true;
        return false;
    }
};

// Where the next tree item goes, shared by every tree view of the process.
// The item records name items of one tree only: a tree that is not the one
// they name starts afresh, and items a delete removes are forgotten, so the
// control is never handed an item of another tree or one that is gone.
struct TreeRecords {
    int itemImage = 0;
    int parentImage = 0;
    int parentSelectedImage = 0;
    HWND tree = nullptr;
    HTREEITEM lastInserted = TVI_FIRST;
    HTREEITEM lastLevel1 = nullptr;
    HTREEITEM lastLevel2 = nullptr;

    // A tree met afresh: its items so far stay first, new ones go after them.
    void StartTree(HWND window) {
        tree = window;
        lastInserted = TVI_LAST;
        lastLevel1 = lastLevel2 = nullptr;
    }

    // Forgets the records that name gone (the item about to be deleted or
    // anything below it; null stands for the whole tree).
    void ForgetWithin(const TreeView& view, HTREEITEM gone) {
        if (tree != view.hwnd()) return;
        const auto goes = [&](HTREEITEM item) {
            return item != nullptr && item != TVI_FIRST && item != TVI_LAST &&
                   (gone == nullptr || view.IsWithin(item, gone));
        };
        if (goes(lastInserted)) lastInserted = TVI_LAST;
        if (goes(lastLevel1)) lastLevel1 = nullptr;
        if (goes(lastLevel2)) lastLevel2 = nullptr;
    }
};

TreeRecords records;

constexpr DWORD kTreeStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_SINGLEEXPAND | TVS_TRACKSELECT |
                             TVS_SHOWSELALWAYS | TVS_LINESATROOT | TVS_HASLINES | TVS_HASBUTTONS;
static_assert(kTreeStyle == 0x50800627);

}  // namespace

// Creates a tree view on the dialog; argument 7 is its image list, arguments
// 8, 9 and 10 the images of items, of parents when selected and of parents
// (for every tree from now on); argument 11 of 1 adds check boxes.
std::int32_t CVantor::tvCreateTreeView(HWND, HINSTANCE hostInstance, std::int32_t, ValueCell* args,
                                       std::int32_t argCount) {
    const Arguments a(args, argCount);
    records.itemImage = a.integer(8);
    records.parentImage = a.integer(10);
    records.parentSelectedImage = a.integer(9);
    const DWORD style = kTreeStyle | (a.optionalInteger(11, 0) == 1 ? TVS_CHECKBOXES : 0);
    const HWND window = CreateControl(
        ControlSpec{.className = WC_TREEVIEWA, .text = "Tree View", .style = style, .hostInstance = false},
        a, hostInstance);
    if (window != nullptr) TreeView(window).SetImageList(a.handle<HIMAGELIST>(7));
    return ReturnInteger(HandleValue(window));
}

// Adds an item at a level: 1 starts a branch at the root, 2 hangs below the
// latest level-1 item, any other level below the latest level-2 item. Gives
// the number of items in the tree, or -1 when the control refuses the item.
std::int32_t CVantor::tvAdd(HWND, HINSTANCE, std::int32_t, ValueCell* args, std::int32_t argCount) {
    const Arguments a(args, argCount);
    const TreeView view(a.window(1));
    const std::int32_t level = a.integer(3);
    if (records.tree != view.hwnd()) records.StartTree(view.hwnd());

    TVINSERTSTRUCTA insert{};
    insert.hParent = level == 1 ? TVI_ROOT : level == 2 ? records.lastLevel1 : records.lastLevel2;
    insert.hInsertAfter = records.lastInserted != nullptr ? records.lastInserted : TVI_LAST;
    TVITEMA& item = insert.item;
    item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM | TVIF_SELECTEDIMAGE;
    item.pszText = const_cast<char*>(a.text(2));
    item.cchTextMax = 4;  // ignored when the control stores the text
    item.iImage = item.iSelectedImage = records.itemImage;
    item.lParam = level;

    const HTREEITEM added = view.InsertItem(insert);
    records.lastInserted = added;
    if (added == nullptr) return ReturnInteger(-1);

    view.Expand(view.Parent(added));
    if (level == 1) records.lastLevel1 = added;
    if (level == 2) records.lastLevel2 = added;
    if (level >= 2) view.SetItemImages(view.Parent(added), records.parentImage, records.parentSelectedImage);
    return ReturnInteger(view.Count());
}

// Deletes the selected item with its children (with no selection, the whole
// tree), or every item when argument 2 is 1. Gives 1.
std::int32_t CVantor::tvDelete(HWND, HINSTANCE, std::int32_t, ValueCell* args, std::int32_t argCount) {
    const Arguments a(args, argCount);
    const TreeView view(a.window(1));
    if (a.optionalInteger(2, 0) == 1) {
        records.ForgetWithin(view, nullptr);
        view.DeleteItem(TVI_ROOT);
        return ReturnInteger(1);
    }
    const HTREEITEM selected = view.Selection();
    const HTREEITEM parent = view.Parent(selected);
    records.ForgetWithin(view, selected);
    view.DeleteItem(selected);
    view.Expand(parent);
    return ReturnInteger(1);
}

std::int32_t CVantor::ilCreateImgList(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                      std::int32_t argCount) {
    const Arguments a(args, argCount);
    const HIMAGELIST list = ImageList_Create(a.integer(3), a.integer(4), ILC_COLOR16, a.integer(1), a.integer(2));
    return ReturnInteger(HandleValue(list));
}

// Adds the images of a bitmap file (a bitmap wider than the list's images
// gives several) and gives the number of images afterwards; a file that is
// not a bitmap adds nothing. A file that cannot be opened shows "File Open
// Error" and ends without a result: the host gets 0.
std::int32_t CVantor::ilAddImage(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const HIMAGELIST list = a.handle<HIMAGELIST>(1);
    const char* path = a.text(2);
    if (!CheckFileReadable(path)) return NoResult(0);
    const UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageA(
        nullptr, path, IMAGE_BITMAP, 0, 0,
        LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_VGACOLOR | LR_CREATEDIBSECTION)));
    if (bitmap) ImageList_Add(list, bitmap.get(), nullptr);
    return ReturnInteger(ImageList_GetImageCount(list));
}

std::int32_t CVantor::ilDeleteImgList(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                      std::int32_t argCount) {
    const Arguments a(args, argCount);
    ImageList_Destroy(a.handle<HIMAGELIST>(1));
    return ReturnInteger(1);
}

// Removes the image at the 1-based position of argument 2 and gives the
// number of images left; 0 or a position out of range removes nothing.
std::int32_t CVantor::ilRemoveImage(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                    std::int32_t argCount) {
    const Arguments a(args, argCount);
    const HIMAGELIST list = a.handle<HIMAGELIST>(1);
    const std::int32_t position = a.integer(2);
    if (position >= 1 && position <= ImageList_GetImageCount(list)) ImageList_Remove(list, position - 1);
    return ReturnInteger(ImageList_GetImageCount(list));
}

}  // namespace vantor
