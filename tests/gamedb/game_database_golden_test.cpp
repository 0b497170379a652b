// A database assembled byte by byte from the file layouts is read, and rewriting it gives the
// same bytes.

#include "gamedb/game_block.h"
#include "gamedb/game_index_record.h"
#include "gamedb_test_util.h"

using namespace gamedb_test;

namespace {

void Put16(Bytes& b, int v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(std::uint8_t(v >> (8 * i)));
}

struct TRecordFields {
    int white, whiteTitle, whiteRating, whiteCountry, black, blackTitle, blackRating, blackCountry;
    int annotator, tournament, site, round, subround, day, month, year, flags, nodeToShow;
    int startSide, variant, result, nodeCount, fullMoves;
    std::uint32_t offset, length;
    int reserved48, reserved50;
};

Bytes Record(const TRecordFields& f) {
    Bytes b;
    Put16(b, f.white);
    b.push_back(std::uint8_t(f.whiteTitle));
    b.push_back(0);
    Put16(b, f.whiteRating);
    b.push_back(std::uint8_t(f.whiteCountry));
    b.push_back(0);
    Put16(b, f.black);
    b.push_back(std::uint8_t(f.blackTitle));
    b.push_back(0);
    Put16(b, f.blackRating);
    b.push_back(std::uint8_t(f.blackCountry));
    b.push_back(0);
    Put16(b, f.annotator);
    Put16(b, f.tournament);
    Put16(b, f.site);
    for (int v : {f.round, f.subround, f.day, f.month})
        b.push_back(std::uint8_t(v));
    Put16(b, f.year);
    b.push_back(std::uint8_t(f.flags));
    b.push_back(0);
    Put16(b, f.nodeToShow);
    for (int v : {f.startSide, f.variant, f.result, 0})
        b.push_back(std::uint8_t(v));
    Put16(b, f.nodeCount);
    Put16(b, f.fullMoves);
    Put32(b, f.offset);
    Put32(b, f.length);
    Put16(b, f.reserved48);
    Put16(b, f.reserved50);
    return b;
}

// Game 1: a Russian game from the standard start. Node 1 a3-b4 (9-13), node 2 b6-a5 (21-17),
// node 3 a variation c3-d4 (10-14) at the root with mark 0x12 and the comment "good" after it.
const Bytes Block1 = {0, // standard start
                      128 + 16 + 8,
                      0,
                      9,
                      13, // node 1
                      128 + 16 + 8,
                      1,
                      21,
                      17, // node 2
                      32 + 16 + 8,
                      0x00,
                      0x12,
                      0,
                      0,
                      0,
                      4,
                      'g',
                      'o',
                      'o',
                      'd', // node 3: mark, comments
                      0,
                      10,
                      14};
// Game 2: set up with a man of side 0 on 10 and one of side 1 on 14; node 1 takes 10:19 over 14,
// with the comment "ab" before it.
const Bytes Block2 = {1,
                      62,
                      62,
                      62,
                      63,
                      57,
                      62,
                      62,
                      62,
                      62,
                      62,
                      62,
                      62,
                      62,
                      62,
                      62,
                      62,
                      62, // key
                      128 + 32 + 16 + 8 + 1,
                      0,
                      0,
                      0,
                      2,
                      'a',
                      'b',
                      0,
                      0, // flag, mark, comments
                      0,
                      10,
                      14,
                      19};

const std::string NameFile = "^Ivanov\r\n^\xCF\xE5\xF2\xF0\xEE\xE2\r\n^\r\n*Cup\r\n@Moscow\r\n";

Bytes IndexFile() {
    Bytes b = Record({0,
                      3,
                      2400,
                      7,
                      1,
                      1,
                      2550,
                      9,
                      2,
                      0,
                      0,
                      5,
                      2,
                      17,
                      6,
                      1999,
                      gfFewVariations | gfFewComments,
                      2,
                      0,
                      gtRussian,
                      1,
                      3,
                      1,
                      1,
                      std::uint32_t(Block1.size()),
                      0xBEEF,
                      0});
    const Bytes r2 = Record({1,
                             0,
                             0,
                             0,
                             0,
                             0,
                             0,
                             0,
                             2,
                             0,
                             0,
                             0,
                             0,
                             0,
                             0,
                             0,
                             gfDeleted | gfOtherSetUp | gfFewComments,
                             0,
                             1,
                             gtRussian,
                             3,
                             1,
                             1,
                             std::uint32_t(1 + Block1.size()),
                             std::uint32_t(Block2.size()),
                             0,
                             0x1234});
    b.insert(b.end(), r2.begin(), r2.end());
    return b;
}

Bytes MoveFile() {
    Bytes b = {20};
    b.insert(b.end(), Block1.begin(), Block1.end());
    b.insert(b.end(), Block2.begin(), Block2.end());
    return b;
}

} // namespace

class GoldenDatabase : public TDbTest {
  protected:
    void SetUp() override {
        TDbTest::SetUp();
        WriteBytes(Path("gold.vqb"), IndexFile());
        WriteText(Path("gold.vqn"), NameFile);
        WriteBytes(Path("gold.vqm"), MoveFile());
    }
};

TEST_F(GoldenDatabase, ReadsEveryField) {
    TGameDatabase db;
    db.prompt = &prompt;
    OpenDatabase(Path("gold.vqb"), db);
    ASSERT_TRUE(db.open);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(db.gameCount, 2);
    EXPECT_EQ(db.currentGame, 1);
    EXPECT_EQ(db.databaseType, 20);
    auto g = NewGame(gtRussian);
    ASSERT_EQ(ReadGame(db, 1, false, *g), TDbStatus::Ok);
    EXPECT_EQ(g->white, "Ivanov");
    EXPECT_EQ(g->black, "\xCF\xE5\xF2\xF0\xEE\xE2");
    EXPECT_EQ(g->annotator, "");
    EXPECT_EQ(g->tournament, "Cup");
    EXPECT_EQ(g->site, "Moscow");
    EXPECT_EQ(g->header.whiteRating, 2400);
    EXPECT_EQ(g->header.blackCountry, 9);
    EXPECT_EQ(g->header.year, 1999);
    EXPECT_EQ(g->header.nodeToShow, 2);
    EXPECT_EQ(g->header.reserved48, 0xBEEF);
    EXPECT_EQ(g->startKey, StandardKey64());
    ASSERT_EQ(g->header.nodeCount, 3);
    EXPECT_EQ(g->nodes[2].parent, 1);
    EXPECT_EQ(g->nodes[2].from, 21);
    EXPECT_EQ(g->nodes[2].To(), 17);
    EXPECT_EQ(g->nodes[3].mainLine, 0);
    EXPECT_EQ(g->nodes[3].annotation, 0x12);
    EXPECT_EQ(g->commentAfter[3], "good");
    EXPECT_EQ(MainLineLength(*g), 2);

    ASSERT_EQ(ReadGame(db, 2, false, *g), TDbStatus::Ok);
    EXPECT_EQ(g->white, "\xCF\xE5\xF2\xF0\xEE\xE2");
    EXPECT_EQ(g->header.flags & gfDeleted, gfDeleted);
    EXPECT_EQ(g->header.startSide, 1);
    TBoard b;
    ASSERT_TRUE(PositionAtNode(0, *g, b));
    EXPECT_EQ(b[10], 1);
    EXPECT_EQ(b[14], -1);
    ASSERT_TRUE(PositionAtNode(1, *g, b));
    EXPECT_EQ(b[10], 0);
    EXPECT_EQ(b[14], 0);
    EXPECT_EQ(b[19], 1);
    EXPECT_EQ(g->commentBefore[1], "ab");
    EXPECT_EQ(g->nodes[1].captures, 1);
    CloseDatabase(db);
}

TEST_F(GoldenDatabase, RewritingGivesTheSameBytes) {
    TGameDatabase db;
    db.prompt = &prompt;
    OpenDatabase(Path("gold.vqb"), db);
    ASSERT_TRUE(db.open);
    for (int n = 1; n <= 2; ++n) {
        auto g = NewGame(gtRussian);
        ASSERT_EQ(ReadGame(db, n, false, *g), TDbStatus::Ok);
        ASSERT_EQ(WriteGame(*g, n, db, true), TDbStatus::Ok);
    }
    ASSERT_TRUE(SaveDatabase(db));
    CloseDatabase(db);
    EXPECT_EQ(ReadBytes(Path("gold.vqb")), IndexFile());
    EXPECT_EQ(ReadBytes(Path("gold.vqm")), MoveFile());
    EXPECT_EQ(ReadBytes(Path("gold.vqn")), Bytes(NameFile.begin(), NameFile.end()));
}

TEST_F(GoldenDatabase, AppendingUsesTheStoredNames) {
    TGameDatabase db;
    db.prompt = &prompt;
    OpenDatabase(Path("gold.vqb"), db);
    auto g = NewGame(gtRussian);
    ASSERT_EQ(ReadGame(db, 1, false, *g), TDbStatus::Ok);
    g->white = "IVANOV";                   // differs only in letter case
    g->black = "\xEF\xE5\xF2\xF0\xEE\xE2"; // петров
    ASSERT_EQ(WriteGame(*g, 0, db, true), TDbStatus::Ok);
    EXPECT_EQ(IndexRecordCount(db), 3);
    EXPECT_EQ(db.gameCount, 2); // the caller keeps the count
    TGameIndexRecord r;
    ASSERT_EQ(ReadIndexRecord(db, 3, r), TDbStatus::Ok);
    EXPECT_EQ(r.white, 0);
    EXPECT_EQ(r.black, 1);
    EXPECT_EQ(r.offset, MoveFile().size());
    EXPECT_EQ(db.players.Size(), 3u);
    CloseDatabase(db);
}
