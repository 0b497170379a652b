// The electronic board: what one changed packet costs the timer on a full game tree, and what the
// reader thread costs the machine while the board is idle and while it floods the line.
//
// Run by hand: build/bench/eboard_bench. The CPU cases run 10 s each; the share of one core is
// the counter "cpu_pct".
#include "app/core/eboard_move.h"
#include "app/core/eboard_thread.h"
#include "app/core/game_tree_edit.h"
#include "rules/movegen.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <pty.h>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// A Russian game with all 1,024 nodes used: random legal moves hung below random nodes.
std::unique_ptr<TGame> FullTree() {
    auto g = std::make_unique<TGame>();
    InitGame(*g, gtRussian);
    PositionToKey(StartPosition64, g->startKey);
    std::mt19937 rng(1);
    while (g->header.nodeCount < MaxNodes) {
        const int parent = std::uniform_int_distribution<int>(0, g->header.nodeCount)(rng);
        TBoard b;
        int side = 0;
        if (!PositionAtNode(*g, parent, gtRussian, b, side)) continue;
        TMoveList moves;
        FindMoves(b, side, moves, gtRussian);
        if (moves.empty()) continue;
        AddMoveToTree(*g, parent, moves[rng() % moves.size()], true, gtRussian, {});
    }
    return g;
}

// The worst packet: in no node and not one move away, so every node and every move is tried.
void BM_DecideEBoardMove_FullTree(benchmark::State& state) {
    const auto g = FullTree();
    TEBoardContext c;
    TBoard b;
    PositionAtNode(*g, MaxNodes, gtRussian, c.current, c.side);
    b = c.current;
    b[1] = b[1] ? 0 : 2;
    for (auto _ : state)
        benchmark::DoNotOptimize(DecideEBoardMove(*g, c, b));
}
BENCHMARK(BM_DecideEBoardMove_FullTree)->Unit(benchmark::kMicrosecond);

// For comparison: every node's position rebuilt from the root.
void BM_EveryNodeFromTheRoot_FullTree(benchmark::State& state) {
    const auto g = FullTree();
    for (auto _ : state) {
        int found = -1;
        for (int n = 0; n <= g->header.nodeCount && found < 0; ++n) {
            TBoard b;
            int side = 0;
            if (PositionAtNode(*g, n, gtRussian, b, side) && b == EmptyBoard) found = n;
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_EveryNodeFromTheRoot_FullTree)->Unit(benchmark::kMicrosecond);

// The run time the scheduler counted for every thread of the process, in seconds. Exact, unlike
// getrusage, which charges a whole clock tick to a thread that wakes on the tick (as a poll
// timeout does).
double ProcessCpuSeconds() {
    double total = 0;
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        std::ifstream in(task.path() / "schedstat");
        unsigned long long ns = 0;
        if (in >> ns) total += double(ns) / 1e9;
    }
    return total;
}

// The reader on a pseudo-terminal for 10 s; a child process plays the board, so the process's CPU
// time is the reader's (the main thread only sleeps). bytesPerSecond 0: the board is silent.
void ReaderCpu(benchmark::State& state, int bytesPerSecond) {
    for (auto _ : state) {
        int master = -1, slave = -1;
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
            state.SkipWithError("openpty failed");
            return;
        }
        ::close(slave);
        TBoardThread reader;
        reader.Start(OpenBoardPort(name));
        const pid_t child = fork();
        if (child == 0) {
            // Two packets in turn, so every one is a change the reader hands over.
            std::uint8_t packets[2][BoardPacketSize];
            for (int i = 0; i < BoardPacketSize; ++i) {
                packets[0][i] = static_cast<std::uint8_t>(i * 7);
                packets[1][i] = static_cast<std::uint8_t>(i * 11);
            }
            const long gapNs = bytesPerSecond ? 1000000000L / bytesPerSecond * BoardPacketSize : 0;
            for (int k = 0; bytesPerSecond; ++k) {
                if (write(master, packets[k & 1], BoardPacketSize) < 0) _exit(1);
                timespec t{0, gapNs};
                nanosleep(&t, nullptr);
            }
            pause();
            _exit(0);
        }
        const double before = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const double cpu = ProcessCpuSeconds() - before;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        reader.Stop();
        ::close(master);
        state.counters["cpu_pct"] = 100.0 * cpu / wall;
    }
}

void BM_ReaderCpu_Idle(benchmark::State& state) {
    ReaderCpu(state, 0);
}
// 19200 baud, 8N1: 1,920 bytes a second, a packet every 18 ms.
void BM_ReaderCpu_LineRateFlood(benchmark::State& state) {
    ReaderCpu(state, 1920);
}
BENCHMARK(BM_ReaderCpu_Idle)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_ReaderCpu_LineRateFlood)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
