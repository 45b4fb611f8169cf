// Clock, statistics and report lines the benchmarks share.
//
// Every case prints one line for a reader and one line for scripts/bench.sh,
// which runs each benchmark several times and writes the table of medians:
//   @ratio|case|raw µs|extender µs|ratio|bound      the extender against raw calls
//   @absolute|case|value|bound|unit                 a measured value and its bound
//   @info|case|value|unit                           printed beside, no bound
//   @fault|text                                     the extender did not do the raw calls' work
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace vantor::bench {

inline double NowMicroseconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// Mean cost of one call over `calls` calls, in microseconds.
inline double Round(const std::function<void()>& call, int calls) {
    const double start = NowMicroseconds();
    for (int i = 0; i < calls; ++i) call();
    return (NowMicroseconds() - start) / calls;
}

// How a comparison is timed: `rounds` rounds of each side, alternating, each
// round about `roundMicroseconds` long (as one first call of each side
// estimates) and of at most maxCalls calls; one call a round when maxCalls
// is 1 (calls that take long).
struct Plan {
    int rounds = 11;
    double roundMicroseconds = 40000;
    int maxCalls = 20000;
};

struct Timing {
    double raw, extender, ratio;  // medians: µs per call, and of the per-round ratios
};

// Times the raw calls and the extender in alternating rounds, raw first, so
// that a change of load on the machine weighs on both alike.
// `before`, if given, runs untimed before each side's every round.
inline Timing Compare(const std::function<void()>& raw, const std::function<void()>& extender, const Plan& plan = {},
                      const std::function<void()>& before = {}) {
    int calls = 1;
    if (plan.maxCalls > 1) {
        const double once = std::max({Round(raw, 1), Round(extender, 1), 0.01});
        calls = std::clamp(static_cast<int>(plan.roundMicroseconds / once), 1, plan.maxCalls);
    }
    std::vector<double> raws, extenders, ratios;
    const auto prepare = [&] {
        if (before) before();
    };
    for (int r = 0; r < plan.rounds; ++r) {
        prepare();
        raws.push_back(Round(raw, calls));
        prepare();
        extenders.push_back(Round(extender, calls));
        ratios.push_back(extenders.back() / raws.back());
    }
    return {Median(raws), Median(extenders), Median(ratios)};
}

inline void PrintHeading() {
    std::printf("  %-52s %12s %12s %7s %7s\n", "case", "raw µs", "extender µs", "ratio", "bound");
}

// One compared case; true when the ratio is within bound.
inline bool ReportRatio(const char* name, const Timing& t, double bound) {
    const bool within = t.ratio <= bound;
    std::printf("  %-52s %12.2f %12.2f %7.3f %7.2f%s\n", name, t.raw, t.extender, t.ratio, bound,
                within ? "" : "  OUT OF BOUND");
    std::printf("@ratio|%s|%.3f|%.3f|%.4f|%.2f\n", name, t.raw, t.extender, t.ratio, bound);
    return within;
}

// One measured value that must not exceed bound.
inline bool ReportAbsolute(const char* name, double value, double bound, const char* unit) {
    const bool within = value <= bound;
    std::printf("  %-52s %12.2f %s (bound %.2f)%s\n", name, value, unit, bound, within ? "" : "  OUT OF BOUND");
    std::printf("@absolute|%s|%.3f|%.3f|%s\n", name, value, bound, unit);
    return within;
}

inline void ReportInfo(const char* name, double value, const char* unit) {
    std::printf("  %-52s %12.2f %s\n", name, value, unit);
    std::printf("@info|%s|%.3f|%s\n", name, value, unit);
}

// The extender's answer or effect differs from the raw calls': its times
// mean nothing, and the run fails.
inline void ReportFault(const std::string& text) {
    std::printf("  FAULT: %s\n@fault|%s\n", text.c_str(), text.c_str());
}

}  // namespace vantor::bench
