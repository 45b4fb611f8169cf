// The rt family on real rich-text boxes: every check reads back what the
// box itself holds through its own messages.
#include "tests/host/host_double.h"

#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

using namespace vantor::testing;

namespace {

// Records the style each rich-text box is created with: the box itself
// drops the scroll-bar bits while it has nothing to scroll.
DWORD createdStyle = 0;
LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA& create = *reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        char name[64] = {};
        GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
        if (lstrcmpiA(name, "RICHEDIT50W") == 0) createdStyle = static_cast<DWORD>(create.style);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// One dialog and one box for the whole suite (each new dialog with a box
// costs Wine about two seconds); every test starts from plain text.
class RichText : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        host = new HostDouble;
        dialog = new DialogFixture;
        const HHOOK hook = SetWindowsHookExA(WH_CBT, &WatchCreation, nullptr, GetCurrentThreadId());
        const CallResult r = host->Call("rtCreate", {dialog->hwnd(), 10, 20, 300, 200, 0});
        UnhookWindowsHookEx(hook);
        box = reinterpret_cast<HWND>(static_cast<std::intptr_t>(r.integer()));
        creationText = new std::string(Text());
    }
    static void TearDownTestSuite() {
        delete creationText;
        delete dialog;
        delete host;
    }

    void SetUp() override {
        ASSERT_TRUE(IsWindow(box));
        SetText("Hello World.");
        // A fresh prefix may report bold for plain text: start from a known format.
        CHARFORMAT2A plain = Format();
        plain.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SIZE | CFM_COLOR | CFM_BACKCOLOR;
        plain.dwEffects = CFE_AUTOBACKCOLOR;
        plain.yHeight = 200;
        plain.crTextColor = RGB(0, 0, 0);
        SendMessageA(box, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&plain));
        SendMessageA(box, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&plain));
        PARAFORMAT2 para{};
        para.cbSize = sizeof para;
        para.dwMask = PFM_NUMBERING | PFM_NUMBERINGSTYLE | PFM_STARTINDENT | PFM_ALIGNMENT;
        para.wAlignment = PFA_LEFT;
        Select(0, -1);
        SendMessageA(box, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&para));
        Select(0, 0);
        SetFocus(dialog->hwnd());
        host->messageBoxes.clear();
    }

    static CHARFORMAT2A Format() {
        CHARFORMAT2A format{};
        format.cbSize = sizeof format;
        return format;
    }
    static CHARFORMAT2A CharFormatOf(int start, int end) {
        Select(start, end);
        CHARFORMAT2A format = Format();
        SendMessageA(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format;
    }
    static void SetFormat(int start, int end, DWORD mask, DWORD effects) {
        Select(start, end);
        CHARFORMAT2A format = Format();
        format.dwMask = mask;
        format.dwEffects = effects;
        SendMessageA(box, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    static PARAFORMAT2 Paragraph() {
        PARAFORMAT2 format{};
        format.cbSize = sizeof format;
        SendMessageA(box, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
        return format;
    }
    static void Select(int start, int end) { SendMessageA(box, EM_SETSEL, start, end); }
    static std::pair<int, int> Selection() {
        DWORD start = 0, end = 0;
        SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }
    static std::string Text() {
        std::string text(static_cast<std::size_t>(GetWindowTextLengthA(box)) + 1, '\0');
        text.resize(static_cast<std::size_t>(GetWindowTextA(box, text.data(), static_cast<int>(text.size()))));
        return text;
    }
    static void SetText(const std::string& text) { SetWindowTextA(box, text.c_str()); }
    static bool Has(const CHARFORMAT2A& f, DWORD bit) { return (f.dwMask & bit) != 0 && (f.dwEffects & bit) != 0; }
    static std::int32_t Call(const char* name, std::vector<Arg> args = {}) {
        args.insert(args.begin(), Arg(box));
        const CallResult r = host->Call(name, args);
        EXPECT_EQ(r.callbacks, 1) << name;
        EXPECT_EQ(r.cell.kind, 1) << name;
        return r.integer();
    }

    static inline HostDouble* host = nullptr;
    static inline DialogFixture* dialog = nullptr;
    static inline HWND box = nullptr;
    static inline std::string* creationText = nullptr;
};

TEST_F(RichText, NewBoxShowsHelloWorldAsAMultiLineBoxWithSelectionBar) {
    char name[64] = {};
    GetClassNameA(box, name, sizeof name);
    EXPECT_EQ(lstrcmpiA(name, "RICHEDIT50W"), 0) << name;
    EXPECT_EQ(GetParent(box), dialog->hwnd());
    EXPECT_EQ(*creationText, "Hello World.");
    const DWORD style = createdStyle;
    EXPECT_EQ(style, 0x51B191C4u);
    for (DWORD bit : std::initializer_list<DWORD>{WS_CHILD, WS_VISIBLE, WS_BORDER, WS_VSCROLL, WS_HSCROLL, WS_TABSTOP,
                                                  DWORD(ES_SELECTIONBAR), DWORD(ES_SAVESEL), DWORD(ES_WANTRETURN),
                                                  DWORD(ES_NOHIDESEL), DWORD(ES_AUTOHSCROLL), DWORD(ES_AUTOVSCROLL),
                                                  DWORD(ES_MULTILINE)})
        EXPECT_EQ(style & bit, bit) << std::hex << bit;
    RECT place{};
    GetWindowRect(box, &place);
    MapWindowPoints(nullptr, dialog->hwnd(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, 10);
    EXPECT_EQ(place.top, 20);
    EXPECT_EQ(place.right - place.left, 300);
    EXPECT_EQ(place.bottom - place.top, 200);
}

TEST_F(RichText, CharacterTogglesMakeAMixedSelectionWhollyOnThenOff) {
    SetFormat(0, 5, CFM_BOLD, CFE_BOLD);  // "Hello" bold, " World." not
    Select(0, 12);
    EXPECT_EQ(Call("rtBold"), 1);
    EXPECT_EQ(Selection(), std::make_pair(0, 12));
    EXPECT_EQ(GetFocus(), box);
    EXPECT_TRUE(Has(CharFormatOf(0, 12), CFE_BOLD));

    Select(0, 12);
    EXPECT_EQ(Call("rtBold"), 1);
    const CHARFORMAT2A off = CharFormatOf(0, 12);
    EXPECT_TRUE(off.dwMask & CFM_BOLD) << "uniform again";
    EXPECT_FALSE(off.dwEffects & CFE_BOLD);

    Select(6, 11);
    EXPECT_EQ(Call("rtItalic"), 1);
    EXPECT_TRUE(Has(CharFormatOf(6, 11), CFE_ITALIC));
    EXPECT_FALSE(CharFormatOf(0, 5).dwEffects & CFE_ITALIC);
    Select(0, 5);
    EXPECT_EQ(Call("rtUnderline"), 1);
    EXPECT_TRUE(Has(CharFormatOf(0, 5), CFE_UNDERLINE));
    EXPECT_FALSE(CharFormatOf(0, 5).dwEffects & (CFE_BOLD | CFE_ITALIC));
}

TEST_F(RichText, ColoursWidenAnEmptySelectionToAllTextAndKeepAGivenOne) {
    Select(3, 3);
    EXPECT_EQ(Call("rtSetTextColor", {"255|0|0"}), 1);
    EXPECT_EQ(Selection().first, 0) << "the whole text stays selected";
    EXPECT_GE(Selection().second, 12);
    EXPECT_EQ(GetFocus(), box);
    CHARFORMAT2A all = CharFormatOf(0, 12);
    EXPECT_TRUE(all.dwMask & CFM_COLOR);
    EXPECT_FALSE(all.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(all.crTextColor, RGB(255, 0, 0));

    Select(6, 11);
    EXPECT_EQ(Call("rtSetTextBackColor", {"0|0|255"}), 1);
    EXPECT_EQ(Selection(), std::make_pair(6, 11));
    const CHARFORMAT2A back = CharFormatOf(6, 11);
    EXPECT_TRUE(back.dwMask & CFM_BACKCOLOR);
    EXPECT_FALSE(back.dwEffects & CFE_AUTOBACKCOLOR);
    EXPECT_EQ(back.crBackColor, RGB(0, 0, 255));
    EXPECT_EQ(CharFormatOf(6, 11).crTextColor, RGB(255, 0, 0)) << "text colour untouched";
}

TEST_F(RichText, BulletsAndNumberingToggleAndStyleIsSetEveryTime) {
    EXPECT_EQ(Call("rtSetNumbered"), 1);
    EXPECT_EQ(Paragraph().wNumbering, 7);
    EXPECT_EQ(Paragraph().wNumberingStyle, PFNS_PERIOD);
    EXPECT_EQ(GetFocus(), box);

    EXPECT_EQ(Call("rtSetNumbered", {PFNS_PARENS}), 1);
    EXPECT_EQ(Paragraph().wNumbering, 0) << "second call switches numbering off";
    EXPECT_EQ(Paragraph().wNumberingStyle, PFNS_PARENS) << "and still sets the style";

    EXPECT_EQ(Call("rtSetBulleted"), 1);
    EXPECT_EQ(Paragraph().wNumbering, PFN_BULLET);
    EXPECT_EQ(Call("rtSetNumbered", {PFNS_PLAIN}), 1);
    EXPECT_EQ(Paragraph().wNumbering, 7) << "a bulleted paragraph becomes numbered";
    EXPECT_EQ(Paragraph().wNumberingStyle, PFNS_PLAIN);
    EXPECT_EQ(Call("rtSetBulleted"), 1);
    EXPECT_EQ(Paragraph().wNumbering, PFN_BULLET);
    EXPECT_EQ(Call("rtSetBulleted"), 1);
    EXPECT_EQ(Paragraph().wNumbering, 0);
}

TEST_F(RichText, AlignmentAndIndentNeverBelowZero) {
    EXPECT_EQ(Call("rtSetAlignment", {PFA_CENTER}), 1);
    EXPECT_EQ(Paragraph().wAlignment, PFA_CENTER);
    EXPECT_EQ(Call("rtSetAlignment", {PFA_RIGHT}), 1);
    EXPECT_EQ(Paragraph().wAlignment, PFA_RIGHT);

    EXPECT_EQ(Call("rtIndent", {720}), 720);
    EXPECT_EQ(Paragraph().dxStartIndent, 720);
    EXPECT_EQ(Call("rtIndent", {360}), 1080);
    EXPECT_EQ(Call("rtIndent", {-2000}), 0);
    EXPECT_EQ(Paragraph().dxStartIndent, 0);
    EXPECT_EQ(Call("rtIndent", {"300"}), 300) << "a number in the text form is read too";
}

TEST_F(RichText, FontSizingGrowsAndShrinksByAQuarter) {
    CHARFORMAT2A size = Format();
    size.dwMask = CFM_SIZE;
    size.yHeight = 240;
    SendMessageA(box, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&size));
    Select(0, 12);
    EXPECT_EQ(Call("rtFontSizing", {"+"}), 300);
    EXPECT_EQ(CharFormatOf(0, 12).yHeight, 300);
    SendMessageA(box, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&size));
    Select(0, 12);
    EXPECT_EQ(Call("rtFontSizing", {"-"}), 192);
    EXPECT_EQ(CharFormatOf(0, 12).yHeight, 192);
    EXPECT_EQ(GetFocus(), box);
    SendMessageA(box, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&size));
    Select(0, 12);
    EXPECT_EQ(Call("rtFontSizing", {"+x"}), 192) << "only exactly + grows";
    SendMessageA(box, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&size));
    Select(0, 12);
    EXPECT_EQ(Call("rtFontSizing", {""}), 192);
}

TEST_F(RichText, DefaultsZoomAndText) {
    CHARFORMAT2A red = Format();
    red.dwMask = CFM_COLOR | CFM_SIZE;
    red.crTextColor = RGB(200, 0, 0);
    red.yHeight = 400;
    SendMessageA(box, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&red));
    EXPECT_EQ(Call("rtSetDefaults"), 1);
    const CHARFORMAT2A all = CharFormatOf(0, 12);
    EXPECT_EQ(all.yHeight, 220);
    EXPECT_TRUE((all.dwEffects & CFE_AUTOCOLOR) || all.crTextColor == RGB(0, 0, 0));

    SendMessageA(box, EM_SETZOOM, 3, 1);
    EXPECT_EQ(Call("rtZoom"), 1);
    WPARAM numerator = 9;
    LPARAM denominator = 9;
    SendMessageA(box, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator), reinterpret_cast<LPARAM>(&denominator));
    EXPECT_EQ(numerator, 0u);
    EXPECT_EQ(denominator, 0);

    EXPECT_EQ(Call("rtSetText", {"Line one\r\nLine two"}), 1);
    EXPECT_EQ(Text(), "Line one\r\nLine two");
    EXPECT_EQ(GetFocus(), box);
    EXPECT_EQ(Call("rtSetText", {""}), 1);
    EXPECT_EQ(Text(), "");
}

TEST_F(RichText, FindTextSelectsEachMatchInTurnThenGivesMinusOne) {
    SetText("one two ONE Two");
    Select(1, 1);
    EXPECT_EQ(Call("rtFindText", {"two", 0, 0, 0}), 7);
    EXPECT_EQ(Selection(), std::make_pair(4, 7));
    EXPECT_EQ(Call("rtFindText", {"two", 0, 0, 7}), 15) << "not case-sensitive";
    EXPECT_EQ(Selection(), std::make_pair(12, 15));
    EXPECT_EQ(Call("rtFindText", {"two", 0, 0, 15}), -1);
    EXPECT_EQ(Selection(), std::make_pair(12, 15)) << "a miss keeps the selection";
    EXPECT_EQ(Call("rtFindText", {"three", 0, 0, 0}), -1);
    EXPECT_EQ(Call("rtFindText", {"", 0, 0, 0}), -1);
    if (GetACP() == 1252) {
        SetText("Caf\xe9 au lait");
        EXPECT_EQ(Call("rtFindText", {"caf\xe9", 0, 0, 0}), 4) << "ANSI text reaches the box as UTF-16";
    }
}

TEST_F(RichText, RtfSavedAndLoadedGivesBackTextAndFormatting) {
    TempFile file(".rtf");
    SetText("Plain and bold");
    SetFormat(10, 14, CFM_BOLD, CFE_BOLD);
    SetFormat(0, 5, CFM_ITALIC, CFE_ITALIC);
    file.Write("an older file is replaced");
    EXPECT_EQ(Call("rtSaveFileRTF", {file.path()}), 1);
    EXPECT_EQ(GetFocus(), box);
    EXPECT_EQ(file.Read().rfind("{\\rtf", 0), 0u);

    SetText("something else");
    EXPECT_EQ(Call("rtLoadFileRTF", {file.path()}), 1);
    EXPECT_EQ(Text(), "Plain and bold");
    EXPECT_TRUE(Has(CharFormatOf(10, 14), CFE_BOLD));
    EXPECT_FALSE(CharFormatOf(0, 9).dwEffects & CFE_BOLD);
    EXPECT_TRUE(Has(CharFormatOf(0, 5), CFE_ITALIC));
    EXPECT_FALSE(CharFormatOf(6, 14).dwEffects & CFE_ITALIC);

    SetText("kept");
    EXPECT_EQ(Call("rtLoadFileRTF", {file.path() + ".missing"}), 1);
    EXPECT_EQ(Text(), "kept");
    EXPECT_EQ(Call("rtLoadFileRTF", {""}), 1);
    EXPECT_EQ(Text(), "kept");
}

TEST_F(RichText, SaveThatCannotWriteReturnsOneAndLeavesNoFile) {
    TempFile file(".rtf");
    const std::string inMissingFolder = file.path() + ".folder\\out.rtf";
    EXPECT_EQ(Call("rtSaveFileRTF", {inMissingFolder}), 1);
    EXPECT_EQ(GetFileAttributesA(inMissingFolder.c_str()), INVALID_FILE_ATTRIBUTES);

    // A box that is no window writes nothing: the file there stays whole.
    file.Write("{\\rtf1 earlier}");
    const CallResult r = host->Call("rtSaveFileRTF", {HWND(nullptr), file.path()});
    EXPECT_EQ(r.integer(), 1);
    EXPECT_EQ(file.Read(), "{\\rtf1 earlier}");

    // A read-only file is not replaced.
    SetFileAttributesA(file.path().c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Call("rtSaveFileRTF", {file.path()}), 1);
    SetFileAttributesA(file.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(file.Read(), "{\\rtf1 earlier}");

    // Nor does saving leave scratch files behind in the folder.
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((std::string(folder) + "vrt*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << found.cFileName;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

// The routes of a save. The usual one writes a scratch file beside the
// target and puts it in the target's place, keeping the target's
// attributes; where that cannot be done the target itself is written.
class RtfSaveRoutes : public RichText {
protected:
    void SetUp() override {
        RichText::SetUp();
        SetText("saved now");
    }
    static bool HoldsTheBox(const std::string& bytes) {
        return bytes.rfind("{\\rtf", 0) == 0 && bytes.find("saved now") != std::string::npos;
    }
    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }
};

TEST_F(RtfSaveRoutes, ReplacedFileKeepsItsAttributes) {
    TempFile file(".rtf");
    file.Write("older and longer than nothing at all");
    SetFileAttributesA(file.path().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(Call("rtSaveFileRTF", {file.path()}), 1);
    EXPECT_TRUE(HoldsTheBox(file.Read()));
    const DWORD attributes = GetFileAttributesA(file.path().c_str());
    SetFileAttributesA(file.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
}

TEST_F(RtfSaveRoutes, FileHeldOpenByAnotherProgramIsWrittenInPlace) {
    TempFile file(".rtf");
    file.Write(std::string(5000, 'x'));
    // Another program reads and writes it and lets others do so, but does not
    // let it be deleted or replaced.
    const HANDLE held = CreateFileA(file.path().c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Call("rtSaveFileRTF", {file.path()}), 1);
    const std::string saved = file.Read();
    EXPECT_TRUE(HoldsTheBox(saved)) << saved.substr(0, 40);
    EXPECT_EQ(saved.find('x'), std::string::npos) << "the older, longer content is cut off";
    EXPECT_EQ(GetFileSize(held, nullptr), saved.size()) << "the program's handle sees the same file";
    CloseHandle(held);
}

TEST_F(RtfSaveRoutes, FileWithSecondNameIsWrittenThroughBothNames) {
    TempFile file(".rtf"), second(".rtf");
    file.Write("before");
    ASSERT_TRUE(CreateHardLinkA(second.path().c_str(), file.path().c_str(), nullptr));
    EXPECT_EQ(Call("rtSaveFileRTF", {second.path()}), 1);
    EXPECT_TRUE(HoldsTheBox(second.Read()));
    EXPECT_EQ(file.Read(), second.Read()) << "both names still name one file";
}

TEST_F(RtfSaveRoutes, DeviceNameIsWrittenDirectly) {
    // Nothing can be made beside a device; the write itself goes through.
    EXPECT_EQ(Call("rtSaveFileRTF", {"NUL"}), 1);
    EXPECT_EQ(Call("rtSaveFileRTF", {"\\\\.\\NUL"}), 1);
}

TEST_F(RtfSaveRoutes, NameNearTheLengthLimitIsWrittenDirectly) {
    // A folder whose path leaves room for the file's name but not for a
    // scratch file's ("vrtXXXX.tmp" and more).
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "vantor-long-" + std::to_string(GetCurrentProcessId()) + "\\";
    folder += std::string(MAX_PATH - 1 - 14 - folder.size() + 2, 'd');  // just past room for a scratch file
    ASSERT_LT(folder.size(), static_cast<std::size_t>(MAX_PATH - 4));
    const std::string parent = folder.substr(0, folder.find_last_of('\\'));
    ASSERT_TRUE(CreateDirectoryA(parent.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder.size();
    const std::string path = folder + "\\a.rtf";
    ASSERT_LT(path.size(), static_cast<std::size_t>(MAX_PATH));
    ASSERT_GT(folder.size() + 1, static_cast<std::size_t>(MAX_PATH - 14)) << "no room for a scratch name";
    { std::ofstream(path, std::ios::binary) << "before"; }
    EXPECT_EQ(Call("rtSaveFileRTF", {path}), 1);
    EXPECT_TRUE(HoldsTheBox(Contents(path)));
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA(parent.c_str());
}

// A stream-out callback that appends to the std::string of the cookie.
DWORD CALLBACK CollectStream(DWORD_PTR cookie, LPBYTE bytes, LONG count, LONG* done) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(bytes),
                                                   static_cast<std::size_t>(count));
    *done = count;
    return 0;
}

TEST_F(RichText, SeveralMegabytesLoadAndSaveWhole) {
    std::string rtf = "{\\rtf1\\ansi ";
    std::size_t characters = 0;
    const std::string line = "0123456789 abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (int i = 0; i < 40000; ++i) {  // about 2.6 MB of text
        rtf += line + "\\par\n";
        characters += line.size() + 1;
    }
    rtf += "}";
    TempFile file(".rtf");
    file.Write(rtf);
    // A box of its own: Wine takes minutes to replace this much text again.
    const HWND large = reinterpret_cast<HWND>(
        static_cast<std::intptr_t>(host->Call("rtCreate", {dialog->hwnd(), 320, 20, 300, 200, 0}).integer()));
    ASSERT_TRUE(IsWindow(large));
    EXPECT_EQ(host->Call("rtLoadFileRTF", {large, file.path()}).integer(), 1);
    GETTEXTLENGTHEX how{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LRESULT length = SendMessageW(large, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    EXPECT_EQ(length + 1, static_cast<LRESULT>(characters)) << "the last paragraph mark is the box's own";
    EXPECT_EQ(host->Call("rtFindText", {large, "XYZ", 0, 0, static_cast<std::int32_t>(characters) - 10}).integer(),
              static_cast<std::int32_t>(characters) - 1)
        << "the end of the file arrived";

    // Saved, the document reaches its file whole and in order: the bytes the
    // box streams out itself, many times the save's buffer.
    std::string streamed;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&streamed), 0, &CollectStream};
    SendMessageA(large, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    ASSERT_GT(streamed.size(), 2000000u);
    TempFile saved(".rtf");
    saved.Write("an older, shorter file");
    EXPECT_EQ(host->Call("rtSaveFileRTF", {large, saved.path()}).integer(), 1);
    const std::string written = saved.Read();
    EXPECT_EQ(written.size(), streamed.size());
    EXPECT_TRUE(written == streamed) << "the saved file differs from the box's stream";
    EXPECT_EQ(host->Call("RemoveControl", {large}).integer(), 1);
    EXPECT_FALSE(IsWindow(large));
}

// Every function, given a handle that is no window and empty or 100 KB texts,
// delivers its documented result once.
TEST(RichTextBadInput, NoWindowEmptyAndLongTexts) {
    HostDouble host;
    const std::string longText(100 * 1024, '7');
    const HWND none = vantor::HandleFrom<HWND>(0x7654320);
    ASSERT_FALSE(IsWindow(none));
    for (const std::string& text : {std::string(), longText}) {
        EXPECT_EQ(host.Call("rtCreate", {none, 0, 0, 10, 10, 0}).integer(), 0);
        for (const char* name : {"rtBold", "rtItalic", "rtUnderline", "rtSetBulleted", "rtSetDefaults", "rtZoom"})
            EXPECT_EQ(host.Call(name, {none}).integer(), 1) << name;
        for (const char* name :
             {"rtSetTextColor", "rtSetTextBackColor", "rtSetText", "rtLoadFileRTF", "rtSaveFileRTF"}) {
            const CallResult r = host.Call(name, {none, text});
            EXPECT_EQ(r.callbacks, 1) << name;
            EXPECT_EQ(r.integer(), 1) << name;
        }
        EXPECT_EQ(host.Call("rtSetAlignment", {none, 3}).integer(), 1);
        EXPECT_EQ(host.Call("rtSetNumbered", {none, 0x100}).integer(), 1);
        EXPECT_EQ(host.Call("rtIndent", {none, -5}).integer(), 0);
        EXPECT_EQ(host.Call("rtIndent", {none, 50}).integer(), 50);
        EXPECT_EQ(host.Call("rtFontSizing", {none, text}).integer(), 0);
        EXPECT_EQ(host.Call("rtFindText", {none, text, 0, 0, 0}).integer(), -1);
    }
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(RichText, LongTextsOnARealBox) {
    const std::string longText(100 * 1024, 'q');
    EXPECT_EQ(Call("rtSetText", {longText}), 1);
    EXPECT_EQ(GetWindowTextLengthA(box), 100 * 1024);
    EXPECT_EQ(Call("rtSetTextColor", {longText}), 1);
    EXPECT_EQ(Call("rtFindText", {longText + "x", 0, 0, 0}), -1);
}

}  // namespace
