// Reads a handler's arguments from the host's block of value cells.
// Argument k counts from 1. Only the first `count` cells exist: an argument
// beyond them reads as 0, the empty text or a null window, and no cell past
// the block is ever touched.
#pragma once

#include "host/records.h"

#include <windows.h>

#include <cstdint>

namespace vantor {

class Arguments {
public:
    Arguments(const ValueCell* cells, std::int32_t count)
        : cells_(cells), count_(cells == nullptr || count < 0 ? 0 : count) {}

    std::int32_t count() const { return count_; }
    bool given(std::int32_t k) const { return k >= 1 && k <= count_; }

    std::int32_t integer(std::int32_t k) const { return given(k) ? cell(k).intValue : 0; }

    const char* text(std::int32_t k) const {
        const char* s = given(k) ? cell(k).strValue : nullptr;
        return s != nullptr ? s : "";
    }

    // Argument k as a handle of type T (a window, an image list, ...).
    template <class T>
    T handle(std::int32_t k) const {
        return reinterpret_cast<T>(static_cast<std::intptr_t>(integer(k)));
    }
    HWND window(std::int32_t k) const { return handle<HWND>(k); }

    // An optional argument: read only when the script gave it.
    std::int32_t optionalInteger(std::int32_t k, std::int32_t fallback) const {
        return given(k) ? cell(k).intValue : fallback;
    }

private:
    const ValueCell& cell(std::int32_t k) const { return cells_[k - 1]; }

    const ValueCell* cells_;
    std::int32_t count_;
};

// A handle as scripts hold it: a 32-bit integer.
inline std::int32_t HandleValue(const void* handle) {
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(handle));
}

}  // namespace vantor
