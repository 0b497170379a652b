#include "gamedb/fen.h"
#include "rules/notation.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {
std::string List(int first, int last) {
    std::string s;
    for (int n = first; n <= last; ++n)
        s += (s.empty() ? "" : ",") + std::to_string(n);
    return s;
}
} // namespace

TEST(ParseFen, StandardStartPositionsOfEveryVariant) {
    struct Row {
        TGameType variant;
        std::string fen;
        int side;
    } rows[] = {
        {gtRussian, "W:W" + List(21, 32) + ":B" + List(1, 12), 0},
        {gtRussian, "B:W" + List(21, 32) + ":B" + List(1, 12) + ".", 1},
        {gtBrazilian, "W:W" + List(21, 32) + ":B" + List(1, 12), 0},
        {gtCzech, "W:W" + List(21, 32) + ":B" + List(1, 12), 0},
        {gtItalian, "W:W" + List(21, 32) + ":B" + List(1, 12), 0},
        // Black moves first in English and Pool and owns the low squares; "W:" gives side 1.
        {gtEnglish, "B:W" + List(21, 32) + ":B" + List(1, 12), 0},
        {gtPool, "W:W" + List(21, 32) + ":B" + List(1, 12), 1},
        {gtInternational, "W:W" + List(31, 50) + ":B" + List(1, 20), 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.fen);
        TBoard b = EmptyBoard;
        int side = 0;
        ASSERT_TRUE(ParseFen(r.fen, b, side, r.variant));
        EXPECT_EQ(b, StartPositionOf(r.variant));
        EXPECT_EQ(side, r.side);
    }
}

TEST(ParseFen, NumbersAreTheDisplayedNumbersWhereTheVariantNumbersItsSquares) {
    // The FEN numbering of English, Pool, Italian and International is the one the program shows.
    for (TGameType v : {gtEnglish, gtPool, gtItalian, gtInternational})
        for (int n = 1; n <= SquaresOf(v); ++n) {
            const int sq = FenSquareToInternal(n, v);
            ASSERT_GE(sq, 1);
            EXPECT_EQ(DisplayedSquareNumber(sq, v), n) << int(v) << " " << n;
        }
    // The algebraic variants number every square once too.
    std::set<int> seen;
    for (int n = 1; n <= 32; ++n)
        seen.insert(FenSquareToInternal(n, gtRussian));
    EXPECT_EQ(seen.size(), 32u);
    EXPECT_EQ(*seen.begin(), 1);
    EXPECT_EQ(*seen.rbegin(), 32);
    EXPECT_EQ(FenSquareToInternal(0, gtRussian), 0);
    EXPECT_EQ(FenSquareToInternal(33, gtRussian), 0);
    EXPECT_EQ(FenSquareToInternal(51, gtInternational), 0);
}

TEST(ParseFen, KingsSidesAndListsInAnyOrder) {
    TBoard b;
    int side = 0;
    // Italian: square n is internal 33 - n.
    ASSERT_TRUE(ParseFen("B:BK1,2:WK32,31.", b, side, gtItalian));
    EXPECT_EQ(side, 1);
    TBoard want = EmptyBoard;
    want[32] = sqKing1;
    want[31] = sqMan1;
    want[1] = sqKing0;
    want[2] = sqMan0;
    EXPECT_EQ(b, want);
    // English: White is side 1. An empty list and a trailing comma are allowed.
    side = 0;
    ASSERT_TRUE(ParseFen("B:W:BK4,", b, side, gtEnglish));
    want = EmptyBoard;
    want[1] = sqKing0; // 4 is the mirror of internal 1 within its row
    EXPECT_EQ(b, want);
    EXPECT_EQ(side, 0);
    // A leading side that is not the second mover's leaves the side as the caller set it.
    side = 1;
    ASSERT_TRUE(ParseFen("W:W21:B1", b, side, gtRussian));
    EXPECT_EQ(side, 1);
}

TEST(ParseFen, AnInvalidSquareRejectsTheWholeTextAndChangesNothing) {
    const struct {
        TGameType variant;
        const char* fen;
    } rows[] = {
        {gtRussian, "W:W21,33:B1"},       {gtRussian, "W:W0:B1"},     {gtRussian, "B:W21:B1,-5"},
        {gtRussian, "W:W21:Bx"},          {gtRussian, "W:W21:B12-1"}, {gtInternational, "W:W51:B1"},
        {gtRussian, "W:W21-33:B1"},       {gtRussian, "W:Wb1:B1"},    {gtEnglish, "W:Wc3:B1"},
        {gtRussian, "W:W21:B1-"},         {gtItalian, "W:Wa1:B32"},   {gtEnglish, "W:WK:B1"},
        {gtItalian, "W:W99999999999:B1"}, {gtPool, "W:W 1 2:B3"},     {gtInternational, "B:W50:BK0"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.fen);
        TBoard b = StartPositionOf(r.variant);
        int side = 0;
        std::string error;
        EXPECT_FALSE(ParseFen(r.fen, b, side, r.variant, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(b, StartPositionOf(r.variant));
        EXPECT_EQ(side, 0);
    }
    // 33 to 50 are squares only on the 10x10 board.
    TBoard b;
    int side = 0;
    EXPECT_TRUE(ParseFen("W:W33,50:B1", b, side, gtInternational));
}

// Ranges of squares and, in the algebraic variants, squares by name; "W:" in English is side 1.
TEST(ParseFen, RangesAlgebraicSquaresAndTheWhiteStartOfEnglish) {
    const struct {
        TGameType variant;
        const char* fen;
        TBoard want;
        int side;
    } rows[] = {
        {gtInternational, "W:W31-50:B1-20", StartPosition100, 0},
        {gtInternational, "B:W31-40,41-50:BK1-3,4-20.",
         [] {
             TBoard b = StartPosition100;
             for (int n = 1; n <= 3; ++n)
                 b[FenSquareToInternal(n, gtInternational)] = sqKing1;
             return b;
         }(),
         1},
        {gtRussian, "W:Wa1,c1,e1,g1:Bh8,Kb8",
         [] {
             TBoard b = EmptyBoard;
             for (int s = 1; s <= 4; ++s)
                 b[s] = sqMan0;
             b[32] = sqMan1;
             b[29] = sqKing1;
             return b;
         }(),
         0},
        {gtCzech, "B:W21-32:B1-12", StartPosition64, 1},
        {gtEnglish, "W:W21-32:B1-12", StartPosition64, 1},
        {gtEnglish, "B:W21-32:B1-12", StartPosition64, 0},
        // Parts of other letters (a web site's move counters) are skipped.
        {gtInternational, "W:W31-50:B1-20:H0:F1", StartPosition100, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.fen);
        TBoard b;
        int side = 0;
        std::string error;
        ASSERT_TRUE(ParseFen(r.fen, b, side, r.variant, &error)) << error;
        EXPECT_EQ(b, r.want);
        EXPECT_EQ(side, r.side);
    }
}

// The writer and the reader are inverses for every square, piece and side of every variant.
TEST(FenValue, WritesWhatParseFenReadsBack) {
    EXPECT_EQ(FenValue(
                  [] {
                      TBoard b = EmptyBoard;
                      b[1] = sqMan0;
                      b[32] = sqKing1;
                      return b;
                  }(),
                  0, gtRussian),
              "W:W29:BK4.");
    EXPECT_EQ(FenValue(EmptyBoard, 1, gtEnglish), "W:B:W.");
    for (int v = 1; v <= 7; ++v)
        for (int side = 0; side < 2; ++side) {
            const TGameType variant = static_cast<TGameType>(v);
            TBoard b = EmptyBoard;
            for (int s = 1; s <= SquaresOf(variant); ++s)
                b[s] = static_cast<std::int8_t>((s * 7 + v + side) % 5 - 2);
            TBoard back;
            int readSide = 0;
            ASSERT_TRUE(ParseFen(FenValue(b, side, variant), back, readSide, variant)) << v;
            EXPECT_EQ(back, b) << v;
            EXPECT_EQ(readSide, side) << v;
            for (int s = 1; s <= SquaresOf(variant); ++s)
                EXPECT_EQ(FenSquareToInternal(std::stoi(FenSquareNumber(s, variant)), variant), s);
        }
}

TEST(ParsePdnTag, SplitsKeyAndValue) {
    const struct {
        const char* line;
        bool ok;
        const char* key;
        const char* value;
    } rows[] = {
        {"[FEN \"W:W21,22:B1,2\"]", true, "FEN", "W:W21,22:B1,2"},
        {"  [Event \"Cup \"B\" final\"]  ", true, "Event", "Cup \"B\" final"},
        {"[White= \" Ann \"]", true, "White", "Ann"},
        {"[Round 3.2]", true, "Round", "3.2"},
        {"[Site \"unclosed]", true, "Site", ""},
        {"[Date \"1999\"\"]", true, "Date", "1999\""},
        {"[White \"O\\\"Brien \\\\ C:\\x\"]", true, "White", "O\"Brien \\ C:\\x"},
        {"plain", false, "", ""},
        {"", false, "", ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        std::string key = "x", value = "y";
        EXPECT_EQ(ParsePdnTag(r.line, key, value), r.ok);
        if (!r.ok) continue;
        EXPECT_EQ(key, r.key);
        EXPECT_EQ(value, r.value);
    }
}
