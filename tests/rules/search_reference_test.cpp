// The built-in engine against the frozen copy of the one it replaced: positions from random play of
// every variant, searched by both root drivers to the same depth with tables of the same size, with
// and without the stand-in database, must give the same nodes, evaluations, root order and scores.
#include "movegen_test_util.h"
#include "reference_search.h"
#include "search_test_util.h"

#include "rules/evaluation.h"
#include "rules/search_root.h"

#include <gtest/gtest.h>

#include <random>

namespace {

#ifdef VQ_SANITIZED
constexpr int PositionsPerVariant = 60;
#else
constexpr int PositionsPerVariant = 300;
#endif

class SearchReference : public testing::TestWithParam<TGameType> {};

TEST_P(SearchReference, SameNodesOrderAndScores) {
    const TGameType v = GetParam();
    std::mt19937 rng(31u * v);
    reference::TList list;
    for (int i = 0; i < PositionsPerVariant; ++i) {
        TBoard b = StartPositionOf(v);
        int side = 0;
        for (int p = static_cast<int>(rng() % 70); p > 0; --p) {
            reference::FindMoves(b, side, list, v);
            if (list.empty()) break;
            reference::MakeMove(list[rng() % list.size()], b, v);
            side = 1 - side;
        }
        const bool edb = i % 2 == 1;
        const int depth = 5 + static_cast<int>(rng() % (v == gtInternational ? 2 : 4));
        const std::size_t entries = i % 3 == 0 ? 4096 : 1u << 16; // a small table fills to half
        SCOPED_TRACE(testing::Message() << "position " << i << " side " << side << " depth " << depth
                                        << (edb ? " with database" : ""));

        const TEdbProbe probe = edb ? search_test::FakeEdb : TEdbProbe{};
        const reference::TRootOutcome want = reference::RunRootSearch(b, side, v, depth, entries, probe);
        THashTable table;
        TEngineRandom keys(1);
        table.Allocate(entries);
        table.InitKeys(keys);
        TRootSearchLimits limits;
        limits.maxDepth = depth;
        TEngineRandom choice(5);
        const TRootSearchResult got = RunRootSearch(b, side, v, limits, {&table, probe, &choice});

        ASSERT_EQ(got.moves.size(), want.moves.size());
        if (want.moves.empty()) continue;
        EXPECT_EQ(got.completedDepth, want.completedDepth);
        EXPECT_EQ(table.ProbeCount(), want.nodes);
        EXPECT_EQ(got.evaluations, want.evaluations);
        for (std::size_t m = 0; m < want.moves.size(); ++m) {
            EXPECT_TRUE(got.moves[m].SameMove(want.moves[m])) << m;
            EXPECT_EQ(got.scores[m].score, want.scores[m]) << m;
        }
    }
}

std::string VariantName(const testing::TestParamInfo<TGameType>& info) {
    static const char* const names[] = {"",     "Russian", "English",       "Brazilian",
                                        "Pool", "Italian", "International", "Czech"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(AllVariants, SearchReference,
                         testing::Values(gtRussian, gtEnglish, gtBrazilian, gtPool, gtItalian,
                                         gtInternational, gtCzech),
                         VariantName);

} // namespace
