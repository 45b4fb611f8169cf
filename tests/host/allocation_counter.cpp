#include "tests/host/allocation_counter.h"

#include "tests/host/import_patch.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <unordered_map>
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
// The allocation made to fail (counted from FailAt; 0: none) and whether it
// came.
long failAt = 0;
long sinceArmed = 0;
bool madeToFail = false;
// The C runtime blocks the module holds that it took while counted, by
// address; blocks it took before are not known and their frees ignored.
std::unordered_map<void*, std::size_t> live;
long long liveBytes = 0;

// Counts one allocation; false when it is the one to fail.
bool Allow() {
    ++allocations;
    if (failAt == 0) return true;
    if (++sinceArmed != failAt) return true;
    madeToFail = true;
    return false;
}

void Track(void* block, std::size_t size) {
    if (block == nullptr) return;
    live[block] = size;
    liveBytes += static_cast<long long>(size);
}

void Untrack(void* block) {
    const auto found = live.find(block);
    if (found == live.end()) return;
    liveBytes -= static_cast<long long>(found->second);
    live.erase(found);
}

using MallocFn = void*(__cdecl*)(std::size_t);
using CallocFn = void*(__cdecl*)(std::size_t, std::size_t);
using ReallocFn = void*(__cdecl*)(void*, std::size_t);
using StrdupFn = char*(__cdecl*)(const char*);
using FreeFn = void(__cdecl*)(void*);
using HeapAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, SIZE_T);
using HeapReAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, LPVOID, SIZE_T);
using LocalAllocFn = HLOCAL(WINAPI*)(UINT, SIZE_T);
using GlobalAllocFn = HGLOBAL(WINAPI*)(UINT, SIZE_T);

MallocFn originalMalloc;
CallocFn originalCalloc;
ReallocFn originalRealloc;
StrdupFn originalStrdup;
FreeFn originalFree;
HeapAllocFn originalHeapAlloc;
HeapReAllocFn originalHeapReAlloc;
LocalAllocFn originalLocalAlloc;
GlobalAllocFn originalGlobalAlloc;

void* __cdecl CountingMalloc(std::size_t size) {
    if (!Allow()) return nullptr;
    void* block = originalMalloc(size);
    Track(block, size);
    return block;
}
void* __cdecl CountingCalloc(std::size_t count, std::size_t size) {
    if (!Allow()) return nullptr;
    void* block = originalCalloc(count, size);
    Track(block, count * size);
    return block;
}
// A failed realloc leaves the block as it was; realloc(p, 0) frees it.
void* __cdecl CountingRealloc(void* block, std::size_t size) {
    if (!Allow()) return nullptr;
    void* moved = originalRealloc(block, size);
    if (moved != nullptr || size == 0) Untrack(block);
    Track(moved, size);
    return moved;
}
char* __cdecl CountingStrdup(const char* text) {
    if (!Allow()) return nullptr;
    char* copy = originalStrdup(text);
    Track(copy, std::strlen(text) + 1);
    return copy;
}
void __cdecl CountingFree(void* block) {
    Untrack(block);
    originalFree(block);
}
LPVOID WINAPI CountingHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size) {
    return Allow() ? originalHeapAlloc(heap, flags, size) : nullptr;
}
LPVOID WINAPI CountingHeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T size) {
    return Allow() ? originalHeapReAlloc(heap, flags, block, size) : nullptr;
}
HLOCAL WINAPI CountingLocalAlloc(UINT flags, SIZE_T size) {
    return Allow() ? originalLocalAlloc(flags, size) : nullptr;
}
HGLOBAL WINAPI CountingGlobalAlloc(UINT flags, SIZE_T size) {
    return Allow() ? originalGlobalAlloc(flags, size) : nullptr;
}

// Points one import entry at replacement and keeps what it held in original.
template <class Fn>
void Patch(void** entry, Fn replacement, Fn& original) {
    void* was = WriteImportEntry(entry, reinterpret_cast<void*>(replacement));
    original = reinterpret_cast<Fn>(was);
    patched.push_back({entry, was});
}

void PatchByName(const char* name, void** entry) {
    if (std::strcmp(name, "malloc") == 0) Patch(entry, &CountingMalloc, originalMalloc);
    else if (std::strcmp(name, "calloc") == 0) Patch(entry, &CountingCalloc, originalCalloc);
    else if (std::strcmp(name, "realloc") == 0) Patch(entry, &CountingRealloc, originalRealloc);
    else if (std::strcmp(name, "_strdup") == 0 || std::strcmp(name, "strdup") == 0)
        Patch(entry, &CountingStrdup, originalStrdup);
    else if (std::strcmp(name, "free") == 0) Patch(entry, &CountingFree, originalFree);
    else if (std::strcmp(name, "HeapAlloc") == 0) Patch(entry, &CountingHeapAlloc, originalHeapAlloc);
    else if (std::strcmp(name, "HeapReAlloc") == 0) Patch(entry, &CountingHeapReAlloc, originalHeapReAlloc);
    else if (std::strcmp(name, "LocalAlloc") == 0) Patch(entry, &CountingLocalAlloc, originalLocalAlloc);
    else if (std::strcmp(name, "GlobalAlloc") == 0) Patch(entry, &CountingGlobalAlloc, originalGlobalAlloc);
}

}  // namespace

AllocationCounter::AllocationCounter(HMODULE module) {
    if (alive) throw std::logic_error("one allocation counter at a time");
    alive = true;
    patched.clear();
    ForEachImport(module, [](const char* name, void** entry) { PatchByName(name, entry); });
    allocations = 0;
    failAt = sinceArmed = 0;
    madeToFail = false;
    live.clear();
    liveBytes = 0;
}

AllocationCounter::~AllocationCounter() {
    for (const Patched& p : patched) WriteImportEntry(p.entry, p.original);
    patched.clear();
    live.clear();
    failAt = 0;
    alive = false;
}

int AllocationCounter::hooked() const { return static_cast<int>(patched.size()); }
long AllocationCounter::count() const { return allocations; }
void AllocationCounter::Reset() { allocations = 0; }

void AllocationCounter::FailAt(long n) {
    failAt = n > 0 ? n : 0;
    sinceArmed = 0;
    madeToFail = false;
}
bool AllocationCounter::failureMade() const { return madeToFail; }
long AllocationCounter::outstandingBlocks() const { return static_cast<long>(live.size()); }
long long AllocationCounter::outstandingBytes() const { return liveBytes; }

}  // namespace vantor::testing
