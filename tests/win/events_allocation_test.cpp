// A script polls evProcessEvents in a tight loop: a poll in which nothing
// changes must not touch the heap. The library's own allocations are counted
// at its import table (malloc, which operator new ends in, HeapAlloc and the
// like); the host double's are not.
#include "events/core/event_engine.h"
#include "tests/host/allocation_counter.h"
#include "tests/host/host_double.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using namespace vantor;
using namespace vantor::testing;

namespace {

class PollAllocations : public ::testing::Test {
protected:
    HostDouble host;
    DialogFixture dialog{640, 700};
    std::vector<HWND> edits;
    std::string list;

    void SetUp() override {
        for (int i = 0; i < 20; ++i) {
            edits.push_back(dialog.AddChild("EDIT", WS_TABSTOP | WS_BORDER, 101 + i, 10, 10 + 30 * i));
            list += "field" + std::to_string(i + 1) + "," +
                    std::to_string(reinterpret_cast<std::intptr_t>(edits.back())) + "\t";
        }
        SetForegroundWindow(dialog.hwnd());
        SetFocus(edits[0]);
        BYTE keys[256] = {};
        SetKeyboardState(keys);
    }

    void ArmEverything() {
        for (const CallResult& r :
             {host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnGainFocus, 1}),
              host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnKeyPress, 1, "186|187|219|7|255"}),
              host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnEnter, 1, list}),
              host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnExit, 1, list})}) {
            ASSERT_EQ(r.status, 0);
            ASSERT_EQ(r.integer(), 1);
        }
    }
};

TEST_F(PollAllocations, CounterSeesTheLibrarysAllocations) {
    AllocationCounter counter(host.module());
    ASSERT_GT(counter.hooked(), 0) << "no allocation function among the library's imports";
    // Registering builds the lists of watched controls and keys.
    ArmEverything();
    EXPECT_GT(counter.count(), 0);
    counter.Reset();
    EXPECT_EQ(counter.count(), 0);
}

TEST_F(PollAllocations, QuietPollAllocatesNothing) {
    ArmEverything();
    for (int i = 0; i < 4; ++i) host.Call("evProcessEvents");  // the events of the arming
    const std::size_t published = host.assignments.size();

    AllocationCounter counter(host.module());
    ValueCell args[1]{};
    ValueCell result{};
    const int index = host.IndexOf("evProcessEvents");
    for (int i = 0; i < 50; ++i) EXPECT_EQ(host.Dispatch(index, args, 0, &result), 0);
    EXPECT_EQ(counter.count(), 0) << "allocations in 50 polls in which nothing changed";
    EXPECT_EQ(host.assignments.size(), published) << "the polls were to find nothing new";
}

// The same poll still sees what changes: the counter stays out of its way.
TEST_F(PollAllocations, PollUnderTheCounterStillRaisesEvents) {
    ArmEverything();
    for (int i = 0; i < 4; ++i) host.Call("evProcessEvents");
    AllocationCounter counter(host.module());
    SetFocus(edits[5]);
    const std::size_t before = host.assignments.size();
    host.Call("evProcessEvents");
    host.Call("evProcessEvents");
    EXPECT_GT(host.assignments.size(), before);
    EXPECT_EQ(host.variables["DCName"].text, "field6");
}

}  // namespace
