// Move entry without a window: the click map and the click ring that narrows the legal moves.
#include "app/core/move_entry.h"
#include "tree_test_util.h"

#include <gtest/gtest.h>

using namespace tree_test;

namespace {

// A white man on c3 takes d4 and then either f6 (ending on g7) or d6 (ending on c7).
TBoard ForkedCapture() {
    TBoard b = EmptyBoard;
    b[Sq(2, 2)] = sqMan0;
    b[Sq(3, 3)] = sqMan1;
    b[Sq(5, 5)] = sqMan1;
    b[Sq(3, 5)] = sqMan1;
    b[Sq(7, 7)] = sqMan1; // keeps the position from being a won game; not reachable
    return b;
}

// A white king on a1 takes c3 and f6, landing first on d4 or e5: two records for each end square.
TBoard KingTakesTwoOnOneDiagonal() {
    TBoard b = EmptyBoard;
    b[Sq(0, 0)] = sqKing0;
    b[Sq(2, 2)] = sqMan1;
    b[Sq(5, 5)] = sqMan1;
    return b;
}

} // namespace
TEST(BoardClick, TheCentreOfEverySquareMapsBackToItInEveryVariantAndOrientation) {
    for (TGameType v = gtRussian; v <= gtCzech; ++v)
        for (bool reversed : {false, true})
            for (int size : {880, 440, 617, 200}) {
                SCOPED_TRACE(testing::Message()
                             << "variant " << int(v) << " reversed " << reversed << " size " << size);
                for (int sq = 1; sq <= SquaresOf(v); ++sq) {
                    // The drawing's own arithmetic says where the square is.
                    const TSquareCells c = SquareCells(sq, v, reversed);
                    const double k = size / 880.0;
                    const int x = static_cast<int>((c.darkX + c.size / 2) * k);
                    const int y = static_cast<int>((c.y + c.size / 2) * k);
                    EXPECT_EQ(BoardClickToSquare(x, y, size, v, reversed), sq) << sq;
                    const int lx = static_cast<int>((c.lightX + c.size / 2) * k);
                    EXPECT_EQ(BoardClickToSquare(lx, y, size, v, reversed), 0) << "light cell of " << sq;
                }
                // The margin and outside the picture.
                EXPECT_EQ(BoardClickToSquare(size * 10 / 880, size / 2, size, v, reversed), 0);
                EXPECT_EQ(BoardClickToSquare(size / 2, size - 1, size, v, reversed), 0);
                EXPECT_EQ(BoardClickToSquare(-5, -5, size, v, reversed), 0);
            }
    EXPECT_EQ(BoardClickToSquare(100, 100, 0, gtRussian, false), 0);
}

TEST(MoveTouchesSquare, FromToAndEveryCapturedAndLandingSquare) {
    const TBoard b = ForkedCapture();
    const TMoveList l = Legal(b, 0, gtRussian);
    ASSERT_EQ(l.size(), 2u);
    for (const TMove& m : l) {
        EXPECT_TRUE(MoveTouchesSquare(Sq(2, 2), m));
        EXPECT_TRUE(MoveTouchesSquare(Sq(3, 3), m)); // captured
        EXPECT_TRUE(MoveTouchesSquare(Sq(4, 4), m)); // first landing
        EXPECT_FALSE(MoveTouchesSquare(0, m));
        EXPECT_FALSE(MoveTouchesSquare(Sq(7, 7), m));
    }
    TMove plain;
    plain.from = 9;
    plain.squares[0] = 13;
    plain.squares[2] = 20; // stale bytes beyond a plain move do not count
    EXPECT_TRUE(MoveTouchesSquare(13, plain));
    EXPECT_FALSE(MoveTouchesSquare(20, plain));
}

TEST(ClickRing, ScriptsOfClicks) {
    const TBoard fork = ForkedCapture();
    const TMoveList forkMoves = Legal(fork, 0, gtRussian);
    const TBoard start = StartPosition64;
    const TMoveList startMoves = Legal(start, 0, gtRussian);
    struct Script {
        const char* name;
        const TBoard* board;
        const TMoveList* legal;
        std::vector<int> clicks;
        std::string entered; // full text of the move entered by the last click, "" for none
    } scripts[] = {
        {"a shared capture path is narrowed by a later landing square",
         &fork,
         &forkMoves,
         {Sq(2, 2), Sq(4, 4), Sq(6, 6)},
         "c3:g7"},
        {"the captured piece's square narrows", &fork, &forkMoves, {Sq(2, 2), Sq(3, 5)}, "c3:c7"},
        {"shared squares alone leave the choice open", &fork, &forkMoves, {Sq(2, 2), Sq(3, 3), Sq(4, 4)}, ""},
        {"a click no candidate shares leaves nothing", &start, &startMoves, {Sq(2, 2), Sq(4, 2)}, ""},
        {"then a click that is unique by itself enters its move",
         &start,
         &startMoves,
         {Sq(2, 2), Sq(4, 2), Sq(7, 3)},
         "g3-h4"},
        {"from and to", &start, &startMoves, {Sq(2, 2), Sq(1, 3)}, "c3-b4"},
        {"from and to in the other order", &start, &startMoves, {Sq(1, 3), Sq(2, 2)}, "c3-b4"},
    };
    for (const Script& s : scripts) {
        SCOPED_TRACE(s.name);
        TClickRing ring;
        TClickRing::TResult r;
        for (int sq : s.clicks) {
            r = ring.Click(sq, *s.legal, *s.board, 0, 0);
            EXPECT_TRUE(r.stored);
        }
        EXPECT_EQ(r.candidates == 1, !s.entered.empty());
        if (s.entered.empty()) {
            EXPECT_NE(ring.Squares()[(ring.Pos() + TClickRing::Slots - 1) % TClickRing::Slots], 0)
                << "an open choice keeps its clicks";
        } else {
            EXPECT_EQ(MoveToText(r.move, gtRussian, true, ":"), s.entered);
            for (std::uint8_t q : ring.Squares())
                EXPECT_EQ(q, 0) << "an entered move clears the ring";
        }
    }
}

TEST(ClickRing, UntouchedSquaresAreNotStoredAndANewPositionStartsAfresh) {
    const TMoveList legal = Legal(StartPosition64, 0, gtRussian);
    TClickRing ring;
    EXPECT_FALSE(
        ring.Click(Sq(4, 4), legal, StartPosition64, 0, 0).stored); // an empty square no move reaches
    EXPECT_FALSE(ring.Click(Sq(1, 5), legal, StartPosition64, 0, 0).stored); // a piece of the other side
    EXPECT_EQ(ring.Pos(), 0);
    EXPECT_NE(ring.Click(Sq(2, 2), legal, StartPosition64, 0, 0).candidates, 1);

    // After a move was made elsewhere (an engine move, navigation) the old c3 click must not narrow:
    // b4 alone is then touched by a3-b4 and c3-b4 again.
    TBoard after = StartPosition64;
    MakeMove(MoveByText(after, 0, "g3-h4"), after, gtRussian);
    MakeMove(MoveByText(after, 1, "b6-a5"), after, gtRussian);
    const TMoveList later = Legal(after, 0, gtRussian);
    EXPECT_NE(ring.Click(Sq(1, 3), later, after, 0, 2).candidates, 1);
    int stored = 0;
    for (std::uint8_t q : ring.Squares())
        stored += q != 0;
    EXPECT_EQ(stored, 1);
    // The same position at another node, or with the other side to move, is another position too.
    EXPECT_EQ(ring.Click(Sq(0, 2), later, after, 0, 3).candidates, 1);
}

TEST(ClickRing, AWrappedRingStillNarrowsByRecentClicksOnly) {
    const TMoveList legal = Legal(StartPosition64, 0, gtRussian);
    TClickRing ring;
    // 60 clicks that keep the choice open (c3 has two moves) wrap the ring of 41 slots.
    for (int i = 0; i < 60; ++i)
        EXPECT_NE(ring.Click(Sq(2, 2), legal, StartPosition64, 0, 0).candidates, 1);
    EXPECT_EQ(ring.Pos(), 60 % TClickRing::Slots);
    const TClickRing::TResult r = ring.Click(Sq(3, 3), legal, StartPosition64, 0, 0);
    EXPECT_EQ(r.candidates, 1);
    EXPECT_EQ(MoveToText(r.move, gtRussian, true, ":"), "c3-d4");
}

TEST(ClickRing, TheBoardLookupOffersEachPositionOnce) {
    const TBoard b = KingTakesTwoOnOneDiagonal();
    TMoveList raw;
    FindMoves(b, 0, raw, gtRussian);
    ASSERT_EQ(raw.size(), 4u);
    struct {
        int end;
        const char* entered;
    } cases[] = {{Sq(6, 6), "a1:g7"}, {Sq(7, 7), "a1:h8"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entered);
        // With the raw list two records differ only in the first landing square: no move enters.
        TClickRing rawRing;
        EXPECT_NE(rawRing.Click(c.end, raw, b, 0, 0).candidates, 1);
        TClickRing ring;
        const TClickRing::TResult r = ring.ClickOnBoard(c.end, b, 0, 0, gtRussian);
        ASSERT_EQ(r.candidates, 1);
        EXPECT_EQ(MoveToText(r.move, gtRussian, true, ":"), c.entered);
        TBoard after = b;
        MakeMove(r.move, after, gtRussian);
        EXPECT_EQ(after[Sq(2, 2)], sqEmpty);
        EXPECT_EQ(after[Sq(5, 5)], sqEmpty);
    }
    // The lookup uses the variant it is given: an English king does not fly, so it has no capture.
    TClickRing english;
    EXPECT_FALSE(english.ClickOnBoard(Sq(6, 6), b, 0, 0, gtEnglish).stored);
    const TClickRing::TResult step = english.ClickOnBoard(Sq(1, 1), b, 0, 0, gtEnglish);
    ASSERT_EQ(step.candidates, 1);
    EXPECT_EQ(step.move.captures, 0);
    EXPECT_EQ(step.move.squares[0], Sq(1, 1));
}
