// The database window offscreen on a generated database: a page taller than a hundred lines, the
// last page, clicks and double clicks on the panel, commands on an empty list, the check, and the
// caption with no database.

#include "gamedb/database_commands.h"
#include "gamedb/game_list.h"
#include "gamedb/game_list_page.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/database_hooks.h"
#include "gamedb/ui/db_panel.h"
#include "platform/steady_clock.h"
#include "tests/gamedb/chb_test_file.h"
#include "tests/gamedb_ui/database_window_fixture.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

constexpr std::int32_t Games = 200;

class DatabaseWindow : public test_support::DatabaseWindowTest<> {
  protected:
    DatabaseWindow() : DatabaseWindowTest("dbwindow") {}
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(OpenRandomDatabase(Games, 3));
        TDatabaseHooks& h = DatabaseHooks();
        h.phrase = [](int k) { return std::string(k == 86 ? "Database not opened." : ""); };
        h.loadGameFromList = [this] {
            loaded.push_back(GameDatabase.currentGame);
            return true;
        };
        SetSteadyClockSource([this] { return std::chrono::nanoseconds(ns); });
        Show(1200, 900);
    }
    void TearDown() override {
        DatabaseWindowTest::TearDown();
        SetSteadyClockSource({});
    }
    // The panel's y in the middle of page line `line` (1 = the first shown).
    int LineY(int line) const { return ListTop + (line - 1) * form->DBPanel->LineHeight() + 3; }
    void Press(int button, int line, std::int64_t centiseconds) {
        ns = centiseconds * 10'000'000;
        form->DBPanelMouseDown(button, 100, LineY(line));
    }

    std::vector<std::int32_t> loaded;
    std::int64_t ns = 1'000'000'000;
};

TEST_F(DatabaseWindow, ATallPageHoldsMoreThanAHundredLinesAndTheLastEndsWithTheLastGame) {
    Show(1200, 4200);
    TDBPanel& panel = *form->DBPanel;
    const std::int32_t lines = panel.Page().lines;
    ASSERT_GT(lines, 100);
    ASSERT_LT(lines, Games);
    EXPECT_TRUE(panel.ScrollBar->isEnabled());
    ASSERT_EQ(static_cast<std::int32_t>(panel.Lines().size()), lines);
    EXPECT_EQ(panel.Lines()[0].number, "1");
    EXPECT_EQ(panel.Lines()[lines - 1].number, std::to_string(lines));

    panel.ScrollTo(panel.ScrollBar->maximum());
    EXPECT_EQ(panel.Lines().back().number, std::to_string(Games));
    EXPECT_EQ(panel.FirstEntry(), Games - lines);

    // Every line is drawn, the current one on grey.
    panel.ScrollTo(0);
    QImage image(panel.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        panel.Paint(p);
    }
    EXPECT_EQ(image.pixelColor(3, LineY(1)), QColor(128, 128, 128));
    EXPECT_NE(image.pixelColor(3, LineY(lines)), QColor(Qt::white));
}

TEST_F(DatabaseWindow, AShortListFitsWithoutScrolling) {
    GameList.Clear();
    for (std::int32_t n : {5, 9, 2})
        GameList.Append(n);
    form->ListChanged();
    TDBPanel& panel = *form->DBPanel;
    EXPECT_FALSE(panel.ScrollBar->isEnabled());
    EXPECT_EQ(panel.Page().lines, 3);
    ASSERT_EQ(panel.Lines().size(), 3u);
    EXPECT_EQ(panel.Lines()[1].number, "9");
    EXPECT_EQ(form->windowTitle().toStdString(), file + " (found 3)");
}

TEST_F(DatabaseWindow, ClicksSelectMoveAndADoubleClickLoads) {
    Press(1, 3, 100); // right: select line 3 and make it current
    EXPECT_EQ(GameList[3].selected, 1);
    EXPECT_EQ(GameDatabase.currentGame, 3);
    EXPECT_EQ(form->windowTitle().toStdString(), file + " (1/200)");

    Press(0, 5, 110); // quick clicks on two lines only move
    Press(0, 6, 120);
    EXPECT_EQ(GameDatabase.currentGame, 6);
    EXPECT_TRUE(loaded.empty());

    Press(0, 6, 160); // slow second click: no load
    EXPECT_TRUE(loaded.empty());
    Press(0, 6, 185); // within 30 cs on the current line: load, and the window closes
    EXPECT_EQ(loaded, std::vector<std::int32_t>{6});
    EXPECT_EQ(form->result(), 1);

    // Right-clicking again clears the selection.
    Press(1, 3, 300);
    EXPECT_EQ(GameList[3].selected, 0);
    EXPECT_EQ(form->windowTitle().toStdString(), file + " (200)");
}

TEST_F(DatabaseWindow, AnEmptyListTouchesNoGame) {
    GameList.Clear();
    form->ListChanged();
    EXPECT_EQ(GameDatabase.currentGame, 0);
    const auto index = test_support::ReadBytes(file);
    form->Editheader1Click();
    form->ReplaceClick();
    form->DeleteClick();
    form->FormKeyDown(TListKey::Insert);
    form->FormKeyDown(TListKey::Delete);
    prompts.files = {dir.File("other.vqb")};
    prompts.answers = {true};
    form->Copy1Click();
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_EQ(test_support::ReadBytes(file), index);
    form->Load1Click();
    EXPECT_TRUE(loaded.empty());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], "Database not opened.");
}

TEST_F(DatabaseWindow, ACurrentPositionFromAnotherDatabaseIsBroughtIntoTheList) {
    GameDatabase.currentGame = 150;
    CloseDatabase(GameDatabase);
    const std::string small = dir.File("small.vqb");
    ASSERT_TRUE(test_support::WriteRandomDatabase(small, 10, 4));
    prompts.files = {small};
    const auto cwd = std::filesystem::current_path();
    form->OpenClick();
    // The dialog starts in Bases; the process stays where it was (relative book names).
    EXPECT_EQ(std::filesystem::current_path(), cwd);
    ASSERT_TRUE(GameDatabase.open);
    EXPECT_EQ(GameListCount(), 10);
    EXPECT_EQ(GameDatabase.currentGame, 1);
    EXPECT_EQ(prompts.dialogs.back().folder, dir.Dir() + "Bases");
}

TEST_F(DatabaseWindow, BuildTreeTakesTheListedGamesIntoTheChosenBook) {
    GameList.Clear();
    for (std::int32_t n : {4, 8, 15})
        GameList.Append(n);
    form->ListChanged();
    prompts.files = {dir.File("tree.CBK"), std::nullopt};
    form->ABuildtree1Click();
    ASSERT_EQ(prompts.dialogs.size(), 1u);
    EXPECT_EQ(prompts.dialogs[0].title, "Open Book/Tree");
    EXPECT_EQ(prompts.dialogs[0].folder, dir.Dir() + "Books");
    EXPECT_TRUE(std::filesystem::exists(dir.File("tree.cbk")));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].rfind("Total ", 0), 0u) << prompts.messages[0];
    EXPECT_TRUE(form->isEnabled());
    const auto built = test_support::ReadBytes(dir.File("tree.cbk"));
    EXPECT_FALSE(built.empty());

    form->ABuildtree1Click(); // cancelled: the book stays
    EXPECT_EQ(test_support::ReadBytes(dir.File("tree.cbk")), built);

    CloseDatabase(GameDatabase);
    form->ABuildtree1Click();
    EXPECT_EQ(prompts.messages.back(), "Database not opened.");
    EXPECT_EQ(prompts.dialogs.size(), 2u);
}

TEST_F(DatabaseWindow, BuildTreeCountsTheGamesReadInTheCaption) {
    // The caption as it changes while the window stays up.
    struct TTitles : QObject {
        std::vector<std::string> seen;
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() == QEvent::WindowTitleChange)
                seen.push_back(static_cast<QWidget*>(o)->windowTitle().toStdString());
            return false;
        }
    } titles;
    form->installEventFilter(&titles);
    prompts.files = {dir.File("tree.cbk")};
    form->ABuildtree1Click();
    form->removeEventFilter(&titles);
    EXPECT_EQ(titles.seen, (std::vector<std::string>{"100", "200"}));
    EXPECT_EQ(form->windowTitle(), "200");
}

// Both imports start in Bases, as Open does. A CHB file says nothing of its variant: the question
// before the import and the log name the variant its games are read in.
TEST_F(DatabaseWindow, ImportsStartInBasesAndTheChbImportNamesItsVariant) {
    const std::string chb = dir.File("Bases/old.chb");
    std::filesystem::create_directories(dir.File("Bases"));
    chb_test::TGameRecord bad;
    bad.codes = {0x049B, chb_test::CodeOf(1, 32)}; // the second move matches nothing: logged
    chb_test::WriteRecords(chb, {chb_test::JunkRecord(), chb_test::MakeRecord(bad)});
    const std::string target = dir.File("Bases/old.vqb"), log = dir.File("Bases/old.log");

    struct Row {
        TGameType variant;
        const char* name;
        bool answer;
    } rows[] = {{gtEnglish, "English", false}, {gtItalian, "Italian", true}, {gtCzech, "Czech", true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const bool existed = std::filesystem::exists(target);
        DatabaseHooks().currentVariant = [&row] { return row.variant; };
        prompts.dialogs.clear();
        prompts.questions.clear();
        prompts.files = {chb};
        prompts.answers = {row.answer};
        form->OpenCHBClick();
        ASSERT_EQ(prompts.dialogs.size(), 1u);
        EXPECT_EQ(prompts.dialogs[0].folder, dir.Dir() + "Bases");
        ASSERT_EQ(prompts.questions.size(), 1u);
        const std::string& q = prompts.questions[0];
        EXPECT_NE(q.find(std::string(" as ") + row.name + " games "), std::string::npos) << q;
        EXPECT_NE(q.find(existed ? "replacing it" : "the new database"), std::string::npos) << q;
        if (!row.answer) {
            EXPECT_FALSE(std::filesystem::exists(target)) << "a refused question imports nothing";
            continue;
        }
        TGameDatabase db;
        OpenDatabase(target, db);
        ASSERT_TRUE(db.open);
        TGame g;
        ASSERT_EQ(ReadGame(db, 1, false, g), TDbStatus::Ok);
        EXPECT_EQ(g.header.variant, row.variant);
        CloseDatabase(db);
        const std::string text = test_support::ReadText(log);
        EXPECT_EQ(text.substr(0, text.find('\n')), "Import of " + chb + " as " + row.name + " games");
    }

    prompts.files = {std::nullopt};
    form->ImportPDN1Click();
    EXPECT_EQ(prompts.dialogs.back().folder, dir.Dir() + "Bases");
}

TEST_F(DatabaseWindow, ExportedPdnAppendsAndImportsBackIntoANewDatabase) {
    const auto games = [](const std::string& text) {
        std::size_t n = 0;
        for (std::size_t at = text.find("[Event "); at != std::string::npos;
             at = text.find("[Event ", at + 1))
            ++n;
        return n;
    };
    // Two selected games, then the current one alone ("Ok"), appended to the same file.
    GameList[4].selected = GameList[9].selected = 1;
    prompts.files = {dir.File("out.PDN")};
    form->PDN1Click();
    EXPECT_EQ(prompts.dialogs.back().folder, dir.Dir() + "Export/PDN");
    const std::string pdn = dir.File("out.pdn");
    EXPECT_EQ(games(test_support::ReadText(pdn)), 2u);
    EXPECT_TRUE(prompts.messages.empty());
    form->DeselectallClick();
    GameDatabase.currentGame = 7;
    prompts.files = {dir.File("out.pdn")};
    form->PDN1Click();
    EXPECT_EQ(games(test_support::ReadText(pdn)), 3u);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], "Ok");

    // Import: a new database beside the file; the open one stays open and unchanged.
    prompts.files = {pdn};
    form->ImportPDN1Click();
    EXPECT_TRUE(GameDatabase.open);
    EXPECT_EQ(GameDatabase.indexFileName, file);
    EXPECT_EQ(GameListCount(), Games);
    TGameDatabase imported;
    OpenDatabase(dir.File("out.vqb"), imported);
    ASSERT_TRUE(imported.open);
    EXPECT_EQ(imported.gameCount, 3);
    TQuickGameHeader a, b;
    ASSERT_EQ(ReadQuickHeader(imported, 3, a), TDbStatus::Ok);
    ASSERT_EQ(ReadQuickHeader(GameDatabase, 7, b), TDbStatus::Ok);
    EXPECT_EQ(a.white, b.white);
    EXPECT_EQ(a.header.fullMoves, b.header.fullMoves);
    CloseDatabase(imported);

    // Nothing to export from an empty list; nothing at all with no database.
    GameList.Clear();
    form->ListChanged();
    prompts.files = {pdn};
    const auto before = test_support::ReadBytes(pdn);
    form->PDN1Click();
    EXPECT_EQ(test_support::ReadBytes(pdn), before);
    CloseDatabase(GameDatabase);
    const std::size_t dialogs = prompts.dialogs.size();
    form->PDN1Click();
    EXPECT_EQ(prompts.dialogs.size(), dialogs);
    EXPECT_EQ(prompts.messages.back(), "Database not opened.");
}

TEST_F(DatabaseWindow, CheckSaysOkAndRestoresTheCaption) {
    form->Checkdatabase1Click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], "OK!");
    EXPECT_EQ(form->windowTitle().toStdString(), file + " (200)");
}

TEST_F(DatabaseWindow, WithNoDatabaseTheCaptionIsDatabaseAndNothingIsDrawn) {
    CloseDatabase(GameDatabase);
    form->RefreshGameList();
    EXPECT_EQ(form->windowTitle(), "Database");
    EXPECT_EQ(GameListCount(), 0);
    EXPECT_EQ(GameDatabase.currentGame, 0);
    EXPECT_TRUE(form->DBPanel->Lines().empty());
    form->Load1Click();
    form->CleanUpdatabase1Click();
    EXPECT_EQ(prompts.messages.size(), 2u);
}

} // namespace
