// The database window's list tools on 100,000 games with 30,000 players and 5,000 tournaments:
// each sort kind in list order only and with the index rewrite that renumbers the games, the
// tournaments list, and the header set on 10,000 selected games.
// Run by hand: build/bench/tools_bench. The database is made below /dev/shm (the system's temporary
// folder when that is missing) from index records and name lists alone: these tools read no moves.

#include "gamedb/database_session.h"
#include "gamedb/game_database.h"
#include "gamedb/game_list.h"
#include "gamedb/game_list_sort.h"
#include "gamedb/header_set.h"
#include "gamedb/tournament_list.h"
#include "tests/support/random_games.h"
#include "tests/support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// The session the tools work on, as the database window's would be.
TDatabaseSession& Session() {
    static TDatabaseSession session;
    return session;
}

constexpr int Games = 100'000, Players = 30'000, Tournaments = 5'000, Sites = 500;

struct TBenchDatabase {
    std::unique_ptr<test_support::TTempDir> dir;
    std::vector<TGameIndexRecord> records; // as made, in game order
    std::vector<TGameListEntry> shuffled;  // every game once, in random order
};

TBenchDatabase& Bench() {
    static TBenchDatabase b = [] {
        TBenchDatabase d;
        const std::filesystem::path shm = "/dev/shm";
        d.dir = std::filesystem::is_directory(shm)
                    ? std::make_unique<test_support::TTempDir>("tools_bench", shm)
                    : std::make_unique<test_support::TTempDir>("tools_bench");
        test_support::TRandom random(23);
        CreateDatabase(d.dir->File("bench.vqb"), Session().GameDatabase);
        const auto fill = [&](TNameList& list, int count, std::string (*make)(test_support::TRandom&)) {
            for (int i = 0; i < count; ++i)
                list.Append(StorableName(make(random) + " " + std::to_string(i)));
        };
        fill(Session().GameDatabase.players, Players, test_support::RandomPlayerName);
        fill(Session().GameDatabase.tournaments, Tournaments, test_support::RandomEventName);
        fill(Session().GameDatabase.sites, Sites, test_support::RandomSiteName);
        WriteNameLists(Session().GameDatabase);
        d.records.resize(Games);
        for (TGameIndexRecord& r : d.records) {
            r.white = std::uint16_t(random.Below(Players));
            r.black = std::uint16_t(random.Below(Players));
            // Each tournament is played at one site in one year, as real ones are.
            const int t = random.Below(Tournaments);
            r.tournament = std::uint16_t(t);
            r.site = std::uint16_t(t % Sites);
            r.year = std::uint16_t(1950 + t % 70);
            r.round = std::uint8_t(random.Between(1, 15));
        }
        ReplaceIndexFile(Session().GameDatabase, d.records);
        Session().GameList.Reset(Games);
        d.shuffled = Session().GameList.Entries();
        for (int i = Games - 1; i > 0; --i)
            std::swap(d.shuffled[std::size_t(i)], d.shuffled[std::size_t(random.Below(i + 1))]);
        return d;
    }();
    return b;
}

void BM_SortListOrder(benchmark::State& state) {
    TBenchDatabase& b = Bench();
    for (auto _ : state) {
        Session().GameList.Entries() = b.shuffled;
        benchmark::DoNotOptimize(SortGameList(Session().GameDatabase, Session().GameList, 1, Games,
                                              static_cast<TSortKind>(state.range(0))));
    }
}
BENCHMARK(BM_SortListOrder)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_SortAndRenumber(benchmark::State& state) {
    TBenchDatabase& b = Bench();
    for (auto _ : state) {
        state.PauseTiming();
        ReplaceIndexFile(Session().GameDatabase, b.records);
        Session().GameList.Entries() = b.shuffled;
        state.ResumeTiming();
        const TSortListResult r = SortListedGames(Session().GameDatabase, Session().GameList,
                                                  static_cast<TSortKind>(state.range(0)));
        if (!r.renumbered) state.SkipWithError("the games were not renumbered");
    }
    ReplaceIndexFile(Session().GameDatabase, b.records);
}
BENCHMARK(BM_SortAndRenumber)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_TournamentList(benchmark::State& state) {
    Bench();
    Session().GameList.Reset(Games);
    TTournamentList list;
    for (auto _ : state) {
        BuildTournamentList(Session().GameDatabase, Session().GameList, list);
        benchmark::DoNotOptimize(FillTournamentGrid(list, 0, false));
    }
    state.counters["entries"] = double(list.Entries().size());
}
BENCHMARK(BM_TournamentList)->Unit(benchmark::kMillisecond);

void BM_HeaderSet(benchmark::State& state) {
    Bench();
    Session().GameList.Reset(Games);
    for (int i = 0; i < 10'000; ++i)
        Session().GameList[1 + i * 10].selected = 1;
    THeaderSet set;
    set.setTournament = set.setDate = true;
    set.tournament = Session().GameDatabase.tournaments[7];
    set.year = 2024;
    for (auto _ : state) {
        const THeaderSetResult r = ApplyHeaderSet(Session().GameDatabase, Session().GameList, set);
        if (r.changed != 10'000) state.SkipWithError("not every selected game was written");
    }
}
BENCHMARK(BM_HeaderSet)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
