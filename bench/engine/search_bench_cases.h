#pragma once
// The engine search's speed figures for one rule set, registered under the rule set's name: nodes
// a second over the signature positions, the time to finish iterations from the start, the
// iteration reached in a time budget, and evaluations a second over game positions. One core, a
// 16 MB table, no book; run by hand.

#include "eval_tables.h"
#include "evaluation.h"
#include "movegen.h"
#include "signature_runner.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace search_bench {
namespace {

namespace core = marrak;

void signature_nodes(benchmark::State& state) {
    auto ctx = signature_run::make_context();
    std::uint64_t nodes = 0;
    for (auto _ : state)
        for (const auto& s : signature::positions)
            nodes += signature_run::run(*ctx, s).nodes;
    state.counters["nodes/s"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
    state.counters["nodes"] = static_cast<double>(nodes / state.iterations());
}

// From the start, colour 2 to move, to the given iteration.
void start_to_iteration(benchmark::State& state) {
    auto ctx = signature_run::make_context();
    const int depth = static_cast<int>(state.range(0));
    std::uint64_t nodes = 0;
    for (auto _ : state)
        nodes += signature_run::run(*ctx, signature::positions[0], depth).nodes;
    state.counters["nodes"] = static_cast<double>(nodes / state.iterations());
    state.counters["nodes/s"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}

// The deepest iteration completed from the start within a budget of range(0) seconds (soft and
// hard limit both).
void iteration_in_budget(benchmark::State& state) {
    auto ctx = signature_run::make_context();
    const double budget = static_cast<double>(state.range(0));
    int reached = 0;
    for (auto _ : state) {
        ctx->hash().clear();
        ctx->game().clear();
        ctx->control().depth_cap = core::search::max_iteration;
        int playnow = 0;
        core::search::set_request(*ctx, &playnow, budget, budget, budget);
        engine_position chosen;
        core::search::driver_result r;
        core::search::choose_move(*ctx, signature::positions[0].p, 0, chosen, &r);
        reached = r.depth - 2; // the counter stands at the iteration after the last completed one
    }
    state.counters["iteration"] = reached;
}

// Positions of games of random moves, 10^5 of them.
std::vector<engine_position> game_positions() {
    std::mt19937 rng(3);
    std::vector<engine_position> out;
    move_list list;
    while (out.size() < 100000) {
        engine_position p = signature::positions[0].p;
        for (int side = 0, ply = 0; ply < 80; ++ply, side = 1 - side) {
            const int n = core::gen::generate_legal(p, list, side);
            if (n == 0) break;
            p = list.moves[rng() % n];
            out.push_back(p);
        }
    }
    out.resize(100000);
    return out;
}

void evaluations(benchmark::State& state) {
    core::eval::init_eval_tables();
    const std::vector<engine_position> positions = game_positions();
    std::int64_t sum = 0;
    for (auto _ : state)
        for (std::size_t i = 0; i < positions.size(); ++i) {
            core::eval::eval_record r;
            core::eval::fill_record(positions[i], r);
            sum += core::eval::evaluate_position(positions[i], static_cast<int>(i & 1), r);
        }
    benchmark::DoNotOptimize(sum);
    state.counters["evals/s"] = benchmark::Counter(static_cast<double>(positions.size()) * state.iterations(),
                                                   benchmark::Counter::kIsRate);
}

[[maybe_unused]] bool register_all(const std::string& rules) {
    benchmark::RegisterBenchmark((rules + "/signature_nodes").c_str(), signature_nodes)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((rules + "/start_to_iteration").c_str(), start_to_iteration)
        ->Arg(11)
        ->Arg(15)
        ->Arg(19)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark((rules + "/iteration_in_seconds").c_str(), iteration_in_budget)
        ->Arg(1)
        ->Arg(5)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark((rules + "/evaluations").c_str(), evaluations)
        ->Unit(benchmark::kMillisecond);
    return true;
}

} // namespace
} // namespace search_bench
