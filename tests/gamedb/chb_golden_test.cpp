// A CHB file assembled by hand from the format's byte table: every field's offset and bytes are
// written out here, and the import must give exactly the headers, CP1251 names, trees, deleted
// marks and log that the bytes mean.

#include "gamedb/chb_import.h"
#include "gamedb/game_block.h"
#include "gamedb/game_index_record.h"
#include "gamedb/progress.h"
#include "gamedb_test_util.h"
#include "tests/gamedb/chb_test_file.h"

#include <gtest/gtest.h>

namespace {

using chb_test::Put;
using chb_test::Record;
using namespace gamedb_test;

// Unread bytes and unused move slots hold junk, which the import must ignore.
Record JunkFilled() {
    Record r;
    r.fill(0xEE);
    return r;
}

// The four plies c3-d4 f6-e5 d4:f6 g7:e5 of the standard Russian start: codes 049B, 0B64, 06ED,
// 0DA4 (origin row - 1 in bits 9-12, origin column - 1 in 6-8, destination row - 1 in 3-5, column
// - 1 in 0-2), little-endian from offset 170.
void PutFourPlies(Record& r) {
    Put(r, 170, {0x9B, 0x04, 0x64, 0x0B, 0xED, 0x06, 0xA4, 0x0D});
}

// The standard 8x8 start key's first 11 bytes: 93 93 93 93 62 62 37 31 31 31 56.
void PutStandardKey(Record& r) {
    Put(r, 159, {0x5D, 0x5D, 0x5D, 0x5D, 0x3E, 0x3E, 0x25, 0x1F, 0x1F, 0x1F, 0x38});
}

Record Record1() {
    Record r = JunkFilled();
    Put(r, 0, {0x06, 0x88, 0xA2, 0xA0, 0xAD, 0xAE, 0xA2}); // side 0, first part: "Иванов" in CP866
    Put(r, 21, {0x04, 0x8F, 0xF1, 0xE2, 0xE0});            // second part: "Пётр"
    Put(r, 42, {0x92, 0x09});                              // rating 2450
    Put(r, 44, {0x07});                                    // title code 7: "G"
    Put(r, 49, {0x07, 0x91, 0xA8, 0xA4, 0xAE, 0xE0, 0xAE, 0xA2}); // side 1: "Сидоров"
    Put(r, 70, {0x04, 0x8E, 0xAB, 0xA5, 0xA3});                   // "Олег"
    Put(r, 91, {0x06, 0x09});                                     // rating 2310
    Put(r, 93, {0x05});                                           // title code 5: "C"
    // Tournament: "Чемпионат СССР" in CP866.
    Put(r, 98, {0x0E, 0x97, 0xA5, 0xAC, 0xAF, 0xA8, 0xAE, 0xAD, 0xA0, 0xE2, 0x20, 0x91, 0x91, 0x91, 0x90});
    Put(r, 149, {0x05, 0x02, 0x11}); // round 5, subround 2, day 17
    Put(r, 153, {0x03});             // month 3
    Put(r, 155, {0xC1, 0x07});       // year 1985
    Put(r, 157, {0x00, 0x04});       // side 0 moves first; 4 plies
    PutStandardKey(r);
    PutFourPlies(r);
    Put(r, 680, {0x02});       // result 2: "="
    Put(r, 685, {0x00, 0x03}); // not deleted; byte 686 = 3
    return r;
}

Record Record2() {
    Record r = JunkFilled();
    Put(r, 0, {0x05, 'S', 'm', 'i', 't', 'h'});
    Put(r, 21, {0x04, 'J', 'o', 'h', 'n'});
    Put(r, 42, {0x00, 0x00, 0x08}); // no rating; title code 8: no title
    // Side 1: length byte 255 over a 20-byte field, then an empty second part.
    Put(r, 49, {0xFF, 'P', 'e', 't', 'r', 'o', 'v', ' ', 'N', 'i', 'k',
                'o',  'l', 'a', 'i', ' ', 'I', 'v', 'a', 'n', 'o'});
    Put(r, 70, {0x00});
    Put(r, 91, {0x00, 0x00, 0x00});
    Put(r, 98, {0x04, 'O', 'p', 'e', 'n'});
    Put(r, 149, {0x00, 0x00, 0x00});
    Put(r, 153, {0x00});
    Put(r, 155, {0x00, 0x00});
    Put(r, 157, {0x00, 0x05}); // 5 plies
    PutStandardKey(r);
    PutFourPlies(r);
    Put(r, 178, {0x3F, 0x00}); // a1-h8: no such move
    Put(r, 680, {0x09});       // result 9: unknown
    Put(r, 685, {0x00, 0x00});
    return r;
}

Record Record3() {
    Record r = JunkFilled();
    Put(r, 0, {0x03, 'A', 'b', 'c'});
    Put(r, 21, {0x00});
    Put(r, 42, {0x00, 0x00, 0x00});
    Put(r, 49, {0x03, 'D', 'e', 'f'});
    Put(r, 70, {0x00});
    Put(r, 91, {0x00, 0x00, 0x00});
    Put(r, 98, {0x00});
    Put(r, 149, {0x01, 0x00, 0x01});
    Put(r, 153, {0x01});
    Put(r, 155, {0xD0, 0x07}); // 2000
    Put(r, 157, {0x01, 0x04}); // side 1 first; 4 plies
    PutStandardKey(r);
    Put(r, 159 + 4, {0x7D}); // key byte 4 = 125: a digit above 4
    PutFourPlies(r);
    Put(r, 680, {0x03});
    Put(r, 685, {0x00, 0x00});
    return r;
}

// Node k of a tree: (captures, from, squares...).
struct TNode {
    int captures, from;
    std::vector<int> squares;
};

void ExpectMainLine(const TGame& g, const std::vector<TNode>& nodes) {
    ASSERT_EQ(g.header.nodeCount, nodes.size());
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        SCOPED_TRACE(k + 1);
        const TMove& m = g.nodes[k + 1];
        EXPECT_EQ(m.parent, k);
        EXPECT_EQ(m.mainLine, 1);
        EXPECT_EQ(m.free, 0);
        EXPECT_EQ(m.annotation, 0);
        EXPECT_EQ(m.captures, nodes[k].captures);
        EXPECT_EQ(m.from, nodes[k].from);
        for (std::size_t i = 0; i < nodes[k].squares.size(); ++i)
            EXPECT_EQ(m.squares[i], nodes[k].squares[i]);
    }
}

class ChbGolden : public TDbTest {};

TEST_F(ChbGolden, ImportGivesTheHeadersNamesTreesAndLogTheBytesMean) {
    chb_test::WriteRecords(Path("golden.chb"), {chb_test::JunkRecord(), Record1(), Record2(), Record3()});
    TGameDatabase db;
    db.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("golden.vqb"), db));
    const TChbImportResult res = ImportChbDatabase(Path("golden.chb"), db, gtRussian);
    EXPECT_EQ(res.status, TChbImportStatus::Done);
    EXPECT_EQ(res.records, 3);
    EXPECT_EQ(res.stored, 3);
    EXPECT_EQ(res.whole, 1);
    EXPECT_EQ(db.gameCount, 3);
    CloseDatabase(db);

    OpenDatabase(Path("golden.vqb"), db);
    ASSERT_TRUE(db.open);
    ASSERT_EQ(db.gameCount, 3);
    auto g = std::make_unique<TGame>();
    const std::vector<TNode> fourPlies = {{0, 10, {14}}, {0, 23, {19}}, {1, 14, {19, 23}}, {1, 28, {23, 19}}};

    ASSERT_EQ(ReadGame(db, 1, false, *g), TDbStatus::Ok);
    EXPECT_EQ(g->white, "\xC8\xE2\xE0\xED\xEE\xE2, \xCF\xB8\xF2\xF0"); // "Иванов, Пётр" in CP1251
    EXPECT_EQ(g->black, "\xD1\xE8\xE4\xEE\xF0\xEE\xE2, \xCE\xEB\xE5\xE3");
    EXPECT_EQ(g->tournament, "\xD7\xE5\xEC\xEF\xE8\xEE\xED\xE0\xF2 \xD1\xD1\xD1\xD0");
    EXPECT_EQ(g->annotator, "");
    EXPECT_EQ(g->site, "");
    const TGameIndexRecord& h1 = g->header;
    EXPECT_EQ(h1.whiteRating, 2450);
    EXPECT_EQ(h1.whiteTitle, 2);
    EXPECT_STREQ(TitleText(h1.whiteTitle), "G");
    EXPECT_EQ(h1.blackRating, 2310);
    EXPECT_EQ(h1.blackTitle, 5);
    EXPECT_STREQ(TitleText(h1.blackTitle), "C");
    EXPECT_EQ(h1.round, 5);
    EXPECT_EQ(h1.subround, 2);
    EXPECT_EQ(h1.day, 17);
    EXPECT_EQ(h1.month, 3);
    EXPECT_EQ(h1.year, 1985);
    EXPECT_EQ(h1.startSide, 0);
    EXPECT_EQ(h1.variant, gtRussian);
    EXPECT_EQ(h1.result, grDraw);
    EXPECT_EQ(h1.nodeToShow, 3);
    EXPECT_EQ(h1.flags & gfDeleted, 0);
    EXPECT_EQ(h1.fullMoves, 2);
    EXPECT_EQ(g->startKey, StandardKey64());
    ExpectMainLine(*g, fourPlies);

    ASSERT_EQ(ReadGame(db, 2, false, *g), TDbStatus::Ok);
    EXPECT_EQ(g->white, "Smith, John");
    EXPECT_EQ(g->black, "Petrov Nikolai Ivano"); // the field's 20 characters, no ", "
    EXPECT_EQ(g->tournament, "Open");
    EXPECT_EQ(g->header.whiteTitle, 0);
    EXPECT_EQ(g->header.result, grNone);
    EXPECT_NE(g->header.flags & gfDeleted, 0);
    ExpectMainLine(*g, fourPlies);

    ASSERT_EQ(ReadGame(db, 3, false, *g), TDbStatus::Ok);
    EXPECT_EQ(g->white, "Abc");
    EXPECT_EQ(g->header.year, 2000);
    EXPECT_EQ(g->header.startSide, 1);
    EXPECT_EQ(g->header.result, grBlackWins);
    EXPECT_NE(g->header.flags & gfDeleted, 0);
    EXPECT_EQ(g->header.nodeCount, 0);
    EXPECT_EQ(g->startKey, StandardKey64());
    CloseDatabase(db);

    ASSERT_EQ(res.logPath, Path("golden.log"));
    const Bytes log = ReadBytes(res.logPath);
    const std::string text(log.begin(), log.end());
    EXPECT_EQ(text.find("Record 1 "), std::string::npos);
    EXPECT_NE(
        text.find("Record 2 (Smith, John - Petrov Nikolai Ivano): move 5 (code 0x003F) matches no legal "
                  "move: 4 moves stored, marked deleted"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("result code 9"), std::string::npos);
    EXPECT_NE(text.find("Record 3 (Abc - Def): start position outside the 8x8 board"), std::string::npos)
        << text;
    // The closing message tells the user where to look.
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find("2 of 3 games could not be read whole"), std::string::npos);
    EXPECT_NE(prompt.messages[0].find("golden.log"), std::string::npos);
}

} // namespace
