// The built-in engine's signature: fixed positions of all seven variants searched by the root
// driver to a fixed depth with a table of fixed size. Nodes, evaluations, the best move and its
// value of every position, and the total, are held here: a change that makes the engine faster
// must leave every one of them as it is. A change that means to play differently restates them.
//
// VQ_PRINT_SIGNATURE=1 prints the rows as they come out, in the form of the table below.
#include "movegen_test_util.h"
#include "search_test_util.h"

#include "rules/board_text.h"
#include "rules/evaluation.h"
#include "rules/search_root.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct TSignatureRow {
    TGameType variant;
    int side;
    const char* squares;
    int depth;
    bool edb; // with the stand-in endgame database
    // What the search finds.
    std::uint64_t nodes;
    std::uint64_t evaluations;
    const char* best;
    int value;
};

// Start positions, positions from random play after 14 and 34 plies, and endgames with kings.
constexpr TSignatureRow Rows[] = {
    // clang-format off
    {gtRussian, 0, "wwwwwwwwwwww........bbbbbbbbbbbb", 11, false, 221740, 446160, "10-13", 11},
    {gtRussian, 0, "www.wwwww.....bww...bb...bb.bbbb", 11, false, 95498, 209242, "7-11", 176},
    {gtRussian, 1, "w...w...w......ww....W.....b....", 9, true, 4120, 2130, "28-23", -1996},
    {gtRussian, 0, ".........B.........bw.....b.....", 13, false, 341569, 618758, "21-25", -446},
    {gtEnglish, 0, "wwwwwwwwwwww........bbbbbbbbbbbb", 11, false, 117716, 221096, "9-13", 8},
    {gtEnglish, 0, "www.wwwww..wwb...b...b.bbbbb.b.b", 11, false, 68015, 146875, "12-15", 101},
    {gtEnglish, 1, ".w......b.B.w...w...bb.bbb.bb...", 9, true, 6705, 6801, "21-18", 1995},
    {gtEnglish, 0, ".B....b.....b..w...bbWb.........", 13, false, 74777, 96312, "22-19", -374},
    {gtBrazilian, 0, "wwwwwwwwwwww........bbbbbbbbbbbb", 11, false, 190539, 380952, "12-15", 10},
    {gtBrazilian, 0, "wwwww.ww.....wb.......b..bbbbbbb", 11, false, 188471, 428188, "14-18", -130},
    {gtBrazilian, 1, "...w.www...ww...........Wb.b....", 9, true, 15973, 23077, "28-24", -1992},
    {gtBrazilian, 0, ".W.....B................wb..b...", 11, false, 202733, 363262, "2-6", -51},
    {gtPool, 0, "wwwwwwwwwwww........bbbbbbbbbbbb", 11, false, 221689, 446211, "10-13", 11},
    {gtPool, 0, "wwwwb.ww...w..w........bwbbbbbbb", 11, false, 51068, 115744, "1(5)10", 172},
    {gtPool, 1, "..w...w.w......b..b.....b.Bbb.bb", 9, true, 64835, 121202, "28-23", 1007},
    {gtPool, 0, ".B..........w...w..B..b........b", 11, false, 216027, 373496, "17-21", -1990},
    {gtItalian, 0, "wwwwwwwwwwww........bbbbbbbbbbbb", 11, false, 110943, 207124, "9-13", 8},
    {gtItalian, 0, "wwww.wwww..w....bb.b..b..b.bbb.b", 11, false, 152893, 336653, "12-15", 38},
    {gtItalian, 1, "B.....w.wB....b...b.....b..b..bb", 9, true, 8427, 13164, "10-13", 1997},
    {gtItalian, 0, "B.B............w......W.........", 13, false, 13098, 28197, "16-20", 0},
    {gtInternational, 0, "wwwwwwwwwwwwwwwwwwww..........bbbbbbbbbbbbbbbbbbbb", 9, false, 55842, 133438, "16-22", 11},
    {gtInternational, 0, "wwwwwwwwwwwww..ww..w...w.bb....bbb.b...bbbbbbbbbbb", 9, false, 52804, 168898, "16-22", 177},
    {gtInternational, 1, "ww.www.ww.bww.w..w.b......b.........b..bbbbbbbbbb.", 7, false, 25820, 85172, "40-35", 660},
    {gtInternational, 0, ".....W.......w.....b........b....B......w.......b.", 9, false, 11232, 27563, "6(34)39", 376},
    {gtCzech, 0, "wwwwwwwwwwww........bbbbbbbbbbbb", 11, false, 199848, 379287, "10-13", 11},
    {gtCzech, 0, "wwww.w.w..www.....b.bb.bb.b.bb.b", 11, false, 133808, 314545, "1-5", 30},
    {gtCzech, 1, "w.w...w.w......ww.....bb....W..b", 9, true, 15125, 20078, "24-20", -1982},
    {gtCzech, 0, "B..................b.b.b....W...", 13, false, 407671, 738179, "29(22)12", -294},
    // clang-format on
};
// The signature: the nodes of all rows. A change to a row changes it.
constexpr std::uint64_t TotalNodes = 3268986;
constexpr std::uint64_t SumOfRows() {
    std::uint64_t total = 0;
    for (const TSignatureRow& row : Rows)
        total += row.nodes;
    return total;
}
static_assert(SumOfRows() == TotalNodes, "the total is the sum of the rows");

struct TSignature {
    std::uint64_t nodes = 0, evaluations = 0;
    std::string best;
    int value = 0;
};

TSignature Search(const TSignatureRow& row) {
    TBoard b;
    EXPECT_TRUE(SquaresFromText(row.squares, SquaresOf(row.variant), b));
    THashTable table;
    TEngineRandom rng(1);
    table.Allocate(HashEntriesFor(7));
    table.InitKeys(rng);
    TRootSearchLimits limits;
    limits.maxDepth = row.depth;
    const TEdbProbe edb = row.edb ? search_test::FakeEdb : TEdbProbe{};
    const TRootSearchResult r = RunRootSearch(b, row.side, row.variant, limits, {&table, edb, &rng});
    TSignature s;
    s.nodes = table.ProbeCount();
    s.evaluations = r.evaluations;
    if (!r.moves.empty()) {
        s.best = movegen_test::Text(r.moves[0]);
        s.value = r.scores[0].score;
    }
    EXPECT_EQ(r.completedDepth, row.depth);
    return s;
}

class SearchSignature : public testing::TestWithParam<TGameType> {};

TEST_P(SearchSignature, NodesBestMovesAndValuesStay) {
    const bool print = std::getenv("VQ_PRINT_SIGNATURE") != nullptr;
    for (const TSignatureRow& row : Rows) {
        if (row.variant != GetParam()) continue;
        SCOPED_TRACE(row.squares);
        const TSignature s = Search(row);
        if (print)
            std::printf("    {%d, %d, \"%s\", %d, %s, %llu, %llu, \"%s\", %d},\n", row.variant, row.side,
                        row.squares, row.depth, row.edb ? "true" : "false",
                        static_cast<unsigned long long>(s.nodes),
                        static_cast<unsigned long long>(s.evaluations), s.best.c_str(), s.value);
        EXPECT_EQ(s.nodes, row.nodes);
        EXPECT_EQ(s.evaluations, row.evaluations);
        EXPECT_EQ(s.best, row.best);
        EXPECT_EQ(s.value, row.value);
    }
}

std::string VariantName(const testing::TestParamInfo<TGameType>& info) {
    static const char* const names[] = {"",     "Russian", "English",       "Brazilian",
                                        "Pool", "Italian", "International", "Czech"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(AllVariants, SearchSignature,
                         testing::Values(gtRussian, gtEnglish, gtBrazilian, gtPool, gtItalian,
                                         gtInternational, gtCzech),
                         VariantName);

} // namespace
