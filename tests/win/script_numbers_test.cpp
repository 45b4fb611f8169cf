// Script numbers that count from 1 reach the controls as indexes from 0; the
// extreme numbers wrap around in 32 bits (INT_MIN names index INT_MAX, which
// no control holds) instead of overflowing.
#include "tests/host/dialog_test.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <climits>
#include <string>

using namespace vantor::testing;

namespace {

class ScriptNumbers : public DialogTest {};

TEST_F(ScriptNumbers, ListAndComboBoxesAnswerAsForAnItemTheyLack) {
    const HWND list = dialog.AddChild("LISTBOX", LBS_MULTIPLESEL, 7, 10, 10, 100, 100);
    for (const char* text : {"one", "two"}) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(host.Call("lbGetItemState", {list, INT_MIN}).integer(), LB_ERR);
    EXPECT_EQ(host.Call("lbGetItemState", {list, 3}).integer(), LB_ERR);
    EXPECT_EQ(host.Call("lbSetItemState", {list, INT_MIN, 1}).integer(), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 0);

    const HWND combo = dialog.AddChild("COMBOBOX", CBS_DROPDOWNLIST, 8, 10, 120, 100, 100);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    EXPECT_EQ(host.Call("cbSetCurSel", {combo, INT_MIN}).integer(), 0);
    EXPECT_EQ(host.Call("cbSetCurSel", {combo, INT_MAX}).integer(), 0);
}

TEST_F(ScriptNumbers, TabsStatusPartsAndAddressFields) {
    const HWND tab = Handle(host.Call("taCreateTab", {dialog.hwnd(), 10, 10, 300, 100, 0}));
    ASSERT_NE(tab, nullptr);
    host.Call("taAddTab", {tab, 1, "first"});
    EXPECT_EQ(host.Call("taDeleteTab", {tab, INT_MIN}).integer(), 0);
    EXPECT_EQ(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0), 1);
    host.Call("taSetTabSel", {tab, INT_MIN});
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 0);

    const HWND bar = Handle(host.Call("sbCreateStatusBar", {dialog.hwnd(), "kept"}));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(host.Call("sbSetText", {bar, INT_MIN, "lost"}).integer(), 1);
    char text[64] = {};
    SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "kept");

    const HWND box = Handle(host.Call("ipCreateIP", {dialog.hwnd(), 10, 150, 150, 24}));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(host.Call("ipSetRange", {box, INT_MIN, 1, 2}).integer(), 0);
}

}  // namespace
