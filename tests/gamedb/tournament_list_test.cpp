// The tournaments list: counting the listed games per tournament, site and year, the filters and
// totals of the grid, and the saved text.

#include "gamedb/tournament_list.h"
#include "list_tools_fixture.h"

using namespace gamedb_test;

namespace {

class TournamentList : public TListToolsTest {
  protected:
    void SetUp() override {
        TListToolsTest::SetUp();
        const std::string cyr = "\xCA\xF3\xE1\xEE\xEA"; // Кубок
        Make({
            {"a", "b", "City Cup", "Town", 1999, 1, 0}, // 1
            {"a", "b", "City Cup", "Town", 1999, 2, 0}, // 2
            {"a", "b", "City Cup", "Town", 2000, 1, 0}, // 3: another year
            {"a", "b", "City Cup", "", 1999, 1, 0},     // 4: another site
            {"a", "b", "", "Town", 1999, 1, 0},         // 5: no tournament, a site
            {"a", "b", cyr, "", 1999, 1, 0},            // 6
            {"a", "b", "City Cup", "Town", 1999, 3, 0}, // 7
            {"a", "b", "", "", 0, 0, 0},                // 8: no tournament, no site
            {"a", "b", cyr, "", 1999, 2, 0},            // 9
        });
    }
    TTournamentList tl;
};

TEST_F(TournamentList, CountsGamesPerTournamentSiteAndYearInFirstSeenOrder) {
    ASSERT_EQ(BuildTournamentList(db, list, tl), TDbStatus::Ok);
    const std::string cyr = "\xCA\xF3\xE1\xEE\xEA";
    const std::vector<std::tuple<std::string, std::string, int, int>> expected = {
        {"City Cup", "Town", 1999, 3},
        {"City Cup", "Town", 2000, 1},
        {"City Cup", "", 1999, 1},
        {"", "Town", 1999, 1},
        {cyr, "", 1999, 2},
        {"", "", 0, 1},
    };
    ASSERT_EQ(tl.Entries().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const TTournEntry& e = tl.Entries()[i];
        EXPECT_EQ(std::tie(e.tournament, e.site, e.year, e.games),
                  std::tie(std::get<0>(expected[i]), std::get<1>(expected[i]), std::get<2>(expected[i]),
                           std::get<3>(expected[i])))
            << i;
    }
    // After a search only the found games count; a new "Create!" starts from nothing.
    List({9, 2, 6});
    ASSERT_EQ(BuildTournamentList(db, list, tl), TDbStatus::Ok);
    ASSERT_EQ(tl.Entries().size(), 2u);
    EXPECT_EQ(tl.Entries()[0].tournament, cyr);
    EXPECT_EQ(tl.Entries()[0].games, 2);
    EXPECT_EQ(tl.Entries()[1].games, 1);
}

TEST_F(TournamentList, NamesCompareWithLetterCase) {
    tl.AddTournament("Cup", "Town", 1999);
    tl.AddTournament("CUP", "Town", 1999);
    tl.AddTournament("Cup", "Town", 1999);
    // Fields run together would make these two one entry.
    tl.AddTournament("Cup1", "999", 1);
    tl.AddTournament("Cup", "1999", 1);
    // Nor may a byte that a damaged name file can hold.
    tl.AddTournament("a\x01b", "c", 1);
    tl.AddTournament("a", "b\x01c", 1);
    ASSERT_EQ(tl.Entries().size(), 6u);
    EXPECT_EQ(tl.Entries()[0].games, 2);
    EXPECT_EQ(tl.Entries()[1].games, 1);
}

TEST_F(TournamentList, GridFiltersAndTotals) {
    ASSERT_EQ(BuildTournamentList(db, list, tl), TDbStatus::Ok);
    struct TCase {
        int minCount;
        bool hideBlanks;
        std::vector<std::string> counts; // the Count column of the shown rows
        const char* totals;
    };
    const TCase cases[] = {
        {0, false, {"3", "1", "1", "1", "2", "1"}, "Tournaments=6, games=9"},
        // Single games hidden.
        {1, false, {"3", "2"}, "Tournaments=2, games=5"},
        // Entries without a tournament go, whatever their site.
        {0, true, {"3", "1", "1", "2"}, "Tournaments=4, games=7"},
        {2, true, {"3"}, "Tournaments=1, games=3"},
        {3, false, {}, "Tournaments=0, games=0"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.totals);
        const TTournamentGrid g = FillTournamentGrid(tl, c.minCount, c.hideBlanks);
        ASSERT_EQ(g.rows.size(), c.counts.size() + 1);
        EXPECT_EQ(g.rows[0], (std::array<std::string, 5>{"No", "Tournament", "Site", "Year", "Count"}));
        for (std::size_t r = 1; r < g.rows.size(); ++r) {
            EXPECT_EQ(g.rows[r][0], std::to_string(r));
            EXPECT_EQ(g.rows[r][4], c.counts[r - 1]);
        }
        EXPECT_EQ(g.totals, c.totals);
    }
}

TEST_F(TournamentList, SavedFileHoldsTheShownRowsByteForByte) {
    ASSERT_EQ(BuildTournamentList(db, list, tl), TDbStatus::Ok);
    const TTournamentGrid g = FillTournamentGrid(tl, 0, true);
    ASSERT_TRUE(SaveTournamentList(g, Path("cups.lst")));
    EXPECT_EQ(test_support::ReadText(Path("cups.txt")), "1,City Cup,Town,1999,3\r\n"
                                                        "2,City Cup,Town,2000,1\r\n"
                                                        "3,City Cup,,1999,1\r\n"
                                                        "4,\xCA\xF3\xE1\xEE\xEA,,1999,2\r\n");
    // Saved again over it, and into a folder that does not exist: an error, nothing half-written.
    ASSERT_TRUE(SaveTournamentList(FillTournamentGrid(tl, 2, false), Path("cups.txt")));
    EXPECT_EQ(test_support::ReadText(Path("cups.txt")), "1,City Cup,Town,1999,3\r\n");
    EXPECT_FALSE(SaveTournamentList(g, Path("missing/cups.txt")));
}

TEST_F(TournamentList, AListedGameWithoutRecordGivesAnErrorAndNoEntries) {
    List({1, 42});
    EXPECT_EQ(BuildTournamentList(db, list, tl), TDbStatus::NoSuchGame);
    EXPECT_TRUE(tl.Entries().empty());
    CloseDatabase(db);
    EXPECT_EQ(BuildTournamentList(db, list, tl), TDbStatus::NotOpen);
}

} // namespace
