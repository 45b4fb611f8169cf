// Tooltips on real controls, read back through their own messages.
#include "tests/host/dialog_test.h"
#include "tests/host/message_recorder.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace vantor::testing;

namespace {

using ToolTips = DialogTest;

TEST_F(ToolTips, ToolTipIsATopMostBalloonThatTakesToolsByControl) {
    const HWND tip = Handle(host.Call("ttCreateToolTip", {dialog.hwnd()}));
    ASSERT_TRUE(IsWindow(tip));
    char name[64] = {};
    GetClassNameA(tip, name, sizeof name);
    EXPECT_STREQ(name, "tooltips_class32");
    EXPECT_EQ(GetWindow(tip, GW_OWNER), dialog.hwnd());
    const LONG style = GetWindowLongA(tip, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & TTS_BALLOON);
    EXPECT_TRUE(style & TTS_ALWAYSTIP);
    EXPECT_TRUE(GetWindowLongA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);

    const HWND button = dialog.AddChild("BUTTON", 0, 0, 10, 100, 120, 30, "Hover");
    EXPECT_NE(host.Call("ttAddToolTip", {tip, button, "First tip"}).integer(), 0);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    char text[128] = {};
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = button;
    tool.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "First tip");
    ASSERT_TRUE(SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_TRUE(tool.uFlags & TTF_SUBCLASS);
    RECT client{};
    GetClientRect(button, &client);
    EXPECT_TRUE(EqualRect(&tool.rect, &client));

    host.Call("ttSetText", {tip, button, "Second tip"});
    tool.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "Second tip");

    EXPECT_EQ(host.Call("ttSetColor", {tip, "255|255|0", 0}).callbacks, 1);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(255, 255, 0)));
    host.Call("ttSetColor", {tip, "0|0|128", 1});
    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPTEXTCOLOR, 0, 0), static_cast<LRESULT>(RGB(0, 0, 128)));
    const CallResult other = host.Call("ttSetColor", {tip, "1|2|3", 2});
    EXPECT_EQ(other.integer(), 0) << "target 2 sends nothing";
    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(255, 255, 0)));
    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPTEXTCOLOR, 0, 0), static_cast<LRESULT>(RGB(0, 0, 128)));

    host.Call("ttSetDelay", {tip, TTDT_INITIAL, 777});
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 777);
    EXPECT_EQ(host.Call("ttSetTitle", {tip, TTI_WARNING, "Title"}).integer(), 1);
    EXPECT_EQ(host.Call("ttActivate", {tip, 0}).integer(), 1);
    EXPECT_EQ(host.Call("ttActivate", {tip, 1}).integer(), 1);

    host.Call("ttDeleteToolTip", {tip, button});
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
    DestroyWindow(button);
    DestroyWindow(tip);
}

TEST_F(ToolTips, ToolTipNoWindowEmptyAndLongTexts) {
    const HWND none = NoWindow();
    ASSERT_FALSE(IsWindow(none));
    const std::string& longText = LongText();
    for (const std::string& text : {std::string(), longText}) {
        EXPECT_EQ(CallOnce("ttCreateToolTip", {none}).integer(), 0);
        EXPECT_EQ(CallOnce("ttAddToolTip", {none, none, text}).integer(), 0);
        EXPECT_EQ(CallOnce("ttDeleteToolTip", {none, none}).integer(), 0);
        EXPECT_EQ(CallOnce("ttSetText", {none, none, text}).integer(), 0);
        EXPECT_EQ(CallOnce("ttSetTitle", {none, 1, text}).integer(), 0);
        EXPECT_EQ(CallOnce("ttActivate", {none, 1}).integer(), 1);
        EXPECT_EQ(CallOnce("ttSetDelay", {none, 3, 100}).integer(), 0);
        EXPECT_EQ(CallOnce("ttSetColor", {none, text, 0}).integer(), 0);
    }
    EXPECT_TRUE(host.messageBoxes.empty());
}

}  // namespace

namespace {

// ttActivate switches the tooltip off for 0 and on for any other number.
TEST_F(ToolTips, ActivateSwitchesOffForZeroOnly) {
    const HWND tip = Handle(host.Call("ttCreateToolTip", {dialog.hwnd()}));
    ASSERT_TRUE(IsWindow(tip));
    {
        const MessageRecorder activations(tip, TTM_ACTIVATE);
        for (const int on : {0, 1, 0, 7, -1}) EXPECT_EQ(host.Call("ttActivate", {tip, on}).integer(), 1);
        using Seen = std::vector<std::pair<WPARAM, LPARAM>>;
        EXPECT_EQ(activations.seen(), (Seen{{FALSE, 0}, {TRUE, 0}, {FALSE, 0}, {TRUE, 0}, {TRUE, 0}}));
    }
    DestroyWindow(tip);
}

}  // namespace
