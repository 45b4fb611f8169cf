#include "controls/subclass.h"

namespace vantor {

bool Subclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
    if (!SetWindowSubclass(window, procedure, id, data)) return false;
    static const bool pinned = [] {
        HMODULE self = nullptr;
        return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                  reinterpret_cast<LPCSTR>(&Subclass), &self) != 0;
    }();
    (void)pinned;
    return true;
}

}  // namespace vantor
