#include "tests/host/import_hook.h"

#include <cstring>

namespace vantor::testing {
namespace {

bool WriteEntry(void** entry, void* value) {
    DWORD protection = 0;
    if (!VirtualProtect(entry, sizeof(void*), PAGE_READWRITE, &protection)) return false;
    *entry = value;
    VirtualProtect(entry, sizeof(void*), protection, &protection);
    return true;
}

// The import table entry of library!function in module, or null.
void** FindEntry(HMODULE module, const char* library, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return nullptr;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         entry->Name != 0; ++entry) {
        if (entry->OriginalFirstThunk == 0 ||
            lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), library) != 0)
            continue;
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

}  // namespace

ImportHook::ImportHook(HMODULE module, const char* library, const char* function, void* replacement) {
    void** entry = FindEntry(module, library, function);
    if (entry == nullptr) return;
    void* original = *entry;
    if (!WriteEntry(entry, replacement)) return;
    entry_ = entry;
    original_ = original;
}

ImportHook::~ImportHook() {
    if (entry_ != nullptr) WriteEntry(entry_, original_);
}

}  // namespace vantor::testing
