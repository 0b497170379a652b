// Generator speed: the index, move generation, and whole runs at several thread counts; the
// solver beside the frozen copy of the one it replaced, on one and on many threads.

#include "reference/reference_solver.h"
#include "reference/solve_all.h"

#include "edbforge/generator.h"
#include "edbforge/index.h"
#include "edbforge/solver.h"
#include "tests/support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <chrono>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>
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

// Processor time of every thread of the program so far.
double cpu_seconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// The clock's seconds and the processor seconds of one solve. On a busy machine the threads get
// fewer cores than they ask for: processor time over clock time says how many they had.
struct solve_time {
    double wall = 0, cpu = 0;
};

template <class TSolver, class TThreads> solve_time time_to_solve(int pieces, TThreads& threads) {
    edb::table_set tables;
    const double cpu = cpu_seconds();
    const auto start = std::chrono::steady_clock::now();
    reference_solve::solve_all<TSolver>(pieces, tables, threads);
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            cpu_seconds() - cpu};
}

// Every class of 2 to N pieces in memory (no files), by the old solver and by the solver, on one
// thread and on T: the seconds and the speed-up of each, and the new against the old on T threads;
// for the runs on T threads also the cores they had on average (processor over clock seconds) and
// the processor time they took over that of one thread (the cost of sharing the work).
// Arguments: N, T.
void BM_SolveOldAndNew(benchmark::State& state) {
    idx::build_rank_table();
    const int pieces = static_cast<int>(state.range(0)), threads = static_cast<int>(state.range(1));
    solve_time old1, oldT, new1, newT;
    for (auto _ : state) {
        int one = 1, many = threads;
        old1 = time_to_solve<reference_solve::class_solver>(pieces, one);
        oldT = time_to_solve<reference_solve::class_solver>(pieces, many);
        solve::thread_pool pool1(1), poolT(threads);
        new1 = time_to_solve<solve::class_solver>(pieces, pool1);
        newT = time_to_solve<solve::class_solver>(pieces, poolT);
    }
    state.counters["old_1t_s"] = old1.wall;
    state.counters["old_Tt_s"] = oldT.wall;
    state.counters["old_speedup"] = old1.wall / oldT.wall;
    state.counters["old_Tt_cores"] = oldT.cpu / oldT.wall;
    state.counters["old_Tt_cpu_cost"] = oldT.cpu / old1.cpu;
    state.counters["new_1t_s"] = new1.wall;
    state.counters["new_Tt_s"] = newT.wall;
    state.counters["new_speedup"] = new1.wall / newT.wall;
    state.counters["new_Tt_cores"] = newT.cpu / newT.wall;
    state.counters["new_Tt_cpu_cost"] = newT.cpu / new1.cpu;
    state.counters["new_vs_old_Tt"] = oldT.wall / newT.wall;
}
BENCHMARK(BM_SolveOldAndNew)
    ->Args({4, 8})
    ->Args({5, 8})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace
