#include "rules/edb_index.h"
#include "tests/support/positions.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using test_support::BoardOf;

} // namespace

// Walks every k-subset of 1..32 in lexicographic order of its increasing members and checks
// that the rank is its place in that walk.
TEST(EdbIndex, CombinationRankMatchesLexicographicEnumeration) {
    for (int k = 1; k <= EdbMaxPieces; ++k) {
        SCOPED_TRACE(testing::Message() << k << " squares");
        std::vector<int> up(k);
        for (int i = 0; i < k; ++i)
            up[i] = i + 1;
        std::uint32_t expected = 1;
        std::vector<int> down(k);
        for (;;) {
            for (int i = 0; i < k; ++i)
                down[i] = up[k - 1 - i];
            ASSERT_EQ(CombinationRank(k, down.data()), expected) << "set starting " << up[0];
            ++expected;
            int i = k - 1;
            while (i >= 0 && up[i] == EdbSquares - (k - 1 - i))
                --i;
            if (i < 0) break;
            ++up[i];
            for (int j = i + 1; j < k; ++j)
                up[j] = up[j - 1] + 1;
        }
        EXPECT_EQ(expected - 1, Binomial(EdbSquares, k));
    }
}

TEST(EdbIndex, KnownPositionsAndValueNumbers) {
    struct Case {
        const char* name;
        TBoard board;
        std::uint32_t I, K, n;
        std::int64_t number; // -1: no value number
    };
    const Case cases[] = {
        {"men on 1 and 2", BoardOf({{1, 1}, {2, -1}}), 1, 1 * 4 + 2 + 1, 2, (7 - 1) * 496 + 0},
        {"pieces on 31 and 32", BoardOf({{31, -2}, {32, -2}}), 496, 1, 2, 495},
        {"side-1 king on 32, side-0 man on 1", BoardOf({{32, -2}, {1, 1}}), 31, 3, 2, 2 * 496 + 30},
        {"first three-piece number", BoardOf({{1, -2}, {2, -2}, {3, -2}}), 1, 1, 3, 7936},
        {"first four-piece number", BoardOf({{1, -2}, {2, -2}, {3, -2}, {4, -2}}), 1, 1, 4, 325376},
        {"first five-piece number", BoardOf({{1, -2}, {2, -2}, {3, -2}, {4, -2}, {5, -2}}), 1, 1, 5, 9531136},
        {"last value number", BoardOf({{28, 2}, {29, 2}, {30, 2}, {31, 2}, {32, 2}}), 201376, 1024, 5,
         EdbLastValueNumber},
        {"one piece is not stored", BoardOf({{7, 1}}), 7, 3, 1, -1},
        {"empty board", BoardOf({}), 0, 0, 0, -1},
        {"six pieces", BoardOf({{1, 1}, {2, 1}, {3, 1}, {30, -1}, {31, -1}, {32, -1}}), 0, 0, 6, -1},
        {"squares past 32 are not indexed", BoardOf({{1, 1}, {2, -1}, {40, 1}}), 1, 7, 2, 6 * 496},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TEdbPositionIndex index = EdbPositionIndex(c.board);
        EXPECT_EQ(index.n, c.n);
        if (c.n >= 1 && c.n <= 5) {
            EXPECT_EQ(index.I, c.I);
            EXPECT_EQ(index.K, c.K);
        }
        const auto number = EdbValueNumber(index);
        if (c.number < 0)
            EXPECT_FALSE(number.has_value());
        else
            EXPECT_EQ(number, std::optional<std::uint32_t>(static_cast<std::uint32_t>(c.number)));
    }
}

TEST(EdbIndex, LastValueNumberLiesInTheLastBlock) {
    EXPECT_EQ(EdbLastValueNumber / EdbBlockValues, EdbBlockCount - 1);
    EXPECT_EQ(EdbIndexBytes, 1264104u);
}

// Every 2- and 3-piece position has its own value number, and they fill their range exactly.
TEST(EdbIndex, SmallPositionsNumberTheirRangeWithoutGaps) {
    const int values[4] = {-2, -1, 1, 2};
    std::vector<bool> seen(325376, false);
    for (int a = 1; a <= 32; ++a)
        for (int b = a + 1; b <= 32; ++b)
            for (int va : values)
                for (int vb : values) {
                    TBoard board;
                    board[a] = static_cast<std::int8_t>(va);
                    board[b] = static_cast<std::int8_t>(vb);
                    const auto n = EdbValueNumber(EdbPositionIndex(board));
                    ASSERT_TRUE(n && *n < 7936);
                    ASSERT_FALSE(seen[*n]);
                    seen[*n] = true;
                    for (int c = b + 1; c <= 32; ++c)
                        for (int vc : values) {
                            board[c] = static_cast<std::int8_t>(vc);
                            const auto m = EdbValueNumber(EdbPositionIndex(board));
                            ASSERT_TRUE(m && *m >= 7936 && *m < 325376);
                            ASSERT_FALSE(seen[*m]);
                            seen[*m] = true;
                            board[c] = 0;
                        }
                }
    for (std::size_t k = 0; k < seen.size(); ++k)
        ASSERT_TRUE(seen[k]) << k;
}
