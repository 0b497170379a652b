// The boards as bit sets against the neighbour tables they are built from.
#include "rules/square_sets.h"

#include <gtest/gtest.h>

TEST(SquareSets, StepsRaysAndRowsOfBothBoards) {
    for (const int geometry : {1, 2}) {
        const TNeighbourTables& nt = NeighbourTablesOf(geometry);
        const TSquareSetTables& t = SquareSetTablesOf(geometry);
        ASSERT_EQ(t.squares, nt.squares);
        EXPECT_EQ(std::popcount(t.all), nt.squares);
        EXPECT_EQ(std::popcount(t.farRow[0]), nt.size / 2);
        EXPECT_TRUE(t.farRow[0] & SquareBit(nt.squares));
        EXPECT_TRUE(t.farRow[1] & SquareBit(1));
        for (int s = 1; s <= nt.squares; ++s) {
            for (int d = 1; d <= 4; ++d) {
                SCOPED_TRACE(testing::Message()
                             << "geometry " << geometry << " square " << s << " dir " << d);
                const TRay& r = nt.ray[s][d];
                TSquareSet ray = 0;
                for (int i = 0; i < r.length; ++i)
                    ray |= SquareBit(r.squares[i]);
                ASSERT_EQ(t.ray[s][d], ray);
                const int next = r.length ? r.squares[0] : 0;
                ASSERT_EQ(t.next[s][d], next);
                // The whole-board step moves this square alone onto its neighbour, or off the board.
                ASSERT_EQ(StepAll(SquareBit(s), t.step[d]), next ? SquareBit(next) : 0);
                if (r.length) {
                    ASSERT_EQ(NearestSquare(ray, d), next);
                }
            }
            for (int side = 0; side < 2; ++side) {
                TSquareSet forward = 0;
                for (std::uint8_t f : nt.step[s][side])
                    if (f) forward |= SquareBit(f);
                ASSERT_EQ(t.forward[s][side], forward);
            }
        }
        // Steps of a whole set are the steps of its squares together.
        const TSquareSet some = t.all & 0x5A5A'A5A5'3C3C'C3C3ull;
        for (int d = 1; d <= 4; ++d) {
            TSquareSet each = 0;
            for (TSquareSet rest = some; rest; rest &= rest - 1)
                each |= StepAll(rest & -rest, t.step[d]);
            EXPECT_EQ(StepAll(some, t.step[d]), each) << d;
        }
    }
}
