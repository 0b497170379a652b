// Leaves per second of perft from the start positions, by the generator and by the frozen copy of
// the one it replaced (the "Old" rows), measured in the same run; and one node's work (generation
// and the making of every move). Run by hand.
#include "reference_movegen.h"

#include "rules/movegen.h"
#include "rules/perft.h"

#include <benchmark/benchmark.h>

namespace {
void Report(benchmark::State& state, std::uint64_t leaves) {
    state.SetItemsProcessed(static_cast<std::int64_t>(leaves * state.iterations()));
    state.counters["leaves"] = static_cast<double>(leaves);
    state.counters["leaves/s"] =
        benchmark::Counter(static_cast<double>(leaves * state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Perft(benchmark::State& state, TGameType v, bool unique) {
    const int depth = static_cast<int>(state.range(0));
    std::uint64_t leaves = 0;
    for (auto _ : state) {
        leaves = Perft(StartPositionOf(v), 0, depth, {v, unique});
        benchmark::DoNotOptimize(leaves);
    }
    Report(state, leaves);
}

void BM_PerftOld(benchmark::State& state, TGameType v, bool unique) {
    const int depth = static_cast<int>(state.range(0));
    std::uint64_t leaves = 0;
    for (auto _ : state) {
        leaves = reference::Perft(StartPositionOf(v), 0, depth, v, unique);
        benchmark::DoNotOptimize(leaves);
    }
    Report(state, leaves);
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

#define VQ_PERFT_PAIR(name, variant, unique, depth)                                                          \
    BENCHMARK_CAPTURE(BM_PerftOld, name, variant, unique)->Arg(depth)->Unit(benchmark::kMillisecond);        \
    BENCHMARK_CAPTURE(BM_Perft, name, variant, unique)->Arg(depth)->Unit(benchmark::kMillisecond)

VQ_PERFT_PAIR(English, gtEnglish, false, 9);
VQ_PERFT_PAIR(Russian, gtRussian, false, 9);
VQ_PERFT_PAIR(Brazilian, gtBrazilian, false, 9);
VQ_PERFT_PAIR(InternationalUnique, gtInternational, true, 7);
VQ_PERFT_PAIR(InternationalRaw, gtInternational, false, 7);
BENCHMARK_CAPTURE(BM_FindAndMake, English, gtEnglish);
BENCHMARK_CAPTURE(BM_FindAndMake, International, gtInternational);
