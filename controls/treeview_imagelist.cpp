// Tree-view and image-list functions. A script builds a tree in document
// order, level by level; the tree records below remember where the next item
// goes. Image lists are the script's, known to it by their handles.
#include "host/vantor.h"

#include "controls/create_control.h"
#include "controls/window_data.h"
#include "wrappers/image_list.h"
#include "wrappers/tree_view.h"
#include "host/arguments.h"
#include "host/core/value_helpers.h"
#include "host/owners.h"

#include <commctrl.h>

#include <cstdint>

namespace vantor {
namespace {

// True when item is ancestor or lies below it.
bool IsWithin(const TreeView& view, HTREEITEM item, HTREEITEM ancestor) {
    for (HTREEITEM at = item; at != nullptr; at = view.GetParentItem(at))
        if (at == ancestor) return true;
    return false;
}

// Where the next item of one tree goes, and the images its items take. Each
// tree carries its own records (WindowData) and they go with it, so building
// two trees in turn gives each its own branches. Items a delete removes are
// forgotten, so the control is never handed an item that is gone; records
// naming items that stay are kept.
struct TreeRecords {
    static constexpr UINT_PTR kSubclassId = SubclassId("VTVR");

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
                   (gone == nullptr || IsWithin(view, item, gone));
        };
        if (goes(lastInserted)) lastInserted = TVI_LAST;
        if (goes(lastLevel1)) lastLevel1 = nullptr;
        if (goes(lastLevel2)) lastLevel2 = nullptr;
    }
};

// The images of the latest tvCreateTreeView: a tree it did not create (one
// of the host's) takes these when the script first adds to it.
TreeRecords latestImages;

// The records of a tree the script adds to: those it carries, or fresh ones
// it then carries. A tree the library did not create (one of the host's)
// starts with the latest images; its own items stay first, new ones go after
// them. A tree that cannot carry records (no window, or one of another
// thread) gets local, filled with that start and gone with the call.
TreeRecords& RecordsForAdding(HWND tree, TreeRecords& local) {
    local = latestImages;
    local.lastInserted = TVI_LAST;
    TreeRecords* carried = WindowData<TreeRecords>::For(tree, local);
    return carried != nullptr ? *carried : local;
}

// Inserts an item of the given text at a level, placed as the tree's records
// say (level 1 at the root, 2 below the latest level-1 item, others below the
// latest level-2 item, after the item inserted last), and records it; null
// when the control refuses it.
HTREEITEM InsertRecorded(const TreeView& view, TreeRecords& records, std::int32_t level, const char* text) {
    const HTREEITEM parent = level == 1 ? TVI_ROOT : level == 2 ? records.lastLevel1 : records.lastLevel2;
    const HTREEITEM after = records.lastInserted != nullptr ? records.lastInserted : TVI_LAST;
    const HTREEITEM added = view.InsertItem(parent, after, text, records.itemImage, records.itemImage, level);
    records.lastInserted = added;
    if (added == nullptr) return nullptr;
    if (level == 1) records.lastLevel1 = added;
    if (level == 2) records.lastLevel2 = added;
    return added;
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
        WindowData<TreeRecords>::For(window, latestImages);
        TreeView(window).SetImageList(call.objectHandle<HIMAGELIST>(7), TVSIL_NORMAL);
    }
    return call.ReturnInteger(HandleValue(window));
}

// Adds an item at a level: 1 starts a branch at the root, 2 hangs below the
// latest level-1 item, any other level below the latest level-2 item. Gives
// the number of items in the tree, or -1 when the control refuses the item.
std::int32_t CVantor::tvAdd(const Call& call) {
    const TreeView view(call.window(1));
    const std::int32_t level = call.integer(3);
    TreeRecords local;
    TreeRecords& records = RecordsForAdding(view, local);
    const HTREEITEM added = InsertRecorded(view, records, level, call.text(2));
    if (added == nullptr) return call.ReturnInteger(-1);
    // The records are not touched after this: the host may answer the
    // expansion's notification by destroying the tree, and its records.
    const int parentImage = records.parentImage;
    const int parentSelectedImage = records.parentSelectedImage;

    view.Expand(view.GetParentItem(added), TVE_EXPAND);
    if (level >= 2) view.SetItemImages(view.GetParentItem(added), parentImage, parentSelectedImage);
    return call.ReturnInteger(view.GetCount());
}

// Deletes the selected item with its children (with no selection, the whole
// tree), or every item when argument 2 is 1. Gives 1.
std::int32_t CVantor::tvDelete(const Call& call) {
    const TreeView view(call.window(1));
    TreeRecords* records = WindowData<TreeRecords>::Of(view);
    if (call.optionalInteger(2, 0) == 1) {
        if (records != nullptr) records->ForgetWithin(view, nullptr);
        view.DeleteItem(TVI_ROOT);
        return call.ReturnInteger(1);
    }
    const HTREEITEM selected = view.GetSelectedItem();
    const HTREEITEM parent = view.GetParentItem(selected);
    if (records != nullptr) records->ForgetWithin(view, selected);
    view.DeleteItem(selected);
    view.Expand(parent, TVE_EXPAND);
    return call.ReturnInteger(1);
}

// The list's images are width (argument 3) by height (argument 4) in 16-bit
// colour, with room for argument 1 images, growing by argument 2.
std::int32_t CVantor::ilCreateImgList(const Call& call) {
    const ImageList list =
        ImageList::Create(call.integer(3), call.integer(4), ILC_COLOR16, call.integer(1), call.integer(2));
    return call.ReturnInteger(HandleValue(list.handle()));
}

// Adds the images of a bitmap file (a bitmap wider than the list's images
// gives several) and gives the number of images afterwards; a file that is
// not a bitmap adds nothing. A file that cannot be opened shows "File Open
// Error" and ends without a result: the host gets 0.
std::int32_t CVantor::ilAddImage(const Call& call) {
    const ImageList list(call.objectHandle<HIMAGELIST>(1));
    const char* path = call.text(2);
    if (!call.CheckFileReadable(path)) return call.NoResult(0);
    const UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageA(
        nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_VGACOLOR | LR_CREATEDIBSECTION)));
    if (bitmap) list.Add(bitmap.get(), nullptr);
    return call.ReturnInteger(list.GetImageCount());
}

std::int32_t CVantor::ilDeleteImgList(const Call& call) {
    ImageList(call.objectHandle<HIMAGELIST>(1)).Destroy();
    return call.ReturnInteger(1);
}

// Removes the image at the 1-based position of argument 2 and gives the
// number of images left; 0 or a position out of range removes nothing.
std::int32_t CVantor::ilRemoveImage(const Call& call) {
    const ImageList list(call.objectHandle<HIMAGELIST>(1));
    const std::int32_t position = call.integer(2);
    if (position >= 1 && position <= list.GetImageCount()) list.Remove(ZeroBased(position));
    return call.ReturnInteger(list.GetImageCount());
}

}  // namespace vantor
