// Points one import of a loaded module at a function of the test, for
// checks of what the module asks the system for (the icons it loads, say):
// only that module's calls go through the replacement, which calls the
// original itself. The destructor puts the original entry back.
#pragma once

#include <windows.h>

namespace vantor::testing {

class ImportHook {
public:
    // library is matched without regard to case ("user32.dll").
    ImportHook(HMODULE module, const char* library, const char* function, void* replacement);
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    // False when the module imports no such function by name.
    bool hooked() const { return entry_ != nullptr; }
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
