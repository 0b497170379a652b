// Searches the signature positions with one library's core and prints a line a position.

#include "bench_table.h"

#include "signature_runner.h"

#include <cstdio>

namespace engine_bench {

#if MARRAK_ITALIAN
totals run_italian(int depth) {
#else
totals run_english(int depth) {
#endif
    auto ctx = signature_run::make_context();
    totals t;
    for (const auto& s : signature::positions) {
        const std::int64_t start = marrak::search::steady_milliseconds();
        const signature_run::result r = signature_run::run(*ctx, s, depth);
        const std::int64_t ms = marrak::search::steady_milliseconds() - start;
        std::printf("  %-32s %-6s %6d %10u %7lld ms\n", s.name, r.move.c_str(), r.value, r.nodes,
                    static_cast<long long>(ms));
        t.nodes += r.nodes;
        t.milliseconds += ms;
    }
    return t;
}

} // namespace engine_bench
