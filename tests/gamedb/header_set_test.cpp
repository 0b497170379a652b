// The header set: the chosen fields reach only the selected games, new names reach the name file,
// and the date only when it is chosen.

#include "gamedb/header_set.h"
#include "list_tools_fixture.h"

using namespace gamedb_test;

namespace {

class HeaderSet : public TListToolsTest {
  protected:
    void SetUp() override {
        TListToolsTest::SetUp();
        Make({
            {"Ann", "Bob", "Cup", "Town", 1999, 1, 0},
            {"Cid", "Dan", "Open", "City", 2001, 2, 0},
            {"Eve", "Fay", "Cup", "Town", 2003, 3, 0},
            {"Gus", "Hal", "Open", "City", 2005, 4, 0},
        });
    }
    TQuickGameHeader Header(int n) {
        TQuickGameHeader h;
        EXPECT_EQ(ReadQuickHeader(db, n, h), TDbStatus::Ok);
        return h;
    }
};

TEST_F(HeaderSet, WritesTheChosenFieldsIntoTheSelectedGamesOnly) {
    const std::string newCup = "\xCA\xF3\xE1\xEE\xEA 2026"; // Кубок 2026, not in the lists yet
    List({4, 2, 1, 3});
    list[1].selected = list[2].selected = 1; // games 4 and 2
    std::vector<TQuickGameHeader> before;
    for (int n = 1; n <= 4; ++n)
        before.push_back(Header(n));
    std::vector<std::unique_ptr<TGame>> moves;
    for (int n = 1; n <= 4; ++n) {
        moves.push_back(std::make_unique<TGame>());
        ASSERT_EQ(ReadGame(db, n, false, *moves.back()), TDbStatus::Ok);
    }

    THeaderSet set;
    set.setTournament = true;
    set.tournament = newCup;
    set.setBlack = true;
    set.black = "Ann";    // an existing name: no new entry
    set.white = "Nobody"; // not chosen: not written
    set.year = 2026;      // the date is not chosen either
    const THeaderSetResult r = ApplyHeaderSet(db, list, set);
    ASSERT_EQ(r.status, TDbStatus::Ok);
    EXPECT_EQ(r.changed, 2);

    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        const TQuickGameHeader h = Header(n);
        const TQuickGameHeader& was = before[std::size_t(n - 1)];
        const bool chosen = n == 4 || n == 2;
        EXPECT_EQ(h.tournament, chosen ? newCup : was.tournament);
        EXPECT_EQ(h.black, chosen ? "Ann" : was.black);
        EXPECT_EQ(h.white, was.white);
        EXPECT_EQ(h.site, was.site);
        EXPECT_EQ(h.header.year, was.header.year);
        EXPECT_EQ(h.header.round, was.header.round);
        // The moves stay with the game.
        TGame g;
        ASSERT_EQ(ReadGame(db, n, false, g), TDbStatus::Ok);
        EXPECT_EQ(MainLineLength(g), MainLineLength(*moves[std::size_t(n - 1)]));
    }
    // The new name is in the name file: a fresh open finds it.
    const std::size_t players = db.players.Size();
    CloseDatabase(db);
    OpenDatabase(Path("db.vqb"), db);
    ASSERT_TRUE(db.open);
    EXPECT_EQ(Header(4).tournament, newCup);
    EXPECT_EQ(db.players.Size(), players);
}

TEST_F(HeaderSet, TheDateOnlyWithItsBox) {
    for (const bool dated : {false, true}) {
        SCOPED_TRACE(dated);
        list.Reset(db.gameCount);
        list[3].selected = 1;
        THeaderSet set;
        set.setDate = dated;
        set.year = 2010;
        set.month = 7;
        set.day = 31;
        ASSERT_EQ(ApplyHeaderSet(db, list, set).status, TDbStatus::Ok);
        const TQuickGameHeader h = Header(3);
        EXPECT_EQ(h.header.year, dated ? 2010 : 2003);
        EXPECT_EQ(h.header.month, dated ? 7 : 0);
        EXPECT_EQ(h.header.day, dated ? 31 : 0);
        EXPECT_EQ(h.white, "Eve");
    }
}

TEST_F(HeaderSet, NoSelectionChangesNothing) {
    const Bytes index = ReadBytes(Path("db.vqb")), names = ReadBytes(Path("db.vqn"));
    THeaderSet set;
    set.setWhite = set.setBlack = set.setTournament = set.setSite = set.setDate = true;
    set.white = "Zed";
    const THeaderSetResult r = ApplyHeaderSet(db, list, set);
    EXPECT_EQ(r.status, TDbStatus::Ok);
    EXPECT_EQ(r.changed, 0);
    EXPECT_EQ(ReadBytes(Path("db.vqb")), index);
    EXPECT_EQ(ReadBytes(Path("db.vqn")), names);
}

TEST_F(HeaderSet, AReadOnlyDatabaseStopsAtTheFirstGame) {
    ASSERT_NO_FATAL_FAILURE(ReopenReadOnly());
    const Bytes index = ReadBytes(Path("db.vqb"));
    list[1].selected = list[2].selected = 1;
    THeaderSet set;
    set.setWhite = true;
    set.white = "Zed";
    const THeaderSetResult r = ApplyHeaderSet(db, list, set);
    EXPECT_EQ(r.status, TDbStatus::ReadOnly);
    EXPECT_EQ(r.changed, 0);
    EXPECT_EQ(ReadBytes(Path("db.vqb")), index);
}

} // namespace
