// "Match games" in the running program: its dialog is created at start-up, and matching reads the
// games into a record of its own, so the game on the board stays as it was.

#include "app/ui/forms.h"
#include "app/ui/main_form.h"
#include "gamedb/game_database.h"
#include "gamedb/game_list.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/f_match_par.h"
#include "main_window_fixture.h"
#include "session_fixture.h"
#include "tests/support/random_games.h"
#include "tests/support/scripted_database_prompts.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <iterator>
#include <memory>

namespace {

class MainFormMatch : public TMainWindowFixture {
  protected:
    void TearDown() override {
        if (form && form->DatabaseForm()) {
            CloseDatabase(Session().GameDatabase);
            Session().GameDatabase.prompt = windowPrompt;
        }
        db.reset();
        TMainWindowFixture::TearDown();
    }
    // The database window's session, where the open database and its list live.
    TDatabaseSession& Session() const { return form->DatabaseForm()->Session(); }
    // Puts scripted answers in place of the real message boxes the forms gave the database window.
    void ScriptPrompts() {
        db = std::make_unique<test_support::TScriptedDatabasePrompts>();
        windowPrompt = Session().GameDatabase.prompt;
        Session().GameDatabase.prompt = db.get();
    }
    std::unique_ptr<test_support::TScriptedDatabasePrompts> db;
    IUserPrompt* windowPrompt = nullptr;
};

TEST_F(MainFormMatch, MatchingLeavesTheBoardsGameAlone) {
    Start();
    TFMatchPar* dialog = form->DatabaseForm()->FMatchPar();
    ASSERT_NE(dialog, nullptr);
    ScriptPrompts();
    const std::string file = Dir() + "/games.vqb";
    std::vector<std::unique_ptr<TGame>> games;
    ASSERT_TRUE(test_support::WriteRandomDatabase(file, 5, 9, {}, &games));
    OpenDatabase(file, Session().GameDatabase);
    ASSERT_TRUE(Session().GameDatabase.open);
    TGame copy = *games[2];
    ASSERT_EQ(WriteGame(copy, 0, Session().GameDatabase, true), TDbStatus::Ok);
    Session().GameDatabase.gameCount = IndexRecordCount(Session().GameDatabase);
    form->DatabaseForm()->RefreshGameList();

    const auto board = [] {
        TGameLock lock = GameSession().Lock();
        const TGame& g = GameSession().CurrentGame(lock);
        return std::make_pair(g.white, g.header.nodeCount);
    };
    const auto before = board();
    QTimer::singleShot(0, dialog, [dialog] {
        if (dialog->isVisible()) dialog->OkButton->click();
    });
    form->DatabaseForm()->Item("Delect1")->trigger();
    const auto& listed = Session().GameList.Entries();
    const auto copyAt =
        std::find_if(listed.begin(), listed.end(), [](const TGameListEntry& e) { return e.gameNumber == 6; });
    ASSERT_TRUE(copyAt != listed.end() && copyAt != listed.begin());
    EXPECT_EQ(std::prev(copyAt)->gameNumber, 3);
    EXPECT_EQ(board(), before);
}

} // namespace
