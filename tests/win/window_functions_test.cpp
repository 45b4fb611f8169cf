// The single functions that work on any window: show, class name, redraw,
// remove and the task bar.
#include "tests/host/dialog_test.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace vantor::testing;

namespace {

using WindowFunctions = DialogTest;

TEST_F(WindowFunctions, ShowHideRedrawAndRemoveAnyWindow) {
    const HWND list = dialog.AddChild("LISTBOX", 0, 0, 10, 200, 100, 60);
    for (auto [mode, visible] : {std::pair{0, false}, {1, true}, {2, false}, {1, true}}) {
        EXPECT_EQ(host.Call("ccShow", {list, mode}).integer(), 0);
        EXPECT_EQ(IsWindowVisible(list) != FALSE, visible) << "mode " << mode;
    }
    EXPECT_EQ(host.Call("ccShow", {list, 3}).integer(), 0);
    EXPECT_TRUE(IsWindowVisible(list)) << "mode 3 changes nothing";
    ShowWindow(list, SW_HIDE);
    EXPECT_EQ(host.Call("ccShow", {list, 3}).integer(), 0);
    EXPECT_FALSE(IsWindowVisible(list));
    ShowWindow(list, SW_SHOW);

    const CallResult named = host.Call("DCCompatible", {list, 0});
    EXPECT_EQ(named.cell.kind, 2);
    EXPECT_EQ(lstrcmpiA(named.text.c_str(), "ListBox"), 0) << named.text;
    const CallResult none = host.Call("DCCompatible", {HWND(nullptr), 0});
    EXPECT_EQ(none.cell.kind, 2);
    EXPECT_EQ(none.text, "");

    InvalidateRect(list, nullptr, TRUE);
    ASSERT_TRUE(GetUpdateRect(list, nullptr, FALSE));
    EXPECT_EQ(host.Call("RedrawControl", {list, 0}).integer(), 1);
    EXPECT_FALSE(GetUpdateRect(list, nullptr, FALSE)) << "painted and validated";

    EXPECT_EQ(host.Call("RemoveControl", {list}).integer(), 1);
    EXPECT_FALSE(IsWindow(list));
}

TEST_F(WindowFunctions, TaskBarShowsAndHidesTheFirstTopLevelButton) {
    const HWND button = CreateWindowExA(0, "Button", "top level", WS_POPUP | WS_VISIBLE, 700, 10, 80, 30, nullptr,
                                        nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    if (FindWindowExA(GetDesktopWindow(), nullptr, "Button", nullptr) != button) {
        DestroyWindow(button);
        GTEST_SKIP() << "another top-level Button window comes first";
    }
    // Hide first, then show, so the task bar (if this session has one) ends shown.
    EXPECT_NE(host.Call("wnTaskBar", {SW_HIDE}).integer(), 0) << "the button was visible";
    EXPECT_FALSE(IsWindowVisible(button));
    EXPECT_EQ(host.Call("wnTaskBar", {SW_SHOW}).integer(), 0) << "the button was hidden";
    EXPECT_TRUE(IsWindowVisible(button));
    DestroyWindow(button);
}

TEST_F(WindowFunctions, WindowFunctionsOnAHandleThatIsNoWindow) {
    const HWND none = NoWindow();
    ASSERT_FALSE(IsWindow(none));
    EXPECT_EQ(CallOnce("ccShow", {none, 1}).integer(), 0);
    EXPECT_EQ(CallOnce("DCCompatible", {none, 0}).text, "");
    EXPECT_EQ(CallOnce("RedrawControl", {none, 0}).integer(), 1);
    EXPECT_EQ(CallOnce("RedrawControl", {HWND(nullptr), 0}).integer(), 1);
    EXPECT_EQ(CallOnce("RemoveControl", {none}).integer(), 1);
    EXPECT_TRUE(host.messageBoxes.empty());
}

}  // namespace
