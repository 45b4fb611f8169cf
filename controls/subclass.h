// Subclassing a window with code of this library.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace vantor {

// The id of one of the library's subclasses: four characters that name the
// family and what it keeps, the first in the highest byte, so that a
// window's subclasses say whose they are.
constexpr UINT_PTR SubclassId(const char (&code)[5]) {
    return static_cast<UINT_PTR>(static_cast<unsigned char>(code[0])) << 24 |
           static_cast<UINT_PTR>(static_cast<unsigned char>(code[1])) << 16 |
           static_cast<UINT_PTR>(static_cast<unsigned char>(code[2])) << 8 |
           static_cast<UINT_PTR>(static_cast<unsigned char>(code[3]));
}
static_assert(SubclassId("VLVC") == 0x564C5643);

// SetWindowSubclass, and once it has worked the library stays loaded until
// the process ends: a subclassed window may outlive the host's hold on the
// library, and a window must never call into unloaded code.
bool Subclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);

}  // namespace vantor
