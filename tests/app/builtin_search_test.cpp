#include "app/core/builtin_engine.h"
#include "app/core/builtin_search.h"
#include "platform/steady_clock.h"
#include "rules/search.h"
#include "session_fixture.h"

#include <chrono>

using namespace app_test;

namespace {
class BuiltinSearch : public testing::Test {
  protected:
    void SetUp() override {
        UseSmallHashTable();
        ResetGame(StartPosition64, 0, gtRussian, true);
    }
    void TearDown() override { SetSteadyClockSource({}); }
    TBuiltinSearchOutcome Run(const TBoard& b, int side, int maxDepth, int margin, std::int64_t budget,
                              bool playMode = true, IBookMoves* book = nullptr, unsigned seed = 1) {
        TEngineRandom rng(seed);
        TRootSearchSetup setup = BuiltinEngine().SearchSetup();
        setup.random = &rng;
        setup.edb = {};
        return RunBuiltinSearch({b, side, gtRussian, playMode, false}, maxDepth, margin, budget, m_stop,
                                book ? *book : BookMoves(), setup);
    }
    std::atomic<bool> m_stop{false};
};

// Full-window scores of every root move at one depth, each with a fresh table: what the margin
// windows of the root search must agree with.
std::vector<int> OracleScores(const TMoveList& moves, const TBoard& b, int side, int depth) {
    std::vector<int> scores;
    for (const TMove& m : moves) {
        TBoard child = b;
        MakeMove(m, child, gtRussian);
        BuiltinEngine().ClearHashTable();
        SetEngineStopFlag(0);
        scores.push_back(-BuiltinEngine().Analysis(child, -2000, 2000, 2, depth, 1 - side, 1, gtRussian));
    }
    return scores;
}

class TOneBookMove final : public IBookMoves {
  public:
    explicit TOneBookMove(TMove m) : m_move(m) {}
    std::vector<TMove> PlayableBookMoves(const TBoard&, int, TGameType) override {
        ++calls;
        return {m_move};
    }
    int calls = 0;

  private:
    TMove m_move;
};
} // namespace

TEST_F(BuiltinSearch, OneLegalMoveEndsAfterTheFirstIteration) {
    // A lone man on the edge with one square ahead.
    std::optional<TBoard> one;
    for (int s = 1; s <= 28 && !one; ++s) {
        const TBoard b = Board({{s, sqMan0}, {32, sqMan1}});
        TMoveList list;
        FindMoves(b, 0, list, gtRussian);
        if (list.size() == 1) one = b;
    }
    ASSERT_TRUE(one);
    const TBuiltinSearchOutcome out = Run(*one, 0, 98, 0, AnalysisBudget);
    EXPECT_EQ(out.root.completedDepth, 5);
    ASSERT_TRUE(out.hasMove);
    EXPECT_EQ(out.root.moves.size(), 1u);
    EXPECT_TRUE(out.move.SameMove(out.root.moves[0]));
}

TEST_F(BuiltinSearch, ABudgetUnderThreeCentisecondsRunsOneIteration) {
    for (const std::int64_t budget : {0, 1, 2}) {
        SCOPED_TRACE(budget);
        const TBuiltinSearchOutcome out = Run(StartPosition64, 0, 98, 0, budget);
        EXPECT_EQ(out.root.completedDepth, 5);
        EXPECT_TRUE(out.hasMove);
    }
}

TEST_F(BuiltinSearch, EachLevelChoosesWithinItsMarginOfTheBest) {
    const TBoard b = StartPosition64;
    TMoveList moves;
    FindMoves(b, 0, moves, gtRussian);
    RemoveDuplicateMoves(moves, b, gtRussian);
    const std::vector<int> oracle = OracleScores(moves, b, 0, 5);
    const int best = *std::max_element(oracle.begin(), oracle.end());
    for (int level = 0; level <= 4; ++level) {
        const int margin = LevelTable[level].scoreMargin;
        for (unsigned seed = 1; seed <= 6; ++seed) {
            SCOPED_TRACE(testing::Message() << "level " << level << " seed " << seed);
            const TBuiltinSearchOutcome out = Run(b, 0, 5, margin, AnalysisBudget, true, nullptr, seed);
            ASSERT_TRUE(out.hasMove);
            const auto it = std::find_if(moves.begin(), moves.end(),
                                         [&](const TMove& m) { return m.SameMove(out.move); });
            ASSERT_NE(it, moves.end());
            const int score = oracle[it - moves.begin()];
            if (margin == 0)
                EXPECT_EQ(score, best);
            else
                EXPECT_GE(score + margin, best);
            // The candidates are exactly the moves within the margin.
            int within = 0;
            for (int s : oracle)
                within += s + margin >= best;
            EXPECT_EQ(out.root.candidates, within);
        }
    }
}

TEST_F(BuiltinSearch, TheEngineInformationFollowsTheSearch) {
    Run(StartPosition64, 0, 5, 0, AnalysisBudget);
    const TEngineInfo info = EngineInfo.Snapshot();
    EXPECT_EQ(info.Depth, "5 (7/7)");
    EXPECT_EQ(info.Score, info.Bound);
    ASSERT_FALSE(info.BestLine.empty());
    EXPECT_NE(info.BestLine.back(), ' ') << "no separator after the last move";
    EXPECT_NE(info.BestLine.back(), ',');
    EXPECT_EQ(info.EdbProbes, "n/a");
    EXPECT_NE(info.HashFill.find("% of "), std::string::npos);
    EXPECT_EQ(info.HashFill.substr(info.HashFill.size() - 3), " MB");
    // With a margin several moves are candidates: a list with commas between them.
    Run(StartPosition64, 0, 5, 1000, AnalysisBudget);
    const std::string list = EngineInfo.Snapshot().BestLine;
    EXPECT_NE(list.find(", "), std::string::npos) << list;
    EXPECT_NE(list.back(), ' ') << list;
    EXPECT_TRUE(EngineInfo.HasNewInfo());
}

TEST_F(BuiltinSearch, TheMasterLevelPlaysABookMoveAfterAPause) {
    TMoveList legal;
    FindMoves(StartPosition64, 0, legal, gtRussian);
    const TMove bookMove = legal.back();
    TOneBookMove book(bookMove);
    // The pause runs on the program's clock, here one that moves 20 ms at each reading.
    std::int64_t now = 0;
    SetSteadyClockSource([&] { return std::chrono::nanoseconds(now += 20'000'000); });
    const std::chrono::nanoseconds start = SteadyNow();
    const TBuiltinSearchOutcome out = Run(StartPosition64, 0, 98, 0, AnalysisBudget, true, &book);
    EXPECT_GE(SteadyNow() - start, BookMovePause);
    SetSteadyClockSource({});
    EXPECT_TRUE(out.fromBook);
    EXPECT_TRUE(out.move.SameMove(bookMove));

    // A stop ends the pause at once: on a clock that stands still it would never end otherwise.
    SetSteadyClockSource([] { return std::chrono::nanoseconds(1); });
    m_stop = true;
    EXPECT_TRUE(Run(StartPosition64, 0, 98, 0, AnalysisBudget, true, &book).fromBook);
    SetSteadyClockSource({});
    m_stop = false;

    // Weaker levels and analysis do not look into the book.
    const TBuiltinSearchOutcome candidate = Run(StartPosition64, 0, 14, 5, 1, true, &book);
    EXPECT_FALSE(candidate.fromBook);
    EXPECT_EQ(candidate.root.completedDepth, 5);
    m_stop = true;
    Run(StartPosition64, 0, 98, 0, AnalysisBudget, false, &book);
    EXPECT_EQ(book.calls, 2);
}

TEST_F(BuiltinSearch, AStopAskedBeforeTheSearchClearedTheWordIsKept) {
    // The search clears the stop word when it starts; the host's request must still end it, or an
    // analysis with its endless budget would never return.
    m_stop = true;
    SetEngineStopFlag(1);
    const TBuiltinSearchOutcome out = Run(StartPosition64, 0, 98, 0, AnalysisBudget, false);
    EXPECT_TRUE(out.root.stopped);
    EXPECT_FALSE(out.hasMove);
}
