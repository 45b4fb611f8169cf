// The soak: long runs of the calls a script repeats for as long as its
// dialog is open, with the process's memory (private bytes, or the bytes in use
// in its heaps where the platform reports none), kernel handles, GDI and USER
// objects and the thread's windows counted before and after each run. A
// count that grows beyond noise is a leak; the program then ends with 1.
//
//   soak.exe [--polls N] [--masks N] [--cycles N] [--images N] [--families A,B,...]
//
// defaults: 1,000,000 evProcessEvents polls, 100,000 ebMask calls, 10,000
// create/fill/destroy cycles of each control family, 10,000 image-list and
// icon cycles. --families soaks only the families whose names begin with
// one of the given words (for example "tv,rt,list"); 0 for a count skips
// that run. scripts/soak.sh builds and runs it under Wine.
#include "tests/host/host_double.h"

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace vantor::testing;

namespace {

struct Counts {
    long long privateKb = 0;
    long long handles = 0;
    long long gdi = 0;
    long long user = 0;
    long long windows = 0;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<long long*>(count);
    EnumChildWindows(window, &CountWindow, count);
    return TRUE;
}

// The bytes in use in every heap of the process (the C runtime's, the
// platform's and the library's allocations), walked block by block: Wine
// 8 reports no private usage, handle count or GUI object counts, but it
// walks heaps.
long long HeapBytesInUse() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    long long bytes = 0;
    for (const HANDLE heap : heaps) {
        if (!HeapLock(heap)) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
        }
        HeapUnlock(heap);
    }
    return bytes;
}

Counts Measure() {
    Counts c;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        c.privateKb = static_cast<long long>(memory.PrivateUsage / 1024);
    if (c.privateKb == 0) c.privateKb = HeapBytesInUse() / 1024;  // where the platform reports none
    DWORD handles = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &handles)) c.handles = handles;
    c.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    c.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&c.windows));
    return c;
}

// Growth allowed as noise: the heap keeps some of what was freed, and a
// handle or two comes and goes with the system's own caches.
constexpr long long kMemoryNoiseKb = 1024;
constexpr long long kObjectNoise = 2;

bool gdiCounted = false, userCounted = false;

struct Phase {
    const char* name;
    long long iterations;
};

bool Report(const Phase& phase, const Counts& before, const Counts& after, double seconds) {
    const bool grew = after.privateKb - before.privateKb > kMemoryNoiseKb ||
                      after.handles - before.handles > kObjectNoise ||
                      (gdiCounted && after.gdi - before.gdi > kObjectNoise) ||
                      (userCounted && after.user - before.user > kObjectNoise) || after.windows != before.windows;
    const auto objects = [](bool counted, long long b, long long a) {
        char text[32];
        if (counted) std::snprintf(text, sizeof text, "%lld>%lld", b, a);
        else std::snprintf(text, sizeof text, "-");
        return std::string(text);
    };
    std::printf("%-22s %10lld %8.1f %10lld %10lld %9lld>%-5lld %9s %9s %6lld>%-4lld %s\n", phase.name, phase.iterations,
                seconds, before.privateKb, after.privateKb, before.handles, after.handles,
                objects(gdiCounted, before.gdi, after.gdi).c_str(),
                objects(userCounted, before.user, after.user).c_str(), before.windows, after.windows,
                grew ? "GREW" : "ok");
    std::fflush(stdout);
    return !grew;
}

// Runs body iterations times: a first tenth (at least one) warms caches up
// and is not counted; the rest is measured.
bool Soak(const Phase& phase, HostDouble& host, const std::function<void(long long)>& body) {
    if (phase.iterations <= 0) return true;
    const long long warm = std::max(1LL, phase.iterations / 10);
    for (long long i = 0; i < warm; ++i) body(i);
    host.ClearRecords();
    const Counts before = Measure();
    const auto start = std::chrono::steady_clock::now();
    for (long long i = warm; i < phase.iterations; ++i) {
        body(i);
        if (i % 1000 == 0) host.ClearRecords();  // the double's own records are not the extender's
    }
    host.ClearRecords();
    DialogFixture::Pump();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return Report(phase, before, Measure(), seconds);
}

HWND Window(const CallResult& r) { return reinterpret_cast<HWND>(static_cast<std::intptr_t>(r.integer())); }

const char* TextOption(int argc, char** argv, const char* name) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return argv[i + 1];
    return nullptr;
}

long long Option(int argc, char** argv, const char* name, long long fallback) {
    const char* value = TextOption(argc, argv, name);
    return value != nullptr ? std::atoll(value) : fallback;
}

// Whether the family is chosen by a comma-separated list of name beginnings
// (no list: every family).
bool Chosen(const char* list, const std::string& family) {
    if (list == nullptr) return true;
    std::string words = list;
    for (std::size_t start = 0; start <= words.size();) {
        const std::size_t end = std::min(words.find(',', start), words.size());
        const std::string word = words.substr(start, end - start);
        if (!word.empty() && family.compare(0, word.size(), word) == 0) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const long long polls = Option(argc, argv, "--polls", 1000000);
    const long long masks = Option(argc, argv, "--masks", 100000);
    const long long cycles = Option(argc, argv, "--cycles", 10000);
    const long long images = Option(argc, argv, "--images", 10000);
    const char* const chosen = TextOption(argc, argv, "--families");

    LoadLibraryA("Msftedit.dll");
    HostDouble host;
    DialogFixture dialog(800, 600);
    host.SetOwner(dialog.hwnd());
    TempFile bitmap(".bmp"), icon(".ico");
    bitmap.Write(BitmapFileBytes(32, 16, RGB(10, 200, 30)));
    icon.Write(IconFileBytes());

    const Counts first = Measure();
    gdiCounted = first.gdi > 0;
    userCounted = first.user > 0;
    std::printf("%-22s %10s %8s %10s %10s %15s %9s %9s %11s\n", "phase", "iterations", "seconds", "memory KB",
                "after KB", "handles", "GDI", "USER", "windows");
    bool clean = true;

    // Polls: focus moving between two watched edits and a key going down
    // and up now and then, so that events are raised and published.
    {
        const HWND a = dialog.AddChild("EDIT", WS_TABSTOP | WS_BORDER, 101, 10, 10);
        const HWND b = dialog.AddChild("EDIT", WS_TABSTOP | WS_BORDER, 102, 10, 40);
        SetFocus(a);
        for (const std::int32_t event : {-111, -222, -333, -444})
            host.Call("evDialogProcOptions", {dialog.hwnd(), event, 1});
        BYTE keys[256] = {};
        clean &= Soak({"evProcessEvents", polls}, host, [&](long long i) {
            if (i % 500 == 0) SetFocus(i % 1000 == 0 ? a : b);
            if (i % 700 == 0) {
                keys['A'] = (i % 1400 == 0) ? 0x80 : 0;
                SetKeyboardState(keys);
            }
            host.Call("evProcessEvents");
        });
        host.Call("evDialogProcOptions", {dialog.hwnd(), -111, 0});
        host.Call("evDialogProcOptions", {dialog.hwnd(), -222, 0});
        host.Call("evDialogProcOptions", {dialog.hwnd(), -333, 0});
        DestroyWindow(a);
        DestroyWindow(b);
    }

    // Masks: a phone mask over changing text, and cleaning it.
    {
        const HWND edit = dialog.AddChild("EDIT", WS_BORDER, 103, 10, 10);
        SetFocus(edit);
        const char* texts[] = {"5551234567", "555", "(555) 123-4567", "12a34", ""};
        clean &= Soak({"ebMask", masks}, host, [&](long long i) {
            SetWindowTextA(edit, texts[i % 5]);
            host.Call("ebMask", {edit, "(999) 999-9999"});
            if (i % 10 == 0) host.Call("ebMaskClean", {edit, "(999) 999-9999", 1});
        });
        DestroyWindow(edit);
    }

    // Each family's creator, some filling, and the control removed again.
    const HWND parent = dialog.hwnd();
    struct Family {
        const char* name;
        std::function<void(long long)> cycle;
    };
    const auto created = [&](const char* creator, std::vector<Arg> args) { return Window(host.Call(creator, args)); };
    const auto remove = [&](HWND w) { host.Call("RemoveControl", {w}); };
    const Family families[] = {
        {"anCreateAVI",
         [&](long long) {
             const HWND w = created("anCreateAVI", {parent, 10, 10, 100, 50, 0});
             host.Call("anOpenAVI", {w, bitmap.path()});
             host.Call("anCloseAVI", {w});
             remove(w);
         }},
        {"ipCreateIP",
         [&](long long) {
             const HWND w = created("ipCreateIP", {parent, 10, 10, 160, 24, 0});
             host.Call("ipSetIP", {w, "10.1.2.3"});
             host.Call("ipGetIP", {w});
             remove(w);
         }},
        {"pgCreateProgressBar",
         [&](long long) {
             const HWND w = created("pgCreateProgressBar", {parent, 10, 10, 200, 20, 0});
             host.Call("pgSetRange", {w, 0, 100});
             host.Call("pgSetPosition", {w, 40});
             host.Call("pgSetColor", {w, "10|20|30", 1});
             remove(w);
         }},
        {"sbCreateStatusBar",
         [&](long long) {
             const HWND w = created("sbCreateStatusBar", {parent, "ready"});
             host.Call("sbSetParts", {w, "100 200 -1"});
             host.Call("sbSetText", {w, 2, "two"});
             host.Call("sbSetIcon", {w, 1, icon.path()});
             host.Call("sbSetBkColor", {w, "200|200|200"});
             remove(w);
         }},
        {"taCreateTab",
         [&](long long) {
             const HWND w = created("taCreateTab", {parent, 10, 10, 300, 200, 0});
             host.Call("taAddTab", {w, 1, "one"});
             host.Call("taAddTab", {w, 2, "two"});
             host.Call("taSetBkColor", {w, 200, 100, 50});
             remove(w);
         }},
        {"trCreateTrackBar",
         [&](long long) {
             const HWND w = created("trCreateTrackBar", {parent, 10, 10, 200, 30, 0});
             host.Call("trSetBuddy", {parent, w, 40, 20, "min", "max"});
             host.Call("trSetPos", {w, "5"});
             host.Call("trRemoveBuddy", {w});
             remove(w);
         }},
        {"ttCreateToolTip",
         [&](long long) {
             const HWND button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, parent,
                                                 nullptr, GetModuleHandleA(nullptr), nullptr);
             const HWND w = created("ttCreateToolTip", {parent});
             host.Call("ttAddToolTip", {w, button, "tip"});
             host.Call("ttSetTitle", {w, 1, "title"});
             host.Call("ttDeleteToolTip", {w, button});
             remove(w);
             DestroyWindow(button);
         }},
        {"rtCreate",
         [&](long long) {
             const HWND w = created("rtCreate", {parent, 10, 10, 300, 200, 0});
             host.Call("rtSetText", {w, "some text"});
             host.Call("rtBold", {w});
             host.Call("rtSetTextColor", {w, "200|0|0"});
             remove(w);
         }},
        {"tvCreateTreeView",
         [&](long long) {
             const HWND w = created("tvCreateTreeView", {parent, 10, 10, 200, 200, 0, 0, 0, 0, 0});
             host.Call("tvAdd", {w, "root", 0});
             host.Call("tvAdd", {w, "child", 1});
             host.Call("tvDelete", {w});
             remove(w);
         }},
        {"list view (dialog's)",
         [&](long long) {
             const HWND w = dialog.AddChild(WC_LISTVIEWA, LVS_REPORT, 110, 10, 10, 300, 200);
             host.Call("lvInsertColumn", {w, 1, "col"});
             host.Call("lvInsertItem", {w, 1, "row"});
             host.Call("lvSetItemTextColor", {w, 1, 1, 1, "255|0|0"});
             host.Call("lvSetItemCheck", {w, 1, 1});
             host.Call("lvSetBkColor", {w, "1|2|3"});
             remove(w);
         }},
        {"list/combo (dialog's)",
         [&](long long) {
             const HWND list = dialog.AddChild("LISTBOX", LBS_NOTIFY, 111, 10, 10, 100, 100);
             const HWND combo = dialog.AddChild("COMBOBOX", CBS_DROPDOWN, 112, 120, 10, 100, 100);
             SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
             SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("y"));
             host.Call("lbSetItemHeight", {list, 20});
             host.Call("lbSetItemState", {list, 1, 1});
             host.Call("cbSetCurSel", {combo, 1});
             host.Call("cbSetDropHeight", {combo, 100});
             remove(list);
             remove(combo);
         }},
    };
    for (const Family& family : families)
        if (Chosen(chosen, family.name)) clean &= Soak({family.name, cycles}, host, family.cycle);

    // Image lists from bitmap files, and icons replacing each other in a
    // status bar part.
    {
        clean &= Soak({"image lists", images}, host, [&](long long) {
            const std::int32_t list = host.Call("ilCreateImgList", {2, 2, 16, 16, 0}).integer();
            host.Call("ilAddImage", {list, bitmap.path(), 0, 0});
            host.Call("ilRemoveImage", {list, 1});
            host.Call("ilDeleteImgList", {list});
        });
        const HWND bar = Window(host.Call("sbCreateStatusBar", {parent, "icons"}));
        host.Call("sbSetParts", {bar, "100 -1"});
        clean &= Soak({"status-bar icons", images}, host, [&](long long i) {
            host.Call("sbSetIcon", {bar, 1 + static_cast<int>(i % 2), icon.path()});
        });
        remove(bar);
    }

    const Counts last = Measure();
    std::printf("\nGDI and USER objects: %s (GetGuiResources %s)\n",
                gdiCounted && userCounted ? "counted" : "not counted",
                gdiCounted && userCounted ? "reports them"
                                          : "reports 0 here: this system does not count them; "
                                            "memory, kernel handles and windows are counted");
    std::printf("whole run: private %lld KB > %lld KB, handles %lld > %lld, windows %lld > %lld\n", first.privateKb,
                last.privateKb, first.handles, last.handles, first.windows, last.windows);
    std::printf("%s\n", clean ? "no growth" : "GROWTH: see the rows marked GREW");
    return clean ? 0 : 1;
}
