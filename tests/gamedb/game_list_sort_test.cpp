// Sorting the game list: the three orders in CP1251 byte order with ties in list order, and the
// command that renumbers the games only when the list holds each game exactly once.

#include "gamedb/game_index_record.h"
#include "gamedb/game_list_sort.h"
#include "list_tools_fixture.h"

using namespace gamedb_test;

namespace {

// "ё" is byte 184, "а" 224, "Я" 223: byte order puts ё first, then Я, then а.
const std::string Yo = "\xB8\xEB\xEA\xE0"; // ёлка
const std::string A = "\xE0\xED\xED\xE0";  // анна
const std::string Ya = "\xDF\xEA\xEE\xE2"; // Яков

class GameListSort : public TListToolsTest {
  protected:
    void SetUp() override {
        TListToolsTest::SetUp();
        Make({
            {A, "Zed", "Open", "", 1999, 2, 0},     // 1
            {"bob", "Amy", "Cup", "", 1998, 1, 0},  // 2
            {Yo, "adam", "Cup", "", 1999, 11, 2},   // 3
            {"Zoe", "Zed", "Cup", "", 1999, 1, 12}, // 4
            {Ya, "Amy", "Open", "", 1999, 2, 0},    // 5
            {"bob", Yo, "", "", 0, 0, 0},           // 6
            {A, "Amy", "Cup", "", 1999, 11, 1},     // 7
        });
    }
};

TEST_F(GameListSort, KindsOrderByBytesAndKeepListOrderOnTies) {
    struct TCase {
        TSortKind kind;
        std::vector<int> expected;
    };
    // Listed in reverse, so a tie that kept game order instead of list order would show.
    const TCase cases[] = {
        // Zoe < bob (90 < 98: letter case counts), Latin before Cyrillic, ё < Я < а; equal names
        // stay as listed (6 before 2).
        {TSortKind::White, {4, 6, 2, 3, 5, 7, 1}},
        // Amy 7 5 2 (list order), Zed 4 1, adam 3, ёлка 6.
        {TSortKind::Black, {7, 5, 2, 4, 1, 3, 6}},
        // Year, then tournament, then round; the subround is no key (7 and 3 tie, list order).
        {TSortKind::YearTournament, {6, 2, 4, 7, 3, 5, 1}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        List({7, 6, 5, 4, 3, 2, 1});
        ASSERT_EQ(SortGameList(db, list, 1, list.Count(), c.kind), TDbStatus::Ok);
        EXPECT_EQ(Listed(), c.expected);
    }
}

TEST_F(GameListSort, SortsOnlyTheRangeAndKeepsEntryMarks) {
    List({7, 6, 5, 4, 3, 2, 1});
    list[2].selected = 1; // game 6
    list[2].node = 9;
    ASSERT_EQ(SortGameList(db, list, 2, 5, TSortKind::White), TDbStatus::Ok);
    EXPECT_EQ(Listed(), (std::vector<int>{7, 4, 6, 3, 5, 2, 1}));
    EXPECT_EQ(list[3].gameNumber, 6);
    EXPECT_EQ(list[3].selected, 1);
    EXPECT_EQ(list[3].node, 9);
}

TEST_F(GameListSort, AListedGameWithoutRecordLeavesTheListAsItWas) {
    List({3, 99, 1});
    EXPECT_EQ(SortGameList(db, list, 1, 3, TSortKind::White), TDbStatus::NoSuchGame);
    EXPECT_EQ(Listed(), (std::vector<int>{3, 99, 1}));
}

TEST_F(GameListSort, AFullListRenumbersTheGamesForGood) {
    std::vector<TGameIndexRecord> before;
    ASSERT_EQ(ReadAllIndexRecords(db, before), TDbStatus::Ok);
    std::vector<std::unique_ptr<TGame>> games;
    for (int n = 1; n <= db.gameCount; ++n) {
        games.push_back(std::make_unique<TGame>());
        ASSERT_EQ(ReadGame(db, n, false, *games.back()), TDbStatus::Ok);
    }
    list[2].selected = 1;

    const TSortListResult r = SortListedGames(db, list, TSortKind::White);
    ASSERT_EQ(r.status, TDbStatus::Ok);
    EXPECT_TRUE(r.renumbered);
    // The list is every game again, in number order, none selected.
    EXPECT_EQ(Listed(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(list[2].selected, 0);

    // The records read back in White's order, each game whole with its own moves.
    const std::vector<int> order = {4, 2, 6, 3, 5, 1, 7};
    std::vector<TGameIndexRecord> after;
    ASSERT_EQ(ReadAllIndexRecords(db, after), TDbStatus::Ok);
    ASSERT_EQ(after.size(), before.size());
    TGame g;
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(after[i], before[std::size_t(order[i] - 1)]) << i;
        ASSERT_EQ(ReadGame(db, std::int32_t(i + 1), false, g), TDbStatus::Ok);
        const TGame& was = *games[std::size_t(order[i] - 1)];
        EXPECT_EQ(g.white, was.white);
        EXPECT_EQ(g.header.nodeCount, was.header.nodeCount);
        EXPECT_EQ(MainLineLength(g), MainLineLength(was));
    }
    // Reopened, the order holds.
    CloseDatabase(db);
    OpenDatabase(Path("db.vqb"), db);
    ASSERT_EQ(ReadAllIndexRecords(db, after), TDbStatus::Ok);
    EXPECT_EQ(after[0], before[3]);
}

TEST_F(GameListSort, AListThatIsNotEveryGameOnceOnlyOrdersTheList) {
    struct TCase {
        const char* what;
        std::vector<int> listed, expected;
    };
    const TCase cases[] = {
        {"a search result", {5, 3, 1}, {3, 5, 1}},
        // The full count, but game 7 twice and game 2 missing: a rewrite would store 7 twice and lose 2.
        {"a game listed twice", {7, 6, 5, 4, 3, 7, 1}, {4, 6, 3, 5, 7, 7, 1}},
        {"a number past the index", {7, 6, 5, 4, 3, 2, 1, 8}, {}},
    };
    const Bytes index = ReadBytes(Path("db.vqb"));
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        List(c.listed);
        const TSortListResult r = SortListedGames(db, list, TSortKind::White);
        EXPECT_FALSE(r.renumbered);
        if (c.expected.empty()) {
            EXPECT_EQ(r.status, TDbStatus::NoSuchGame);
            EXPECT_EQ(Listed(), c.listed);
        } else {
            EXPECT_EQ(r.status, TDbStatus::Ok);
            EXPECT_EQ(Listed(), c.expected);
        }
        EXPECT_EQ(ReadBytes(Path("db.vqb")), index);
        EXPECT_EQ(db.gameCount, 7);
    }
}

TEST_F(GameListSort, AReadOnlyDatabaseKeepsItsIndexAndTheSortedList) {
    ASSERT_NO_FATAL_FAILURE(ReopenReadOnly());
    const Bytes index = ReadBytes(Path("db.vqb"));
    const TSortListResult r = SortListedGames(db, list, TSortKind::Black);
    EXPECT_EQ(r.status, TDbStatus::ReadOnly);
    EXPECT_TRUE(r.sorted);
    EXPECT_FALSE(r.renumbered);
    EXPECT_EQ(Listed(), (std::vector<int>{2, 5, 7, 1, 4, 3, 6}));
    EXPECT_EQ(ReadBytes(Path("db.vqb")), index);
}

TEST(RankNames, EqualNamesShareARankAndAMissingNameRanksAsItReads) {
    TNameList names;
    for (const char* n : {"b", "ERROR!!!", "a", "b", "Z"})
        names.Append(n);
    // Byte order: "ERROR!!!" (index 1 and any index past the end), "Z", "a", "b".
    EXPECT_EQ(RankNames(names), (std::vector<std::uint32_t>{3, 0, 2, 3, 1, 0}));
}

} // namespace
