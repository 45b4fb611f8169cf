#include "tests/host/allocation_counter.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace vantor::testing {
namespace {

// The live counter's state: the hooked entries and what they held.
struct Patched {
    void** entry;
    void* original;
};
std::vector<Patched> patched;
long allocations = 0;
bool alive = false;

using MallocFn = void*(__cdecl*)(std::size_t);
using CallocFn = void*(__cdecl*)(std::size_t, std::size_t);
using ReallocFn = void*(__cdecl*)(void*, std::size_t);
using StrdupFn = char*(__cdecl*)(const char*);
using HeapAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, SIZE_T);
using HeapReAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, LPVOID, SIZE_T);
using LocalAllocFn = HLOCAL(WINAPI*)(UINT, SIZE_T);
using GlobalAllocFn = HGLOBAL(WINAPI*)(UINT, SIZE_T);

MallocFn originalMalloc;
CallocFn originalCalloc;
ReallocFn originalRealloc;
StrdupFn originalStrdup;
HeapAllocFn originalHeapAlloc;
HeapReAllocFn originalHeapReAlloc;
LocalAllocFn originalLocalAlloc;
GlobalAllocFn originalGlobalAlloc;

void* __cdecl CountingMalloc(std::size_t size) {
    ++allocations;
    return originalMalloc(size);
}
void* __cdecl CountingCalloc(std::size_t count, std::size_t size) {
    ++allocations;
    return originalCalloc(count, size);
}
void* __cdecl CountingRealloc(void* block, std::size_t size) {
    ++allocations;
    return originalRealloc(block, size);
}
char* __cdecl CountingStrdup(const char* text) {
    ++allocations;
    return originalStrdup(text);
}
LPVOID WINAPI CountingHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size) {
    ++allocations;
    return originalHeapAlloc(heap, flags, size);
}
LPVOID WINAPI CountingHeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T size) {
    ++allocations;
    return originalHeapReAlloc(heap, flags, block, size);
}
HLOCAL WINAPI CountingLocalAlloc(UINT flags, SIZE_T size) {
    ++allocations;
    return originalLocalAlloc(flags, size);
}
HGLOBAL WINAPI CountingGlobalAlloc(UINT flags, SIZE_T size) {
    ++allocations;
    return originalGlobalAlloc(flags, size);
}

// Points one import entry at replacement and keeps what it held in original.
template <class Fn>
void Patch(void** entry, Fn replacement, Fn& original) {
    DWORD protection = 0;
    if (!VirtualProtect(entry, sizeof(void*), PAGE_READWRITE, &protection))
        throw std::runtime_error("cannot write the import table");
    original = reinterpret_cast<Fn>(*entry);
    patched.push_back({entry, *entry});
    *entry = reinterpret_cast<void*>(replacement);
    VirtualProtect(entry, sizeof(void*), protection, &protection);
}

void PatchByName(const char* name, void** entry) {
    if (std::strcmp(name, "malloc") == 0) Patch(entry, &CountingMalloc, originalMalloc);
    else if (std::strcmp(name, "calloc") == 0) Patch(entry, &CountingCalloc, originalCalloc);
    else if (std::strcmp(name, "realloc") == 0) Patch(entry, &CountingRealloc, originalRealloc);
    else if (std::strcmp(name, "_strdup") == 0 || std::strcmp(name, "strdup") == 0)
        Patch(entry, &CountingStrdup, originalStrdup);
    else if (std::strcmp(name, "HeapAlloc") == 0) Patch(entry, &CountingHeapAlloc, originalHeapAlloc);
    else if (std::strcmp(name, "HeapReAlloc") == 0)
        Patch(entry, &CountingHeapReAlloc, originalHeapReAlloc);
    else if (std::strcmp(name, "LocalAlloc") == 0) Patch(entry, &CountingLocalAlloc, originalLocalAlloc);
    else if (std::strcmp(name, "GlobalAlloc") == 0)
        Patch(entry, &CountingGlobalAlloc, originalGlobalAlloc);
}

}  // namespace

AllocationCounter::AllocationCounter(HMODULE module) {
    if (alive) throw std::logic_error("one allocation counter at a time");
    alive = true;
    patched.clear();
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
            PatchByName(reinterpret_cast<const char*>(byName->Name),
                        reinterpret_cast<void**>(&entries->u1.Function));
        }
    }
    allocations = 0;
}

AllocationCounter::~AllocationCounter() {
    for (const Patched& p : patched) {
        DWORD protection = 0;
        VirtualProtect(p.entry, sizeof(void*), PAGE_READWRITE, &protection);
        *p.entry = p.original;
        VirtualProtect(p.entry, sizeof(void*), protection, &protection);
    }
    patched.clear();
    alive = false;
}

int AllocationCounter::hooked() const { return static_cast<int>(patched.size()); }
long AllocationCounter::count() const { return allocations; }
void AllocationCounter::Reset() { allocations = 0; }

}  // namespace vantor::testing
