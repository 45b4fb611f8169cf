// The host double's own machinery that every control test relies on.
#include "tests/host/host_double.h"

#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include <commdlg.h>

using namespace vantor;
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

// Other modal dialogs (a colour dialog, say) are cancelled as they come up,
// so that no call ever waits for a user; the test's own dialogs are not.
TEST(HostDouble, CancelsOtherModalDialogs) {
    HostDouble host;
    DialogFixture dialog;
    COLORREF custom[16] = {};
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = dialog.hwnd();
    choose.lpCustColors = custom;
    EXPECT_FALSE(ChooseColorA(&choose));
    EXPECT_EQ(host.dialogsCancelled, 1);
    EXPECT_TRUE(IsWindow(dialog.hwnd()));
}

// The variable service takes opcode 7 only on a copy of the host value that
// opcode 3 filled in the same call.
TEST(HostDouble, AssignmentMustTargetTheHostValue) {
    HostDouble host;
    HostServices& services = host.services();
    ValueCell key{}, value{};
    key.kind = vantor::kStringCell;
    key.strValue = "DMsg";
    value.kind = vantor::kIntegerCell;
    ValueCell stranger{};
    stranger.intValue = 5;
    EXPECT_NONFATAL_FAILURE(services.variableOperation(services.hostData, &stranger, 40, nullptr, 0, &key, 40, &value,
                                                       40, vantor::kAssignVariable),
                            "before the call's host value was filled");
    ValueCell host3{};
    EXPECT_EQ(services.variableOperation(services.hostData, &host3, 40, nullptr, 0, nullptr, 0, nullptr, 0,
                                         vantor::kFillHostValue),
              0);
    EXPECT_NONFATAL_FAILURE(services.variableOperation(services.hostData, &stranger, 40, nullptr, 0, &key, 40, &value,
                                                       40, vantor::kAssignVariable),
                            "not given a copy of the host value");
    ValueCell copy = host3;
    EXPECT_EQ(services.variableOperation(services.hostData, &copy, 40, nullptr, 0, &key, 40, &value, 40,
                                         vantor::kAssignVariable),
              0);
    EXPECT_EQ(host.variables.count("DMsg"), 1u);
}
