// Cost of the bulk list functions against the raw message loops a program
// would write for the same work, measured in the same run: list views of
// 10,000 and 100,000 rows (three columns, every other row checked) and a
// list box with 30,000 of 40,000 items selected. Also checks that the list
// view functions grow with the rows and no faster: the 100,000-row call at
// most 11 times the 10,000-row one.
#include "tests/host/host_double.h"

#include "bench/list_rows.h"
#include "bench/prepared_call.h"
#include "bench/benchmark.h"
#include "bench/timing.h"

#include <commctrl.h>
#include <windows.h>

#include <charconv>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace vantor;
using namespace vantor::bench;
using namespace vantor::testing;

namespace {

constexpr double kListViewBound = 1.15;
constexpr double kGrowthBound = 11.0;
constexpr double kListBoxBound = 1.20;
constexpr int kColumns = 3;
constexpr UINT kChecked = INDEXTOSTATEIMAGEMASK(2);
constexpr UINT kUnchecked = INDEXTOSTATEIMAGEMASK(1);

bool within = true;
int mismatches = 0;

void Expect(bool holds, const std::string& what) {
    if (holds) return;
    ReportFault(what + ": the extender's answer differs from the raw loop's");
    ++mismatches;
}

// Appends value in decimal, as a program would write it.
void AppendNumber(std::string& out, int value) {
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// The list view's text of item in column, read as a program reads it.
void AppendItemText(HWND list, int item, int column, std::string& out) {
    char buffer[1024];
    LVITEMA record{};
    record.iSubItem = column;
    record.pszText = buffer;
    record.cchTextMax = sizeof buffer;
    const LRESULT length =
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&record));
    out.append(record.pszText, static_cast<std::size_t>(length));
}

// A report list view of rows x 3 columns with check boxes, every other row checked.
HWND FilledListView(DialogFixture& dialog, int rows) {
    const HWND list = dialog.AddChild(WC_LISTVIEWA, LVS_REPORT, 101, 10, 10, 500, 300);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES);
    for (int c = 0; c < kColumns; ++c) {
        const std::string header = "column " + std::to_string(c + 1);
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(header.c_str());
        column.cx = 150;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows), 0);
    for (int i = 0; i < rows; ++i) {
        InsertRow(list, i);
        std::string detail = "detail " + std::to_string(i + 1);
        LVITEMA item{};
        item.iSubItem = 2;
        item.pszText = detail.data();
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = i % 2 == 0 ? kChecked : kUnchecked;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    DialogFixture::Pump();
    return list;
}

// The medians of one list size, by case, for the growth check.
struct SizeTimes {
    std::map<std::string, double> extender, raw;
};

void MeasureListView(HostDouble& host, DialogFixture& dialog, int rows, SizeTimes& times) {
    const HWND list = FilledListView(dialog, rows);
    const std::string size = " (" + std::to_string(rows / 1000) + ",000 rows)";
    // Bulk calls take long: few calls per round, fewer rounds for the large
    // list (the small list's times are the growth check's divisor: more
    // rounds steady them).
    const Plan bulk{.rounds = rows > 10000 ? 5 : 11, .roundMicroseconds = 0, .maxCalls = 1};
    const auto report = [&](const char* function, const char* against, const Timing& t) {
        times.extender[function] = t.extender;
        times.raw[function] = t.raw;
        within = ReportRatio((function + (" vs " + std::string(against)) + size).c_str(), t, kListViewBound) && within;
    };

    // lvGetItemsChecked: the column-1 texts of the checked rows, tab-joined.
    {
        PreparedCall call(host, "lvGetItemsChecked", {list});
        const auto raw = [&] {
            std::string text;
            const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                if (static_cast<UINT>(
                        SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_STATEIMAGEMASK)) != kChecked)
                    continue;
                AppendItemText(list, i, 0, text);
                text += '\t';
            }
            if (!text.empty()) text.pop_back();
            return text;
        };
        Expect(raw() == call.Answer(), "lvGetItemsChecked" + size);
        report("lvGetItemsChecked", "LVM_GETITEMSTATE+LVM_GETITEMTEXT loop",
               Compare([&] { raw(); }, [&] { call(); }, bulk));
    }

    // lvGetItemText, column 0: one row's texts of every column, tab-joined.
    {
        const int row = rows / 2;
        PreparedCall call(host, "lvGetItemText", {list, row + 1, 0});
        const auto raw = [&] {
            std::string text;
            const auto header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
            const int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
            for (int c = 0; c < columns; ++c) {
                AppendItemText(list, row, c, text);
                text += '\t';
            }
            while (!text.empty() && text.back() == '\t') text.pop_back();
            return text;
        };
        Expect(raw() == call.Answer(), "lvGetItemText" + size);
        report("lvGetItemText column 0", "header count+LVM_GETITEMTEXT per column",
               Compare([&] { raw(); }, [&] { call(); }, {.rounds = 11, .roundMicroseconds = 30000, .maxCalls = 2000}));
    }

    // lvSetColumnFillSeq: start + i * step into column 2 of every row, the
    // start changing from round to round (a fill that rewrites the texts the
    // cells already hold changes nothing, and the list view then skips most
    // of its work).
    {
        PreparedCall call(host, "lvSetColumnFillSeq", {list, 2, 1000, 3});
        int start = 1000;
        const auto raw = [&] {
            start = 3000 - start;
            const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
            char number[12];
            LVITEMA item{};
            item.iSubItem = 1;
            item.pszText = number;
            for (int i = 0; i < count; ++i) {
                *std::to_chars(number, number + sizeof number - 1, start + i * 3).ptr = '\0';
                SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            }
        };
        const auto extender = [&] {
            start = 3000 - start;
            call.SetInteger(3, start);
            call();
        };
        extender();
        std::string last;
        AppendItemText(list, rows - 1, 1, last);
        Expect(last == std::to_string(start + (rows - 1) * 3), "lvSetColumnFillSeq" + size + " wrote " + last);
        report("lvSetColumnFillSeq", "LVM_SETITEMTEXT loop", Compare(raw, extender, bulk));
    }

    // lvSetItemsChecked: every row checked, then every row cleared, in turn.
    {
        PreparedCall call(host, "lvSetItemsChecked", {list, 1});
        bool check = true;
        const auto raw = [&] {
            check = !check;
            const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
            LVITEMA item{};
            item.stateMask = LVIS_STATEIMAGEMASK;
            item.state = check ? kChecked : kUnchecked;
            for (int i = 0; i < count; ++i)
                SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        };
        const auto extender = [&] {
            check = !check;
            call.SetInteger(2, check ? 1 : 0);
            call();
        };
        extender();
        Expect(static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(rows - 1),
                                              LVIS_STATEIMAGEMASK)) == (check ? kChecked : kUnchecked),
               "lvSetItemsChecked" + size);
        report("lvSetItemsChecked", "LVM_SETITEMSTATE loop", Compare(raw, extender, bulk));
    }
    DestroyWindow(list);
    DialogFixture::Pump();
}

void MeasureListBox(HostDouble& host, DialogFixture& dialog) {
    constexpr int kItems = 40000;
    const HWND box = dialog.AddChild("LISTBOX", LBS_EXTENDEDSEL | WS_VSCROLL, 102, 520, 10, 160, 300);
    SendMessageA(box, WM_SETREDRAW, FALSE, 0);
    SendMessageA(box, LB_INITSTORAGE, kItems, kItems * 12);
    for (int i = 0; i < kItems; ++i)
        SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("item " + std::to_string(i)).c_str()));
    SendMessageA(box, LB_SETSEL, TRUE, -1);
    for (int i = 0; i < kItems; i += 4) SendMessageA(box, LB_SETSEL, FALSE, i);
    SendMessageA(box, WM_SETREDRAW, TRUE, 0);
    DialogFixture::Pump();
    const int selected = static_cast<int>(SendMessageA(box, LB_GETSELCOUNT, 0, 0));

    PreparedCall call(host, "lbGetItemSel", {box});
    std::vector<int> positions(static_cast<std::size_t>(selected));
    const auto raw = [&] {
        const int got = static_cast<int>(
            SendMessageA(box, LB_GETSELITEMS, positions.size(), reinterpret_cast<LPARAM>(positions.data())));
        std::string text;
        text.reserve(static_cast<std::size_t>(got) * 7);
        for (int i = 0; i < got; ++i) {
            if (i > 0) text += '\t';
            AppendNumber(text, positions[static_cast<std::size_t>(i)] + 1);
        }
        return text;
    };
    Expect(selected == 30000, "list box selection of " + std::to_string(selected));
    Expect(raw() == call.Answer(), "lbGetItemSel");
    within = ReportRatio(
                 "lbGetItemSel vs LB_GETSELITEMS and formatting (30,000 selected)",
                 Compare([&] { raw(); }, [&] { call(); }, {.rounds = 11, .roundMicroseconds = 100000, .maxCalls = 50}),
                 kListBoxBound) &&
             within;
    DestroyWindow(box);
}

}  // namespace

VANTOR_BENCHMARK(lists) {
    HostDouble host;
    DialogFixture dialog(720, 360);

    std::printf(
        "Bulk list functions against the raw message loops, alternating rounds; medians in\n"
        "microseconds per call and of the per-round ratios.\n\n");
    PrintHeading();
    MeasureListBox(host, dialog);
    SizeTimes small, large;
    MeasureListView(host, dialog, 10000, small);
    MeasureListView(host, dialog, 100000, large);

    // Growth: the extender's 100,000-row time against its 10,000-row time;
    // beside it the same for the raw loop, the platform's own growth.
    for (const auto& [function, time] : small.extender) {
        const std::string name = function + " 100,000 rows / 10,000 rows";
        const double grown = large.extender[function];
        within = ReportRatio(name.c_str(), {time, grown, grown / time}, kGrowthBound) && within;
        ReportInfo((name + ", the raw loop").c_str(), large.raw[function] / small.raw[function], "x");
    }
    return within && mismatches == 0;
}
