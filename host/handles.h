// Handles as scripts hold them: 32-bit integers. The one place a handle
// becomes an integer and back.
#pragma once

#include <cstdint>

namespace vantor {

// The script's integer for a handle (a window, an image list, ...).
inline std::int32_t HandleValue(const void* handle) {
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(handle));
}

// The handle of type T a script's integer stands for.
template <class T>
T HandleFrom(std::int32_t value) {
    return reinterpret_cast<T>(static_cast<std::intptr_t>(value));
}

}  // namespace vantor
