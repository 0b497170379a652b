// The endgame-database experiments and tool jobs, without a window: the statistics over fixture
// databases whose every value is known, and the jobs' checks, results and cancel path.

#include "app/core/edb_experiments.h"
#include "app/core/edb_tool_jobs.h"
#include "rules/edb_index.h"
#include "rules/endgame_db.h"
#include "rules/variant_state.h"
#include "tests/rules/edb_fixture.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <thread>

namespace {

// A database file in which every block holds `value` at each of its 1,024 places (every index
// entry points at one stored block), or in which every block is empty (no value anywhere).
std::vector<std::uint8_t> UniformDatabase(std::optional<std::uint8_t> value) {
    std::vector<std::uint8_t> block;
    if (value) block = Deflate(std::vector<std::uint8_t>(EdbBlockValues, *value));
    std::vector<std::uint8_t> file(EdbIndexBytes);
    for (std::uint32_t b = 0; b < EdbBlockCount; ++b) {
        for (int i = 0; i < 4; ++i)
            file[4 * b + i] = static_cast<std::uint8_t>(EdbIndexBytes >> (8 * i));
        file[EdbOffsetsBytes + 2 * b] = static_cast<std::uint8_t>(block.size());
        file[EdbOffsetsBytes + 2 * b + 1] = static_cast<std::uint8_t>(block.size() >> 8);
    }
    file.insert(file.end(), block.begin(), block.end());
    return file;
}

std::optional<std::int16_t> ProbeOpen(const TBoard& b) {
    TPieceCount c;
    CountPieces(b, c);
    return ProbeEndgameDatabase(b, c.all, 0, 0);
}

// Waits for a job's end and returns its last state.
template <class TState> TState WaitForEnd(TWorkerJob<TState>& job) {
    EXPECT_TRUE(test_support::WaitUntil([&] { return job.TakeFinished(); })) << "the job never ended";
    auto s = job.TakeState();
    EXPECT_TRUE(s.has_value());
    return s ? *s : TState{};
}

class EdbExperiments : public testing::Test {
  protected:
    void SetUp() override { CurrentVariant = gtRussian; }
    void TearDown() override { CloseEndgameDatabase(); }
    void OpenUniform(std::optional<std::uint8_t> value) {
        const std::string path = dir.File("uniform.edb");
        WriteBytes(path, UniformDatabase(value));
        std::string error;
        ASSERT_TRUE(OpenEndgameDatabaseFile(path, &error)) << error;
    }
    TTempDir dir;
    std::atomic<bool> noCancel{false};
};

} // namespace

TEST(EdbOutcome, SortsScoresBySign) {
    const std::pair<std::optional<std::int16_t>, TEdbOutcome> cases[] = {
        {std::nullopt, TEdbOutcome::NoValue},
        {-2000, TEdbOutcome::Loss},
        {-1, TEdbOutcome::Loss},
        {0, TEdbOutcome::Draw},
        {1, TEdbOutcome::Win},
        {1999, TEdbOutcome::Win},
    };
    for (const auto& [score, outcome] : cases) {
        SCOPED_TRACE(score ? *score : 9999);
        EXPECT_EQ(ClassifyEdbScore(score), outcome);
    }
}

TEST(EdbExperimentSettings, RefuseWhatTheDatabaseCannotAnswer) {
    const struct {
        const char* name;
        int men0, men1, positions;
        TGameType variant;
        bool ok;
    } cases[] = {
        {"3 against 2", 3, 2, 1000, gtRussian, true},    {"1 against 1", 1, 1, 1, gtItalian, true},
        {"six pieces", 3, 3, 1000, gtRussian, false},    {"no man of side 1", 4, 0, 1000, gtRussian, false},
        {"no positions", 3, 2, 0, gtRussian, false},     {"10x10 board", 3, 2, 1000, gtInternational, false},
        {"negative men", -1, 2, 1000, gtRussian, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CheckEdbExperimentSettings({c.men0, c.men1, c.positions, c.variant}).empty(), c.ok);
    }
}

// Every position of a uniform database has one outcome, so the counters are known: each side-0 man
// adds the square weight, each side-1 man its negative, and the advancement weight once a position.
TEST_F(EdbExperiments, TableOverUniformDatabasesWeighsEveryManAndPosition) {
    const struct {
        const char* name;
        std::optional<std::uint8_t> value;
        TEdbOutcome outcome;
        int square, advancement;
    } cases[] = {
        {"all lost", 0, TEdbOutcome::Loss, -10, -3},
        {"all drawn", 255, TEdbOutcome::Draw, -2, -1},
        {"all won", 1, TEdbOutcome::Win, 10, 3},
        {"no values", std::nullopt, TEdbOutcome::NoValue, 0, 0},
    };
    const TEdbExperimentSettings s{3, 2, 300, gtRussian};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenUniform(c.value);
        std::mt19937 rng(7);
        int shown = 0;
        TEdbTable last;
        const TEdbRunEnd end = RunEdbTable(s, ProbeOpen, rng, noCancel, [&](const TEdbTable& t) {
            ++shown;
            last = t;
        });
        EXPECT_TRUE(end.error.empty()) << end.error;
        EXPECT_FALSE(end.cancelled);
        EXPECT_EQ(shown, 4); // after 100, 200, 300 and at the end
        EXPECT_EQ(last.positions, 300);
        EXPECT_EQ(last.outcomes[static_cast<int>(c.outcome)], 300);
        const auto sum = [](const auto& v) { return std::accumulate(v.begin(), v.end(), std::int64_t{0}); };
        EXPECT_EQ(sum(last.squares[0]), std::int64_t{c.square} * 3 * 300);
        EXPECT_EQ(sum(last.squares[1]), -std::int64_t{c.square} * 2 * 300);
        EXPECT_EQ(sum(last.advancement), std::int64_t{c.advancement} * 300);
        // Men never stand on their own promotion row.
        for (int s = 29; s <= 32; ++s)
            EXPECT_EQ(last.squares[0][s - 1], 0) << s;
        for (int s = 1; s <= 4; ++s)
            EXPECT_EQ(last.squares[1][s - 1], 0) << s;
        // 3 men of side 0 reach at most 18 rows, 2 of side 1 at most 12.
        for (int a = -MaxMenAdvancement; a <= MaxMenAdvancement; ++a)
            if (a < -12 || a > 18) {
                EXPECT_EQ(last.advancement[AdvancementSlot(a)], 0) << a;
            }
        CloseEndgameDatabase();
    }
}

TEST(EdbTestGroups, GatherCountSumMinAndMax) {
    TEdbTest t;
    const std::pair<std::int64_t, TEdbOutcome> rows[] = {
        {-5, TEdbOutcome::Win},    {-9, TEdbOutcome::Win},  {4, TEdbOutcome::Win},   {7, TEdbOutcome::Draw},
        {0, TEdbOutcome::NoValue}, {-3, TEdbOutcome::Loss}, {-3, TEdbOutcome::Loss},
    };
    for (const auto& [counter, outcome] : rows)
        TallyEdbTest(t, counter, outcome);
    const auto g = [&t](TEdbOutcome o) { return t.groups[static_cast<int>(o)]; };
    EXPECT_EQ(g(TEdbOutcome::Win).count, 3);
    EXPECT_EQ(g(TEdbOutcome::Win).sum, -10);
    EXPECT_EQ(g(TEdbOutcome::Win).min, -9); // a first negative counter is the minimum, not 0
    EXPECT_EQ(g(TEdbOutcome::Win).max, 4);
    EXPECT_EQ(g(TEdbOutcome::Draw).min, 7); // a first positive counter is the minimum too
    EXPECT_EQ(g(TEdbOutcome::Draw).max, 7);
    EXPECT_EQ(g(TEdbOutcome::Loss).sum, -6);
    EXPECT_EQ(t.skipped, 1);
    EXPECT_EQ(t.positions, 7);
}

// "make test" reads each position's counter from the table: with the counter equal to the
// advancement, the win group's minimum and maximum are those of the positions drawn.
TEST_F(EdbExperiments, TestGathersTheCounterOfEachPositionsAdvancement) {
    OpenUniform(1);
    std::vector<std::int64_t> table(AdvancementSlots);
    for (int a = -MaxMenAdvancement; a <= MaxMenAdvancement; ++a)
        table[AdvancementSlot(a)] = a;
    std::vector<int> seen;
    const TEdbProbeFn probe = [&seen](const TBoard& b) {
        seen.push_back(MenAdvancement(b));
        return ProbeOpen(b);
    };
    std::mt19937 rng(3);
    TEdbTest last;
    const TEdbRunEnd end =
        RunEdbTest({3, 2, 250, gtRussian}, table, probe, rng, noCancel, [&](const TEdbTest& t) { last = t; });
    ASSERT_TRUE(end.error.empty()) << end.error;
    const TEdbTestGroup win = last.groups[static_cast<int>(TEdbOutcome::Win)];
    ASSERT_EQ(seen.size(), 250u);
    EXPECT_EQ(win.count, 250);
    EXPECT_EQ(win.sum, std::accumulate(seen.begin(), seen.end(), std::int64_t{0}));
    EXPECT_EQ(win.min, *std::min_element(seen.begin(), seen.end()));
    EXPECT_EQ(win.max, *std::max_element(seen.begin(), seen.end()));
    EXPECT_EQ(last.groups[static_cast<int>(TEdbOutcome::Draw)].count, 0);

    EXPECT_FALSE(RunEdbTest({3, 2, 10, gtRussian}, {}, probe, rng, noCancel, {}).error.empty());
}

TEST(EdbExperimentRuns, StopWhenCancelled) {
    const std::atomic<bool> cancel{true};
    std::mt19937 rng(1);
    int probes = 0;
    const TEdbProbeFn probe = [&probes](const TBoard&) {
        ++probes;
        return std::optional<std::int16_t>(0);
    };
    const TEdbRunEnd end = RunEdbTable({3, 2, 1000, gtRussian}, probe, rng, cancel, {});
    EXPECT_TRUE(end.cancelled);
    EXPECT_EQ(probes, 0);
}

TEST(EdbToolJobs, RefuseAMissingEmptyOrFolderInputWithAMessage) {
    TTempDir dir;
    WriteBytes(dir.File("empty.txt"), {});
    TEdbToolJob job;
    for (const std::string& input :
         {dir.File("missing.txt"), dir.File("empty.txt"), dir.Dir(), std::string()}) {
        SCOPED_TRACE(input);
        EXPECT_FALSE(StartCompressJob(job, input).empty());
        EXPECT_FALSE(StartConvertJob(job, input).empty());
        EXPECT_FALSE(job.Busy());
    }
    EXPECT_EQ(dir.List(), std::vector<std::string>{"empty.txt"});
}

TEST(EdbToolJobs, CompressFinishesWithTheTotalsAndTheFile) {
    TTempDir dir;
    const std::string raw = dir.File("small.txt");
    WriteBytes(raw, SyntheticRaw(3 * EdbBlockValues + 100));
    TEdbToolJob job;
    ASSERT_EQ(StartCompressJob(job, raw, 4), "");
    const TEdbToolState last = WaitForEnd(job);
    ASSERT_TRUE(last.finished);
    ASSERT_TRUE(last.result.ok) << last.result.error;
    EXPECT_EQ(last.totals.bytesRead, 3 * EdbBlockValues + 100);
    EXPECT_EQ(last.totals.blocks, 4u);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"small.cpr", "small.txt"}));
}

// Compressing a full database takes seconds; a Cancel right after the start stops it, and neither
// the output nor a temporary file is left.
TEST(EdbToolJobs, CancelledCompressLeavesNoFile) {
    TTempDir dir;
    const std::string raw = dir.File("big.txt");
    WriteBytes(raw, SyntheticRaw(64 * EdbBlockValues));
    TEdbToolJob job;
    ASSERT_EQ(StartCompressJob(job, raw), "");
    job.Cancel();
    const TEdbToolState last = WaitForEnd(job);
    EXPECT_TRUE(last.finished);
    EXPECT_FALSE(last.result.ok);
    EXPECT_EQ(last.result.error, CancelledError);
    EXPECT_EQ(dir.List(), std::vector<std::string>{"big.txt"});
}

TEST(EdbToolJobs, ConvertCancelledBeforeAChunkLeavesNoFile) {
    TTempDir dir;
    const std::string six = dir.File("pos6.edb");
    WriteBytes(six, std::vector<std::uint8_t>(2 * SixSourceBlockBytes, 121));
    const std::atomic<bool> cancel{true};
    const TToolResult r = ConvertEdb(six, ConvertedName(six), {}, &cancel);
    EXPECT_EQ(r.error, CancelledError);
    EXPECT_EQ(dir.List(), std::vector<std::string>{"pos6.edb"});

    TEdbToolJob job;
    ASSERT_EQ(StartConvertJob(job, six), "");
    const TEdbToolState last = WaitForEnd(job);
    ASSERT_TRUE(last.result.ok) << last.result.error;
    EXPECT_EQ(last.blocksTotal, 2u);
    EXPECT_EQ(ReadBytes(dir.File("pos6v2.edb")).size(), 2 * EdbBlockValues);
}
