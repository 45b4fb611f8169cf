// Reads a handler's arguments from the host's block of value cells.
// Argument k counts from 1. Only the first `count` cells exist: an argument
// beyond them reads as 0, the empty text or a null window, and no cell past
// the block is ever touched.
#pragma once

#include "host/handles.h"
#include "host/records.h"
#include "host/window.h"

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

    // Argument k as a handle of type T (an image list, ...).
    template <class T>
    T handle(std::int32_t k) const {
        return HandleFrom<T>(integer(k));
    }
    // Argument k as a window; 0xFFFF stays what it is, a handle that names
    // no window, and Window::Send never sends there.
    Window window(std::int32_t k) const { return Window(handle<HWND>(k)); }

    // An optional argument: read only when the script gave it.
    std::int32_t optionalInteger(std::int32_t k, std::int32_t fallback) const {
        return given(k) ? cell(k).intValue : fallback;
    }

private:
    const ValueCell& cell(std::int32_t k) const { return cells_[k - 1]; }

    const ValueCell* cells_;
    std::int32_t count_;
};

}  // namespace vantor
