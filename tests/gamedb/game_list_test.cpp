// The game list and what its panel shows: line texts, page arithmetic, captions, and a page read
// from a database that may have changed under it.

#include "gamedb/game_index_record.h"
#include "gamedb/game_list.h"
#include "gamedb/game_list_page.h"
#include "gamedb_test_util.h"

namespace {

using namespace gamedb_test;

TQuickGameHeader Header(const std::string& white, const std::string& black, const std::string& tournament,
                        const std::string& site, const std::string& annotator, int round, int subround,
                        int year, int result, int fullMoves, int flags) {
    TQuickGameHeader h;
    h.white = white;
    h.black = black;
    h.tournament = tournament;
    h.site = site;
    h.annotator = annotator;
    h.header.round = static_cast<std::uint8_t>(round);
    h.header.subround = static_cast<std::uint8_t>(subround);
    h.header.year = static_cast<std::uint16_t>(year);
    h.header.result = static_cast<std::uint8_t>(result);
    h.header.fullMoves = static_cast<std::uint16_t>(fullMoves);
    h.header.flags = static_cast<std::uint8_t>(flags);
    return h;
}

TEST(ListLine, Texts) {
    struct Case {
        const char* what;
        TQuickGameHeader h;
        TListLine expected;
    } cases[] = {
        {"tournament alone",
         Header("Anna", "Boris", "Cup", "", "", 0, 0, 1999, 1, 40, 0),
         {"7", "Anna - Boris", "Cup", "1999", "1-0", "40", "", false}},
        {"round without subround",
         Header("A", "B", "Cup", "", "", 3, 0, 0, 0, 0, 0),
         {"7", "A - B", "Cup [3]", "", "*", "0", "", false}},
        {"round and subround, site, annotator",
         Header("A", "B", "Cup", "Riga", "Kim", 3, 2, 2024, 2, 12, 0),
         {"7", "A - B", "Cup, Riga [3.2] (Kim)", "2024", "=", "12", "", false}},
        {"subround without round shows no brackets",
         Header("A", "B", "", "", "", 0, 5, 0, 3, 1, 0),
         {"7", "A - B", "", "", "0-1", "1", "", false}},
        {"results on time",
         Header("A", "B", "", "", "", 0, 0, 0, 4, 0, 0),
         {"7", "A - B", "", "", "1-0t", "0", "", false}},
        {"", Header("A", "B", "", "", "", 0, 0, 0, 5, 0, 0), {"7", "A - B", "", "", "0-1t", "0", "", false}},
        {"a result byte past the codes",
         Header("A", "B", "", "", "", 0, 0, 0, 9, 0, 0),
         {"7", "A - B", "", "", "*", "0", "", false}},
        {"small marks",
         Header("A", "B", "", "", "", 0, 0, 0, 0, 0, 1 | 4 | 16),
         {"7", "A - B", "", "", "*", "0", "pvc", false}},
        {"capital marks",
         Header("A", "B", "", "", "", 0, 0, 0, 0, 0, 2 | 8 | 32),
         {"7", "A - B", "", "", "*", "0", "PVC", false}},
        {"capitals win over small",
         Header("A", "B", "", "", "", 0, 0, 0, 0, 0, 63),
         {"7", "A - B", "", "", "*", "0", "PVC", false}},
        {"one kind only",
         Header("A", "B", "", "", "", 0, 0, 0, 0, 0, 8),
         {"7", "A - B", "", "", "*", "0", "V", false}},
        {"deleted",
         Header("A", "B", "", "", "", 0, 0, 0, 0, 0, 128 | 16),
         {"7", "A - B", "", "", "*", "0", "c", true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ListLineOf(7, c.h), c.expected);
    }
}

TEST(ListPage, Arithmetic) {
    // Lines of 18 pixels; the first starts at 18, so a panel holds (height - 17) / 18 lines.
    struct Case {
        const char* what;
        int height;
        std::int32_t count;
        TPageParams expected;
    } cases[] = {
        {"fewer games than fit: all shown, no scrolling", 17 + 18 * 10, 4, {4, false, 0, 0}},
        {"exactly as many as fit", 17 + 18 * 10, 10, {10, false, 0, 0}},
        {"one more than fits", 17 + 18 * 10, 11, {10, true, 1, 10}},
        {"a 150-line panel", 17 + 18 * 150 + 5, 100000, {150, true, 100000 - 150, 150}},
        {"empty list", 500, 0, {0, false, 0, 0}},
        {"a panel too small for a line", 20, 50, {0, false, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(PageParams(c.height, 18, c.count), c.expected);
    }
    // The last page ends with the last game: offset at the maximum shows count - lines + 1 .. count.
    const TPageParams p = PageParams(17 + 18 * 60, 18, 1000);
    EXPECT_EQ(FirstEntryOffset(p.scrollMaximum, p) + p.lines, 1000);
    EXPECT_EQ(FirstEntryOffset(p.scrollMaximum + 5, p), p.scrollMaximum);
    EXPECT_EQ(FirstEntryOffset(-3, p), 0);
    EXPECT_EQ(FirstEntryOffset(200, PageParams(500, 18, 5)), 0); // no scrolling: always from the top
}

TEST(ListPage, LineUnderPoint) {
    EXPECT_EQ(ListLineAt(18, 18, 0), 1);
    EXPECT_EQ(ListLineAt(35, 18, 0), 1);
    EXPECT_EQ(ListLineAt(36, 18, 0), 2);
    EXPECT_EQ(ListLineAt(36, 18, 100), 102);
    EXPECT_EQ(ListLineAt(17, 18, 0), 0); // the header bar, not the first line
    EXPECT_EQ(ListLineAt(0, 18, 0), 0);
}

TEST(ListCaption, Texts) {
    TGameDatabase db;
    EXPECT_EQ(DatabaseCaption(db, 0, 0), "Database");
    db.open = true;
    db.indexFileName = "/b/x.vqb";
    db.gameCount = 120;
    EXPECT_EQ(DatabaseCaption(db, 120, 0), "/b/x.vqb (120)");
    EXPECT_EQ(DatabaseCaption(db, 120, 3), "/b/x.vqb (3/120)");
    db.gameCount = 500;
    EXPECT_EQ(DatabaseCaption(db, 120, 3), "/b/x.vqb (found 3/120)");
    EXPECT_EQ(DatabaseCaption(db, 120, 0), "/b/x.vqb (found 120)");
    EXPECT_EQ(DatabaseCaption(db, 500, 3), "/b/x.vqb (3/500)");
    db.open = false;
}

class GameListDb : public TDbTest {
  protected:
    void SetUp() override {
        TDbTest::SetUp();
        ASSERT_TRUE(test_support::WriteRandomDatabase(Path("g.vqb"), 30, 5));
        OpenDatabase(Path("g.vqb"), GameDatabase);
        ASSERT_TRUE(GameDatabase.open);
        ResetGameList(GameList, GameDatabase);
    }
    void TearDown() override {
        CloseDatabase(GameDatabase);
        TDbTest::TearDown();
    }

    TGameDatabase GameDatabase;
    TGameList GameList;
};

TEST_F(GameListDb, ResetMarksAndChosenEntries) {
    EXPECT_EQ(GameList.Count(), 30);
    for (std::int32_t p = 1; p <= 30; ++p) {
        EXPECT_EQ(GameList[p].gameNumber, p);
        EXPECT_EQ(GameList[p].selected, 0);
        EXPECT_EQ(GameList[p].node, 0);
    }
    EXPECT_EQ(MarkedGameCount(GameList), 0);
    EXPECT_EQ(ChosenListPositions(GameList, 4), (std::vector<std::int32_t>{4}));
    EXPECT_TRUE(ChosenListPositions(GameList, 0).empty());
    EXPECT_TRUE(ChosenListPositions(GameList, 31).empty());
    GameList[9].selected = 1;
    GameList[2].selected = 1;
    EXPECT_EQ(MarkedGameCount(GameList), 2);
    EXPECT_EQ(ChosenListPositions(GameList, 4), (std::vector<std::int32_t>{2, 9}));

    // A search result: fewer entries, in any order, with their found nodes; a reset undoes it.
    GameList.Clear();
    GameList.Append(17, 5);
    GameList.Append(3, 0);
    TGameIndexRecord r, direct;
    ASSERT_EQ(ReadListedRecord(GameDatabase, GameList, 1, r), TDbStatus::Ok);
    ASSERT_EQ(ReadIndexRecord(GameDatabase, 17, direct), TDbStatus::Ok);
    EXPECT_EQ(r, direct);
    EXPECT_EQ(ReadListedRecord(GameDatabase, GameList, 3, r), TDbStatus::NoSuchGame);
    ClearGameListMarks(GameList, GameDatabase);
    EXPECT_EQ(GameList.Count(), 30);
    EXPECT_EQ(GameList[1].gameNumber, 1);
    EXPECT_EQ(GameList[1].node, 0);

    CloseDatabase(GameDatabase);
    ResetGameList(GameList, GameDatabase);
    EXPECT_EQ(GameList.Count(), 0);
}

TEST_F(GameListDb, PageReadsOnlyWhatIsThere) {
    const std::vector<TListLine> page = ReadListPage(GameDatabase, GameList, 25, 10);
    ASSERT_EQ(page.size(), 10u);
    TQuickGameHeader h;
    ASSERT_EQ(ReadQuickHeader(GameDatabase, 26, h), TDbStatus::Ok);
    EXPECT_EQ(page[0], ListLineOf(26, h));
    EXPECT_EQ(page[4].number, "30");
    for (int i = 5; i < 10; ++i) // past the list
        EXPECT_EQ(page[std::size_t(i)], TListLine{});

    // A stale list naming games the index file no longer holds (or never held).
    GameList.Append(31);
    GameList.Append(-4);
    GameList.Append(2000000000);
    const std::vector<TListLine> stale = ReadListPage(GameDatabase, GameList, 29, 4);
    EXPECT_EQ(stale[0].number, "30");
    EXPECT_EQ(stale[1], TListLine{});
    EXPECT_EQ(stale[2], TListLine{});
    EXPECT_EQ(stale[3], TListLine{});

    // A page taller than any fixed table, and a closed database that shows nothing.
    EXPECT_EQ(ReadListPage(GameDatabase, GameList, 0, 250).size(), 250u);
    CloseDatabase(GameDatabase);
    for (const TListLine& l : ReadListPage(GameDatabase, GameList, 0, 5))
        EXPECT_EQ(l, TListLine{});
}

} // namespace
