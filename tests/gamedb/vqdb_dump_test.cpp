// The dumper's lines, and that dumping leaves the files as they were.

#include "gamedb_test_util.h"
#include "tools/vqdb/vqdb_dump.h"

#include <sstream>

using namespace gamedb_test;

using VqdbDump = TDbTest;

TEST_F(VqdbDump, OneLinePerGameAndDamagedGames) {
    TGameDatabase db;
    ASSERT_TRUE(CreateDatabase(Path("v.vqb"), db));
    // a3-b4 (9-13), b6-a5 (21-17), then a variation at the root that is not printed.
    auto g = NewGame(gtRussian);
    g->white = "\xC8\xE2\xE0\xED\xEE\xE2"; // Иванов
    g->black = "Smith";
    g->tournament = "Cup";
    g->header.year = 1999;
    g->header.month = 6;
    g->header.day = 7;
    g->header.result = 2;
    g->header.flags = 128;
    auto node = [&](int n, int from, int to, int parent, int mainLine) {
        g->nodes[n].from = std::uint8_t(from);
        g->nodes[n].squares[0] = std::uint8_t(to);
        g->nodes[n].parent = std::uint16_t(parent);
        g->nodes[n].mainLine = std::uint8_t(mainLine);
        g->nodes[n].free = 0;
    };
    node(1, 9, 13, 0, 1);
    node(2, 21, 17, 1, 1);
    node(3, 10, 14, 0, 0);
    g->header.nodeCount = 3;
    ASSERT_EQ(WriteGame(*g, 0, db, true), TDbStatus::Ok);
    // A capture in International: 28 takes 33 and lands on 39 (internal squares).
    auto h = NewGame(gtInternational);
    h->nodes[1].from = 28;
    h->nodes[1].captures = 1;
    h->nodes[1].squares[0] = 33;
    h->nodes[1].squares[1] = 39;
    h->nodes[1].mainLine = 1;
    h->nodes[1].free = 0;
    h->header.nodeCount = 1;
    ASSERT_EQ(WriteGame(*h, 0, db, true), TDbStatus::Ok);
    ASSERT_EQ(WriteGame(*h, 0, db, true), TDbStatus::Ok);
    CloseDatabase(db);
    // Damage game 3: its block now claims to run past the end of the move file.
    Bytes index = ReadBytes(Path("v.vqb"));
    index[2 * 52 + 44] = 0xFF;
    WriteBytes(Path("v.vqb"), index);
    const Bytes moves = ReadBytes(Path("v.vqm")), names = ReadBytes(Path("v.vqn"));

    OpenDatabase(Path("v.vqb"), db, TOpenMode::ReadOnly);
    ASSERT_TRUE(db.open);
    std::ostringstream out;
    EXPECT_EQ(DumpDatabase(db, out), 1);
    CloseDatabase(db);
    // International numbers: internal 28 is square 23, internal 39 is square 14.
    EXPECT_EQ(
        out.str(),
        "1\t\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2\tSmith\tCup\t\t1999.06.07\t=\tD\ta3-b4 b6-a5\n"
        "2\t\t\t\t\t0000.00.00\t*\t-\t23:14\n"
        "3\tdamaged\n");
    EXPECT_EQ(ReadBytes(Path("v.vqb")), index);
    EXPECT_EQ(ReadBytes(Path("v.vqm")), moves);
    EXPECT_EQ(ReadBytes(Path("v.vqn")), names);
}
