// Animation controls (an).

#include "controls/create_control.h"
#include "host/arguments.h"
#include "host/vantor.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

namespace vantor {
namespace {

// A thin wrapper of an animation control.
class Animation : public Window {
public:
    using Window::Window;

    LRESULT Open(const char* file) const {
        return Send(ACM_OPENA, 0, reinterpret_cast<LPARAM>(file));
    }
    void Close() const { Open(nullptr); }
    void Play(int first, int last, int repeat) const {
        const LPARAM frames = static_cast<LPARAM>(
            (static_cast<DWORD>(static_cast<WORD>(last)) << 16) | static_cast<WORD>(first));
        Send(ACM_PLAY, static_cast<WPARAM>(repeat), frames);
    }
    void Stop() const { Send(ACM_STOP, 0, 0); }
};

}  // namespace

// Created hidden at 0, 0, 0, 0 and then placed; anOpenAVI shows it.
std::int32_t CVantor::anCreateAVI(HWND, HINSTANCE hostInstance, std::int32_t, ValueCell* args,
                                  std::int32_t argCount) {
    const Arguments a(args, argCount);
    const HWND control = CreateControl(
        {.className = ANIMATE_CLASSA, .text = nullptr, .style = WS_CHILD, .id = 2222,
         .createAtOrigin = true},
        a, hostInstance);
    return ReturnInteger(HandleValue(control));
}

// Opens the clip and shows the control, also when the clip did not open.
std::int32_t CVantor::anOpenAVI(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    const Arguments a(args, argCount);
    Animation(a.window(1)).Open(a.text(2));
    ShowWindow(a.window(1), SW_SHOW);
    return ReturnInteger(0);
}

// Arguments 2 to 4: first frame, last frame (-1 the last) and repeat count
// (-1 for ever).
std::int32_t CVantor::anPlayAVI(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    const Arguments a(args, argCount);
    Animation(a.window(1)).Play(a.integer(2), a.integer(3), a.integer(4));
    return ReturnInteger(1);
}

std::int32_t CVantor::anStopAVI(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    Animation(Arguments(args, argCount).window(1)).Stop();
    return ReturnInteger(1);
}

std::int32_t CVantor::anCloseAVI(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    Animation(Arguments(args, argCount).window(1)).Close();
    return ReturnInteger(1);
}

}  // namespace vantor
