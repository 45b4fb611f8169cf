// Cost of a script call through the extender's export against the platform
// calls that do the same work, measured in the same run: for each case the
// raw calls and the export are timed alike and their answers compared once.
// The export is called as the interpreter calls it, with argument cells
// built beforehand, so only the dispatcher and the handler add to the
// platform's cost.
#include "tests/host/host_double.h"

#include <commctrl.h>
#include "bench/timing.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace vantor;
using namespace vantor::testing;
using vantor::bench::Median;
using vantor::bench::NowMicroseconds;

namespace {

// Mean cost of one call over `calls` calls, in microseconds.
double Round(const std::function<void()>& call, int calls) {
    const double start = NowMicroseconds();
    for (int i = 0; i < calls; ++i) call();
    return (NowMicroseconds() - start) / calls;
}

struct Timing {
    double raw, extender, ratio;  // medians: µs per call, and of the per-round ratios
};

// Times the two in alternating rounds, so that a change of load on the
// machine weighs on both alike. A round makes at most kCallsPerRound calls
// and lasts about kRoundMicroseconds, as one first call of each estimates.
Timing Compare(const std::function<void()>& raw, const std::function<void()>& extender) {
    constexpr int kCallsPerRound = 20000, kRounds = 11;
    constexpr double kRoundMicroseconds = 40000;
    const double once = std::max({Round(raw, 1), Round(extender, 1), 0.01});
    const int calls = std::clamp(static_cast<int>(kRoundMicroseconds / once), 3, kCallsPerRound);
    std::vector<double> raws, extenders, ratios;
    for (int r = 0; r < kRounds; ++r) {
        raws.push_back(Round(raw, calls));
        extenders.push_back(Round(extender, calls));
        ratios.push_back(extenders.back() / raws.back());
    }
    return {Median(raws), Median(extenders), Median(ratios)};
}

// One script call with its cells built once, as the interpreter makes it.
class PreparedCall {
public:
    PreparedCall(HostDouble& host, const char* name, HWND window)
        : host_(host), name_(name), index_(host.IndexOf(name)), window_(window), args_(1) {
        args_[0].kind = kIntegerCell;
        args_[0].intValue = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window));
        args_[0].strValue = "";
    }
    void operator()() { host_.Dispatch(index_, args_.data(), 1, &result_); }
    // The answer through the host double's full call, for the comparison.
    std::string Answer() const {
        const CallResult r = host_.Call(name_, {window_});
        return r.cell.kind == kStringCell ? r.text : std::to_string(r.integer());
    }

private:
    HostDouble& host_;
    const char* name_;
    int index_;
    HWND window_;
    std::vector<ValueCell> args_;
    ValueCell result_{};
};

struct Case {
    const char* name;
    std::function<std::string()> raw;  // the platform calls; gives the same answer as the export
    PreparedCall extender;
};

int mismatches = 0;

void Measure(Case c) {
    const std::string expected = c.raw(), got = c.extender.Answer();
    const Timing t = Compare([&] { c.raw(); }, [&] { c.extender(); });
    std::printf("  %-40s %10.2f %12.2f %7.2f%s\n", c.name, t.raw, t.extender, t.ratio,
                got == expected ? "" : "   ANSWERS DIFFER");
    if (got != expected) ++mismatches;
}

// Positions joined by tabs, 1-based, as lbGetItemSel gives them.
std::string JoinPositions(const std::vector<int>& positions, int count) {
    std::string text;
    text.reserve(static_cast<std::size_t>(count) * 6);
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += '\t';
        text += std::to_string(positions[static_cast<std::size_t>(i)] + 1);
    }
    return count > 0 ? text : "0";
}

}  // namespace

int main() {
    HostDouble host;
    DialogFixture dialog(800, 600);

    // A list view with 10,000 rows, every other one checked.
    constexpr int kRows = 10000;
    const HWND list = dialog.AddChild(WC_LISTVIEWA, LVS_REPORT, 101, 10, 10, 380, 300);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>("Name");
    column.cx = 200;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < kRows; ++i) {
        std::string text = "row " + std::to_string(i + 1);
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = text.data();
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(i % 2 == 0 ? 2 : 1);
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);

    // An IP-address box holding an address.
    const HWND ip = dialog.AddChild(WC_IPADDRESSA, 0, 102, 400, 10, 160, 24);
    SendMessageA(ip, IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 10, 20));

    // A multi-select list box of 2,000 items, every other one selected.
    const HWND box =
        dialog.AddChild("LISTBOX", LBS_EXTENDEDSEL | WS_VSCROLL, 103, 400, 50, 160, 300);
    SendMessageA(box, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < 2000; ++i)
        SendMessageA(box, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(("item " + std::to_string(i)).c_str()));
    for (int i = 0; i < 2000; i += 2) SendMessageA(box, LB_SETSEL, TRUE, i);
    SendMessageA(box, WM_SETREDRAW, TRUE, 0);
    DialogFixture::Pump();

    std::printf(
        "Each case: the platform calls a program would make against the same work\n"
        "through the export, in 11 alternating rounds of up to 20,000 calls (at least 3,\n"
        "about 40 ms); medians in microseconds per call, and of the ratios.\n\n");
    std::printf("  %-40s %10s %12s %7s\n", "case", "raw", "extender", "ratio");

    Measure({"lvGetItemCount (10,000 rows)",
             [&] { return std::to_string(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); },
             PreparedCall(host, "lvGetItemCount", list)});

    Measure({"ipGetIP",
             [&] {
                 DWORD address = 0;
                 SendMessageA(ip, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
                 char text[16];
                 std::snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", FIRST_IPADDRESS(address),
                               SECOND_IPADDRESS(address), THIRD_IPADDRESS(address),
                               FOURTH_IPADDRESS(address));
                 return std::string(text);
             },
             PreparedCall(host, "ipGetIP", ip)});

    std::vector<int> positions(2000);
    Measure({"lbGetItemSel (1,000 of 2,000 selected)",
             [&] {
                 const int got =
                     static_cast<int>(SendMessageA(box, LB_GETSELITEMS, positions.size(),
                                                   reinterpret_cast<LPARAM>(positions.data())));
                 return JoinPositions(positions, got);
             },
             PreparedCall(host, "lbGetItemSel", box)});

    Measure({"lvGetItemsChecked (5,000 of 10,000 rows)",
             [&] {
                 std::string text;
                 const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
                 char buffer[1024];
                 for (int i = 0; i < count; ++i) {
                     if (SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(i),
                                      LVIS_STATEIMAGEMASK) != INDEXTOSTATEIMAGEMASK(2))
                         continue;
                     LVITEMA item{};
                     item.iSubItem = 0;
                     item.pszText = buffer;
                     item.cchTextMax = sizeof buffer;
                     SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i),
                                  reinterpret_cast<LPARAM>(&item));
                     text += buffer;
                     text += '\t';
                 }
                 if (!text.empty()) text.pop_back();
                 return text;
             },
             PreparedCall(host, "lvGetItemsChecked", list)});

    if (mismatches != 0) std::printf("\n%d case(s) gave different answers\n", mismatches);
    return mismatches == 0 ? 0 : 1;
}
