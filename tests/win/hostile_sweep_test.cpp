// Every script function through the real exports with the arguments a
// careless or hostile script can give: handles 0, -1, 0x12345678, a
// destroyed window, a window of another class and 0xFFFF (the broadcast
// handle); texts empty, of 100 KB and of the bytes 0x80-0xFF; integers 0,
// -1, INT_MIN and INT_MAX; optional arguments given and not; too few
// arguments. Each call must return, deliver exactly one result (or, for
// the four functions documented to end without one, none), hand back what
// the host's callback answered, and send nothing to every window at once.
// A crash ends the program with the call that caused it on the screen.
#include "tests/host/host_double.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace vantor;
using namespace vantor::testing;

namespace {

// The functions that end without a result: what they return instead, and
// whether they may also deliver one (ilAddImage does when its file is there).
struct NoResult {
    const char* name;
    std::int32_t returned;
    bool mayDeliver;
};
constexpr NoResult kNoResult[] = {
    {"lvsetitemtext", 0, false},
    {"lvsetitemtextcolor", 0, false},
    {"trremovebuddy", 1, false},
    {"iladdimage", 0, true},
};

// What the call being made is, for the crash report.
std::string currentCall;

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
    std::fprintf(stderr, "\nCRASH (exception 0x%08lx at %p) in %s\n",
                 static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                 info->ExceptionRecord->ExceptionAddress, currentCall.c_str());
    std::fflush(stderr);
    ExitProcess(3);
}

// A hidden top-level window: anything sent to HWND_BROADCAST reaches it.
// Counts the control messages (edit, combo box, list box and WM_USER and
// above) and the window messages that change a window.
class Canary {
public:
    Canary() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VantorSweepCanary";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(0, wc.lpszClassName, "canary", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    }
    ~Canary() { DestroyWindow(window_); }
    static inline int received = 0;

private:
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        const bool control = (m >= 0x00B0 && m <= 0x00DF) || (m >= 0x0140 && m <= 0x016F) ||
                             (m >= 0x0180 && m <= 0x01AF) || (m >= WM_USER && m < 0x8000);
        const bool changing = m == WM_SETTEXT || m == WM_SETFONT || m == WM_SETREDRAW || m == WM_CLOSE ||
                              m == WM_ENABLE || m == WM_SETICON;
        if (control || changing) ++received;
        return DefWindowProcA(w, m, wp, lp);
    }
    HWND window_ = nullptr;
};

struct Tally {
    int calls = 0;
    int missing = 0;     // neither one result nor the documented no-result
    int broadcasts = 0;  // calls that sent messages to every window
};

class Sweep {
public:
    Sweep(HostDouble& host, DialogFixture& dialog) : host_(host), dialog_(dialog) {
        LoadLibraryA("Msftedit.dll");
        const HWND gone = dialog_.AddChild("STATIC", 0);
        DestroyWindow(gone);
        destroyed_ = Value(gone);
        integers_ = {0, -1, 0x12345678, destroyed_, 0, 0xFFFF, INT_MIN, INT_MAX};
        texts_ = {"", std::string(100 * 1024, '7'), HighBytes()};
    }

    // Every hostile call of function index; returns its tally.
    Tally Run(int index) {
        alignas(4) unsigned char storage[64] = {};
        auto& record = *reinterpret_cast<QueryRecord*>(storage);
        host_.Dispatch(-2, &record, index);
        name_ = record.name;
        types_.clear();
        const int total = record.counts.required + record.counts.optional;
        for (int k = 0; k < total; ++k) {
            const std::uint32_t word = k < 8 ? record.typesLow : record.typesHigh;  // 4 bits a position
            types_.push_back((word >> (4 * (k % 8)) & 0xF) == 1 ? 'S' : 'I');
        }
        tally_ = {};

        const std::vector<int> counts =
            record.counts.optional > 0 ? std::vector<int>{record.counts.required, total} : std::vector<int>{total};
        // One argument hostile, the others ordinary.
        for (int k = 0; k < total; ++k) {
            if (types_[k] == 'S') {
                for (const std::string& t : texts_) Call(total, [&](std::vector<Arg>& a) { a[k] = t; });
            } else {
                for (std::size_t v = 0; v < integers_.size(); ++v)
                    Call(total, [&](std::vector<Arg>& a) { a[k] = Integer(v); });
            }
        }
        // Every argument hostile at once, with and without the optional ones.
        const bool anyText = std::find(types_.begin(), types_.end(), 'S') != types_.end();
        const bool anyInteger = std::find(types_.begin(), types_.end(), 'I') != types_.end();
        for (const int count : counts) {
            for (std::size_t v = 0; v < (anyInteger ? integers_.size() : 1); ++v) {
                for (const std::string& t : anyText ? texts_ : std::vector<std::string>{""}) {
                    Call(count, [&](std::vector<Arg>& a) {
                        for (int k = 0; k < count; ++k) a[k] = types_[k] == 'S' ? Arg(t) : Arg(Integer(v));
                    });
                }
            }
        }
        // Too few arguments: none, then one short of the required ones at a time.
        for (int count = 0; count < record.counts.required; ++count) Call(count, [](std::vector<Arg>&) {});
        if (record.counts.optional > 0) Call(record.counts.required, [](std::vector<Arg>&) {});

        CleanUp();
        return tally_;
    }

    const std::string& name() const { return name_; }
    const std::vector<std::string>& offences() const { return offences_; }

private:
    static std::int32_t Value(const void* handle) {
        return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(handle));
    }
    static std::string HighBytes() {
        std::string text;
        for (int b = 0x80; b <= 0xFF; ++b) text += static_cast<char>(b);
        return text;
    }

    // Hostile integer v; the window of another class is made when asked for,
    // since a call may have destroyed the last one.
    std::int32_t Integer(std::size_t v) {
        if (v != 4) return integers_[v];
        if (!IsWindow(other_)) other_ = dialog_.AddChild("SCROLLBAR", 0, 0, 300, 300, 80, 20);
        return Value(other_);
    }

    // The family's own kind of window for argument 1 (or the dialog for the
    // functions that create controls on it), made again when a call
    // destroyed it.
    std::int32_t OwnWindow() {
        const std::string& n = name_;
        const std::string prefix = n.substr(0, 2);
        if (n.find("create") != std::string::npos || prefix == "ev" || prefix == "co" || n == "trsetbuddy" ||
            n == "imembedimage")
            return Value(dialog_.hwnd());
        if (prefix == "il") return Value(ImageList());
        if (IsWindow(own_) && ownPrefix_ == prefix) return Value(own_);
        if (IsWindow(own_)) DestroyWindow(own_);
        ownPrefix_ = prefix;
        static const std::map<std::string, std::pair<const char*, DWORD>> kClasses = {
            {"an", {ANIMATE_CLASSA, 0}}, {"cb", {"COMBOBOX", CBS_DROPDOWN}}, {"eb", {"EDIT", 0}},
            {"ip", {WC_IPADDRESSA, 0}},  {"lb", {"LISTBOX", LBS_NOTIFY}},    {"lv", {WC_LISTVIEWA, LVS_REPORT}},
            {"pb", {"BUTTON", 0}},       {"pg", {PROGRESS_CLASSA, 0}},       {"sb", {STATUSCLASSNAMEA, 0}},
            {"ta", {WC_TABCONTROLA, 0}}, {"tr", {TRACKBAR_CLASSA, 0}},       {"rt", {"RICHEDIT50W", ES_MULTILINE}},
            {"tv", {WC_TREEVIEWA, 0}},
        };
        const auto found = kClasses.find(prefix);
        if (prefix == "tt") {
            own_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, 0, 0, 0, 0, dialog_.hwnd(), nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        } else {
            own_ = found != kClasses.end() ? dialog_.AddChild(found->second.first, found->second.second, 101)
                                           : dialog_.AddChild("LISTBOX", 0, 101);
        }
        if (prefix == "lv") {
            LVCOLUMNA column{};
            column.mask = LVCF_WIDTH;
            column.cx = 60;
            SendMessageA(own_, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        }
        return Value(own_);
    }

    HIMAGELIST ImageList() {
        // ilDeleteImgList may have ended the last one: a fresh list per call.
        if (images_ != nullptr) ImageList_Destroy(images_);
        images_ = ImageList_Create(16, 16, ILC_COLOR24, 2, 2);
        return images_;
    }

    // The ordinary arguments: the family's window first, a second window
    // where a function takes one, 1 for other integers and "1" for texts.
    std::vector<Arg> Ordinary() {
        std::vector<Arg> args;
        for (std::size_t k = 0; k < types_.size(); ++k) {
            if (types_[k] == 'S') args.emplace_back("1");
            else if (k == 0) args.emplace_back(OwnWindow());
            else args.emplace_back(1);
        }
        if (name_ == "trsetbuddy") args[1] = Value(dialog_.AddChild(TRACKBAR_CLASSA, 0));
        if (name_ == "ttaddtooltip") args[1] = Value(dialog_.AddChild("BUTTON", 0));
        if (name_ == "lvsetimagelist") args[1] = Value(ImageList());
        return args;
    }

    void Call(int count, const std::function<void(std::vector<Arg>&)>& hostile) {
        std::vector<Arg> args = Ordinary();
        hostile(args);
        args.resize(static_cast<std::size_t>(count), Arg(0));
        currentCall = name_ + "(" + Describe(args) + ")";
        const int before = Canary::received;
        const CallResult r = host_.Call(name_, args);
        DeleteImageListMade(r);
        DialogFixture::Pump();
        ++tally_.calls;
        if (Canary::received != before) {
            ++tally_.broadcasts;
            Note("sent to every window: " + currentCall);
        }
        if (!Expected(r)) {
            ++tally_.missing;
            Note(currentCall + ": " + std::to_string(r.callbacks) + " results, returned " + std::to_string(r.returned));
        }
    }

    // A list ilCreateImgList gives is the script's to delete, and the sweep
    // deletes it at once: 0x12345678 images, or images 0x12345678 pixels
    // wide or high, take 600 MB each of the 2 GB the process has, and what
    // the sweep kept would starve the suites after it.
    void DeleteImageListMade(const CallResult& r) const {
        if (name_ == "ilcreateimglist" && r.callbacks == 1 && r.status == 0 && r.integer() != 0)
            ImageList_Destroy(reinterpret_cast<HIMAGELIST>(static_cast<std::intptr_t>(r.integer())));
    }

    bool Expected(const CallResult& r) const {
        for (const NoResult& n : kNoResult) {
            if (name_ != n.name) continue;
            if (r.callbacks == 0) return r.returned == n.returned;
            return n.mayDeliver && r.callbacks == 1 && r.returned == 101;
        }
        return r.callbacks == 1 && r.returned == 101;
    }

    void Note(const std::string& offence) {
        if (offences_.size() < 40) offences_.push_back(offence);
    }

    std::string Describe(const std::vector<Arg>& args) const {
        std::string text;
        for (std::size_t k = 0; k < args.size(); ++k) {
            if (k > 0) text += ", ";
            if (!args[k].isText()) {
                const std::int32_t v = args[k].integer();
                text += v == destroyed_                ? "destroyed window"
                        : v == Value(other_) && v != 0 ? "other window"
                                                       : std::to_string(v);
            } else if (args[k].text().size() > 20) {
                text += "text of " + std::to_string(args[k].text().size()) + " bytes";
            } else {
                text += "\"" + (args[k].text()[0] & 0x80 ? std::string("bytes 0x80-0xFF") : args[k].text()) + "\"";
            }
        }
        return text;
    }

    // Windows the calls created (controls, buddies, tooltips) go after each function.
    void CleanUp() {
        std::vector<HWND> made;
        EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&made));
        for (const HWND w : made)
            if (GetWindow(w, GW_OWNER) == dialog_.hwnd()) DestroyWindow(w);
        for (HWND child = GetWindow(dialog_.hwnd(), GW_CHILD); child != nullptr;) {
            const HWND next = GetWindow(child, GW_HWNDNEXT);
            if (child != own_ && child != other_) DestroyWindow(child);
            child = next;
        }
        own_ = IsWindow(own_) ? own_ : nullptr;
    }

    static BOOL CALLBACK Collect(HWND w, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
        return TRUE;
    }

    HostDouble& host_;
    DialogFixture& dialog_;
    std::int32_t destroyed_ = 0;
    std::vector<std::int32_t> integers_;
    std::vector<std::string> texts_;
    std::string name_, ownPrefix_;
    std::vector<char> types_;
    HWND own_ = nullptr, other_ = nullptr;
    HIMAGELIST images_ = nullptr;
    Tally tally_;
    std::vector<std::string> offences_;
};

// A folder of its own as the current directory: texts that are file names
// (rtSaveFileRTF) write there, and it goes afterwards.
class ScratchDirectory {
public:
    ScratchDirectory() {
        char temp[MAX_PATH] = {}, old[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        GetCurrentDirectoryA(MAX_PATH, old);
        old_ = old;
        folder_ = std::string(temp) + "vantor-sweep-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        SetCurrentDirectoryA(folder_.c_str());
    }
    ~ScratchDirectory() {
        SetCurrentDirectoryA(old_.c_str());
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((folder_ + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do DeleteFileA((folder_ + "\\" + found.cFileName).c_str());
            while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder_.c_str());
    }

private:
    std::string old_, folder_;
};

// The memory the process has committed for itself (heaps, bitmaps' bits),
// in MB: the 32-bit address space walked region by region.
long PrivateMegabytes() {
    MEMORY_BASIC_INFORMATION region{};
    unsigned long long bytes = 0;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) bytes += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return static_cast<long>(bytes >> 20);
}

}  // namespace

TEST(HostileSweep, EveryFunctionEveryHostileArgument) {
    const long megabytesBefore = PrivateMegabytes();
    ScratchDirectory scratch;
    HostDouble host;
    DialogFixture dialog;
    host.SetOwner(dialog.hwnd());
    Canary canary;
    const auto previousFilter = SetUnhandledExceptionFilter(&ReportCrash);
    const auto start = std::chrono::steady_clock::now();

    Sweep sweep(host, dialog);
    std::map<std::string, Tally> families;
    Tally total;
    for (int i = 0; i < 130; ++i) {
        const Tally t = sweep.Run(i);
        Tally& family = families[sweep.name().substr(0, 2)];
        for (Tally* sum : {&family, &total}) {
            sum->calls += t.calls;
            sum->missing += t.missing;
            sum->broadcasts += t.broadcasts;
        }
        host.ClearRecords();
    }
    SetUnhandledExceptionFilter(previousFilter);
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();

    std::printf("\n%-8s %8s %8s %8s %11s\n", "family", "calls", "crashes", "missing", "broadcasts");
    for (const auto& [family, t] : families)
        std::printf("%-8s %8d %8d %8d %11d\n", family.c_str(), t.calls, 0, t.missing, t.broadcasts);
    std::printf("%-8s %8d %8d %8d %11d   (%lld s; a crash ends the run at once)\n", "all", total.calls, 0,
                total.missing, total.broadcasts, static_cast<long long>(seconds));
    for (const std::string& offence : sweep.offences()) std::printf("  %s\n", offence.c_str());

    EXPECT_GT(total.calls, 130 * 10);
    EXPECT_EQ(total.missing, 0);
    EXPECT_EQ(total.broadcasts, 0);
    // What the calls made (windows, image lists) went with them, so the
    // suites after this one have the address space they would have alone.
    // The platform's rich-text box keeps about 120 MB of its heap after the
    // 100 KB texts; one image list left behind is 600 MB.
    EXPECT_LT(PrivateMegabytes() - megabytesBefore, 300) << "MB the sweep left committed";
}
