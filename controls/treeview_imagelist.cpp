// Tree-view and image-list functions. A script builds a tree in document
// order, level by level; the tree records below remember where the next item
// goes. Image lists are the script's, known to it by their handles.
#include "host/vantor.h"

#include "controls/create_control.h"
#include "host/arguments.h"
#include "host/callback_guard.h"
#include "host/core/value_helpers.h"
#include "host/window.h"
#include "host/owners.h"
#include "controls/subclass.h"

#include <commctrl.h>

#include <cstdint>
#include <memory>

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

// Where the next item of one tree goes, and the images its items take. Each
// tree carries its own records as the reference data of its subclass and
// frees them when it is destroyed, so building two trees in turn gives each
// its own branches. Items a delete removes are forgotten, so the control is
// never handed an item that is gone; records naming items that stay are kept.
struct TreeRecords {
    int itemImage = 0;
    int parentImage = 0;
    int parentSelectedImage = 0;
    HTREEITEM lastInserted = TVI_FIRST;
    HTREEITEM lastLevel1 = nullptr;
    HTREEITEM lastLevel2 = nullptr;

    // Forgets the records that name gone (the item about to be deleted or
    // anything below it; null stands for the whole tree).
    void ForgetWithin(const TreeView& view, HTREEITEM gone) {
        const auto goes = [&](HTREEITEM item) {
            return item != nullptr && item != TVI_FIRST && item != TVI_LAST &&
                   (gone == nullptr || view.IsWithin(item, gone));
        };
        if (goes(lastInserted)) lastInserted = TVI_LAST;
        if (goes(lastLevel1)) lastLevel1 = nullptr;
        if (goes(lastLevel2)) lastLevel2 = nullptr;
    }
};

// The images of the latest tvCreateTreeView: a tree it did not create (one
// of the host's) takes these when the script first adds to it.
TreeRecords latestImages;

// The records of a window that cannot carry any (no window, or one of
// another thread): one set shared by all such windows, as a process-wide
// set would be.
TreeRecords uncarried;

constexpr UINT_PTR kTreeSubclass = SubclassId("VTVR");

LRESULT TreeRecordsBody(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR records);
constexpr auto& TreeRecordsProc = GuardedSubclassProc<TreeRecordsBody>;

LRESULT TreeRecordsBody(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR records) {
    if (message == WM_NCDESTROY) {
        delete reinterpret_cast<TreeRecords*>(records);
        RemoveWindowSubclass(window, &TreeRecordsProc, id);
    }
    return DefSubclassProc(window, message, w, l);
}

// The records the tree carries, or null.
TreeRecords* CarriedBy(HWND tree) {
    DWORD_PTR carried = 0;
    if (!GetWindowSubclass(tree, &TreeRecordsProc, kTreeSubclass, &carried)) return nullptr;
    return reinterpret_cast<TreeRecords*>(carried);
}

// The records the tree carries; a tree met for the first time gets fresh
// ones, copied from start.
TreeRecords& RecordsOf(HWND tree, const TreeRecords& start) {
    if (TreeRecords* carried = CarriedBy(tree)) return *carried;
    auto fresh = std::make_unique<TreeRecords>(start);
    if (!Subclass(tree, &TreeRecordsProc, kTreeSubclass, reinterpret_cast<DWORD_PTR>(fresh.get())))
        return uncarried;
    return *fresh.release();
}

// A tree the script adds to without having created it (one of the host's)
// takes the latest images; its own items stay first, new ones go after them.
TreeRecords& RecordsForAdding(HWND tree) {
    TreeRecords start = latestImages;
    start.lastInserted = TVI_LAST;
    return RecordsOf(tree, start);
}

// An item of the given text at a level, placed as the tree's records say:
// level 1 at the root, 2 below the latest level-1 item, others below the
// latest level-2 item, after the item inserted last.
TVINSERTSTRUCTA InsertionAt(const TreeRecords& records, std::int32_t level, const char* text) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = level == 1 ? TVI_ROOT : level == 2 ? records.lastLevel1 : records.lastLevel2;
    insert.hInsertAfter = records.lastInserted != nullptr ? records.lastInserted : TVI_LAST;
    TVITEMA& item = insert.item;
    item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM | TVIF_SELECTEDIMAGE;
    item.pszText = const_cast<char*>(text);
    item.cchTextMax = 4;  // ignored when the control stores the text
    item.iImage = item.iSelectedImage = records.itemImage;
    item.lParam = level;
    return insert;
}

constexpr DWORD kTreeStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_SINGLEEXPAND | TVS_TRACKSELECT |
                             TVS_SHOWSELALWAYS | TVS_LINESATROOT | TVS_HASLINES | TVS_HASBUTTONS;
static_assert(kTreeStyle == 0x50800627);

}  // namespace

// Creates a tree view on the dialog; argument 7 is its image list, arguments
// 8, 9 and 10 the images of its items, of parents when selected and of
// parents; argument 11 of 1 adds check boxes.
std::int32_t CVantor::tvCreateTreeView(const Call& call) {
    latestImages.itemImage = call.integer(8);
    latestImages.parentImage = call.integer(10);
    latestImages.parentSelectedImage = call.integer(9);
    const DWORD style = kTreeStyle | (call.optionalInteger(11, 0) == 1 ? TVS_CHECKBOXES : 0);
    const HWND window = CreateControl(
        ControlSpec{.className = WC_TREEVIEWA, .text = "Tree View", .style = style, .hostInstance = false}, call);
    if (window != nullptr) {
        RecordsOf(window, latestImages);
        TreeView(window).SetImageList(call.objectHandle<HIMAGELIST>(7));
    }
    return call.ReturnInteger(HandleValue(window));
}

// Adds an item at a level: 1 starts a branch at the root, 2 hangs below the
// latest level-1 item, any other level below the latest level-2 item. Gives
// the number of items in the tree, or -1 when the control refuses the item.
std::int32_t CVantor::tvAdd(const Call& call) {
    const TreeView view(call.window(1));
    const std::int32_t level = call.integer(3);
    TreeRecords& records = RecordsForAdding(view.hwnd());

    TVINSERTSTRUCTA insert = InsertionAt(records, level, call.text(2));
    const HTREEITEM added = view.InsertItem(insert);
    records.lastInserted = added;
    if (added == nullptr) return call.ReturnInteger(-1);
    if (level == 1) records.lastLevel1 = added;
    if (level == 2) records.lastLevel2 = added;
    // The records are not touched after this: the host may answer the
    // expansion's notification by destroying the tree, and its records.
    const int parentImage = records.parentImage;
    const int parentSelectedImage = records.parentSelectedImage;

    view.Expand(view.Parent(added));
    if (level >= 2) view.SetItemImages(view.Parent(added), parentImage, parentSelectedImage);
    return call.ReturnInteger(view.Count());
}

// Deletes the selected item with its children (with no selection, the whole
// tree), or every item when argument 2 is 1. Gives 1.
std::int32_t CVantor::tvDelete(const Call& call) {
    const TreeView view(call.window(1));
    TreeRecords* records = CarriedBy(view.hwnd());
    if (call.optionalInteger(2, 0) == 1) {
        if (records != nullptr) records->ForgetWithin(view, nullptr);
        view.DeleteItem(TVI_ROOT);
        return call.ReturnInteger(1);
    }
    const HTREEITEM selected = view.Selection();
    const HTREEITEM parent = view.Parent(selected);
    if (records != nullptr) records->ForgetWithin(view, selected);
    view.DeleteItem(selected);
    view.Expand(parent);
    return call.ReturnInteger(1);
}

std::int32_t CVantor::ilCreateImgList(const Call& call) {
    const HIMAGELIST list = ImageList_Create(call.integer(3), call.integer(4), ILC_COLOR16, call.integer(1), call.integer(2));
    return call.ReturnInteger(HandleValue(list));
}

// Adds the images of a bitmap file (a bitmap wider than the list's images
// gives several) and gives the number of images afterwards; a file that is
// not a bitmap adds nothing. A file that cannot be opened shows "File Open
// Error" and ends without a result: the host gets 0.
std::int32_t CVantor::ilAddImage(const Call& call) {
    const HIMAGELIST list = call.objectHandle<HIMAGELIST>(1);
    const char* path = call.text(2);
    if (!call.CheckFileReadable(path)) return call.NoResult(0);
    const UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageA(
        nullptr, path, IMAGE_BITMAP, 0, 0,
        LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_VGACOLOR | LR_CREATEDIBSECTION)));
    if (bitmap) ImageList_Add(list, bitmap.get(), nullptr);
    return call.ReturnInteger(ImageList_GetImageCount(list));
}

std::int32_t CVantor::ilDeleteImgList(const Call& call) {
    ImageList_Destroy(call.objectHandle<HIMAGELIST>(1));
    return call.ReturnInteger(1);
}

// Removes the image at the 1-based position of argument 2 and gives the
// number of images left; 0 or a position out of range removes nothing.
std::int32_t CVantor::ilRemoveImage(const Call& call) {
    const HIMAGELIST list = call.objectHandle<HIMAGELIST>(1);
    const std::int32_t position = call.integer(2);
    if (position >= 1 && position <= ImageList_GetImageCount(list)) ImageList_Remove(list, ZeroBased(position));
    return call.ReturnInteger(ImageList_GetImageCount(list));
}

}  // namespace vantor
