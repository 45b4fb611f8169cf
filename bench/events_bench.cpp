// Cost of one evProcessEvents poll with every event armed and nothing new,
// against the platform calls it is made of, measured in the same run: a
// script polls in a tight loop, and under a window server each focus,
// foreground or key-state query is a round trip.
#include "events/core/event_engine.h"
#include "tests/host/host_double.h"

#include "bench/timing.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vantor;
using namespace vantor::testing;
using vantor::bench::Median;
using vantor::bench::NowMicroseconds;

namespace {

// Median over batches of the mean cost of one call, in microseconds.
double Cost(const std::function<void()>& call, int batches = 7, int perBatch = 300) {
    std::vector<double> means;
    for (int b = 0; b < batches; ++b) {
        const double start = NowMicroseconds();
        for (int i = 0; i < perBatch; ++i) call();
        means.push_back((NowMicroseconds() - start) / perBatch);
    }
    return Median(means);
}

volatile std::intptr_t sink;

}  // namespace

int main() {
    HostDouble host;
    DialogFixture dialog;
    HWND first = dialog.AddChild("EDIT", WS_TABSTOP | WS_BORDER, 101, 10, 10);
    dialog.AddChild("EDIT", WS_TABSTOP | WS_BORDER, 102, 10, 40);
    dialog.AddChild("EDIT", WS_TABSTOP | WS_BORDER, 103, 10, 70);
    SetFocus(first);
    BYTE keys[256] = {};
    SetKeyboardState(keys);
    for (const std::int32_t event : {evdeOnEnter, evdeOnExit, evdeOnKeyPress, evdeOnGainFocus})
        host.Call("evDialogProcOptions", {dialog.hwnd(), event, 1});
    host.Call("evProcessEvents");  // the dialog focus event of the arming
    host.Call("evProcessEvents");
    const std::size_t published = host.assignments.size();

    const double poll = Cost([&] { host.Call("evProcessEvents"); });
    if (host.assignments.size() != published) std::printf("warning: the timed polls published events\n");

    const double keyState = Cost([] { sink = GetKeyState(VK_SHIFT); });
    const double focus = Cost([] { sink = reinterpret_cast<std::intptr_t>(GetFocus()); });
    const double foreground = Cost([] { sink = reinterpret_cast<std::intptr_t>(GetForegroundWindow()); });
    const double keyboard = Cost([&] { sink = GetKeyboardState(keys); });
    const double threadInfo = Cost([] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        sink = GetGUIThreadInfo(GetCurrentThreadId(), &info);
    });
    // What asking key by key costs for the same poll: focus, active and
    // foreground window, the four modifier states and the 114 polled keys.
    const std::vector<KeyEntry> table = ParseVirtualKeyTable();
    const double perKey = Cost(
        [&] {
            sink = reinterpret_cast<std::intptr_t>(GetFocus()) +
                   reinterpret_cast<std::intptr_t>(GetActiveWindow()) +
                   reinterpret_cast<std::intptr_t>(GetForegroundWindow());
            for (const int modifier : {VK_CAPITAL, VK_SHIFT, VK_CONTROL, VK_MENU})
                sink = GetKeyState(modifier);
            for (const KeyEntry& key : table) sink = GetKeyState(key.code);
        },
        5, 20);

    std::printf(
        "evProcessEvents with OnEnter, OnExit, OnKeyPress (114 keys) and OnGainFocus armed,\n"
        "nothing new; medians of batch means, microseconds per call:\n\n");
    std::printf("  %-44s %9.2f\n", "evProcessEvents, one poll", poll);
    std::printf("  %-44s %9.2f\n", "GetKeyState", keyState);
    std::printf("  %-44s %9.2f\n", "GetFocus", focus);
    std::printf("  %-44s %9.2f\n", "GetForegroundWindow", foreground);
    std::printf("  %-44s %9.2f\n", "GetKeyboardState", keyboard);
    std::printf("  %-44s %9.2f\n", "GetGUIThreadInfo", threadInfo);
    std::printf("  %-44s %9.2f\n", "asking key by key (3 windows + 118 keys)", perKey);
    std::printf("\nratios:\n");
    std::printf("  one poll / GetKeyState           %8.2f\n", poll / keyState);
    std::printf("  one poll / GetFocus              %8.2f\n", poll / focus);
    std::printf("  asking key by key / one poll     %8.2f\n", perKey / poll);
    return 0;
}
