// Loads the extender the way the interpreter does, negotiates, lists the
// functions and constants it adds to the script language, then plays a short
// script on a dialog: one line per call with what came back. Read-backs the
// script expects are checked; the exit code is 1 when one differs.
//
//     vantor_demo [DLL] [--screenshot FILE.bmp]
#include "host/owners.h"
#include "tests/host/host_double.h"

#include <commctrl.h>
#include <richedit.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace vantor;
using namespace vantor::testing;

namespace {

struct Options {
    std::string dll = HostDouble::DefaultDllPath();
    std::string screenshot;  // empty: none
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--screenshot") {
            if (++i == argc) throw std::invalid_argument("--screenshot needs a file name");
            options.screenshot = argv[i];
        } else if (arg.starts_with("--")) {
            throw std::invalid_argument("unknown option " + arg);
        } else {
            options.dll = arg;
        }
    }
    return options;
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
        std::printf("%4d  %-22s %d required, %d optional  %s\n", i, r.name, r.counts.required,
                    r.counts.optional, types);
    }
    return constants;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) out += c == '\t' ? std::string("\\t") : std::string(1, c);
    return out + '"';
}

// Plays script calls through the host, prints each with what came back and
// counts the answers that differ from what the script expects.
class Script {
public:
    explicit Script(HostDouble& host) : host_(host) {}

    // Shows the window by this name in the printed calls.
    void Name(HWND window, std::string name) { names_[Handle(window)] = std::move(name); }

    // What came back, as compared with expectations: the text of a string
    // result, the number of an integer one, "" when nothing was delivered.
    static std::string Value(const CallResult& r) {
        if (!r.delivered()) return "";
        return r.cell.kind == kStringCell ? r.text : std::to_string(r.integer());
    }

    CallResult Run(const std::string& function, const std::vector<Arg>& args,
                   std::optional<std::string> expected = std::nullopt) {
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
        return r;
    }

    // A creation call: the new control goes by name from now on.
    HWND Create(const std::string& name, const std::string& function,
                const std::vector<Arg>& args) {
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
    static std::int32_t Handle(HWND window) {
        return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window));
    }

    std::string Shown(const Arg& arg) const {
        return arg.isText() ? Quoted(arg.text()) : NameOf(arg.integer());
    }

    void Report(const std::string& call, const std::string& got, bool ok,
                const std::string& expected) {
        std::printf("  %-46s -> %s%s\n", call.c_str(), got.c_str(),
                    ok ? "" : ("   FAILED, expected " + expected).c_str());
        if (!ok) ++failures_;
    }

    HostDouble& host_;
    std::map<std::int32_t, std::string> names_;
    int failures_ = 0;
};

std::string ColourText(COLORREF c) {
    return std::to_string(GetRValue(c)) + '|' + std::to_string(GetGValue(c)) + '|' +
           std::to_string(GetBValue(c));
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

std::string StatusText(HWND bar, int part) {
    char text[256] = {};
    SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return text;
}

// Saves what the screen shows of the window as a 24-bit bitmap file.
bool SaveScreenshot(HWND window, const std::string& path) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DialogFixture::Pump();
    RECT frame{};
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // bottom-up, as a file stores it
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const WindowDC screen(nullptr);
    void* bits = nullptr;
    const UniqueBitmap bitmap(CreateDIBSection(screen.dc(), reinterpret_cast<BITMAPINFO*>(&info),
                                               DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueResource<HDC, &DeleteDC> memory(CreateCompatibleDC(screen.dc()));
    if (!bitmap || !memory) return false;
    const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    const bool copied =
        BitBlt(memory.get(), 0, 0, width, height, screen.dc(), frame.left, frame.top, SRCCOPY) != 0;
    SelectObject(memory.get(), previous);
    GdiFlush();
    if (!copied) return false;

    const DWORD size = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + size;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(static_cast<const char*>(bits), size);
    return out.good();
}

// The script: every control family once, on one dialog.
void PlayScript(HostDouble& host, DialogFixture& dialog,
                const std::map<std::string, std::int32_t>& constants, Script& s) {
    const HWND d = dialog.hwnd();
    s.Name(d, "dialog");

    Script::Section("rich text");
    const HWND rich = s.Create("rich", "rtCreate", {d, 10, 10, 300, 90, 0});
    // Wine's default format reports bold for plain text, so rtBold would
    // toggle it off: the dialog states the plain format first.
    SetPlainFormat(rich);
    s.Check("explicit plain format (EM_SETCHARFORMAT)", SelectionFormat(rich).substr(0, 5),
            "plain");
    s.Run("rtSetText", {rich, "Bold and dark red, set by the script."}, "1");
    s.Run("rtSetTextColor", {rich, "160|0|0"}, "1");  // selects all of it
    s.Run("rtBold", {rich}, "1");
    s.Check("selection format", SelectionFormat(rich), "bold 160|0|0");

    Script::Section("tree view, three levels");
    const HWND tree = s.Create("tree", "tvCreateTreeView", {d, 320, 10, 300, 150, 0, 0, 0, 0, 0});
    const std::pair<const char*, int> items[] = {{"Fruit", 1}, {"Apples", 2},     {"Cox", 3},
                                                 {"Pears", 2}, {"Vegetables", 1}, {"Leeks", 2}};
    int added = 0;
    for (const auto& [text, level] : items)
        s.Run("tvAdd", {tree, text, level}, std::to_string(++added));

    Script::Section("tab control");
    const HWND tabs = s.Create("tabs", "taCreateTab", {d, 10, 110, 300, 50, 0});
    const char* const labels[] = {"General", "Details", "About"};
    for (int tab = 1; const char* label : labels) {
        s.Run("taAddTab", {tabs, tab, label}, std::to_string(tab - 1));
        ++tab;
    }
    s.Run("taSetTabSel", {tabs, 2}, "0");
    s.Run("taGetTabSel", {tabs}, "2");

    Script::Section("progress bar");
    const HWND bar = s.Create("progress", "pgCreateProgressBar", {d, 10, 170, 300, 18, 0});
    s.Run("pgSetRange", {bar, 0, 100});
    s.Run("pgSetStep", {bar, 25}, "10");
    for (const char* before : {"0", "25", "50"}) s.Run("pgStep", {bar, 0}, before);
    s.Check("PBM_GETPOS", std::to_string(SendMessageA(bar, PBM_GETPOS, 0, 0)), "75");

    Script::Section("trackbar with buddies");
    const HWND track = s.Create("track", "trCreateTrackBar", {d, 60, 200, 200, 30, 0});
    s.Run("trSetRangeMax", {track, 50}, "1");
    s.Run("trSetPos", {track, 20}, "1");
    s.Run("trSetBuddy", {d, track, 40, 20, "Low", "High"}, "1");
    s.Run("trGetTrackInfo", {track, 3}, "20");

    Script::Section("status bar");
    const HWND status = s.Create("status", "sbCreateStatusBar", {d, "Ready"});
    s.Run("sbSetParts", {status, "200 420 -1"}, "3");
    s.Run("sbSetText", {status, 2, "4 rows, 2 checked"}, "1");
    s.Run("sbSetText", {status, 3, "vantor44i"}, "1");
    s.Check("SB_GETTEXT of the parts",
            StatusText(status, 0) + " | " + StatusText(status, 1) + " | " + StatusText(status, 2),
            "Ready | 4 rows, 2 checked | vantor44i");

    Script::Section("IP address");
    const HWND ip = s.Create("ip", "ipCreateIP", {d, 320, 170, 160, 24, 0});
    s.Run("ipSetIP", {ip, "192.168.10.20"});
    s.Run("ipGetIP", {ip}, "192.168.10.20");

    Script::Section("list view of the dialog (report view, check boxes)");
    const HWND list =
        dialog.AddChild(WC_LISTVIEWA, LVS_REPORT | WS_BORDER | WS_TABSTOP, 110, 320, 205, 300, 120);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    s.Name(list, "list");
    s.Run("lvInsertColumn", {list, 1, "Name"}, "0");
    s.Run("lvInsertColumn", {list, 2, "Size"}, "1");
    const std::pair<const char*, const char*> rows[] = {
        {"alpha", "12 KB"}, {"beta", "3 KB"}, {"gamma", "40 KB"}, {"delta", "7 KB"}};
    for (int row = 1; const auto& [name, size] : rows) {
        s.Run("lvInsertItem", {list, row, name}, std::to_string(row - 1));
        s.Run("lvSetItemText", {list, row, 2, size}, "");  // ends without a result
        ++row;
    }
    // Each new last column filled what was left: give the first its width
    // and let the last fill the rest again (-2, LVSCW_AUTOSIZE_USEHEADER).
    s.Run("lvSetColumnWidth", {list, 1, 140}, "1");
    s.Run("lvSetColumnWidth", {list, 2, -2}, "1");
    s.Run("lvSetItemCheck", {list, 1, 1}, "1");
    s.Run("lvSetItemCheck", {list, 3, 1}, "1");
    s.Run("lvGetItemsChecked", {list}, "alpha\tgamma");

    Script::Section("edit box masked as ##/##/####, typing 12345");
    const HWND edit = dialog.AddChild("EDIT", WS_BORDER | WS_TABSTOP, 120, 10, 240, 120, 24);
    s.Name(edit, "edit");
    SetFocus(edit);  // the mask reads the caret of the focused box
    const std::pair<char, const char*> typed[] = {
        {'1', "1"}, {'2', "12/"}, {'3', "12/3"}, {'4', "12/34/"}, {'5', "12/34/5"}};
    for (const auto& [key, text] : typed) {
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(key), 1);
        s.Run("ebMask", {edit, "##/##/####"}, text);
    }

    Script::Section("dialog events: focus moves from the edit box to the list view");
    const std::int32_t onEnter = constants.at("@evdeonenter"), onExit = constants.at("@evdeonexit");
    s.Run("evDialogProcOptions", {d, onEnter, 1}, "1");
    s.Run("evDialogProcOptions", {d, onExit, 1}, "1");
    SetFocus(list);
    s.Run("evProcessEvents", {});
    const auto published = [&](const char* name) {
        const auto found = host.variables.find(name);
        return found == host.variables.end() ? std::string("unset")
                                             : s.NameOf(found->second.integer);
    };
    s.Check("published DMsg, DCHwnd, DCtrl",
            published("DMsg") + ", " + published("DCHwnd") + ", " + published("DCtrl"),
            std::to_string(onExit) + ", edit, 21");
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = ParseOptions(argc, argv);
        HostDouble host(options.dll);
        const auto constants = ListTable(host);

        DialogFixture dialog(640, 400);
        host.SetOwner(dialog.hwnd());
        Script script(host);
        PlayScript(host, dialog, constants, script);
        DialogFixture::Pump();

        if (!options.screenshot.empty()) {
            const bool saved = SaveScreenshot(dialog.hwnd(), options.screenshot);
            std::printf("\nscreenshot %s: %s\n", options.screenshot.c_str(),
                        saved ? "saved" : "FAILED");
            if (!saved) return 1;
        }
        std::printf("\n%d mismatch%s\n", script.failures(), script.failures() == 1 ? "" : "es");
        return script.failures() == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo: %s\n", e.what());
        return 1;
    }
}
