#include "rules/board.h"
#include "rules/variant_traits.h"

#include <gtest/gtest.h>

// The table agrees with the boards it describes: its square count, board size and pieces per side
// are those of the variant's start position.
TEST(VariantTraits, AgreeWithTheStartPositions) {
    for (int v = gtRussian; v <= gtCzech; ++v) {
        SCOPED_TRACE(v);
        const TVariantTraits& t = VariantTraits(v);
        EXPECT_EQ(t.variant, v);
        EXPECT_EQ(t.squares, t.boardSize * t.boardSize / 2);
        EXPECT_EQ(t.geometry, t.boardSize == 8 ? 1 : 2);
        TPieceCount count;
        CountPieces(StartPositionOf(static_cast<TGameType>(v)), count);
        EXPECT_EQ(count.pieces0, t.piecesPerSide);
        EXPECT_EQ(count.pieces1, t.piecesPerSide);
        // The start position fills the first rows of each side, perRow squares a row.
        EXPECT_EQ(StartPositionOf(static_cast<TGameType>(v))[t.squares], sqMan1);
        EXPECT_EQ(StartPositionOf(static_cast<TGameType>(v))[t.squares + 1 - SquaresPerRow(v)], sqMan1);
    }
    // A damaged variant byte still answers with a board of 32 squares.
    for (int bad : {0, 8, 255, -1}) {
        EXPECT_EQ(VariantTraits(bad).squares, 32);
        EXPECT_EQ(SquaresOf(static_cast<TGameType>(bad)), 32);
    }
}

// Published facts: the PDN standard's game-type numbers, and who moves first (Black in English
// checkers and Pool, White elsewhere).
TEST(VariantTraits, PublishedNumbersAndColours) {
    struct TCase {
        TGameType variant;
        int pdn;
        bool side0White;
    };
    const TCase cases[] = {{gtRussian, 25, true}, {gtEnglish, 21, false}, {gtBrazilian, 26, true},
                           {gtPool, 23, false},   {gtItalian, 22, true},  {gtInternational, 20, true},
                           {gtCzech, 29, true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(VariantTraits(c.variant).name);
        EXPECT_EQ(VariantTraits(c.variant).pdnGameType, c.pdn);
        EXPECT_EQ(SideIsWhite(0, c.variant), c.side0White);
        EXPECT_EQ(SideIsWhite(1, c.variant), !c.side0White);
        EXPECT_NE(ColourOfSide(0, c.variant), ColourOfSide(1, c.variant));
    }
}
