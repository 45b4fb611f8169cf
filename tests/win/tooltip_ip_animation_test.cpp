// Tooltips, IP-address boxes, animation controls and the single functions
// on real controls, read back through the controls' own messages.
#include "tests/host/host_double.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace vantor::testing;

namespace {

HWND AsWindow(const CallResult& r) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(r.integer()));
}

// One dialog for the whole program: each new dialog costs Wine time.
class Controls : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        host = new HostDouble;
        dialog = new DialogFixture;
    }
    static void TearDownTestSuite() {
        delete dialog;
        delete host;
    }
    void SetUp() override { host->messageBoxes.clear(); }

    static RECT PlaceInDialog(HWND window) {
        RECT place{};
        GetWindowRect(window, &place);
        MapWindowPoints(nullptr, dialog->hwnd(), reinterpret_cast<POINT*>(&place), 2);
        return place;
    }

    static inline HostDouble* host = nullptr;
    static inline DialogFixture* dialog = nullptr;
};

// ---- IP address

class IpAddress : public Controls {
protected:
    void SetUp() override {
        Controls::SetUp();
        box = AsWindow(host->Call("ipCreateIP", {dialog->hwnd(), 10, 10, 160, 24, 0}));
        ASSERT_TRUE(IsWindow(box));
    }
    void TearDown() override { DestroyWindow(box); }

    std::string SetThenGet(const std::string& text) const {
        host->Call("ipSetIP", {box, text});
        return host->Call("ipGetIP", {box}).text;
    }
    DWORD Address() const {
        DWORD address = 0;
        SendMessageA(box, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
        return address;
    }

    HWND box = nullptr;
};

TEST_F(IpAddress, CreatedBlankAndVisibleWithItsText) {
    char name[64] = {};
    GetClassNameA(box, name, sizeof name);
    EXPECT_STREQ(name, "SysIPAddress32");
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_EQ(GetParent(box), dialog->hwnd());
    const RECT place = PlaceInDialog(box);
    EXPECT_EQ(place.left, 10);
    EXPECT_EQ(place.right - place.left, 160);
    EXPECT_NE(host->Call("ipIsBlank", {box}).integer(), 0);
    const CallResult r = host->Call("ipGetIP", {box});
    EXPECT_EQ(r.cell.kind, 2);
    EXPECT_EQ(r.text, "0.0.0.0");
}

TEST_F(IpAddress, SetAndGetRoundTrips) {
    EXPECT_EQ(SetThenGet("10.0.0.1"), "10.0.0.1");
    EXPECT_EQ(Address(), MAKEIPADDRESS(10, 0, 0, 1));
    EXPECT_EQ(host->Call("ipIsBlank", {box}).integer(), 0);
    EXPECT_EQ(SetThenGet("255.255.255.255"), "255.255.255.255");
    EXPECT_EQ(SetThenGet("1.2.3"), "1.2.0.3") << "what follows the last dot is field 4";
    EXPECT_EQ(SetThenGet("1.2.3.4.5"), "1.2.3.5") << "a fourth dot stores nothing";
    EXPECT_EQ(SetThenGet("1..3.4"), "1.0.3.4");
    EXPECT_EQ(SetThenGet("1.256.0.7"), "2.0.0.7") << "fields are added, not masked";
    EXPECT_EQ(SetThenGet("7a.8.9.10"), "7.8.9.10");

    EXPECT_NE(host->Call("ipClearIP", {box}).integer(), 0);
    EXPECT_NE(host->Call("ipIsBlank", {box}).integer(), 0);
    EXPECT_EQ(host->Call("ipGetIP", {box}).text, "0.0.0.0");
}

TEST_F(IpAddress, OverlongFieldsAndTextsStayInTheirBuffer) {
    EXPECT_EQ(SetThenGet("1000.2.3.4"), "100.2.3.4") << "a field keeps its first three characters";
    EXPECT_EQ(SetThenGet("1.2.3.45678"), "1.2.4.200") << "456 is read and carries into field 3";
    EXPECT_EQ(SetThenGet("12345678901234567890"), "0.0.0.123");
    EXPECT_EQ(SetThenGet("9.8.7.6" + std::string(100 * 1024, '5')), "9.8.9.143")
        << "only the first fifteen characters count; field 4 reads 655";
    EXPECT_EQ(SetThenGet(std::string(100 * 1024, '.')), "0.0.0.0");
    EXPECT_EQ(SetThenGet(""), "0.0.0.0");
}

TEST_F(IpAddress, FocusAndRangeCountFieldsFromOne) {
    host->Call("ipSetFocus", {box, 1});
    const HWND first = GetFocus();
    ASSERT_EQ(GetParent(first), box);
    host->Call("ipSetFocus", {box, 4});
    const HWND fourth = GetFocus();
    ASSERT_EQ(GetParent(fourth), box);
    EXPECT_LT(PlaceInDialog(first).left, PlaceInDialog(fourth).left);
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        EXPECT_LE(PlaceInDialog(first).left, PlaceInDialog(child).left) << "field 1 is the leftmost";
        EXPECT_GE(PlaceInDialog(fourth).left, PlaceInDialog(child).left) << "field 4 is the rightmost";
    }

    EXPECT_NE(host->Call("ipSetRange", {box, 1, 10, 20}).integer(), 0);
    // A typed value above the range is brought back to its high end when the field is left.
    host->Call("ipSetFocus", {box, 1});
    SetWindowTextA(first, "99");
    host->Call("ipSetFocus", {box, 2});
    DialogFixture::Pump();
    EXPECT_EQ(FIRST_IPADDRESS(Address()), 20);
}

// ---- Tooltips

TEST_F(Controls, ToolTipIsATopMostBalloonThatTakesToolsByControl) {
    const HWND tip = AsWindow(host->Call("ttCreateToolTip", {dialog->hwnd()}));
    ASSERT_TRUE(IsWindow(tip));
    char name[64] = {};
    GetClassNameA(tip, name, sizeof name);
    EXPECT_STREQ(name, "tooltips_class32");
    EXPECT_EQ(GetWindow(tip, GW_OWNER), dialog->hwnd());
    const LONG style = GetWindowLongA(tip, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & TTS_BALLOON);
    EXPECT_TRUE(style & TTS_ALWAYSTIP);
    EXPECT_TRUE(GetWindowLongA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);

    const HWND button = dialog->AddChild("BUTTON", 0, 0, 10, 100, 120, 30, "Hover");
    EXPECT_NE(host->Call("ttAddToolTip", {tip, button, "First tip"}).integer(), 0);
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

    host->Call("ttSetText", {tip, button, "Second tip"});
    tool.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "Second tip");

    EXPECT_EQ(host->Call("ttSetColor", {tip, "255|255|0", 0}).callbacks, 1);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(255, 255, 0)));
    host->Call("ttSetColor", {tip, "0|0|128", 1});
    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPTEXTCOLOR, 0, 0), static_cast<LRESULT>(RGB(0, 0, 128)));
    const CallResult other = host->Call("ttSetColor", {tip, "1|2|3", 2});
    EXPECT_EQ(other.integer(), 0) << "target 2 sends nothing";
    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(255, 255, 0)));
    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPTEXTCOLOR, 0, 0), static_cast<LRESULT>(RGB(0, 0, 128)));

    host->Call("ttSetDelay", {tip, TTDT_INITIAL, 777});
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 777);
    EXPECT_EQ(host->Call("ttSetTitle", {tip, TTI_WARNING, "Title"}).integer(), 1);
    EXPECT_EQ(host->Call("ttActivate", {tip, 0}).integer(), 1);
    EXPECT_EQ(host->Call("ttActivate", {tip, 1}).integer(), 1);

    host->Call("ttDeleteToolTip", {tip, button});
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
    DestroyWindow(button);
    DestroyWindow(tip);
}

// ---- Animation

// A small uncompressed AVI: width x height, 24 bits, `frames` frames.
std::string SmallAvi(std::uint32_t width, std::uint32_t height, std::uint32_t frames) {
    auto u32 = [](std::string& s, std::uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](std::string& s, std::uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); };
    auto chunk = [&](const char* id, const std::string& body) {
        std::string c(id, 4);
        u32(c, static_cast<std::uint32_t>(body.size()));
        c += body;
        if (body.size() % 2 != 0) c += '\0';
        return c;
    };
    auto list = [&](const char* type, const std::string& body) {
        return chunk("LIST", std::string(type, 4) + body);
    };
    const std::uint32_t frameBytes = width * height * 3;

    std::string avih;
    for (std::uint32_t v : {100000u, frameBytes * 10, 0u, 0x10u /* has index */, frames, 0u, 1u,
                            frameBytes, width, height, 0u, 0u, 0u, 0u})
        u32(avih, v);
    std::string strh = "vidsDIB ";
    u32(strh, 0);
    u16(strh, 0);
    u16(strh, 0);
    for (std::uint32_t v : {0u, 1u, 10u, 0u, frames, frameBytes, 0xFFFFFFFFu, 0u}) u32(strh, v);
    for (std::uint16_t v : {std::uint16_t(0), std::uint16_t(0), std::uint16_t(width), std::uint16_t(height)})
        u16(strh, v);
    std::string strf;
    for (std::uint32_t v : {40u, width, height}) u32(strf, v);
    u16(strf, 1);
    u16(strf, 24);
    for (std::uint32_t v : {0u, frameBytes, 0u, 0u, 0u, 0u}) u32(strf, v);

    std::string movi, idx1;
    for (std::uint32_t f = 0; f < frames; ++f) {
        u32(idx1, 0x62643030);  // "00db"
        u32(idx1, 0x10);        // key frame
        u32(idx1, static_cast<std::uint32_t>(4 + movi.size()));
        u32(idx1, frameBytes);
        movi += chunk("00db", std::string(frameBytes, static_cast<char>(40 * f)));
    }
    const std::string body = list("hdrl", chunk("avih", avih) +
                                              list("strl", chunk("strh", strh) + chunk("strf", strf))) +
                             list("movi", movi) + chunk("idx1", idx1);
    std::string file = "RIFF";
    u32(file, static_cast<std::uint32_t>(4 + body.size()));
    return file + "AVI " + body;
}

TEST_F(Controls, AnimationStaysHiddenUntilAClipIsOpenedThenPlays) {
    const HWND clip = AsWindow(host->Call("anCreateAVI", {dialog->hwnd(), 30, 40, 100, 80, 0}));
    ASSERT_TRUE(IsWindow(clip));
    char name[64] = {};
    GetClassNameA(clip, name, sizeof name);
    EXPECT_STREQ(name, "SysAnimate32");
    EXPECT_EQ(GetDlgCtrlID(clip), 2222);
    EXPECT_FALSE(IsWindowVisible(clip));
    RECT place = PlaceInDialog(clip);
    EXPECT_EQ(place.left, 30);
    EXPECT_EQ(place.top, 40);
    EXPECT_EQ(place.right - place.left, 100);
    EXPECT_EQ(place.bottom - place.top, 80);

    EXPECT_EQ(host->Call("anPlayAVI", {clip, 0, -1, -1}).integer(), 1);
    DialogFixture::Pump();
    EXPECT_FALSE(IsWindowVisible(clip)) << "playing without a clip shows nothing";

    EXPECT_EQ(host->Call("anOpenAVI", {clip, "no such clip.avi"}).integer(), 0);
    EXPECT_TRUE(IsWindowVisible(clip)) << "shown whether or not the clip opened";
    ShowWindow(clip, SW_HIDE);

    TempFile file(".avi");
    file.Write(SmallAvi(16, 12, 4));
    EXPECT_EQ(host->Call("anOpenAVI", {clip, file.path()}).integer(), 0);
    EXPECT_TRUE(IsWindowVisible(clip));
    place = PlaceInDialog(clip);
    EXPECT_EQ(place.right - place.left, 16) << "the control takes the clip's size";
    EXPECT_EQ(place.bottom - place.top, 12);
    EXPECT_EQ(host->Call("anPlayAVI", {clip, 0, -1, -1}).integer(), 1);
    DialogFixture::Pump();
    Sleep(150);
    EXPECT_EQ(host->Call("anStopAVI", {clip}).integer(), 1);
    EXPECT_EQ(host->Call("anCloseAVI", {clip}).integer(), 1);
    EXPECT_FALSE(SendMessageA(clip, ACM_PLAY, 1, MAKELONG(0, 0))) << "no clip is open any more";
    EXPECT_EQ(host->Call("RemoveControl", {clip}).integer(), 1);
    EXPECT_FALSE(IsWindow(clip));
}

// ---- Single functions

TEST_F(Controls, ShowHideRedrawAndRemoveAnyWindow) {
    const HWND list = dialog->AddChild("LISTBOX", 0, 0, 10, 200, 100, 60);
    for (auto [mode, visible] : {std::pair{0, false}, {1, true}, {2, false}, {1, true}}) {
        EXPECT_EQ(host->Call("ccShow", {list, mode}).integer(), 0);
        EXPECT_EQ(IsWindowVisible(list) != FALSE, visible) << "mode " << mode;
    }
    EXPECT_EQ(host->Call("ccShow", {list, 3}).integer(), 0);
    EXPECT_TRUE(IsWindowVisible(list)) << "mode 3 changes nothing";
    ShowWindow(list, SW_HIDE);
    EXPECT_EQ(host->Call("ccShow", {list, 3}).integer(), 0);
    EXPECT_FALSE(IsWindowVisible(list));
    ShowWindow(list, SW_SHOW);

    const CallResult named = host->Call("DCCompatible", {list, 0});
    EXPECT_EQ(named.cell.kind, 2);
    EXPECT_EQ(lstrcmpiA(named.text.c_str(), "ListBox"), 0) << named.text;
    const CallResult none = host->Call("DCCompatible", {HWND(nullptr), 0});
    EXPECT_EQ(none.cell.kind, 2);
    EXPECT_EQ(none.text, "");

    InvalidateRect(list, nullptr, TRUE);
    ASSERT_TRUE(GetUpdateRect(list, nullptr, FALSE));
    EXPECT_EQ(host->Call("RedrawControl", {list, 0}).integer(), 1);
    EXPECT_FALSE(GetUpdateRect(list, nullptr, FALSE)) << "painted and validated";

    EXPECT_EQ(host->Call("RemoveControl", {list}).integer(), 1);
    EXPECT_FALSE(IsWindow(list));
}

TEST_F(Controls, TaskBarShowsAndHidesTheFirstTopLevelButton) {
    const HWND button = CreateWindowExA(0, "Button", "top level", WS_POPUP | WS_VISIBLE, 700, 10,
                                        80, 30, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    if (FindWindowExA(GetDesktopWindow(), nullptr, "Button", nullptr) != button) {
        DestroyWindow(button);
        GTEST_SKIP() << "another top-level Button window comes first";
    }
    // Hide first, then show, so the task bar (if this session has one) ends shown.
    EXPECT_NE(host->Call("wnTaskBar", {SW_HIDE}).integer(), 0) << "the button was visible";
    EXPECT_FALSE(IsWindowVisible(button));
    EXPECT_EQ(host->Call("wnTaskBar", {SW_SHOW}).integer(), 0) << "the button was hidden";
    EXPECT_TRUE(IsWindowVisible(button));
    DestroyWindow(button);
}

TEST_F(Controls, AskColorAndEmbedImageGiveTheirFixedResults) {
    const CallResult colour = host->Call("coAskColor", {dialog->hwnd(), 1});
    EXPECT_EQ(colour.callbacks, 1);
    EXPECT_EQ(colour.cell.kind, 1);
    EXPECT_EQ(colour.integer(), 0);
    const CallResult image = host->Call("imEmbedImage", {dialog->hwnd(), "picture.bmp", 1});
    EXPECT_EQ(image.callbacks, 1);
    EXPECT_EQ(image.integer(), 1);
    EXPECT_TRUE(host->messageBoxes.empty());
}

// Every function, given a handle that is no window and empty or 100 KB
// texts, delivers its documented result once and shows nothing.
TEST_F(Controls, NoWindowEmptyAndLongTexts) {
    const HWND none = reinterpret_cast<HWND>(static_cast<std::intptr_t>(0x7654320));
    ASSERT_FALSE(IsWindow(none));
    const std::string longText(100 * 1024, '9');
    auto call = [](const char* name, std::vector<Arg> args) {
        const CallResult r = host->Call(name, args);
        EXPECT_EQ(r.callbacks, 1) << name;
        EXPECT_EQ(r.status, 0) << name;
        return r;
    };
    for (const std::string& text : {std::string(), longText}) {
        for (const char* creator : {"ipCreateIP", "anCreateAVI"})
            EXPECT_EQ(call(creator, {none, 0, 0, 10, 10, 0}).integer(), 0) << creator;
        EXPECT_EQ(call("ttCreateToolTip", {none}).integer(), 0);
        EXPECT_EQ(call("ttAddToolTip", {none, none, text}).integer(), 0);
        EXPECT_EQ(call("ttDeleteToolTip", {none, none}).integer(), 0);
        EXPECT_EQ(call("ttSetText", {none, none, text}).integer(), 0);
        EXPECT_EQ(call("ttSetTitle", {none, 1, text}).integer(), 0);
        EXPECT_EQ(call("ttActivate", {none, 1}).integer(), 1);
        EXPECT_EQ(call("ttSetDelay", {none, 3, 100}).integer(), 0);
        EXPECT_EQ(call("ttSetColor", {none, text, 0}).integer(), 0);
        EXPECT_EQ(call("ipClearIP", {none}).integer(), 0);
        EXPECT_EQ(call("ipGetIP", {none}).text, "0.0.0.0");
        EXPECT_EQ(call("ipIsBlank", {none}).integer(), 0);
        EXPECT_EQ(call("ipSetFocus", {none, 1}).integer(), 0);
        EXPECT_EQ(call("ipSetIP", {none, text}).integer(), 0);
        EXPECT_EQ(call("ipSetRange", {none, 1, 0, 255}).integer(), 0);
        EXPECT_EQ(call("anOpenAVI", {none, text}).integer(), 0);
        EXPECT_EQ(call("anPlayAVI", {none, 0, -1, 1}).integer(), 1);
        EXPECT_EQ(call("anStopAVI", {none}).integer(), 1);
        EXPECT_EQ(call("anCloseAVI", {none}).integer(), 1);
        EXPECT_EQ(call("ccShow", {none, 1}).integer(), 0);
        EXPECT_EQ(call("DCCompatible", {none, 0}).text, "");
        EXPECT_EQ(call("RedrawControl", {none, 0}).integer(), 1);
        EXPECT_EQ(call("RedrawControl", {HWND(nullptr), 0}).integer(), 1);
        EXPECT_EQ(call("RemoveControl", {none}).integer(), 1);
        EXPECT_EQ(call("imEmbedImage", {none, text}).integer(), 1);
    }
    EXPECT_TRUE(host->messageBoxes.empty());
}

}  // namespace
