// Tab controls and status bars on a real dialog, driven through the
// extender.
#include "tests/host/dialog_test.h"
#include "tests/host/import_patch.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

using namespace vantor::testing;

namespace {

class TabsAndStatus : public DialogTest {
protected:
    HWND Tab(int style = 0, int width = 300) {
        return Handle(host.Call("taCreateTab", {dialog.hwnd(), 10, 10, width, 200, style}));
    }
    HWND StatusBar(const char* text = "") { return Handle(host.Call("sbCreateStatusBar", {dialog.hwnd(), text})); }

    static std::string TabText(HWND tab, int index) {
        char text[64] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tab, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    static std::string PartText(HWND bar, int part) {
        char text[256] = {};
        SendMessageA(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
        return text;
    }
    static std::vector<int> Parts(HWND bar) {
        std::vector<int> edges(300);
        edges.resize(static_cast<std::size_t>(
            SendMessageA(bar, SB_GETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()))));
        return edges;
    }
    static DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }
};

bool IsIcon(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

// The colour of a pixel of what window paints for WM_PRINTCLIENT.
COLORREF PrintedPixel(HWND window, POINT at) {
    RECT client{};
    GetClientRect(window, &client);
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    const COLORREF pixel = GetPixel(memory, at.x, at.y);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixel;
}

}  // namespace

TEST_F(TabsAndStatus, TabControlTakesTabsByPosition) {
    const HWND tab = Tab(TCS_BOTTOM);
    ASSERT_NE(tab, nullptr);
    char name[64] = {};
    GetClassNameA(tab, name, sizeof name);
    EXPECT_STREQ(name, "SysTabControl32");
    EXPECT_EQ(Style(tab), DWORD{WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_BOTTOM});
    EXPECT_EQ(host.Call("taGetTabSel", {tab}).integer(), 0) << "no tab, none selected";

    EXPECT_EQ(host.Call("taAddTab", {tab, 1, "One"}).integer(), 0);
    EXPECT_EQ(host.Call("taAddTab", {tab, 2, "Three"}).integer(), 1);
    EXPECT_EQ(host.Call("taAddTab", {tab, 2, "Two"}).integer(), 1);
    EXPECT_EQ(TabText(tab, 0), "One");
    EXPECT_EQ(TabText(tab, 1), "Two");
    EXPECT_EQ(TabText(tab, 2), "Three");
    TCITEMA item{};
    item.mask = TCIF_IMAGE;
    SendMessageA(tab, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.iImage, -1);

    const HWND empty = Tab();
    EXPECT_EQ(host.Call("taAddTab", {empty, 5, "Far"}).integer(), 4) << "position - 1, as given";
    EXPECT_EQ(SendMessageA(empty, TCM_GETITEMCOUNT, 0, 0), 1) << "appended";
    EXPECT_EQ(TabText(empty, 0), "Far");
}

TEST_F(TabsAndStatus, TabSelectionAndDeletion) {
    const HWND tab = Tab();
    for (const char* label : {"A", "B", "C"}) host.Call("taAddTab", {tab, 9, label});
    SendMessageA(tab, TCM_SETCURSEL, 0, 0);
    EXPECT_EQ(host.Call("taGetTabSel", {tab}).integer(), 1);
    EXPECT_EQ(host.Call("taSetTabSel", {tab, 2}).integer(), 0) << "index of the tab before";
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(host.Call("taGetTabSel", {tab}).integer(), 2);
    EXPECT_EQ(host.Call("taSetTabSel", {tab, 3}).integer(), 1);

    EXPECT_EQ(host.Call("taDeleteTab", {tab, 1}).integer(), TRUE);
    EXPECT_EQ(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(TabText(tab, 0), "B");
    EXPECT_EQ(host.Call("taDeleteTab", {tab, 7}).integer(), FALSE);
}

TEST_F(TabsAndStatus, TabBackgroundColourIsKept) {
    const HWND tab = Tab();
    host.Call("taAddTab", {tab, 1, "Page"});
    EXPECT_EQ(host.Call("taSetBkColor", {tab, 256, 0, 0}).integer(), 0) << "low bytes only";
    EXPECT_EQ(host.Call("taSetBkColor", {tab, 0, 128, 255}).integer(), static_cast<int>(RGB(0, 128, 255)));
    const CallResult red = host.Call("taSetBkColor", {tab, 255, 0, 0});
    EXPECT_EQ(red.integer(), 255);
    EXPECT_EQ(red.status, 0);

    RECT page{};
    GetClientRect(tab, &page);
    SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    const POINT middle{(page.left + page.right) / 2, (page.top + page.bottom) / 2};
    RECT label{};
    SendMessageA(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&label));
    const POINT onTab{label.left + 3, label.top + 3};

    // Every repaint, not just the first, shows the colour on the page only.
    for (int repaint = 0; repaint < 2; ++repaint) {
        RedrawWindow(tab, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        DialogFixture::Pump();
        const HDC dc = GetDC(tab);
        EXPECT_EQ(GetPixel(dc, middle.x, middle.y), RGB(255, 0, 0));
        EXPECT_NE(GetPixel(dc, onTab.x, onTab.y), RGB(255, 0, 0)) << "the tabs keep their look";
        ReleaseDC(tab, dc);
    }
    EXPECT_EQ(PrintedPixel(tab, middle), RGB(255, 0, 0)) << "printing shows it too";

    const HWND plain = Tab();
    EXPECT_NE(PrintedPixel(plain, middle), RGB(255, 0, 0)) << "the colour is per control";
    DestroyWindow(tab);  // the colour goes with its control
}

// As for pbSetMultiline: handle 0 repaints no window (the platform would
// repaint the whole screen) and its style reads as 0.
TEST_F(TabsAndStatus, TabStyleOnHandleZeroRepaintsNoWindow) {
    DialogFixture::Pump();
    ValidateRect(dialog.hwnd(), nullptr);
    ASSERT_FALSE(GetUpdateRect(dialog.hwnd(), nullptr, FALSE));
    EXPECT_EQ(CallOnce("taSetTabStyle", {0, TCS_BUTTONS}).integer(), 0);
    EXPECT_FALSE(GetUpdateRect(dialog.hwnd(), nullptr, FALSE)) << "the dialog was made to repaint";
}

TEST_F(TabsAndStatus, TabStyleReplacesTheTabBits) {
    const HWND tab = Tab(0, 120);
    for (int i = 1; i <= 8; ++i) host.Call("taAddTab", {tab, i, "A long label"});
    EXPECT_EQ(SendMessageA(tab, TCM_GETROWCOUNT, 0, 0), 1);

    EXPECT_EQ(host.Call("taSetTabStyle", {tab, TCS_MULTILINE}).integer(), 0) << "the tab bits before";
    EXPECT_EQ(Style(tab), DWORD{WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_MULTILINE});
    EXPECT_GT(SendMessageA(tab, TCM_GETROWCOUNT, 0, 0), 1) << "the control laid its tabs out again";

    EXPECT_EQ(host.Call("taSetTabStyle", {tab, TCS_BUTTONS | static_cast<int>(WS_DISABLED)}).integer(), TCS_MULTILINE);
    EXPECT_EQ(Style(tab), DWORD{WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_BUTTONS})
        << "window bits are not the script's to change here";
    EXPECT_EQ(SendMessageA(tab, TCM_GETROWCOUNT, 0, 0), 1);
}

TEST_F(TabsAndStatus, StatusBarAlongTheBottom) {
    const HWND bar = StatusBar("Ready");
    ASSERT_NE(bar, nullptr);
    char name[64] = {};
    GetClassNameA(bar, name, sizeof name);
    EXPECT_STREQ(name, "msctls_statusbar32");
    EXPECT_EQ(GetDlgCtrlID(bar), 70);
    EXPECT_EQ(Style(bar) & 0xFFFF0A00, DWORD{WS_CHILD | WS_VISIBLE | SBARS_TOOLTIPS | 0x200});
    EXPECT_EQ(PartText(bar, 0), "Ready");
    RECT place{}, parent{};
    GetWindowRect(bar, &place);
    MapWindowPoints(nullptr, dialog.hwnd(), reinterpret_cast<POINT*>(&place), 2);
    GetClientRect(dialog.hwnd(), &parent);
    EXPECT_EQ(place.bottom, parent.bottom);
    EXPECT_EQ(place.left, 0);
}

TEST_F(TabsAndStatus, StatusBarPartsAndTexts) {
    const HWND bar = StatusBar();
    EXPECT_EQ(host.Call("sbSetParts", {bar, "100 250 -1"}).integer(), 3);
    EXPECT_EQ(Parts(bar), (std::vector<int>{100, 250, -1}));
    const CallResult doubled = host.Call("sbSetParts", {bar, "100  250 -1"});
    EXPECT_EQ(doubled.integer(), 3);
    EXPECT_EQ(doubled.status, 0);
    EXPECT_EQ(host.Call("sbSetParts", {bar, " +60 120px -1 "}).integer(), 3) << "leading numbers count";
    EXPECT_EQ(Parts(bar), (std::vector<int>{60, 120, -1}));

    EXPECT_EQ(host.Call("sbSetText", {bar, 1, "Left"}).integer(), 1);
    EXPECT_EQ(host.Call("sbSetText", {bar, 3, "Right"}).integer(), 1);
    EXPECT_EQ(PartText(bar, 0), "Left");
    EXPECT_EQ(PartText(bar, 1), "");
    EXPECT_EQ(PartText(bar, 2), "Right");

    std::string many;
    for (int i = 1; i <= 256; ++i) many += std::to_string(i * 3) + " ";
    EXPECT_EQ(host.Call("sbSetParts", {bar, many}).integer(), 256);
    EXPECT_EQ(Parts(bar).size(), 256u);
    EXPECT_TRUE(host.shownMessages.empty());
}

TEST_F(TabsAndStatus, StatusBarPartsRefuseBadLists) {
    const HWND bar = StatusBar();
    host.Call("sbSetParts", {bar, "100 250 -1"});
    std::string tooMany;
    for (int i = 1; i <= 257; ++i) tooMany += std::to_string(i) + " ";
    struct Case {
        std::string list, named;
    };
    const Case cases[] = {
        {"100 abc -1", "\"abc\" is not a number"},
        {"100 - -1", "\"-\" is not a number"},
        {"100 99999999999 -1", "\"99999999999\" is out of range"},
        {"100 " + std::string(100000, 'x'), "is not a number"},
        {tooMany, "257"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.named);
        host.ClearRecords();
        const CallResult r = host.Call("sbSetParts", {bar, c.list});
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.text, "20101: System error.");
        ASSERT_EQ(host.shownMessages.size(), 1u);
        EXPECT_NE(host.shownMessages[0].find(c.named), std::string::npos) << host.shownMessages[0];
        EXPECT_LT(host.shownMessages[0].size(), 200u) << "a long piece is cut";
        EXPECT_EQ(Parts(bar), (std::vector<int>{100, 250, -1})) << "the bar keeps its parts";
    }
    EXPECT_EQ(host.Call("sbSetParts", {bar, ""}).integer(), 0);
    EXPECT_EQ(Parts(bar), (std::vector<int>{100, 250, -1}));
}

TEST_F(TabsAndStatus, StatusBarBackground) {
    const HWND bar = StatusBar();
    EXPECT_EQ(host.Call("sbSetBkColor", {bar, "255|0|0"}).integer(), static_cast<int>(CLR_DEFAULT));
    EXPECT_EQ(host.Call("sbSetBkColor", {bar, "0|0|255"}).integer(), static_cast<int>(RGB(255, 0, 0)));
}

TEST_F(TabsAndStatus, StatusBarIconsComeFromTheFileAndDoNotLeak) {
    const HWND bar = StatusBar();
    host.Call("sbSetParts", {bar, "100 200 -1"});
    TempFile icon(".ico");
    icon.Write(IconFileBytes());
    const auto shown = [&](int part) { return reinterpret_cast<HICON>(SendMessageA(bar, SB_GETICON, part, 0)); };

    EXPECT_NE(host.Call("sbSetIcon", {bar, 2, icon.path()}).integer(), 0);
    const HICON first = shown(1);
    EXPECT_TRUE(IsIcon(first)) << "part 2 shows the file's icon";
    EXPECT_EQ(shown(0), nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(first, &info));
    BITMAP colour{};
    GetObjectA(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, GetSystemMetrics(SM_CXSMICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    HICON previous = first;
    for (int i = 0; i < 50; ++i) {
        ASSERT_NE(host.Call("sbSetIcon", {bar, 2, icon.path()}).integer(), 0);
        EXPECT_FALSE(IsIcon(previous)) << "the icon replaced is destroyed";
        previous = shown(1);
        EXPECT_TRUE(IsIcon(previous));
    }
    EXPECT_EQ(host.Call("sbSetIcon", {bar, 9, icon.path()}).integer(), 0) << "no such part";

    TempFile text(".txt");
    text.Write("not an icon");
    EXPECT_EQ(host.Call("sbSetIcon", {bar, 2, text.path()}).integer(), 0);
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(shown(1), previous) << "the part keeps its icon";

    const CallResult missing = host.Call("sbSetIcon", {bar, 1, icon.path() + ".gone"});
    EXPECT_EQ(missing.integer(), 0);
    EXPECT_EQ(missing.status, 0);
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].title, "File Open Error");
    EXPECT_EQ(host.messageBoxes[0].text, "The specified file does not appear to be available");

    DestroyWindow(bar);
    EXPECT_FALSE(IsIcon(previous)) << "the status bar's end destroys its last icon";
}

TEST_F(TabsAndStatus, LongTextsAndMissingWindows) {
    const std::string longText(100000, 'L');
    const HWND tab = Tab();
    EXPECT_EQ(host.Call("taAddTab", {tab, 1, longText}).integer(), 0);
    EXPECT_EQ(TabText(tab, 0), longText.substr(0, 63));
    const HWND bar = StatusBar(longText.c_str());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SendMessageA(bar, SB_GETTEXTLENGTHA, 0, 0) & 0xFFFF, 100000 & 0xFFFF);
    EXPECT_EQ(host.Call("sbSetText", {bar, 1, ""}).integer(), 1);
    EXPECT_EQ(PartText(bar, 0), "");

    const HWND gone = Tab();
    DestroyWindow(gone);
    EXPECT_EQ(host.Call("taSetBkColor", {gone, 1, 2, 3}).integer(), static_cast<int>(RGB(1, 2, 3)));
    EXPECT_EQ(host.Call("taGetTabSel", {gone}).integer(), 1) << "0 from no window, + 1";
    EXPECT_EQ(host.Call("sbSetParts", {gone, "10 -1"}).integer(), 2);
    EXPECT_EQ(host.Call("sbSetBkColor", {gone, "1|2|3"}).integer(), 0);
    EXPECT_EQ(host.Call("sbSetIcon", {gone, 1, std::string("")}).integer(), 0);
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].title, "File Open Error");
}

// A wrong piece of exactly 40 characters is shown whole, with no "...".
TEST_F(TabsAndStatus, StatusBarPartsShowAFortyCharacterPieceWhole) {
    const HWND bar = StatusBar();
    const std::string piece(40, 'q');
    const CallResult r = host.Call("sbSetParts", {bar, "100 " + piece + " -1"});
    EXPECT_EQ(r.status, -1);
    ASSERT_EQ(host.shownMessages.size(), 1u);
    EXPECT_EQ(host.shownMessages[0], "The right edge \"" + piece + "\" is not a number.");
}

namespace {

// The icons the library loads, seen through its import of LoadImageA.
std::vector<HICON> iconsLoaded;
decltype(&LoadImageA) realLoadImage = nullptr;

HANDLE WINAPI RecordingLoadImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    const HANDLE loaded = realLoadImage(instance, name, type, cx, cy, flags);
    if (type == IMAGE_ICON && loaded != nullptr) iconsLoaded.push_back(static_cast<HICON>(loaded));
    return loaded;
}

}  // namespace

// An icon the status bar refuses (a part it does not have) is destroyed by
// the call that loaded it, not kept until the bar goes.
TEST_F(TabsAndStatus, StatusBarIconARefusedPartDoesNotTakeIsFreedAtOnce) {
    const HWND bar = StatusBar();
    host.Call("sbSetParts", {bar, "100 -1"});
    TempFile icon(".ico");
    icon.Write(IconFileBytes());
    const ImportPatch patch(host.module(), "LoadImageA", reinterpret_cast<void*>(&RecordingLoadImage));
    ASSERT_TRUE(patch.patched()) << "the library loads its icons with LoadImageA";
    realLoadImage = patch.original<decltype(&LoadImageA)>();
    iconsLoaded.clear();

    EXPECT_EQ(host.Call("sbSetIcon", {bar, 9, icon.path()}).integer(), 0) << "no part 9";
    ASSERT_EQ(iconsLoaded.size(), 1u);
    EXPECT_FALSE(IsIcon(iconsLoaded[0])) << "the refused icon is destroyed at once";

    EXPECT_NE(host.Call("sbSetIcon", {bar, 2, icon.path()}).integer(), 0);
    ASSERT_EQ(iconsLoaded.size(), 2u);
    EXPECT_TRUE(IsIcon(iconsLoaded[1])) << "a part's icon lives on";
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(bar, SB_GETICON, 1, 0)), iconsLoaded[1]);
    DestroyWindow(bar);
    EXPECT_FALSE(IsIcon(iconsLoaded[1]));
}
