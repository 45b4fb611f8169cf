// The keys a process polls are chosen by its first key press registration:
// here the navigation keys and two extra keys, with the key names defined.
// A copy of the DLL of its own, so that no earlier registration chose them.
#include "events/core/event_engine.h"
#include "tests/host/host_double.h"
#include "tests/win/event_variables.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

using namespace vantor;
using namespace vantor::testing;

namespace {

int PublishedBy(HostDouble& host) {
    const std::size_t before = host.assignments.size();
    const CallResult r = host.Call("evProcessEvents");
    EXPECT_EQ(r.status, 0) << r.text;
    return static_cast<int>((host.assignments.size() - before) / kVariableOrder.size());
}

TEST(EventKeys, FirstRegistrationChoosesAndNamesTheKeys) {
    const DllCopy copy;
    HostDouble host(copy.dll());
    DialogFixture dialog;
    HWND edit = dialog.AddChild("EDIT", WS_TABSTOP | WS_BORDER, 105);
    SetFocus(edit);
    SetKeys({});

    CallResult r = host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnKeyPress, -1, "65|17", 1});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.integer(), 1);
    ASSERT_EQ(host.defined.size(), 118u);
    const std::map<std::string, std::int32_t> names(host.defined.begin(), host.defined.end());
    EXPECT_EQ(names.size(), 118u);
    EXPECT_EQ(names.at("VK_A"), 65);
    EXPECT_EQ(names.at("VK_0"), 48);
    EXPECT_EQ(names.at("VK_MENU"), 18);
    EXPECT_EQ(names.at("VK_ALT"), 18);
    EXPECT_EQ(names.at("VK_OEM_PERIOD"), VK_OEM_PERIOD);
    EXPECT_EQ(host.defined.front(), (std::pair<std::string, std::int32_t>{"VK_LBUTTON", 1}));
    EXPECT_EQ(host.defined.back(), (std::pair<std::string, std::int32_t>{"VK_ALT", 18}));

    const std::int32_t focus = H(edit);
    // a table row comes before the script's extra keys
    SetKeys({'A', VK_TAB});
    EXPECT_EQ(PublishedBy(host), 1);
    EXPECT_EQ(Read(host.variables), (Published{H(dialog.hwnd()), focus, 6, "", evdeOnKeyPress, 0, 0, VK_TAB}));
    SetKeys({'A'});
    EXPECT_EQ(PublishedBy(host), 1);
    EXPECT_EQ(Read(host.variables).key, 'A');
    // CTRL is polled as an extra key, so pressing it alone is a key press
    SetKeys({VK_CONTROL});
    EXPECT_EQ(PublishedBy(host), 1);
    EXPECT_EQ(Read(host.variables), (Published{H(dialog.hwnd()), focus, 6, "", evdeOnKeyPress, 0, 0, 17, 1}));
    SetKeys({'B'});  // not chosen: the key goes up to 0, and CTRL is up
    EXPECT_EQ(PublishedBy(host), 0);

    // a later registration keeps the keys and defines no names again
    host.ClearRecords();
    r = host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnKeyPress, 1, "66", 1});
    EXPECT_EQ(r.integer(), 1);
    EXPECT_TRUE(host.defined.empty());
    SetKeys({});
    EXPECT_EQ(PublishedBy(host), 0);
    SetKeys({'B'});
    EXPECT_EQ(PublishedBy(host), 0);
    SetKeys({});
}

}  // namespace

namespace {

// The 118 key names are defined by a fifth argument of exactly 1; any other
// value, and no fifth argument, defines none. The script's own variables of
// those names are kept as the host keeps them: a defined name would take the
// library's value.
TEST(EventKeys, KeyNamesOnlyForAFifthArgumentOfOne) {
    DialogFixture dialog;
    dialog.AddChild("EDIT", WS_TABSTOP | WS_BORDER, 105);
    struct Case {
        std::vector<Arg> extra;
        std::size_t defined;
        std::int32_t vkA;
    };
    const Case cases[] = {{{}, 0, 7}, {{0}, 0, 7}, {{2}, 0, 7}, {{-1}, 0, 7}, {{1}, 118, 65}};
    for (const Case& c : cases) {
        const DllCopy copy;  // the first key press registration of a library defines the names
        HostDouble host(copy.dll());
        std::map<std::string, std::int32_t> script{{"VK_A", 7}, {"VK_RETURN", -5}};
        std::vector<Arg> args{dialog.hwnd(), evdeOnKeyPress, 1, ""};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const std::string what =
            c.extra.empty() ? "four arguments" : "fifth argument " + std::to_string(c.extra[0].integer());
        const CallResult r = host.Call("evDialogProcOptions", args);
        EXPECT_EQ(r.integer(), 1) << what;
        EXPECT_EQ(host.defined.size(), c.defined) << what;
        for (const auto& [name, value] : host.defined) script[name] = value;
        EXPECT_EQ(script.at("VK_A"), c.vkA) << what;
        EXPECT_EQ(script.at("VK_RETURN"), c.defined == 0 ? -5 : VK_RETURN) << what;
        host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnKeyPress, 0, ""});
    }
}

}  // namespace
