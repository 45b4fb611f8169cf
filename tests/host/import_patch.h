// Points entries of a loaded module's import table elsewhere, for tests that
// make one platform function fail (or count its calls) inside the library
// while the rest of the process is left alone.
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
// replacement; original() is what it called before.
class ImportPatch {
public:
    ImportPatch(HMODULE module, const char* name, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool patched() const { return entry_ != nullptr; }
    template <class Fn>
    Fn original() const {
        return reinterpret_cast<Fn>(original_);
    }

private:
    void** entry_ = nullptr;
    void* original_ = nullptr;
};

}  // namespace vantor::testing
