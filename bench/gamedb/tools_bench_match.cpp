// Duplicate matching: Fast on 100,000 games (exact, without captures, partial length) and the
// quadratic comparison without Fast on 10,000 games.
// Run by hand: build/bench/tools_bench --benchmark_filter=Match. The games are random legal ones
// with 3 % planted copies, made below /dev/shm (the system's temporary folder when that is missing);
// VQ_MATCH_DB=DB.vqb takes a copy of that database instead (vqdbgen writes one).

#include "gamedb/duplicate_match.h"
#include "gamedb/game_database.h"
#include "gamedb/game_list.h"
#include "gamedb/progress.h"
#include "tests/support/random_games.h"
#include "tests/support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int FullGames = 100'000, SlowGames = 10'000;

std::unique_ptr<test_support::TTempDir> MakeDir() {
    const std::filesystem::path shm = "/dev/shm";
    return std::filesystem::is_directory(shm) ? std::make_unique<test_support::TTempDir>("match_bench", shm)
                                              : std::make_unique<test_support::TTempDir>("match_bench");
}

// `count` random games, every 33rd an exact copy of an earlier one; none marked deleted.
void WriteGames(const std::string& fileName, int count) {
    TGameDatabase db;
    CreateDatabase(fileName, db);
    test_support::TRandom random(23);
    test_support::TRandomGameOptions o;
    o.comments = false;
    o.variationPercent = 0; // long main lines, as real games have
    auto scratch = std::make_unique<TGame>();
    for (int i = 0; i < count; ++i) {
        if (i > 0 && i % 33 == 0 && ReadGame(db, 1 + random.Below(i), false, *scratch) == TDbStatus::Ok) {
            WriteGame(*scratch, 0, db, false);
        } else {
            auto g = std::move(test_support::RandomGame(random, o).game);
            g->header.flags = 0;
            WriteGame(*g, 0, db, false);
        }
        ++db.gameCount;
    }
    SaveDatabase(db);
    CloseDatabase(db);
}

void CopyDatabase(const std::string& from, const std::string& to) {
    const auto base = [](const std::string& name) { return name.substr(0, name.find_last_of('.')); };
    for (const char* ext : {".vqb", ".vqn", ".vqm"})
        std::filesystem::copy_file(base(from) + ext, base(to) + ext,
                                   std::filesystem::copy_options::overwrite_existing);
}

struct TBenchDatabases {
    std::unique_ptr<test_support::TTempDir> dir = MakeDir();
    std::string full = dir->File("full.vqb"), slow = dir->File("slow.vqb");
    TBenchDatabases() {
        if (const char* given = std::getenv("VQ_MATCH_DB"))
            CopyDatabase(given, full);
        else
            WriteGames(full, FullGames);
        WriteGames(slow, SlowGames);
    }
};

TBenchDatabases& Databases() {
    static TBenchDatabases d;
    return d;
}

void RunMatch(benchmark::State& state, const std::string& fileName, const TDuplicateOptions& o) {
    TGameDatabase db;
    OpenDatabase(fileName, db);
    if (!db.open) {
        state.SkipWithError("cannot open the database");
        return;
    }
    TGameList list;
    TDuplicateResult r;
    for (auto _ : state) {
        r = MatchDuplicateGames(db, list, o, SilentProgress());
        benchmark::DoNotOptimize(list.Count());
    }
    state.counters["games"] = double(db.gameCount);
    state.counters["listed"] = double(r.listed);
    state.counters["marked"] = double(r.marked);
    CloseDatabase(db);
}

void BM_MatchFast(benchmark::State& state) {
    TDuplicateOptions o;
    o.withoutCaptures = state.range(0) == 1;
    o.partialLength = state.range(0) == 2;
    RunMatch(state, Databases().full, o);
}
// 0 exact, 1 without captures, 2 partial length.
BENCHMARK(BM_MatchFast)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_MatchWithoutFast(benchmark::State& state) {
    TDuplicateOptions o;
    o.fast = false;
    RunMatch(state, Databases().slow, o);
}
BENCHMARK(BM_MatchWithoutFast)->Unit(benchmark::kMillisecond);

} // namespace
