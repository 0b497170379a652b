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
