// Cost of one evProcessEvents poll with everything armed and nothing new,
// against the least the platform allows for the same information, measured
// in the same run: a script polls in a tight loop, and under a window
// server each focus, foreground or key-state query is a round trip.
//
// Armed: OnKeyPress in mode 1 (every key of the table and extra codes),
// OnEnter and OnExit on 20 listed controls, and the dialog focus events.
// The platform's least: GetGUIThreadInfo (focus and active window),
// GetForegroundWindow and GetKeyboardState, once each. Beside it, the same
// poll asked key by key (one GetKeyState per polled code), and the
// allocations one poll makes, counted at the library's import table.
#include "events/core/event_engine.h"
#include "tests/host/allocation_counter.h"
#include "tests/host/host_double.h"

#include "bench/prepared_call.h"
#include "bench/benchmark.h"
#include "bench/timing.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace vantor;
using namespace vantor::bench;
using namespace vantor::testing;

namespace {

volatile std::intptr_t sink;

constexpr int kWatched = 20;
// Extra codes beyond the table: the OEM punctuation keys and two codes no
// key has.
constexpr const char* kExtraKeys = "186|187|188|189|190|191|192|219|220|221|222|7|255";

}  // namespace

VANTOR_BENCHMARK(events) {
    HostDouble host;
    DialogFixture dialog(640, 700);
    std::string list;
    std::vector<HWND> edits;
    for (int i = 0; i < kWatched; ++i) {
        edits.push_back(dialog.AddChild("EDIT", WS_TABSTOP | WS_BORDER, 101 + i, 10, 10 + 30 * i));
        list += "field" + std::to_string(i + 1) + "," + std::to_string(reinterpret_cast<std::intptr_t>(edits.back())) +
                "\t";
    }
    SetForegroundWindow(dialog.hwnd());
    SetFocus(edits[0]);
    BYTE keys[256] = {};
    SetKeyboardState(keys);
    host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnGainFocus, 1});
    // Key press first: each registration of OnKeyPress, OnEnter or OnExit
    // chooses the watched controls anew, and the last one names them.
    host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnKeyPress, 1, kExtraKeys});
    host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnEnter, 1, list});
    host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnExit, 1, list});
    for (int i = 0; i < 4; ++i) host.Call("evProcessEvents");  // the events of the arming
    const std::size_t published = host.assignments.size();

    std::printf(
        "evProcessEvents, OnKeyPress mode 1 (all keys and 13 extra codes), OnEnter and OnExit\n"
        "on %d controls, dialog focus events; nothing changes. 15 alternating rounds,\n"
        "medians in microseconds per call and of the per-round ratios.\n\n",
        kWatched);
    PrintHeading();

    PreparedCall poll(host, "evProcessEvents", {});
    const Timing t = Compare(
        [] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            BYTE state[256];
            sink = GetGUIThreadInfo(GetCurrentThreadId(), &info);
            sink = reinterpret_cast<std::intptr_t>(GetForegroundWindow());
            sink = GetKeyboardState(state);
        },
        [&] { poll(); }, {.rounds = 15, .roundMicroseconds = 30000, .maxCalls = 2000});
    bool within = ReportRatio("evProcessEvents vs GetGUIThreadInfo+Foreground+KeyboardState", t, 1.25);

    // The same information asked key by key: focus, active and foreground
    // window, the four modifier states and every polled code.
    std::vector<int> codes;
    for (const KeyEntry& key : ParseVirtualKeyTable()) codes.push_back(key.code);
    for (const int extra : {186, 187, 188, 189, 190, 191, 192, 219, 220, 221, 222, 7, 255}) codes.push_back(extra);
    const Timing byKey = Compare(
        [&] {
            sink = reinterpret_cast<std::intptr_t>(GetFocus()) + reinterpret_cast<std::intptr_t>(GetActiveWindow()) +
                   reinterpret_cast<std::intptr_t>(GetForegroundWindow());
            for (const int modifier : {VK_CAPITAL, VK_SHIFT, VK_CONTROL, VK_MENU}) sink = GetKeyState(modifier);
            for (const int code : codes) sink = GetKeyState(code);
        },
        [&] { poll(); }, {.rounds = 7, .roundMicroseconds = 30000, .maxCalls = 200});
    const std::string byKeyName =
        "poll asked key by key (3 windows + " + std::to_string(codes.size() + 4) + " GetKeyState)";
    ReportInfo(byKeyName.c_str(), byKey.raw, "µs");
    ReportInfo("speed-up of evProcessEvents over it", byKey.raw / byKey.extender, "x");

    if (host.assignments.size() != published) {
        ReportFault("the timed polls published events: nothing was to change");
        within = false;
    }

    // Heap allocations: the library's imports of malloc, operator new's
    // malloc, HeapAlloc and the like, counted over 200 polls.
    {
        AllocationCounter counter(host.module());
        for (int i = 0; i < 200; ++i) poll();
        const double perPoll = static_cast<double>(counter.count()) / 200.0;
        if (counter.hooked() == 0) {
            ReportFault("no allocation function found among the library's imports");
            within = false;
        }
        within = ReportAbsolute("heap allocations per evProcessEvents poll", perPoll, 0, "allocations") && within;
    }
    return within;
}
