// List boxes and combo boxes of a real dialog, driven through the extender.
#include "host/window.h"
#include "tests/host/dialog_test.h"
#include "tests/host/redraw_switches.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

using namespace vantor::testing;

namespace {

// One host and one dialog for the whole suite (a dialog takes seconds to
// come up under Wine); each test's controls go when it ends.
class Boxes : public DialogTest {
protected:
    HWND List(DWORD style, const std::vector<std::string>& items) {
        const HWND list = dialog.AddChild("LISTBOX", style | WS_VSCROLL | WS_BORDER, 0, 10, 10, 200, 200);
        const bool many = items.size() > 100;  // painted item by item, they take seconds under Wine
        if (many) SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        for (const auto& item : items) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        if (many) SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        return list;
    }

    HWND Combo(DWORD style, int items) {
        const HWND combo = dialog.AddChild("COMBOBOX", style | WS_VSCROLL, 0, 250, 10, 150, 24);
        for (int i = 1; i <= items; ++i) {
            const std::string text = "Item " + std::to_string(i);
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        return combo;
    }

    static std::vector<std::string> Items(HWND list) {
        std::vector<std::string> items;
        const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[64] = {};
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            items.emplace_back(text);
        }
        return items;
    }

    static void Select(HWND list, std::initializer_list<int> positions) {
        for (int position : positions) SendMessageA(list, LB_SETSEL, TRUE, position);
    }
};

using Strings = std::vector<std::string>;
const Strings kThree = {"a", "b", "c"};
const Strings kFive = {"a", "b", "c", "d", "e"};

}  // namespace

TEST_F(Boxes, ComboSelectionIsOneBased) {
    const HWND combo = Combo(CBS_DROPDOWNLIST, 2);
    EXPECT_EQ(host.Call("cbGetCurSel", {combo}).integer(), 0) << "nothing selected";
    EXPECT_EQ(host.Call("cbSetCurSel", {combo, 3}).integer(), 0) << "past the end";
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);

    const CallResult set = host.Call("cbSetCurSel", {combo, 2});
    EXPECT_EQ(set.integer(), 2);
    EXPECT_EQ(set.status, 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(host.Call("cbGetCurSel", {combo}).integer(), 2);

    EXPECT_EQ(host.Call("cbSetCurSel", {combo, 0}).integer(), 0) << "item 0 clears the selection";
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
}

// Drops the list and counts the whole items it shows.
static int VisibleItems(HWND combo) {
    const bool simple = (GetWindowLongA(combo, GWL_STYLE) & 3) == CBS_SIMPLE;
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    DialogFixture::Pump();
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetComboBoxInfo(combo, &info));
    RECT client{};
    GetClientRect(info.hwndList, &client);
    const auto itemHeight = static_cast<int>(SendMessageA(info.hwndList, LB_GETITEMHEIGHT, 0, 0));
    const bool dropped = simple || SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    DialogFixture::Pump();
    EXPECT_TRUE(dropped);
    return itemHeight > 0 ? client.bottom / itemHeight : -1;
}

TEST_F(Boxes, DropHeightShowsTheNumberOfItems) {
    for (const DWORD style : {DWORD{CBS_DROPDOWNLIST}, DWORD{CBS_DROPDOWN},
                              DWORD{CBS_DROPDOWNLIST | CBS_NOINTEGRALHEIGHT}, DWORD{CBS_SIMPLE}}) {
        SCOPED_TRACE(style);
        const HWND combo = Combo(style, 20);
        RECT before{};
        GetWindowRect(combo, &before);
        for (const int items : {5, 3, 12}) {
            SCOPED_TRACE(items);
            EXPECT_EQ(host.Call("cbSetDropHeight", {combo, items}).integer(), 1);
            EXPECT_EQ(VisibleItems(combo), items);
            RECT after{};
            GetWindowRect(combo, &after);
            EXPECT_EQ(after.top, before.top) << "the box stays in place";
            EXPECT_EQ(after.left, before.left);
            EXPECT_EQ(after.right - after.left, before.right - before.left);
        }
        DestroyWindow(combo);
    }
}

TEST_F(Boxes, DropHeightRefusesWhatIsNoItemCount) {
    const HWND combo = Combo(CBS_DROPDOWNLIST, 20);
    EXPECT_EQ(host.Call("cbSetDropHeight", {combo, 4}).integer(), 1);
    EXPECT_EQ(host.Call("cbSetDropHeight", {combo, 0}).integer(), 0);
    EXPECT_EQ(host.Call("cbSetDropHeight", {combo, -7}).integer(), 0);
    EXPECT_EQ(VisibleItems(combo), 4) << "a refused call changes nothing";
    const HWND list = List(LBS_NOTIFY, kThree);
    EXPECT_EQ(host.Call("cbSetDropHeight", {list, 4}).integer(), 0) << "no combo box";
    EXPECT_EQ(host.Call("cbSetDropHeight", {0, 4}).integer(), 0);
}

TEST_F(Boxes, DeleteItemByIndex) {
    HWND list = List(0, kThree);
    EXPECT_EQ(host.Call("lbDeleteItem", {list, -1, 0}).integer(), 2) << "-1 is the last item";
    EXPECT_EQ(Items(list), (Strings{"a", "b"}));
    EXPECT_EQ(host.Call("lbDeleteItem", {list, 0, 0}).integer(), 1) << "item 0 is item 1";
    EXPECT_EQ(Items(list), (Strings{"b"}));

    list = List(0, kThree);
    EXPECT_EQ(host.Call("lbDeleteItem", {list, -1, 5}).integer(), LB_ERR) << "counts from the end only with scope 0";
    EXPECT_EQ(Items(list), kThree);
    EXPECT_EQ(host.Call("lbDeleteItem", {list, 2, 7}).integer(), 2);
    EXPECT_EQ(Items(list), (Strings{"a", "c"}));
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(Boxes, DeleteItemByScope) {
    HWND list = List(0, kThree);
    EXPECT_EQ(host.Call("lbDeleteItem", {list, 0, -1}).integer(), 0);
    EXPECT_TRUE(Items(list).empty());

    list = List(LBS_EXTENDEDSEL, kFive);
    Select(list, {0, 2});
    EXPECT_EQ(host.Call("lbDeleteItem", {list, 1, -2}).integer(), 3) << "items left";
    EXPECT_EQ(Items(list), (Strings{"b", "d", "e"}));

    list = List(LBS_MULTIPLESEL, kFive);
    Select(list, {0, 2});
    EXPECT_EQ(host.Call("lbDeleteItem", {list, 1, -3}).integer(), 2);
    EXPECT_EQ(Items(list), (Strings{"a", "c"}));
    EXPECT_TRUE(host.messageBoxes.empty());
}

// Deleting by selection from a long box pauses its painting while it
// deletes: the box is left painting again, and a hidden box stays hidden.
TEST_F(Boxes, DeleteBySelectionFromALongBoxPausesItsPainting) {
    Strings items(vantor::PausedRedraw::kItemsWorthPausing, "x");
    items[1] = "b";
    const HWND list = List(LBS_EXTENDEDSEL, items);
    RedrawSwitches switches(list);
    const auto paintedAfterRawChange = [&] {
        UpdateWindow(list);
        RECT update{};
        EXPECT_FALSE(GetUpdateRect(list, &update, FALSE));
        SendMessageA(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("new"));
        return GetUpdateRect(list, &update, FALSE) != FALSE;
    };
    ASSERT_TRUE(paintedAfterRawChange()) << "an insertion waits for paint";
    Select(list, {0, 1});
    EXPECT_EQ(host.Call("lbDeleteItem", {list, 1, -3}).integer(), 2) << "all but the selected";
    EXPECT_EQ(switches.Take(), (std::vector<WPARAM>{FALSE, TRUE}));
    EXPECT_TRUE(paintedAfterRawChange());
    EXPECT_EQ(Items(list), (Strings{"new", "new", "x"}));

    EXPECT_EQ(host.Call("lbDeleteItem", {list, 1, -2}).integer(), 1) << "a short box is not paused";
    EXPECT_TRUE(switches.Take().empty());

    ShowWindow(list, SW_HIDE);
    for (int i = 0; i < vantor::PausedRedraw::kItemsWorthPausing; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("y"));
    Select(list, {0});
    host.Call("lbDeleteItem", {list, 1, -3});
    EXPECT_TRUE(switches.Take().empty()) << "a hidden box is not paused";
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(Items(list).size(), 1u);
}

TEST_F(Boxes, DeleteItemNotesWhatItCannotDo) {
    struct Case {
        int item, scope;
        const char* note;
    };
    const Case cases[] = {
        {9, -1, "Index is greater than number of items in ListView"},
        {4, 0, "Index is greater than number of items in ListView"},
        {1, -2, "A Scope of -2 indicated but no Items selected for deletion"},
        {1, -3, "A Scope of -3 indicated but no Items selected"},
        {1, -4, "Invalid Scope value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note);
        const HWND list = List(LBS_EXTENDEDSEL, kThree);
        if (c.scope == -4) Select(list, {1});
        host.messageBoxes.clear();
        const CallResult r = host.Call("lbDeleteItem", {list, c.item, c.scope});
        EXPECT_EQ(r.integer(), 3) << "the number of items";
        EXPECT_EQ(r.status, 0);
        ASSERT_EQ(host.messageBoxes.size(), 1u);
        EXPECT_EQ(host.messageBoxes[0].title, "Note");
        EXPECT_EQ(host.messageBoxes[0].text, c.note);
        EXPECT_EQ(Items(list), kThree) << "nothing deleted";
        DestroyWindow(list);
    }
}

TEST_F(Boxes, SelectionStates) {
    const HWND multi = List(LBS_EXTENDEDSEL, {"a", "b", "c", "d", "e", "f"});
    EXPECT_EQ(host.Call("lbGetItemSel", {multi}).text, "0");
    EXPECT_EQ(host.Call("lbGetItemCountSel", {multi}).integer(), 0);

    EXPECT_EQ(host.Call("lbSetItemState", {multi, 2, 1}).integer(), 0);
    EXPECT_EQ(host.Call("lbSetItemState", {multi, 5, 1}).integer(), 0);
    const CallResult sel = host.Call("lbGetItemSel", {multi});
    EXPECT_EQ(sel.text, "2\t5");
    EXPECT_EQ(sel.status, 0);
    EXPECT_EQ(host.Call("lbGetItemCountSel", {multi}).integer(), 2);
    EXPECT_GT(host.Call("lbGetItemState", {multi, 5}).integer(), 0);
    EXPECT_EQ(host.Call("lbGetItemState", {multi, 4}).integer(), 0);
    EXPECT_EQ(host.Call("lbGetItemState", {multi, 40}).integer(), LB_ERR);

    EXPECT_EQ(host.Call("lbSetItemState", {multi, 5, 0}).integer(), 0);
    EXPECT_EQ(SendMessageA(multi, LB_GETSEL, 4, 0), 0);
    host.Call("lbSetItemState", {multi, 0, 1});
    EXPECT_EQ(SendMessageA(multi, LB_GETSELCOUNT, 0, 0), 6) << "item 0 selects every item";
    EXPECT_EQ(host.Call("lbGetItemSel", {multi}).text, "1\t2\t3\t4\t5\t6");

    const HWND single = List(0, kThree);
    EXPECT_EQ(host.Call("lbGetItemSel", {single}).text, "0");
    EXPECT_EQ(host.Call("lbGetItemCountSel", {single}).integer(), LB_ERR);
    SendMessageA(single, LB_SETCURSEL, 2, 0);
    EXPECT_EQ(host.Call("lbGetItemSel", {single}).text, "3");
    EXPECT_EQ(host.Call("lbGetItemSel", {0}).text, "0") << "no window";
}

TEST_F(Boxes, ItemSelAnswersInFullBeyondFixedLimits) {
    const HWND list = dialog.AddChild("LISTBOX", LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT, 0, 10, 10, 200, 200);
    constexpr int kItems = 40000;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_INITSTORAGE, kItems, kItems * 2);
    for (int i = 0; i < kItems; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
    SendMessageA(list, LB_SETSEL, TRUE, -1);
    ASSERT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), kItems);

    const std::string text = host.Call("lbGetItemSel", {list}).text;
    std::string expected;
    for (int i = 1; i <= kItems; ++i) expected += (i > 1 ? "\t" : "") + std::to_string(i);
    EXPECT_GT(text.size(), 40959u);
    EXPECT_EQ(text, expected);
}

TEST_F(Boxes, ItemHeightAndExtent) {
    const HWND list = List(0, kThree);
    const CallResult high = host.Call("lbSetItemHeight", {list, 300});
    EXPECT_EQ(high.integer(), 1);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), 255);
    EXPECT_EQ(host.Call("lbGetItemHeight", {list}).integer(), 255);
    EXPECT_EQ(host.Call("lbSetItemHeight", {list, 0}).integer(), 1);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), 1);
    host.Call("lbSetItemHeight", {list, 17});
    EXPECT_EQ(host.Call("lbGetItemHeight", {list}).integer(), 17);

    host.Call("lbSetHScrollSize", {list, 640});
    EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), 640);
    EXPECT_EQ(host.Call("lbGetItemCount", {list}).integer(), 3);
}
