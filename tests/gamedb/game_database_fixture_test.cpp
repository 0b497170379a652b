// One database written out byte by byte, independently of the encoder: a Russian game from a
// set-up position with a capture of two pieces, a variation at the root, marks, comments before
// and after moves, a free slot with stale contents and every header field set. It is read field
// by field, the positions along it are checked square by square, and rewriting it (game and
// names) must give back exactly the same three files.

#include "gamedb/game_block.h"
#include "gamedb/game_index_record.h"
#include "gamedb_test_util.h"
#include "tests/support/positions.h"

using namespace gamedb_test;

namespace {

using test_support::BoardOf;

// Start position: side 0 king on 4, men on 9 and 10; side 1 men on 14 and 22, king on 29.
// Key byte k packs squares 3k+1..3k+3 as digits value+2, the first the lowest:
//   k=1 (4,5,6): 4 + 5*2 + 25*2 = 64     k=2 (7,8,9): 2 + 5*2 + 25*3 = 87
//   k=3 (10,11,12): 3 + 10 + 50 = 63     k=4 (13,14,15): 2 + 5*1 + 50 = 57
//   k=7 (22,23,24): 1 + 10 + 50 = 61     k=9 (28,29,30): 2 + 5*0 + 50 = 52
// every other byte three empty squares: 2 + 10 + 50 = 62.
//
// Nodes (node count 6):
//   1 main, parent 0: 10x14x22 -> 19 -> 26 (two captures), mark 0x12, comment after "strong"
//   2 main, parent 1: king 29x26 -> 22
//   3 main, parent 2: 9-13, mark 0x05, comment before "calm"
//   4 variation at the root: king 4x14 -> 18, mark 0x30, before "or", after "also"
//   5 main below 4: 22x18 -> 13, mark 0x01 (no comment text, so empty lengths follow)
//   6 free, stale: parent 3, 9-13
const Bytes Block = {1, 62, 64, 87, 63, 57, 62, 62, 61, 62, 52, 62, 62, 62, 62, 62, 62,
                     62, // set-up start and key
                     // node 1: F = 128 main + 32 comment + 16 short parent + 8 + 2 captures
                     186, 0x00, 0x12, 0, 0, 0, 6, 's', 't', 'r', 'o', 'n', 'g', 0, 10, 14, 19, 22, 26,
                     // node 2: F = 128 + 16 + 8 + 1
                     153, 1, 29, 26, 22,
                     // node 3: F = 128 + 32 + 16 + 8 + 0
                     184, 0x00, 0x05, 0, 4, 'c', 'a', 'l', 'm', 0, 0, 2, 9, 13,
                     // node 4: F = 32 + 16 + 8 + 1 (main-line flag clear)
                     57, 0x00, 0x30, 0, 2, 'o', 'r', 0, 4, 'a', 'l', 's', 'o', 0, 4, 14, 18,
                     // node 5: F = 128 + 32 + 16 + 8 + 1
                     185, 0x00, 0x01, 0, 0, 0, 0, 4, 22, 18, 13,
                     // node 6: F = 64 free + 16 + 8
                     88, 3, 9, 13};

// Flags: deleted 128, many comment items (8 of them) 32, one variation 4, a set-up position
// without full sides 2.
constexpr std::uint8_t Flags = 128 + 32 + 4 + 2;

// The 52-byte record, little-endian, offset by offset.
Bytes Record() {
    const std::uint8_t len = static_cast<std::uint8_t>(Block.size());
    return {
        0x01,  0x00,       // 0 White: player 1
        3,                 // 2 title "IM"
        0,                 // 3
        0x29,  0x09,       // 4 rating 2345
        12,                // 6 country
        0,                 // 7
        0x00,  0x00,       // 8 Black: player 0
        5,                 // 10 title "C"
        0,                 // 11
        0x35,  0x08,       // 12 rating 2101
        200,               // 14 country
        0,                 // 15
        0x02,  0x00,       // 16 annotator: player 2
        0x00,  0x00,       // 18 tournament 0
        0x00,  0x00,       // 20 site 0
        7,     3,          // 22 round, 23 subround
        28,    2,          // 24 day, 25 month
        0xD1,  0x07,       // 26 year 2001
        Flags,             // 28
        0,                 // 29
        0x03,  0x00,       // 30 node to show
        0,                 // 32 start side
        1,                 // 33 variant: Russian
        5,                 // 34 result "0-1t"
        0,                 // 35 move-number offset
        0x06,  0x00,       // 36 node count
        0x02,  0x00,       // 38 full moves: (3 plies + 1) div 2
        1,     0,    0, 0, // 40 block right after the type byte
        len,   0,    0, 0, // 44 block length
        0x0B,  0x0A,       // 48 reserved, kept
        0xDE,  0xC0,       // 50 reserved, kept
    };
}

// Players in index order, then tournaments, then sites; player 1 is "Ёлкин" in CP1251.
const std::string NameFile = "^Sidorov\r\n^\xA8\xEB\xEA\xE8\xED\r\n^Notes\r\n*Open\r\n@Riga\r\n";

Bytes MoveFile() {
    Bytes b(1 + Block.size());
    b[0] = 20; // database type
    std::copy(Block.begin(), Block.end(), b.begin() + 1);
    return b;
}

class StoreFixture : public TDbTest {
  protected:
    void SetUp() override {
        TDbTest::SetUp();
        ASSERT_EQ(Block.size(), 88u);
        ASSERT_EQ(Record().size(), 52u);
        WriteBytes(Path("fix.vqb"), Record());
        WriteText(Path("fix.vqn"), NameFile);
        WriteBytes(Path("fix.vqm"), MoveFile());
    }
};

} // namespace

TEST_F(StoreFixture, HeaderAndNamesReadFromTheirOffsets) {
    TGameDatabase db;
    OpenDatabase(Path("fix.vqb"), db);
    ASSERT_TRUE(db.open);
    auto g = NewGame(gtRussian);
    ASSERT_EQ(ReadGame(db, 1, false, *g), TDbStatus::Ok);
    const TGameIndexRecord& h = g->header;
    EXPECT_EQ(g->white, "\xA8\xEB\xEA\xE8\xED");
    EXPECT_EQ(g->black, "Sidorov");
    EXPECT_EQ(g->annotator, "Notes");
    EXPECT_EQ(g->tournament, "Open");
    EXPECT_EQ(g->site, "Riga");
    EXPECT_EQ(h.whiteTitle, 3);
    EXPECT_STREQ(TitleText(h.whiteTitle), "IM");
    EXPECT_EQ(h.whiteRating, 2345);
    EXPECT_EQ(h.whiteCountry, 12);
    EXPECT_EQ(h.blackTitle, 5);
    EXPECT_EQ(h.blackRating, 2101);
    EXPECT_EQ(h.blackCountry, 200);
    EXPECT_EQ(h.round, 7);
    EXPECT_EQ(h.subround, 3);
    EXPECT_EQ(h.day, 28);
    EXPECT_EQ(h.month, 2);
    EXPECT_EQ(h.year, 2001);
    EXPECT_EQ(h.flags, Flags);
    EXPECT_EQ(h.nodeToShow, 3);
    EXPECT_EQ(h.variant, gtRussian);
    EXPECT_STREQ(GameResultText(h.result), "0-1t");
    EXPECT_EQ(h.nodeCount, 6);
    EXPECT_EQ(h.fullMoves, 2);
    EXPECT_EQ(h.offset, 1u);
    EXPECT_EQ(h.length, Block.size());
    EXPECT_EQ(h.reserved48, 0x0A0B);
    EXPECT_EQ(h.reserved50, 0xC0DE);
    CloseDatabase(db);
}

TEST_F(StoreFixture, TreeMarksCommentsAndPositions) {
    TGameDatabase db;
    OpenDatabase(Path("fix.vqb"), db);
    ASSERT_TRUE(db.open);
    auto g = NewGame(gtRussian);
    ASSERT_EQ(ReadGame(db, 1, false, *g), TDbStatus::Ok);

    struct TNodeCase {
        int node, parent, mainLine, free, annotation;
        const char *before, *after;
        int from;
        Bytes squares;
    };
    const TNodeCase nodes[] = {
        {1, 0, 1, 0, 0x12, "", "strong", 10, {14, 19, 22, 26}},
        {2, 1, 1, 0, 0x00, "", "", 29, {26, 22}},
        {3, 2, 1, 0, 0x05, "calm", "", 9, {13}},
        {4, 0, 0, 0, 0x30, "or", "also", 4, {14, 18}},
        {5, 4, 1, 0, 0x01, "", "", 22, {18, 13}},
        {6, 3, 0, 1, 0x00, "", "", 9, {13}},
    };
    for (const TNodeCase& c : nodes) {
        SCOPED_TRACE(c.node);
        const TMove& m = g->nodes[c.node];
        EXPECT_EQ(m.parent, c.parent);
        EXPECT_EQ(m.mainLine, c.mainLine);
        EXPECT_EQ(m.free, c.free);
        EXPECT_EQ(m.annotation, c.annotation);
        EXPECT_EQ(g->commentBefore[c.node], c.before);
        EXPECT_EQ(g->commentAfter[c.node], c.after);
        EXPECT_EQ(m.from, c.from);
        EXPECT_EQ(m.captures, c.squares.size() / 2);
        EXPECT_EQ(Bytes(m.squares.begin(), m.squares.begin() + static_cast<std::ptrdiff_t>(c.squares.size())),
                  c.squares);
    }
    EXPECT_EQ(MoveMarkOf(g->nodes[1].annotation), 2);     // "!"
    EXPECT_EQ(PositionMarkOf(g->nodes[1].annotation), 1); // "+-"
    EXPECT_EQ(MainLineLength(*g), 3);

    const TBoard start = BoardOf({{4, 2}, {9, 1}, {10, 1}, {14, -1}, {22, -1}, {29, -2}});
    EXPECT_NE(g->startKey, StandardKey64());
    const struct {
        int node;
        TBoard board;
    } positions[] = {
        {0, start},
        {1, BoardOf({{4, 2}, {9, 1}, {26, 1}, {29, -2}})},
        {2, BoardOf({{4, 2}, {9, 1}, {22, -2}})},
        {3, BoardOf({{4, 2}, {13, 1}, {22, -2}})},
        {4, BoardOf({{18, 2}, {9, 1}, {10, 1}, {22, -1}, {29, -2}})},
        {5, BoardOf({{9, 1}, {10, 1}, {13, -1}, {29, -2}})},
    };
    for (const auto& p : positions) {
        SCOPED_TRACE(p.node);
        TBoard b;
        ASSERT_TRUE(PositionAtNode(p.node, *g, b));
        EXPECT_EQ(b, p.board);
    }
    TBoard b;
    EXPECT_FALSE(PositionAtNode(6, *g, b)); // a free slot has no position
    CloseDatabase(db);
}

TEST_F(StoreFixture, RewritingGameAndNamesGivesTheSameFiles) {
    TGameDatabase db;
    OpenDatabase(Path("fix.vqb"), db);
    ASSERT_TRUE(db.open);
    auto g = NewGame(gtRussian);
    ASSERT_EQ(ReadGame(db, 1, false, *g), TDbStatus::Ok);
    ASSERT_EQ(WriteGame(*g, 1, db, true), TDbStatus::Ok);
    TQuickGameHeader q;
    ASSERT_EQ(ReadQuickHeader(db, 1, q), TDbStatus::Ok);
    ASSERT_EQ(WriteQuickHeader(db, 1, q), TDbStatus::Ok);
    ASSERT_TRUE(SaveDatabase(db));
    CloseDatabase(db);
    EXPECT_EQ(ReadBytes(Path("fix.vqb")), Record());
    EXPECT_EQ(ReadBytes(Path("fix.vqm")), MoveFile());
    EXPECT_EQ(ReadBytes(Path("fix.vqn")), Bytes(NameFile.begin(), NameFile.end()));
}
