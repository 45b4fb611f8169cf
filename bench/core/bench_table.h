// The table scripts/bench.sh writes from the result lines of several runs of
// the benchmark program (bench/timing.h prints them): per case the medians
// over the runs, the spread of the values, the bound and the verdict.
// Platform-free: it builds natively, beside the native tests.
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::bench {

// One "@ratio|case|raw µs|extender µs|ratio|bound" case over the runs.
struct RatioCase {
    std::string name;
    std::vector<double> raw, extender, ratio;
    std::string bound;  // as the last run printed it
};

// One "@absolute|case|value|bound|unit" case over the runs.
struct AbsoluteCase {
    std::string name;
    std::vector<double> values;
    double bound = 0;
    std::string unit;
};

// One "@info|case|value|unit" measure over the runs.
struct InfoCase {
    std::string name;
    std::vector<double> values;
    std::string unit;
};

// Every result line of the runs, each case in the order it first came.
struct RunResults {
    std::vector<RatioCase> ratios;
    std::vector<AbsoluteCase> absolutes;
    std::vector<InfoCase> infos;
    std::vector<std::string> faults;      // "@fault|text"
    std::vector<std::string> unreadable;  // result lines with missing fields or a value that is no number
};

// Adds one line of a run's output. Carriage returns are dropped (a Windows
// program ends its lines with CR LF); lines other than result lines (the
// reader's lines, "@benchmark|", "@done|") are passed over.
void ReadResultLine(RunResults& results, std::string_view line);
RunResults ReadResults(std::istream& runs);

// The middle value, or the mean of the two middle ones; 0 for none.
double Median(std::vector<double> values);

struct Table {
    std::string text;     // Markdown, ending in the count of cases out of bound and faults
    bool passed = false;  // every median within its bound, no fault, no unreadable line
};

// The table of the results; runs is how many runs were made, so that a case
// that came from fewer says so.
Table WriteTable(const RunResults& results, int runs);

}  // namespace vantor::bench
