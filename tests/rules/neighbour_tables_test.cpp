// Neighbour tables against the square numbering.
#include "rules/board.h"
#include "rules/neighbour_tables.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::vector<int> RayOf(const TNeighbourTables& t, int s, int d) {
    const TRay& r = t.ray[s][d];
    return {r.squares.begin(), r.squares.begin() + r.length};
}
} // namespace

TEST(NeighbourTables, KnownSquares) {
    const TNeighbourTables& t = NeighbourTables64;
    const TJumpPair expected[5] = {{}, {14, 19}, {6, 3}, {5, 1}, {13, 17}};
    for (int d = 1; d <= 4; ++d) {
        SCOPED_TRACE(d);
        EXPECT_EQ(t.jump[10][d].jumped, expected[d].jumped);
        EXPECT_EQ(t.jump[10][d].landing, expected[d].landing);
    }
    EXPECT_EQ(RayOf(t, 10, 1), (std::vector<int>{14, 19, 23, 28, 32}));
    EXPECT_EQ(RayOf(NeighbourTables100, 23, 2), (std::vector<int>{18, 14, 9, 5}));
    EXPECT_EQ(t.step[1][1][0], 0) << "side 1 has no step off the first row";
    EXPECT_EQ(t.step[9][0][0], 13);
    EXPECT_EQ(t.step[9][0][1], 0) << "square 9 lies on the left edge";
    EXPECT_EQ(t.step[13][1][0], 9);
    EXPECT_EQ(t.step[13][1][1], 10);
}

// Every ray step is one diagonal step on the board, in its direction, until the edge.
TEST(NeighbourTables, RaysFollowTheDiagonalsOfBothBoards) {
    for (int geometry : {1, 2}) {
        const TNeighbourTables& t = NeighbourTablesOf(geometry);
        const int dx[5] = {0, 1, 1, -1, -1}, dy[5] = {0, 1, -1, -1, 1};
        for (int s = 1; s <= t.squares; ++s) {
            for (int d = 1; d <= 4; ++d) {
                SCOPED_TRACE(testing::Message()
                             << "geometry " << geometry << " square " << s << " dir " << d);
                const TSquareXY p = SquareToXY(s, geometry);
                std::vector<int> walk;
                for (int k = 1;; ++k) {
                    const int n = XYToSquare(p.x + k * dx[d], p.y + k * dy[d], geometry);
                    if (n == 0) break;
                    walk.push_back(n);
                }
                ASSERT_EQ(RayOf(t, s, d), walk);
                const TJumpPair jp = t.jump[s][d];
                if (walk.size() >= 2) {
                    EXPECT_EQ(jp.jumped, walk[0]);
                    EXPECT_EQ(jp.landing, walk[1]);
                } else {
                    EXPECT_EQ(jp.jumped, 0);
                }
            }
        }
    }
}
