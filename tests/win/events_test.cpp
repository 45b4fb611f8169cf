// The dialog event engine through the host double, against a real dialog:
// focus moved with SetFocus, keys set with SetKeyboardState, the foreground
// switched between two top-level windows, and the eleven variables read back
// from the host's store.
#include "events/core/event_engine.h"
#include "tests/host/host_double.h"
#include "tests/win/event_variables.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

using namespace vantor;
using namespace vantor::testing;

namespace {

class DialogEvents : public ::testing::Test {
protected:
    // A copy of the DLL per test: the engine's key table, once built, is
    // kept for the life of the library, and these tests each start from a
    // script's first registration.
    const DllCopy copy;
    HostDouble host{copy.dll()};
    DialogFixture dialog;
    HWND a = dialog.AddChild("EDIT", WS_TABSTOP | WS_BORDER, 101, 10, 10);
    HWND b = dialog.AddChild("EDIT", WS_TABSTOP | WS_BORDER, 102, 10, 40);
    HWND c = dialog.AddChild("EDIT", WS_TABSTOP | WS_BORDER, 103, 10, 70);

    void SetUp() override {
        SetKeys({});
        SetForegroundWindow(dialog.hwnd());
        SetFocus(a);
        ASSERT_EQ(GetFocus(), a);
    }
    void TearDown() override { SetKeys({}); }

    CallResult Arm(std::int32_t event, std::int32_t mode) {
        return Expect1(host.Call("evDialogProcOptions", {dialog.hwnd(), event, mode}));
    }
    CallResult Arm(std::int32_t event, std::int32_t mode, const std::string& list) {
        return Expect1(host.Call("evDialogProcOptions", {dialog.hwnd(), event, mode, list}));
    }
    static CallResult Expect1(CallResult r) {
        EXPECT_EQ(r.callbacks, 1);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.cell.kind, kIntegerCell);
        EXPECT_EQ(r.integer(), 1);
        return r;
    }
    std::string Listed(const char* name, HWND window) { return name + ("," + std::to_string(H(window))); }

    // Polls once; returns the number of events the call published, after
    // checking that the call delivered the host's value.
    int Poll() {
        const std::size_t before = host.assignments.size();
        const int issued = host.hostValuesIssued;
        const CallResult r = host.Call("evProcessEvents");
        EXPECT_EQ(r.callbacks, 1);
        EXPECT_EQ(r.status, 0) << r.text;
        EXPECT_EQ(r.cell.kind, kIntegerCell);
        EXPECT_EQ(r.integer(), 7000 + issued) << "the host's value, copied whole";
        EXPECT_EQ(host.resultKindAtHostValue, kHostValueCell);
        const std::size_t added = host.assignments.size() - before;
        EXPECT_EQ(added % kVariableOrder.size(), 0u);
        for (std::size_t i = 0; i < added; ++i)
            EXPECT_EQ(host.assignments[before + i], kVariableOrder[i % kVariableOrder.size()]);
        return static_cast<int>(added / kVariableOrder.size());
    }
    Published Last() const { return Read(host.variables); }

    Published Control(std::int32_t message, HWND control, int id, std::string name = {}) const {
        return {H(dialog.hwnd()), H(control), id - 99, std::move(name), message};
    }
    Published Key(int key, int ctrl = 0, int shift = 0, int alt = 0) const {
        return {H(dialog.hwnd()),
                H(GetFocus()),
                GetDlgCtrlID(GetFocus()) - 99,
                "",
                evdeOnKeyPress,
                0,
                0,
                key,
                ctrl,
                shift,
                alt};
    }
    void ArmFocusEvents() {
        Arm(evdeOnEnter, 1);
        Arm(evdeOnExit, 1);
        EXPECT_EQ(Poll(), 0);
    }
    // Disarms everything this suite may have armed in the library.
    void DisarmAll() {
        for (std::int32_t event : {evdeOnEnter, evdeOnExit, evdeOnKeyPress, evdeOnGainFocus}) Arm(event, 0);
    }
};

// ---------------------------------------------------------------------------
// Control focus

TEST_F(DialogEvents, MovingFromAToBExitsAThenEntersBOnConsecutiveCalls) {
    ArmFocusEvents();
    SetFocus(b);
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last(), Control(evdeOnExit, a, 101));
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last(), Control(evdeOnEnter, b, 102));
    EXPECT_EQ(Poll(), 0);
}

TEST_F(DialogEvents, NamedControlsAndAnUnwatchedWindow) {
    Arm(evdeOnEnter, 1, Listed("First", a) + "\t" + Listed("Second", b));
    Arm(evdeOnExit, 1, Listed("First", a) + "\t" + Listed("Second", b));
    EXPECT_EQ(Poll(), 1);  // listed controls start not entered
    EXPECT_EQ(Last(), Control(evdeOnEnter, a, 101, "First"));

    SetFocus(c);  // not listed
    EXPECT_EQ(Poll(), 0);
    SetFocus(a);
    EXPECT_EQ(Poll(), 0);
    SetFocus(b);
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last(), Control(evdeOnExit, a, 101, "First"));
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last(), Control(evdeOnEnter, b, 102, "Second"));
}

TEST_F(DialogEvents, OnlyOnEnterClearsTheOldControlSilently) {
    Arm(evdeOnExit, 0);
    Arm(evdeOnEnter, 1);
    EXPECT_EQ(Poll(), 0);
    SetFocus(b);
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last(), Control(evdeOnEnter, b, 102));
    EXPECT_EQ(Poll(), 0);  // no OnExit waits
    SetFocus(a);           // A counts as left: it is entered again
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last(), Control(evdeOnEnter, a, 101));
}

// ---------------------------------------------------------------------------
// Keys

TEST_F(DialogEvents, AHeldKeyRaisesOneEvent) {
    Arm(evdeOnKeyPress, 1);
    SetFocus(b);
    EXPECT_EQ(Poll(), 0);
    SetKeys({'A'});
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last(), Key('A'));
    EXPECT_EQ(Last().control, H(b));
    EXPECT_EQ(Poll(), 0);
    EXPECT_EQ(Poll(), 0);
    SetKeys({});
    EXPECT_EQ(Poll(), 0);
    SetKeys({VK_CONTROL, 'A'});
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last(), Key('A', 1));
    SetKeys({VK_CONTROL});  // CTRL outlasts the key: it is wanted in mode 1
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last(), Key(0, 1));
}

TEST_F(DialogEvents, TwoKeysDownGiveTheEarlierInThePollList) {
    Arm(evdeOnKeyPress, 1);
    SetKeys({'B', 'A'});
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last().key, 'A');
    SetKeys({VK_NUMPAD0, VK_SPACE, 'A'});
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last().key, VK_SPACE);
}

TEST_F(DialogEvents, CapsLockAndShiftMakeUpperCase) {
    Arm(evdeOnKeyPress, 1);
    struct Case {
        bool caps, shift;
        int upper;
    };
    for (const Case k : {Case{true, false, 1}, Case{true, true, 0}, Case{false, true, 1}, Case{false, false, 0}}) {
        SetKeys({});
        Poll();
        if (k.shift) {
            SetKeys({VK_SHIFT, 'Q'}, k.caps);
        } else {
            SetKeys({'Q'}, k.caps);
        }
        EXPECT_EQ(Poll(), 1);
        EXPECT_EQ(Last(), Key('Q', 0, k.upper)) << "caps " << k.caps << " shift " << k.shift;
    }
}

TEST_F(DialogEvents, FocusEventsCarryTheKeysOfTheirCall) {
    ArmFocusEvents();
    Arm(evdeOnKeyPress, -2);  // walks the children again; A keeps counting as entered
    EXPECT_EQ(Poll(), 0);
    SetKeys({VK_MENU, '7'});
    SetFocus(c);
    EXPECT_EQ(Poll(), 2);  // the key press, then OnExit A
    EXPECT_EQ(Last(), (Published{H(dialog.hwnd()), H(a), 2, "", evdeOnExit, 0, 0, '7', 0, 0, 1}));
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last(), (Published{H(dialog.hwnd()), H(c), 4, "", evdeOnEnter, 0, 0, '7', 0, 0, 1}));
}

// ---------------------------------------------------------------------------
// Dialog focus

TEST_F(DialogEvents, GainAndLoseFocus) {
    DialogFixture other;
    SetForegroundWindow(dialog.hwnd());
    SetFocus(a);
    Arm(evdeOnEnter, 1);
    Arm(evdeOnGainFocus, 1);
    EXPECT_EQ(Poll(), 1);  // right after arming
    EXPECT_EQ(Last(), (Published{H(dialog.hwnd()), H(dialog.hwnd()), 0, "", evdeOnGainFocus}));
    EXPECT_EQ(Poll(), 0);

    ASSERT_TRUE(SetForegroundWindow(other.hwnd()));
    ASSERT_EQ(GetForegroundWindow(), other.hwnd());
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last(), (Published{H(dialog.hwnd()), H(other.hwnd()), 0, "", evdeOnLoseFocus}));
    EXPECT_EQ(Poll(), 0);

    SetForegroundWindow(dialog.hwnd());
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last().message, evdeOnGainFocus);

    Arm(evdeOnLoseFocus, 0);  // disarms both
    SetForegroundWindow(other.hwnd());
    EXPECT_EQ(Poll(), 0);
}

// ---------------------------------------------------------------------------
// Failures

TEST_F(DialogEvents, OldHostIsRefused) {
    Arm(evdeOnEnter, 1);
    host.SetHostVersion(1010);
    const CallResult r = host.Call("evProcessEvents");
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.text, "201040: This extender function requires KEL DLL version 6.21bub or newer");
    EXPECT_EQ(host.shownMessages,
              std::vector<std::string>{"...or to say it another way, Olvane Version 2021B or later"});
    host.SetHostVersion(1011);
    EXPECT_EQ(Poll(), 0);
}

TEST_F(DialogEvents, NothingArmedGivesAnEmptyText) {
    DisarmAll();
    Arm(evdeOnGainFocus, 1);  // does not count
    const CallResult r = host.Call("evProcessEvents");
    EXPECT_EQ(r.callbacks, 1);
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.cell.kind, kStringCell);
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(host.shownMessages, std::vector<std::string>{"There are no Initialized Events."});
    EXPECT_EQ(host.hostValuesIssued, 0);
}

TEST_F(DialogEvents, RefusedHostValue) {
    Arm(evdeOnEnter, 1);
    for (const auto& [code, text] : std::vector<std::pair<int, std::string>>{
             {3, "3: Map variable is not a map"}, {6, ""}, {9, ""}, {21, "21: Hash table size too big or too small"}}) {
        host.FailOperation(kFillHostValue, code);
        const CallResult r = host.Call("evProcessEvents");
        EXPECT_EQ(r.callbacks, 1);
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.text, text) << code;
    }
    EXPECT_TRUE(host.shownMessages.empty());
    EXPECT_TRUE(host.assignments.empty());
}

TEST_F(DialogEvents, RefusedAssignmentLeavesTheEventAtTheHead) {
    ArmFocusEvents();
    SetFocus(b);
    host.FailOperation(kAssignVariable, 5, 3);  // DHandle, DCHwnd, DCtrl go through
    CallResult r = host.Call("evProcessEvents");
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.text, "5: Map data is invalid");
    EXPECT_EQ(host.assignments, (std::vector<std::string>{"DHandle", "DCHwnd", "DCtrl"}));

    // OnExit A is still first: it goes out whole, then OnEnter B is refused
    host.FailOperation(kAssignVariable, 5, 11);
    r = host.Call("evProcessEvents");
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(Last(), Control(evdeOnExit, a, 101));
    host.ClearFailures();
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last(), Control(evdeOnEnter, b, 102));
    EXPECT_EQ(Poll(), 0);
}

// A list the engine cannot read fails the call before it changes anything:
// the waiting OnEnter survives, where a good registration would drop it.
TEST_F(DialogEvents, BadListIsReportedAndChangesNothing) {
    ArmFocusEvents();
    SetFocus(b);
    EXPECT_EQ(Poll(), 1);  // OnExit A; OnEnter B waits
    for (const char* list : {"OK,x12", "OK", "OK,99999999999"}) {
        host.ClearRecords();
        const CallResult r = host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnEnter, 1, list});
        EXPECT_EQ(r.callbacks, 1);
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.text, "20101: System error.");
        ASSERT_EQ(host.shownMessages.size(), 1u);
        EXPECT_NE(host.shownMessages[0].find(std::string("\"") + list + "\""), std::string::npos)
            << host.shownMessages[0];
    }
    const CallResult r = host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnKeyPress, 3, "65|x"});
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last(), Control(evdeOnEnter, b, 102));
}

// Once the key table exists a later key press registration does not read
// its list, so a list that could not be read fails nothing; the call drops
// the waiting events and the polls go on.
TEST_F(DialogEvents, LaterKeyListIsNotReadAndPollsGoOn) {
    Arm(evdeOnKeyPress, 1);  // builds the key table
    ArmFocusEvents();
    SetFocus(b);
    EXPECT_EQ(Poll(), 1);  // OnExit A; OnEnter B waits
    Arm(evdeOnKeyPress, 3, "65|x");
    EXPECT_TRUE(host.shownMessages.empty());
    EXPECT_EQ(Poll(), 0) << "the registration dropped OnEnter B";
    SetKeys({'A'});
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Last(), Key('A'));
}

TEST_F(DialogEvents, RegistrationDeliversOneForAnyArguments) {
    for (std::int32_t event : {evdeOnEnter, evdeOnLoseFocus, 0, 77, -333})
        for (std::int32_t mode : {0, 1, 2, -5}) {
            Expect1(host.Call("evDialogProcOptions", {dialog.hwnd(), event, mode, "", 0}));
            Expect1(host.Call("evDialogProcOptions", {0, event, mode}));
        }
}

// ---------------------------------------------------------------------------
// The engine samples each piece of state once per poll (one GetKeyboardState
// for all keys, one thread-state query for focus and active window). A
// straightforward reference that asks GetKeyState key by key and GetFocus,
// GetActiveWindow and GetForegroundWindow one by one must see the same.

class PerKeyWindows final : public EventPlatform {
public:
    void Sample(Snapshot& now, unsigned parts) override {
        if (parts & kSampleFocusAndActive) {
            now.focus = H(GetFocus());
            now.active = H(GetActiveWindow());
        }
        if (parts & kSampleForeground) now.foreground = H(GetForegroundWindow());
        if (parts & kSampleKeys) {
            for (int key = 0; key < 256; ++key) {
                const SHORT state = GetKeyState(key);
                now.keys[key] = static_cast<std::uint8_t>(((state & 0x8000) ? kKeyDown : 0) | (state & 1));
            }
        }
    }
    std::int32_t DialogItemId(std::int32_t window) override { return GetDlgCtrlID(HandleFrom<HWND>(window)); }
    std::vector<std::int32_t> Children(std::int32_t dialog) override {
        std::vector<std::int32_t> found;
        HWND parent = HandleFrom<HWND>(dialog);
        for (HWND child = GetTopWindow(parent); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
            found.push_back(H(child));
        return found;
    }
};

class RecordingHost final : public EventHost {
public:
    std::map<std::string, Variable> variables;
    int published = 0;
    std::uint32_t Version() override { return 1100; }
    void ShowMessage(const char*) override {}
    int FillHostCell() override { return 0; }
    int Assign(const char* name, std::int32_t value) override {
        published += std::string(name) == "VK_ALT";
        variables[name] = Variable{kIntegerCell, value, {}};
        return 0;
    }
    int Assign(const char* name, const std::string& text) override {
        variables[name] = Variable{kStringCell, 0, text};
        return 0;
    }
    void DefineVariable(const char*, std::int32_t) override {}
};

TEST_F(DialogEvents, SamplingOnceMatchesAskingKeyByKey) {
    DialogFixture other;
    SetForegroundWindow(dialog.hwnd());
    SetFocus(a);
    EventEngine reference;
    PerKeyWindows perKey;
    RecordingHost referenceHost;
    const std::vector<std::pair<std::int32_t, std::int32_t>> arming{
        {evdeOnEnter, 1}, {evdeOnExit, 1}, {evdeOnKeyPress, 1}, {evdeOnGainFocus, 1}};
    for (const auto& [event, mode] : arming) {
        Arm(event, mode);
        reference.RegisterEvent({H(dialog.hwnd()), event, mode, {}, 0}, perKey, referenceHost);
    }

    struct Step {
        HWND focus;
        std::initializer_list<int> keys;
        bool caps = false;
        HWND foreground = nullptr;
    };
    const Step steps[] = {
        {a, {}},
        {b, {'K'}},
        {b, {'K'}},
        {b, {VK_SHIFT, 'K', 'J'}},
        {c, {VK_SHIFT}},
        {c, {VK_CONTROL, VK_MENU, VK_F5}, true},
        {c, {}, true},
        {other.hwnd(), {VK_CAPITAL, VK_LEFT}, false, other.hwnd()},
        {other.hwnd(), {}, false, other.hwnd()},
        {b, {VK_RETURN}, false, dialog.hwnd()},
        {b, {}},
        {a, {'9', VK_NUMPAD9}},
        {a, {}},
        {a, {}},
    };
    int step = 0, total = 0;
    for (const Step& s : steps) {
        if (s.foreground != nullptr) SetForegroundWindow(s.foreground);
        SetFocus(s.focus);
        SetKeys(s.keys, s.caps);
        const int published = Poll();
        const int before = referenceHost.published;
        ASSERT_EQ(reference.Poll(perKey, referenceHost).end, PollOutcome::End::Delivered);
        EXPECT_EQ(published, referenceHost.published - before) << "step " << step;
        if (published > 0) {
            EXPECT_EQ(Last(), Read(referenceHost.variables)) << "step " << step;
        }
        total += published;
        ++step;
    }
    EXPECT_GE(total, 12);  // the sequence did raise events of every kind
}

}  // namespace
