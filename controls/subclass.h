// Subclassing a window with code of this library.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace vantor {

// SetWindowSubclass, and once it has worked the library stays loaded until
// the process ends: a subclassed window may outlive the host's hold on the
// library, and a window must never call into unloaded code.
bool Subclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);

}  // namespace vantor
