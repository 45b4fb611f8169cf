// Runs the benchmarks named on the command line in that order, or all of
// them, start-up first (it loads the library afresh, before any other
// benchmark has loaded it). Each one's lines are framed by "@benchmark|name"
// and "@done|name"; scripts/bench.sh reads them.
#include "bench/benchmark.h"

#include <cstdio>
#include <string>
#include <vector>

using vantor::bench::Benchmarks;

int main(int argc, char** argv) {
    // Each line as it is printed: a long benchmark shows how far it got.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::vector<std::string> names(argv + 1, argv + argc);
    if (names.empty()) {
        names = {"startup", "dispatch", "events", "mask", "lists", "richtext"};
        for (const auto& [name, run] : Benchmarks()) {
            bool listed = false;
            for (const std::string& n : names) listed = listed || n == name;
            if (!listed) names.push_back(name);
        }
    }
    bool within = true;
    for (const std::string& name : names) {
        const auto found = Benchmarks().find(name);
        if (found == Benchmarks().end()) {
            std::printf("no benchmark named %s\n", name.c_str());
            return 2;
        }
        std::printf("@benchmark|%s\n", name.c_str());
        std::fflush(stdout);
        within = found->second() && within;
        std::printf("@done|%s\n\n", name.c_str());
        std::fflush(stdout);
    }
    return within ? 0 : 1;
}
