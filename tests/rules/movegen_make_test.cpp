// Making moves, removing duplicate sequences and the king-capture weight.
#include "movegen_test_util.h"

#include "rules/movegen.h"
#include "rules/variant_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace movegen_test;

namespace {
// The listed move of `position` with the given text.
TMove FindListed(const TBoard& board, int side, TGameType v, const std::string& text) {
    TMoveList list;
    FindMoves(board, side, list, v);
    for (const TMove& m : list)
        if (Text(m) == text) return m;
    ADD_FAILURE() << text << " is not listed";
    return {};
}

struct TMakeCase {
    const char* name;
    TGameType variant;
    int side;
    const char* before;
    const char* move;
    const char* after;
};

const TMakeCase MakeCases[] = {
    {"RussianKingAfterMidCapturePromotion", gtRussian, 0, "w21 b26 b27", "21(26)30(27)23", "W23"},
    {"BrazilianManAfterPassingLastRow", gtBrazilian, 0, "w21 b26 b27", "21(26)30(27)23", "w23"},
    {"InternationalManAfterPassingLastRow", gtInternational, 0, "w36 b42 b43", "36(42)47(43)38", "w38"},
    {"BrazilianCrownedAtTheEnd", gtBrazilian, 0, "w21 b26 b23", "21(26)30", "W30 b23"},
    {"RussianSide1CrownedMidCapture", gtRussian, 1, "b12 w7 w10", "12(7)3(10)17", "B17"},
    {"RussianPlainPromotion", gtRussian, 0, "w25", "25-29", "W29"},
    {"EnglishSide1PlainPromotion", gtEnglish, 1, "b5", "5-1", "B1"},
    {"InternationalPlainPromotion", gtInternational, 0, "w41", "41-46", "W46"},
    {"InternationalSide1PlainPromotion", gtInternational, 1, "b8", "8-3", "B3"},
    // Square 31 is the far row only on the small board.
    {"InternationalNoPromotionOnRow6", gtInternational, 0, "w26", "26-31", "w31"},
    {"KingStaysKing", gtInternational, 0, "W1 b17", "1(17)50", "W50"},
    {"BackToTheStartSquare", gtEnglish, 0, "W10 b13 b14 b21 b22", "10(14)19(22)26(21)17(13)10", "W10"},
    {"FlyingKingTwoOnOneDiagonal", gtRussian, 0, "W1 b10 b28 w4", "1(10)19(28)32", "W32 w4"},
};
} // namespace

TEST(MovegenMake, ResultingPositions) {
    for (const TMakeCase& c : MakeCases) {
        SCOPED_TRACE(c.name);
        TBoard board = BoardFromSquares(c.before);
        const TMove m = FindListed(board, c.side, c.variant, c.move);
        MakeMove(m, board, c.variant);
        EXPECT_EQ(board, BoardFromSquares(c.after));
    }
}

TEST(MovegenDuplicates, OneMoveIsKeptForEachPosition) {
    struct {
        const char* name;
        TGameType variant;
        const char* position;
        std::vector<std::string> raw, unique;
    } cases[] = {
        {"RoundTripBothWays",
         gtEnglish,
         "W10 b13 b14 b21 b22",
         {"10(14)19(22)26(21)17(13)10", "10(13)17(21)26(22)19(14)10"},
         {"10(14)19(22)26(21)17(13)10"}},
        // The last move of the list takes the place of a removed one.
        {"LastMoveFillsTheGap",
         gtRussian,
         "W1 b10 b28 w4 b7 w8 b12",
         {"1(10)14(28)32", "1(10)19(28)32", "1(10)23(28)32", "4(7)11", "8(12)15"},
         {"1(10)14(28)32", "8(12)15", "4(7)11"}},
        {"NothingToRemove",
         gtRussian,
         "W1 b10 w28",
         {"1(10)14", "1(10)19", "1(10)23"},
         {"1(10)14", "1(10)19", "1(10)23"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TBoard board = BoardFromSquares(c.position);
        TMoveList list;
        FindMoves(board, 0, list, c.variant);
        EXPECT_EQ(Texts(list), c.raw);
        RemoveDuplicateMoves(list, board, c.variant);
        EXPECT_EQ(Texts(list), c.unique);
        TMoveList unique;
        FindUniqueMoves(board, 0, unique, c.variant);
        EXPECT_EQ(Texts(unique), c.unique);
    }
}

TEST(MovegenDuplicates, ShortListsAndTheMainWindowsVariant) {
    TMoveList empty;
    RemoveDuplicateMoves(empty, EmptyBoard, gtRussian);
    EXPECT_TRUE(empty.empty());

    const TGameType saved = CurrentVariant;
    CurrentVariant = gtEnglish;
    const TBoard board = BoardFromSquares("W10 b13 b14 b21 b22");
    TMoveList list;
    FindMoves(board, 0, list);
    EXPECT_EQ(list.size(), 2u);
    RemoveDuplicateMoves(list, board);
    EXPECT_EQ(list.size(), 1u);
    CurrentVariant = gtInternational;
    FindMoves(StartPosition100, 0, list);
    EXPECT_EQ(list.size(), 9u);
    CurrentVariant = saved;
}

TEST(MovegenKingCaptureWeight, MoverAndTakenKings) {
    struct {
        const char* position;
        const char* move;
        int weight;
    } cases[] = {
        {"w14 b18", "14(18)21", 0},       {"w14 B18", "14(18)21", 1},       {"W1 b5 b13", "1(5)10(13)17", 1},
        {"W1 B5 B13", "1(5)10(13)17", 3}, {"W1 b5 B13", "1(5)10(13)17", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        const TBoard board = BoardFromSquares(c.position);
        EXPECT_EQ(KingCaptureWeight(FindListed(board, 0, gtEnglish, c.move), board), c.weight);
    }
    TMove plain;
    plain.from = 14;
    plain.squares[0] = 18;
    EXPECT_EQ(KingCaptureWeight(plain, BoardFromSquares("W14")), 1);
}

// A capture cut at the pair bound ends where it stands, is still a sound move, and a stored
// node claiming more pairs than a record holds is read only up to them.
TEST(MovegenBounds, CapturesStopAtThePairBound) {
    const TBoard board = BoardFromSquares("w1 b5 b13 b21");
    TMoveList list;
    FindMovesWithPairLimit(board, 0, list, gtRussian, 2);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"1(5)10(13)17"}));
    FindMovesWithPairLimit(board, 0, list, gtRussian, 1);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"1(5)10"}));
    FindMovesWithPairLimit(board, 0, list, gtRussian, MaxCapturePairs);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"1(5)10(13)17(21)26"}));
}

// A damaged stored node never writes outside the board: it leaves the board as it was.
TEST(MovegenBounds, DamagedRecordsLeaveTheBoard) {
    const TBoard board = BoardFromSquares("W1 b5 b13 b21");
    TMoveList list;
    FindMoves(board, 0, list, gtRussian);
    ASSERT_FALSE(list.empty());
    const TMove good = list.front();
    auto damage = [&](auto change) {
        TMove m = good;
        change(m);
        return m;
    };
    const TMove damaged[] = {
        damage([](TMove& m) { m.captures = 200; }),
        damage([](TMove& m) { m.captures = MaxCapturePairs + 1; }),
        damage([](TMove& m) { m.captures = 4; }), // pair 4 is zero
        damage([](TMove& m) { m.squares[3] = 51; }),
        damage([](TMove& m) { m.squares[3] = 33; }), // off the small board
        damage([](TMove& m) { m.from = 0; }),
        damage([](TMove& m) { m.captures = 0, m.squares[0] = 255; }),
    };
    for (const TMove& m : damaged) {
        SCOPED_TRACE(Text(m));
        TBoard after = board;
        MakeMove(m, after, gtRussian);
        EXPECT_EQ(after, board);
    }
    TBoard after = board;
    MakeMove(good, after, gtRussian);
    EXPECT_NE(after, board);
    TMove wild = good;
    wild.squares[0] = 200;
    EXPECT_EQ(KingCaptureWeight(wild, board), 1) << "the mover only";
    // A from square off the board is not read either; on the heap, a read past the board shows.
    const auto heapBoard = std::make_unique<TBoard>(board);
    TMove offBoard = good;
    offBoard.from = MaxSquares + 1;
    EXPECT_EQ(KingCaptureWeight(offBoard, *heapBoard), 0);
}
