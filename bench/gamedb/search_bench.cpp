// The database search over 100,000 generated Russian games (about 55 nodes each, some variations):
// by header only, and by position with a pattern found nowhere (every node is visited), one found at
// every start and a mid-game one; the plain reference search as the old figure.
// Run by hand: build/bench/search_bench. The database stays in the system's temporary folder as
// vq_search_bench.* (delete it to build it anew; building takes some seconds). VQ_SEARCH_DB=file.vqb
// searches another database instead, one made by vqdbgen say.

#include "gamedb/game_search.h"
#include "tests/support/random_games.h"
#include "tests/support/reference_game_search.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int Games = 100000;

std::string DbPath() {
    if (const char* other = std::getenv("VQ_SEARCH_DB")) return other;
    return (std::filesystem::temp_directory_path() / "vq_search_bench.vqb").string();
}

class TBenchDatabase {
  public:
    TBenchDatabase() {
        if (!std::filesystem::exists(DbPath())) {
            test_support::TRandomGameOptions o;
            o.variant = gtRussian;
            o.moves = 55;
            o.variationPercent = 8;
            o.setUpPercent = 3;
            o.comments = false;
            test_support::WriteRandomDatabase(DbPath(), Games, 2024, o);
        }
        OpenDatabase(DbPath(), db, TOpenMode::ReadOnly);
        auto g = std::make_unique<TGame>();
        for (int n = 1; n <= db.gameCount; ++n)
            if (ReadGame(db, n, false, *g) == TDbStatus::Ok) nodes += g->header.nodeCount;
    }
    ~TBenchDatabase() { CloseDatabase(db); }
    TGameDatabase db;
    std::int64_t nodes = 0;
};

TBenchDatabase& Database() {
    static TBenchDatabase d;
    return d;
}

// Side 1's king on square 1 with every other square as at the start: no game holds it.
TSearchCriteria Nowhere() {
    TSearchCriteria c;
    c.position = true;
    for (int i = 1; i <= 32; ++i)
        c.pattern[i] = StartPosition64[i];
    c.pattern[1] = sqKing1;
    return c;
}

TSearchCriteria AtEveryStart() {
    TSearchCriteria c;
    c.position = true;
    return c;
}

// A few squares of the middle game: side 0 men on 14 and 19, side 1 men on 18 and 23, 22 empty.
TSearchCriteria MidGame() {
    TSearchCriteria c;
    c.position = true;
    c.pattern[14] = sqMan0;
    c.pattern[19] = sqMan0;
    c.pattern[18] = sqMan1;
    c.pattern[23] = sqMan1;
    c.pattern[22] = sqEmpty;
    c.pattern[15] = sqEmpty;
    return c;
}

TSearchCriteria Headers() {
    TSearchCriteria c;
    c.whiteText = "ov";
    c.tournamentText = "open";
    c.yearFrom = 1950;
    c.yearTo = 2050;
    c.ignoreColours = true;
    return c;
}

void Run(benchmark::State& state, const TSearchCriteria& c, bool reference) {
    TBenchDatabase& d = Database();
    TGameList list;
    for (auto _ : state) {
        if (reference)
            test_support::ReferenceGameSearch(d.db, list, c);
        else
            RunGameSearch(d.db, list, c, SilentProgress());
        benchmark::DoNotOptimize(list.Count());
    }
    state.counters["games"] = d.db.gameCount;
    state.counters["nodes"] = static_cast<double>(d.nodes);
    state.counters["found"] = list.Count();
    std::int64_t laterNodes = 0;
    for (const TGameListEntry& e : list.Entries())
        laterNodes += e.node > 0;
    state.counters["found_after_start"] = static_cast<double>(laterNodes);
}

void BM_SearchHeaders(benchmark::State& s) {
    Run(s, Headers(), false);
}
void BM_SearchPositionNowhere(benchmark::State& s) {
    Run(s, Nowhere(), false);
}
void BM_SearchPositionAtEveryStart(benchmark::State& s) {
    Run(s, AtEveryStart(), false);
}
void BM_SearchPositionMidGame(benchmark::State& s) {
    Run(s, MidGame(), false);
}
void BM_ReferenceHeaders(benchmark::State& s) {
    Run(s, Headers(), true);
}
void BM_ReferencePositionNowhere(benchmark::State& s) {
    Run(s, Nowhere(), true);
}

BENCHMARK(BM_SearchHeaders)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchPositionNowhere)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchPositionAtEveryStart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchPositionMidGame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceHeaders)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ReferencePositionNowhere)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
