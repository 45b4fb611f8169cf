// imEmbedImage puts a picture into a real rich-text box; the test finds it
// again through the box's own object interface, also after the box's RTF
// was saved and loaded into another box.
#include "tests/host/dialog_test.h"

#include <windows.h>
#include <ole2.h>
#include <richedit.h>
#include <richole.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace vantor::testing;

namespace {

// An 8 x 4 PNG of one colour, RGB(10, 120, 250).
const unsigned char kPng[] =
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x08\x00\x00\x00"
    "\x04\x08\x02\x00\x00\x00\x3c\xaf\xe9\xa7\x00\x00\x00\x11\x49\x44\x41\x54\x78\x9c\x63\xe0\xaa"
    "\xf8\x85\x15\x31\x50\x4f\x02\x00\x29\xeb\x2f\x81\x7d\x37\x84\x70\x00\x00\x00\x00\x49\x45\x4e"
    "\x44\xae\x42\x60\x82";

// What a box holds as its first embedded object.
struct ObjectSeen {
    LONG count = 0;                 // objects in the box
    LONG position = -1;             // character position of the first
    SIZEL size{};                   // its size (HIMETRIC)
    COLORREF centre = CLR_INVALID;  // the colour in the middle of its picture
};

template <class I>
struct Released {
    I* p = nullptr;
    ~Released() {
        if (p != nullptr) p->Release();
    }
};

// The colour in the middle of a metafile's picture.
COLORREF CentreOf(HENHMETAFILE picture) {
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 64, 64);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT all{0, 0, 64, 64};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    PlayEnhMetaFile(dc, picture, &all);
    const COLORREF centre = GetPixel(dc, 32, 32);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return centre;
}

ObjectSeen FirstObject(HWND box) {
    ObjectSeen seen;
    Released<IRichEditOle> ole;
    if (!SendMessageA(box, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole.p)) || ole.p == nullptr) return seen;
    seen.count = ole.p->GetObjectCount();
    if (seen.count == 0) return seen;
    REOBJECT object{};
    object.cbStruct = sizeof object;
    if (FAILED(ole.p->GetObject(0, &object, REO_GETOBJ_POLEOBJ))) return seen;
    Released<IOleObject> held{object.poleobj};
    seen.position = object.cp;
    seen.size = object.sizel;
    Released<IDataObject> data;
    if (FAILED(held.p->QueryInterface(IID_IDataObject, reinterpret_cast<void**>(&data.p)))) return seen;
    FORMATETC format{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    STGMEDIUM medium{};
    if (SUCCEEDED(data.p->GetData(&format, &medium))) {
        seen.centre = CentreOf(medium.hEnhMetaFile);
        ReleaseStgMedium(&medium);
    }
    return seen;
}

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

LONG Length(HWND box) {
    GETTEXTLENGTHEX how{GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<LONG>(SendMessageW(box, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
}

CHARRANGE Selection(HWND box) {
    CHARRANGE range{};
    SendMessageA(box, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
}

class PictureEmbed : public DialogTest {
protected:
    HWND Box(int x) {
        const HWND box = Handle(host.Call("rtCreate", {dialog.hwnd(), x, 10, 280, 200, 0}));
        EXPECT_TRUE(IsWindow(box));
        SetWindowTextA(box, "before after");
        return box;
    }
    CallResult Embed(HWND box, const std::string& path) { return host.Call("imEmbedImage", {box, path}); }
    CallResult Embed(HWND box, const std::string& path, int width) {
        return host.Call("imEmbedImage", {box, path, width});
    }
};

TEST_F(PictureEmbed, BitmapSurvivesSavingAndLoading) {
    const TempFile picture(".bmp");
    picture.Write(BitmapFileBytes(40, 20, RGB(200, 30, 60)));
    const HWND box = Box(10);
    SendMessageA(box, EM_SETSEL, 7, 7);
    const CallResult r = Embed(box, picture.path());
    EXPECT_EQ(r.callbacks, 1);
    EXPECT_EQ(r.integer(), 1);
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(Length(box), 13) << "one object character more";
    const ObjectSeen here = FirstObject(box);
    EXPECT_EQ(here.count, 1);
    EXPECT_EQ(here.position, 7) << "at the caret";
    EXPECT_EQ(Selection(box).cpMin, 8) << "the caret follows the picture";
    EXPECT_TRUE(Near(here.centre, RGB(200, 30, 60))) << std::hex << here.centre;

    const TempFile rtf(".rtf");
    EXPECT_EQ(host.Call("rtSaveFileRTF", {box, rtf.path()}).integer(), 1);
    EXPECT_NE(rtf.Read().find("\\pict"), std::string::npos) << "saved as an RTF picture";
    const HWND other = Box(300);
    EXPECT_EQ(host.Call("rtLoadFileRTF", {other, rtf.path()}).integer(), 1);
    const ObjectSeen there = FirstObject(other);
    EXPECT_EQ(there.count, 1) << "the picture came back";
    EXPECT_EQ(there.position, 7);
    EXPECT_TRUE(Near(there.centre, RGB(200, 30, 60))) << std::hex << there.centre;
    EXPECT_EQ(there.size.cx, here.size.cx);
    EXPECT_EQ(there.size.cy, here.size.cy);
}

TEST_F(PictureEmbed, WidthGivenKeepsTheShapeAndTheSelectionStays) {
    const TempFile picture(".bmp");
    picture.Write(BitmapFileBytes(40, 20, RGB(0, 0, 255)));
    const HWND box = Box(10);
    ASSERT_EQ(Embed(box, picture.path()).integer(), 1);
    const SIZEL natural = FirstObject(box).size;
    ASSERT_GT(natural.cx, 0);

    const HWND wide = Box(300);
    SendMessageA(wide, EM_SETSEL, 0, 6);  // "before" stays, the picture follows it
    ASSERT_EQ(Embed(wide, picture.path(), 80).integer(), 1);
    const ObjectSeen seen = FirstObject(wide);
    EXPECT_EQ(seen.position, 6);
    EXPECT_EQ(Length(wide), 13);
    EXPECT_NEAR(seen.size.cx, 2 * natural.cx, natural.cx / 10);
    EXPECT_NEAR(seen.size.cy, 2 * natural.cy, natural.cy / 10);
    EXPECT_TRUE(Near(seen.centre, RGB(0, 0, 255)));
}

TEST_F(PictureEmbed, PngWhereThePlatformDecodesIt) {
    const TempFile picture(".png");
    picture.Write(std::string(reinterpret_cast<const char*>(kPng), sizeof kPng - 1));
    const HWND box = Box(10);
    ASSERT_EQ(Embed(box, picture.path()).integer(), 1);
    const ObjectSeen seen = FirstObject(box);
    EXPECT_EQ(seen.count, 1);
    EXPECT_TRUE(Near(seen.centre, RGB(10, 120, 250))) << std::hex << seen.centre;
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(PictureEmbed, MissingOrUndecodableFileShowsFileOpenErrorAndChangesNothing) {
    const TempFile missing(".bmp");
    const TempFile text(".bmp");
    text.Write("this is no picture at all");
    const HWND box = Box(10);
    SendMessageA(box, EM_SETSEL, 2, 4);
    for (const std::string& path : {missing.path(), text.path(), std::string()}) {
        host.ClearRecords();
        const CallResult r = Embed(box, path);
        EXPECT_EQ(r.callbacks, 1) << path;
        EXPECT_EQ(r.integer(), 0) << path;
        ASSERT_EQ(host.messageBoxes.size(), 1u) << path;
        EXPECT_EQ(host.messageBoxes[0].title, "File Open Error");
        EXPECT_EQ(host.messageBoxes[0].text, "The specified file does not appear to be available");
        EXPECT_EQ(Length(box), 12);
        EXPECT_EQ(FirstObject(box).count, 0);
        EXPECT_EQ(Selection(box).cpMin, 2);
        EXPECT_EQ(Selection(box).cpMax, 4);
    }
}

TEST_F(PictureEmbed, WindowThatIsNoRichTextBoxGetsNothing) {
    const TempFile picture(".bmp");
    picture.Write(BitmapFileBytes(4, 4, RGB(1, 2, 3)));
    const HWND edit = dialog.AddChild("EDIT", 0, 0, 10, 10, 100, 24, "plain");
    const HWND none = NoWindow();
    for (const HWND window : {edit, none, HWND(nullptr), reinterpret_cast<HWND>(0xFFFF)}) {
        const CallResult r = Embed(window, picture.path());
        EXPECT_EQ(r.callbacks, 1);
        EXPECT_EQ(r.integer(), 0);
    }
    char text[16] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "plain");
    EXPECT_TRUE(host.messageBoxes.empty());
    // A text of 100 KB as the file name is a file that does not open.
    EXPECT_EQ(Embed(edit, std::string(100 * 1024, 'p')).integer(), 0);
    EXPECT_EQ(host.messageBoxes.size(), 1u);
}

}  // namespace
