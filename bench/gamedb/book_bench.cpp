// Building an opening book from 10,000 and 100,000 random legal games, and listing book moves
// on the larger book. Run by hand: build/bench/book_bench. The databases are made once and kept in
// the system's temporary folder as vq_book_bench_<games>.* (delete them after changing the games);
// the books are rebuilt each run.

#include "gamedb/book_builder.h"
#include "gamedb/opening_book.h"
#include "rules/movegen.h"
#include "tests/support/random_games.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / name).string();
}
std::string DbPath(int games) {
    return TempPath("vq_book_bench_" + std::to_string(games) + ".vqb");
}
std::string BookPath(int games) {
    return TempPath("vq_book_bench_" + std::to_string(games) + ".cbk");
}

// Plays random legal moves below `node` and returns the last node. The first ten plies of a game
// favour the first moves of the list, so openings overlap as real ones do; later moves are drawn
// evenly.
int PlayOut(TGame& g, int node, TBoard b, int side, int plies, int firstPly, test_support::TRandom& random) {
    TMoveList list;
    for (int p = 0; p < plies && g.header.nodeCount < MaxNodes; ++p) {
        FindMoves(b, side, list, gtRussian);
        if (list.empty()) break;
        const int n = static_cast<int>(list.size());
        int pick = 0;
        if (firstPly + p < 10)
            while (pick + 1 < n && random.Percent(55)) // each next move a little less likely
                ++pick;
        else
            pick = random.Below(n);
        TMove m = list[pick];
        m.parent = static_cast<std::uint16_t>(node);
        m.mainLine = 1;
        node = ++g.header.nodeCount;
        g.nodes[node] = m;
        MakeMove(m, b, gtRussian);
        side ^= 1;
    }
    return node;
}

// About 80 plies (a random game that ends early goes on from one of its earlier positions, as a
// variation); one game in ten has a variation of ten plies.
void RandomGame(TGame& g, int index, test_support::TRandom& random) {
    InitGame(g, gtRussian);
    PositionToKey(StartPosition64, g.startKey);
    g.white = test_support::RandomPlayerName(random);
    g.black = test_support::RandomPlayerName(random);
    g.tournament = test_support::RandomEventName(random);
    g.header.result = static_cast<std::uint8_t>(random.Below(6));
    int want = random.Between(70, 90);
    PlayOut(g, 0, StartPosition64, 0, want, 0, random);
    for (int tries = 0; g.header.nodeCount < want && tries < 10; ++tries) {
        const int from = random.Below(g.header.nodeCount + 1);
        TBoard b;
        PositionAtNode(from, g, b);
        int side = 0;
        for (int k = from; k != 0; k = g.nodes[k].parent)
            side ^= 1;
        const int first = g.header.nodeCount + 1;
        PlayOut(g, from, b, side, want - g.header.nodeCount, 10, random);
        if (g.header.nodeCount >= first && from != 0) g.nodes[first].mainLine = 0;
    }
    if (index % 10 == 0 && g.header.nodeCount > 20) {
        const int at = random.Between(4, 19); // branch after ply `at` of the main line
        TBoard b;
        PositionAtNode(at, g, b);
        const int first = g.header.nodeCount + 1;
        PlayOut(g, at, b, at % 2, 10, at, random);
        if (g.header.nodeCount >= first) g.nodes[first].mainLine = 0;
    }
}

void MakeDatabase(int games) {
    TGameDatabase db;
    OpenDatabase(DbPath(games), db, TOpenMode::ReadOnly);
    const bool ready = db.open && db.gameCount == games;
    CloseDatabase(db);
    if (ready) return;
    test_support::TRandom random(20240601);
    auto g = std::make_unique<TGame>();
    CreateDatabase(DbPath(games), db);
    for (int i = 0; i < games; ++i) {
        RandomGame(*g, i, random);
        WriteGame(*g, 0, db, false);
    }
    SaveDatabase(db);
    CloseDatabase(db);
}

double PeakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

void RunBuild(benchmark::State& state, const std::string& database, const std::string& book) {
    TGameDatabase db;
    OpenDatabase(database, db, TOpenMode::ReadOnly);
    std::vector<std::int32_t> numbers(static_cast<std::size_t>(db.gameCount));
    for (std::size_t i = 0; i < numbers.size(); ++i)
        numbers[i] = static_cast<std::int32_t>(i + 1);
    TBookBuildReport report;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(book);
        state.ResumeTiming();
        report = BuildBook(book, db, numbers, nullptr);
    }
    CloseDatabase(db);
    if (!report.ok) state.SkipWithError(report.error.c_str());
    state.counters["games/s"] = benchmark::Counter(static_cast<double>(numbers.size()) * state.iterations(),
                                                   benchmark::Counter::kIsRate);
    state.counters["positions"] = static_cast<double>(report.positions);
    state.counters["records"] = static_cast<double>(report.records);
    state.counters["file_MB"] = static_cast<double>(report.records) * BookRecordSize / 1048576.0;
    state.counters["peak_RSS_MB"] = PeakRssMb();
}

// Games whose openings overlap.
void BM_BuildBook(benchmark::State& state) {
    const int games = static_cast<int>(state.range(0));
    MakeDatabase(games);
    RunBuild(state, DbPath(games), BookPath(games));
}
BENCHMARK(BM_BuildBook)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The shared random games (every move drawn evenly, names, marks, comments): openings overlap
// only in their first plies, so nearly every position is a record of its own.
void BM_BuildBookEvenGames(benchmark::State& state) {
    const int games = static_cast<int>(state.range(0));
    const std::string database = TempPath("vq_book_bench_even_" + std::to_string(games) + ".vqb");
    TGameDatabase db;
    OpenDatabase(database, db, TOpenMode::ReadOnly);
    const bool ready = db.open && db.gameCount == games;
    CloseDatabase(db);
    test_support::TRandomGameOptions options;
    options.variant = gtRussian;
    options.moves = 80;
    options.variationPercent = 0; // a game that ends early goes on from an earlier position
    options.setUpPercent = 0;
    std::string error;
    if (!ready && !test_support::WriteRandomDatabase(database, games, 20240602, options, nullptr, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    RunBuild(state, database, TempPath("vq_book_bench_even_" + std::to_string(games) + ".cbk"));
}
BENCHMARK(BM_BuildBookEvenGames)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Twenty positions of the games' early plies, each with book moves.
std::vector<std::pair<TBoard, int>> LookupPositions() {
    test_support::TRandom random(7);
    std::vector<std::pair<TBoard, int>> out;
    auto g = std::make_unique<TGame>();
    for (int i = 0; out.size() < 20; ++i) {
        RandomGame(*g, i, random);
        const int node = 1 + static_cast<int>(out.size() % 12);
        TBoard b;
        PositionAtNode(node, *g, b);
        out.emplace_back(b, node % 2);
    }
    return out;
}

TOpeningBook& BigBook() {
    static TOpeningBook book;
    if (!std::filesystem::exists(BookPath(100000))) {
        MakeDatabase(100000);
        TGameDatabase db;
        OpenDatabase(DbPath(100000), db, TOpenMode::ReadOnly);
        std::vector<std::int32_t> numbers(100000);
        for (int i = 0; i < 100000; ++i)
            numbers[i] = i + 1;
        BuildBook(BookPath(100000), db, numbers, nullptr);
        CloseDatabase(db);
    }
    TBookSettings s;
    s.book[0] = BookPath(100000);
    book.SetSettings(s);
    book.Open(gtRussian, SilentPrompt());
    return book;
}

void BM_ListBookMovesWarm(benchmark::State& state) {
    TOpeningBook& book = BigBook();
    const auto positions = LookupPositions();
    TBookMoveList list;
    std::size_t rows = 0, i = 0;
    for (auto _ : state) {
        const auto& [b, side] = positions[i++ % positions.size()];
        book.ListBookMoves(b, side, gtRussian, ":", list);
        rows += list.rows.size();
    }
    state.counters["rows/call"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ListBookMovesWarm)->Unit(benchmark::kMicrosecond);

void BM_ListBookMovesCold(benchmark::State& state) {
    TOpeningBook& book = BigBook();
    const auto positions = LookupPositions();
    TBookMoveList list;
    std::size_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        book.Open(gtRussian, SilentPrompt());
        state.ResumeTiming();
        const auto& [b, side] = positions[i++ % positions.size()];
        book.ListBookMoves(b, side, gtRussian, ":", list);
    }
}
BENCHMARK(BM_ListBookMovesCold)->Unit(benchmark::kMicrosecond);

} // namespace
