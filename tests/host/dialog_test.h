// A GoogleTest fixture with one host double and one dialog for a whole
// suite; each test's child windows and the host's records go when it ends.
#pragma once

#include "tests/host/host_double.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vantor::testing {

class DialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        host_ = new HostDouble;
        dialog_ = new DialogFixture;
        host_->SetOwner(dialog_->hwnd());
    }
    static void TearDownTestSuite() {
        delete dialog_;
        delete host_;
        dialog_ = nullptr;
        host_ = nullptr;
    }
    void TearDown() override {
        while (const HWND child = GetWindow(dialog.hwnd(), GW_CHILD)) DestroyWindow(child);
        host.ClearRecords();
    }

    // The window handle a creator delivered.
    static HWND Handle(const CallResult& r) { return HandleFrom<HWND>(r.integer()); }

    // A handle that names no window (checked once by each test that takes it).
    static HWND NoWindow() { return HandleFrom<HWND>(0x7654320); }
    // A text of 100 KB.
    static const std::string& LongText() {
        static const std::string text(100 * 1024, '9');
        return text;
    }
    // A call that must deliver exactly one result, with status 0.
    CallResult CallOnce(const char* name, std::vector<Arg> args) {
        const CallResult r = host.Call(name, args);
        EXPECT_EQ(r.callbacks, 1) << name;
        EXPECT_EQ(r.status, 0) << name;
        return r;
    }

    // A child window's rectangle in the dialog's client coordinates.
    static RECT PlaceInDialog(HWND window) {
        RECT place{};
        GetWindowRect(window, &place);
        MapWindowPoints(nullptr, dialog_->hwnd(), reinterpret_cast<POINT*>(&place), 2);
        return place;
    }

    static inline HostDouble* host_ = nullptr;
    static inline DialogFixture* dialog_ = nullptr;
    HostDouble& host = *host_;
    DialogFixture& dialog = *dialog_;
};

}  // namespace vantor::testing
