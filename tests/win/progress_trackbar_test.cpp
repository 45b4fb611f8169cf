// Progress bars, trackbars and their buddies on a real dialog, driven
// through the extender.
#include "tests/host/dialog_test.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

using namespace vantor::testing;

namespace {

// One host and one dialog for the whole suite; each test's windows go when
// it ends.
class Bars : public DialogTest {
protected:
    HWND ProgressBar() { return Handle(host.Call("pgCreateProgressBar", {dialog.hwnd(), 10, 10, 200, 20, 0})); }
    HWND Trackbar(int extraStyles = 0) {
        return Handle(host.Call("trCreateTrackBar", {dialog.hwnd(), 60, 60, 200, 200, extraStyles}));
    }
    static std::string Text(HWND window) {
        char text[256] = {};
        GetWindowTextA(window, text, sizeof text);
        return text;
    }
    static std::string ClassOf(HWND window) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        return name;
    }
    std::vector<HWND> Statics() const {
        std::vector<HWND> found;
        for (HWND w = GetWindow(dialog.hwnd(), GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT))
            if (_stricmp(ClassOf(w).c_str(), "Static") == 0) found.push_back(w);
        return found;
    }
    static DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }
};

}  // namespace

TEST_F(Bars, ProgressBarIsCreatedOnTheDialog) {
    const HWND bar = ProgressBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(ClassOf(bar), "msctls_progress32");
    EXPECT_EQ(Text(bar), "ProgressBar");
    EXPECT_EQ(GetParent(bar), dialog.hwnd());
    EXPECT_EQ(Style(bar), DWORD{WS_CHILD | WS_VISIBLE});
    RECT place{};
    GetWindowRect(bar, &place);
    MapWindowPoints(nullptr, dialog.hwnd(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, 10);
    EXPECT_EQ(place.top, 10);
    EXPECT_EQ(place.right, 210);
    EXPECT_EQ(place.bottom, 30);
}

TEST_F(Bars, ProgressBarRangePositionAndStep) {
    const HWND bar = ProgressBar();
    host.Call("pgSetRange", {bar, 0, 200});
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(host.Call("pgSetPosition", {bar, 30}).integer(), 0) << "the previous position";
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 30);
    EXPECT_EQ(host.Call("pgSetStep", {bar, 25}).integer(), 10) << "the previous step";
    EXPECT_EQ(host.Call("pgStep", {bar, 0}).integer(), 30);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 55);
    EXPECT_EQ(host.Call("pgStep", {bar, 7}).integer(), 55) << "every mode but 1 steps";
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 80);
}

TEST_F(Bars, ProgressBarRangeWarnsButSetsIt) {
    const HWND bar = ProgressBar();
    const CallResult r = host.Call("pgSetRange", {bar, 10, 10});
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].title, "Error");
    EXPECT_EQ(host.messageBoxes[0].text, "Your Minimum value must be less than your Maximum value.");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.integer(), MAKELONG(0, 100)) << "the range before, as PBM_SETRANGE32 answers";
    PBRANGE range{};
    SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 10);
    EXPECT_EQ(range.iHigh, 10);
}

TEST_F(Bars, ProgressBarColours) {
    const HWND bar = ProgressBar();
    EXPECT_EQ(host.Call("pgSetColor", {bar, "0|0|255", 1}).integer(), static_cast<int>(CLR_DEFAULT));
    EXPECT_EQ(SendMessageA(bar, PBM_GETBARCOLOR, 0, 0), RGB(0, 0, 255)) << "part 1 is the bar";
    EXPECT_EQ(host.Call("pgSetColor", {bar, "255|0|0", 1}).integer(), static_cast<int>(RGB(0, 0, 255)))
        << "the previous colour";
    EXPECT_EQ(host.Call("pgSetColor", {bar, "0|128|0", 0}).integer(), static_cast<int>(CLR_DEFAULT));
    EXPECT_EQ(SendMessageA(bar, PBM_GETBKCOLOR, 0, 0), RGB(0, 128, 0)) << "part 0 is the background";

    EXPECT_EQ(host.Call("pgSetColor", {bar, "9|9|9", 2}).integer(), 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETBARCOLOR, 0, 0), RGB(255, 0, 0)) << "part 2 sends nothing";
    EXPECT_EQ(SendMessageA(bar, PBM_GETBKCOLOR, 0, 0), RGB(0, 128, 0));
}

TEST_F(Bars, ProgressBarMarqueeAndState) {
    const HWND bar = ProgressBar();
    EXPECT_EQ(Style(bar) & PBS_MARQUEE, 0u);
    host.Call("pgStep", {bar, 1});
    EXPECT_NE(Style(bar) & PBS_MARQUEE, 0u);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 0) << "no step was made";
    // Wine keeps the state normal whatever it is sent; the answer is the state before.
    EXPECT_EQ(host.Call("pgSetState", {bar, PBST_PAUSED}).integer(), PBST_NORMAL);
}

TEST_F(Bars, ButtonBecomesMultiline) {
    const HWND button = dialog.AddChild("BUTTON", BS_PUSHBUTTON, 0, 10, 10, 60, 40, "A long button text");
    EXPECT_EQ(host.Call("pbSetMultiline", {button, 0}).integer(), 1);
    EXPECT_EQ(Style(button) & (BS_MULTILINE | BS_FLAT | BS_LEFTTEXT), DWORD{BS_MULTILINE | BS_FLAT | BS_LEFTTEXT});
    EXPECT_EQ(Style(button) & 0xF, DWORD{BS_PUSHBUTTON}) << "the button stays a push button";
}

// Handle 0 names no window: nothing is restyled or repainted, neither the
// desktop nor the windows on it (the platform reads a repaint of window 0
// as one of the whole screen).
TEST_F(Bars, MultilineOnHandleZeroRepaintsNoWindow) {
    DialogFixture::Pump();
    ValidateRect(dialog.hwnd(), nullptr);
    ASSERT_FALSE(GetUpdateRect(dialog.hwnd(), nullptr, FALSE));
    EXPECT_EQ(host.Call("pbSetMultiline", {0, 0}).integer(), 1);
    EXPECT_FALSE(GetUpdateRect(dialog.hwnd(), nullptr, FALSE)) << "the dialog was made to repaint";
}

TEST_F(Bars, MultilineOnAnEditBoxAddsNoButtonBits) {
    const HWND edit = dialog.AddChild("EDIT", WS_BORDER, 0, 10, 10, 120, 24);
    const DWORD before = Style(edit);
    EXPECT_EQ(host.Call("pbSetMultiline", {edit, 0}).integer(), 1);
    EXPECT_EQ(Style(edit), before | 0x8020) << "exactly 0x8020 is added";
    EXPECT_EQ(Style(edit) & ES_NUMBER, 0u);
    SetWindowTextA(edit, "");
    SendMessageA(edit, WM_CHAR, 'a', 0);
    char text[8] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "a") << "the edit box still takes letters";
}

TEST_F(Bars, VerticalTrackbarKeepsTicksSelectionAndTooltips) {
    const HWND trackbar = Trackbar(TBS_VERT);
    ASSERT_NE(trackbar, nullptr);
    EXPECT_EQ(ClassOf(trackbar), "msctls_trackbar32");
    EXPECT_EQ(Text(trackbar), "Trackbar");
    EXPECT_EQ(GetParent(trackbar), dialog.hwnd());
    const DWORD always = WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS | TBS_ENABLESELRANGE | TBS_TOOLTIPS;
    EXPECT_EQ(Style(trackbar), always | TBS_VERT);
    EXPECT_NE(SendMessageA(trackbar, TBM_GETTOOLTIPS, 0, 0), 0) << "tooltips";

    EXPECT_EQ(host.Call("trSetRangeMin", {trackbar, 0}).integer(), 1);
    EXPECT_EQ(host.Call("trSetRangeMax", {trackbar, 10}).integer(), 1);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETNUMTICS, 0, 0), 11) << "a tick for every value";
    host.Call("trSetSelStart", {trackbar, 2});
    host.Call("trSetSelEnd", {trackbar, 7});
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETSELSTART, 0, 0), 2);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETSELEND, 0, 0), 7);

    EXPECT_EQ(Style(Trackbar(0)), always) << "the styles come without extra styles too";
}

TEST_F(Bars, TrackbarSettersAndTrackInfo) {
    const HWND trackbar = Trackbar();
    const auto info = [&](int what) { return host.Call("trGetTrackInfo", {trackbar, what}).integer(); };
    host.Call("trSetRangeMin", {trackbar, 5});
    host.Call("trSetRangeMax", {trackbar, 50});
    EXPECT_EQ(host.Call("trSetLineSize", {trackbar, 3}).integer(), 1);
    EXPECT_EQ(host.Call("trSetPageSize", {trackbar, 9}).integer(), 1);
    EXPECT_EQ(host.Call("trSetPos", {trackbar, 20}).integer(), 1);
    host.Call("trSetSelStart", {trackbar, 11});
    host.Call("trSetSelEnd", {trackbar, 33});
    EXPECT_EQ(info(0), 3);
    EXPECT_EQ(info(2), 9);
    EXPECT_EQ(info(3), 20);
    EXPECT_EQ(info(4), 5);
    EXPECT_EQ(info(5), 50);
    EXPECT_EQ(info(6), 11);
    EXPECT_EQ(info(7), 33);
    EXPECT_EQ(info(8), 0) << "nothing is asked";
    EXPECT_EQ(info(-1), 0);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETPOS, 0, 0), 20);

    EXPECT_EQ(host.Call("trClearSel", {trackbar}).integer(), 1);
    EXPECT_EQ(info(6), info(7)) << "the selection is empty";

    host.Call("trSetTicFreq", {trackbar, 15});
    EXPECT_EQ(info(1), 4) << "the ends 5 and 50, and the ticks 20 and 35";
    EXPECT_EQ(host.Call("trClearTics", {trackbar}).integer(), 1);
    EXPECT_EQ(info(1), 2) << "only the ends";
    EXPECT_EQ(host.Call("trSetTic", {trackbar, 12}).integer(), 1);
    EXPECT_EQ(info(1), 3);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETTIC, 0, 0), 12);

    EXPECT_EQ(host.Call("trSetTipSide", {trackbar, TBTS_LEFT}).integer(), 1);
    EXPECT_EQ(SendMessageA(trackbar, TBM_SETTIPSIDE, TBTS_TOP, 0), TBTS_LEFT) << "the side it was given";
}

// The setters' argument 2 is a text in the table: a host that hands over
// only the text form ("30") moves the thumb as one that hands over 30.
TEST_F(Bars, TrackbarSettersReadTheNumberOfATextArgument) {
    const HWND trackbar = Trackbar();
    const auto info = [&](int what) { return host.Call("trGetTrackInfo", {trackbar, what}).integer(); };
    EXPECT_EQ(host.Call("trSetRangeMin", {trackbar, "5"}).integer(), 1);
    host.Call("trSetRangeMax", {trackbar, " 60"});
    host.Call("trSetLineSize", {trackbar, "4"});
    host.Call("trSetPageSize", {trackbar, "12"});
    host.Call("trSetPos", {trackbar, "30"});
    host.Call("trSetSelStart", {trackbar, "10"});
    host.Call("trSetSelEnd", {trackbar, "40px"});
    EXPECT_EQ(info(0), 4);
    EXPECT_EQ(info(2), 12);
    EXPECT_EQ(info(3), 30);
    EXPECT_EQ(info(4), 5);
    EXPECT_EQ(info(5), 60);
    EXPECT_EQ(info(6), 10);
    EXPECT_EQ(info(7), 40);
    host.Call("trSetTicFreq", {trackbar, "20"});
    EXPECT_EQ(info(1), 4) << "the ends 5 and 60, and the ticks 25 and 45";
    host.Call("trClearTics", {trackbar});
    host.Call("trSetTic", {trackbar, "25"});
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETTIC, 0, 0), 25);
    host.Call("trSetTipSide", {trackbar, "1"});
    EXPECT_EQ(SendMessageA(trackbar, TBM_SETTIPSIDE, TBTS_TOP, 0), TBTS_LEFT);
    host.Call("trSetPos", {trackbar, "no number"});
    EXPECT_EQ(info(3), 5) << "a text without a number is 0, kept within the range";
}

TEST_F(Bars, BuddiesAreReplacedAndRemovedWithoutOrphans) {
    const HWND trackbar = Trackbar();
    const auto buddy = [&](BOOL leftOrTop) {
        return reinterpret_cast<HWND>(SendMessageA(trackbar, TBM_GETBUDDY, leftOrTop, 0));
    };
    EXPECT_EQ(host.Call("trSetBuddy", {dialog.hwnd(), trackbar, 40, 20, "Low", "High"}).integer(), 1);
    const HWND left = buddy(TRUE), right = buddy(FALSE);
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(Text(left), "Low");
    EXPECT_EQ(Text(right), "High");
    EXPECT_EQ(Style(left), DWORD{WS_CHILD | WS_VISIBLE | SS_RIGHT});
    EXPECT_EQ(Style(right), DWORD{WS_CHILD | WS_VISIBLE | SS_LEFT});
    EXPECT_EQ(GetParent(left), dialog.hwnd());
    EXPECT_EQ(Statics().size(), 2u);

    host.Call("trSetBuddy", {dialog.hwnd(), trackbar, 40, 20, "Min", "Max"});
    EXPECT_EQ(Statics().size(), 2u) << "the first buddies are gone";
    EXPECT_FALSE(IsWindow(left));
    EXPECT_FALSE(IsWindow(right));
    EXPECT_EQ(Text(buddy(TRUE)), "Min");
    EXPECT_EQ(Text(buddy(FALSE)), "Max");

    const CallResult removed = host.Call("trRemoveBuddy", {trackbar});
    EXPECT_EQ(removed.returned, 1);
    EXPECT_FALSE(removed.delivered());
    EXPECT_EQ(removed.cell.intValue, HostDouble::kUntouchedInteger);
    EXPECT_TRUE(Statics().empty());
    EXPECT_EQ(buddy(TRUE), nullptr) << "no stale handle is kept";
    EXPECT_EQ(buddy(FALSE), nullptr);
}

TEST_F(Bars, RemoveBuddyWithoutBuddiesChangesNothing) {
    const HWND trackbar = Trackbar();
    const HWND label = dialog.AddChild("STATIC", 0, 0, 300, 300, 50, 20, "Mine");
    const CallResult r = host.Call("trRemoveBuddy", {trackbar});
    EXPECT_EQ(r.returned, 1);
    EXPECT_FALSE(r.delivered());
    EXPECT_TRUE(IsWindow(label));
    EXPECT_TRUE(IsWindow(trackbar));
    EXPECT_EQ(host.Call("trRemoveBuddy", {0}).returned, 1) << "no window";
}
