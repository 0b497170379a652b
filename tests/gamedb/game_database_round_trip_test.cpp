// Random legal game trees of every variant are stored and read back unchanged.

#include "gamedb/game_block.h"
#include "gamedb/game_index_record.h"
#include "gamedb_test_util.h"

using namespace gamedb_test;

namespace {

void ExpectSameNode(const TMove& a, const TMove& b) {
    EXPECT_EQ(a.annotation, b.annotation);
    EXPECT_EQ(a.parent, b.parent);
    EXPECT_EQ(a.mainLine, b.mainLine);
    EXPECT_EQ(a.free, b.free);
    EXPECT_TRUE(a.SameMove(b));
}

} // namespace

using RoundTrip = TDbTest;

TEST_F(RoundTrip, RandomTreesReadBackIdentically) {
    TRandom rng(2026);
    TGameDatabase db;
    ASSERT_TRUE(CreateDatabase(Path("rt.vqb"), db));
    std::vector<TRandomTree> trees;
    int setUp = 0, freed = 0, bigParents = 0;
    for (int i = 0; i < 35; ++i) {
        const TGameType variant = static_cast<TGameType>(1 + i % 7);
        TRandomTree t = MakeRandomTree(rng, variant, i == 34 ? 700 : 20 + 10 * (i % 5));
        TGame& g = *t.game;
        g.white = "White " + std::to_string(i % 4);
        g.black = "\xD7\xE5\xF0\xED\xFB\xE9 " + std::to_string(i % 3); // Чёрный-like CP1251 text
        g.annotator = i % 2 ? "Annotator" : "";
        g.tournament = "Cup " + std::to_string(i % 5);
        g.site = "Site";
        g.header.whiteRating = static_cast<std::uint16_t>(2000 + i);
        g.header.round = static_cast<std::uint8_t>(i);
        g.header.result = static_cast<std::uint8_t>(i % 6);
        g.header.reserved50 = static_cast<std::uint16_t>(i * 77);
        if (i % 9 == 0) g.header.flags = gfDeleted;
        setUp += g.startKey != StandardKeyOf(variant);
        for (int n = 1; n <= g.header.nodeCount; ++n) {
            freed += g.nodes[n].free;
            bigParents += !g.nodes[n].free && g.nodes[n].parent > 255;
        }
        // Every other game is first stored as something else and then replaced.
        if (i % 2) {
            auto other = NewGame(variant);
            ASSERT_EQ(WriteGame(*other, 0, db, false), TDbStatus::Ok);
            ASSERT_EQ(WriteGame(g, i + 1, db, false), TDbStatus::Ok);
        } else {
            ASSERT_EQ(WriteGame(g, 0, db, false), TDbStatus::Ok);
        }
        trees.push_back(std::move(t));
    }
    // The generator made what the test is about.
    EXPECT_GT(setUp, 3);
    EXPECT_GT(freed, 10);
    EXPECT_GT(bigParents, 0);
    CloseDatabase(db);

    OpenDatabase(Path("rt.vqb"), db, TOpenMode::ReadOnly);
    ASSERT_EQ(db.gameCount, 35);
    auto back = NewGame(gtRussian);
    for (int i = 0; i < 35; ++i) {
        SCOPED_TRACE(i);
        const TGame& g = *trees[i].game;
        ASSERT_EQ(ReadGame(db, i + 1, i % 3 == 0, *back), TDbStatus::Ok);
        EXPECT_EQ(back->header, g.header);
        EXPECT_EQ(back->white, g.white);
        EXPECT_EQ(back->black, g.black);
        EXPECT_EQ(back->annotator, g.annotator);
        EXPECT_EQ(back->tournament, g.tournament);
        EXPECT_EQ(back->site, g.site);
        EXPECT_EQ(back->startKey, g.startKey);
        EXPECT_EQ(back->header.fullMoves, (MainLineLength(g) + 1) / 2);
        for (int n = 1; n <= g.header.nodeCount; ++n) {
            SCOPED_TRACE(n);
            ExpectSameNode(back->nodes[n], g.nodes[n]);
            EXPECT_EQ(back->commentBefore[n], g.commentBefore[n]);
            EXPECT_EQ(back->commentAfter[n], g.commentAfter[n]);
            TBoard b;
            if (!g.nodes[n].free) {
                ASSERT_TRUE(PositionAtNode(n, *back, b));
                EXPECT_EQ(b, trees[i].boards[n]);
            }
        }
        for (int n = g.header.nodeCount + 1; n <= MaxNodes; ++n)
            ASSERT_FALSE(back->InUse(n));
    }
    CloseDatabase(db);
}

TEST(PositionAtNodeTest, RefusesBrokenChains) {
    auto g = NewGame(gtRussian);
    TBoard b;
    EXPECT_TRUE(PositionAtNode(0, *g, b));
    EXPECT_EQ(b, StartPosition64);
    EXPECT_FALSE(PositionAtNode(1, *g, b)); // past the node count
    g->header.nodeCount = 2;
    g->nodes[1].free = 0;
    g->nodes[1].parent = 2;
    g->nodes[2].free = 0;
    g->nodes[2].parent = 1;
    g->nodes[1].from = g->nodes[2].from = 9;
    g->nodes[1].squares[0] = g->nodes[2].squares[0] = 13;
    EXPECT_FALSE(PositionAtNode(1, *g, b)); // a loop in memory ends
    EXPECT_EQ(b, StartPosition64);
}
