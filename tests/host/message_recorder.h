// Records the arguments a window receives with one message, for checks of
// what the library asks a control to do where the control keeps no state
// to read back (a tooltip's activation, the frames an animation plays).
// The window is subclassed for the recorder's life; the message still
// reaches the control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>
#include <vector>

namespace vantor::testing {

class MessageRecorder {
public:
    MessageRecorder(HWND window, UINT message) : window_(window), message_(message) {
        SetWindowSubclass(window, &Record, kId, reinterpret_cast<DWORD_PTR>(this));
    }
    ~MessageRecorder() { RemoveWindowSubclass(window_, &Record, kId); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    // (wParam, lParam) of each time the message came, in order.
    const std::vector<std::pair<WPARAM, LPARAM>>& seen() const { return seen_; }

private:
    static constexpr UINT_PTR kId = 0x52454344;  // "RECD"
    static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR self) {
        auto* recorder = reinterpret_cast<MessageRecorder*>(self);
        if (message == recorder->message_) recorder->seen_.emplace_back(w, l);
        return DefSubclassProc(window, message, w, l);
    }

    HWND window_;
    UINT message_;
    std::vector<std::pair<WPARAM, LPARAM>> seen_;
};

}  // namespace vantor::testing
