// Perft through the engine libraries' exported build_movelist: leaves per second from the start
// position (English depth 10, Italian depth 9).

#include "engine_api.h"
#include "platform/library_loader.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

build_movelist_fn load(const char* file) {
    return TDynamicLibrary::Load(std::string(VQ_RUN_DIR) + "/" + file)
        .Function<build_movelist_fn>("build_movelist");
}

std::uint64_t perft(build_movelist_fn build, const engine_position& p, int side, int depth,
                    std::vector<move_list>& lists) {
    move_list& list = lists[depth];
    const int n = build(&p, side, &list);
    if (depth == 1) return static_cast<std::uint64_t>(n);
    std::uint64_t leaves = 0;
    for (int i = 0; i < n; ++i)
        leaves += perft(build, list.moves[i], 1 - side, depth - 1, lists);
    return leaves;
}

void run(benchmark::State& state, const char* file) {
    build_movelist_fn build = load(file);
    if (!build) {
        state.SkipWithError("cannot load the engine library");
        return;
    }
    const int depth = static_cast<int>(state.range(0));
    const engine_position start{{0x00000FFFu, 0xFFF00000u}, 0};
    std::vector<move_list> lists(static_cast<std::size_t>(depth) + 1);
    std::uint64_t leaves = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(leaves = perft(build, start, 0, depth, lists));
    state.counters["leaves"] = static_cast<double>(leaves);
    state.counters["leaves/s"] = benchmark::Counter(
        static_cast<double>(leaves) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void english_perft(benchmark::State& state) {
    run(state, "libMarrak.so");
}
void italian_perft(benchmark::State& state) {
    run(state, "libmarrak_italian.so");
}

} // namespace

BENCHMARK(english_perft)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(italian_perft)->Arg(9)->Unit(benchmark::kMillisecond);
