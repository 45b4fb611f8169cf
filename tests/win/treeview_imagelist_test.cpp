// Tree views made by tvCreateTreeView and image lists made by ilCreateImgList,
// driven through the extender and read back with the controls' own messages.
#include "tests/host/dialog_test.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <malloc.h>

#include <cstddef>
#include <string>
#include <vector>

using namespace vantor::testing;

namespace {

using vantor::HandleValue;

HWND AsWindow(std::int32_t value) { return vantor::HandleFrom<HWND>(value); }

HTREEITEM Next(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

struct ItemSeen {
    std::string text;
    int image = -1, selectedImage = -1;
    LPARAM level = 0;
    UINT state = 0;
};

ItemSeen Read(HWND tree, HTREEITEM item) {
    char text[256] = {};
    TVITEMA record{};
    record.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
    record.hItem = item;
    record.pszText = text;
    record.cchTextMax = sizeof text;
    record.stateMask = TVIS_STATEIMAGEMASK | TVIS_EXPANDED;
    EXPECT_TRUE(SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record)));
    return {record.pszText, record.iImage, record.iSelectedImage, record.lParam, record.state};
}

// The texts of item's children, in order.
std::vector<std::string> Children(HWND tree, HTREEITEM item) {
    std::vector<std::string> texts;
    for (HTREEITEM child = Next(tree, item, TVGN_CHILD); child != nullptr; child = Next(tree, child, TVGN_NEXT))
        texts.push_back(Read(tree, child).text);
    return texts;
}

HTREEITEM Root(HWND tree) { return Next(tree, nullptr, TVGN_ROOT); }

class TreeTest : public DialogTest {
protected:
    // A tree view with item image 1, parent selected image 2, parent image 3.
    HWND MakeTree(std::vector<Arg> extra = {}, int itemImage = 1, int parentSelectedImage = 2, int parentImage = 3) {
        std::vector<Arg> args{dialog.hwnd(), 10, 20, 300, 200, 0, 0, itemImage, parentSelectedImage, parentImage};
        args.insert(args.end(), extra.begin(), extra.end());
        const CallResult r = host.Call("tvCreateTreeView", args);
        EXPECT_TRUE(r.delivered());
        return AsWindow(r.integer());
    }
    int Add(HWND tree, const char* text, int level) { return host.Call("tvAdd", {tree, text, level}).integer(); }
};

}  // namespace

TEST_F(TreeTest, CreatesTheTreeWithItsStyleTextAndImageList) {
    const HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR16, 2, 2);
    const CallResult r =
        host.Call("tvCreateTreeView", {dialog.hwnd(), 10, 20, 300, 200, 0, HandleValue(images), 1, 2, 3});
    const HWND tree = AsWindow(r.integer());
    ASSERT_TRUE(IsWindow(tree));
    char name[64] = {}, text[64] = {};
    GetClassNameA(tree, name, sizeof name);
    GetWindowTextA(tree, text, sizeof text);
    EXPECT_STREQ(name, "SysTreeView32");
    EXPECT_STREQ(text, "Tree View");
    EXPECT_EQ(GetParent(tree), dialog.hwnd());
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(tree, GWL_STYLE)), 0x50800627u);
    EXPECT_EQ(GetWindowLongPtrA(tree, GWLP_HINSTANCE), 0) << "created with no instance";
    RECT place{};
    GetWindowRect(tree, &place);
    MapWindowPoints(nullptr, dialog.hwnd(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, 10);
    EXPECT_EQ(place.top, 20);
    EXPECT_EQ(place.right - place.left, 300);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)), images);
    DestroyWindow(tree);
    ImageList_Destroy(images);

    EXPECT_EQ(host.Call("tvCreateTreeView", {0, 0, 0, 10, 10, 0, 0, 0, 0, 0}).integer(), 0) << "no parent, no tree";
}

TEST_F(TreeTest, CheckBoxesOnlyWithAnEleventhArgumentOfOne) {
    const auto styleOf = [](HWND tree) { return static_cast<DWORD>(GetWindowLongA(tree, GWL_STYLE)); };
    const HWND plain = MakeTree();
    const HWND checked = MakeTree({1});
    const HWND two = MakeTree({2});
    EXPECT_EQ(styleOf(plain) & TVS_CHECKBOXES, 0u);
    EXPECT_EQ(styleOf(checked), 0x50800727u);
    EXPECT_EQ(styleOf(two) & TVS_CHECKBOXES, 0u);

    ASSERT_EQ(Add(checked, "box", 1), 1);
    EXPECT_EQ(Read(checked, Root(checked)).state & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1))
        << "a new item shows an unchecked box";
    ASSERT_EQ(Add(plain, "plain", 1), 1);
    EXPECT_EQ(Read(plain, Root(plain)).state & TVIS_STATEIMAGEMASK, 0u);
}

TEST_F(TreeTest, LevelsBuildBranchesInDocumentOrder) {
    const HWND tree = MakeTree();
    const struct {
        const char* text;
        int level;
    } steps[] = {{"A", 1}, {"A.1", 2}, {"A.2", 2}, {"A.2.x", 3}, {"B", 1}, {"B.1", 2}};
    int expected = 0;
    for (const auto& step : steps) EXPECT_EQ(Add(tree, step.text, step.level), ++expected) << step.text;

    const HTREEITEM a = Root(tree);
    const HTREEITEM b = Next(tree, a, TVGN_NEXT);
    EXPECT_EQ(Children(tree, nullptr), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(Children(tree, a), (std::vector<std::string>{"A.1", "A.2"}));
    const HTREEITEM a2 = Next(tree, Next(tree, a, TVGN_CHILD), TVGN_NEXT);
    EXPECT_EQ(Children(tree, a2), (std::vector<std::string>{"A.2.x"}));
    EXPECT_EQ(Children(tree, b), (std::vector<std::string>{"B.1"}));

    // Levels ride in lParam; parents wear the parent images, leaves the item image;
    // parents are expanded.
    const ItemSeen top = Read(tree, a), middle = Read(tree, a2), leaf = Read(tree, Next(tree, a2, TVGN_CHILD));
    EXPECT_EQ(top.level, 1);
    EXPECT_EQ(middle.level, 2);
    EXPECT_EQ(leaf.level, 3);
    EXPECT_EQ(top.image, 3);
    EXPECT_EQ(top.selectedImage, 2);
    EXPECT_EQ(middle.image, 3);
    EXPECT_EQ(leaf.image, 1);
    EXPECT_EQ(leaf.selectedImage, 1);
    EXPECT_NE(top.state & TVIS_EXPANDED, 0u);
    EXPECT_NE(middle.state & TVIS_EXPANDED, 0u);

    // Deeper levels do not nest further; level 0 hangs below the latest level-2
    // item and leaves its parent's images alone.
    EXPECT_EQ(Add(tree, "B.1.deep", 7), 7);
    const HTREEITEM b1 = Next(tree, b, TVGN_CHILD);
    EXPECT_EQ(Children(tree, b1), (std::vector<std::string>{"B.1.deep"}));
    EXPECT_EQ(Add(tree, "B.1.zero", 0), 8);
    EXPECT_EQ(Children(tree, b1), (std::vector<std::string>{"B.1.deep", "B.1.zero"}));
}

TEST_F(TreeTest, LevelTwoBeforeAnyLevelOneGoesToTheRoot) {
    const HWND first = MakeTree();
    ASSERT_EQ(Add(first, "elsewhere", 1), 1);  // a level-1 item of another tree
    const HWND tree = MakeTree();
    EXPECT_EQ(Add(tree, "orphan", 2), 1);
    EXPECT_EQ(Children(tree, nullptr), (std::vector<std::string>{"orphan"}));
    EXPECT_EQ(Add(tree, "orphan leaf", 3), 2);
    EXPECT_EQ(Children(tree, Root(tree)), (std::vector<std::string>{"orphan leaf"}));
}

TEST_F(TreeTest, TwoTreesBuiltInTurnEachKeepTheirOwnBranchesAndImages) {
    const HWND one = MakeTree();
    const HWND two = MakeTree({}, 4, 5, 6);
    for (const auto& [text, level] : {std::pair{"A", 1},
                                      {"X", 1},
                                      {"A.1", 2},
                                      {"X.1", 2},
                                      {"A.1.a", 3},
                                      {"X.1.a", 3},
                                      {"B", 1},
                                      {"Y", 1},
                                      {"B.1", 2}}) {
        const HWND tree = text[0] < 'X' ? one : two;
        EXPECT_GT(Add(tree, text, level), 0) << text;
    }
    const HTREEITEM a = Root(one), b = Next(one, a, TVGN_NEXT), a1 = Next(one, a, TVGN_CHILD);
    ASSERT_EQ(Children(one, nullptr), (std::vector<std::string>{"A", "B"}));
    ASSERT_NE(a1, nullptr);
    EXPECT_EQ(Children(one, a), (std::vector<std::string>{"A.1"}));
    EXPECT_EQ(Children(one, a1), (std::vector<std::string>{"A.1.a"}));
    EXPECT_EQ(Children(one, b), (std::vector<std::string>{"B.1"}));
    const HTREEITEM x = Root(two), x1 = Next(two, x, TVGN_CHILD);
    ASSERT_EQ(Children(two, nullptr), (std::vector<std::string>{"X", "Y"}));
    ASSERT_NE(x1, nullptr);
    EXPECT_EQ(Children(two, x), (std::vector<std::string>{"X.1"}));
    EXPECT_EQ(Children(two, x1), (std::vector<std::string>{"X.1.a"}));

    // Each tree keeps the images it was created with.
    const HTREEITEM a1a = Next(one, a1, TVGN_CHILD), x1a = Next(two, x1, TVGN_CHILD);
    ASSERT_TRUE(a1a != nullptr && x1a != nullptr);
    EXPECT_EQ(Read(one, a1a).image, 1);
    EXPECT_EQ(Read(one, a).image, 3);
    EXPECT_EQ(Read(one, a).selectedImage, 2);
    EXPECT_EQ(Read(two, x1a).image, 4);
    EXPECT_EQ(Read(two, x).image, 6);
    EXPECT_EQ(Read(two, x).selectedImage, 5);
}

TEST_F(TreeTest, TreeOfTheHostTakesTheLatestImagesAndKeepsItsItemsFirst) {
    MakeTree({}, 7, 8, 9);
    const HWND tree = dialog.AddChild(WC_TREEVIEWA, WS_BORDER, 0, 10, 240, 200, 100);
    TVINSERTSTRUCTA own{};
    own.hParent = TVI_ROOT;
    own.hInsertAfter = TVI_LAST;
    own.item.mask = TVIF_TEXT;
    own.item.pszText = const_cast<char*>("own");
    ASSERT_NE(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&own)), 0);
    EXPECT_EQ(Add(tree, "added", 1), 2);
    EXPECT_EQ(Add(tree, "added.1", 2), 3);
    EXPECT_EQ(Children(tree, nullptr), (std::vector<std::string>{"own", "added"}));
    const HTREEITEM added = Next(tree, Root(tree), TVGN_NEXT);
    ASSERT_EQ(Children(tree, added), (std::vector<std::string>{"added.1"}));
    EXPECT_EQ(Read(tree, Next(tree, added, TVGN_CHILD)).image, 7);
    EXPECT_EQ(Read(tree, added).image, 9);
}

// Bytes in use on the C runtime's heap, where the library allocates.
std::size_t RuntimeHeapInUse() {
    const auto heap = reinterpret_cast<HANDLE>(_get_heap_handle());
    std::size_t used = 0;
    PROCESS_HEAP_ENTRY entry{};
    HeapLock(heap);
    while (HeapWalk(heap, &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) used += entry.cbData;
    HeapUnlock(heap);
    return used;
}

TEST_F(TreeTest, DestroyedTreesTakeTheirRecordsWithThem) {
    const auto buildAndDestroy = [&](int times) {
        for (int i = 0; i < times; ++i) {
            const HWND tree = MakeTree();
            Add(tree, "a", 1);
            Add(tree, "a.1", 2);
            DestroyWindow(tree);
        }
    };
    buildAndDestroy(20);
    const std::size_t before = RuntimeHeapInUse();
    ASSERT_GT(before, 0u) << "the heap can be walked";
    constexpr int kTrees = 150;
    buildAndDestroy(kTrees);
    const std::size_t after = RuntimeHeapInUse();
    // The records of one tree take more than 20 bytes: kept records of 400
    // trees would hold more than 3,000.
    EXPECT_LT(after, before + kTrees * 20 / 4) << before << " -> " << after;
}

TEST_F(TreeTest, DeletesTheSelectionOrEverything) {
    const HWND tree = MakeTree();
    Add(tree, "A", 1);
    Add(tree, "A.1", 2);
    Add(tree, "A.1.x", 3);
    Add(tree, "A.2", 2);
    Add(tree, "B", 1);
    const HTREEITEM a1 = Next(tree, Root(tree), TVGN_CHILD);
    ASSERT_TRUE(SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a1)));

    EXPECT_EQ(host.Call("tvDelete", {tree}).integer(), 1);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 3) << "A.1 went with its child";
    EXPECT_EQ(Children(tree, Root(tree)), (std::vector<std::string>{"A.2"}));
    EXPECT_NE(Read(tree, Root(tree)).state & TVIS_EXPANDED, 0u);

    // The tree goes on from the remaining items.
    EXPECT_EQ(Add(tree, "B.1", 2), 4);
    EXPECT_EQ(Children(tree, Next(tree, Root(tree), TVGN_NEXT)), (std::vector<std::string>{"B.1"}));
    // A level-3 item whose level-2 parent was deleted hangs from the root
    // rather than from an item that is gone.
    const HTREEITEM b1 = Next(tree, Next(tree, Root(tree), TVGN_NEXT), TVGN_CHILD);
    ASSERT_TRUE(SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(b1)));
    EXPECT_EQ(host.Call("tvDelete", {tree, 0}).integer(), 1);
    EXPECT_EQ(Add(tree, "C", 3), 4);
    EXPECT_EQ(Children(tree, nullptr), (std::vector<std::string>{"A", "B", "C"}));

    EXPECT_EQ(host.Call("tvDelete", {tree, 1}).integer(), 1);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Add(tree, "again", 2), 1) << "after deleting all, level 2 starts at the root";
    EXPECT_EQ(Add(tree, "first", 1), 2);
    EXPECT_EQ(Children(tree, nullptr), (std::vector<std::string>{"again", "first"}));
}

TEST_F(TreeTest, DeleteWithNoSelectionEmptiesTheTree) {
    const HWND tree = MakeTree();
    Add(tree, "A", 1);
    Add(tree, "A.1", 2);
    Add(tree, "B", 1);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, 0);
    ASSERT_EQ(Next(tree, nullptr, TVGN_CARET), nullptr);
    EXPECT_EQ(host.Call("tvDelete", {tree}).integer(), 1);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Add(tree, "new", 2), 1) << "the forgotten level-1 item is no parent";
    EXPECT_EQ(Children(tree, nullptr), (std::vector<std::string>{"new"}));
}

TEST_F(TreeTest, HandlesThatAreNoWindow) {
    const HWND none = AsWindow(0x7FFF0);
    EXPECT_EQ(host.Call("tvAdd", {none, "x", 1}).integer(), -1);
    EXPECT_EQ(host.Call("tvDelete", {none}).integer(), 1);
    EXPECT_EQ(host.Call("tvDelete", {none, 1}).integer(), 1);
    // The tree that follows is not disturbed by the refused insert.
    const HWND tree = MakeTree();
    EXPECT_EQ(Add(tree, "fine", 1), 1);
    EXPECT_EQ(Add(tree, "fine.1", 2), 2);
    EXPECT_EQ(Children(tree, Root(tree)), (std::vector<std::string>{"fine.1"}));
}

class ImageListTest : public DialogTest {
protected:
    HIMAGELIST Create(int width, int height) {
        const CallResult r = host.Call("ilCreateImgList", {1, 4, width, height, 0});
        EXPECT_TRUE(r.delivered());
        return reinterpret_cast<HIMAGELIST>(static_cast<std::intptr_t>(r.integer()));
    }
};

TEST_F(ImageListTest, CreatesAddsFromBitmapFilesAndDeletes) {
    const HIMAGELIST list = Create(16, 16);
    ASSERT_NE(list, nullptr);
    int width = 0, height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(list, &width, &height));
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);
    EXPECT_EQ(ImageList_GetImageCount(list), 0);

    TempFile strip(".bmp");
    strip.Write(BitmapFileBytes(64, 16, RGB(200, 10, 10)));
    CallResult r = host.Call("ilAddImage", {HandleValue(list), strip.path(), 0, 0});
    EXPECT_EQ(r.integer(), 4);
    EXPECT_EQ(ImageList_GetImageCount(list), 4);
    EXPECT_EQ(host.Call("ilAddImage", {HandleValue(list), strip.path(), 0, 0}).integer(), 8);

    TempFile single(".bmp");
    single.Write(BitmapFileBytes(16, 16, RGB(0, 0, 255)));
    EXPECT_EQ(host.Call("ilAddImage", {HandleValue(list), single.path(), 0, 0}).integer(), 9);
    EXPECT_TRUE(host.messageBoxes.empty());

    EXPECT_EQ(host.Call("ilDeleteImgList", {HandleValue(list)}).integer(), 1);
}

// Handles that are no image list: addresses that are not mapped (65535,
// -1, 0x12345678) and memory that holds something else. Each function
// answers as for an empty list and the process lives on; under emulation an
// unmapped address once ended the program inside the platform's own check.
TEST_F(ImageListTest, HandlesThatAreNoImageListAnswerAsAnEmptyOne) {
    static const char notAList[64] = "some memory that is no image list";
    TempFile single(".bmp");
    single.Write(BitmapFileBytes(16, 16, RGB(0, 0, 255)));
    const HWND view = dialog.AddChild(WC_LISTVIEWA, LVS_REPORT, 7, 10, 10, 200, 100);
    for (std::int32_t handle : {65535, -1, 0x12345678, HandleValue(notAList)}) {
        SCOPED_TRACE(handle);
        EXPECT_EQ(host.Call("ilAddImage", {handle, single.path(), 0, 0}).integer(), 0);
        EXPECT_EQ(host.Call("ilRemoveImage", {handle, 1}).integer(), 0);
        EXPECT_EQ(host.Call("ilDeleteImgList", {handle}).integer(), 1);
        EXPECT_EQ(host.Call("lvSetImageList", {view, handle}).integer(), 0);
        if (handle != HandleValue(notAList)) {
            EXPECT_EQ(ListView_GetImageList(view, LVSIL_SMALL), nullptr) << "the control got no list";
        }
    }
    UpdateWindow(view);
    EXPECT_STREQ(notAList, "some memory that is no image list");
}

TEST_F(ImageListTest, MissingFileShowsFileOpenErrorAndDeliversNothing) {
    const HIMAGELIST list = Create(16, 16);
    const CallResult r = host.Call("ilAddImage", {HandleValue(list), "C:\\no such folder\\none.bmp", 0, 0});
    EXPECT_FALSE(r.delivered());
    EXPECT_EQ(r.returned, 0);
    EXPECT_EQ(r.cell.intValue, HostDouble::kUntouchedInteger);
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].title, "File Open Error");
    EXPECT_EQ(host.messageBoxes[0].text, "The specified file does not appear to be available");

    host.ClearRecords();
    EXPECT_FALSE(host.Call("ilAddImage", {HandleValue(list), "", 0, 0}).delivered()) << "an empty name";
    EXPECT_EQ(host.messageBoxes.size(), 1u);
    ImageList_Destroy(list);
}

TEST_F(ImageListTest, FileThatIsNoBitmapAddsNothing) {
    const HIMAGELIST list = Create(16, 16);
    TempFile one(".bmp");
    one.Write(BitmapFileBytes(16, 16, RGB(1, 2, 3)));
    ASSERT_EQ(host.Call("ilAddImage", {HandleValue(list), one.path(), 0, 0}).integer(), 1);

    TempFile text(".bmp");
    text.Write(std::string(100000, 'x'));
    const CallResult r = host.Call("ilAddImage", {HandleValue(list), text.path(), 0, 0});
    EXPECT_TRUE(r.delivered());
    EXPECT_EQ(r.integer(), 1);
    TempFile empty(".bmp");
    empty.Write("");
    EXPECT_EQ(host.Call("ilAddImage", {HandleValue(list), empty.path(), 0, 0}).integer(), 1);
    EXPECT_TRUE(host.messageBoxes.empty());
    ImageList_Destroy(list);
}

TEST_F(ImageListTest, RemoveImageTakesTheOneAtItsPosition) {
    const HIMAGELIST list = Create(16, 16);
    // Five images of distinct reds, so the removed one can be told apart (the
    // list's 16-bit colours round them a little).
    for (COLORREF colour : {RGB(0, 0, 0), RGB(60, 0, 0), RGB(120, 0, 0), RGB(180, 0, 0), RGB(240, 0, 0)}) {
        TempFile file(".bmp");
        file.Write(BitmapFileBytes(16, 16, colour));
        host.Call("ilAddImage", {HandleValue(list), file.path(), 0, 0});
    }
    ASSERT_EQ(ImageList_GetImageCount(list), 5);

    for (int outside : {0, -1, 6, 1000})
        EXPECT_EQ(host.Call("ilRemoveImage", {HandleValue(list), outside}).integer(), 5) << outside;
    EXPECT_EQ(ImageList_GetImageCount(list), 5);

    const auto redOf = [&](int index) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP canvas = CreateCompatibleBitmap(screen, 16, 16);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, canvas);
        ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
        const int red = GetRValue(GetPixel(dc, 8, 8));
        SelectObject(dc, old);
        DeleteObject(canvas);
        DeleteDC(dc);
        return red;
    };
    ASSERT_NEAR(redOf(1), 60, 10);
    EXPECT_EQ(host.Call("ilRemoveImage", {HandleValue(list), 2}).integer(), 4);
    EXPECT_EQ(ImageList_GetImageCount(list), 4);
    EXPECT_NEAR(redOf(0), 0, 10);
    EXPECT_NEAR(redOf(1), 120, 10) << "the second image went";
    EXPECT_EQ(host.Call("ilRemoveImage", {HandleValue(list), 4}).integer(), 3);
    EXPECT_NEAR(redOf(2), 180, 10);
    ImageList_Destroy(list);

    EXPECT_EQ(host.Call("ilRemoveImage", {0, 1}).integer(), 0) << "no list";
}
