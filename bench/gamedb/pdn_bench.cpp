// PDN import and export on generated files of 100,000 random legal games of all seven variants
// (comments, marks, variations, set-up starts, 30,000 player names): one file as this program writes
// it, one in another program's style (short numbers, ":" for captures, LF line ends, lines wrapped at
// 80 characters); and for comparison a file of bare main lines as tournament files hold them. The
// reader alone, the whole import into a database, and the export of that database. Run by hand:
// build/bench/pdn_bench. Files stay in the system's temporary folder as vq_pdn_bench*.
#include "gamedb/pdn_export.h"
#include "gamedb/pdn_import.h"
#include "gamedb/progress.h"
#include "gamedb/user_prompt.h"
#include "platform/atomic_file.h"
#include "platform/file_io.h"
#include "tests/support/random_games.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

constexpr int Games = 100000;

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("vq_pdn_bench" + name)).string();
}

// Our move line turned into another program's: "09-14" as "9-14", "c3xe5" as "c3:e5", wrapped.
std::string Foreign(const std::string& ours) {
    std::string out;
    std::size_t column = 0;
    bool tagLine = true;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        char c = ours[i];
        if (c == '\r') continue;
        if (column == 0) tagLine = c == '[';
        const bool tokenStart =
            i == 0 || ours[i - 1] == ' ' || ours[i - 1] == '\n' || ours[i - 1] == '-' || ours[i - 1] == 'x';
        if (c == '0' && tokenStart && i + 1 < ours.size() && ours[i + 1] >= '1' && ours[i + 1] <= '9')
            continue;
        if (c == 'x' && i > 0 && ours[i - 1] >= '1' && ours[i - 1] <= '8' && ours[i - 1] != ' ') c = ':';
        if (c == '\n') {
            out += c;
            column = 0;
            continue;
        }
        if (c == ' ' && column > 72 && !tagLine) {
            out += '\n';
            column = 0;
            continue;
        }
        out += c;
        ++column;
    }
    return out;
}

const std::string& File(bool foreign) {
    static std::string paths[2];
    std::string& path = paths[foreign];
    if (!path.empty()) return path;
    path = TempPath(foreign ? "_foreign.pdn" : "_ours.pdn");
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) > 0 && !ec) return path; // seeded: the same file
    test_support::TRandom random(2024);
    std::string text;
    for (int i = 0; i < Games; ++i) {
        test_support::TRandomGameOptions options;
        options.moves = random.Between(20, 90);
        auto g = test_support::RandomGame(random, options).game;
        g->white = "Player " + std::to_string(random.Below(30000));
        g->black = "Player " + std::to_string(random.Below(30000));
        const std::string game = PdnGameText(*g);
        text += foreign ? Foreign(game) : game;
    }
    AtomicWriteFile(path, text);
    return path;
}

// Games as tournament files hold them: main lines of 40 to 80 moves, no comments, marks or set-ups.
const std::string& PlainFile() {
    static std::string path;
    if (!path.empty()) return path;
    path = TempPath("_plain.pdn");
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) > 0 && !ec) return path;
    test_support::TRandom random(2025);
    std::string text;
    for (int i = 0; i < Games; ++i) {
        test_support::TRandomGameOptions options;
        options.moves = random.Between(40, 80);
        options.variationPercent = 0;
        options.comments = false;
        options.annotations = false;
        options.setUpPercent = 0;
        auto g = test_support::RandomGame(random, options).game;
        g->white = "Player " + std::to_string(random.Below(30000));
        g->black = "Player " + std::to_string(random.Below(30000));
        text += PdnGameText(*g);
    }
    AtomicWriteFile(path, text);
    return path;
}

void Read(benchmark::State& state, const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    std::int64_t games = 0, whole = 0;
    auto g = std::make_unique<TGame>();
    for (auto _ : state) {
        TPdnReader reader(bytes, gtRussian);
        TPdnGameReport report;
        while (reader.Next(*g, report)) {
            ++games;
            whole += report.whole;
        }
    }
    if (whole != games) state.SkipWithError("not every game was read whole");
    state.SetItemsProcessed(games);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

void BM_ReadOurPdn(benchmark::State& state) {
    Read(state, File(false));
}
BENCHMARK(BM_ReadOurPdn)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_ReadForeignPdn(benchmark::State& state) {
    Read(state, File(true));
}
BENCHMARK(BM_ReadForeignPdn)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_ReadPlainPdn(benchmark::State& state) {
    Read(state, PlainFile());
}
BENCHMARK(BM_ReadPlainPdn)->Iterations(2)->Unit(benchmark::kMillisecond);

// Files of one long line: 300,000 tags, or 300,000 games each ended by its result. The time grows
// with the length of the line, not with its square.
void BM_ReadOneLongLine(benchmark::State& state) {
    const bool tags = state.range(0) == 0;
    std::string bytes;
    for (int i = 0; i < 300000; ++i)
        bytes += tags ? "[Key" + std::to_string(i) + " \"\"]" : std::string("c3-d4 1-0 ");
    bytes += tags ? "\n\nc3-d4 *\n" : "\n";
    auto g = std::make_unique<TGame>();
    for (auto _ : state) {
        TPdnReader reader(bytes, gtRussian);
        TPdnGameReport report;
        while (reader.Next(*g, report))
            if (!report.whole) state.SkipWithError("a game was not read whole");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadOneLongLine)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

class TYes final : public IUserPrompt {
  public:
    void ShowMessage(const std::string&) override {}
    bool Confirm(const std::string&) override { return true; }
};

void BM_ImportPdnIntoDatabase(benchmark::State& state) {
    const std::string& pdn = File(state.range(0) != 0);
    TYes yes;
    std::int64_t games = 0;
    for (auto _ : state) {
        const TPdnImportResult r = ImportPdnDatabase(pdn, TempPath(".vqb"), gtRussian, yes, SilentProgress());
        if (r.whole != Games) state.SkipWithError("not every game came in whole");
        games += r.games;
    }
    state.SetItemsProcessed(games);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(pdn)));
}
BENCHMARK(BM_ImportPdnIntoDatabase)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ExportDatabase(benchmark::State& state) {
    TYes yes;
    ImportPdnDatabase(File(false), TempPath(".vqb"), gtRussian, yes, SilentProgress());
    TGameDatabase db;
    OpenDatabase(TempPath(".vqb"), db, TOpenMode::ReadOnly);
    std::vector<std::int32_t> numbers;
    for (int n = 1; n <= db.gameCount; ++n)
        numbers.push_back(n);
    const std::string out = TempPath("_export.pdn");
    for (auto _ : state) {
        std::filesystem::remove(out);
        const TPdnExportResult r = ExportPdnGames(db, numbers, out, SilentProgress());
        if (!r.ok || r.written != Games) state.SkipWithError("the export failed");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(numbers.size()));
    CloseDatabase(db);
}
BENCHMARK(BM_ExportDatabase)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
