// The plain message helpers the control families share.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vantor {

inline LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(window, message, wParam, lParam);
}

// A control's answer as the script's 32-bit integer.
inline std::int32_t AsInt(LRESULT value) { return static_cast<std::int32_t>(value); }

}  // namespace vantor
