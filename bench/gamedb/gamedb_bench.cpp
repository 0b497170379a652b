// Appending 100,000 games with 30,000 distinct player names, and reading headers and games back.
// Run by hand: build/bench/gamedb_bench. The database stays in the system's temporary folder as
// vq_gamedb_bench.* for the read benchmarks.

#include "gamedb/game_database.h"
#include "platform/codepage.h"
#include "rules/movegen.h"
#include "tests/support/random_games.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int Games = 100000;
constexpr int Players = 30000;

std::string DbPath() {
    return (std::filesystem::temp_directory_path() / "vq_gamedb_bench.vqb").string();
}

// A Russian game of random legal moves with variations and comments.
std::unique_ptr<TGame> RussianGame(test_support::TRandom& random) {
    test_support::TRandomGameOptions o;
    o.variant = gtRussian;
    o.moves = 60;
    o.header = false;
    o.setUpPercent = 0;
    return std::move(test_support::RandomGame(random, o).game);
}

// Player names in mixed letter case, Cyrillic and Latin, so the lookup folds both.
std::string PlayerNameOf(int i) {
    return (i % 2 ? "\xC8\xE3\xF0\xEE\xEA " : "Player ") + std::to_string(i); // "Игрок "
}

void BuildDatabase(benchmark::State* state) {
    test_support::TRandom rng(42);
    std::vector<std::unique_ptr<TGame>> pool;
    for (int i = 0; i < 64; ++i)
        pool.push_back(RussianGame(rng));
    TGameDatabase db;
    CreateDatabase(DbPath(), db);
    for (int i = 0; i < Games; ++i) {
        TGame& g = *pool[i % pool.size()];
        g.white = PlayerNameOf(static_cast<int>(rng() % Players));
        if (i % 10 == 0) // another spelling of a known name must find it, not add one
            for (char& c : g.white)
                c = static_cast<char>(Cp1251Upper(static_cast<unsigned char>(c)));
        g.black = PlayerNameOf(static_cast<int>(rng() % Players));
        g.tournament = "Tournament " + std::to_string(i / 100);
        g.site = "Site " + std::to_string(i % 300);
        if (WriteGame(g, 0, db, false) != TDbStatus::Ok && state) state->SkipWithError("append failed");
        if (i == Games - 1 && db.players.Size() > Players && state)
            state->SkipWithError("case-folded lookup added names");
    }
    SaveDatabase(db);
    CloseDatabase(db);
}

void BM_Append100kGames30kNames(benchmark::State& state) {
    for (auto _ : state)
        BuildDatabase(&state);
    state.SetItemsProcessed(state.iterations() * Games);
}
BENCHMARK(BM_Append100kGames30kNames)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ReadQuickHeaders(benchmark::State& state) {
    if (!std::filesystem::exists(DbPath())) BuildDatabase(nullptr);
    TGameDatabase db;
    OpenDatabase(DbPath(), db, TOpenMode::ReadOnly);
    TQuickGameHeader h;
    std::int64_t read = 0;
    for (auto _ : state) {
        for (int n = 1; n <= db.gameCount; ++n)
            benchmark::DoNotOptimize(ReadQuickHeader(db, n, h));
        read += db.gameCount;
    }
    state.SetItemsProcessed(read);
    CloseDatabase(db);
}
BENCHMARK(BM_ReadQuickHeaders)->Unit(benchmark::kMillisecond);

void BM_ReadGames(benchmark::State& state) {
    if (!std::filesystem::exists(DbPath())) BuildDatabase(nullptr);
    TGameDatabase db;
    OpenDatabase(DbPath(), db, TOpenMode::ReadOnly);
    auto g = std::make_unique<TGame>();
    std::int64_t read = 0;
    for (auto _ : state) {
        for (int n = 1; n <= db.gameCount; n += 10)
            benchmark::DoNotOptimize(ReadGame(db, n, true, *g));
        read += (db.gameCount + 9) / 10;
    }
    state.SetItemsProcessed(read);
    CloseDatabase(db);
}
BENCHMARK(BM_ReadGames)->Unit(benchmark::kMillisecond);

} // namespace
