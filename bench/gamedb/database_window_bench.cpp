// The database window on 100,000 and 1,000,000 generated games: refreshing the list (the list reset,
// the caption, the page parameters and the first page; once more through the window itself,
// offscreen), reading one 60-line page, scrolling from the top to the end and back a page at a time,
// and the clean-up of the deleted games.
// Run by hand: build/bench/database_window_bench. The databases stay in the system's temporary folder
// as vq_dbwin_bench_<N>.* (short games: the list reads only the index file).

#include "gamedb/database_commands.h"
#include "gamedb/database_session.h"
#include "gamedb/game_database.h"
#include "gamedb/game_list.h"
#include "gamedb/game_list_page.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/db_panel.h"
#include "tests/support/random_games.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr std::int32_t PageLines = 60;
constexpr int LineHeight = 18;

std::string DbPath(std::int64_t games) {
    return (std::filesystem::temp_directory_path() / ("vq_dbwin_bench_" + std::to_string(games) + ".vqb"))
        .string();
}

// The session the list benchmarks work on, as the database window's would be.
TDatabaseSession& Session() {
    static TDatabaseSession session;
    return session;
}

// Opens the generated database of `games` games in `session`, making it the first time.
bool OpenBenchDatabase(benchmark::State& state, std::int64_t games, TDatabaseSession& session = Session()) {
    const std::string path = DbPath(games);
    if (!std::filesystem::exists(path)) {
        test_support::TRandomGameOptions o;
        o.moves = 6;
        o.comments = false;
        std::string error;
        if (!test_support::WriteRandomDatabase(path, static_cast<int>(games), 7, o, nullptr, &error)) {
            state.SkipWithError(error.c_str());
            return false;
        }
    }
    if (session.GameDatabase.open) CloseDatabase(session.GameDatabase);
    OpenDatabase(path, session.GameDatabase);
    if (!session.GameDatabase.open || session.GameDatabase.gameCount != games) {
        state.SkipWithError("the benchmark database did not open");
        return false;
    }
    return true;
}

void BM_RefreshGameList(benchmark::State& state) {
    if (!OpenBenchDatabase(state, state.range(0))) return;
    for (auto _ : state) {
        ResetGameList(Session().GameList, Session().GameDatabase);
        benchmark::DoNotOptimize(DatabaseCaption(Session().GameDatabase, Session().GameListCount(),
                                                 MarkedGameCount(Session().GameList)));
        const TPageParams p = PageParams(17 + LineHeight * PageLines, LineHeight, Session().GameListCount());
        benchmark::DoNotOptimize(ReadListPage(Session().GameDatabase, Session().GameList, 0, p.lines));
    }
    CloseDatabase(Session().GameDatabase);
}
BENCHMARK(BM_RefreshGameList)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_ReadOnePage(benchmark::State& state) {
    if (!OpenBenchDatabase(state, state.range(0))) return;
    ResetGameList(Session().GameList, Session().GameDatabase);
    const TPageParams p = PageParams(17 + LineHeight * PageLines, LineHeight, Session().GameListCount());
    std::mt19937 random(1);
    std::uniform_int_distribution<std::int32_t> where(0, p.scrollMaximum);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadListPage(Session().GameDatabase, Session().GameList,
                                              FirstEntryOffset(where(random), p), p.lines));
    state.SetItemsProcessed(state.iterations() * p.lines);
    CloseDatabase(Session().GameDatabase);
}
BENCHMARK(BM_ReadOnePage)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

void BM_ScrollToTheEndAndBack(benchmark::State& state) {
    if (!OpenBenchDatabase(state, state.range(0))) return;
    ResetGameList(Session().GameList, Session().GameDatabase);
    const TPageParams p = PageParams(17 + LineHeight * PageLines, LineHeight, Session().GameListCount());
    std::int64_t pages = 0;
    for (auto _ : state) {
        for (std::int32_t s = 0; s < p.scrollMaximum; s += p.pageStep, ++pages)
            benchmark::DoNotOptimize(
                ReadListPage(Session().GameDatabase, Session().GameList, FirstEntryOffset(s, p), p.lines));
        for (std::int32_t s = p.scrollMaximum; s > 0; s -= p.pageStep, ++pages)
            benchmark::DoNotOptimize(
                ReadListPage(Session().GameDatabase, Session().GameList, FirstEntryOffset(s, p), p.lines));
    }
    state.counters["pages"] =
        benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kAvgIterations);
    CloseDatabase(Session().GameDatabase);
}
BENCHMARK(BM_ScrollToTheEndAndBack)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_CleanUp(benchmark::State& state) {
    const std::int64_t games = state.range(0);
    if (!OpenBenchDatabase(state, games)) return;
    CloseDatabase(Session().GameDatabase);
    // Clean-up rewrites only the index file: each round starts from a copy of the original one.
    const std::string index = DbPath(games), pristine = index + ".pristine";
    if (!std::filesystem::exists(pristine)) std::filesystem::copy_file(index, pristine);
    std::int32_t removed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(pristine, index, std::filesystem::copy_options::overwrite_existing);
        OpenDatabase(index, Session().GameDatabase);
        state.ResumeTiming();
        const TCleanUpResult r = CleanUpDatabase(Session().GameDatabase);
        state.PauseTiming();
        if (r.status != TDbStatus::Ok) state.SkipWithError("clean-up failed");
        removed = r.removed;
        CloseDatabase(Session().GameDatabase);
        state.ResumeTiming();
    }
    std::filesystem::copy_file(pristine, index, std::filesystem::copy_options::overwrite_existing);
    state.counters["removed"] = removed;
}
BENCHMARK(BM_CleanUp)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// The window's own refresh: the same work through the panel's scroll bar and font metrics.
void BM_FormRefreshGameList(benchmark::State& state) {
    static int argc = 1;
    static char name[] = "database_window_bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    auto form = std::make_unique<TDatabaseForm>();
    if (!OpenBenchDatabase(state, state.range(0), form->Session())) return;
    form->resize(1600, 1000);
    form->show();
    QApplication::processEvents();
    for (auto _ : state)
        form->RefreshGameList();
    state.counters["lines"] = form->DBPanel->View().lines;
    form.reset(); // closes its database
}
BENCHMARK(BM_FormRefreshGameList)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

} // namespace
