// An animation control.
#pragma once

#include "wrappers/control.h"

#include <windows.h>
#include <commctrl.h>

namespace vantor {

class Animation : public Control {
public:
    using Control::Control;

    // Opens the clip file (null: closes the clip); false when it is none.
    bool Open(const char* file) const { return Send(ACM_OPENA, 0, reinterpret_cast<LPARAM>(file)) != 0; }
    bool Close() const { return Open(nullptr); }
    // Frames first to last (-1: the last), repeat times (-1: for ever);
    // first == last shows one frame.
    bool Play(int first, int last, int repeat) const {
        const LPARAM frames =
            static_cast<LPARAM>((static_cast<DWORD>(static_cast<WORD>(last)) << 16) | static_cast<WORD>(first));
        return Send(ACM_PLAY, static_cast<WPARAM>(repeat), frames) != 0;
    }
    bool Stop() const { return Send(ACM_STOP) != 0; }
};

}  // namespace vantor
