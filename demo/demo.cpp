// Loads the extender the way the interpreter does, negotiates, lists the
// functions and constants it adds to the script language, then plays a
// script that builds a gallery dialog with every control family, one line
// per call with what came back. It arms the dialog events and prints the
// events it gets while the focus moves across two controls. Read-backs the
// script expects are checked; the exit code is 1 when one differs.
//
// The dialog is saved as a PNG picture: build/demo/gallery.png beside the
// program's build folder unless --gallery names another file. --images DIR
// also saves one cropped picture per family (the pictures of
// docs/functions.md).
//
//     vantor_demo [DLL] [--gallery FILE.png] [--images DIR]
#include "demo/picture.h"
#include "host/owners.h"
#include "tests/host/host_double.h"

#include <commctrl.h>
#include <richedit.h>
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace vantor;
using namespace vantor::testing;
using namespace vantor::demo;

namespace {

// The dialog's client area.
constexpr int kDialogWidth = 760, kDialogHeight = 500;

struct Options {
    std::string dll = HostDouble::DefaultDllPath();
    std::string gallery;  // empty: build/demo/gallery.png
    std::string images;   // empty: no family pictures
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--gallery" || arg == "--images") {
            if (++i == argc) throw std::invalid_argument(arg + " needs a name");
            (arg == "--gallery" ? options.gallery : options.images) = argv[i];
        } else if (arg.starts_with("--")) {
            throw std::invalid_argument("unknown option " + arg);
        } else {
            options.dll = arg;
        }
    }
    return options;
}

// build/demo/gallery.png of the build folder this program lies in
// (build/win/bin/vantor_demo.exe); the folder is made when missing.
std::string DefaultGalleryPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    for (int up = 0; up < 3; ++up) folder = folder.substr(0, folder.find_last_of("\\/"));
    folder += "\\demo";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\gallery.png";
}

// Prints the negotiation and the table; gives the constants by name, as a
// script sees them.
std::map<std::string, std::int32_t> ListTable(HostDouble& host) {
    char name[260] = {};
    const int version = host.Query(1, name, sizeof name);
    std::int32_t five = 5;
    std::printf("%s, version %d, interface %d\n", name, version, host.Query(2, &five, 1));
    const int count = host.Dispatch(-1, nullptr, 0);
    std::printf("%d entries\n", count);
    std::map<std::string, std::int32_t> constants;
    for (int i = 0; i < count; ++i) {
        alignas(4) char storage[64] = {};
        auto& r = *reinterpret_cast<QueryRecord*>(storage);
        host.Dispatch(-2, &r, i);
        if (r.kind == kConstantEntry) {
            std::printf("%4d  %-22s constant %d\n", i, r.name, r.value);
            constants[r.name] = r.value;
            continue;
        }
        char types[17] = {};
        const int positions = r.counts.required + r.counts.optional;
        for (int k = 0; k < positions && k < 16; ++k) {
            const std::uint32_t word = k < 8 ? r.typesLow : r.typesHigh;
            types[k] = (word >> (4 * (k % 8)) & 0xF) ? 'S' : 'I';
        }
        std::printf("%4d  %-22s %d required, %d optional  %s\n", i, r.name, r.counts.required, r.counts.optional,
                    types);
    }
    return constants;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\t') out += "\\t";
        else if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out + '"';
}

std::int32_t HandleOf(HWND window) { return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window)); }

// Plays script calls through the host, prints each with what came back and
// counts the answers that differ from what the script expects.
class Script {
public:
    explicit Script(HostDouble& host) : host_(host) {}

    // Shows the window by this name in the printed calls.
    void Name(HWND window, std::string name) { names_[HandleOf(window)] = std::move(name); }

    // What came back, as compared with expectations: the text of a string
    // result, the number of an integer one, "" when nothing was delivered.
    static std::string Value(const CallResult& r) {
        if (!r.delivered()) return "";
        return r.cell.kind == kStringCell ? r.text : std::to_string(r.integer());
    }

    CallResult Run(const std::string& function, const std::vector<Arg>& args,
                   std::optional<std::string> expected = std::nullopt) {
        const std::size_t boxesBefore = host_.messageBoxes.size();
        const CallResult r = host_.Call(function, args);
        std::string call = function + '(';
        for (std::size_t i = 0; i < args.size(); ++i) call += (i ? ", " : "") + Shown(args[i]);
        const std::string value = Value(r);
        const bool text = r.cell.kind == kStringCell;
        const std::string got = !r.delivered()  ? "(no result)"
                                : r.status != 0 ? "error " + Quoted(r.text)
                                : text          ? Quoted(value)
                                                : value;
        Report(call + ')', got, !expected || (r.status == 0 && value == *expected),
               !expected ? ""
               : text    ? Quoted(*expected)
                         : *expected);
        // The gallery's script shows no message box: one is a fault.
        for (std::size_t i = boxesBefore; i < host_.messageBoxes.size(); ++i)
            Report("  message box", Quoted(host_.messageBoxes[i].text), false, "none");
        return r;
    }

    // A creation call: the new control goes by name from now on.
    HWND Create(const std::string& name, const std::string& function, const std::vector<Arg>& args) {
        const CallResult r = Run(function, args);
        const HWND window = reinterpret_cast<HWND>(static_cast<std::intptr_t>(r.integer()));
        if (r.status != 0 || !IsWindow(window)) {
            Report("  " + name, "no window", false, "a window");
            return nullptr;
        }
        Name(window, name);
        return window;
    }

    // A value read back from the platform, printed like a call.
    void Check(const std::string& what, const std::string& got, const std::string& expected) {
        Report("  " + what, got, got == expected, expected);
    }

    // The name of a window handle, else the number.
    std::string NameOf(std::int32_t value) const {
        const auto named = names_.find(value);
        return named != names_.end() ? named->second : std::to_string(value);
    }

    static void Section(const char* title) { std::printf("\n%s\n", title); }
    int failures() const { return failures_; }

private:
    std::string Shown(const Arg& arg) const { return arg.isText() ? Quoted(arg.text()) : NameOf(arg.integer()); }

    void Report(const std::string& call, const std::string& got, bool ok, const std::string& expected) {
        std::printf("  %-52s -> %s%s\n", call.c_str(), got.c_str(),
                    ok ? "" : ("   FAILED, expected " + expected).c_str());
        if (!ok) ++failures_;
    }

    HostDouble& host_;
    std::map<std::int32_t, std::string> names_;
    int failures_ = 0;
};

// --- Platform read-backs -----------------------------------------------------

std::string ColourText(COLORREF c) {
    return std::to_string(GetRValue(c)) + '|' + std::to_string(GetGValue(c)) + '|' + std::to_string(GetBValue(c));
}

// Bold and colour of the rich-text box's selection.
std::string SelectionFormat(HWND box) {
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    SendMessageA(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    const bool bold = (format.dwMask & CFM_BOLD) && (format.dwEffects & CFE_BOLD);
    return std::string(bold ? "bold " : "plain ") + ColourText(format.crTextColor);
}

void SetPlainFormat(HWND box) {
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD;
    SendMessageA(box, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

// The numbering of the paragraph that holds the selection.
int Numbering(HWND box) {
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    SendMessageA(box, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    return format.wNumbering;
}

std::string StatusText(HWND bar, int part) {
    char text[256] = {};
    SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return text;
}

std::string TreeText(HWND tree, HTREEITEM item) {
    char text[64] = {};
    TVITEMA record{};
    record.mask = TVIF_TEXT;
    record.hItem = item;
    record.pszText = text;
    record.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record));
    return text;
}

// --- Files the script names ------------------------------------------------

// The images of the image list: a closed folder, an open folder, a page and
// a green disc, 16 x 16 pixels each, side by side.
void DrawImageStrip(HDC dc) {
    const auto fill = [&](RECT r, COLORREF colour) {
        const UniqueBrush brush(CreateSolidBrush(colour));
        FillRect(dc, &r, brush.get());
    };
    const auto frame = [&](RECT r, COLORREF colour) {
        const UniqueBrush brush(CreateSolidBrush(colour));
        FrameRect(dc, &r, brush.get());
    };
    for (int folder = 0; folder < 2; ++folder) {
        const int x = folder * 16;
        const COLORREF body = folder == 0 ? RGB(230, 180, 40) : RGB(250, 215, 100);
        fill({x + 1, 3, x + 8, 6}, body);
        fill({x + 1, 5, x + 15, 14}, body);
        frame({x + 1, 5, x + 15, 14}, RGB(150, 100, 0));
        if (folder == 1) fill({x + 3, 8, x + 15, 14}, RGB(255, 235, 150));
    }
    fill({35, 1, 45, 15}, RGB(255, 255, 255));
    frame({35, 1, 45, 15}, RGB(90, 90, 120));
    for (int line = 4; line <= 12; line += 3) fill({37, line, 43, line + 1}, RGB(60, 90, 200));
    const UniqueBrush green(CreateSolidBrush(RGB(40, 170, 60)));
    const HGDIOBJ previous = SelectObject(dc, green.get());
    Ellipse(dc, 50, 2, 62, 14);
    SelectObject(dc, previous);
}

// The picture imEmbedImage puts into a rich-text box.
void DrawLogo(HDC dc) {
    for (int y = 0; y < 40; ++y) {
        const UniqueBrush band(CreateSolidBrush(RGB(40 + 4 * y, 90 + 3 * y, 200)));
        const RECT row{0, y, 96, y + 1};
        FillRect(dc, &row, band.get());
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT all{0, 0, 96, 40};
    DrawTextA(dc, "vantor", -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// Frame f of the clip: a blue dot going round a circle.
std::function<void(HDC)> ClipFrame(int f, int frames) {
    return [f, frames](HDC dc) {
        const double angle = 2 * 3.14159265358979 * f / frames;
        const int x = 24 + static_cast<int>(16 * std::cos(angle));
        const int y = 24 + static_cast<int>(16 * std::sin(angle));
        const UniqueBrush ring(CreateSolidBrush(RGB(210, 210, 230)));
        const UniqueBrush dot(CreateSolidBrush(RGB(30, 80, 200)));
        HGDIOBJ previous = SelectObject(dc, ring.get());
        Ellipse(dc, 4, 4, 44, 44);
        SelectObject(dc, dot.get());
        Ellipse(dc, x - 6, y - 6, x + 6, y + 6);
        SelectObject(dc, previous);
    };
}

// The files of the gallery, in the temporary folder while the demo runs.
struct GalleryFiles {
    TempFile images{".bmp"}, logo{".bmp"}, icon{".ico"}, clip{".avi"};

    GalleryFiles() {
        images.Write(BitmapFile(Picture::Drawn(64, 16, DrawImageStrip)));
        logo.Write(BitmapFile(Picture::Drawn(96, 40, DrawLogo)));
        icon.Write(IconFile(16, RGB(30, 120, 220)));
        std::vector<std::string> frames;
        constexpr int kFrames = 8;
        for (int f = 0; f < kFrames; ++f)
            frames.push_back(Picture::Drawn(48, 48, ClipFrame(f, kFrames)).BottomUpRows());
        clip.Write(AviFileBytes(48, 48, frames));
    }
};

// --- The dialog -------------------------------------------------------------

// Where each family stands on the dialog, for the family pictures.
using FamilyAreas = std::map<std::string, std::vector<HWND>>;

struct Gallery {
    HWND list = nullptr, edit = nullptr, listBox = nullptr, combo = nullptr, button = nullptr;
    HWND dateLabel = nullptr, ipLabel = nullptr;
    HWND tips = nullptr;
    FamilyAreas areas;
};

// The controls the dialog brings itself, as the host's dialog would: the
// library creates no list view, edit box, list box, combo box or button.
void AddDialogControls(DialogFixture& dialog, Script& s, Gallery& g) {
    g.list =
        dialog.AddChild(WC_LISTVIEWA, LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 101, 380, 10, 370, 150);
    // The dialog gives its list view check boxes and whole-row selection.
    SendMessageA(g.list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    g.dateLabel = dialog.AddChild("STATIC", SS_RIGHT, 0, 10, 279, 36, 20, "Date");
    g.edit = dialog.AddChild("EDIT", WS_BORDER | WS_TABSTOP, 120, 50, 275, 110, 24);
    g.ipLabel = dialog.AddChild("STATIC", SS_RIGHT, 0, 170, 279, 30, 20, "IP");
    g.listBox = dialog.AddChild("LISTBOX", LBS_MULTIPLESEL | LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 121, 10,
                                310, 170, 104);
    g.combo = dialog.AddChild("COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 122, 200, 310, 170, 200);
    g.button = dialog.AddChild("BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 123, 390, 440, 130, 28, "Hover for a tip");
    for (const char* colour : {"Red", "Green", "Blue", "Yellow", "Purple", "Orange"})
        SendMessageA(g.listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(colour));
    for (const char* size : {"Small", "Medium", "Large", "Extra large"})
        SendMessageA(g.combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(size));
    s.Name(g.list, "list");
    s.Name(g.edit, "edit");
    s.Name(g.listBox, "listBox");
    s.Name(g.combo, "combo");
    s.Name(g.button, "button");
}

void PlayRichText(HWND d, Script& s, Gallery& g) {
    Script::Section("rich text: bold, coloured, bulleted and numbered");
    const HWND rich = s.Create("rich", "rtCreate", {d, 10, 10, 360, 120, 0});
    s.Run("rtSetText",
          {rich,
           "Bold and dark red, set by the script.\r\n"
           "A bulleted line\r\nAnother bulleted line\r\n"
           "A numbered line\r\nAnother numbered line"},
          "1");
    // Under Wine the box's default format reports bold for plain text, so
    // rtBold would take bold away: the dialog states the plain format first.
    SetPlainFormat(rich);
    // rtFindText selects what it finds: the formats then apply to it.
    s.Run("rtFindText", {rich, "Bold and dark red", 0, 0, 0}, "17");
    s.Run("rtBold", {rich}, "1");
    s.Run("rtSetTextColor", {rich, "160|0|0"}, "1");
    s.Check("selection format", SelectionFormat(rich), "bold 160|0|0");
    s.Run("rtFindText", {rich, "set by the script", 0, 0, 0}, "36");
    s.Check("the rest of the line", SelectionFormat(rich).substr(0, 5), "plain");
    int from = 0;
    for (const char* line : {"A bulleted line", "Another bulleted line"}) {
        from = s.Run("rtFindText", {rich, line, 0, 0, from}).integer();
        s.Run("rtSetBulleted", {rich}, "1");
        s.Check("paragraph numbering (1 bullets)", std::to_string(Numbering(rich)), "1");
    }
    for (const char* line : {"A numbered line", "Another numbered line"}) {
        from = s.Run("rtFindText", {rich, line, 0, 0, from}).integer();
        s.Run("rtSetNumbered", {rich, 512}, "1");
        s.Check("paragraph numbering (7 numbers)", std::to_string(Numbering(rich)), "7");
    }
    // The selection stays shown: leave it on the first line's full stop.
    s.Run("rtFindText", {rich, "script.", 0, 0, 0}, "37");
    g.areas["richtext"] = {rich};
}

void PlayListView(Script& s, Gallery& g, HWND images) {
    Script::Section("list view: columns, rows, a numbered column, check boxes, colours, images");
    const HWND list = g.list;
    s.Run("lvSetImageList", {list, images}, "4");
    s.Run("lvInsertColumn", {list, 1, "Name"}, "0");
    s.Run("lvInsertColumn", {list, 2, "Size"}, "1");
    s.Run("lvInsertColumn", {list, 3, "No."}, "2");
    const std::pair<const char*, const char*> rows[] = {
        {"alpha.txt", "12 KB"}, {"beta", "3 KB"}, {"gamma.txt", "40 KB"}, {"delta", "7 KB"}};
    for (int row = 1; const auto& [name, size] : rows) {
        s.Run("lvInsertItem", {list, row, name}, std::to_string(row - 1));
        s.Run("lvSetItemText", {list, row, 2, size}, "");  // ends without a result
        s.Run("lvSetItemImage", {list, row, 1, row % 2 == 1 ? 3 : 1}, "1");
        ++row;
    }
    s.Run("lvSetColumnFillSeq", {list, 3, 10, 10}, "1");
    s.Run("lvGetItemText", {list, 4, 3}, "40");
    s.Run("lvSetItemCheck", {list, 1, 1}, "1");
    s.Run("lvSetItemCheck", {list, 3, 1}, "1");
    s.Run("lvGetItemsChecked", {list}, "alpha.txt\tgamma.txt");
    // Row 2 in blue, row 4 in dark red on a pale yellow background.
    s.Run("lvSetItemTextColor", {list, 2, 0, 0, "0|0|200"}, "");
    s.Run("lvSetItemTextColor", {list, 4, 0, 0, "160|0|0"}, "");
    s.Run("lvSetItemTextColor", {list, 4, 0, 1, "255|250|200"}, "");
    g.areas["listview"] = {list};
}

void PlayTreeView(HWND d, Script& s, Gallery& g, HWND images) {
    Script::Section("tree view, three levels, with images");
    // Images by number from 0: leaves the page (2), parents the closed
    // folder (0) and the open one (1) when selected.
    const HWND tree = s.Create("tree", "tvCreateTreeView", {d, 380, 170, 190, 180, 0, images, 2, 1, 0});
    const std::pair<const char*, int> items[] = {{"Documents", 1},     {"Letters", 2}, {"To the bank", 3},
                                                 {"To the school", 3}, {"Reports", 2}, {"2026", 3},
                                                 {"Pictures", 1},      {"Holiday", 2}};
    int added = 0;
    for (const auto& [text, level] : items) s.Run("tvAdd", {tree, text, level}, std::to_string(++added));
    const auto root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    const auto child =
        reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
    const auto grandchild =
        reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(child)));
    s.Check("first item at each level",
            TreeText(tree, root) + " / " + TreeText(tree, child) + " / " + TreeText(tree, grandchild),
            "Documents / Letters / To the bank");
    g.areas["treeview"] = {tree};
}

void PlayTabsAndStatusBar(HWND d, Script& s, Gallery& g, const std::string& icon) {
    Script::Section("tab control");
    const HWND tabs = s.Create("tabs", "taCreateTab", {d, 10, 140, 360, 56, 0});
    const char* const labels[] = {"General", "Details", "About"};
    for (int tab = 1; const char* label : labels) {
        s.Run("taAddTab", {tabs, tab, label}, std::to_string(tab - 1));
        ++tab;
    }
    s.Run("taSetTabSel", {tabs, 2}, "0");
    s.Run("taGetTabSel", {tabs}, "2");
    s.Run("taSetBkColor", {tabs, 235, 240, 255}, std::to_string(RGB(235, 240, 255)));

    Script::Section("status bar: parts, texts and an icon");
    const HWND status = s.Create("status", "sbCreateStatusBar", {d, "Ready"});
    s.Run("sbSetParts", {status, "250 520 -1"}, "3");
    s.Run("sbSetText", {status, 2, "4 rows, 2 checked"}, "1");
    s.Run("sbSetText", {status, 3, "vantor44i"}, "1");
    s.Run("sbSetIcon", {status, 1, icon});
    s.Check("SB_GETTEXT of the parts",
            StatusText(status, 0) + " | " + StatusText(status, 1) + " | " + StatusText(status, 2),
            "Ready | 4 rows, 2 checked | vantor44i");
    s.Check("an icon in part 1 (SB_GETICON)", SendMessageA(status, SB_GETICON, 0, 0) != 0 ? "yes" : "no", "yes");
    g.areas["tab_statusbar"] = {tabs, status};
}

void PlayBars(HWND d, Script& s, Gallery& g) {
    Script::Section("progress bar");
    const HWND bar = s.Create("progress", "pgCreateProgressBar", {d, 10, 206, 360, 18, 0});
    s.Run("pgSetRange", {bar, 0, 100});
    s.Run("pgSetStep", {bar, 25}, "10");
    for (const char* before : {"0", "25", "50"}) s.Run("pgStep", {bar, 0}, before);
    s.Check("PBM_GETPOS", std::to_string(SendMessageA(bar, PBM_GETPOS, 0, 0)), "75");

    Script::Section("trackbar with buddy labels");
    const HWND track = s.Create("track", "trCreateTrackBar", {d, 60, 234, 260, 30, 0});
    s.Run("trSetRangeMax", {track, 50}, "1");
    s.Run("trSetTicFreq", {track, 5}, "1");
    s.Run("trSetPos", {track, 20}, "1");
    s.Run("trSetBuddy", {d, track, 40, 20, "Low", "High"}, "1");
    s.Run("trGetTrackInfo", {track, 3}, "20");
    const HWND low = reinterpret_cast<HWND>(SendMessageA(track, TBM_GETBUDDY, TRUE, 0));
    const HWND high = reinterpret_cast<HWND>(SendMessageA(track, TBM_GETBUDDY, FALSE, 0));
    s.Check("buddies (TBM_GETBUDDY)", IsWindow(low) && IsWindow(high) ? "two" : "missing", "two");
    g.areas["progress_trackbar"] = {bar, track, low, high};
}

void PlayIpAddress(HWND d, Script& s, Gallery& g) {
    Script::Section("IP address");
    const HWND ip = s.Create("ip", "ipCreateIP", {d, 200, 275, 170, 24, 0});
    s.Run("ipSetIP", {ip, "192.168.10.20"});
    s.Run("ipGetIP", {ip}, "192.168.10.20");
    g.areas["ip_address"] = {g.ipLabel, ip};
}

void PlayListBoxAndCombo(Script& s, Gallery& g) {
    Script::Section("list box and combo box");
    s.Run("lbSetItemState", {g.listBox, 2, 1}, "0");
    s.Run("lbSetItemState", {g.listBox, 4, 1}, "0");
    s.Run("lbGetItemSel", {g.listBox}, "2\t4");
    s.Run("lbGetItemCount", {g.listBox}, "6");
    s.Run("cbSetCurSel", {g.combo, 2}, "2");
    s.Run("cbGetCurSel", {g.combo}, "2");
    s.Run("cbSetDropHeight", {g.combo, 4}, "1");
    g.areas["listbox_combobox"] = {g.listBox, g.combo};
}

void PlayAnimation(HWND d, Script& s, Gallery& g, const std::string& clip) {
    Script::Section("animation");
    const HWND animation = s.Create("animation", "anCreateAVI", {d, 580, 292, 48, 48, 0});
    s.Run("anOpenAVI", {animation, clip}, "0");
    s.Check("shown once a clip is open", IsWindowVisible(animation) ? "visible" : "hidden", "visible");
    s.Run("anPlayAVI", {animation, 0, -1, -1}, "1");  // over and over
    g.areas["animation"] = {animation};
}

// The clip stops on one frame, so that every run takes the same picture.
void HoldAnimation(Script& s, const Gallery& g) {
    Script::Section("animation held on frame 2 for the pictures");
    const HWND animation = g.areas.at("animation").front();
    s.Run("anStopAVI", {animation}, "1");
    s.Run("anPlayAVI", {animation, 2, 2, 1}, "1");  // one frame: a seek
}

void PlayEmbeddedPicture(HWND d, Script& s, Gallery& g, const std::string& logo) {
    Script::Section("a picture embedded in a rich-text box");
    const HWND box = s.Create("richPicture", "rtCreate", {d, 580, 170, 170, 110, 0});
    s.Run("rtSetText", {box, "Logo:\r\nby imEmbedImage"}, "1");
    SetPlainFormat(box);
    // The picture goes in just after the selection.
    s.Run("rtFindText", {box, "Logo:", 0, 0, 0}, "5");
    s.Run("imEmbedImage", {box, logo}, "1");
    s.Run("DCCompatible", {box, 0}, "RichEdit50W");
    g.areas["window_functions"] = {box};
}

void PlayTooltip(HWND d, Script& s, Gallery& g) {
    Script::Section("tooltip over the button");
    g.tips = s.Create("tips", "ttCreateToolTip", {d});
    s.Run("ttAddToolTip", {g.tips, g.button, "Saves the form and closes it"}, "1");
    s.Run("ttSetTitle", {g.tips, 1, "Tooltip"}, "1");
    s.Run("ttSetDelay", {g.tips, 3, 10}, "0");
}

void PlayMaskedEdit(Script& s, Gallery& g) {
    Script::Section("edit box masked as ##/##/####, typing 12342026");
    SetFocus(g.edit);  // the mask reads the caret of the focused box
    const std::pair<char, const char*> typed[] = {{'1', "1"},         {'2', "12/"},       {'3', "12/3"},
                                                  {'4', "12/34/"},    {'2', "12/34/2"},   {'0', "12/34/20"},
                                                  {'2', "12/34/202"}, {'6', "12/34/2026"}};
    for (const auto& [key, text] : typed) {
        SendMessageA(g.edit, WM_CHAR, static_cast<unsigned char>(key), 1);
        s.Run("ebMask", {g.edit, "##/##/####"}, text);
    }
    s.Run("ebMaskClean", {g.edit, "##/##/####", 2}, "12342026");
    g.areas["edit_mask"] = {g.dateLabel, g.edit};
}

// The events: the focus moves from the edit box to the list box (the
// user's Tab), and each poll hands over one event.
void PlayEvents(HostDouble& host, HWND d, Script& s, Gallery& g, const std::map<std::string, std::int32_t>& constants) {
    Script::Section("dialog events: the focus moves from the edit box to the list box");
    const std::int32_t onEnter = constants.at("@evdeonenter"), onExit = constants.at("@evdeonexit");
    const std::map<std::int32_t, std::string> kinds = {{onEnter, "OnEnter"}, {onExit, "OnExit"}};
    s.Run("evDialogProcOptions", {d, onEnter, 1}, "1");
    s.Run("evDialogProcOptions", {d, onExit, 1}, "1");
    SetFocus(g.listBox);
    const auto variable = [&](const char* name) {
        const auto found = host.variables.find(name);
        return found == host.variables.end() ? std::string("unset") : s.NameOf(found->second.integer);
    };
    const std::pair<std::int32_t, const char*> expected[] = {{onExit, "edit"}, {onEnter, "listBox"}};
    for (const auto& [code, control] : expected) {
        host.variables.clear();
        s.Run("evProcessEvents", {});
        const auto message = host.variables.find("DMsg");
        const std::string kind = message == host.variables.end()        ? "none"
                                 : kinds.count(message->second.integer) ? kinds.at(message->second.integer)
                                                                        : std::to_string(message->second.integer);
        std::printf("    event %s: DMsg %s, DCHwnd %s, DCtrl %s, DHandle %s\n", kind.c_str(), variable("DMsg").c_str(),
                    variable("DCHwnd").c_str(), variable("DCtrl").c_str(), variable("DHandle").c_str());
        s.Check("event", kind + " " + variable("DCHwnd"), kinds.at(code) + " " + control);
    }
    g.areas["events"] = {g.dateLabel, g.edit, g.listBox};
}

// The user rests the mouse on the button: the tooltip shows its balloon.
void HoverOverButton(Script& s, Gallery& g) {
    RECT button{};
    GetWindowRect(g.button, &button);
    // Near the button's left end: the balloon opens to the right of the
    // mouse, into the free part of the dialog.
    SetCursorPos(button.left + 12, (button.top + button.bottom) / 2);
    for (int wait = 0; wait < 40 && !IsWindowVisible(g.tips); ++wait) {
        DialogFixture::Pump();
        Sleep(50);
    }
    s.Check("the balloon shows", IsWindowVisible(g.tips) ? "visible" : "hidden", "visible");
    g.areas["tooltip"] = {g.button, g.tips};
}

// The host gives the controls of its dialog the dialog's font; rich-text
// boxes keep the formats the script gave them.
BOOL CALLBACK UseDialogFontFor(HWND child, LPARAM) {
    char name[32] = {};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "RICHEDIT50W") != 0)
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return TRUE;
}

void UseDialogFont(HWND dialog) { EnumChildWindows(dialog, &UseDialogFontFor, 0); }

void PlayScript(HostDouble& host, DialogFixture& dialog, const std::map<std::string, std::int32_t>& constants,
                Script& s, Gallery& g, const GalleryFiles& files) {
    const HWND d = dialog.hwnd();
    s.Name(d, "dialog");
    AddDialogControls(dialog, s, g);

    Script::Section("image list: four 16 x 16 images from one bitmap");
    const HWND images =
        reinterpret_cast<HWND>(static_cast<std::intptr_t>(s.Run("ilCreateImgList", {4, 4, 16, 16, 0}).integer()));
    s.Name(images, "images");
    s.Run("ilAddImage", {images, files.images.path(), 0, 0}, "4");

    PlayRichText(d, s, g);
    PlayListView(s, g, images);
    PlayTreeView(d, s, g, images);
    PlayTabsAndStatusBar(d, s, g, files.icon.path());
    PlayBars(d, s, g);
    PlayIpAddress(d, s, g);
    PlayListBoxAndCombo(s, g);
    PlayAnimation(d, s, g, files.clip.path());
    PlayEmbeddedPicture(d, s, g, files.logo.path());
    PlayTooltip(d, s, g);
    UseDialogFont(d);
    PlayMaskedEdit(s, g);
    PlayEvents(host, d, s, g, constants);
    HoverOverButton(s, g);
    HoldAnimation(s, g);
}

// The rectangle that covers the windows, in the picture's coordinates (the
// picture shows the dialog's whole window), with a margin.
RECT AreaOf(HWND dialog, const std::vector<HWND>& windows) {
    RECT frame{};
    GetWindowRect(dialog, &frame);
    RECT area{};
    for (const HWND window : windows) {
        RECT r{};
        if (!IsWindow(window) || !GetWindowRect(window, &r)) continue;
        if (IsRectEmpty(&area)) area = r;
        else UnionRect(&area, &area, &r);
    }
    constexpr int kMargin = 6;
    OffsetRect(&area, -frame.left, -frame.top);
    InflateRect(&area, kMargin, kMargin);
    return area;
}

// Saves the gallery and, when asked, the family pictures; false when one
// cannot be written.
bool SavePictures(HWND dialog, const Gallery& g, const Options& options) {
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DialogFixture::Pump();
    const Picture gallery = Picture::OfScreen(dialog);
    const std::string path = options.gallery.empty() ? DefaultGalleryPath() : options.gallery;
    bool saved = gallery.SavePng(path);
    std::printf("\ngallery: %s%s\n", HostPath(path).c_str(), saved ? "" : " (NOT saved)");
    if (options.images.empty()) return saved;

    CreateDirectoryA(options.images.c_str(), nullptr);
    for (const auto& [family, windows] : g.areas) {
        // A family whose windows lie apart (tabs at the top, the status bar
        // at the bottom) gets one piece per window, stacked.
        const RECT together = AreaOf(dialog, windows);
        std::vector<RECT> pieces{together};
        if (together.bottom - together.top > 260) {
            pieces.clear();
            for (const HWND window : windows) pieces.push_back(AreaOf(dialog, {window}));
        }
        const std::string file = options.images + "\\" + family + ".png";
        const bool ok = gallery.Crop(pieces).SavePng(file);
        std::printf("%s: %s%s\n", family.c_str(), HostPath(file).c_str(), ok ? "" : " (NOT saved)");
        saved = saved && ok;
    }
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = ParseOptions(argc, argv);
        const OleScope ole;  // the image codecs are COM objects
        HostDouble host(options.dll);
        const auto constants = ListTable(host);

        DialogFixture dialog(kDialogWidth + 2 * GetSystemMetrics(SM_CXFIXEDFRAME),
                             kDialogHeight + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFIXEDFRAME));
        SetWindowTextA(dialog.hwnd(), "vantor44i gallery");
        host.SetOwner(dialog.hwnd());
        const GalleryFiles files;
        Script script(host);
        Gallery gallery;
        PlayScript(host, dialog, constants, script, gallery, files);
        DialogFixture::Pump();

        const bool saved = SavePictures(dialog.hwnd(), gallery, options);
        std::printf("\n%d mismatch%s\n", script.failures(), script.failures() == 1 ? "" : "es");
        return script.failures() == 0 && saved ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo: %s\n", e.what());
        return 1;
    }
}
