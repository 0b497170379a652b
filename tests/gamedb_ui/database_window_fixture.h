#pragma once
// A database window on a generated database: the games in a temporary folder that is also the
// application folder, the database opened in the window's session, and a shown TDatabaseForm. `Base` is the
// fixture below it (::testing::Test, or a dialog fixture whose own set-up runs first).

#include "gamedb/database_session.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/database_hooks.h"
#include "tests/support/random_games.h"
#include "tests/support/scripted_database_prompts.h"
#include "tests/support/temp_dir.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace test_support {

template <class Base = ::testing::Test> class DatabaseWindowTest : public Base {
  protected:
    explicit DatabaseWindowTest(const char* tag) : dir{tag} {}

    // Writes `games` random games from `seed` (handed out in `written` when given), opens them and
    // makes the folder the application's. Call it under ASSERT_NO_FATAL_FAILURE.
    void OpenRandomDatabase(std::int32_t games, std::uint32_t seed,
                            std::vector<std::unique_ptr<TGame>>* written = nullptr) {
        file = dir.File("games.vqb");
        ASSERT_TRUE(WriteRandomDatabase(file, games, seed, {}, written));
        OpenDatabase(file, session().GameDatabase);
        ASSERT_TRUE(session().GameDatabase.open);
        DatabaseHooks().appDir = [this] { return dir.Dir(); };
    }
    // The window's session: its database, list and criteria (the window is made on first use, its
    // messages and file dialogs going to `prompts`).
    TDatabaseSession& session() {
        if (!form) {
            form = std::make_unique<TDatabaseForm>();
            form->Session().chooser = &prompts;
            form->Session().GameDatabase.prompt = &prompts;
        }
        return form->Session();
    }
    const TDatabaseSession& session() const { return form->Session(); }
    // Hands the window (made on first use) one dialog of its own.
    template <class TDialog> void Hand(QPointer<TDialog> TDatabaseForm::TDialogs::*slot, TDialog* dialog) {
        session();
        TDatabaseForm::TDialogs dialogs;
        dialogs.*slot = dialog;
        form->SetDialogs(dialogs);
    }
    // Shows the window (made on first use) at the size given and fills its list.
    void Show(int width, int height) {
        session();
        form->resize(width, height);
        form->show();
        QApplication::processEvents();
        form->RefreshGameList();
    }
    void TearDown() override {
        form.reset(); // closes the database
        Base::TearDown();
        ResetDatabaseHooks();
    }

    TTempDir dir;
    TScriptedDatabasePrompts prompts;
    std::string file;
    std::unique_ptr<TDatabaseForm> form; // owns the session
};

} // namespace test_support
