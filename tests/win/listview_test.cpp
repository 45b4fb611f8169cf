// List views the test puts on a dialog (report view, with and without check
// boxes), driven through the extender and read back with the control's own
// messages.
#include "host/window.h"
#include "tests/host/dialog_test.h"
#include "tests/host/redraw_switches.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace vantor::testing;

namespace {

using vantor::HandleValue;

// The control's own copy of a text, however long.
std::string TextOf(HWND list, int item, int column) {
    std::vector<char> buffer(200000);
    LVITEMA record{};
    record.iSubItem = column;
    record.pszText = buffer.data();
    record.cchTextMax = static_cast<int>(buffer.size());
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&record));
    return record.pszText;
}

int Count(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

int ImageOf(HWND list, int item, int column) {
    LVITEMA record{};
    record.mask = LVIF_IMAGE;
    record.iItem = item;
    record.iSubItem = column;
    EXPECT_TRUE(SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record)));
    return record.iImage;
}

void Select(HWND list, int item) {
    LVITEMA record{};
    record.stateMask = LVIS_SELECTED;
    record.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&record));
}

class ListViewTest : public DialogTest {
protected:
    // A report view with columns of the given headers and rows of the given
    // first-column texts, filled through the extender.
    HWND MakeList(bool checkBoxes, std::vector<const char*> headers = {"Name"}, std::vector<const char*> rows = {}) {
        const HWND list = dialog.AddChild(WC_LISTVIEWA, LVS_REPORT | LVS_SHOWSELALWAYS, 0, 10, 10, 400, 200);
        EXPECT_NE(list, nullptr);
        if (checkBoxes) SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
        for (int at = 0; at < static_cast<int>(headers.size()); ++at)
            EXPECT_EQ(host.Call("lvInsertColumn", {list, at + 1, headers[at]}).integer(), at);
        for (int at = 0; at < static_cast<int>(rows.size()); ++at)
            EXPECT_EQ(host.Call("lvInsertItem", {list, at + 1, rows[at]}).integer(), at);
        return list;
    }
};

}  // namespace

TEST_F(ListViewTest, InsertsItemsAtPositionsAndAppendsPastTheEnd) {
    const HWND list = MakeList(false);
    EXPECT_EQ(host.Call("lvInsertItem", {list, 1, "first"}).integer(), 0);
    EXPECT_EQ(host.Call("lvInsertItem", {list, 50, "appended"}).integer(), 1);
    EXPECT_EQ(host.Call("lvInsertItem", {list, 1, "new first"}).integer(), 0);
    EXPECT_EQ(host.Call("lvInsertItem", {list, 3, "third"}).integer(), 2);
    ASSERT_EQ(Count(list), 4);
    EXPECT_EQ(TextOf(list, 0, 0), "new first");
    EXPECT_EQ(TextOf(list, 1, 0), "first");
    EXPECT_EQ(TextOf(list, 2, 0), "third");
    EXPECT_EQ(TextOf(list, 3, 0), "appended");
    EXPECT_EQ(host.Call("lvGetItemCount", {list}).integer(), 4);
    EXPECT_EQ(ImageOf(list, 0, 0), -99) << "a new item shows no image";
}

TEST_F(ListViewTest, InsertColumnPastTheEndSizesTheColumnItAppended) {
    const HWND list = MakeList(false, {"A", "B"});
    for (const int column : {0, 1}) SendMessageA(list, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(30, 0));
    const char* header = "An appended column header";
    EXPECT_EQ(host.Call("lvInsertColumn", {list, 9, header}).integer(), 2);
    const auto width = [&](int column) { return static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)); };
    EXPECT_GE(width(2), static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(header))));
    EXPECT_EQ(width(0), 30);
    EXPECT_EQ(width(1), 30);
}

TEST_F(ListViewTest, InsertColumnSizesToItsHeader) {
    // The last column takes the rest of the list's width; the others are
    // sized to their headers.
    const HWND list = MakeList(false, {"Tail"});
    EXPECT_EQ(host.Call("lvInsertColumn", {list, 1, "A much longer column header text"}).integer(), 0);
    EXPECT_EQ(host.Call("lvInsertColumn", {list, 1, "Id"}).integer(), 0);
    const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 3);
    char text[64] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(header, HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "A much longer column header text");
    const auto width = [&](int column) { return static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)); };
    const auto textWidth = [&](const char* text) {
        return static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text)));
    };
    EXPECT_GE(width(1), textWidth("A much longer column header text"));
    EXPECT_GE(width(0), textWidth("Id"));
    EXPECT_LT(width(0), width(1));
    EXPECT_LT(width(1), 400);

    EXPECT_EQ(host.Call("lvSetColumnWidth", {list, 2, 77}).integer(), 1);
    EXPECT_EQ(width(1), 77);
}

namespace {

// Columns as a user sees them: widths and places from the control and its
// header, each header text measured with the header's own font.
class ColumnLayout {
public:
    explicit ColumnLayout(HWND list)
        : list_(list), header_(reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0))) {}

    int Count() const { return static_cast<int>(SendMessageA(header_, HDM_GETITEMCOUNT, 0, 0)); }
    int Width(int column) const { return static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, column, 0)); }
    RECT Place(int column) const {
        RECT place{};
        SendMessageA(header_, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&place));
        return place;
    }
    std::string Header(int column) const {
        char text[256] = {};
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(header_, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    int TextWidth(int column) const {
        const std::string text = Header(column);
        const HDC dc = GetDC(header_);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(header_, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(header_, dc);
        return size.cx;
    }
    int ClientWidth() const {
        RECT client{};
        GetClientRect(list_, &client);
        return client.right;
    }
    bool ScrollsSideways() const { return (GetWindowLongA(list_, GWL_STYLE) & WS_HSCROLL) != 0; }
    std::string Widths() const {
        std::string widths;
        for (int c = 0; c < Count(); ++c) widths += std::to_string(Width(c)) + " ";
        return widths + "in " + std::to_string(ClientWidth());
    }

    // Every column at least as wide as its header text; where the headers
    // together fit, every column inside the list, the last one reaching its
    // right edge.
    void ExpectEveryHeaderShown(bool fits) const {
        SCOPED_TRACE("widths " + Widths());
        int headers = 0;
        for (int c = 0; c < Count(); ++c) {
            SCOPED_TRACE(Header(c));
            EXPECT_GE(Width(c), TextWidth(c));
            EXPECT_EQ(Place(c).right - Place(c).left, Width(c));
            headers += TextWidth(c);
        }
        ASSERT_EQ(headers < ClientWidth(), fits) << "the test's own list is not as meant";
        if (fits) {
            EXPECT_EQ(Place(Count() - 1).right, ClientWidth()) << "the last column fills the rest";
            EXPECT_FALSE(ScrollsSideways());
        }
    }

private:
    HWND list_;
    HWND header_;
};

class ListViewColumns : public ListViewTest {
protected:
    HWND EmptyList(int width) {
        const HWND list = dialog.AddChild(WC_LISTVIEWA, LVS_REPORT, 0, 10, 10, width, 200);
        EXPECT_NE(list, nullptr);
        return list;
    }
    void Insert(HWND list, int position, const char* header, int expected) {
        EXPECT_EQ(host.Call("lvInsertColumn", {list, position, header}).integer(), expected) << header;
    }
};

}  // namespace

TEST_F(ListViewColumns, InsertedInOrderEachShowsItsHeaderInsideTheList) {
    const HWND list = EmptyList(560);
    const ColumnLayout columns(list);
    const char* headers[] = {"Name", "Department", "Telephone extension"};
    for (int at = 0; at < 3; ++at) {
        Insert(list, at + 1, headers[at], at);
        ASSERT_EQ(columns.Count(), at + 1);
        columns.ExpectEveryHeaderShown(true);
    }
    for (int at = 0; at < 3; ++at) EXPECT_EQ(columns.Header(at), headers[at]);
    EXPECT_GT(columns.Width(2), columns.Width(1)) << "the last column takes the room left";
    EXPECT_LT(columns.Width(0), 100) << "the first column gave its room back";
}

TEST_F(ListViewColumns, InsertedAtTheFrontAndPastTheEnd) {
    const HWND list = EmptyList(560);
    const ColumnLayout columns(list);
    Insert(list, 1, "Telephone extension", 0);
    Insert(list, 1, "Department", 0);
    columns.ExpectEveryHeaderShown(true);
    Insert(list, 1, "Name", 0);
    columns.ExpectEveryHeaderShown(true);
    EXPECT_EQ(columns.Header(0), "Name");
    EXPECT_EQ(columns.Header(2), "Telephone extension");
    // the middle
    Insert(list, 2, "Room", 1);
    columns.ExpectEveryHeaderShown(true);
    EXPECT_EQ(columns.Header(1), "Room");

    const HWND single = EmptyList(560);
    const ColumnLayout one(single);
    Insert(single, 1, "Name", 0);
    Insert(single, 9, "Telephone extension", 1);
    one.ExpectEveryHeaderShown(true);
}

TEST_F(ListViewColumns, ANarrowListScrollsSidewaysAndHidesNoColumn) {
    const HWND list = EmptyList(150);
    const ColumnLayout columns(list);
    const char* headers[] = {"Name", "Department", "Telephone extension"};
    for (int at = 0; at < 3; ++at) Insert(list, at + 1, headers[at], at);
    columns.ExpectEveryHeaderShown(false);
    EXPECT_TRUE(columns.ScrollsSideways());
    EXPECT_GT(columns.Place(2).right, columns.ClientWidth());
    for (int c = 0; c < 3; ++c) EXPECT_GT(columns.Place(c).left, c == 0 ? -1 : columns.Place(c - 1).left);
}

TEST_F(ListViewColumns, WidthsSetByTheScriptOrTheUserStay) {
    const HWND list = EmptyList(560);
    const ColumnLayout columns(list);
    Insert(list, 1, "Name", 0);
    Insert(list, 2, "Department", 1);
    // the script widens the column that fills the list: appending keeps it
    EXPECT_EQ(host.Call("lvSetColumnWidth", {list, 2, 300}).integer(), 1);
    EXPECT_EQ(host.Call("lvSetColumnWidth", {list, 1, 120}).integer(), 1);
    Insert(list, 3, "Telephone extension", 2);
    EXPECT_EQ(columns.Width(0), 120);
    EXPECT_EQ(columns.Width(1), 300);
    columns.ExpectEveryHeaderShown(true);

    // a column the script sized to fill the list with -2 stays too
    const HWND filled = EmptyList(560);
    const ColumnLayout two(filled);
    Insert(filled, 1, "Name", 0);
    EXPECT_EQ(host.Call("lvSetColumnWidth", {filled, 1, -2}).integer(), 1);
    const int set = two.Width(0);
    Insert(filled, 2, "Department", 1);
    EXPECT_EQ(two.Width(0), set);
    EXPECT_GE(two.Width(1), two.TextWidth(1)) << "no column at 0, even past the list's edge";

    // a width changed without the library (a drag on the header divider)
    const HWND dragged = EmptyList(560);
    const ColumnLayout three(dragged);
    Insert(dragged, 1, "Name", 0);
    SendMessageA(dragged, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(333, 0));
    Insert(dragged, 2, "Department", 1);
    EXPECT_EQ(three.Width(0), 333);
    three.ExpectEveryHeaderShown(true);
}

TEST_F(ListViewTest, TextsByColumnAndAllColumnsTrimmed) {
    const HWND list = MakeList(false, {"A", "B", "C"}, {"a1", "", " spaced ", "", "x"});
    const CallResult set = host.Call("lvSetItemText", {list, 1, 2, "b1"});
    EXPECT_FALSE(set.delivered());
    EXPECT_EQ(set.returned, 0);
    EXPECT_EQ(set.cell.intValue, HostDouble::kUntouchedInteger);
    host.Call("lvSetItemText", {list, 1, 3, "c1"});
    host.Call("lvSetItemText", {list, 2, 2, "b2"});
    host.Call("lvSetItemText", {list, 2, 3, "c2"});
    host.Call("lvSetItemText", {list, 5, 3, "only c"});
    EXPECT_EQ(TextOf(list, 0, 1), "b1");

    EXPECT_EQ(host.Call("lvGetItemText", {list, 1, 2}).text, "b1");
    EXPECT_EQ(host.Call("lvGetItemText", {list, 3, 1}).text, " spaced ") << "one column is untrimmed";
    EXPECT_EQ(host.Call("lvGetItemText", {list, 1, 0}).text, "a1\tb1\tc1");
    EXPECT_EQ(host.Call("lvGetItemText", {list, 2, 0}).text, "b2\tc2") << "no leading tab";
    EXPECT_EQ(host.Call("lvGetItemText", {list, 3, 0}).text, "spaced");
    EXPECT_EQ(host.Call("lvGetItemText", {list, 4, 0}).text, "\t") << "an all-empty row";
    EXPECT_EQ(host.Call("lvGetItemText", {list, 5, 0}).text, "x\t\tonly c");
    EXPECT_EQ(host.Call("lvGetItemText", {list, 9, 1}).text, "") << "no such item";
    EXPECT_EQ(host.Call("lvGetItemText", {list, 1, 9}).text, "") << "no such column";
}

TEST_F(ListViewTest, LongTextsComeBackCutCleanly) {
    const HWND list = MakeList(false, {"A", "B"});
    std::string longText;
    for (int i = 0; i < 5000; ++i) longText += static_cast<char>('a' + i % 26);
    ASSERT_EQ(host.Call("lvInsertItem", {list, 1, longText}).integer(), 0);
    host.Call("lvSetItemText", {list, 1, 2, longText});
    ASSERT_EQ(TextOf(list, 0, 0), longText) << "the control keeps the whole text";

    // Cut cleanly: a prefix that fits the 1024-byte buffer with its end.
    const std::string one = host.Call("lvGetItemText", {list, 1, 1}).text;
    EXPECT_GE(one.size(), 1000u);
    EXPECT_LE(one.size(), 1023u);
    EXPECT_EQ(one, longText.substr(0, one.size()));
    EXPECT_EQ(host.Call("lvGetItemText", {list, 1, 0}).text, one + "\t" + one);

    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    host.Call("lvSetItemsChecked", {list, 1});
    EXPECT_EQ(host.Call("lvGetItemsChecked", {list}).text, one);

    const std::string huge(100000, 'h');
    host.Call("lvSetItemText", {list, 1, 1, huge});
    host.Call("lvSetColumnFill", {list, 2, huge});
    EXPECT_EQ(TextOf(list, 0, 1), huge);
    EXPECT_EQ(host.Call("lvGetItemText", {list, 1, 2}).text, huge.substr(0, one.size()));
}

TEST_F(ListViewTest, FillsColumnsWithATextAndWithNumbers) {
    const HWND list = MakeList(false, {"A", "B", "C"}, {"1", "2", "3", "4"});
    EXPECT_EQ(host.Call("lvSetColumnFill", {list, 2, "same"}).integer(), 1);
    EXPECT_EQ(host.Call("lvSetColumnFillSeq", {list, 3, 10, -5}).integer(), 1);
    const char* numbers[] = {"10", "5", "0", "-5"};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(TextOf(list, row, 1), "same") << row;
        EXPECT_EQ(TextOf(list, row, 2), numbers[row]) << row;
    }
    EXPECT_EQ(host.Call("lvSetColumnFillSeq", {list, 1, 2147483647, 1}).integer(), 1);
    EXPECT_EQ(TextOf(list, 1, 0), "-2147483648") << "wraps around like the script's integers";
}

// A change to every row of a long list pauses the list's painting and
// repaints it once at the end; a short list is changed row by row (resuming
// costs more than it saves there), and a hidden list is left hidden.
TEST_F(ListViewTest, ChangesToEveryRowOfALongListRepaintOnce) {
    const HWND list = MakeList(true, {"A", "B"}, {"one", "two", "three"});
    RedrawSwitches switches(list);
    const auto waitsForPaint = [&] {
        RECT update{};
        return GetUpdateRect(list, &update, FALSE) != FALSE;
    };
    int rawChanges = 0;
    const auto paintedAfterRawChange = [&] {
        UpdateWindow(list);
        EXPECT_FALSE(waitsForPaint());
        std::string text = "changed " + std::to_string(++rawChanges);  // a text the cell does not hold yet
        LVITEMA record{};
        record.pszText = text.data();
        SendMessageA(list, LVM_SETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&record));
        return waitsForPaint();
    };
    const auto checkAll = [&] { return host.Call("lvSetItemsChecked", {list, 1}).integer(); };
    const auto fill = [&] { return host.Call("lvSetColumnFillSeq", {list, 2, 5, 5}).integer(); };
    const auto clearImages = [&] { return host.Call("lvClearImages", {list}).integer(); };
    const auto fillText = [&] { return host.Call("lvSetColumnFill", {list, 2, "x"}).integer(); };
    const std::pair<const char*, std::function<std::int32_t()>> changes[] = {{"lvSetItemsChecked", checkAll},
                                                                             {"lvSetColumnFillSeq", fill},
                                                                             {"lvClearImages", clearImages},
                                                                             {"lvSetColumnFill", fillText}};
    ASSERT_TRUE(paintedAfterRawChange()) << "a change to a visible row waits for paint";

    const std::vector<WPARAM> none, pausedOnce = {FALSE, TRUE};
    for (const auto& [name, change] : changes) {
        EXPECT_EQ(change(), 1) << name;
        EXPECT_EQ(switches.Take(), none) << name << " on 3 rows";
    }
    EXPECT_EQ(TextOf(list, 2, 1), "x");

    // Rows up to the count where pausing pays.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (int row = Count(list); row < vantor::PausedRedraw::kItemsWorthPausing; ++row) {
        LVITEMA record{};
        record.mask = LVIF_TEXT;
        record.iItem = row;
        record.pszText = const_cast<char*>("more");
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&record));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    switches.Take();
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        UpdateWindow(list);
        EXPECT_EQ(change(), 1);
        EXPECT_EQ(switches.Take(), pausedOnce);
        EXPECT_TRUE(waitsForPaint()) << "repainted at the end";
        EXPECT_TRUE(paintedAfterRawChange()) << "painting again afterwards";
    }
    EXPECT_EQ(TextOf(list, 999, 1), "x");
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMSTATE, 999, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2));

    Select(list, 0);
    EXPECT_EQ(host.Call("lvDeleteItem", {list, 0, -2}).integer(), vantor::PausedRedraw::kItemsWorthPausing - 1);
    EXPECT_EQ(switches.Take(), pausedOnce) << "deleting the selected rows";
    EXPECT_TRUE(paintedAfterRawChange()) << "painting again after deleting the selected rows";

    ShowWindow(list, SW_HIDE);
    checkAll();
    fill();
    EXPECT_EQ(switches.Take(), none) << "a hidden list is not paused";
    EXPECT_FALSE(IsWindowVisible(list)) << "a hidden list stays hidden";
    EXPECT_EQ(TextOf(list, 1, 1), "10");
}

TEST_F(ListViewTest, ChecksSetReadAndCollected) {
    const HWND plain = MakeList(false, {"A"}, {"p"});
    EXPECT_EQ(host.Call("lvGetItemCheck", {plain, 1}).integer(), -1) << "no check boxes";

    const HWND list = MakeList(true, {"A"}, {"one", "", "three", "four"});
    const auto state = [&](int item) {
        return static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK));
    };
    EXPECT_EQ(host.Call("lvGetItemCheck", {list, 1}).integer(), 0);
    EXPECT_EQ(host.Call("lvGetItemsChecked", {list}).text, "") << "nothing checked";

    EXPECT_EQ(host.Call("lvSetItemCheck", {list, 3, 7}).integer(), 1);
    EXPECT_EQ(state(2), INDEXTOSTATEIMAGEMASK(2));
    EXPECT_EQ(host.Call("lvGetItemCheck", {list, 3}).integer(), 1);
    host.Call("lvSetItemCheck", {list, 1, 1});
    EXPECT_EQ(host.Call("lvGetItemsChecked", {list}).text, "one\tthree");
    host.Call("lvSetItemCheck", {list, 1, 0});
    EXPECT_EQ(state(0), INDEXTOSTATEIMAGEMASK(1));
    EXPECT_EQ(host.Call("lvGetItemCheck", {list, 1}).integer(), 0);
    EXPECT_EQ(host.Call("lvGetItemsChecked", {list}).text, "three");

    EXPECT_EQ(host.Call("lvSetItemsChecked", {list, 1}).integer(), 1);
    for (int item = 0; item < 4; ++item) EXPECT_EQ(state(item), INDEXTOSTATEIMAGEMASK(2)) << item;
    EXPECT_EQ(host.Call("lvGetItemsChecked", {list}).text, "one\t\tthree\tfour");
    host.Call("lvSetItemsChecked", {list, 0});
    for (int item = 0; item < 4; ++item) EXPECT_EQ(state(item), INDEXTOSTATEIMAGEMASK(1)) << item;
    host.Call("lvSetItemCheck", {list, 2, 1});
    EXPECT_EQ(host.Call("lvGetItemsChecked", {list}).text, "\t") << "one checked item with an empty text";
}

TEST_F(ListViewTest, ItemStatesAndSelection) {
    const HWND list = MakeList(false, {"A"}, {"a", "b", "c"});
    EXPECT_EQ(host.Call("lvGetItemCountSel", {list}).integer(), 0);
    EXPECT_EQ(host.Call("lvSetItemState", {list, 2, LVIS_SELECTED, LVIS_SELECTED}).integer(), 1);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMSTATE, 1, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(host.Call("lvGetItemState", {list, 2, LVIS_SELECTED | LVIS_FOCUSED}).integer(), LVIS_SELECTED);
    EXPECT_EQ(host.Call("lvGetItemCountSel", {list}).integer(), 1);
    host.Call("lvSetItemState", {list, 2, LVIS_SELECTED, 0});
    EXPECT_EQ(host.Call("lvGetItemState", {list, 2, LVIS_SELECTED}).integer(), 0);
}

TEST_F(ListViewTest, DeleteItemByEveryScope) {
    const auto remove = [&](HWND list, int index, int scope) {
        return host.Call("lvDeleteItem", {list, index, scope}).integer();
    };
    const HWND list = MakeList(false, {"A"}, {"a", "b", "c", "d", "e", "f"});
    EXPECT_EQ(remove(list, -1, 0), 5);
    EXPECT_EQ(TextOf(list, 4, 0), "e") << "-1 with scope 0 is the last item";
    EXPECT_EQ(remove(list, -2, 0), 4);
    EXPECT_EQ(TextOf(list, 3, 0), "e");
    EXPECT_EQ(remove(list, 0, 0), 3) << "0 is the first item";
    EXPECT_EQ(TextOf(list, 0, 0), "b");
    EXPECT_EQ(remove(list, 2, 5), 2) << "a positive scope deletes one item";
    EXPECT_EQ(TextOf(list, 1, 0), "e");
    EXPECT_TRUE(host.messageBoxes.empty());

    const HWND selected = MakeList(false, {"A"}, {"a", "b", "c", "d", "e"});
    Select(selected, 1);
    Select(selected, 3);
    EXPECT_EQ(remove(selected, 1, -2), 3);
    EXPECT_EQ(TextOf(selected, 0, 0) + TextOf(selected, 1, 0) + TextOf(selected, 2, 0), "ace");
    Select(selected, 2);
    EXPECT_EQ(remove(selected, 1, -3), 1) << "only the selected item stays";
    EXPECT_EQ(TextOf(selected, 0, 0), "e");
    EXPECT_EQ(remove(selected, 1, -1), 0);
    EXPECT_TRUE(host.messageBoxes.empty());

    // Refusals: a "Note" with its text, the count unchanged, nothing deleted.
    const HWND three = MakeList(false, {"A"}, {"a", "b", "c"});
    const struct {
        int index, scope;
        const char* text;
    } refusals[] = {
        {1, -2, "A Scope of -2 indicated but no Items selected for deletion"},
        {1, -3, "A Scope of -3 indicated but no Items selected"},
        {4, 0, "Index is greater than number of items in ListView"},
        {1, -4, "Invalid Scope value"},
    };
    for (const auto& refusal : refusals) {
        host.ClearRecords();
        EXPECT_EQ(remove(three, refusal.index, refusal.scope), 3) << refusal.text;
        EXPECT_EQ(Count(three), 3);
        ASSERT_EQ(host.messageBoxes.size(), 1u) << refusal.text;
        EXPECT_EQ(host.messageBoxes[0].title, "Note");
        EXPECT_EQ(host.messageBoxes[0].text, refusal.text);
    }
}

TEST_F(ListViewTest, ScrollToPutsTheItemRowsBelowTheTop) {
    const HWND list = MakeList(false, {"A"});
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < 200; ++i) {
        LVITEMA record{};
        record.iItem = i;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&record));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    const auto top = [&] { return static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0)); };
    ASSERT_EQ(top(), 0);
    EXPECT_EQ(host.Call("lvScrollTo", {list, 120, 0}).integer(), 1);
    EXPECT_EQ(top(), 119) << "rows 0 puts the item at the top";
    host.Call("lvScrollTo", {list, 50, 3});
    EXPECT_EQ(top(), 46);
    host.Call("lvScrollTo", {list, 1, 0});
    EXPECT_EQ(top(), 0);
}

TEST_F(ListViewTest, ImagesOfItemsColumnsAndTheirList) {
    const HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR16, 4, 4);
    HDC screen = GetDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(screen, 48, 16);
    ReleaseDC(nullptr, screen);
    ImageList_Add(images, strip, nullptr);
    DeleteObject(strip);
    ASSERT_EQ(ImageList_GetImageCount(images), 3);

    const HWND list = MakeList(false, {"A", "B"}, {"a", "b"});
    EXPECT_EQ(host.Call("lvSetImageList", {list, HandleValue(images)}).integer(), 3);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), images);
    EXPECT_NE(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_SUBITEMIMAGES, 0);

    EXPECT_EQ(host.Call("lvSetItemImage", {list, 1, 1, 3}).integer(), 1);
    EXPECT_EQ(host.Call("lvSetItemImage", {list, 2, 2, 2}).integer(), 1);
    EXPECT_EQ(ImageOf(list, 0, 0), 2);
    EXPECT_EQ(ImageOf(list, 1, 1), 1);

    EXPECT_EQ(host.Call("lvSetColumnImage", {list, 2, 3, 0}).integer(), 1);
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_IMAGE;
    ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column)));
    EXPECT_EQ(column.iImage, 2);
    EXPECT_NE(column.fmt & LVCFMT_IMAGE, 0);

    EXPECT_EQ(host.Call("lvClearImages", {list}).integer(), 1);
    EXPECT_EQ(ImageOf(list, 0, 0), -99);
    EXPECT_EQ(ImageOf(list, 1, 0), -99);
    EXPECT_EQ(ImageOf(list, 1, 1), 1) << "column images stay";

    // The image list stays the script's when the list view goes.
    DestroyWindow(list);
    EXPECT_EQ(ImageList_GetImageCount(images), 3);
    EXPECT_TRUE(ImageList_Destroy(images));
}

// A list view given a second image list lets go of that one as it goes,
// and the first, no longer its own, is left alone too.
TEST_F(ListViewTest, EachImageListGivenStaysTheScripts) {
    const HIMAGELIST first = ImageList_Create(16, 16, ILC_COLOR16, 1, 1);
    const HIMAGELIST second = ImageList_Create(16, 16, ILC_COLOR16, 1, 1);
    ASSERT_TRUE(ImageList_SetImageCount(first, 1));
    ASSERT_TRUE(ImageList_SetImageCount(second, 2));
    const HWND list = MakeList(false, {"A"}, {"a"});
    EXPECT_EQ(host.Call("lvSetImageList", {list, HandleValue(first)}).integer(), 1);
    EXPECT_EQ(host.Call("lvSetImageList", {list, HandleValue(second)}).integer(), 2);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), second);
    DestroyWindow(list);
    EXPECT_EQ(ImageList_GetImageCount(second), 2) << "the list given last is still an image list";
    EXPECT_EQ(ImageList_GetImageCount(first), 1);
    EXPECT_TRUE(ImageList_Destroy(second));
    EXPECT_TRUE(ImageList_Destroy(first));
}

TEST_F(ListViewTest, BackgroundColourAndImage) {
    const HWND list = MakeList(false, {"A"}, {"a"});
    EXPECT_EQ(host.Call("lvSetBkColor", {list, "255|128|0"}).integer(), 1);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0)), RGB(255, 128, 0));
    const COLORREF background = static_cast<COLORREF>(SendMessageA(list, LVM_GETBKCOLOR, 0, 0));
    EXPECT_NE(background, RGB(255, 128, 0)) << "the text background, not the list's";

    TempFile picture(".bmp");
    picture.Write(BitmapFileBytes(32, 32, RGB(0, 200, 0)));
    const CallResult r = host.Call("lvSetBkImage", {list, 10, 20, picture.path(), LVBKIF_STYLE_TILE});
    EXPECT_TRUE(r.delivered());
    EXPECT_EQ(r.integer(), 0);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0)), CLR_NONE);
    EXPECT_EQ(host.Call("lvSetBkImage", {list, 0, 0, "", 0}).integer(), 0) << "an empty name";
}

TEST_F(ListViewTest, HandlesThatAreNoWindow) {
    const Arg none = HandleValue(reinterpret_cast<void*>(0x7FFF0));
    EXPECT_EQ(host.Call("lvGetItemCount", {none}).integer(), 0);
    EXPECT_EQ(host.Call("lvInsertItem", {none, 1, "x"}).integer(), 0);
    EXPECT_EQ(host.Call("lvGetItemText", {none, 1, 1}).text, "");
    EXPECT_EQ(host.Call("lvGetItemText", {none, 1, 0}).text, "");
    EXPECT_EQ(host.Call("lvGetItemCheck", {none, 1}).integer(), -1);
    EXPECT_EQ(host.Call("lvGetItemsChecked", {none}).text, "");
    EXPECT_EQ(host.Call("lvSetColumnFillSeq", {none, 1, 0, 1}).integer(), 1);
    EXPECT_EQ(host.Call("lvScrollTo", {none, 5, 0}).integer(), 0);
    EXPECT_EQ(host.Call("lvSetImageList", {none, 0}).integer(), 0);
    EXPECT_EQ(host.Call("lvSetBkImage", {none, 0, 0, "x.bmp", 0}).integer(), 0);
    const CallResult colour = host.Call("lvSetItemTextColor", {none, 1, 1, 0, "255|0|0"});
    EXPECT_FALSE(colour.delivered());
    EXPECT_EQ(colour.returned, 0);
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(host.Call("lvDeleteItem", {none, 1, 0}).integer(), 0);
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].text, "Index is greater than number of items in ListView");
}

TEST_F(ListViewTest, CheckedTextsOfManyRowsInLinearTime) {
    const HWND list = MakeList(true, {"A", "B"});
    const auto fill = [&](int rows) {
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);  // Wine updates scroll bars through X otherwise
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        SendMessageA(list, LVM_SETITEMCOUNT, rows, 0);
        for (int i = 0; i < rows; ++i) {
            std::string text = "r" + std::to_string(i);
            LVITEMA record{};
            record.mask = LVIF_TEXT;
            record.iItem = i;
            record.pszText = text.data();
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&record));
        }
        host.Call("lvSetItemsChecked", {list, 1});
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    };
    const auto timed = [&](auto&& body) {
        const auto start = std::chrono::steady_clock::now();
        body();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };

    fill(10000);
    std::string small;
    const double smallTime = timed([&] { small = host.Call("lvGetItemsChecked", {list}).text; });
    EXPECT_EQ(small.substr(0, 6), "r0\tr1\t");

    fill(100000);
    ASSERT_EQ(Count(list), 100000);
    std::string large;
    const double largeTime = timed([&] { large = host.Call("lvGetItemsChecked", {list}).text; });
    std::size_t expectedSize = 0;
    for (int i = 0; i < 100000; ++i) expectedSize += std::to_string(i).size() + 2;
    EXPECT_EQ(large.size(), expectedSize - 1) << "every text, tab-separated, no trailing tab";
    EXPECT_EQ(large.substr(large.size() - 7), "\tr99999");
    // Ten times the rows: linear work takes about ten times as long.
    EXPECT_LT(largeTime, 40 * smallTime + 0.5) << smallTime << " s for 10,000 rows";
    EXPECT_LT(largeTime, 5.0);

    EXPECT_EQ(host.Call("lvGetItemText", {list, 100000, 0}).text, "r99999");
    EXPECT_EQ(host.Call("lvGetItemText", {list, 100000, 1}).text, "r99999");
}

TEST_F(ListViewTest, ItemTextColoursPaintTheCellsAndGoWithTheList) {
    const LONG_PTR parentProc = GetWindowLongPtrA(dialog.hwnd(), GWLP_WNDPROC);
    const HWND list = MakeList(false, {"First column", "Second column"}, {"WWWWWW", "WWWWWW", "WWWWWW"});
    for (int item = 1; item <= 3; ++item) host.Call("lvSetItemText", {list, item, 2, "MMMMMM"});
    host.Call("lvSetColumnWidth", {list, 1, 150});
    host.Call("lvSetColumnWidth", {list, 2, 150});

    const CallResult r = host.Call("lvSetItemTextColor", {list, 2, 2, 1, "255|0|0"});
    EXPECT_FALSE(r.delivered());
    EXPECT_EQ(r.returned, 0);
    EXPECT_EQ(r.cell.intValue, HostDouble::kUntouchedInteger);
    host.Call("lvSetItemTextColor", {list, 2, 2, 0, "255|255|255"});
    host.Call("lvSetItemTextColor", {list, 0, 1, 0, "0|0|255"});  // column 1 of every row
    host.Call("lvSetItemTextColor", {list, 3, 0, 1, "0|255|0"});  // all of row 3
    host.Call("lvSetItemTextColor", {list, 3, 0, 1, "1|2|3"});    // replaced
    host.Call("lvSetItemTextColor", {list, 3, 0, 9, ""});         // and forgotten again
    EXPECT_NE(GetWindowLongPtrA(dialog.hwnd(), GWLP_WNDPROC), parentProc) << "the parent is hooked";

    // Paint the list into a bitmap and count the colours inside each cell.
    RECT client{};
    GetClientRect(list, &client);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, canvas);
    SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    const auto pixels = [&](int item, int column, COLORREF colour) {
        RECT cell{};
        cell.top = column;
        cell.left = LVIR_LABEL;
        SendMessageA(list, LVM_GETSUBITEMRECT, item, reinterpret_cast<LPARAM>(&cell));
        int found = 0;
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.right; ++x) found += GetPixel(dc, x, y) == colour;
        return found;
    };
    const int redInCell = pixels(1, 1, RGB(255, 0, 0));
    const int whiteInCell = pixels(1, 1, RGB(255, 255, 255));
    const int blueFirst0 = pixels(0, 0, RGB(0, 0, 255)), blueFirst2 = pixels(2, 0, RGB(0, 0, 255));
    const int redElsewhere = pixels(0, 1, RGB(255, 0, 0)) + pixels(2, 1, RGB(255, 0, 0)) + pixels(1, 0, RGB(255, 0, 0));
    const int blueElsewhere = pixels(0, 1, RGB(0, 0, 255)) + pixels(1, 1, RGB(0, 0, 255));
    const int greenRow3 = pixels(2, 0, RGB(0, 255, 0)) + pixels(2, 0, RGB(1, 2, 3));
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);

    EXPECT_GT(redInCell, 20) << "red background behind item 2, column 2";
    EXPECT_GT(whiteInCell, 5) << "white text in item 2, column 2";
    EXPECT_GT(blueFirst0, 5) << "blue text in column 1 of row 1";
    EXPECT_GT(blueFirst2, 5) << "blue text in column 1 of row 3";
    EXPECT_EQ(redElsewhere, 0);
    EXPECT_EQ(blueElsewhere, 0);
    EXPECT_EQ(greenRow3, 0) << "forgotten colours paint nothing";

    // A second coloured list on the same parent, then both go: the parent's
    // own window procedure is back.
    const HWND other = MakeList(false, {"A"}, {"a"});
    host.Call("lvSetItemTextColor", {other, 1, 1, 0, "9|9|9"});
    DestroyWindow(list);
    EXPECT_NE(GetWindowLongPtrA(dialog.hwnd(), GWLP_WNDPROC), parentProc);
    DestroyWindow(other);
    EXPECT_EQ(GetWindowLongPtrA(dialog.hwnd(), GWLP_WNDPROC), parentProc) << "the parent is released";
}

// A list view coloured by the library outlives the host's hold on it: the
// library stays loaded, so the list view never calls into unloaded code.
TEST(ListViewAfterUnload, ColouredListStillDrawsAndGoes) {
    DialogFixture dialog;
    const HWND list = dialog.AddChild(WC_LISTVIEWA, LVS_REPORT, 0, 10, 10, 300, 200);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 100;
    column.pszText = const_cast<char*>("Name");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<char*>("red");
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    {
        HostDouble host;
        EXPECT_EQ(host.Call("lvSetItemTextColor", {list, 1, 1, 0, "255|0|0"}).returned, 0);
    }
    ASSERT_NE(GetModuleHandleA("vantor44i.dll"), nullptr) << "unloaded under a subclassed window";
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    DialogFixture::Pump();
    EXPECT_TRUE(DestroyWindow(list));
}

namespace {

// How many pixels of each colour the cell (item, column: from 0) shows
// when the list paints itself into a bitmap.
class PaintedCells {
public:
    explicit PaintedCells(HWND list) : list_(list) {
        RECT client{};
        GetClientRect(list, &client);
        const HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        canvas_ = CreateCompatibleBitmap(screen, client.right, client.bottom);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, canvas_);
        SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT | PRF_ERASEBKGND);
    }
    ~PaintedCells() {
        SelectObject(dc_, old_);
        DeleteObject(canvas_);
        DeleteDC(dc_);
    }
    PaintedCells(const PaintedCells&) = delete;
    PaintedCells& operator=(const PaintedCells&) = delete;

    int Count(int item, int column, COLORREF colour) const {
        RECT cell{};
        cell.top = column;
        cell.left = LVIR_LABEL;
        SendMessageA(list_, LVM_GETSUBITEMRECT, item, reinterpret_cast<LPARAM>(&cell));
        int found = 0;
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.right; ++x) found += GetPixel(dc_, x, y) == colour;
        return found;
    }

private:
    HWND list_;
    HDC dc_;
    HBITMAP canvas_;
    HGDIOBJ old_;
};

}  // namespace

// Colours given for one cell, a row, a column and every cell all at once:
// each cell paints with the most specific one, the text and the background
// each on their own.
TEST_F(ListViewTest, CellColourBeatsRowColumnAndAllColours) {
    const HWND list = MakeList(false, {"First column", "Second column"}, {"WWWWWW", "WWWWWW"});
    for (int item = 1; item <= 2; ++item) host.Call("lvSetItemText", {list, item, 2, "MMMMMM"});
    host.Call("lvSetColumnWidth", {list, 1, 150});
    host.Call("lvSetColumnWidth", {list, 2, 150});
    const COLORREF all = RGB(0, 0, 255), row = RGB(0, 255, 0), column = RGB(255, 0, 255), cell = RGB(255, 0, 0);
    const COLORREF rowBack = RGB(255, 255, 0), cellBack = RGB(0, 255, 255);
    // the cell's colours first, so no later, wider call can simply overwrite them
    host.Call("lvSetItemTextColor", {list, 2, 2, 0, "255|0|0"});
    host.Call("lvSetItemTextColor", {list, 2, 2, 1, "0|255|255"});
    host.Call("lvSetItemTextColor", {list, 2, 0, 0, "0|255|0"});
    host.Call("lvSetItemTextColor", {list, 2, 0, 1, "255|255|0"});
    host.Call("lvSetItemTextColor", {list, 0, 2, 0, "255|0|255"});
    host.Call("lvSetItemTextColor", {list, 0, 0, 0, "0|0|255"});

    const PaintedCells painted(list);
    // item 2, column 2: its own colours
    EXPECT_GT(painted.Count(1, 1, cell), 5) << "the cell's text colour";
    EXPECT_GT(painted.Count(1, 1, cellBack), 20) << "the cell's background";
    for (const COLORREF other : {all, row, column, rowBack}) EXPECT_EQ(painted.Count(1, 1, other), 0) << other;
    // item 2, column 1: the row's
    EXPECT_GT(painted.Count(1, 0, row), 5);
    EXPECT_GT(painted.Count(1, 0, rowBack), 20);
    for (const COLORREF other : {all, column, cell, cellBack}) EXPECT_EQ(painted.Count(1, 0, other), 0) << other;
    // item 1, column 2: the column's; item 1, column 1: every cell's
    EXPECT_GT(painted.Count(0, 1, column), 5);
    for (const COLORREF other : {all, row, cell, rowBack, cellBack}) EXPECT_EQ(painted.Count(0, 1, other), 0) << other;
    EXPECT_GT(painted.Count(0, 0, all), 5);
    for (const COLORREF other : {row, column, cell, rowBack, cellBack})
        EXPECT_EQ(painted.Count(0, 0, other), 0) << other;
}
