// The script's 8-bit texts as the platform's UTF-16 calls take them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace vantor {

// text, in the system's ANSI code page, as UTF-16. Empty when text is empty
// or the code page cannot convert it.
inline std::wstring WideFromAnsi(const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);  // with the NUL
    if (length <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length) != length) return {};
    wide.resize(static_cast<std::size_t>(length) - 1);
    return wide;
}

}  // namespace vantor
