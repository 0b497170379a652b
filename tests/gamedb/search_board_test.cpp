// The search dialog's pattern board without a window: the square under a pixel for each board kind,
// the value cycles of the three mouse buttons, the cells a square is painted in, and the side
// captions.

#include "gamedb/search_board.h"
#include "rules/board.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

struct TClickCase {
    TSearchBoard kind;
    int x, y;
    int square; // 0: ignored
    const char* what;
};

TEST(SearchBoardClicks, PixelsGiveTheSquareOnEachKind) {
    using K = TSearchBoard;
    const TClickCase cases[] = {
        // 8x8: square 1 lower left, 32 upper right; the cells run from 8 to 167.
        {K::b64, 8, 167, 1, "lower left corner"},
        {K::b64, 27, 148, 1, "lower left cell's far corner"},
        {K::b64, 167, 8, 32, "upper right corner"},
        {K::b64, 8, 8, 0, "upper left: light"},
        {K::b64, 167, 167, 0, "lower right: light"},
        {K::b64, 28, 167, 0, "second cell of the bottom row: light"},
        {K::b64, 28, 147, 5, "first dark cell of the second row"},
        {K::b64, 48, 167, 2, "third cell of the bottom row"},
        {K::b64, 168, 100, 0, "x = 160 past the cells"},
        {K::b64, 100, 168, 0, "y = 160 past the cells"},
        {K::b64, 7, 167, 0, "x = -1 before the cells"},
        {K::b64, 8, 7, 0, "y = -1 before the cells"},
        // "64 it": the columns mirrored, square 1 lower right.
        {K::b64i, 167, 167, 1, "lower right corner"},
        {K::b64i, 8, 8, 32, "upper left corner"},
        {K::b64i, 8, 167, 0, "lower left: light"},
        {K::b64i, 167, 8, 0, "upper right: light"},
        {K::b64i, 110, 167, 2, "second dark cell from the right"},
        {K::b64i, 168, 167, 0, "x = 160 past the cells"},
        // "64 en" clicks as "64".
        {K::b64e, 8, 167, 1, "lower left corner"},
        {K::b64e, 167, 8, 32, "upper right corner"},
        {K::b64e, 8, 8, 0, "upper left: light"},
        // 10x10: 16-pixel cells, square 1 lower left, 50 upper right.
        {K::b100, 8, 167, 1, "lower left corner"},
        {K::b100, 23, 152, 1, "lower left cell's far corner"},
        {K::b100, 167, 8, 50, "upper right corner"},
        {K::b100, 8, 8, 0, "upper left: light"},
        {K::b100, 167, 167, 0, "lower right: light"},
        {K::b100, 24, 151, 6, "first dark cell of the second row"},
        {K::b100, 151, 167, 5, "last dark cell of the bottom row"},
        {K::b100, 168, 8, 0, "x = 160 past the cells"},
        {K::b100, 8, 168, 0, "y = 160 past the cells"},
    };
    for (const TClickCase& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.kind) << " " << c.what << " (" << c.x << ", " << c.y << ")");
        EXPECT_EQ(PatternSquareAt(c.kind, c.x, c.y), c.square);
    }
}

TEST(SearchBoardClicks, EverySquareIsPaintedWhereItIsClickedAndWhereTheBoardHasIt) {
    using K = TSearchBoard;
    for (const K kind : {K::b64, K::b100, K::b64i, K::b64e}) {
        SCOPED_TRACE(int(kind));
        std::set<std::pair<int, int>> cells;
        for (int s = 1; s <= PatternSquares(kind); ++s) {
            SCOPED_TRACE(s);
            const TPatternCells c = PatternSquareCells(kind, s);
            EXPECT_EQ(c.cell, kind == K::b100 ? 16 : 20);
            EXPECT_EQ(c.inset, kind == K::b100 ? 1 : 3);
            // Both cells lie inside the frame, side by side in one row.
            for (const int x : {c.darkX, c.lightX}) {
                EXPECT_GE(x, 8);
                EXPECT_LE(x + c.cell, 168);
                EXPECT_TRUE(cells.insert({x, c.y}).second) << "cell painted twice";
            }
            EXPECT_EQ(std::abs(c.darkX - c.lightX), c.cell);
            const int mid = c.cell / 2;
            EXPECT_EQ(PatternSquareAt(kind, c.darkX + mid, c.y + mid), s);
            EXPECT_EQ(PatternSquareAt(kind, c.lightX + mid, c.y + mid), 0);
            // Where the main board has the square, so a copied position looks the same (rows from
            // the bottom; "64 it" mirrored).
            const int rows = kind == K::b100 ? 10 : 8;
            const TSquareXY xy = SquareToXY(s, kind == K::b100 ? 2 : 1);
            const int column = kind == K::b64i ? rows - 1 - xy.x : xy.x;
            EXPECT_EQ(c.darkX, 8 + column * c.cell);
            EXPECT_EQ(c.y, 8 + (rows - 1 - xy.y) * c.cell);
        }
        // The squares' pairs of cells tile the whole board.
        EXPECT_EQ(cells.size(), std::size_t(2 * PatternSquares(kind)));
    }
}

TEST(SearchBoardValues, EachButtonStepsThroughItsCycle) {
    const auto walk = [](std::int8_t start, TPatternButton b, int steps) {
        std::vector<int> out;
        std::int8_t v = start;
        for (int i = 0; i < steps; ++i)
            out.push_back(v = NextPatternValue(v, b));
        return out;
    };
    EXPECT_EQ(walk(0, TPatternButton::Left, 7), (std::vector<int>{1, 2, 3, 1, 2, 3, 1}));
    EXPECT_EQ(walk(0, TPatternButton::Right, 7), (std::vector<int>{-1, -2, 3, -1, -2, 3, -1}));
    EXPECT_EQ(walk(3, TPatternButton::Middle, 4), (std::vector<int>{0, 3, 0, 3}));
    // From the other side's pieces: left climbs through empty, right through the own pieces.
    EXPECT_EQ(walk(-2, TPatternButton::Left, 5), (std::vector<int>{-1, 0, 1, 2, 3}));
    EXPECT_EQ(walk(2, TPatternButton::Right, 5), (std::vector<int>{1, 0, -1, -2, 3}));
    // The middle button makes any piece "any", and "any" empty.
    for (const std::int8_t v : {-2, -1, 1, 2, 0})
        EXPECT_EQ(NextPatternValue(v, TPatternButton::Middle), sqAny) << int(v);
}

TEST(SearchBoardValues, EnglishShowsTheColoursSwappedAndNamesTheSidesTheOtherWay) {
    using K = TSearchBoard;
    for (const std::int8_t v : {-2, -1, 0, 1, 2, 3}) {
        EXPECT_EQ(ShownPatternValue(K::b64, v), v);
        EXPECT_EQ(ShownPatternValue(K::b100, v), v);
        EXPECT_EQ(ShownPatternValue(K::b64i, v), v);
        EXPECT_EQ(ShownPatternValue(K::b64e, v), v == sqAny ? sqAny : -v);
    }
    for (const K kind : {K::b64, K::b100, K::b64i}) {
        EXPECT_EQ(SideCaptionPhrases(kind).whiteMove, 128);
        EXPECT_EQ(SideCaptionPhrases(kind).blackMove, 129);
    }
    EXPECT_EQ(SideCaptionPhrases(K::b64e).whiteMove, 129);
    EXPECT_EQ(SideCaptionPhrases(K::b64e).blackMove, 128);
}

} // namespace
