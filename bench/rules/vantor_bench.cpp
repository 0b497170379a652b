// The built-in engine's speed: nodes per second of the root search at a fixed depth from the
// start position, one variant per evaluation, beside the frozen copy of the engine it replaced
// (the "Old" rows, measured in the same run), and the time to clear the largest hash table.
// Run by hand.
#include "reference_search.h"

#include "rules/evaluation.h"
#include "rules/hash_table.h"
#include "rules/search_root.h"

#include <benchmark/benchmark.h>

namespace {

void BM_RootSearch(benchmark::State& state, TGameType v) {
    const int depth = static_cast<int>(state.range(0));
    THashTable table;
    TEngineRandom rng(1);
    SetHashSize(table, 56, rng);
    std::uint64_t nodes = 0, evaluations = 0;
    for (auto _ : state) {
        const TRootSearchResult r =
            RunRootSearch(StartPositionOf(v), 0, v, {depth, 0, 100000000}, {&table, {}, &rng});
        benchmark::DoNotOptimize(r.chosen);
        // Every node of the search probes the table once.
        nodes += table.ProbeCount();
        evaluations += r.evaluations;
    }
    state.counters["nodes/s"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
    state.counters["evals/s"] =
        benchmark::Counter(static_cast<double>(evaluations), benchmark::Counter::kIsRate);
    state.counters["nodes"] = static_cast<double>(nodes / state.iterations());
}

void BM_RootSearchOld(benchmark::State& state, TGameType v) {
    const int depth = static_cast<int>(state.range(0));
    std::uint64_t nodes = 0, evaluations = 0, perSearch = 0;
    // The copy keeps its table from one search to the next, as the engine does: allocate it first.
    reference::RunRootSearch(StartPositionOf(v), 0, v, 5, HashEntriesFor(56), TEdbProbe{});
    for (auto _ : state) {
        const reference::TRootOutcome r =
            reference::RunRootSearch(StartPositionOf(v), 0, v, depth, HashEntriesFor(56), TEdbProbe{});
        benchmark::DoNotOptimize(r.moves.data());
        nodes += r.nodes;
        evaluations += r.evaluations;
        perSearch = r.nodes;
    }
    state.counters["nodes/s"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
    state.counters["evals/s"] =
        benchmark::Counter(static_cast<double>(evaluations), benchmark::Counter::kIsRate);
    state.counters["nodes"] = static_cast<double>(perSearch);
}

void BM_ClearHashTable(benchmark::State& state) {
    THashTable table;
    TEngineRandom rng(1);
    const THashSizeResult r = SetHashSize(table, 1000, rng); // 897 and above give the largest table
    if (r.megabytes != 896) {
        state.SkipWithError("the 896 MB table could not be allocated");
        return;
    }
    for (auto _ : state) {
        table.Clear();
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * table.Size() * sizeof(THashEntry)));
}

} // namespace

BENCHMARK_CAPTURE(BM_RootSearchOld, Russian, gtRussian)->Arg(11)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RootSearch, Russian, gtRussian)->Arg(11)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RootSearchOld, English, gtEnglish)->Arg(11)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RootSearch, English, gtEnglish)->Arg(11)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RootSearchOld, International, gtInternational)->Arg(9)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RootSearch, International, gtInternational)->Arg(9)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClearHashTable)->Unit(benchmark::kMillisecond);
