// Memory running out inside a call: for one call of each family that
// allocates, the call is made once with every allocation counted (N of
// them), then N more times with the first, the second, ... the N-th
// allocation failing (the library's C runtime gives null there, so its
// operator new throws). Each run must end in the call's documented result
// or a reported error ("20101: System error." with status -1, delivered
// once, with no allocation on the way from the failure to the error result
// but the exception object), the process alive, and the library holding no
// block more than after the run without a failure. Each sweep prints its numbers.
#include "events/core/event_engine.h"
#include "tests/host/allocation_counter.h"
#include "tests/host/dialog_test.h"
#include "tests/host/host_double.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace vantor;
using namespace vantor::testing;

namespace {

constexpr const char kSystemErrorText[] = "20101: System error.";

bool ReportedError(const CallResult& r) { return r.callbacks == 1 && r.status == -1 && r.text == kSystemErrorText; }

struct GuiObjects {
    DWORD gdi = 0, user = 0;
    long windows = 0;
    bool operator==(const GuiObjects&) const = default;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(window, &CountWindow, count);
    return TRUE;
}

// GDI and USER objects as the platform counts them (Wine 8 gives 0 for
// both, so there the windows of the thread carry the check).
GuiObjects CountGuiObjects() {
    GuiObjects objects;
    objects.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    objects.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&objects.windows));
    return objects;
}

// One call to sweep: call() makes it; accept(r, failed) says whether r is
// its documented result; restore() puts the controls back as they were
// before the call; intact() says, after a reported error, that the call
// changed nothing the script can see.
struct Sweep {
    const char* name;
    std::function<CallResult()> call;
    std::function<bool(const CallResult&)> documented;
    std::function<void()> restore = [] {};
    std::function<bool()> intact = [] { return true; };
};

struct SweepNumbers {
    long allocations = 0;  // N: those of the call without a failure
    int documented = 0;    // runs that ended in the documented result
    int errors = 0;        // runs that ended in the reported error
};

SweepNumbers RunSweep(HostDouble& host, const Sweep& sweep) {
    SweepNumbers numbers;
    // Once before counting, so what the library makes once per process
    // (tables, caches) is there already.
    const CallResult warm = sweep.call();
    EXPECT_TRUE(sweep.documented(warm)) << sweep.name << ": the call without a failure";
    sweep.restore();

    AllocationCounter counter(host.module());
    EXPECT_GT(counter.hooked(), 0);
    // The first exception thrown in the library has the unwinder sort the
    // library's frame tables, into blocks it keeps for the process: made
    // once here, they are not counted as a leak of the first failing run.
    counter.FailAt(1);
    sweep.call();
    counter.FailAt(0);
    sweep.restore();

    const long blocksBefore = counter.outstandingBlocks();
    const long long bytesBefore = counter.outstandingBytes();
    const GuiObjects objectsBefore = CountGuiObjects();
    counter.Reset();
    const CallResult clean = sweep.call();
    numbers.allocations = counter.count();
    EXPECT_TRUE(sweep.documented(clean)) << sweep.name;
    sweep.restore();
    const long heldBlocks = counter.outstandingBlocks();
    const long long heldBytes = counter.outstandingBytes();
    EXPECT_EQ(heldBlocks, blocksBefore) << sweep.name << ": the call without a failure keeps blocks";
    EXPECT_EQ(heldBytes, bytesBefore);

    for (long n = 1; n <= numbers.allocations; ++n) {
        SCOPED_TRACE(std::string(sweep.name) + ": allocation " + std::to_string(n) + " of " +
                     std::to_string(numbers.allocations) + " failing");
        host.ClearRecords();
        counter.Reset();
        counter.FailAt(n);
        const CallResult r = sweep.call();
        const long madeAfterFailure = counter.count() - n;
        const bool failed = counter.failureMade();
        counter.FailAt(0);
        const bool documented = r.callbacks == 1 && r.status == 0 && sweep.documented(r);
        const bool intact = sweep.intact();
        sweep.restore();
        EXPECT_TRUE(failed) << "the call made fewer allocations this time";
        if (ReportedError(r)) {
            ++numbers.errors;
            EXPECT_TRUE(intact) << "an error result after a change";
            // From the failure to the error result: the exception object of
            // std::bad_alloc at most, nothing on the error path itself.
            EXPECT_LE(madeAfterFailure, 1) << "allocations on the way to the error result";
        } else if (documented) {
            ++numbers.documented;
        } else {
            ADD_FAILURE() << "neither the documented result nor the reported error: " << r.callbacks
                          << " callbacks, status " << r.status << ", integer " << r.integer() << ", text \""
                          << r.text.substr(0, 80) << "\"";
        }
        EXPECT_EQ(counter.outstandingBlocks(), heldBlocks) << "blocks leaked";
        EXPECT_EQ(counter.outstandingBytes(), heldBytes) << "bytes leaked";
    }
    counter.FailAt(numbers.allocations + 1);
    sweep.call();
    EXPECT_FALSE(counter.failureMade()) << sweep.name << ": the count of allocations is not steady";
    counter.FailAt(0);
    sweep.restore();
    EXPECT_EQ(CountGuiObjects(), objectsBefore) << sweep.name << ": GDI or USER objects or windows leaked";
    std::printf("[ sweep    ] %-24s %4ld allocations failed in turn: %4d documented results, %4d reported errors\n",
                sweep.name, numbers.allocations, numbers.documented, numbers.errors);
    std::fflush(stdout);
    return numbers;
}

class AllocationFailure : public DialogTest {};

std::string TextOf(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// A rich-text document of about 300 KB: many paragraphs in several formats.
void FillDocument(HWND box) {
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}";
    for (int i = 0; i < 3000; ++i)
        rtf +=
            "{\\b bold " + std::to_string(i) + "}{\\i italic text} plain text of the paragraph, somewhat long\\par\n";
    rtf += "}";
    SETTEXTEX set{ST_DEFAULT, CP_ACP};
    SendMessageA(box, EM_EXLIMITTEXT, 0, -1);
    SendMessageA(box, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(rtf.c_str()));
}

TEST_F(AllocationFailure, RichTextSaveAndLoad) {
    const HWND box = Handle(host.Call("rtCreate", {dialog.hwnd(), 10, 10, 300, 200, 0}));
    ASSERT_TRUE(IsWindow(box));
    FillDocument(box);
    const TempFile saved(".rtf");
    saved.Write("old content");
    // The whole document or the old file, never a part.
    std::string whole;
    {
        const TempFile probe(".rtf");
        ASSERT_EQ(host.Call("rtSaveFileRTF", {box, probe.path()}).integer(), 1);
        whole = probe.Read();
    }
    ASSERT_GT(whole.size(), 200u * 1024) << "a document of a few hundred KB";
    const Sweep save{"rtSaveFileRTF",
                     [&] {
                         return host.Call("rtSaveFileRTF", {box, saved.path()});
                     },
                     [&](const CallResult& r) {
                         const std::string now = saved.Read();
                         return r.integer() == 1 && (now == "old content" || now == whole);
                     },
                     [&] { saved.Write("old content"); }, [&] { return saved.Read() == "old content"; }};
    const SweepNumbers saving = RunSweep(host, save);
    EXPECT_GT(saving.allocations, 0);
    EXPECT_GT(saving.documented, 0) << "a stream that ran out of memory ends the save, which gives 1";

    const TempFile source(".rtf");
    source.Write(whole);
    const HWND other = Handle(host.Call("rtCreate", {dialog.hwnd(), 320, 10, 300, 200, 0}));
    SetWindowTextA(other, "before");
    const int wholeLength = GetWindowTextLengthA(box);
    const Sweep load{"rtLoadFileRTF",
                     [&] {
                         return host.Call("rtLoadFileRTF", {other, source.path()});
                     },
                     [&](const CallResult& r) {
                         const int length = GetWindowTextLengthA(other);
                         return r.integer() == 1 && (length == wholeLength || TextOf(other) == "before");
                     },
                     [&] { SetWindowTextA(other, "before"); }, [&] { return TextOf(other) == "before"; }};
    RunSweep(host, load);
}

TEST_F(AllocationFailure, ListViewRowOfAFullList) {
    const HWND list = dialog.AddChild(WC_LISTVIEWA, LVS_REPORT, 0, 10, 10, 400, 200);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    const int kColumns = 6, kRows = 300;
    for (int c = 0; c < kColumns; ++c) host.Call("lvInsertColumn", {list, c + 1, "column"});
    const std::string cell(120, 'c');
    std::string row;
    for (int i = 0; i < kRows; ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>(cell.c_str());
        const int at = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        for (int c = 1; c < kColumns; ++c) {
            item.iSubItem = c;
            SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item));
        }
    }
    for (int c = 0; c < kColumns; ++c) row += (c > 0 ? "\t" : "") + cell;
    const SweepNumbers numbers = RunSweep(host, {"lvGetItemText column 0",
                                                 [&] {
                                                     return host.Call("lvGetItemText", {list, 150, 0});
                                                 },
                                                 [&](const CallResult& r) { return r.text == row; }});
    EXPECT_GT(numbers.allocations, 0);
}

TEST_F(AllocationFailure, ListBoxSelection) {
    const HWND list = dialog.AddChild("LISTBOX", LBS_EXTENDEDSEL | WS_VSCROLL, 0, 10, 10, 200, 200);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    std::string selected;
    for (int i = 0; i < 500; ++i) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("item"));
        if (i % 2 == 0) {
            SendMessageA(list, LB_SETSEL, TRUE, i);
            selected += (selected.empty() ? "" : "\t") + std::to_string(i + 1);
        }
    }
    RunSweep(host, {"lbGetItemSel", [&] { return host.Call("lbGetItemSel", {list}); },
                    [&](const CallResult& r) { return r.text == selected; }});
}

// The first item added to a tree the library did not create (one of the
// host's) makes the tree's records; the tree's destruction frees them.
TEST_F(AllocationFailure, TreeViewAdd) {
    ASSERT_TRUE(host.Call("tvCreateTreeView", {dialog.hwnd(), 10, 20, 300, 200, 0, 0, 1, 2, 3}).integer() != 0)
        << "the latest images, which such a tree takes";
    HWND tree = nullptr;
    const auto count = [&] { return static_cast<int>(SendMessageA(tree, TVM_GETCOUNT, 0, 0)); };
    const SweepNumbers numbers =
        RunSweep(host, {"tvAdd (first item)",
                        [&] {
                            tree = dialog.AddChild(WC_TREEVIEWA, TVS_HASLINES, 0, 320, 20, 200, 200);
                            return host.Call("tvAdd", {tree, "an item of the tree", 1});
                        },
                        [&](const CallResult& r) { return r.integer() != 0 && count() == 1; },
                        [&] { DestroyWindow(tree); }, [&] { return count() == 0; }});
    EXPECT_GT(numbers.allocations, 0);
}

TEST_F(AllocationFailure, MaskedEdit) {
    const HWND edit = dialog.AddChild("EDIT", WS_BORDER, 0, 10, 10, 200, 24);
    SetFocus(edit);
    const auto start = [&] {
        SetWindowTextA(edit, "(123) 456-7890 x12345");  // texts beyond the 15 a string holds in place
        SendMessageA(edit, EM_SETSEL, 21, 21);
    };
    start();
    const std::string masked = host.Call("ebMask", {edit, "(###) ###-#### x######"}).text;
    ASSERT_FALSE(masked.empty());
    start();
    RunSweep(host, {"ebMask",
                    [&] {
                        return host.Call("ebMask", {edit, "(###) ###-#### x######"});
                    },
                    [&](const CallResult& r) { return r.text == masked && TextOf(edit) == masked; }, start,
                    [&] { return TextOf(edit) == "(123) 456-7890 x12345"; }});
}

TEST_F(AllocationFailure, EventsWithALongControlList) {
    std::string list;
    for (int i = 0; i < 150; ++i) {
        const HWND edit = dialog.AddChild("EDIT", WS_BORDER, 200 + i, 10, 10, 50, 20);
        list += "field" + std::to_string(i + 1) + "," + std::to_string(HandleValue(edit)) + "\t";
    }
    RunSweep(host, {"evDialogProcOptions",
                    [&] {
                        return host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnEnter, 1, list});
                    },
                    [&](const CallResult& r) { return r.integer() == 1; },
                    [&] {
                        host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnEnter, 0});
                    }});
}

TEST_F(AllocationFailure, EmbeddedPicture) {
    const HWND box = Handle(host.Call("rtCreate", {dialog.hwnd(), 10, 10, 300, 200, 0}));
    const TempFile picture(".bmp");
    picture.Write(BitmapFileBytes(60, 40, RGB(20, 120, 200)));
    const auto start = [&] { SetWindowTextA(box, "before after"); };
    start();
    const Sweep embed{"imEmbedImage",
                      [&] {
                          return host.Call("imEmbedImage", {box, picture.path()});
                      },
                      [&](const CallResult& r) {
                          const int length = GetWindowTextLengthA(box);
                          return (r.integer() == 1 && length == 13) || (r.integer() == 0 && length == 12);
                      },
                      start, [&] { return GetWindowTextLengthA(box) == 12; }};
    const SweepNumbers numbers = RunSweep(host, embed);
    EXPECT_GT(numbers.allocations, 0);
}

// The language lookup of the host's first question (the version and name)
// allocates nothing at all, so no allocation of it can fail: counted in a
// fresh copy of the library, whose lookup has not run yet.
TEST(AllocationFailureLanguage, FirstVersionQueryAllocatesNothing) {
    const DllCopy copy;
    const HMODULE module = LoadLibraryA(copy.dll().c_str());
    ASSERT_NE(module, nullptr);
    using QueryFn = std::int32_t(__stdcall*)(std::int32_t, void*, std::int32_t);
    const auto query =
        reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(module, "_KELExtenderQuery@12")));
    ASSERT_NE(query, nullptr);
    long counted = 0;
    char name[260] = {};
    std::int32_t version = 0;
    {
        AllocationCounter counter(module);
        ASSERT_GT(counter.hooked(), 0);
        counter.FailAt(1);  // were there an allocation, it would fail
        version = query(1, name, sizeof name);
        counted = counter.count();
        EXPECT_FALSE(counter.failureMade());
    }
    EXPECT_EQ(counted, 0) << "allocations in the first version query";
    EXPECT_GT(version, 0);
    EXPECT_NE(name[0], '\0') << "the display name";
    std::printf("[ sweep    ] %-24s %4ld allocations (nothing to fail)\n", "QueryVersion", counted);
    FreeLibrary(module);
}

}  // namespace
