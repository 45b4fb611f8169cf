#include "bench/core/bench_table.h"

#include <algorithm>
#include <charconv>
#include <cstdarg>
#include <cstdio>

namespace vantor::bench {

namespace {

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t bar = line.find('|', start);
        fields.push_back(line.substr(start, bar - start));
        if (bar == std::string_view::npos) return fields;
        start = bar + 1;
    }
}

// The whole field as a number.
bool ReadNumber(std::string_view field, double& value) {
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    return !field.empty() && error == std::errc{} && stop == end;
}

// The case named name in cases, added at the end when it is new.
template <class Case>
Case& Named(std::vector<Case>& cases, std::string_view name) {
    const auto found = std::ranges::find(cases, name, &Case::name);
    if (found != cases.end()) return *found;
    cases.push_back({.name = std::string(name)});
    return cases.back();
}

// The result line's tag, fields and values; false when a field is missing
// or one meant as a number is not.
bool ReadResult(std::string_view line, RunResults& results) {
    const std::vector<std::string_view> f = SplitFields(line);
    double a = 0, b = 0, c = 0, d = 0;
    if (f[0] == "@ratio") {
        if (f.size() != 6 || !ReadNumber(f[2], a) || !ReadNumber(f[3], b) || !ReadNumber(f[4], c) ||
            !ReadNumber(f[5], d))
            return false;
        RatioCase& ratio = Named(results.ratios, f[1]);
        ratio.raw.push_back(a);
        ratio.extender.push_back(b);
        ratio.ratio.push_back(c);
        ratio.bound = f[5];
    } else if (f[0] == "@absolute") {
        if (f.size() != 5 || !ReadNumber(f[2], a) || !ReadNumber(f[3], b)) return false;
        AbsoluteCase& absolute = Named(results.absolutes, f[1]);
        absolute.values.push_back(a);
        absolute.bound = b;
        absolute.unit = f[4];
    } else if (f[0] == "@info") {
        if (f.size() != 4 || !ReadNumber(f[2], a)) return false;
        InfoCase& info = Named(results.infos, f[1]);
        info.values.push_back(a);
        info.unit = f[3];
    } else if (f[0] == "@fault") {
        // The text is the rest of the line, bars and all.
        if (f.size() < 2) return false;
        results.faults.emplace_back(line.substr(f[0].size() + 1));
    }
    return true;
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    std::string text(static_cast<std::size_t>(std::vsnprintf(nullptr, 0, format, args)), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    va_end(args);
    return text;
}

double Least(const std::vector<double>& values) { return std::ranges::min(values); }
double Most(const std::vector<double>& values) { return std::ranges::max(values); }
const char* Verdict(bool within) { return within ? "within bound" : "**OUT OF BOUND**"; }

// The cases against raw calls; counts those out of bound into out.
std::string RatioRows(const std::vector<RatioCase>& cases, int runs, int& out) {
    std::string text =
        "| case | raw µs | extender µs | ratio | spread | bound | verdict |\n"
        "|---|---:|---:|---:|---:|---:|---|\n";
    for (const RatioCase& c : cases) {
        const double ratio = Median(c.ratio);
        double bound = 0;
        ReadNumber(c.bound, bound);
        const bool within = ratio <= bound;
        out += within ? 0 : 1;
        const int count = static_cast<int>(c.ratio.size());
        const std::string fewer = count < runs ? Format(" (%d runs)", count) : "";
        text += Format("| %s | %.2f | %.2f | %.3f | %.3f–%.3f | %s | %s%s |\n", c.name.c_str(), Median(c.raw),
                       Median(c.extender), ratio, Least(c.ratio), Most(c.ratio), c.bound.c_str(), Verdict(within),
                       fewer.c_str());
    }
    return text;
}

std::string AbsoluteRows(const std::vector<AbsoluteCase>& cases, int& out) {
    std::string text =
        "\n| case | value | spread | bound | verdict |\n"
        "|---|---:|---:|---:|---|\n";
    for (const AbsoluteCase& c : cases) {
        const double value = Median(c.values);
        const bool within = value <= c.bound;
        out += within ? 0 : 1;
        text += Format("| %s | %.2f %s | %.2f–%.2f | %g %s | %s |\n", c.name.c_str(), value, c.unit.c_str(),
                       Least(c.values), Most(c.values), c.bound, c.unit.c_str(), Verdict(within));
    }
    return text;
}

std::string InfoRows(const std::vector<InfoCase>& cases) {
    std::string text =
        "\nBeside the bounds:\n\n"
        "| measure | value | spread |\n"
        "|---|---:|---:|\n";
    for (const InfoCase& c : cases)
        text += Format("| %s | %.2f %s | %.2f–%.2f |\n", c.name.c_str(), Median(c.values), c.unit.c_str(),
                       Least(c.values), Most(c.values));
    return text;
}

// A list of lines, each item in the form given.
std::string Items(const char* heading, const std::vector<std::string>& lines, const char* form) {
    std::string text = Format("\n%s\n\n", heading);
    for (const std::string& line : lines) text += Format(form, line.c_str());
    return text;
}

}  // namespace

void ReadResultLine(RunResults& results, std::string_view line) {
    std::string clean(line);
    std::erase(clean, '\r');
    if (!ReadResult(clean, results)) results.unreadable.push_back(clean);
}

RunResults ReadResults(std::istream& runs) {
    RunResults results;
    for (std::string line; std::getline(runs, line);) ReadResultLine(results, line);
    return results;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::ranges::sort(values);
    const std::size_t half = values.size() / 2;
    return values.size() % 2 != 0 ? values[half] : (values[half - 1] + values[half]) / 2;
}

Table WriteTable(const RunResults& results, int runs) {
    int out = 0;
    std::string text = RatioRows(results.ratios, runs, out);
    if (!results.absolutes.empty()) text += AbsoluteRows(results.absolutes, out);
    if (!results.infos.empty()) text += InfoRows(results.infos);
    if (!results.faults.empty())
        text += Items("Faults (the extender did not do the raw calls’ work):", results.faults, "- %s\n");
    if (!results.unreadable.empty())
        text += Items("Result lines that could not be read (left out of the table):", results.unreadable, "- `%s`\n");
    const int faults = static_cast<int>(results.faults.size());
    const int unreadable = static_cast<int>(results.unreadable.size());
    text += Format("\n%d case(s) out of bound, %d fault(s)", out, faults);
    text += unreadable > 0 ? Format(", %d unreadable result line(s).\n", unreadable) : ".\n";
    return {text, out == 0 && faults == 0 && unreadable == 0};
}

}  // namespace vantor::bench
