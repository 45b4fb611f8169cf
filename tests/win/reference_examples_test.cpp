// The examples of docs/functions.md, played. Each function's one-line
// example is read from the page (copied beside the test program by the
// build), its arguments are read as the host reads them (a name such as
// hList is a real window of the setting the page describes, a number given
// for a text argument arrives as its digits), the call goes through the
// exports, and the result after the arrow is checked; where the page
// promises an effect, the effect is checked too. Every example runs in a
// setting of its own, built as "Reading this page" describes it.
#include "events/core/event_engine.h"
#include "host/function_list.h"
#include "tests/common/reference_page.h"
#include "tests/host/host_double.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace vantor;
using namespace vantor::reference;
using namespace vantor::testing;

namespace {

// Functions whose example is not played, with the reason. (None so far: a
// line added here needs a reason a reader accepts.)
const std::map<std::string, std::string> kNotPlayed{};

std::string ReferencePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program = path;
    return program.substr(0, program.find_last_of("\\/")) + "\\docs\\functions.md";
}

std::map<std::string, std::string> TableTypes() {
    std::map<std::string, std::string> types;
#define VANTOR_EXAMPLE_TYPES(name, required, optional, argumentTypes) types[#name] = argumentTypes;
    VANTOR_FUNCTIONS(VANTOR_EXAMPLE_TYPES)
#undef VANTOR_EXAMPLE_TYPES
    return types;
}

std::map<std::string, std::int32_t> TableConstants() {
    std::map<std::string, std::int32_t> constants;
#define VANTOR_EXAMPLE_CONSTANT(name, value) constants[name] = value;
    VANTOR_CONSTANTS(VANTOR_EXAMPLE_CONSTANT)
#undef VANTOR_EXAMPLE_CONSTANT
    return constants;
}

// The files the examples name, made for the run and removed after it.
class ExampleFiles {
public:
    ExampleFiles() {
        for (const char* folder : kFolders) CreateDirectoryA(folder, nullptr);
        Write("C:\\pictures\\logo.bmp", BitmapFileBytes(64, 16, RGB(0, 90, 200)));
        Write("C:\\pictures\\folder.bmp", BitmapFileBytes(32, 16, RGB(230, 180, 40)));
        Write("C:\\pictures\\ok.ico", IconFileBytes());
        Write("C:\\notes\\letter.rtf", "{\\rtf1\\ansi Dear reader,\\par}");
        const std::string frame = BitmapFileBytes(16, 16, RGB(200, 0, 0)).substr(54);
        Write("C:\\clips\\copy.avi", AviFileBytes(16, 16, {frame, frame, frame}));
    }
    ~ExampleFiles() {
        for (const std::string& file : files_) DeleteFileA(file.c_str());
        for (const char* folder : kFolders) RemoveDirectoryA(folder);
    }
    ExampleFiles(const ExampleFiles&) = delete;
    ExampleFiles& operator=(const ExampleFiles&) = delete;

private:
    static constexpr const char* kFolders[] = {"C:\\pictures", "C:\\notes", "C:\\clips"};
    void Write(const std::string& path, const std::string& bytes) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        files_.push_back(path);
    }
    std::vector<std::string> files_;
};

// The setting of "Reading this page": a dialog with a control of every
// family, the library's own controls made by its creating functions.
class Scene {
public:
    explicit Scene(HostDouble& host) : host_(host), dialog_(std::make_unique<DialogFixture>()) {
        host_.SetOwner(dialog_->hwnd());
        names_["hDlg"] = H(dialog_->hwnd());
        AddDialogControls();
        names_["hImages"] = Create("ilCreateImgList", {4, 4, 16, 16, 0});
        Fill("ilAddImage", {Name("hImages"), "C:\\pictures\\logo.bmp", 0, 0});  // 64 x 16: 4 images
        names_["hRich"] = Create("rtCreate", {H(dialog_->hwnd()), 10, 10, 300, 120, 0});
        names_["hTree"] =
            Create("tvCreateTreeView", {H(dialog_->hwnd()), 320, 10, 240, 160, 0, Name("hImages"), 2, 1, 0});
        const std::pair<const char*, int> items[] = {{"Fruit", 1}, {"Pears", 2}, {"Vegetables", 1}};
        for (const auto& [text, level] : items) Fill("tvAdd", {Name("hTree"), text, level});
        names_["hBar"] = Create("pgCreateProgressBar", {H(dialog_->hwnd()), 10, 200, 300, 18, 0});
        names_["hTrack"] = Create("trCreateTrackBar", {H(dialog_->hwnd()), 60, 230, 200, 30, 0});
        names_["hTabs"] = Create("taCreateTab", {H(dialog_->hwnd()), 10, 140, 300, 50, 0});
        for (const char* label : {"General", "Colours", "Fonts"}) Fill("taAddTab", {Name("hTabs"), 9, label});
        names_["hStatus"] = Create("sbCreateStatusBar", {H(dialog_->hwnd()), "Ready"});
        names_["hTips"] = Create("ttCreateToolTip", {H(dialog_->hwnd())});
        Fill("ttAddToolTip", {Name("hTips"), Name("hButton"), "Saves the form"});
        names_["hIP"] = Create("ipCreateIP", {H(dialog_->hwnd()), 320, 180, 160, 24, 0});
        Fill("ipSetIP", {Name("hIP"), "192.168.10.20"});
        names_["hAnim"] = Create("anCreateAVI", {H(dialog_->hwnd()), 500, 10, 64, 64, 0});
        Fill("anOpenAVI", {Name("hAnim"), "C:\\clips\\copy.avi"});
        SetFocus(Window("hEdit"));
        DialogFixture::Pump();
        host_.ClearRecords();
    }
    ~Scene() {
        for (const std::int32_t event : {evdeOnEnter, evdeOnExit, evdeOnKeyPress, evdeOnGainFocus})
            host_.Call("evDialogProcOptions", {0, event, 0});
        dialog_.reset();
        if (!imageListDeleted) ImageList_Destroy(HandleFrom<HIMAGELIST>(names_["hImages"]));
        host_.ClearRecords();
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    bool Knows(const std::string& name) const { return names_.count(name) > 0; }
    std::int32_t Name(const std::string& name) const { return names_.at(name); }
    HWND Window(const std::string& name) const { return HandleFrom<HWND>(names_.at(name)); }
    HostDouble& host() { return host_; }
    bool imageListDeleted = false;

private:
    static std::int32_t H(HWND window) { return HandleValue(window); }

    // The controls a dialog brings along, filled through the library.
    void AddDialogControls() {
        const HWND list =
            dialog_->AddChild(WC_LISTVIEWA, LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER, 101, 10, 260, 300, 120);
        ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES);
        names_["hList"] = H(list);
        for (const char* header : {"Name", "Kind", "Size"}) Fill("lvInsertColumn", {Name("hList"), 9, header});
        const char* rows[3][3] = {{"alpha", "text", "1 KB"}, {"beta", "picture", "2 KB"}, {"gamma", "sound", "3 KB"}};
        for (int item = 1; item <= 3; ++item) {
            Fill("lvInsertItem", {Name("hList"), item, rows[item - 1][0]});
            for (int column = 2; column <= 3; ++column)
                host_.Call("lvSetItemText", {Name("hList"), item, column, rows[item - 1][column - 1]});
        }
        Fill("lvSetItemCheck", {Name("hList"), 2, 1});
        Fill("lvSetItemState", {Name("hList"), 3, 2, 2});

        const HWND listBox = dialog_->AddChild("LISTBOX", LBS_MULTIPLESEL | WS_VSCROLL | WS_HSCROLL | WS_BORDER, 102,
                                               320, 260, 140, 100);
        names_["hListBox"] = H(listBox);
        for (const char* item : {"red", "green", "blue", "yellow"})
            SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageA(listBox, LB_SETITEMHEIGHT, 0, 18);
        Fill("lbSetItemState", {Name("hListBox"), 1, 1});
        Fill("lbSetItemState", {Name("hListBox"), 3, 1});

        const HWND combo = dialog_->AddChild("COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 103, 470, 260, 150, 200);
        names_["hCombo"] = H(combo);
        for (const char* item : {"small", "medium", "large"})
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        Fill("cbSetCurSel", {Name("hCombo"), 1});

        names_["hEdit"] =
            H(dialog_->AddChild("EDIT", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 104, 470, 300, 150, 24, "12/34/2026"));
        names_["hControl"] = names_["hEdit"];
        SendMessageA(Window("hEdit"), EM_SETSEL, 10, 10);  // as the user typed it
        SendMessageA(Window("hEdit"), EM_SETMODIFY, TRUE, 0);
        names_["hButton"] = H(dialog_->AddChild("BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 105, 470, 340, 100, 28, "Save"));
    }

    std::int32_t Create(const char* function, const std::vector<Arg>& args) {
        const CallResult r = host_.Call(function, args);
        EXPECT_NE(r.integer(), 0) << "the setting: " << function << " made nothing";
        return r.integer();
    }
    void Fill(const char* function, const std::vector<Arg>& args) {
        const CallResult r = host_.Call(function, args);
        EXPECT_EQ(r.status, 0) << "the setting: " << function << " failed: " << r.text;
    }

    HostDouble& host_;
    std::unique_ptr<DialogFixture> dialog_;
    std::map<std::string, std::int32_t> names_;
};

// ---------------------------------------------------------------------------
// Playing one example

// The example's arguments as the host hands them over: by the table's type
// of each position.
std::vector<Arg> Arguments(const Example& example, const std::string& types, const Scene& scene,
                           const std::map<std::string, std::int32_t>& constants, std::string& problem) {
    std::vector<Arg> args;
    for (std::size_t k = 0; k < example.arguments.size(); ++k) {
        const ExampleArgument& argument = example.arguments[k];
        const bool text = k < types.size() && types[k] == 'S';
        std::int32_t value = 0;
        switch (argument.kind) {
            case ExampleArgument::Kind::Text:
                if (!text) problem = "argument " + std::to_string(k + 1) + " is a text for an int";
                args.emplace_back(argument.text);
                continue;
            case ExampleArgument::Kind::Number: value = static_cast<std::int32_t>(argument.number); break;
            case ExampleArgument::Kind::Constant:
                if (!constants.count(argument.text)) problem = argument.text + " is no constant";
                value = constants.count(argument.text) ? constants.at(argument.text) : 0;
                break;
            case ExampleArgument::Kind::Name:
                if (!scene.Knows(argument.text)) problem = argument.text + " is not in the setting";
                value = scene.Knows(argument.text) ? scene.Name(argument.text) : 0;
                break;
        }
        if (text) {
            args.emplace_back(std::to_string(value));
        } else {
            args.emplace_back(value);
        }
    }
    return args;
}

// What the arrow promised, against what the call delivered.
void CheckResult(const ExpectedResult& expected, const CallResult& r, HostDouble& host) {
    using Kind = ExpectedResult::Kind;
    if (expected.kind == Kind::NoResult) {
        EXPECT_FALSE(r.delivered()) << "a result was delivered: " << r.integer();
        return;
    }
    ASSERT_EQ(r.callbacks, 1) << "no result was delivered";
    ASSERT_EQ(r.status, 0) << "the call failed: " << r.text;
    switch (expected.kind) {
        case Kind::Number:
            EXPECT_EQ(r.cell.kind, kIntegerCell);
            EXPECT_EQ(r.integer(), static_cast<std::int32_t>(expected.number));
            break;
        case Kind::Text:
            EXPECT_EQ(r.cell.kind, kStringCell);
            EXPECT_EQ(r.text, expected.text);
            break;
        case Kind::Handle:
        case Kind::NonZero:
            EXPECT_EQ(r.cell.kind, kIntegerCell);
            EXPECT_NE(r.integer(), 0);
            break;
        case Kind::HostValue:
            EXPECT_EQ(host.hostValuesIssued, 1);
            EXPECT_EQ(host.resultKindAtHostValue, kHostValueCell);
            break;
        case Kind::NoResult: break;
    }
}

// ---------------------------------------------------------------------------
// Effects the page promises beyond the result, and steps that come before
// an example (the page says so beside the example).

using Step = std::function<void(Scene&, const CallResult&)>;

LRESULT Send(Scene& s, const char* name, UINT message, WPARAM w = 0, LPARAM l = 0) {
    return SendMessageA(s.Window(name), message, w, l);
}

std::string ListText(Scene& s, int item, int column) {
    char text[256] = {};
    ListView_GetItemText(s.Window("hList"), item, column, text, sizeof text);
    return text;
}

CHARFORMAT2A SelectionFormat(Scene& s) {
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    Send(s, "hRich", EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

PARAFORMAT2 Paragraph(Scene& s) {
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    Send(s, "hRich", EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    return format;
}

std::string WindowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(std::int32_t handle) {
    char name[64] = {};
    GetClassNameA(HandleFrom<HWND>(handle), name, sizeof name);
    return name;
}

Step CharacterEffect(DWORD effect) {
    return [effect](Scene& s, const CallResult&) {
        const CHARFORMAT2A format = SelectionFormat(s);
        EXPECT_TRUE(format.dwEffects & effect) << "the text typed next does not take the format";
    };
}

// The whole text, selected, in the colour.
Step WholeTextColoured(COLORREF colour, bool background) {
    return [=](Scene& s, const CallResult&) {
        CHARRANGE selection{};
        Send(s, "hRich", EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        EXPECT_EQ(selection.cpMin, 0);
        EXPECT_GE(selection.cpMax, GetWindowTextLengthA(s.Window("hRich")));
        const CHARFORMAT2A format = SelectionFormat(s);
        EXPECT_EQ(background ? format.crBackColor : format.crTextColor, colour);
    };
}

int TrackInfo(Scene& s, UINT message, WPARAM w = 0) { return static_cast<int>(Send(s, "hTrack", message, w)); }

Step TrackEquals(UINT message, int value) {
    return [=](Scene& s, const CallResult&) { EXPECT_EQ(TrackInfo(s, message), value); };
}

int ListState(Scene& s, int item, UINT mask) {
    return static_cast<int>(ListView_GetItemState(s.Window("hList"), item, mask));
}

std::string IpAddress(Scene& s) {
    DWORD address = 0;
    Send(s, "hIP", IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    return std::to_string(FIRST_IPADDRESS(address)) + "." + std::to_string(SECOND_IPADDRESS(address)) + "." +
           std::to_string(THIRD_IPADDRESS(address)) + "." + std::to_string(FOURTH_IPADDRESS(address));
}

std::string TipText(Scene& s) {
    char text[128] = {};
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = s.Window("hButton");
    tool.uId = 0;
    tool.lpszText = text;
    Send(s, "hTips", TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

const std::map<std::string, Step>& Effects() {
    static const std::map<std::string, Step> effects{
        {"rtCreate",
         [](Scene& s, const CallResult& r) {
             EXPECT_EQ(ClassOf(r.integer()).rfind("RichEdit", 0), 0u) << ClassOf(r.integer());
             EXPECT_EQ(WindowText(HandleFrom<HWND>(r.integer())), "Hello World.");
             (void)s;
         }},
        {"rtBold",
         [](Scene& s, const CallResult&) {
             EXPECT_FALSE(SelectionFormat(s).dwEffects & CFE_BOLD) << "the bold text typed next stays bold";
         }},
        {"rtItalic", CharacterEffect(CFE_ITALIC)},
        {"rtUnderline", CharacterEffect(CFE_UNDERLINE)},
        {"rtSetTextColor", WholeTextColoured(RGB(160, 0, 0), false)},
        {"rtSetTextBackColor", WholeTextColoured(RGB(255, 255, 0), true)},
        {"rtSetAlignment", [](Scene& s, const CallResult&) { EXPECT_EQ(Paragraph(s).wAlignment, PFA_CENTER); }},
        {"rtSetBulleted", [](Scene& s, const CallResult&) { EXPECT_EQ(Paragraph(s).wNumbering, PFN_BULLET); }},
        {"rtSetNumbered",
         [](Scene& s, const CallResult&) {
             const PARAFORMAT2 format = Paragraph(s);
             EXPECT_NE(format.wNumbering, 0) << "not numbered";
             EXPECT_NE(format.wNumbering, PFN_BULLET) << "bulleted";
             EXPECT_EQ(format.wNumberingStyle, PFNS_PAREN);
         }},
        {"rtIndent", [](Scene& s, const CallResult&) { EXPECT_EQ(Paragraph(s).dxStartIndent, 720); }},
        {"rtSetText",
         [](Scene& s, const CallResult&) {
             EXPECT_EQ(WindowText(s.Window("hRich")), "This text replaces everything.");
         }},
        {"rtSetDefaults",
         [](Scene& s, const CallResult&) {
             Send(s, "hRich", EM_SETSEL, 0, -1);
             const CHARFORMAT2A format = SelectionFormat(s);
             EXPECT_EQ(format.yHeight, 220);
             EXPECT_EQ(format.crTextColor, RGB(0, 0, 0));
         }},
        {"rtFontSizing", [](Scene& s, const CallResult& r) { EXPECT_EQ(SelectionFormat(s).yHeight, r.integer()); }},
        {"rtZoom",
         [](Scene& s, const CallResult&) {
             int numerator = -1, denominator = -1;
             Send(s, "hRich", EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator), reinterpret_cast<LPARAM>(&denominator));
             EXPECT_EQ(numerator, denominator) << "not at 100%";
         }},
        {"rtLoadFileRTF",
         [](Scene& s, const CallResult&) { EXPECT_EQ(WindowText(s.Window("hRich")), "Dear reader,"); }},
        {"rtSaveFileRTF",
         [](Scene&, const CallResult&) {
             const std::string saved = ReadFile("C:\\notes\\letter.rtf");
             EXPECT_EQ(saved.rfind("{\\rtf", 0), 0u);
             EXPECT_NE(saved.find("Hello World."), std::string::npos);
         }},
        {"rtFindText",
         [](Scene& s, const CallResult&) {
             CHARRANGE selection{};
             Send(s, "hRich", EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
             EXPECT_EQ(selection.cpMin, 6);
             EXPECT_EQ(selection.cpMax, 11);
         }},
        {"lvInsertItem",
         [](Scene& s, const CallResult&) {
             EXPECT_EQ(ListView_GetItemCount(s.Window("hList")), 4);
             EXPECT_EQ(ListText(s, 0, 0), "alpha");
             EXPECT_EQ(ListText(s, 1, 0), "alpha");
         }},
        {"lvInsertColumn",
         [](Scene& s, const CallResult&) { EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(s.Window("hList"))), 4); }},
        {"lvSetItemText", [](Scene& s, const CallResult&) { EXPECT_EQ(ListText(s, 1, 2), "12 KB"); }},
        {"lvSetColumnFill",
         [](Scene& s, const CallResult&) {
             for (int item = 0; item < 3; ++item) EXPECT_EQ(ListText(s, item, 2), "pending");
         }},
        {"lvSetColumnFillSeq",
         [](Scene& s, const CallResult&) {
             EXPECT_EQ(ListText(s, 0, 0), "10");
             EXPECT_EQ(ListText(s, 1, 0), "20");
             EXPECT_EQ(ListText(s, 2, 0), "30");
         }},
        {"lvSetColumnWidth",
         [](Scene& s, const CallResult&) { EXPECT_EQ(ListView_GetColumnWidth(s.Window("hList"), 1), 120); }},
        {"lvSetColumnImage",
         [](Scene& s, const CallResult&) {
             LVCOLUMNA column{};
             column.mask = LVCF_IMAGE;
             ListView_GetColumn(s.Window("hList"), 0, &column);
             EXPECT_EQ(column.iImage, 1) << "image 2 counted from 1";
         }},
        {"lvSetImageList",
         [](Scene& s, const CallResult&) {
             EXPECT_EQ(HandleValue(ListView_GetImageList(s.Window("hList"), LVSIL_SMALL)), s.Name("hImages"));
         }},
        {"lvSetItemImage",
         [](Scene& s, const CallResult&) {
             LVITEMA item{};
             item.mask = LVIF_IMAGE;
             ListView_GetItem(s.Window("hList"), &item);
             EXPECT_EQ(item.iImage, 2) << "image 3 counted from 1";
         }},
        {"lvClearImages",
         [](Scene& s, const CallResult&) {
             LVITEMA item{};
             item.mask = LVIF_IMAGE;
             ListView_GetItem(s.Window("hList"), &item);
             EXPECT_LT(item.iImage, 0) << "item 1 still shows image " << item.iImage;
         }},
        {"lvSetItemState", [](Scene& s, const CallResult&) { EXPECT_EQ(ListState(s, 0, LVIS_SELECTED), 2); }},
        {"lvSetItemCheck",
         [](Scene& s, const CallResult&) { EXPECT_TRUE(ListView_GetCheckState(s.Window("hList"), 0)); }},
        {"lvSetItemsChecked",
         [](Scene& s, const CallResult&) {
             for (int item = 0; item < 3; ++item) EXPECT_FALSE(ListView_GetCheckState(s.Window("hList"), item));
         }},
        {"lvDeleteItem",
         [](Scene& s, const CallResult&) {
             EXPECT_EQ(ListText(s, 0, 0), "alpha");
             EXPECT_EQ(ListText(s, 1, 0), "beta");
         }},
        {"lvSetBkColor",
         [](Scene& s, const CallResult&) {
             EXPECT_EQ(ListView_GetTextBkColor(s.Window("hList")), RGB(255, 255, 224));
         }},
        {"tvCreateTreeView",
         [](Scene& s, const CallResult& r) {
             EXPECT_EQ(ClassOf(r.integer()), WC_TREEVIEWA);
             EXPECT_EQ(HandleValue(TreeView_GetImageList(HandleFrom<HWND>(r.integer()), TVSIL_NORMAL)),
                       s.Name("hImages"));
         }},
        {"tvAdd", [](Scene& s, const CallResult&) { EXPECT_EQ(TreeView_GetCount(s.Window("hTree")), 4u); }},
        {"tvDelete", [](Scene& s, const CallResult&) { EXPECT_EQ(TreeView_GetCount(s.Window("hTree")), 0u); }},
        {"ilCreateImgList",
         [](Scene&, const CallResult& r) {
             const HIMAGELIST list = HandleFrom<HIMAGELIST>(r.integer());
             int width = 0, height = 0;
             EXPECT_TRUE(ImageList_GetIconSize(list, &width, &height));
             EXPECT_EQ(width, 16);
             EXPECT_EQ(height, 16);
             EXPECT_EQ(ImageList_GetImageCount(list), 0);
             ImageList_Destroy(list);
         }},
        {"ilDeleteImgList", [](Scene& s, const CallResult&) { s.imageListDeleted = true; }},
        {"lbDeleteItem",
         [](Scene& s, const CallResult&) {
             char first[32] = {};
             Send(s, "hListBox", LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
             EXPECT_STREQ(first, "green");
         }},
        {"lbSetHScrollSize",
         [](Scene& s, const CallResult&) { EXPECT_EQ(Send(s, "hListBox", LB_GETHORIZONTALEXTENT), 600); }},
        {"lbSetItemHeight", [](Scene& s, const CallResult&) { EXPECT_EQ(Send(s, "hListBox", LB_GETITEMHEIGHT), 20); }},
        {"lbSetItemState", [](Scene& s, const CallResult&) { EXPECT_GT(Send(s, "hListBox", LB_GETSEL, 1), 0); }},
        {"cbSetCurSel", [](Scene& s, const CallResult&) { EXPECT_EQ(Send(s, "hCombo", CB_GETCURSEL), 1); }},
        {"pgCreateProgressBar",
         [](Scene&, const CallResult& r) {
             EXPECT_EQ(SendMessageA(HandleFrom<HWND>(r.integer()), PBM_GETRANGE, FALSE, 0), 100);
         }},
        {"pgSetPosition", [](Scene& s, const CallResult&) { EXPECT_EQ(Send(s, "hBar", PBM_GETPOS), 50); }},
        {"pgSetRange", [](Scene& s, const CallResult&) { EXPECT_EQ(Send(s, "hBar", PBM_GETRANGE, FALSE), 200); }},
        {"pgSetStep",
         [](Scene& s, const CallResult&) {
             s.host().Call("pgStep", {s.Name("hBar"), 0});
             EXPECT_EQ(Send(s, "hBar", PBM_GETPOS), 25);
         }},
        {"pgStep", [](Scene& s, const CallResult&) { EXPECT_EQ(Send(s, "hBar", PBM_GETPOS), 10); }},
        {"pbSetMultiline",
         [](Scene& s, const CallResult&) {
             EXPECT_TRUE(GetWindowLongA(s.Window("hButton"), GWL_STYLE) & BS_MULTILINE);
         }},
        {"trCreateTrackBar",
         [](Scene&, const CallResult& r) {
             EXPECT_EQ(SendMessageA(HandleFrom<HWND>(r.integer()), TBM_GETRANGEMAX, 0, 0), 100);
         }},
        {"trSetBuddy",
         [](Scene& s, const CallResult&) {
             EXPECT_EQ(WindowText(reinterpret_cast<HWND>(Send(s, "hTrack", TBM_GETBUDDY, TRUE))), "Low");
             EXPECT_EQ(WindowText(reinterpret_cast<HWND>(Send(s, "hTrack", TBM_GETBUDDY, FALSE))), "High");
         }},
        {"trRemoveBuddy",
         [](Scene& s, const CallResult&) {
             EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(Send(s, "hTrack", TBM_GETBUDDY, TRUE))));
         }},
        {"trClearSel", TrackEquals(TBM_GETSELEND, 0)},
        {"trClearTics", TrackEquals(TBM_GETNUMTICS, 2)},
        {"trSetTicFreq", TrackEquals(TBM_GETNUMTICS, 11)},
        {"trSetLineSize", TrackEquals(TBM_GETLINESIZE, 5)},
        {"trSetPageSize", TrackEquals(TBM_GETPAGESIZE, 20)},
        {"trSetPos", TrackEquals(TBM_GETPOS, 30)},
        {"trSetRangeMax", TrackEquals(TBM_GETRANGEMAX, 50)},
        {"trSetRangeMin", TrackEquals(TBM_GETRANGEMIN, 10)},
        {"trSetSelEnd", TrackEquals(TBM_GETSELEND, 40)},
        {"trSetSelStart", TrackEquals(TBM_GETSELSTART, 20)},
        {"trSetTic", [](Scene& s, const CallResult&) { EXPECT_EQ(TrackInfo(s, TBM_GETTIC, 0), 25); }},
        {"taAddTab",
         [](Scene& s, const CallResult&) {
             EXPECT_EQ(TabCtrl_GetItemCount(s.Window("hTabs")), 4);
             char text[32] = {};
             TCITEMA item{};
             item.mask = TCIF_TEXT;
             item.pszText = text;
             item.cchTextMax = sizeof text;
             TabCtrl_GetItem(s.Window("hTabs"), 0, &item);
             EXPECT_STREQ(text, "General");
         }},
        {"taDeleteTab", [](Scene& s, const CallResult&) { EXPECT_EQ(TabCtrl_GetItemCount(s.Window("hTabs")), 2); }},
        {"taSetTabSel", [](Scene& s, const CallResult&) { EXPECT_EQ(TabCtrl_GetCurSel(s.Window("hTabs")), 1); }},
        {"taSetTabStyle",
         [](Scene& s, const CallResult&) { EXPECT_TRUE(GetWindowLongA(s.Window("hTabs"), GWL_STYLE) & 0x100); }},
        {"sbCreateStatusBar",
         [](Scene&, const CallResult& r) {
             char text[32] = {};
             SendMessageA(HandleFrom<HWND>(r.integer()), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
             EXPECT_STREQ(text, "Ready");
         }},
        {"sbSetParts", [](Scene& s, const CallResult&) { EXPECT_EQ(Send(s, "hStatus", SB_GETPARTS), 3); }},
        {"sbSetText",
         [](Scene& s, const CallResult&) {
             char text[32] = {};
             Send(s, "hStatus", SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
             EXPECT_STREQ(text, "4 rows");
         }},
        {"sbSetIcon", [](Scene& s, const CallResult&) { EXPECT_NE(Send(s, "hStatus", SB_GETICON, 0), 0); }},
        {"ttCreateToolTip", [](Scene&, const CallResult& r) { EXPECT_EQ(ClassOf(r.integer()), TOOLTIPS_CLASSA); }},
        {"ttAddToolTip", [](Scene& s, const CallResult&) { EXPECT_EQ(Send(s, "hTips", TTM_GETTOOLCOUNT), 2); }},
        {"ttDeleteToolTip", [](Scene& s, const CallResult&) { EXPECT_EQ(Send(s, "hTips", TTM_GETTOOLCOUNT), 0); }},
        {"ttSetText", [](Scene& s, const CallResult&) { EXPECT_EQ(TipText(s), "Saves and closes"); }},
        {"ttSetDelay",
         [](Scene& s, const CallResult&) { EXPECT_EQ(Send(s, "hTips", TTM_GETDELAYTIME, TTDT_INITIAL), 200); }},
        {"ttSetColor",
         [](Scene& s, const CallResult&) {
             EXPECT_EQ(static_cast<COLORREF>(Send(s, "hTips", TTM_GETTIPBKCOLOR)), RGB(255, 255, 200));
         }},
        {"ipCreateIP", [](Scene&, const CallResult& r) { EXPECT_EQ(ClassOf(r.integer()), WC_IPADDRESSA); }},
        {"ipSetIP",
         [](Scene& s, const CallResult&) {
             EXPECT_EQ(IpAddress(s), "192.168.10.20");
             // the page's rule: the number after the last dot goes into field 4
             const std::pair<const char*, const char*> rule[] = {
                 {"192.168", "192.0.0.168"}, {"10.1.2", "10.1.0.2"}, {"7", "0.0.0.7"}};
             for (const auto& [text, shown] : rule) {
                 s.host().Call("ipSetIP", {s.Name("hIP"), text});
                 EXPECT_EQ(IpAddress(s), shown) << text;
             }
         }},
        {"ipClearIP", [](Scene& s, const CallResult&) { EXPECT_NE(Send(s, "hIP", IPM_ISBLANK), 0); }},
        {"ipSetFocus",
         [](Scene& s, const CallResult&) {
             EXPECT_EQ(GetParent(GetFocus()), s.Window("hIP"));
             EXPECT_EQ(GetWindow(GetFocus(), GW_HWNDNEXT), nullptr) << "the focus is not in field 4";
         }},
        {"anCreateAVI",
         [](Scene&, const CallResult& r) { EXPECT_FALSE(IsWindowVisible(HandleFrom<HWND>(r.integer()))); }},
        {"anOpenAVI", [](Scene& s, const CallResult&) { EXPECT_TRUE(IsWindowVisible(s.Window("hAnim"))); }},
        {"ebMask", [](Scene& s, const CallResult& r) { EXPECT_EQ(WindowText(s.Window("hEdit")), r.text); }},
        {"ebSetModify", [](Scene& s, const CallResult&) { EXPECT_EQ(Send(s, "hEdit", EM_GETMODIFY), 0); }},
        {"ebMaskClean", [](Scene& s, const CallResult&) { EXPECT_EQ(WindowText(s.Window("hEdit")), "12/34/2026"); }},
        {"ebSetLenLimit", [](Scene& s, const CallResult&) { EXPECT_EQ(Send(s, "hEdit", EM_GETLIMITTEXT), 40); }},
        {"evDialogProcOptions",
         [](Scene& s, const CallResult&) {
             s.host().Call("evProcessEvents");
             SetFocus(s.Window("hList"));
             s.host().variables.clear();
             s.host().Call("evProcessEvents");
             ASSERT_TRUE(s.host().variables.count("DMsg"));
             EXPECT_EQ(s.host().variables.at("DMsg").integer, evdeOnExit);
             EXPECT_EQ(s.host().variables.at("DCHwnd").integer, s.Name("hEdit"));
         }},
        {"ccShow", [](Scene& s, const CallResult&) { EXPECT_FALSE(IsWindowVisible(s.Window("hButton"))); }},
        {"RemoveControl", [](Scene& s, const CallResult&) { EXPECT_FALSE(IsWindow(s.Window("hRich"))); }},
        {"wnTaskBar", [](Scene& s, const CallResult&) { s.host().Call("wnTaskBar", {5}); }},
        {"coAskColor", [](Scene& s, const CallResult&) { EXPECT_EQ(s.host().dialogsCancelled, 1); }},
        {"imEmbedImage",
         [](Scene& s, const CallResult&) {
             EXPECT_EQ(GetWindowTextLengthA(s.Window("hRich")), 13) << "no picture after the text";
         }},
    };
    return effects;
}

// What must be so before an example runs; the page says it beside the
// example.
const std::map<std::string, std::function<void(Scene&)>>& Preparations() {
    static const std::map<std::string, std::function<void(Scene&)>> steps{
        {"evProcessEvents",
         [](Scene& s) {
             s.host().Call("evDialogProcOptions", {s.Name("hDlg"), evdeOnExit, 1});
         }},
        {"lvClearImages",
         [](Scene& s) {
             s.host().Call("lvSetItemImage", {s.Name("hList"), 1, 1, 3});
         }},
        {"trRemoveBuddy",
         [](Scene& s) {
             s.host().Call("trSetBuddy", {s.Name("hDlg"), s.Name("hTrack"), 40, 20, "Low", "High"});
         }},
        {"trClearTics",
         [](Scene& s) {
             s.host().Call("trSetTic", {s.Name("hTrack"), "25"});
         }},
        {"trClearSel",
         [](Scene& s) {
             s.host().Call("trSetSelStart", {s.Name("hTrack"), "20"});
             s.host().Call("trSetSelEnd", {s.Name("hTrack"), "40"});
         }},
        {"sbSetText",
         [](Scene& s) {
             s.host().Call("sbSetParts", {s.Name("hStatus"), "200 420 -1"});
         }},
    };
    return steps;
}

std::string Describe(const std::string& name, const DocumentedFunction& doc) {
    return name + " (docs/functions.md line " + std::to_string(doc.exampleLine) + "): " + doc.example;
}

// ---------------------------------------------------------------------------

// Plays one function's example in a setting of its own and checks what the
// page says of it.
void Play(const std::string& name, const DocumentedFunction& doc, HostDouble& host,
          const std::map<std::string, std::string>& types, const std::map<std::string, std::int32_t>& constants) {
    const Example example = ParseExample(doc.example);
    ASSERT_EQ(example.problem, "");
    ASSERT_TRUE(types.count(example.function));
    Scene scene(host);
    std::string problem;
    const std::vector<Arg> args = Arguments(example, types.at(example.function), scene, constants, problem);
    ASSERT_EQ(problem, "");
    if (const auto prepare = Preparations().find(name); prepare != Preparations().end()) {
        prepare->second(scene);
        host.ClearRecords();
    }
    const CallResult r = host.Call(example.function, args);
    CheckResult(example.result, r, host);
    if (const auto effect = Effects().find(name); effect != Effects().end()) effect->second(scene, r);
}

TEST(ReferenceExamples, EveryExampleGivesWhatThePageSays) {
    const std::string path = ReferencePath();
    const std::string page = ReadFile(path);
    ASSERT_FALSE(page.empty()) << path << " is missing: the build copies docs/functions.md there";
    const Reference reference = ParseReference(page);
    const auto types = TableTypes();
    const auto constants = TableConstants();
    ASSERT_EQ(reference.functions.size(), types.size());

    const ExampleFiles files;
    HostDouble host;
    int played = 0;
    for (const auto& [name, doc] : reference.functions) {
        if (kNotPlayed.count(name)) continue;
        SCOPED_TRACE(Describe(name, doc));
        Play(name, doc, host, types, constants);
        ++played;
    }
    EXPECT_EQ(played + static_cast<int>(kNotPlayed.size()), 130);
}

// The lists of examples not played, of effects and of steps before an
// example name only functions the page has.
TEST(ReferenceExamples, WhatIsNotPlayedIsOnThePage) {
    const Reference reference = ParseReference(ReadFile(ReferencePath()));
    ASSERT_FALSE(reference.functions.empty());
    for (const auto& [name, reason] : kNotPlayed) {
        EXPECT_TRUE(reference.functions.count(name)) << name;
        EXPECT_FALSE(reason.empty()) << name;
    }
    for (const auto& [name, effect] : Effects()) EXPECT_TRUE(reference.functions.count(name)) << name;
    for (const auto& [name, step] : Preparations()) EXPECT_TRUE(reference.functions.count(name)) << name;
}

// ---------------------------------------------------------------------------
// Statements of the page's event section, each in a copy of the library of
// its own: the keys are chosen by a process's first key-press arming.

class EventStatements : public ::testing::Test {
protected:
    void SetUp() override {
        edit_ = dialog_.AddChild("EDIT", WS_BORDER | WS_TABSTOP, 104);
        dialog_.AddChild("EDIT", WS_BORDER | WS_TABSTOP, 105, 10, 40);
        SetFocus(edit_);
        SetKeyState({});
    }
    void TearDown() override { SetKeyState({}); }

    static void SetKeyState(std::initializer_list<int> down, bool capsLock = false) {
        BYTE keys[256] = {};
        for (const int key : down) keys[key] = 0x80;
        if (capsLock) keys[VK_CAPITAL] |= 0x01;
        SetKeyboardState(keys);
    }
    void Arm(std::int32_t event, std::int32_t mode, const char* list = "", std::int32_t names = 0) {
        ASSERT_EQ(host_.Call("evDialogProcOptions", {dialog_.hwnd(), event, mode, list, names}).integer(), 1);
    }
    // The number of events one poll hands over (each assigns eleven variables).
    int Poll() {
        const std::size_t before = host_.assignments.size();
        EXPECT_EQ(host_.Call("evProcessEvents").status, 0);
        return static_cast<int>(host_.assignments.size() - before) / 11;
    }
    std::int32_t Variable(const char* name) {
        const auto found = host_.variables.find(name);
        return found == host_.variables.end() ? -9999 : found->second.integer;
    }

    DllCopy copy_;
    HostDouble host_{copy_.dll()};
    DialogFixture dialog_;
    HWND edit_ = nullptr;
};

// The loop of the page, run six turns with F1 pressed once: the help shows
// once; without clearing DMsg it would show on every turn, since a poll that
// hands over nothing assigns nothing.
TEST_F(EventStatements, ThePollingLoopShowsTheHelpOncePerPress) {
    Arm(evdeOnEnter, 1);
    Arm(evdeOnExit, 1);
    Arm(evdeOnKeyPress, -1, "", 1);
    ASSERT_TRUE(std::count_if(host_.defined.begin(), host_.defined.end(),
                              [](const auto& name) { return name.first == "VK_F1" && name.second == VK_F1; }));
    for (const bool clearFirst : {true, false}) {
        int helps = 0;
        for (int turn = 1; turn <= 6; ++turn) {
            SetKeyState(turn == 1 ? std::initializer_list<int>{VK_F1} : std::initializer_list<int>{});
            if (clearFirst) host_.variables["DMsg"].integer = 0;  // DMsg = 0
            host_.Call("evProcessEvents");
            if (Variable("DMsg") == evdeOnKeyPress && Variable("VK_KEY") == VK_F1) ++helps;
        }
        EXPECT_EQ(helps, clearFirst ? 1 : 6) << (clearFirst ? "with" : "without") << " DMsg = 0";
        host_.variables.clear();
    }
}

TEST_F(EventStatements, ModeOneRaisesNothingForCtrlAltOrShiftAlone) {
    Arm(evdeOnKeyPress, 1);
    EXPECT_EQ(Poll(), 0);
    for (const int modifier : {VK_CONTROL, VK_MENU, VK_SHIFT}) {
        SetKeyState({modifier});
        EXPECT_EQ(Poll(), 0) << modifier << " alone";
        SetKeyState({});
        EXPECT_EQ(Poll(), 0);
    }
    // with a key they travel in the key's event, and letting go of the key
    // while they are held raises a VK_KEY 0 event
    SetKeyState({VK_CONTROL, 'A'});
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Variable("VK_KEY"), 'A');
    EXPECT_EQ(Variable("VK_CTRL"), 1);
    SetKeyState({VK_CONTROL});
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Variable("VK_KEY"), 0);
    EXPECT_EQ(Variable("VK_CTRL"), 1);
    SetKeyState({VK_MENU, 'B'});
    EXPECT_EQ(Poll(), 1);
    SetKeyState({VK_MENU});
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Variable("VK_KEY"), 0);
    EXPECT_EQ(Variable("VK_ALT"), 1);
    SetKeyState({VK_SHIFT, 'C'});
    EXPECT_EQ(Poll(), 1);
    SetKeyState({VK_SHIFT});
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Variable("VK_SHFT"), 1);
    // Shift with Caps Lock on makes lower case: no event on letting go
    SetKeyState({VK_SHIFT, 'C'}, true);
    EXPECT_EQ(Poll(), 1);
    SetKeyState({VK_SHIFT}, true);
    EXPECT_EQ(Poll(), 0);
}

TEST_F(EventStatements, ModifierCodesInTheListAreSeenAlone) {
    Arm(evdeOnKeyPress, 1, "16|17|18");
    SetKeyState({VK_CONTROL});
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Variable("VK_KEY"), VK_CONTROL);
    SetKeyState({VK_CONTROL, 'A'});
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Variable("VK_KEY"), 'A') << "the table's keys come before the list's";
    SetKeyState({VK_CONTROL});
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Variable("VK_KEY"), VK_CONTROL);
    for (const int modifier : {VK_SHIFT, VK_MENU}) {
        SetKeyState({});
        Poll();
        SetKeyState({modifier});
        EXPECT_EQ(Poll(), 1);
        EXPECT_EQ(Variable("VK_KEY"), modifier);
    }
}

}  // namespace
