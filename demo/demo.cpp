// Loads the extender the way the interpreter does, negotiates, and lists
// the functions and constants it adds to the script language.
#include "tests/host/host_double.h"

#include <cstdio>
#include <cstring>
#include <exception>

using namespace vantor;
using namespace vantor::testing;

int main(int argc, char** argv) {
    try {
        HostDouble host(argc > 1 ? argv[1] : HostDouble::DefaultDllPath());
        char name[260] = {};
        const int version = host.Query(1, name, sizeof name);
        std::printf("%s, version %d, interface %d\n", name, version,
                    [&] { std::int32_t five = 5; return host.Query(2, &five, 1); }());
        const int count = host.Dispatch(-1, nullptr, 0);
        std::printf("%d entries\n", count);
        for (int i = 0; i < count; ++i) {
            alignas(4) char storage[64] = {};
            auto& r = *reinterpret_cast<QueryRecord*>(storage);
            host.Dispatch(-2, &r, i);
            if (r.kind == kConstantEntry) {
                std::printf("%4d  %-22s constant %d\n", i, r.name, r.value);
                continue;
            }
            char types[17] = {};
            const int positions = r.counts.required + r.counts.optional;
            for (int k = 0; k < positions && k < 8; ++k)
                types[k] = (r.typesLow >> (4 * k) & 0xF) ? 'S' : 'I';
            for (int k = 8; k < positions; ++k) types[k] = (r.typesHigh >> (4 * (k - 8)) & 0xF) ? 'S' : 'I';
            std::printf("%4d  %-22s %d required, %d optional  %s\n", i, r.name, r.counts.required,
                        r.counts.optional, types);
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo: %s\n", e.what());
        return 1;
    }
}
