// "Match games": the dialog's defaults and results, and the command in the database window on a
// database with planted copies.

#include "gamedb/game_index_record.h"
#include "gamedb/game_list.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/database_hooks.h"
#include "gamedb/ui/f_match_par.h"
#include "tests/gamedb_ui/database_window_fixture.h"
#include "tests/support/deleted_marks.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Runs `act` on the dialog once it is shown modally.
void WhenShown(TFMatchPar& d, std::function<void()> act) {
    QTimer::singleShot(0, &d, [&d, act = std::move(act)] {
        if (d.isVisible()) act();
    });
}

TEST(MatchDialog, DefaultsAndWhatTheControlsSay) {
    TFMatchPar d;
    EXPECT_EQ(d.windowTitle(), "Match games");
    EXPECT_FALSE(d.Names->isChecked());
    EXPECT_FALSE(d.Year->isChecked());
    EXPECT_FALSE(d.Tournament->isChecked());
    EXPECT_TRUE(d.Moves->isChecked());
    EXPECT_TRUE(d.fastmatch->isChecked());
    EXPECT_EQ(d.matchtype->currentText(), "Exact match");
    EXPECT_EQ(d.matchlength->currentText(), "Complete length");
    TDuplicateOptions o = d.Options();
    EXPECT_TRUE(o.moves && o.fast && !o.names && !o.year && !o.tournament && !o.withoutCaptures &&
                !o.partialLength);
    d.Names->setChecked(true);
    d.Moves->setChecked(false);
    d.matchtype->setCurrentIndex(1);
    d.matchlength->setCurrentIndex(1);
    d.fastmatch->setChecked(false);
    EXPECT_EQ(d.matchtype->currentText(), "w/o captions");
    EXPECT_EQ(d.matchlength->currentText(), "Partial length");
    o = d.Options();
    EXPECT_TRUE(o.names && !o.moves && o.withoutCaptures && o.partialLength && !o.fast);
}

TEST(MatchDialog, OkGivesOneCancelAndEscapeTwo) {
    TFMatchPar d;
    WhenShown(d, [&d] { d.OkButton->click(); });
    EXPECT_EQ(d.exec(), 1);
    WhenShown(d, [&d] { d.CancelButton->click(); });
    EXPECT_EQ(d.exec(), 2);
    WhenShown(d, [&d] {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&d, &esc);
    });
    EXPECT_EQ(d.exec(), 2);
}

class MatchCommand : public test_support::DatabaseWindowTest<> {
  protected:
    MatchCommand() : DatabaseWindowTest("matchwindow") {}
    void SetUp() override {
        std::vector<std::unique_ptr<TGame>> games;
        ASSERT_NO_FATAL_FAILURE(OpenRandomDatabase(6, 5, &games));
        // Game 7 is game 2 again, game 8 game 5 with other names; no game starts deleted.
        ASSERT_TRUE(test_support::SetDeletedMarks(session().GameDatabase, {}));
        TGame copy = *games[1];
        copy.header.flags = 0;
        ASSERT_EQ(WriteGame(copy, 0, session().GameDatabase, true), TDbStatus::Ok);
        copy = *games[4];
        copy.header.flags = 0;
        copy.white = "Another";
        ASSERT_EQ(WriteGame(copy, 0, session().GameDatabase, true), TDbStatus::Ok);
        session().GameDatabase.gameCount = IndexRecordCount(session().GameDatabase);
        DatabaseHooks().phrase = [](int k) { return std::string(k == 86 ? "Database not opened." : ""); };
        dialog = std::make_unique<TFMatchPar>();
        Hand(&TDatabaseForm::TDialogs::FMatchPar, dialog.get());
        Show(1000, 700);
    }
    void TearDown() override {
        dialog.reset();
        DatabaseWindowTest::TearDown();
    }
    std::vector<std::int32_t> Listed() const {
        std::vector<std::int32_t> out;
        for (const TGameListEntry& e : session().GameList.Entries())
            out.push_back(e.gameNumber);
        return out;
    }
    bool Deleted(std::int32_t n) const {
        TGameIndexRecord r;
        EXPECT_EQ(ReadIndexRecord(session().GameDatabase, n, r), TDbStatus::Ok);
        return (r.flags & gfDeleted) != 0;
    }

    std::unique_ptr<TFMatchPar> dialog;
};

TEST_F(MatchCommand, TheMenuItemListsTheOriginalsFollowedByTheirCopies) {
    QAction* item = form->Item("Delect1");
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());
    WhenShown(*dialog, [this] { dialog->OkButton->click(); });
    item->trigger();
    // Each original before its copy; Fast lists the groups in the order of their moves.
    const std::vector<std::int32_t> listed = Listed();
    EXPECT_TRUE(listed == (std::vector<std::int32_t>{2, 7, 5, 8}) ||
                listed == (std::vector<std::int32_t>{5, 8, 2, 7}));
    EXPECT_TRUE(Deleted(7));
    EXPECT_TRUE(Deleted(8));
    EXPECT_FALSE(Deleted(2));
    EXPECT_FALSE(Deleted(5));
    EXPECT_EQ(session().GameDatabase.currentGame, 1);
    EXPECT_EQ(form->windowTitle().toStdString(), file + " (found 4)");
    EXPECT_TRUE(form->isEnabled());

    // With names compared the renamed copy is no copy.
    dialog->Names->setChecked(true);
    WhenShown(*dialog, [this] { dialog->OkButton->click(); });
    form->Delect1Click();
    EXPECT_EQ(Listed(), (std::vector<std::int32_t>{2, 7}));
}

TEST_F(MatchCommand, CancelLeavesListAndMarksAlone) {
    WhenShown(*dialog, [this] { dialog->CancelButton->click(); });
    form->Delect1Click();
    EXPECT_EQ(session().GameListCount(), 8);
    EXPECT_FALSE(Deleted(7));
}

TEST_F(MatchCommand, WithNoDatabaseItSaysSo) {
    CloseDatabase(session().GameDatabase);
    form->Delect1Click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], "Database not opened.");
}

} // namespace
