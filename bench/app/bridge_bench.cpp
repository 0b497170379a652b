// The engine bridge: how long "STOP!" takes from the stop to an idle engine (p50 and p99 over many
// stops, aim p99 under 20 ms), against the stand-in engines of the tests and against the real
// plug-ins once they search; how long the real plug-ins take to start; and what reading an
// engine's answer costs on positions with many captures.
//
// Run by hand: build/bench/bridge_bench. The stop cases report the counters p50_ms and p99_ms.
#include "app/core/builtin_engine.h"
#include "app/core/engine_bridge.h"
#include "app/core/engine_convert.h"
#include "app/core/engine_requests.h"
#include "app/core/game_clock.h"
#include "app/core/game_session.h"
#include "app/core/shell_state.h"
#include "platform/library_loader.h"
#include "rules/movegen.h"
#include "stub_control.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct TStubHandle {
    TDynamicLibrary lib;
    explicit TStubHandle(const std::string& path) : lib(TDynamicLibrary::Load(path)) {}
    int Inside() const {
        auto f = lib.Function<stub_calls_inside_fn>("stub_calls_inside");
        return f ? f() : 0;
    }
    template <class T> void Script(const T& s) const {
        if (auto f = lib.Function<stub_set_script_fn>("stub_set_script")) f(&s);
    }
};

void Prepare(TGameType variant) {
    static bool tableReady = false;
    if (!tableReady) {
        BuiltinEngine().HashTable().Allocate(1 << 14);
        tableReady = true;
    }
    StopEngineAndWait();
    TGameSession& s = GameSession();
    if (s.CurrentVariant() != variant) s.SetVariant(variant);
    s.NewGame(StartPosition64, 0);
    Shell.AnalysisMode = 1; // an analysis runs until it is stopped
}

// Stops `count` analyses of engine `kind` a random 5..30 ms after they reached the engine, and
// reports the stop-to-idle times.
void MeasureStops(benchmark::State& state, TEngineBridge& bridge, int kind, TGameType variant,
                  const std::function<bool()>& inside) {
    SetEngineBridge(&bridge);
    Prepare(variant);
    EngineSettings = TEngineSettings{};
    EngineSettings.Kind = static_cast<std::uint8_t>(kind);
    std::mt19937 rng(1);
    std::vector<double> ms;
    for (auto _ : state) {
        StartEngine();
        while (!inside())
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + rng() % 25));
        const auto t0 = Clock::now();
        StopEngine();
        EngineIdleEvent.Wait();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        StopEngineAndWait();
    }
    std::sort(ms.begin(), ms.end());
    if (!ms.empty()) {
        state.counters["p50_ms"] = ms[ms.size() / 2];
        state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
        state.counters["max_ms"] = ms.back();
    }
    SetEngineBridge(nullptr);
    EngineSettings = TEngineSettings{};
}

const std::string kStubs = VQ_BRIDGE_STUB_DIR;

void BM_StopLatency_PluginStub(benchmark::State& state) {
    TEngineBridge bridge;
    bridge.Bind(EngineFilesIn(kStubs + "/app/"), [](const std::string&) {});
    const TStubHandle stub(kStubs + "/app/libMarrak.so");
    stub_plugin_script s{};
    s.mode = STUB_BLOCK;
    s.clear_playnow = 1;
    stub.Script(s);
    MeasureStops(state, bridge, 3, gtEnglish, [&] { return stub.Inside() == 1; });
}
BENCHMARK(BM_StopLatency_PluginStub)->Iterations(300)->Unit(benchmark::kMillisecond);

void BM_StopLatency_OskeenStub(benchmark::State& state) {
    TEngineBridge bridge;
    bridge.Bind(EngineFilesIn(kStubs + "/app/"), [](const std::string&) {});
    const TStubHandle stub(kStubs + "/Engines/libOskeen_2.so");
    stub_oskeen_script s{};
    s.mode = OSK_BLOCK;
    stub.Script(s);
    MeasureStops(state, bridge, 1, gtRussian, [&] { return stub.Inside() == 1; });
}
BENCHMARK(BM_StopLatency_OskeenStub)->Iterations(300)->Unit(benchmark::kMillisecond);

// The real plug-ins of the run directory, analysing the start position.
void StopRealPlugin(benchmark::State& state, int kind) {
    const std::string file =
        std::string(VQ_RUN_DIR) + (kind == 3 ? "/libMarrak.so" : "/libmarrak_italian.so");
    const TDynamicLibrary lib = TDynamicLibrary::Load(file);
    if (!lib.Symbol("getmove") || !lib.Symbol("enginecommand")) {
        state.SkipWithError("the plug-in does not export getmove and enginecommand yet");
        return;
    }
    TEngineBridge bridge;
    bridge.Bind(EngineFilesIn(std::string(VQ_RUN_DIR) + "/"), [](const std::string&) {});
    bridge.InitEngines({});
    // Inside the library from the start of the request: its call is under way once the request runs.
    MeasureStops(state, bridge, kind, kind == 3 ? gtEnglish : gtItalian, [] { return IsEngineBusy(); });
}
void BM_StopLatency_Marrak(benchmark::State& state) {
    StopRealPlugin(state, 3);
}
void BM_StopLatency_MarrakItalian(benchmark::State& state) {
    StopRealPlugin(state, 4);
}
BENCHMARK(BM_StopLatency_Marrak)->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StopLatency_MarrakItalian)->Iterations(200)->Unit(benchmark::kMillisecond);

// The start-up of both real plug-ins through the bridge: their commands and warm-up moves (aim:
// well under 5 s). The first run builds the engines' tables; the tests only ask that it ends.
void BM_StartUp_RealPlugins(benchmark::State& state) {
    for (auto _ : state) {
        TEngineBridge bridge;
        bridge.Bind(EngineFilesIn(std::string(VQ_RUN_DIR) + "/"), [](const std::string&) {});
        bridge.InitEngines({});
        if (!bridge.Available(3) || !bridge.Available(4)) state.SkipWithError("a plug-in was given up");
    }
}
BENCHMARK(BM_StartUp_RealPlugins)->Iterations(3)->Unit(benchmark::kMillisecond);

// ---- reading answers ----------------------------------------------------------------------------

TBoard Board(std::initializer_list<std::pair<int, int>> pieces) {
    TBoard b = EmptyBoard;
    for (auto [s, v] : pieces)
        b[s] = static_cast<std::int8_t>(v);
    return b;
}

// Kings among many men, every move a capture: in English 15 sequences of up to four pieces, in
// Italian 6.
const TBoard kEnglishCrowd = Board({{5, -1},
                                    {6, -2},
                                    {7, -1},
                                    {12, 2},
                                    {13, -2},
                                    {14, -1},
                                    {15, -1},
                                    {18, 2},
                                    {22, -1},
                                    {23, 2},
                                    {27, -1},
                                    {32, -1}});
const TBoard kItalianCrowd = Board({{2, 2},
                                    {5, -1},
                                    {6, -1},
                                    {7, -1},
                                    {13, -1},
                                    {14, -1},
                                    {15, -1},
                                    {21, -1},
                                    {23, -1},
                                    {24, 2},
                                    {27, 2},
                                    {28, -1}});

void BM_MatchMoveByResult(benchmark::State& state) {
    const TBoard& b = kEnglishCrowd;
    TMoveList moves;
    FindMoves(b, 0, moves, gtEnglish);
    // The last listed move: every move before it is made and compared.
    TBoard after = b;
    MakeMove(moves.back(), after, gtEnglish);
    TMove m;
    for (auto _ : state)
        benchmark::DoNotOptimize(MatchMoveByResult(b, after, 0, gtEnglish, m));
    state.counters["moves"] = static_cast<double>(moves.size());
}
BENCHMARK(BM_MatchMoveByResult)->Unit(benchmark::kMicrosecond);

void BM_HostMoveToMove(benchmark::State& state) {
    const TBoard& b = kItalianCrowd;
    TMoveList moves;
    FindMoves(b, 0, moves, gtItalian);
    const TMove longest = *std::max_element(
        moves.begin(), moves.end(), [](const TMove& a, const TMove& c) { return a.captures < c.captures; });
    host_move record{};
    const auto cell = [](int s) {
        const THostSquare c = HostSquareCoords[s - 1];
        return board_coord{c.column, c.row};
    };
    record.jumps = longest.captures;
    record.from = cell(longest.from);
    for (int k = 1; k <= longest.captures; ++k) {
        record.path[k] = cell(longest.Landing(k));
        record.del[k - 1] = cell(longest.Captured(k));
    }
    // The record read and checked against the legal moves, as a kind-4 answer is.
    TMove m, legal;
    for (auto _ : state) {
        benchmark::DoNotOptimize(HostMoveToMove(record, m, false));
        benchmark::DoNotOptimize(MatchLegalMove(b, 0, gtItalian, m, legal));
    }
    state.counters["captures"] = longest.captures;
    state.counters["moves"] = static_cast<double>(moves.size());
}
BENCHMARK(BM_HostMoveToMove)->Unit(benchmark::kMicrosecond);

void BM_HostMoveToMove_RecordOnly(benchmark::State& state) {
    host_move record{};
    record.jumps = 3;
    record.path[1] = {2, 2};
    record.path[2] = {4, 4};
    record.path[3] = {6, 6};
    record.del[0] = {1, 1};
    record.del[1] = {3, 3};
    record.del[2] = {5, 5};
    TMove m;
    for (auto _ : state)
        benchmark::DoNotOptimize(HostMoveToMove(record, m, true));
}
BENCHMARK(BM_HostMoveToMove_RecordOnly)->Unit(benchmark::kNanosecond);

} // namespace
