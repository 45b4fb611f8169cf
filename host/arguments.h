// Reads a handler's arguments from the host's block of value cells.
// Argument k counts from 1. Only the first `count` cells exist: an argument
// beyond them reads as 0, the empty text or a null window, and no cell past
// the block is ever touched.
#pragma once

#include "host/core/value_helpers.h"
#include "host/handles.h"
#include "host/records.h"
#include "host/window.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vantor {

// Whether `size` bytes at `address` are committed memory of this process
// that can be read (a question to the memory manager; nothing is read).
inline bool ReadableMemory(const void* address, std::size_t size) {
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    const auto first = reinterpret_cast<std::uintptr_t>(address);
    if (address == nullptr || first + size < first) return false;
    for (std::uintptr_t at = first; at < first + size;) {
        MEMORY_BASIC_INFORMATION region{};
        if (VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region) != sizeof region) return false;
        if (region.State != MEM_COMMIT || (region.Protect & kReadable) == 0 || (region.Protect & PAGE_GUARD) != 0)
            return false;
        at = reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
    }
    return true;
}

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

    // A number the table types as a text: the integer form when the host
    // filled it, else the number the text holds ("30" is 30; see
    // ParseInteger), so a script may pass 30 or "30" alike.
    std::int32_t numberInText(std::int32_t k) const { return integer(k) != 0 ? integer(k) : ParseInteger(text(k)); }

    // Argument k as a handle of type T (an image list, ...).
    template <class T>
    T handle(std::int32_t k) const {
        return HandleFrom<T>(integer(k));
    }
    // Argument k as a handle that is an address in this process (an image
    // list): null unless memory there can be read, so that the platform's
    // own check of the object never touches an address that faults.
    template <class T>
    T objectHandle(std::int32_t k) const {
        const T handle = HandleFrom<T>(integer(k));
        return ReadableMemory(handle, sizeof(void*)) ? handle : nullptr;
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
