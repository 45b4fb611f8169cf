// bench_table RUNS [RUN OUTPUT...]: the table of medians scripts/bench.sh
// writes, from the benchmark program's output of RUNS runs (the files given,
// else the standard input). Exits 1 when a case is out of bound, a run found
// a fault or a result line could not be read; 2 for a wrong call.
#include "bench/core/bench_table.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string_view>

using namespace vantor::bench;

int main(int argc, char** argv) {
    int runs = 0;
    const std::string_view given = argc > 1 ? argv[1] : "";
    const auto [end, error] = std::from_chars(given.data(), given.data() + given.size(), runs);
    if (error != std::errc{} || end != given.data() + given.size() || runs < 1) {
        std::fprintf(stderr, "usage: bench_table RUNS [RUN OUTPUT...]\n");
        return 2;
    }
    RunResults results;
    for (int i = 2; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "bench_table: cannot read %s\n", argv[i]);
            return 2;
        }
        for (std::string line; std::getline(file, line);) ReadResultLine(results, line);
    }
    if (argc == 2) results = ReadResults(std::cin);
    const Table table = WriteTable(results, runs);
    std::fputs(table.text.c_str(), stdout);
    return table.passed ? 0 : 1;
}
