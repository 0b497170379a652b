// Published move-path counts from the standard start positions.
#include "rules/perft.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct TPerftRow {
    const char* name;
    TGameType variant;
    bool unique;
    std::vector<std::uint64_t> counts; // depths 1..n
};

const TPerftRow PerftRows[] = {
    {"English", gtEnglish, false, {7, 49, 302, 1469, 7361, 36768, 179740}},
    {"Russian", gtRussian, false, {7, 49, 302, 1469, 7482, 37986, 190146}},
    {"Brazilian", gtBrazilian, false, {7, 49, 302, 1469, 7473, 37628, 187302}},
    {"InternationalUnique", gtInternational, true, {9, 81, 658, 4265, 27117, 167140, 1049442}},
    // No man reaches the far row within seven plies, so Pool plays as Russian and Czech (men take
    // forwards only, kings aside) as English.
    {"PoolAsRussian", gtPool, false, {7, 49, 302, 1469, 7482, 37986, 190146}},
    {"CzechAsEnglish", gtCzech, false, {7, 49, 302, 1469, 7361, 36768, 179740}},
};
} // namespace

TEST(MovegenPerft, StartPositionsMatchPublishedCounts) {
    for (const TPerftRow& row : PerftRows) {
        for (std::size_t d = 1; d <= row.counts.size(); ++d) {
            SCOPED_TRACE(testing::Message() << row.name << " depth " << d);
            const TPerftOptions o{row.variant, row.unique};
            EXPECT_EQ(Perft(StartPositionOf(row.variant), 0, static_cast<int>(d), o), row.counts[d - 1]);
        }
    }
}

// The root moves' counts add up to the whole, in the order of the root list.
TEST(MovegenPerft, DivideSumsToTheTotal) {
    const TPerftOptions o{gtRussian, false};
    const auto rows = PerftDivide(StartPosition64, 0, 5, o);
    ASSERT_EQ(rows.size(), 7u);
    std::uint64_t sum = 0;
    for (const auto& r : rows)
        sum += r.count;
    EXPECT_EQ(sum, 7482u);
    EXPECT_EQ(rows.front().move.from, 9);
    EXPECT_EQ(Perft(StartPosition64, 0, 0, o), 1u);
    EXPECT_TRUE(PerftDivide(StartPosition64, 0, 0, o).empty());
}
