// The main window's database commands on a generated database (offscreen): the items they enable,
// loading games from the list at their node and in their variant, stepping through the list with
// wrapping, a damaged game that leaves the board alone, saving and replacing the game on the board,
// the database window shown in place of the main one, and the quick search of the board's position.

#include "app/ui/forms.h"
#include "app/ui/main_form.h"
#include "gamedb/game_database.h"
#include "gamedb/game_list.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/game_info_form.h"
#include "main_window_fixture.h"
#include "session_fixture.h"
#include "tests/support/random_games.h"
#include "tests/support/scripted_database_prompts.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <functional>
#include <memory>

namespace {

constexpr int Games = 24;

class MainFormDatabase : public TMainWindowFixture {
  protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        f = Start();
        // In place of the real message boxes the forms gave the database window.
        db = std::make_unique<test_support::TScriptedDatabasePrompts>();
        windowPrompt = Session().GameDatabase.prompt;
        Session().GameDatabase.prompt = db.get();
        file = Dir() + "/games.vqb";
    }
    void TearDown() override {
        if (f && f->DatabaseForm()) {
            CloseDatabase(Session().GameDatabase);
            Session().GameDatabase.prompt = windowPrompt;
        }
        db.reset();
        TMainWindowFixture::TearDown();
    }

    void OpenGames() {
        ASSERT_TRUE(test_support::WriteRandomDatabase(file, Games, 5));
        OpenDatabase(file, Session().GameDatabase);
        ASSERT_TRUE(Session().GameDatabase.open);
        f->DatabaseForm()->RefreshGameList();
        ASSERT_EQ(Session().GameListCount(), Games);
    }
    // The database window's session, where the open database and its list live.
    TDatabaseSession& Session() const { return f->DatabaseForm()->Session(); }
    std::unique_ptr<TGame> Stored(std::int32_t n) const {
        auto g = std::make_unique<TGame>();
        EXPECT_EQ(ReadGame(Session().GameDatabase, n, false, *g), TDbStatus::Ok);
        return g;
    }
    static std::string BoardWhite() {
        TGameLock lock = GameSession().Lock();
        return GameSession().CurrentGame(lock).white;
    }
    static int BoardNodeCount() {
        TGameLock lock = GameSession().Lock();
        return GameSession().CurrentGame(lock).header.nodeCount;
    }
    void Trigger(const char* item) { f->Item(item)->trigger(); }

    TMainForm* f = nullptr;
    std::unique_ptr<test_support::TScriptedDatabasePrompts> db;
    IUserPrompt* windowPrompt = nullptr;
    std::string file;
};

TEST_F(MainFormDatabase, TheDatabaseCommandsAreEnabled) {
    for (const char* name :
         {"N33", "Replacegame1", "Loadpreviousgame1", "N34", "N7", "Gsmeinformation1", "Quicksearch1"})
        EXPECT_TRUE(f->Item(name)->isEnabled()) << name;
    for (const char* name : {"ToolButton4", "ToolButton5", "ToolButton6", "ToolButton8", "ToolButton9",
                             "ToolButton16", "ToolButton12"})
        EXPECT_TRUE(f->Control(name)->isEnabled()) << name;
    EXPECT_EQ(f->Item("Quicksearch1")->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(f->Item("N7")->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(f->Item("Loadpreviousgame1")->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(f->Item("N34")->shortcut(), QKeySequence(Qt::Key_F4));
}

TEST_F(MainFormDatabase, WithNoDatabaseTheStepsSaySoAndTheBoardStays) {
    const std::string white = BoardWhite();
    Trigger("N34");
    Trigger("Loadpreviousgame1");
    Trigger("Quicksearch1");
    ASSERT_EQ(prompts.messages.size(), 3);
    EXPECT_EQ(prompts.messages[2], "Database not opened.");
    EXPECT_EQ(prompts.messages[0], "Database not opened.");
    EXPECT_EQ(BoardWhite(), white);
}

TEST_F(MainFormDatabase, StepsWrapAtBothEndsAndLoadInTheGamesVariant) {
    OpenGames();
    Session().GameDatabase.currentGame = Games;
    Trigger("N34"); // past the last: the first
    EXPECT_EQ(Session().GameDatabase.currentGame, 1);
    auto g = Stored(1);
    EXPECT_EQ(BoardWhite(), g->white);
    EXPECT_EQ(int(GameSession().CurrentVariant()), int(g->header.variant));
    EXPECT_EQ(BoardNodeCount(), g->header.nodeCount);
    Trigger("Loadpreviousgame1"); // before the first: the last
    EXPECT_EQ(Session().GameDatabase.currentGame, Games);
    g = Stored(Games);
    EXPECT_EQ(BoardWhite(), g->white);
    EXPECT_EQ(int(GameSession().CurrentVariant()), int(g->header.variant));
    // Every variant the generator drew loads in its own.
    for (int i = 0; i < Games; ++i) {
        Trigger("N34");
        EXPECT_EQ(int(GameSession().CurrentVariant()),
                  int(Stored(Session().GameDatabase.currentGame)->header.variant));
    }
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(MainFormDatabase, ALoadedGameShowsTheNodeOfItsListEntry) {
    OpenGames();
    std::int32_t position = 0;
    for (std::int32_t p = 1; p <= Games && !position; ++p)
        if (Stored(Session().GameList[p].gameNumber)->header.nodeCount >= 3) position = p;
    ASSERT_NE(position, 0);
    Session().GameList[position].node = 3;
    Session().GameDatabase.currentGame = position;
    ASSERT_TRUE(f->LoadGameFromList());
    EXPECT_EQ(CurrentNode(), 3);
}

TEST_F(MainFormDatabase, ADamagedGameIsReportedAndTheBoardKeepsItsGame) {
    OpenGames();
    TQuickGameHeader last;
    ASSERT_EQ(ReadQuickHeader(Session().GameDatabase, Games, last), TDbStatus::Ok);
    CloseDatabase(Session().GameDatabase);
    std::filesystem::resize_file(Dir() + "/games.vqm", last.header.offset + 3);
    OpenDatabase(file, Session().GameDatabase);
    ASSERT_TRUE(Session().GameDatabase.open);
    f->DatabaseForm()->RefreshGameList();

    Session().GameDatabase.currentGame = 1;
    ASSERT_TRUE(f->LoadGameFromList());
    const std::string white = BoardWhite();
    const int nodes = BoardNodeCount();
    Session().GameDatabase.currentGame = Games;
    EXPECT_FALSE(f->LoadGameFromList());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains("cannot be loaded")) << prompts.messages[0].toStdString();
    EXPECT_EQ(BoardWhite(), white);
    EXPECT_EQ(BoardNodeCount(), nodes);
}

TEST_F(MainFormDatabase, SaveAsNewAndReplaceStoreTheGameOnTheBoard) {
    OpenGames();
    Session().GameDatabase.currentGame = 4;
    ASSERT_TRUE(f->LoadGameFromList());
    // Save: the header dialog first; its OK stores the game as a new one.
    WhenShown(f->GameInfoForm(), [this] {
        f->GameInfoForm()->WhiteName->setEditText("Saved Anew");
        f->GameInfoForm()->OkButton->click();
    });
    Trigger("N33");
    ASSERT_EQ(Session().GameDatabase.gameCount, Games + 1);
    EXPECT_EQ(Session().GameListCount(), Games + 1);
    auto saved = Stored(Games + 1);
    EXPECT_EQ(saved->white, "Saved Anew");
    EXPECT_EQ(saved->header.nodeCount, Stored(4)->header.nodeCount);
    EXPECT_EQ(BoardWhite(), "Saved Anew");

    // Cancel in the header dialog stores nothing.
    WhenShown(f->GameInfoForm(), [this] { f->GameInfoForm()->Cancel->click(); });
    Trigger("N33");
    EXPECT_EQ(Session().GameDatabase.gameCount, Games + 1);

    // Replace: game 2 becomes the board's game once the user agrees; No leaves it.
    Session().GameDatabase.currentGame = 2;
    const std::string before = Stored(2)->white;
    db->answers = {false};
    Trigger("Replacegame1");
    ASSERT_EQ(db->questions.size(), 1);
    EXPECT_EQ(db->questions[0], "Replace game No 2 with the current one?");
    EXPECT_EQ(Stored(2)->white, before);
    db->answers = {true};
    Trigger("Replacegame1");
    EXPECT_EQ(Stored(2)->white, "Saved Anew");
    EXPECT_EQ(Session().GameDatabase.gameCount, Games + 1);
}

TEST_F(MainFormDatabase, GoToDatabaseShowsTheWindowInPlaceOfTheMainOne) {
    OpenGames();
    bool mainHidden = false;
    WhenShown(f->DatabaseForm(), [&] {
        mainHidden = !f->isVisible();
        f->DatabaseForm()->FormKeyDown(TListKey::Escape);
    });
    Trigger("N7");
    EXPECT_TRUE(mainHidden);
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(f->DatabaseForm()->isVisible());

    // Load from the window: the game comes to the board and the window closes.
    WhenShown(f->DatabaseForm(), [&] {
        Session().GameDatabase.currentGame = 7;
        f->DatabaseForm()->FormKeyDown(TListKey::Enter);
    });
    Trigger("N7");
    EXPECT_FALSE(f->DatabaseForm()->isVisible());
    EXPECT_EQ(BoardWhite(), Stored(7)->white);
}

TEST_F(MainFormDatabase, QuickSearchOpensTheWindowOnTheGamesThatReachTheBoardsPosition) {
    OpenGames();
    // A position some plies into a game, loaded to the board.
    std::int32_t position = 0;
    for (std::int32_t p = 1; p <= Games && !position; ++p)
        if (Stored(Session().GameList[p].gameNumber)->header.nodeCount >= 8) position = p;
    ASSERT_NE(position, 0);
    const std::int32_t game = Session().GameList[position].gameNumber;
    Session().GameList[position].node = 6;
    Session().GameDatabase.currentGame = position;
    ASSERT_TRUE(f->LoadGameFromList());
    const TBoard board = GameSession().CurrentBoard();
    const int side = GameSession().SideToMove();

    bool mainHidden = false;
    QString caption;
    std::vector<TGameListEntry> found;
    WhenShown(f->DatabaseForm(), [&] {
        mainHidden = !f->isVisible();
        caption = f->DatabaseForm()->windowTitle();
        found = Session().GameList.Entries();
        f->DatabaseForm()->FormKeyDown(TListKey::Escape);
    });
    qobject_cast<QToolButton*>(f->Control("ToolButton12"))->click();
    EXPECT_TRUE(mainHidden);
    EXPECT_TRUE(f->isVisible());
    ASSERT_FALSE(found.empty());
    EXPECT_TRUE(caption.endsWith(QString(" (found %1)").arg(found.size())) || found.size() == Games)
        << caption.toStdString();
    EXPECT_EQ(Session().GameDatabase.currentGame, 1);
    bool own = false;
    for (const TGameListEntry& e : found)
        own = own || e.gameNumber == game;
    EXPECT_TRUE(own) << "the game the position came from";
    // Each found game, loaded, shows the position at its found node with the same side to move.
    for (std::int32_t p = 1; p <= Session().GameListCount(); ++p) {
        SCOPED_TRACE(Session().GameList[p].gameNumber);
        Session().GameDatabase.currentGame = p;
        ASSERT_TRUE(f->LoadGameFromList());
        EXPECT_EQ(CurrentNode(), Session().GameList[p].node);
        EXPECT_TRUE(GameSession().CurrentBoard() == board);
        EXPECT_EQ(GameSession().SideToMove(), side);
    }
}

} // namespace
