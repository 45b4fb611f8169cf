// Cost of a one-message script call through the extender's export against
// the platform call that does the same work, measured in the same run: the
// raw call and the export are timed in alternating rounds and their answers
// compared once. The export is called as the interpreter calls it, with
// argument cells built beforehand, so only the dispatcher and the handler
// add to the platform's cost.
#include "tests/host/host_double.h"

#include "bench/list_rows.h"
#include "bench/prepared_call.h"
#include "bench/benchmark.h"
#include "bench/timing.h"

#include <commctrl.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

using namespace vantor;
using namespace vantor::bench;
using namespace vantor::testing;

namespace {

constexpr double kBound = 1.10;
int mismatches = 0;
bool within = true;

void Measure(const char* name, const std::function<std::string()>& raw, PreparedCall& extender) {
    const std::string expected = raw(), got = extender.Answer();
    if (got != expected) {
        ReportFault(std::string(name) + ": the answers differ: raw \"" + expected + "\", extender \"" + got + "\"");
        ++mismatches;
    }
    within = ReportRatio(name, Compare([&] { raw(); }, [&] { extender(); }), kBound) && within;
}

}  // namespace

VANTOR_BENCHMARK(dispatch) {
    HostDouble host;
    DialogFixture dialog(600, 400);

    const HWND edit = dialog.AddChild("EDIT", WS_BORDER, 101, 10, 10, 200, 24, "text");

    const HWND list = dialog.AddChild(WC_LISTVIEWA, LVS_REPORT, 102, 10, 50, 380, 300);
    for (int i = 0; i < 100; ++i) InsertRow(list, i);

    const HWND ip = dialog.AddChild(WC_IPADDRESSA, 0, 103, 400, 10, 160, 24);
    SendMessageA(ip, IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 10, 20));
    DialogFixture::Pump();

    std::printf(
        "One-message calls: the platform call a program would make against the same work\n"
        "through the export, in 11 alternating rounds of up to 20,000 calls (about 40 ms);\n"
        "medians in microseconds per call and of the per-round ratios.\n\n");
    PrintHeading();

    // ebSetModify gives back the flag it set; the control must have it.
    PreparedCall setModify(host, "ebSetModify", {edit, 1});
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
    setModify();
    if (SendMessageA(edit, EM_GETMODIFY, 0, 0) == 0) {
        ReportFault("ebSetModify did not set the modification flag");
        ++mismatches;
    }
    Measure(
        "ebSetModify vs EM_SETMODIFY",
        [&] {
            SendMessageA(edit, EM_SETMODIFY, 1, 0);
            return std::string("1");
        },
        setModify);

    PreparedCall itemCount(host, "lvGetItemCount", {list});
    Measure(
        "lvGetItemCount vs LVM_GETITEMCOUNT",
        [&] { return std::to_string(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }, itemCount);

    PreparedCall getIp(host, "ipGetIP", {ip});
    Measure(
        "ipGetIP vs IPM_GETADDRESS and formatting",
        [&] {
            DWORD address = 0;
            SendMessageA(ip, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
            char text[16];
            std::snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", FIRST_IPADDRESS(address), SECOND_IPADDRESS(address),
                          THIRD_IPADDRESS(address), FOURTH_IPADDRESS(address));
            return std::string(text);
        },
        getIp);

    return mismatches == 0 && within;
}
