// Points entries of a loaded module's import table elsewhere, for tests that
// make one platform function fail, count its calls or see what the module
// asks the system for (the icons it loads, say), while the rest of the
// process is left alone: only that module's calls go through the
// replacement, which calls the original itself.
#pragma once

#include <windows.h>

#include <functional>

namespace vantor::testing {

// Calls visit(name, entry) for each import of module known by name.
void ForEachImport(HMODULE module, const std::function<void(const char* name, void** entry)>& visit);

// Writes value into one import table entry (the page's protection kept);
// gives what it held.
void* WriteImportEntry(void** entry, void* value);

// While alive, module's import `name` (of whichever library) calls
// replacement; original() is what it called before. The destructor puts
// the original entry back.
class ImportPatch {
public:
    ImportPatch(HMODULE module, const char* name, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // False when the module imports no such function by name.
    bool patched() const { return entry_ != nullptr; }
    // What the entry held before: the function the replacement calls.
    template <class Fn>
    Fn original() const {
        return reinterpret_cast<Fn>(original_);
    }

private:
    void** entry_ = nullptr;
    void* original_ = nullptr;
};

}  // namespace vantor::testing
