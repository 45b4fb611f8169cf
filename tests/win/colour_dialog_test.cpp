// coAskColor shows the platform's colour dialog; the test plays the user.
// A CBT hook on the test's thread sees the dialog activate and arms a
// thread timer, which runs inside the dialog's own modal loop and clicks,
// types and presses OK or Cancel as a user would.
#include "tests/host/dialog_test.h"

#include <windows.h>
#include <colordlg.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

using namespace vantor::testing;

namespace {

constexpr std::int32_t Colour(int red, int green, int blue) { return red + 256 * green + 65536 * blue; }

// Plays one colour dialog: what the user does is `act`, given the dialog.
class ColourUser {
public:
    explicit ColourUser(std::function<void(HWND)> act) : act_(std::move(act)) {
        current_ = this;
        hook_ = SetWindowsHookExA(WH_CBT, &OnCbt, nullptr, GetCurrentThreadId());
        // Should the hook never see the dialog, it is cancelled after a while
        // rather than left waiting for a user.
        watchdog_ = SetTimer(nullptr, 0, 60000, &OnWatchdog);
    }
    ~ColourUser() {
        UnhookWindowsHookEx(hook_);
        KillTimer(nullptr, watchdog_);
        current_ = nullptr;
    }
    ColourUser(const ColourUser&) = delete;
    ColourUser& operator=(const ColourUser&) = delete;

    HWND dialog() const { return dialog_; }
    HWND owner() const { return owner_; }
    bool timedOut() const { return timedOut_; }

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
        const auto window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE && current_ != nullptr && current_->dialog_ == nullptr &&
            GetDlgItem(window, COLOR_RED) != nullptr) {
            current_->dialog_ = window;
            current_->owner_ = GetWindow(window, GW_OWNER);
            SetTimer(nullptr, 0, 50, &OnAct);
            // Not passed on: the host double would take the dialog, which
            // also has a static text of id 0xFFFF, for a message box.
            return 0;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static void CALLBACK OnAct(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (current_ != nullptr) current_->act_(current_->dialog_);
    }
    static void CALLBACK OnWatchdog(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (current_ == nullptr) return;
        current_->timedOut_ = true;
        EnumThreadWindows(GetCurrentThreadId(), &CancelColourDialog, 0);
    }
    static BOOL CALLBACK CancelColourDialog(HWND window, LPARAM) {
        if (GetDlgItem(window, COLOR_RED) != nullptr) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }

    static inline ColourUser* current_ = nullptr;
    std::function<void(HWND)> act_;
    HHOOK hook_ = nullptr;
    UINT_PTR watchdog_ = 0;
    HWND dialog_ = nullptr;
    HWND owner_ = nullptr;
    bool timedOut_ = false;
};

void Click(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Opens the custom-colour half and types the colour into its boxes.
void TypeColour(HWND dialog, int red, int green, int blue) {
    Click(dialog, COLOR_MIX);
    SetDlgItemInt(dialog, COLOR_RED, red, FALSE);
    SetDlgItemInt(dialog, COLOR_GREEN, green, FALSE);
    SetDlgItemInt(dialog, COLOR_BLUE, blue, FALSE);
}

void PressOk(HWND dialog) { Click(dialog, IDOK); }
void PressCancel(HWND dialog) { Click(dialog, IDCANCEL); }

using ColourDialog = DialogTest;

TEST_F(ColourDialog, OkGivesTheColourTheUserSet) {
    const HWND window = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 650, 10, 100, 40, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    ColourUser user([](HWND dialog) {
        TypeColour(dialog, 10, 200, 30);
        PressOk(dialog);
    });
    const CallResult r = host.Call("coAskColor", {window, Colour(1, 1, 1)});
    DestroyWindow(window);
    ASSERT_NE(user.dialog(), nullptr) << "the colour dialog was shown";
    EXPECT_FALSE(user.timedOut());
    EXPECT_EQ(user.owner(), window) << "owned by argument 1";
    EXPECT_EQ(r.callbacks, 1);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.cell.kind, 1);
    EXPECT_EQ(r.integer(), Colour(10, 200, 30));
    EXPECT_FALSE(IsWindow(user.dialog()));
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(ColourDialog, CancelGivesMinusOne) {
    ColourUser user(&PressCancel);
    const CallResult r = host.Call("coAskColor", {dialog.hwnd(), Colour(9, 9, 9)});
    ASSERT_NE(user.dialog(), nullptr);
    EXPECT_FALSE(user.timedOut());
    EXPECT_EQ(r.callbacks, 1);
    EXPECT_EQ(r.integer(), -1);
}

TEST_F(ColourDialog, StartsAtArgumentTwoElseAtTheColourChosenLast) {
    {
        ColourUser user(&PressOk);
        EXPECT_EQ(host.Call("coAskColor", {dialog.hwnd(), Colour(0x56, 0x34, 0x12)}).integer(),
                  Colour(0x56, 0x34, 0x12));
    }
    {
        ColourUser user(&PressCancel);
        EXPECT_EQ(host.Call("coAskColor", {dialog.hwnd(), Colour(1, 2, 3)}).integer(), -1);
    }
    {
        // Argument 2 absent or negative: the colour chosen last (a
        // cancelled dialog chose nothing).
        ColourUser user(&PressOk);
        EXPECT_EQ(host.Call("coAskColor", {dialog.hwnd()}).integer(), Colour(0x56, 0x34, 0x12));
    }
    {
        ColourUser user(&PressOk);
        EXPECT_EQ(host.Call("coAskColor", {dialog.hwnd(), -1}).integer(), Colour(0x56, 0x34, 0x12));
    }
    {
        // Only the colour bits count.
        ColourUser user(&PressOk);
        EXPECT_EQ(host.Call("coAskColor", {dialog.hwnd(), 0x7F000000 | Colour(7, 8, 9)}).integer(), Colour(7, 8, 9));
    }
}

TEST_F(ColourDialog, OwnedByTheHostsWindowWhenArgumentOneIsNone) {
    const HWND none = NoWindow();
    ASSERT_FALSE(IsWindow(none));
    for (const HWND given : {HWND(nullptr), none}) {
        ColourUser user(&PressCancel);
        EXPECT_EQ(host.Call("coAskColor", {given, 0}).integer(), -1);
        ASSERT_NE(user.dialog(), nullptr);
        EXPECT_EQ(user.owner(), dialog.hwnd());
    }
}

TEST_F(ColourDialog, CustomColoursStayForTheNextDialog) {
    {
        ColourUser user([](HWND dialog) {
            TypeColour(dialog, 40, 50, 60);
            Click(dialog, COLOR_ADD);  // into the first custom colour box
            PressCancel(dialog);
        });
        EXPECT_EQ(host.Call("coAskColor", {dialog.hwnd(), 0}).integer(), -1);
    }
    ColourUser user([](HWND dialog) {
        // A click into the first custom colour box picks its colour.
        RECT boxes{};
        GetWindowRect(GetDlgItem(dialog, COLOR_CUSTOM1), &boxes);
        POINT at{boxes.left + 4, boxes.top + 4};
        ScreenToClient(dialog, &at);
        SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        PressOk(dialog);
    });
    EXPECT_EQ(host.Call("coAskColor", {dialog.hwnd(), 0}).integer(), Colour(40, 50, 60));
}

}  // namespace

namespace {

// A start colour of 0 is black, not "the colour chosen last".
TEST_F(ColourDialog, StartColourZeroIsBlack) {
    {
        ColourUser user(&PressOk);
        ASSERT_EQ(host.Call("coAskColor", {dialog.hwnd(), Colour(0x65, 0x43, 0x21)}).integer(),
                  Colour(0x65, 0x43, 0x21));
    }
    ColourUser user(&PressOk);
    EXPECT_EQ(host.Call("coAskColor", {dialog.hwnd(), 0}).integer(), 0);
    EXPECT_FALSE(user.timedOut());
}

}  // namespace
