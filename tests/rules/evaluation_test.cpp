// The built-in engine's static evaluations on hand-built positions, worked out by hand from the
// piece tables.
#include "movegen_test_util.h"

#include "rules/evaluation.h"
#include "rules/search.h"

#include <gtest/gtest.h>

using movegen_test::BoardFromSquares;

namespace {

struct TEvalCase {
    const char* name;
    const char* position;
    int side0; // the score for side 0; side 1 gets its negation
};

// Man table: 1 4, 4 27, 7 17, 8 7, 9 8, 10 21, 11 26, 12 12, 13 14, 15 17, 16 5, 17 15, 25 61.
// King table: 1 80, 14 90.
const TEvalCase FlyingKingCases[] = {
    {"EmptyBoard", "", 0},
    {"ManOn25With29EmptyEarns100", "w25", 100 + 61 + 100},
    {"ManOn25With29TakenEarnsNothing", "w25 b29", 161 - (100 + 27)},
    {"Side1ManOn8With4Empty", "b8", -(100 + 61 + 100)},
    {"KingUsesKingTable", "W1", 300 + 80},
    {"KingsMirrorForSide1", "W14 B19", 0},
    // Side 1 men on 17 and 21 against side 0 men on 9, 10 and 13.
    {"Side1WedgeWith1Empty", "b17 b21 w9 w13 w10", 343 - (217 + 45)},
    {"Side1WedgeWith1Taken", "b17 b21 w9 w13 w10 w1", 447 - (217 + 30)},
    {"Side0WedgeWith32Empty", "w16 w12 b24 b20 b23", (217 + 45) - 343},
    {"Side1ChainWith4Empty", "b16 b20 b24 w15 w12 w11 w7", 472 - (337 + 45)},
    {"Side0ChainWith29Empty", "w17 w13 w9 b18 b21 b26 b22", (337 + 45) - 472},
    // Material alone passes 1,899 and is held below the scores of forced wins.
    {"ClampedBelowWinScores", "W1 W2 W3 W4 W5 W6 W7 W8 W9 W10 W11 W12", MaxStaticScore},
};

TEST(VantorEvaluation, FlyingKings) {
    for (const TEvalCase& c : FlyingKingCases) {
        SCOPED_TRACE(c.name);
        const TBoard b = BoardFromSquares(c.position);
        EXPECT_EQ(EvaluateFlyingKings(0, b), c.side0);
        EXPECT_EQ(EvaluateFlyingKings(1, b), -c.side0);
    }
}

const TEvalCase ShortKingCases[] = {
    {"EmptyBoard", "", 0},
    {"EqualMaterial", "w1 b32", 0},
    // Table entries 0 on 29-32 for side 0 and on 1-4 for side 1: 300 against 200, five pieces.
    {"ThreeMenAgainstTwo", "w29 w30 w31 b1 b2", 100},
    {"KingsAre200", "W1 W2 B3", 100 * 3 * 200 / 600},
    // 126 / 336 x 3 x 100 = 112.5 goes to the even 112; 104 / 320 x 3 x 100 = 97.5 to 98.
    {"HalfToEvenBelow", "w1 w4 b17", 112},
    {"HalfToEvenAbove", "w1 w5 b28", 98},
    {"ClampedBelowWinScores", "W1 W2 W3 W4 W5 W6 W7 W8 W9 W10 W11 W12 W13 W14 W15 W16 W17 W18 W19 W20 b21",
     MaxStaticScore},
};

TEST(VantorEvaluation, ShortKings) {
    for (const TEvalCase& c : ShortKingCases) {
        SCOPED_TRACE(c.name);
        const TBoard b = BoardFromSquares(c.position);
        EXPECT_EQ(EvaluateShortKings(0, b), c.side0);
        EXPECT_EQ(EvaluateShortKings(1, b), -c.side0);
    }
}

// 10x10 man table: 1 0, 25 5; king table: 1 70.
const TEvalCase InternationalCases[] = {
    {"EmptyBoard", "", 0},
    {"EqualMaterial", "w1 b50", 0},
    // 270 / 470 x (2 x 2 pieces) x 100 = 229.8: the pieces count twice.
    {"PiecesCountTwice", "W1 b50", 230},
    {"LoneMan", "w25", 200},
    {"ClampedBelowWinScores", "W1 W2 W3 W4 W5 W6 W7 W8 W9 W10 W11 b50", MaxStaticScore},
};

TEST(VantorEvaluation, International) {
    for (const TEvalCase& c : InternationalCases) {
        SCOPED_TRACE(c.name);
        const TBoard b = BoardFromSquares(c.position);
        EXPECT_EQ(EvaluateInternational(0, b), c.side0);
        EXPECT_EQ(EvaluateInternational(1, b), -c.side0);
    }
}

TEST(VantorEvaluation, VariantChoosesItsFamily) {
    // A lone man on 25: 261 with the flying-king patterns, 100 as a share of one piece, 200 on
    // 10x10 (105 / 105 x 2 x 100).
    const TBoard b = BoardFromSquares("w25");
    const int expected[8] = {0, 261, 100, 261, 261, 100, 200, 261};
    for (int v = 1; v <= 7; ++v) {
        SCOPED_TRACE(v);
        EXPECT_EQ(Evaluate(0, b, 3, static_cast<TGameType>(v)), expected[v]);
    }
}

// The searcher counts in its own state: every evaluation of the short-king and 10x10 families, the
// flying-king ones only with the count flag.
TEST(VantorEvaluation, CountFlagGatesOnlyTheFlyingKingCounter) {
    const struct {
        TGameType variant;
        const char* position;
    } cases[] = {{gtRussian, "w9 w10 b22 b23"},
                 {gtEnglish, "w9 w10 b22 b23"},
                 {gtItalian, "w9 w10 b22 b23"},
                 {gtInternational, "w31 w32 b17 b18"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.variant));
        THashTable table;
        table.Allocate(1024);
        TSearcher searcher(table, c.variant);
        searcher.Search(BoardFromSquares(c.position), -2000, 2000, 1, 2, 0, 0);
        const std::uint64_t unflagged = searcher.Evaluations();
        searcher.ResetEvaluations();
        table.Clear();
        searcher.Search(BoardFromSquares(c.position), -2000, 2000, 1, 2, 0, 1);
        const std::uint64_t flagged = searcher.Evaluations();
        EXPECT_GT(flagged, 0u);
        EXPECT_EQ(unflagged, c.variant == gtRussian ? 0u : flagged);
    }
}

TEST(VantorEvaluation, RoundRatioHalfEven) {
    struct {
        std::int64_t num, den, rounded;
    } const cases[] = {{5, 2, 2}, {7, 2, 4}, {-5, 2, -2}, {-7, 2, -4},
                       {7, 3, 2}, {8, 3, 3}, {-8, 3, -3}, {0, 9, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.num) + "/" + std::to_string(c.den));
        EXPECT_EQ(RoundRatioHalfEven(c.num, c.den), c.rounded);
    }
}

} // namespace
