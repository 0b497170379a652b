// The host's built-in engine in English at iteration 11 from the start, in the same run as the
// plug-ins' figures, as the yardstick of nodes a second.
#include "rules/hash_table.h"
#include "rules/search_root.h"

#include <benchmark/benchmark.h>

namespace {

void vantor_english(benchmark::State& state) {
    THashTable table;
    TEngineRandom rng(1);
    SetHashSize(table, 16, rng);
    std::uint64_t nodes = 0;
    for (auto _ : state) {
        const TRootSearchResult r =
            RunRootSearch(StartPositionOf(gtEnglish), 0, gtEnglish, {11, 0, 100000000}, {&table, {}, &rng});
        benchmark::DoNotOptimize(r.chosen);
        nodes += table.ProbeCount();
    }
    state.counters["nodes/s"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(vantor_english)->Unit(benchmark::kMillisecond);
