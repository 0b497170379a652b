// The shared generator of random games and databases: legal, varied, and the same for a seed.

#include "gamedb/game_block.h"
#include "gamedb/game_index_record.h"
#include "gamedb_test_util.h"

#include <set>

using namespace gamedb_test;
using test_support::RandomGame;
using test_support::TRandomGameOptions;

namespace {

// The block and the header: equal games encode to equal bytes.
Bytes Fingerprint(const TGame& g) {
    TMoveBytes mb;
    EncodeGameMoves(g, mb);
    Bytes b = mb.bytes;
    for (const std::string* s : {&g.white, &g.black, &g.annotator, &g.tournament, &g.site})
        b.insert(b.end(), s->begin(), s->end() + 1);
    const TGameIndexRecord& h = g.header;
    for (int v : {+h.variant, +h.result, +h.day, +h.month, +h.year, +h.round, +h.flags, +h.startSide})
        b.push_back(static_cast<std::uint8_t>(v));
    return b;
}

} // namespace

TEST(RandomGames, TheSameSeedGivesTheSameGames) {
    TRandom a(77), b(77), c(78);
    for (int i = 0; i < 20; ++i) {
        const auto ga = RandomGame(a), gb = RandomGame(b), gc = RandomGame(c);
        EXPECT_EQ(Fingerprint(*ga.game), Fingerprint(*gb.game)) << i;
        EXPECT_NE(Fingerprint(*ga.game), Fingerprint(*gc.game)) << i;
    }
}

// Every move is legal where it stands, and the games cover what their users rely on.
TEST(RandomGames, MovesAreLegalAndTheGamesVaried) {
    TRandom random(2024);
    std::set<int> variants, results, startSides;
    int variations = 0, comments = 0, marks = 0, setUp = 0, deleted = 0, cyrillic = 0, unknownDay = 0;
    for (int i = 0; i < 120; ++i) {
        const auto t = RandomGame(random);
        const TGame& g = *t.game;
        const TGameType v = g.header.variant;
        variants.insert(v);
        results.insert(g.header.result);
        ASSERT_TRUE(CheckGameForStore(g)) << i;
        TBoard start;
        ASSERT_TRUE(KeyToPosition(g.startKey, start));
        EXPECT_EQ(t.boards[0], start);
        EXPECT_EQ(t.sides[0], g.header.startSide);
        if (g.startKey != StandardKeyOf(v)) {
            ++setUp;
            startSides.insert(g.header.startSide);
        }
        for (int n = 1; n <= g.header.nodeCount; ++n) {
            const TMove& m = g.nodes[n];
            if (m.free) continue;
            TMoveList legal;
            FindMoves(t.boards[m.parent], t.sides[m.parent], legal, v);
            bool found = false;
            for (const TMove& l : legal)
                found |= l.SameMove(m);
            ASSERT_TRUE(found) << "game " << i << " node " << n;
            TBoard after;
            ASSERT_TRUE(PositionAtNode(n, g, after));
            EXPECT_EQ(after, t.boards[n]);
            variations += !m.mainLine;
            comments += !g.commentBefore[n].empty() + !g.commentAfter[n].empty();
            marks += m.annotation != 0;
            // Valid codes only: a move mark 1..6, a position mark 1..7.
            EXPECT_LE(m.annotation & 15, 6);
            EXPECT_LE(m.annotation >> 4, 7);
        }
        deleted += (g.header.flags & gfDeleted) != 0;
        unknownDay += g.header.day == 0;
        for (const std::string* s : {&g.white, &g.black})
            cyrillic += !s->empty() && static_cast<unsigned char>((*s)[0]) >= 0xC0;
    }
    EXPECT_EQ(variants.size(), 7u);
    EXPECT_EQ(results.size(), 6u);
    EXPECT_EQ(startSides, (std::set<int>{0, 1}));
    for (int count : {variations, comments, marks, setUp, deleted, cyrillic, unknownDay})
        EXPECT_GT(count, 3);
}

TEST(RandomGames, OptionsReachFreedSlotsAndLongGames) {
    TRandom random(5);
    TRandomGameOptions o;
    o.variant = gtInternational;
    o.moves = 1024;
    o.freeSlots = true;
    const auto t = RandomGame(random, o);
    int freed = 0;
    for (int n = 1; n <= t.game->header.nodeCount; ++n)
        freed += t.game->nodes[n].free;
    EXPECT_GT(freed, 0);
    EXPECT_GT(t.game->header.nodeCount, 500);
    EXPECT_LE(t.game->header.nodeCount, MaxNodes);
    EXPECT_TRUE(CheckGameForStore(*t.game));
}

using RandomDatabase = TDbTest;

// A random database is written with the store's own WriteGame and reads back as written.
TEST_F(RandomDatabase, ReadsBackAsWritten) {
    std::vector<std::unique_ptr<TGame>> written;
    std::string error;
    ASSERT_TRUE(test_support::WriteRandomDatabase(Path("random.vqb"), 60, 99, {}, &written, &error)) << error;
    ASSERT_EQ(written.size(), 60u);
    TGameDatabase db;
    db.prompt = &prompt;
    OpenDatabase(Path("random.vqb"), db, TOpenMode::ReadOnly);
    ASSERT_TRUE(db.open);
    ASSERT_EQ(db.gameCount, 60);
    auto back = NewGame(gtRussian);
    for (int i = 0; i < 60; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(ReadGame(db, i + 1, false, *back), TDbStatus::Ok);
        EXPECT_EQ(back->header, written[i]->header);
        EXPECT_EQ(Fingerprint(*back), Fingerprint(*written[i]));
    }
    CloseDatabase(db);
    EXPECT_TRUE(prompt.messages.empty());

    // Deterministic down to the bytes of the files.
    ASSERT_TRUE(test_support::WriteRandomDatabase(Path("again.vqb"), 60, 99));
    for (const char* ext : {".vqb", ".vqn", ".vqm"})
        EXPECT_EQ(ReadBytes(Path(std::string("random") + ext)), ReadBytes(Path(std::string("again") + ext)))
            << ext;
}
