#include "tests/host/import_patch.h"

#include <cstring>
#include <stdexcept>

namespace vantor::testing {

void ForEachImport(HMODULE module, const std::function<void(const char*, void**)>& visit) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return;
    for (auto* library = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name != 0; ++library) {
        if (library->OriginalFirstThunk == 0) continue;  // names unknown
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* entries = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++entries) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            visit(reinterpret_cast<const char*>(byName->Name), reinterpret_cast<void**>(&entries->u1.Function));
        }
    }
}

void* WriteImportEntry(void** entry, void* value) {
    DWORD protection = 0;
    if (!VirtualProtect(entry, sizeof(void*), PAGE_READWRITE, &protection))
        throw std::runtime_error("cannot write the import table");
    void* was = *entry;
    *entry = value;
    VirtualProtect(entry, sizeof(void*), protection, &protection);
    return was;
}

ImportPatch::ImportPatch(HMODULE module, const char* name, void* replacement) {
    ForEachImport(module, [&](const char* imported, void** entry) {
        if (entry_ == nullptr && std::strcmp(imported, name) == 0) entry_ = entry;
    });
    if (entry_ != nullptr) original_ = WriteImportEntry(entry_, replacement);
}

ImportPatch::~ImportPatch() {
    if (entry_ != nullptr) WriteImportEntry(entry_, original_);
}

}  // namespace vantor::testing
