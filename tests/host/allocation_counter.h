// Counts the heap allocations a loaded module makes, for checks that a call
// allocates nothing: the module's import table entries of the C runtime's
// allocation functions (operator new ends in malloc) and of the system heap
// functions are pointed at counting functions that call through to the
// originals. Only that module's calls are counted; the program's own
// allocations and the system libraries' inner ones are not.
//
// It also makes one chosen allocation fail (the C runtime's functions give
// null, the operator new on top of them throws std::bad_alloc), for runs
// that fail each allocation of a call in turn, and keeps the blocks the
// module took from the C runtime while counted and has not freed.
#pragma once

#include <windows.h>

namespace vantor::testing {

class AllocationCounter {
public:
    // Hooks module's imports; one counter may be alive at a time.
    explicit AllocationCounter(HMODULE module);
    ~AllocationCounter();  // puts the original entries back
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    // The number of import entries hooked (0: nothing would be counted).
    int hooked() const;
    // Allocations made since construction or the last Reset.
    long count() const;
    void Reset();

    // The n-th allocation from now on fails, once (0: none fails).
    void FailAt(long n);
    // True once the allocation chosen by FailAt has been made to fail.
    bool failureMade() const;

    // C runtime blocks taken while counted and not yet freed, and their bytes.
    long outstandingBlocks() const;
    long long outstandingBytes() const;
};

}  // namespace vantor::testing
