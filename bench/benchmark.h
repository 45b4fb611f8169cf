// The benchmarks are one program (under emulation most of a program's time
// is Wine starting the process): each bench/*_bench.cpp defines its
// benchmark with VANTOR_BENCHMARK(name) { ... return within; } and
// bench/main.cpp runs those named on its command line, or all.
#pragma once

#include <map>
#include <string>

namespace vantor::bench {

// true when every case of the benchmark was within its bound and no fault
// was found.
using BenchmarkFn = bool (*)();

inline std::map<std::string, BenchmarkFn>& Benchmarks() {
    static std::map<std::string, BenchmarkFn> all;
    return all;
}

struct Registration {
    Registration(const char* name, BenchmarkFn run) { Benchmarks()[name] = run; }
};

}  // namespace vantor::bench

#define VANTOR_BENCHMARK(name)                                                              \
    static bool name##Benchmark();                                                          \
    static const ::vantor::bench::Registration name##Registration(#name, &name##Benchmark); \
    static bool name##Benchmark()
