// Data kept with a window: made once on first use, found again, freed with
// the window or when dropped, and never made for a window that cannot
// carry it. Each case builds a real window and checks what it then holds.
#include "controls/window_data.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <stdexcept>
#include <thread>

using namespace vantor;

namespace {

int made = 0, freed = 0;

struct Counted {
    static constexpr UINT_PTR kSubclassId = SubclassId("TWDC");
    explicit Counted(int start = 0) : value(start) { ++made; }
    ~Counted() { ++freed; }
    int value;
};

constexpr UINT kAsked = WM_APP + 1;

// Answers kAsked itself, throws on WM_SETTEXT with "throw" and
// leaves every other message to the window.
struct Answering {
    static constexpr UINT_PTR kSubclassId = SubclassId("TWDA");
    std::optional<LRESULT> OnMessage(HWND, UINT message, WPARAM, LPARAM l) {
        if (message == kAsked) return 42;
        if (message == WM_SETTEXT && lstrcmpA(reinterpret_cast<const char*>(l), "throw") == 0)
            throw std::runtime_error("thrown in a subclass");
        return std::nullopt;
    }
};

// Drops itself on WM_CLOSE, as data that lets go of its window early does.
struct DroppingOnClose {
    static constexpr UINT_PTR kSubclassId = SubclassId("TWDD");
    ~DroppingOnClose() { ++freed; }
    std::optional<LRESULT> OnMessage(HWND window, UINT message, WPARAM, LPARAM) {
        if (message == WM_CLOSE) {
            WindowData<DroppingOnClose>::Drop(window);
            return 0;
        }
        return std::nullopt;
    }
};

constexpr UINT kBelow = WM_APP + 2;

// A subclass of the test's own, set before the data's: answers kBelow with 7.
LRESULT CALLBACK AnswersBelow(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR) {
    if (message == kBelow) return 7;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &AnswersBelow, id);
    return DefSubclassProc(window, message, w, l);
}

// Works around what the procedures below it answer: kBelow six times
// over, the window's dialog code (a static control's own answer) with ten
// more.
struct AroundTheNext {
    static constexpr UINT_PTR kSubclassId = SubclassId("TWDN");
    std::optional<LRESULT> OnMessage(HWND window, UINT message, WPARAM w, LPARAM l) {
        if (message == kBelow) return WindowData<AroundTheNext>::Next(window, message, w, l) * 6;
        if (message == WM_GETDLGCODE) return WindowData<AroundTheNext>::Next(window, message, w, l) + 10;
        return std::nullopt;
    }
};

HWND NewWindow() {
    return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

TEST(WindowData, MadeOnceFoundAgainAndFreedWithTheWindow) {
    made = freed = 0;
    const HWND window = NewWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowData<Counted>::Of(window), nullptr) << "nothing before the first use";
    Counted* first = WindowData<Counted>::For(window, 7);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->value, 7);
    first->value = 8;
    EXPECT_EQ(WindowData<Counted>::For(window, 99), first) << "the second use finds the first data";
    EXPECT_EQ(WindowData<Counted>::Of(window)->value, 8);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(WindowData<Answering>::Of(window), nullptr) << "another type keeps its own data";
    DestroyWindow(window);
    EXPECT_EQ(freed, 1) << "freed as the window went";
    EXPECT_EQ(WindowData<Counted>::Of(window), nullptr);
}

TEST(WindowData, DropFreesNowAndTheNextUseStartsAfresh) {
    made = freed = 0;
    const HWND window = NewWindow();
    WindowData<Counted>::For(window, 1)->value = 5;
    WindowData<Counted>::Drop(window);
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(WindowData<Counted>::Of(window), nullptr);
    WindowData<Counted>::Drop(window);  // nothing left to drop
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(WindowData<Counted>::For(window, 3)->value, 3);
    DestroyWindow(window);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(freed, 2) << "the fresh data went with the window, the dropped one not twice";
}

TEST(WindowData, NoDataForWhatCannotCarryIt) {
    made = freed = 0;
    const HWND gone = NewWindow();
    DestroyWindow(gone);
    for (const HWND window : {HWND{}, HWND_BROADCAST, HWND_TOPMOST, gone}) {
        EXPECT_EQ(WindowData<Counted>::For(window), nullptr);
        EXPECT_EQ(WindowData<Counted>::Of(window), nullptr);
        WindowData<Counted>::Drop(window);
    }
    EXPECT_EQ(made, 0);
    // A window of another thread: the platform may refuse it or not (Wine
    // does not); either way what was made goes with the window.
    HWND foreign = nullptr;
    const HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr),
                 done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread owner([&] {
        foreign = NewWindow();
        SetEvent(ready);
        WaitForSingleObject(done, 10000);
        DestroyWindow(foreign);
    });
    WaitForSingleObject(ready, 10000);
    ASSERT_NE(foreign, nullptr);
    WindowData<Counted>::For(foreign);
    SetEvent(done);
    owner.join();
    CloseHandle(ready);
    CloseHandle(done);
    EXPECT_EQ(made, freed) << "whatever was made for a refusing window was freed at once";
}

TEST(WindowData, DataAnswersItsMessagesAndPassesTheRestOn) {
    const HWND window = NewWindow();
    ASSERT_NE(WindowData<Answering>::For(window), nullptr);
    EXPECT_EQ(SendMessageA(window, kAsked, 0, 0), 42);
    EXPECT_TRUE(SetWindowTextA(window, "passed on"));
    char text[16] = {};
    EXPECT_EQ(GetWindowTextA(window, text, sizeof text), 9);  // through WM_GETTEXT, left to the window
    EXPECT_STREQ(text, "passed on");
    EXPECT_TRUE(SetWindowTextA(window, "throw")) << "what the data throws goes no further than the subclass";
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "throw");
    DestroyWindow(window);
}

TEST(WindowData, DataMayDropItselfWhileAnswering) {
    freed = 0;
    const HWND window = NewWindow();
    ASSERT_NE(WindowData<DroppingOnClose>::For(window), nullptr);
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(WindowData<DroppingOnClose>::Of(window), nullptr);
    EXPECT_TRUE(IsWindow(window)) << "the data answered WM_CLOSE; the window stays";
    DestroyWindow(window);
    EXPECT_EQ(freed, 1);
}

TEST(WindowData, NextGivesTheAnswerOfTheProceduresBelowTheData) {
    const HWND window = NewWindow();
    ASSERT_TRUE(SetWindowSubclass(window, &AnswersBelow, 1, 0));
    ASSERT_NE(WindowData<AroundTheNext>::For(window), nullptr);
    EXPECT_EQ(SendMessageA(window, kBelow, 0, 0), 42) << "the subclass set before the data answered 7";
    EXPECT_EQ(SendMessageA(window, WM_GETDLGCODE, 0, 0), DLGC_STATIC + 10)
        << "the window's own answer came through both";
    WindowData<AroundTheNext>::Drop(window);
    EXPECT_EQ(SendMessageA(window, kBelow, 0, 0), 7);
    DestroyWindow(window);
}

}  // namespace
