// The endgame-database tool windows: opened by the hidden command, their figures equal to those of
// the runs behind them, their messages for bad input, and Cancel leaving no file.

#include "app/ui/ebtest.h"
#include "app/ui/edb_compr.h"
#include "app/ui/forms.h"
#include "main_window_fixture.h"
#include "rules/endgame_db.h"
#include "rules/variant_state.h"
#include "tests/rules/edb_fixture.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

namespace {

// A probe with a value for most positions: the sign of the men advancement, none at advancement 1.
std::optional<std::int16_t> AdvancementProbe(const TBoard& b) {
    const int a = MenAdvancement(b);
    if (a == 1) return std::nullopt;
    return static_cast<std::int16_t>(a > 0 ? 100 : a < 0 ? -100 : 0);
}

// Runs the window's event loop until its timer has taken the end of its work.
template <class TWindow> void WaitForWindow(TWindow& w) {
    test_support::WaitUntil([&] {
        QCoreApplication::processEvents();
        return !w.Busy() && !w.Timer1->isActive();
    });
    ASSERT_FALSE(w.Busy());
}

class EdbToolWindows : public testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureQtApp(); }
    void SetUp() override {
        CurrentVariant = gtRussian;
        SetShellPrompts(&prompts);
    }
    void TearDown() override { SetShellPrompts(nullptr); }
    TScriptedPrompts prompts;
    TTempDir dir;
};

using EdbToolCommand = TMainWindowFixture;

} // namespace

TEST_F(EdbToolCommand, HiddenTestEdbFuncOpensTheTestWindow) {
    TMainForm* f = Start(false);
    QAction* command = f->Item("estEDBFunc1");
    ASSERT_NE(command, nullptr);
    EXPECT_FALSE(command->isVisible());
    ASSERT_NE(form->ebtest(), nullptr);
    ASSERT_NE(form->EDBCompr(), nullptr);
    EXPECT_FALSE(form->ebtest()->isVisible());
    EXPECT_FALSE(form->EDBCompr()->isVisible());
    command->trigger();
    EXPECT_TRUE(form->ebtest()->isVisible());
    EXPECT_FALSE(form->EDBCompr()->isVisible()); // the compressor wants Shift held
    form->ebtest()->close();
    EXPECT_FALSE(form->ebtest()->isVisible());
}

// The grids and labels show what the runs behind them give for the same seed and probe.
TEST_F(EdbToolWindows, TestWindowShowsTheFiguresOfItsRuns) {
    Tebtest w;
    w.SetProbe(AdvancementProbe);
    w.SetSeed(11);
    w.BitBtn2->click(); // "make test" needs a gettable run first
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains("gettable"));
    EXPECT_FALSE(w.Busy());

    const TEdbExperimentSettings s = w.Settings();
    EXPECT_EQ(s.men0, 3);
    EXPECT_EQ(s.men1, 2);
    std::atomic<bool> noCancel{false};
    std::mt19937 rng(11);
    TEdbTable table;
    ASSERT_TRUE(RunEdbTable(s, AdvancementProbe, rng, noCancel, [&](const TEdbTable& t) {
                    table = t;
                }).error.empty());
    TEdbTest test;
    std::mt19937 nextRng(12); // each run takes the next seed
    ASSERT_TRUE(RunEdbTest(s, table.advancement, AdvancementProbe, nextRng, noCancel, [&](const TEdbTest& t) {
                    test = t;
                }).error.empty());

    w.BitBtn1->click();
    EXPECT_FALSE(w.BitBtn1->isEnabled());
    EXPECT_TRUE(w.StopBtn->isEnabled());
    WaitForWindow(w);
    EXPECT_TRUE(w.BitBtn1->isEnabled());
    for (int side = 0; side < 2; ++side)
        for (int sq = 0; sq < 32; ++sq)
            ASSERT_EQ(w.results->item(sq, side)->text().toLongLong(), table.squares[side][sq])
                << side << " " << sq;
    ASSERT_EQ(w.tm->rowCount(), 12 + 18 + 1);
    for (int row = 0; row < w.tm->rowCount(); ++row) {
        EXPECT_EQ(w.tm->verticalHeaderItem(row)->text().toInt(), row - 12);
        EXPECT_EQ(w.tm->item(row, 0)->text().toLongLong(), table.advancement[AdvancementSlot(row - 12)]);
    }
    EXPECT_EQ(w.Advancement(), table.advancement);

    w.BitBtn2->click();
    WaitForWindow(w);
    const TEdbTestGroup win = test.groups[static_cast<int>(TEdbOutcome::Win)];
    ASSERT_GT(win.count, 0);
    EXPECT_EQ(
        w.WinLabel->text(),
        QString("Win=%1  sum %2  min %3  max %4").arg(win.count).arg(win.sum).arg(win.min).arg(win.max));
    EXPECT_TRUE(w.DrawLabel->text().startsWith("Draw="));
    EXPECT_TRUE(w.LoseLabel->text().startsWith("Lose="));
    EXPECT_TRUE(w.Counts->text().contains(QString("without a value %1").arg(test.skipped)));
    EXPECT_EQ(prompts.messages.size(), 1);
}

TEST_F(EdbToolWindows, TestWindowSaysWhenNoDatabaseIsOpenAndStopsOnRequest) {
    CloseEndgameDatabase();
    Tebtest w;
    w.BitBtn1->click();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith("No endgame database is open"));
    EXPECT_FALSE(w.Busy());

    // A probe that waits for Stop: the run ends stopped, and keeps no table for "make test".
    std::atomic<bool> probing{false}, stopped{false};
    w.SetProbe([&](const TBoard&) {
        probing = true;
        test_support::WaitUntil([&] { return stopped.load(); });
        return std::optional<std::int16_t>(0);
    });
    w.Positions->setValue(1000000);
    w.BitBtn1->click();
    ASSERT_TRUE(test_support::WaitUntil([&] { return probing.load(); }));
    w.StopBtn->click();
    stopped = true;
    WaitForWindow(w);
    EXPECT_EQ(w.Status->text(), "Stopped");
    EXPECT_TRUE(w.Advancement().empty());
}

TEST_F(EdbToolWindows, CompressorShowsTheTotalsAndOk) {
    const std::string raw = dir.File("small.txt");
    WriteBytes(raw, SyntheticRaw(2 * EdbBlockValues + 10));
    TEDBCompr w;
    ASSERT_TRUE(w.StartCompress(QString::fromStdString(raw), 3));
    WaitForWindow(w);
    EXPECT_EQ(prompts.messages, QStringList{"ok"});
    EXPECT_EQ(w.Label1->text(), QString::number(2 * EdbBlockValues + 10));
    EXPECT_GT(w.Label2->text().toInt(), 0);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"small.cpr", "small.txt"}));
}

TEST_F(EdbToolWindows, CompressorNamesABadInputAndCancelLeavesNoFile) {
    TEDBCompr w;
    prompts.file = QString::fromStdString(dir.File("missing.txt"));
    w.Button1->click();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains("missing.txt"));
    EXPECT_TRUE(prompts.openedWith[0].contains("*.txt"));

    const std::string raw = dir.File("big.txt");
    WriteBytes(raw, SyntheticRaw(32 * EdbBlockValues));
    prompts.file = QString::fromStdString(raw);
    w.Button1->click(); // the whole database: seconds of work
    EXPECT_TRUE(w.CancelBtn->isEnabled());
    w.CancelBtn->click();
    WaitForWindow(w);
    EXPECT_EQ(w.Label5->text(), "Cancelled: nothing written");
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(dir.List(), std::vector<std::string>{"big.txt"});
    EXPECT_TRUE(w.Button1->isEnabled());
    EXPECT_FALSE(w.CancelBtn->isEnabled());
}

TEST_F(EdbToolWindows, ConvertWritesBesideItsInputAndRefusesAShortOne) {
    Tebtest w;
    const std::string six = dir.File("pos6.edb");
    WriteBytes(six, std::vector<std::uint8_t>(SixSourceBlockBytes + 5, 0));
    prompts.file = QString::fromStdString(six);
    w.Button1->click();
    WaitForWindow(w);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains("ends inside a block"));
    EXPECT_EQ(dir.List(), std::vector<std::string>{"pos6.edb"});

    WriteBytes(six, std::vector<std::uint8_t>(SixSourceBlockBytes, 242));
    w.Button1->click();
    WaitForWindow(w);
    EXPECT_EQ(prompts.messages.back(), "ok");
    const auto out = ReadBytes(dir.File("pos6v2.edb"));
    ASSERT_EQ(out.size(), EdbBlockValues);
    EXPECT_EQ(out[0], 0xAA); // four values of 2
}
