// CHB import of a generated file of 65,535 records (random legal Russian games of 1 to 200 plies from
// the start, fewer where a game ends) into a new database with the silent progress; the conversion
// alone; and one step of the real progress window, offscreen.
// Run by hand: build/bench/chb_import_bench. The file and database stay in the system's temporary
// folder as vq_chb_bench.*.

#include "gamedb/chb_import.h"
#include "gamedb/progress.h"
#include "gamedb/ui/f_imp_chb.h"
#include "tests/gamedb/chb_test_file.h"
#include "tests/support/random_games.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

constexpr int Records = 65535;

std::string TempPath(const char* ext) {
    return (std::filesystem::temp_directory_path() / (std::string("vq_chb_bench") + ext)).string();
}

const std::string& ChbFile() {
    static const std::string path = [] {
        const std::string p = TempPath(".chb");
        // Made once: the generator is seeded, so a file of the right size is this one.
        std::error_code ec;
        if (std::filesystem::file_size(p, ec) == (Records + 1) * chb_test::Record().size()) return p;
        test_support::TRandom random(1);
        std::vector<chb_test::Record> records{chb_test::JunkRecord()};
        for (int i = 0; i < Records; ++i) {
            test_support::TRandomGameOptions options;
            options.variant = gtRussian;
            options.moves = random.Between(1, 200);
            options.variationPercent = 0;
            options.header = options.comments = options.annotations = false;
            options.setUpPercent = 0;
            chb_test::TGameRecord g =
                chb_test::RecordOfMainLine(*test_support::RandomGame(random, options).game);
            g.white = "Player " + std::to_string(random.Below(3000));
            g.black = "Player " + std::to_string(random.Below(3000));
            g.tournament = "Tournament " + std::to_string(i / 200);
            records.push_back(chb_test::MakeRecord(g));
        }
        chb_test::WriteRecords(p, records);
        return p;
    }();
    return path;
}

void BM_ImportChb65535(benchmark::State& state) {
    const std::string& chb = ChbFile();
    std::int64_t plies = 0;
    for (auto _ : state) {
        TGameDatabase db;
        CreateDatabase(TempPath(".vqb"), db);
        const TChbImportResult r = ImportChbDatabase(chb, db, gtRussian);
        if (r.stored != Records || r.whole != Records) state.SkipWithError("not every game came in whole");
        state.PauseTiming();
        auto g = std::make_unique<TGame>();
        plies = 0;
        for (int n = 1; n <= db.gameCount; n += 1000)
            if (ReadGame(db, n, false, *g) == TDbStatus::Ok) plies += g->header.nodeCount;
        CloseDatabase(db);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Records);
    state.counters["plies_per_game"] = double(plies) / ((Records + 999) / 1000);
}
BENCHMARK(BM_ImportChb65535)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_ConvertChbRecords(benchmark::State& state) {
    TChbFile file;
    file.Open(ChbFile());
    auto g = std::make_unique<TGame>();
    std::int64_t n = 0;
    for (auto _ : state) {
        TChbFaults faults;
        const std::int64_t record = n++ % Records + 1;
        benchmark::DoNotOptimize(ReadChbGame(file, record, gtRussian, *g, faults));
    }
    state.SetItemsProcessed(n);
}
BENCHMARK(BM_ConvertChbRecords);

void BM_ProgressWindowStep(benchmark::State& state) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "chb_import_bench";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    TFImpCHB window;
    window.BeginProgress("Import CHB Database", "vq_chb_bench.chb", Records, Records);
    std::int64_t position = 0;
    for (auto _ : state)
        window.StepProgress(++position % Records + 1, 0);
    window.EndProgress();
}
BENCHMARK(BM_ProgressWindowStep)->Unit(benchmark::kMicrosecond);

} // namespace
