// The edge of the functions the library hands the platform: a body that
// throws ends there, and the platform gets the answer of failure its kind
// of callback has.
#include "host/callback_guard.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <new>
#include <string>

using namespace vantor;

namespace {

int bodies = 0;

LRESULT ThrowingOnSetText(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    if (message == WM_SETTEXT) {
        ++bodies;
        throw std::bad_alloc();
    }
    return DefSubclassProc(window, message, w, l);
}

DWORD ThrowingStream(DWORD_PTR, LPBYTE, LONG, LONG* done) {
    *done = 5;  // part of an answer, before it fails
    throw std::bad_alloc();
}

DWORD HandingOver(DWORD_PTR, LPBYTE, LONG wanted, LONG* done) {
    *done = wanted;
    return 0;
}

TEST(CallbackGuard, SubclassBodyThatThrowsPassesTheMessageOn) {
    const HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(SetWindowSubclass(edit, &GuardedSubclassProc<ThrowingOnSetText>, 1, 0));
    bodies = 0;
    EXPECT_TRUE(SetWindowTextA(edit, "still set"));
    EXPECT_EQ(bodies, 1);
    char text[32] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "still set") << "the next procedure handled the message";
    RemoveWindowSubclass(edit, &GuardedSubclassProc<ThrowingOnSetText>, 1);
    DestroyWindow(edit);
}

TEST(CallbackGuard, StreamBodyThatThrowsEndsTheStream) {
    BYTE buffer[16];
    LONG done = -1;
    EXPECT_EQ(GuardedStreamCallback<ThrowingStream>(0, buffer, sizeof buffer, &done), kStreamFailed);
    EXPECT_EQ(done, 0) << "no bytes handed over";
    EXPECT_EQ(GuardedStreamCallback<HandingOver>(0, buffer, sizeof buffer, &done), 0u);
    EXPECT_EQ(done, static_cast<LONG>(sizeof buffer));
}

TEST(CallbackGuard, FallbackOnlyWhenTheBodyThrows) {
    EXPECT_EQ(CallbackGuard([] { return 7; }, [] { return -1; }), 7);
    EXPECT_EQ(CallbackGuard([]() -> int { throw std::string("anything"); }, [] { return -1; }), -1);
}

}  // namespace
