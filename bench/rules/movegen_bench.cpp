// Leaves per second of perft from the start positions; run by hand.
#include "rules/movegen.h"
#include "rules/perft.h"

#include <benchmark/benchmark.h>

namespace {
void BM_Perft(benchmark::State& state, TGameType v, bool unique) {
    const int depth = static_cast<int>(state.range(0));
    std::uint64_t leaves = 0;
    for (auto _ : state) {
        leaves = Perft(StartPositionOf(v), 0, depth, {v, unique});
        benchmark::DoNotOptimize(leaves);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(leaves * state.iterations()));
    state.counters["leaves"] = static_cast<double>(leaves);
}

// One generation and the making of every move: the work of one search node.
void BM_FindAndMake(benchmark::State& state, TGameType v) {
    const TBoard& start = StartPositionOf(v);
    TMoveList list;
    for (auto _ : state) {
        FindMoves(start, 0, list, v);
        for (const TMove& m : list) {
            TBoard b = start;
            MakeMove(m, b, v);
            benchmark::DoNotOptimize(b);
        }
    }
    state.SetItemsProcessed(state.iterations());
}
} // namespace

BENCHMARK_CAPTURE(BM_Perft, English, gtEnglish, false)->Arg(9)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Perft, Russian, gtRussian, false)->Arg(9)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Perft, InternationalUnique, gtInternational, true)
    ->Arg(7)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Perft, InternationalRaw, gtInternational, false)->Arg(7)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindAndMake, English, gtEnglish);
BENCHMARK_CAPTURE(BM_FindAndMake, International, gtInternational);
