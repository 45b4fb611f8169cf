// The host double's own machinery that every control test relies on.
#include "tests/host/host_double.h"

#include <gtest/gtest.h>

using namespace vantor::testing;

TEST(HostDouble, CapturesAndDismissesMessageBoxes) {
    HostDouble host;
    DialogFixture dialog;
    EXPECT_EQ(MessageBoxA(dialog.hwnd(), "Some text", "Some title", 0), IDOK);
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].title, "Some title");
    EXPECT_EQ(host.messageBoxes[0].text, "Some text");
}

TEST(HostDouble, DialogIsForegroundAndTakesChildren) {
    DialogFixture dialog;
    EXPECT_EQ(GetForegroundWindow(), dialog.hwnd());
    const HWND edit = dialog.AddChild("EDIT", WS_BORDER, 101);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(GetParent(edit), dialog.hwnd());
    SetFocus(edit);
    EXPECT_EQ(GetFocus(), edit);
}

TEST(HostDouble, TempFileRoundTrip) {
    std::string path;
    {
        TempFile file(".txt");
        path = file.path();
        file.Write(std::string("a\0b", 3));
        EXPECT_EQ(file.Read(), std::string("a\0b", 3));
    }
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}
