// The built-in engine's search against a plain minimax written here with the same horizon,
// capture extension, evaluation and database rule; loss scores; database probes; the stop word.
#include "edb_fixture.h"
#include "movegen_test_util.h"
#include "search_test_util.h"

#include "rules/endgame_db.h"
#include "rules/engine_stop.h"
#include "rules/evaluation.h"
#include "rules/movegen.h"
#include "rules/search.h"
#include "rules/search_root.h"
#include "rules/variant_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using movegen_test::BoardFromSquares;
using namespace search_test;

namespace {

struct TPositionCase {
    const char* name;
    TGameType variant;
    int side;
    const char* position;
    int depth;
};

// Small positions of every variant with quiet moves, captures near the horizon and promotions.
const TPositionCase MinimaxCases[] = {
    {"RussianMen", gtRussian, 0, "w9 w10 w11 w14 b19 b22 b23 b27", 8},
    {"RussianKings", gtRussian, 0, "W1 w10 w14 b19 b23 B32", 6},
    {"EnglishMen", gtEnglish, 0, "w5 w6 w10 w11 b19 b22 b23 b28", 9},
    {"EnglishKings", gtEnglish, 1, "W2 w9 w14 b18 b23 B31", 7},
    {"BrazilianMen", gtBrazilian, 1, "w10 w13 w14 b18 b22 b23 b26", 8},
    {"PoolMen", gtPool, 0, "w6 w10 w15 b18 b19 b22 b27", 8},
    {"ItalianMen", gtItalian, 0, "w5 w9 w10 w14 b19 b23 b26 b27", 9},
    {"CzechKings", gtCzech, 0, "W5 w10 w11 b22 b23 b27", 6},
    {"InternationalMen", gtInternational, 0, "w31 w32 w33 w37 b17 b18 b19 b23", 7},
    {"InternationalKings", gtInternational, 1, "W3 w28 w33 b19 b24 B48", 5},
};

// With no table, with a table of 64 slots (half full at once, so most positions go unstored)
// and with a roomy one.
TEST(VantorSearch, EqualsPlainMinimaxWithAndWithoutDatabase) {
    for (const bool edb : {false, true}) {
        for (const TPositionCase& c : MinimaxCases) {
            const TBoard b = BoardFromSquares(c.position);
            const int expected = Minimax(b, 1, c.depth, c.side, c.variant, edb);
            for (const std::size_t slots : {0u, 64u, 1u << 14}) {
                SCOPED_TRACE(std::string(c.name) + (edb ? " with database" : "") + " slots " +
                             std::to_string(slots));
                THashTable table;
                table.Allocate(slots);
                TEngineRandom rng(99);
                table.InitKeys(rng);
                TSearcher searcher(table, c.variant, edb ? FakeEdb : TEdbProbe{});
                EXPECT_EQ(searcher.Search(b, -2000, 2000, 1, c.depth, c.side, 1), expected);
                EXPECT_LE(table.StoredCount(), slots / 2);
            }
        }
    }
}

TEST(VantorSearch, SideWithoutMovesLosesSoonerScoresLower) {
    // Side 0's man on 1 is blocked by 5 and 10; a side without pieces has no move either.
    const struct {
        const char* position;
        TGameType variant;
    } cases[] = {
        {"w1 b5 b10", gtEnglish}, {"w1 b5 b10", gtRussian}, {"b20", gtRussian}, {"b40", gtInternational}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        THashTable table;
        table.Allocate(64);
        TSearcher searcher(table, c.variant);
        const TBoard b = BoardFromSquares(c.position);
        EXPECT_EQ(searcher.Search(b, -2000, 2000, 2, 6, 0, 1), -1999);
        EXPECT_EQ(searcher.Search(b, -2000, 2000, 5, 6, 0, 1), -1996);
        // Past the horizon too.
        EXPECT_EQ(searcher.Search(b, -2000, 2000, 5, 3, 0, 1), -1996);
    }
}

TEST(VantorSearch, StoredBoundsCutOffOnlyAtEnoughDepth) {
    const TBoard b = BoardFromSquares("w9 w10 b22 b23");
    THashTable table;
    table.Allocate(64);
    TSearcher searcher(table, gtRussian);
    const int plain = Minimax(b, 1, 4, 0, gtRussian, false);
    ASSERT_LT(plain, 700);
    // Plant a lower bound of 777 from a search of remaining depth 3.
    auto plant = [&] {
        table.Clear();
        THashProbe p;
        table.Probe(b, 0, 32, p);
        table.StoreResult(p, 0, 3, 777, 1, -2000, 777);
    };
    plant();
    EXPECT_EQ(searcher.Search(b, -2000, 700, 1, 4, 0, 1), 777); // remaining 3: taken
    plant();
    EXPECT_EQ(searcher.Search(b, -2000, 700, 2, 4, 0, 1), 777); // remaining 2: taken
    plant();
    EXPECT_EQ(searcher.Search(b, -2000, 700, 6, 4, 0, 1), 777); // past the horizon: taken
    plant();
    EXPECT_EQ(searcher.Search(b, -2000, 800, 1, 4, 0, 1), plain); // beta above the bound
    plant();
    EXPECT_EQ(searcher.Search(b, -2000, 700, 1, 5, 0, 1),
              Minimax(b, 1, 5, 0, gtRussian, false)); // too shallow
    plant();
    EXPECT_EQ(searcher.Search(b, -2000, 700, 1, 4, 1, 1),
              Minimax(b, 1, 4, 1, gtRussian, false)); // other side
}

// Records the calls of a database that answers 1234 for every position.
struct TProbeCall {
    int pieces, flip, ply;
    TGameType variant;
};
std::vector<TProbeCall> ProbeCalls;
bool ProbeAnswers = true;
std::optional<std::int16_t> RecordingProbe(const TBoard& board, int pieces, int flip, int ply,
                                           TGameType variant) {
    ProbeCalls.push_back({pieces, flip, ply, variant});
    (void)board;
    if (!ProbeAnswers) return std::nullopt;
    return 1234;
}
bool Closed() {
    return false;
}

TEST(VantorSearch, DatabaseValueReachesTheSearch) {
    struct TCase {
        const char* name;
        TGameType variant;
        const char* position;
        int side;
        bool open, answers, probed;
    };
    const TCase cases[] = {
        {"QuietFivePieces", gtRussian, "w9 w10 w1 b22 b23", 1, true, true, true},
        {"SideZeroToMove", gtEnglish, "w9 w10 b22 b23", 0, true, true, true},
        {"SixPieces", gtRussian, "w9 w10 w1 w2 b22 b23", 1, true, true, false},
        {"MoverCanCapture", gtRussian, "w9 w14 b18 b27", 0, true, true, false},
        {"OpponentCanCapture", gtRussian, "w11 w14 b18 b27", 1, true, true, false},
        {"OneSideBare", gtRussian, "w9 w10", 0, true, true, false},
        {"DatabaseClosed", gtRussian, "w9 w10 b22 b23", 0, false, true, false},
        {"NoValueReadable", gtRussian, "w9 w10 b22 b23", 0, true, false, true},
        // Its index covers 32 squares only.
        {"International", gtInternational, "w9 w10 b42 b43", 0, true, true, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TBoard b = BoardFromSquares(c.position);
        THashTable table;
        table.Allocate(256);
        TSearcher plain(table, c.variant);
        const int unprobed = plain.Search(b, -2000, 2000, 3, 6, c.side, 1);
        table.Clear();
        TSearcher searcher(table, c.variant, TEdbProbe{c.open ? AlwaysOpen : Closed, RecordingProbe});
        ProbeCalls.clear();
        ProbeAnswers = c.answers;
        const int score = searcher.Search(b, -2000, 2000, 3, 6, c.side, 1);
        // The probe of the position itself is the one made with ply 3 - 1; deeper positions may
        // be probed after captures.
        const bool probedHere = !ProbeCalls.empty() && ProbeCalls[0].ply == 2;
        EXPECT_EQ(probedHere, c.probed);
        if (!c.probed) continue;
        EXPECT_EQ(ProbeCalls[0].flip, c.side);
        EXPECT_EQ(ProbeCalls[0].ply, 2);
        EXPECT_EQ(ProbeCalls[0].pieces, 4 + (c.side == 1));
        EXPECT_EQ(ProbeCalls[0].variant, c.variant); // the searcher's own, not the main window's
        EXPECT_EQ(score, c.answers ? 1234 : unprobed);
    }
    ProbeAnswers = true;
}

TEST(VantorSearch, SortMovesByScoreTakesTheFirstGreatest) {
    // A selection sort, not a stable one: equal scores may change their order.
    TMoveList moves(4);
    for (int i = 0; i < 4; ++i)
        moves[i].from = static_cast<std::uint8_t>(i + 1);
    std::vector<int> scores{1, 1, 2, 7};
    SortMovesByScore(3, moves, scores); // the fourth stays outside the count
    EXPECT_EQ(scores, (std::vector<int>{2, 1, 1, 7}));
    EXPECT_EQ(moves[0].from, 3);
    EXPECT_EQ(moves[1].from, 2);
    EXPECT_EQ(moves[2].from, 1);
    EXPECT_EQ(moves[3].from, 4);
}

// The searcher polls the word it is given after every child: raised, the search ends after its
// first evaluation and stores nothing on the way back.
TEST(VantorSearch, TheGivenStopWordEndsTheSearchAfterOneChild) {
    THashTable table;
    table.Allocate(1 << 12);
    TEngineRandom rng(3);
    table.InitKeys(rng);
    TStopWord stop;
    TSearcher running(table, gtRussian, {}, &stop);
    running.Search(StartPosition64, -2000, 2000, 1, 6, 0, 1);
    EXPECT_GT(table.StoredCount(), 0u);
    EXPECT_GT(running.Evaluations(), 1u);

    table.Clear();
    stop.Set(1);
    TSearcher stopped(table, gtRussian, {}, &stop);
    stopped.Search(StartPosition64, -2000, 2000, 1, 6, 0, 1);
    EXPECT_EQ(table.StoredCount(), 0u);
    EXPECT_EQ(stopped.Evaluations(), 1u);
}

// The program's own probe, on a database file whose 2-piece positions are all "side 0 to move
// wins in 7 plies".
TEST(VantorSearch, EndgameDatabaseFileValueReachesTheSearch) {
    TTempDir dir;
    const std::string path = dir.File("pos5rus.edb");
    const std::uint32_t twoPieceBlocks = 7936 / EdbBlockValues + 1;
    WriteBytes(path, AssembleDatabase(std::vector<std::vector<std::uint8_t>>(
                         twoPieceBlocks, Deflate(std::vector<std::uint8_t>(EdbBlockValues, 7)))));
    std::string error;
    ASSERT_TRUE(OpenEndgameDatabaseFile(path, &error)) << error;
    const TGameType variant = CurrentVariant;
    SetGameVariant(gtRussian);
    OpenEndgameDatabaseFile(path, &error); // the variant change closed it: the real file is absent
    ASSERT_TRUE(EndgameDatabaseOpen());
    THashTable table;
    table.Allocate(1024);
    TEngineRandom rng(1);
    table.InitKeys(rng);

    // Either side to move: the board is turned so the mover is side 0. At ply 3: 2000 - 7 - 2.
    const TBoard b = BoardFromSquares("w9 b28");
    TSearcher searcher(table, gtRussian, SearchEdbProbe());
    EXPECT_EQ(searcher.Search(b, -2000, 2000, 3, 8, 0, 1), 1991);
    EXPECT_EQ(searcher.Search(b, -2000, 2000, 3, 8, 1, 1), 1991);
    EXPECT_EQ(searcher.EdbProbes(), 2u);

    // The root search probes the positions after its moves through the same probe: each is a
    // win for side 1 to move, at ply 2.
    const TRootSearchResult r = RunRootSearch(b, 0, gtRussian, {5, 0, 100}, {&table, SearchEdbProbe(), &rng});
    ASSERT_FALSE(r.moves.empty());
    EXPECT_EQ(r.scores[0].score, -(2000 - 7 - 1));
    EXPECT_GT(r.edbProbes, 0u);

    CloseEndgameDatabase();
    SetGameVariant(variant);
}

} // namespace
