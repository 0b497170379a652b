// The sort dialog, the tournaments list window and "Headers Edit" offscreen, and the database
// window's commands that show them, on a generated database.

#include "gamedb/game_index_record.h"
#include "gamedb/game_list.h"
#include "gamedb/game_list_sort.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/database_hooks.h"
#include "gamedb/ui/db_panel.h"
#include "gamedb/ui/headers_edit.h"
#include "gamedb/ui/list_form.h"
#include "gamedb/ui/sort_form.h"
#include "platform/codepage.h"
#include "tests/gamedb_ui/database_window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr std::int32_t Games = 120;

class ListTools : public test_support::DatabaseWindowTest<> {
  protected:
    ListTools() : DatabaseWindowTest("listtools") {}
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(OpenRandomDatabase(Games, 23));
        Show(1000, 700);
    }
    void TearDown() override { DatabaseWindowTest::TearDown(); }
    std::string WhiteOf(std::int32_t game) {
        TQuickGameHeader h;
        EXPECT_EQ(ReadQuickHeader(session().GameDatabase, game, h), TDbStatus::Ok);
        return h.white;
    }
    std::string Title() const { return form->windowTitle().toStdString(); }
};

TEST_F(ListTools, TheToolItemsAreEnabled) {
    for (const char* name : {"Sortgameslist1", "Maketournamentslist1", "Set1"}) {
        ASSERT_NE(form->Item(name), nullptr) << name;
        EXPECT_TRUE(form->Item(name)->isEnabled()) << name;
    }
}

TEST_F(ListTools, SortDialogChoosesTheKindAndTheWindowRenumbersTheGames) {
    TSortForm sort;
    EXPECT_EQ(sort.SortKind(), 1);
    sort.yt->setChecked(true);
    EXPECT_EQ(sort.SortKind(), 3);
    sort.bp->setChecked(true);
    EXPECT_EQ(sort.SortKind(), 2);
    Hand(&TDatabaseForm::TDialogs::SortForm, &sort);
    // The user picks "by White Player" and OK while the dialog is up.
    QTimer::singleShot(0, [&] {
        sort.wp->setChecked(true);
        sort.findChild<QPushButton*>("OkButton")->click();
    });
    session().GameDatabase.currentGame = 40;
    form->Sortgameslist1Click();
    EXPECT_EQ(sort.result(), 1);

    // The whole list: the games themselves now stand in White's order, listed 1..n from the top.
    EXPECT_EQ(Title(), file + " (" + std::to_string(Games) + ")");
    EXPECT_EQ(session().GameDatabase.currentGame, 1);
    ASSERT_EQ(session().GameListCount(), Games);
    for (std::int32_t n = 1; n < Games; ++n) {
        EXPECT_EQ(session().GameList[n].gameNumber, n);
        EXPECT_LE(WhiteOf(n), WhiteOf(n + 1)) << n;
    }
    EXPECT_EQ(form->DBPanel->Lines()[0].number, "1");
    EXPECT_EQ(form->DBPanel->Lines()[0].players.substr(0, WhiteOf(1).size()), WhiteOf(1));
}

TEST_F(ListTools, SortingFoundGamesOrdersTheListOnly) {
    const auto index = test_support::ReadBytes(file);
    session().GameList.Clear();
    for (std::int32_t n = Games; n >= 1; n -= 3)
        session().GameList.Append(n);
    const std::int32_t found = session().GameListCount();
    form->ListChanged();
    TSortForm sort;
    Hand(&TDatabaseForm::TDialogs::SortForm, &sort);
    QTimer::singleShot(0, [&] { sort.reject(); }); // Cancel: nothing changes
    form->Sortgameslist1Click();
    EXPECT_EQ(session().GameList[1].gameNumber, Games);

    form->SortGames(2);
    EXPECT_EQ(test_support::ReadBytes(file), index);
    EXPECT_EQ(Title(), file + " (found " + std::to_string(found) + ")");
    ASSERT_EQ(session().GameListCount(), found);
    std::string last;
    for (std::int32_t p = 1; p <= found; ++p) {
        TQuickGameHeader h;
        ASSERT_EQ(ReadQuickHeader(session().GameDatabase, session().GameList[p].gameNumber, h),
                  TDbStatus::Ok);
        EXPECT_LE(last, h.black) << p;
        last = h.black;
    }
}

TEST_F(ListTools, AReadOnlyDatabaseIsSortedInTheListAndSaysSo) {
    CloseDatabase(session().GameDatabase);
    OpenDatabase(file, session().GameDatabase, TOpenMode::ReadOnly);
    ASSERT_TRUE(session().GameDatabase.open);
    form->RefreshGameList();
    const auto index = test_support::ReadBytes(file);
    form->SortGames(1);
    EXPECT_EQ(test_support::ReadBytes(file), index);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].rfind("The list is sorted, but the games keep their numbers", 0), 0u);
    EXPECT_LE(WhiteOf(session().GameList[1].gameNumber), WhiteOf(session().GameList[2].gameNumber));
    EXPECT_NE(session().GameList[1].gameNumber, 1);
}

TEST_F(ListTools, TournamentsWindowCreatesFiltersAndSaves) {
    TListForm list;
    list.SetSession(&session());
    list.Button1Click();
    const std::size_t entries = list.Entries().Entries().size();
    ASSERT_GT(entries, 0u);
    EXPECT_EQ(list.t->model()->rowCount(), int(entries) + 1);
    EXPECT_EQ(list.t->model()->index(0, 1).data().toString(), "Tournament");
    std::int64_t games = 0;
    for (const TTournEntry& e : list.Entries().Entries())
        games += e.games;
    EXPECT_EQ(games, Games);
    EXPECT_EQ(list.Label1->text().toStdString(),
              "Tournaments=" + std::to_string(entries) + ", games=" + std::to_string(Games));
    // Cyrillic names show as themselves.
    const TTournEntry& first = list.Entries().Entries()[0];
    EXPECT_EQ(list.t->model()->index(1, 1).data().toString().toStdString(), Cp1251ToUtf8(first.tournament));

    // Raising the minimum or hiding blanks shows fewer rows at once.
    list.MinCount->setValue(1);
    const int withoutSingles = list.t->model()->rowCount();
    EXPECT_EQ(withoutSingles, int(FillTournamentGrid(list.Entries(), 1, false).rows.size()));
    list.CheckBox1->setChecked(true);
    EXPECT_EQ(list.Grid().totals, FillTournamentGrid(list.Entries(), 1, true).totals);
    EXPECT_EQ(list.Label1->text().toStdString(), list.Grid().totals);

    prompts.files = {dir.File("cups")};
    list.Button2Click();
    ASSERT_EQ(prompts.dialogs.size(), 1u);
    EXPECT_EQ(prompts.dialogs[0].title, "Save List");
    EXPECT_EQ(test_support::ReadText(dir.File("cups.txt")), TournamentListText(list.Grid()));

    // Into a folder that does not exist: an I/O error, and nothing written.
    prompts.files = {dir.File("none/cups.txt")};
    list.Button2Click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].rfind("I/O error", 0), 0u);

    // With no database "Create!" leaves the list as it was.
    CloseDatabase(session().GameDatabase);
    list.Button1Click();
    EXPECT_EQ(list.Entries().Entries().size(), entries);
}

TEST_F(ListTools, HeadersEditWritesOnlyOnOk) {
    THeadersEdit edit;
    Hand(&TDatabaseForm::TDialogs::HeadersEdit, &edit);
    session().GameList[3].selected = session().GameList[7].selected = 1;
    const auto index = test_support::ReadBytes(file);

    // Closed without "Ok": nothing is written.
    QTimer::singleShot(0, [&] {
        edit.WhiteSet->setChecked(true);
        edit.WhiteName->setEditText("Nobody");
        edit.reject();
    });
    form->Set1Click();
    EXPECT_EQ(edit.result(), 2);
    EXPECT_EQ(test_support::ReadBytes(file), index);
    // The boxes hold the database's names, sorted ignoring case; the typed text stayed.
    EXPECT_EQ(edit.BlackName->count(), int(session().GameDatabase.players.Size()));
    EXPECT_EQ(edit.WhiteName->count(), edit.BlackName->count());
    EXPECT_EQ(edit.Tournament->count(), int(session().GameDatabase.tournaments.Size()));
    EXPECT_EQ(edit.WhiteName->currentText(), "Nobody");

    const std::string before7 = WhiteOf(7);
    QTimer::singleShot(0, [&] {
        edit.TournSet->setChecked(true);
        edit.Tournament->setEditText(QString::fromUtf8("Кубок города"));
        edit.Dateset->setChecked(true);
        edit.Year->setValue(2024);
        edit.Month->setValue(5);
        edit.Day->setValue(9);
        edit.WhiteSet->setChecked(false);
        edit.Button1->click();
    });
    form->Set1Click();
    EXPECT_EQ(edit.result(), 1);
    for (const std::int32_t n : {3, 7, 8}) {
        TQuickGameHeader h;
        ASSERT_EQ(ReadQuickHeader(session().GameDatabase, n, h), TDbStatus::Ok);
        const bool chosen = n != 8;
        EXPECT_EQ(h.tournament == Utf8ToCp1251("Кубок города"), chosen) << n;
        EXPECT_EQ(h.header.year == 2024 && h.header.month == 5 && h.header.day == 9, chosen) << n;
    }
    EXPECT_EQ(WhiteOf(7), before7);
}

} // namespace
