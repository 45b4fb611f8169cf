// 65535 is HWND_BROADCAST to the platform: a message sent there reaches every
// top-level window of the desktop, in every process. To the library it is a
// handle that names no window, whatever function it is given to.
#include "tests/host/host_double.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vantor;
using namespace vantor::testing;

namespace {

// A top-level window of its own, as any other program's would be: it counts
// the messages that change a window's text or talk to a control.
class Witness {
public:
    Witness() {
        WNDCLASSA type{};
        type.lpfnWndProc = &Witness::Proc;
        type.hInstance = GetModuleHandleA(nullptr);
        type.lpszClassName = "VantorBroadcastWitness";
        RegisterClassA(&type);
        window_ = CreateWindowExA(0, type.lpszClassName, "witness", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200, 100,
                                  nullptr, nullptr, type.hInstance, nullptr);
    }
    ~Witness() { DestroyWindow(window_); }
    HWND hwnd() const { return window_; }

    struct State {
        std::string title;
        LONG style, exStyle;
        RECT place;
        bool operator==(const State& o) const {
            return title == o.title && style == o.style && exStyle == o.exStyle && EqualRect(&place, &o.place);
        }
    };
    State Now() const {
        State s{};
        char title[64] = {};
        GetWindowTextA(window_, title, sizeof title);
        s.title = title;
        s.style = GetWindowLongA(window_, GWL_STYLE);
        s.exStyle = GetWindowLongA(window_, GWL_EXSTYLE);
        GetWindowRect(window_, &s.place);
        return s;
    }
    static inline std::vector<UINT> received;

private:
    static bool Telling(UINT m) {
        // Not WM_GETTEXT: a message box of this thread reads the text of
        // the window it takes the activation from.
        return m == WM_SETTEXT || m == WM_SETREDRAW || m == WM_SETFONT || m == WM_CLOSE ||
               (m >= 0x00B0 && m <= 0x00FF) || (m >= 0x0140 && m <= 0x01FF) || (m >= WM_USER && m < 0xC000);
    }
    // Only what this thread sends counts: another program (the desktop's
    // shell) may ask any window for its text at any time.
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM w, LPARAM l) {
        if (Telling(message) && InSendMessageEx(nullptr) == ISMEX_NOSEND) received.push_back(message);
        return DefWindowProcA(window, message, w, l);
    }
    HWND window_ = nullptr;
};

// Calls every function with 65535 in every integer position (so in every
// window position, and no creator gets a parent that is null) and a short
// text for each text.
TEST(Broadcast, NoFunctionReachesOtherTopLevelWindows) {
    HostDouble host;
    Witness witness;
    ASSERT_NE(witness.hwnd(), nullptr);
    const Witness::State before = witness.Now();
    for (int i = 0; i < 130; ++i) {
        alignas(4) unsigned char storage[64] = {};
        auto& record = *reinterpret_cast<QueryRecord*>(storage);
        ASSERT_EQ(host.Dispatch(-2, &record, i), 1);
        std::vector<Arg> args;
        for (int k = 0; k < record.counts.required + record.counts.optional; ++k) {
            if ((record.typesLow >> (4 * k) & 0xF) == 1) args.emplace_back("x");
            else args.emplace_back(65535);
        }
        Witness::received.clear();
        host.CallIndex(i, args);
        MSG pending;
        while (PeekMessageA(&pending, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&pending);
        EXPECT_TRUE(Witness::received.empty())
            << host.names()[i] << " sent message 0x" << std::hex << Witness::received.front();
        EXPECT_TRUE(witness.Now() == before) << host.names()[i] << ": title \"" << witness.Now().title << "\"";
    }
}

}  // namespace
