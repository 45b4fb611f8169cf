// IP-address boxes on real controls, read back through their own messages.
#include "tests/host/dialog_test.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace vantor::testing;

namespace {

using IpAddressBoxes = DialogTest;

class IpAddress : public IpAddressBoxes {
protected:
    void SetUp() override {
        IpAddressBoxes::SetUp();
        box = Handle(host.Call("ipCreateIP", {dialog.hwnd(), 10, 10, 160, 24, 0}));
        ASSERT_TRUE(IsWindow(box));
    }

    std::string SetThenGet(const std::string& text) const {
        host.Call("ipSetIP", {box, text});
        return host.Call("ipGetIP", {box}).text;
    }
    DWORD Address() const {
        DWORD address = 0;
        SendMessageA(box, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
        return address;
    }

    HWND box = nullptr;
};

TEST_F(IpAddress, CreatedBlankAndVisibleWithItsText) {
    char name[64] = {};
    GetClassNameA(box, name, sizeof name);
    EXPECT_STREQ(name, "SysIPAddress32");
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_EQ(GetParent(box), dialog.hwnd());
    const RECT place = PlaceInDialog(box);
    EXPECT_EQ(place.left, 10);
    EXPECT_EQ(place.right - place.left, 160);
    EXPECT_NE(host.Call("ipIsBlank", {box}).integer(), 0);
    const CallResult r = host.Call("ipGetIP", {box});
    EXPECT_EQ(r.cell.kind, 2);
    EXPECT_EQ(r.text, "0.0.0.0");
}

TEST_F(IpAddress, SetAndGetRoundTrips) {
    EXPECT_EQ(SetThenGet("10.0.0.1"), "10.0.0.1");
    EXPECT_EQ(Address(), MAKEIPADDRESS(10, 0, 0, 1));
    EXPECT_EQ(host.Call("ipIsBlank", {box}).integer(), 0);
    EXPECT_EQ(SetThenGet("255.255.255.255"), "255.255.255.255");
    EXPECT_EQ(SetThenGet("1.2.3"), "1.2.0.3") << "what follows the last dot is field 4";
    EXPECT_EQ(SetThenGet("1.2.3.4.5"), "1.2.3.5") << "a fourth dot stores nothing";
    EXPECT_EQ(SetThenGet("1..3.4"), "1.0.3.4");
    EXPECT_EQ(SetThenGet("1.256.0.7"), "2.0.0.7") << "fields are added, not masked";
    EXPECT_EQ(SetThenGet("7a.8.9.10"), "7.8.9.10");

    EXPECT_NE(host.Call("ipClearIP", {box}).integer(), 0);
    EXPECT_NE(host.Call("ipIsBlank", {box}).integer(), 0);
    EXPECT_EQ(host.Call("ipGetIP", {box}).text, "0.0.0.0");
}

TEST_F(IpAddress, OverlongFieldsAndTextsStayInTheirBuffer) {
    EXPECT_EQ(SetThenGet("1000.2.3.4"), "100.2.3.4") << "a field keeps its first three characters";
    EXPECT_EQ(SetThenGet("1.2.3.45678"), "1.2.4.200") << "456 is read and carries into field 3";
    EXPECT_EQ(SetThenGet("12345678901234567890"), "0.0.0.123");
    EXPECT_EQ(SetThenGet("9.8.7.6" + std::string(100 * 1024, '5')), "9.8.9.143")
        << "only the first fifteen characters count; field 4 reads 655";
    EXPECT_EQ(SetThenGet(std::string(100 * 1024, '.')), "0.0.0.0");
    EXPECT_EQ(SetThenGet(""), "0.0.0.0");
}

TEST_F(IpAddress, FocusAndRangeCountFieldsFromOne) {
    host.Call("ipSetFocus", {box, 1});
    const HWND first = GetFocus();
    ASSERT_EQ(GetParent(first), box);
    host.Call("ipSetFocus", {box, 4});
    const HWND fourth = GetFocus();
    ASSERT_EQ(GetParent(fourth), box);
    EXPECT_LT(PlaceInDialog(first).left, PlaceInDialog(fourth).left);
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        EXPECT_LE(PlaceInDialog(first).left, PlaceInDialog(child).left) << "field 1 is the leftmost";
        EXPECT_GE(PlaceInDialog(fourth).left, PlaceInDialog(child).left) << "field 4 is the rightmost";
    }

    EXPECT_NE(host.Call("ipSetRange", {box, 1, 10, 20}).integer(), 0);
    // A typed value above the range is brought back to its high end when the field is left.
    host.Call("ipSetFocus", {box, 1});
    SetWindowTextA(first, "99");
    host.Call("ipSetFocus", {box, 2});
    DialogFixture::Pump();
    EXPECT_EQ(FIRST_IPADDRESS(Address()), 20);
}

// A handle that is no window and empty or 100 KB texts: the documented
// result once, and nothing shown.
TEST_F(IpAddressBoxes, IpAddressNoWindowEmptyAndLongTexts) {
    const HWND none = NoWindow();
    ASSERT_FALSE(IsWindow(none));
    const std::string& longText = LongText();
    for (const std::string& text : {std::string(), longText}) {
        for (const char* creator : {"ipCreateIP"})
            EXPECT_EQ(CallOnce(creator, {none, 0, 0, 10, 10, 0}).integer(), 0) << creator;
        EXPECT_EQ(CallOnce("ipClearIP", {none}).integer(), 0);
        EXPECT_EQ(CallOnce("ipGetIP", {none}).text, "0.0.0.0");
        EXPECT_EQ(CallOnce("ipIsBlank", {none}).integer(), 0);
        EXPECT_EQ(CallOnce("ipSetFocus", {none, 1}).integer(), 0);
        EXPECT_EQ(CallOnce("ipSetIP", {none, text}).integer(), 0);
        EXPECT_EQ(CallOnce("ipSetRange", {none, 1, 0, 255}).integer(), 0);
    }
    EXPECT_TRUE(host.messageBoxes.empty());
}

}  // namespace
