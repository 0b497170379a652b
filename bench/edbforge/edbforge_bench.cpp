// Generator speed: the index, move generation, and whole runs at several thread counts.

#include "edbforge/generator.h"
#include "edbforge/index.h"
#include "tests/support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::vector<gen::board> sample_positions(const idx::material& m, int n) {
    idx::build_rank_table();
    std::mt19937 rng(1);
    std::vector<gen::board> out;
    gen::board b;
    while (static_cast<int>(out.size()) < n)
        if (idx::decode_position(m, static_cast<std::uint32_t>(rng() % idx::class_size(m)), b))
            out.push_back(b);
    return out;
}

void BM_MirroredIndex(benchmark::State& state) {
    auto pos = sample_positions({2, 2, 1, 1}, 1024);
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(idx::mirrored_position_index(pos[i++ & 1023]));
}
BENCHMARK(BM_MirroredIndex);

void BM_DecodePosition(benchmark::State& state) {
    idx::build_rank_table();
    const idx::material m{2, 2, 1, 1};
    gen::board b;
    std::uint32_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(idx::decode_position(m, i, b));
        i = (i + 7919) % static_cast<std::uint32_t>(idx::class_size(m));
    }
}
BENCHMARK(BM_DecodePosition);

void BM_WhiteMovesAndCaptures(benchmark::State& state) {
    auto pos = sample_positions({2, 2, 1, 1}, 1024);
    std::size_t i = 0;
    for (auto _ : state) {
        gen::board& b = pos[i++ & 1023];
        b.gen_white_captures();
        b.gen_white_moves();
        benchmark::DoNotOptimize(b.buffer().size());
        b.buffer().clear();
    }
}
BENCHMARK(BM_WhiteMovesAndCaptures);

// A whole run of 2 to 4 pieces in a scratch folder; the argument is the number of threads.
void BM_RunFourPieces(benchmark::State& state) {
    const test_support::TTempDir temp("edbforge_bench");
    const std::string dir = temp.Path().string();
    const std::string cwd = std::filesystem::current_path().string();
    forge::options opt;
    opt.threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        for (const auto& e : std::filesystem::directory_iterator(dir))
            std::filesystem::remove(e.path());
        if (chdir(dir.c_str()) != 0) state.SkipWithError("chdir");
        state.ResumeTiming();
        std::istringstream in("4\n");
        std::ostringstream out, err;
        forge::run_generator(in, out, err, opt);
        if (chdir(cwd.c_str()) != 0) state.SkipWithError("chdir back");
    }
}
BENCHMARK(BM_RunFourPieces)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
