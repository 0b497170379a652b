// The engines as a user meets them in the main window: "Engine settings" from the menu and the tool
// bar, the level menu, a plug-in that plays and shows its progress, the memory limit, the book
// chosen with "Browse", quitting while an engine hangs, and the hidden "Autoplay".

#include "bridge_test_util.h"
#include "main_window_fixture.h"

#include "app/core/engine_state.h"
#include "app/core/game_clock.h"
#include "app/core/language.h"
#include "app/core/main_timer.h"
#include "app/ui/f_engine_opt.h"
#include "app/ui/forms.h"
#include "gamedb/opening_book.h"
#include "rules/hash_table.h"
#include "tests/support/positions.h"
#include "tests/support/temp_dir.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <fstream>

using namespace bridge_test;
namespace fs = std::filesystem;

namespace {

struct TEngineSet {
    bool trevalo = true, marrak = true, italian = true, oskeen = true;
};

class EngineWindow : public TMainWindowFixture {
  protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        ReleaseAllStubs();
        EngineSettings = TEngineSettings{};
    }
    void TearDown() override {
        TMainWindowFixture::TearDown();
        ReleaseAllStubs();
        SetEngineBridge(nullptr);
        ProgramEngineBridge().SetAbandonGrace(AbandonGrace);
        EngineSettings = TEngineSettings{};
    }
    // The program's folder "run" below the test folder, with the chosen stubs as its engines
    // (Oskeen in "../Engines"), made the current directory.
    void UseEngines(const TEngineSet& e) {
        const fs::path run = fs::path(Dir()) / "run";
        fs::create_directories(run / "Bases");
        fs::create_directories(fs::path(Dir()) / "Engines");
        const TEngineFiles stubs = StubFiles();
        const TEngineFiles here = EngineFilesIn(run.string() + "/");
        const std::pair<bool, std::pair<std::string, std::string>> links[] = {
            {e.trevalo, {stubs.trevalo, here.trevalo}},
            {e.marrak, {stubs.marrak, here.marrak}},
            {e.italian, {stubs.marrakItalian, here.marrakItalian}},
            {e.oskeen, {stubs.oskeen, here.oskeen}}};
        for (const auto& [use, link] : links)
            if (use) fs::create_symlink(link.first, link.second);
        fs::current_path(run);
    }
    std::string IniText() const {
        return test_support::ReadText((fs::current_path() / "tavrix.ini").string());
    }
    QLabel* Label(const char* name) const { return form->findChild<QLabel*>(name); }
    // Opens "Engine settings" with the menu item and runs `inside` once the dialog shows.
    void WithOptions(const std::function<void(TFEngineOpt&)>& inside, bool toolButton = false) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            ran = form->FEngineOpt()->isVisible();
            inside(*form->FEngineOpt());
            if (form->FEngineOpt()->isVisible()) form->FEngineOpt()->done(mrCancel);
        });
        if (toolButton)
            static_cast<QToolButton*>(form->Control("ToolButton11"))->click();
        else
            form->Item("Engineoptions1")->trigger();
        EXPECT_TRUE(ran) << "the dialog did not show";
    }
    void ChooseEngine(TGameType variant, int item) {
        WithOptions([&](TFEngineOpt& d) {
            d.EngineList[variant - 1]->setCurrentIndex(item);
            d.okbutt->click();
        });
    }
    // Runs the window's event loop (and its timer) until `done`; false when it never comes.
    template <class F> bool Pump(F done) {
        return WaitUntil([&] {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            return done();
        });
    }
    static bool ItemEnabled(QComboBox* list, int item) {
        auto* model = qobject_cast<QStandardItemModel*>(list->model());
        return model && model->item(item)->isEnabled();
    }
};

} // namespace

TEST_F(EngineWindow, EngineSettingsFromTheMenuAndTheToolButton) {
    UseEngines({});
    Start();
    EXPECT_TRUE(form->Item("Engineoptions1")->isEnabled());
    EXPECT_TRUE(form->Control("ToolButton11")->isEnabled());
    WithOptions([](TFEngineOpt&) {});
    WithOptions([](TFEngineOpt&) {}, true);
    // The memory sizes read at start-up are in the dialog.
    WithOptions([](TFEngineOpt& d) {
        EXPECT_EQ(d.VantorMem->value(), 7);
        EXPECT_EQ(d.Marrakitalianmem->value(), 8);
    });
}

TEST_F(EngineWindow, MarrakForEnglishGreysOutTheLevelsAndPlaysShowingItsProgress) {
    UseEngines({});
    Start();
    struct Row {
        TGameType variant;
        int item, kind;
        const TStub stub;
    } rows[] = {{gtEnglish, 2, ekMarrak, TStub(StubFiles().marrak)},
                {gtItalian, 1, ekMarrakItalian, TStub(StubFiles().marrakItalian)}};
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.variant));
        form->SetGameType(r.variant, false);
        form->NewGame();
        ChooseEngine(r.variant, r.item);
        EXPECT_EQ(EngineSettings.Kind, r.kind);
        EXPECT_EQ(EngineSettings.ShortName, "Marrak 1.15");
        EXPECT_FALSE(form->Item("Levels")->isEnabled());

        // The engine holds its move, with its progress line written, until the window has shown it.
        stub_plugin_script s{};
        s.mode = STUB_IGNORE_STOP;
        s.variant = r.variant;
        s.status_line = 1;
        std::snprintf(s.status, sizeof s.status, "value=12,  depth 9/12,  1.2s,  500 kN/s,  c3d4");
        r.stub.Script(s);
        form->PlayModeClick();
        form->Compute1Click();
        ASSERT_TRUE(Pump([&] { return Label("DepthPanel")->text().contains("9/12"); }));
        EXPECT_EQ(Label("EnginePanel")->text(), "Marrak 1.15");
        r.stub.Release();
        ASSERT_TRUE(Pump([&] { return !IsEngineBusy(); }));
        EXPECT_EQ(GameSession().CurrentNode(), 1);

        // Back to the built-in engine: the levels apply again.
        ChooseEngine(r.variant, 0);
        EXPECT_EQ(EngineSettings.Kind, ekVantor);
        EXPECT_TRUE(form->Item("Levels")->isEnabled());
    }
}

TEST_F(EngineWindow, WithoutTrevaloAndOskeenTheirItemsAreGreyAndTheProgramPlays) {
    UseEngines({false, true, true, false});
    Start();
    TFEngineOpt& d = *form->FEngineOpt();
    EXPECT_TRUE(ItemEnabled(d.EngineList[0], 0));
    EXPECT_FALSE(ItemEnabled(d.EngineList[0], 1));
    EXPECT_EQ(d.EngineList[0]->itemText(1), "Oskeen 1.44.U5");
    // The list shows the engine that plays; the choice of Oskeen is kept through an OK.
    WithOptions([](TFEngineOpt& o) {
        EXPECT_EQ(o.EngineList[0]->currentIndex(), 0);
        EXPECT_EQ(o.EngineList[1]->currentIndex(), 0);
        o.okbutt->click();
    });
    EXPECT_EQ(form->EngineOptionValues().engine[0], 1);
    EXPECT_EQ(form->EngineOptionValues().engine[1], 1);
    EXPECT_FALSE(ItemEnabled(d.EngineList[1], 1));
    EXPECT_TRUE(ItemEnabled(d.EngineList[1], 2));
    EXPECT_TRUE(ItemEnabled(d.EngineList[4], 1));
    // Russian's stored choice is Oskeen: the built-in engine plays in its place.
    EXPECT_EQ(GameSession().CurrentVariant(), gtRussian);
    EXPECT_EQ(EngineSettings.Kind, ekVantor);
    form->Item("Level3")->trigger(); // the weakest, quick
    form->PlayModeClick();
    form->Compute1Click();
    ASSERT_TRUE(Pump([&] { return !IsEngineBusy(); }));
    EXPECT_EQ(GameSession().CurrentNode(), 1);
    // The choice itself stays in the settings.
    Stop();
    EXPECT_NE(IniText().find("Russian=1"), std::string::npos);
}

TEST_F(EngineWindow, OskeenNamesItsItem) {
    UseEngines({});
    Start();
    EXPECT_EQ(form->FEngineOpt()->EngineList[0]->itemText(1), "Oskeen Stub 2.0");
    EXPECT_TRUE(ItemEnabled(form->FEngineOpt()->EngineList[0], 1));
    EXPECT_EQ(EngineSettings.Kind, ekOskeen); // Russian's default choice
    EXPECT_EQ(EngineSettings.LongName, "Oskeen Stub 2.0");
}

TEST_F(EngineWindow, TooMuchMemoryIsRefused) {
    UseEngines({});
    Start();
    form->FEngineOpt()->physicalMemory = [] { return std::uint64_t(512) << 20; };
    WithOptions([&](TFEngineOpt& d) {
        for (QSpinBox* s : {d.VantorMem, d.OskeenMem, d.TrevaloMem, d.Marrakmem, d.Marrakitalianmem})
            EXPECT_EQ(s->maximum(), 256);
        d.VantorMem->setValue(200);
        d.Marrakmem->setValue(100);
        d.okbutt->click();
        EXPECT_TRUE(d.isVisible()); // kept open
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_EQ(prompts.messages[0], "Not enough memory!");
        d.Marrakmem->setValue(20);
        d.okbutt->click();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(form->EngineOptionValues().vantorMemory, 200);
    EXPECT_EQ(form->EngineOptionValues().marrakMemory, 20);
    form->FEngineOpt()->physicalMemory = [] { return TotalPhysicalMemory(); };
}

TEST_F(EngineWindow, ABookChosenWithBrowseIsTheOneTheBookReads) {
    UseEngines({});
    Start();
    form->SetGameType(gtEnglish, false);
    // A copy of the delivered English book under a name of the user's.
    const std::string chosen = (fs::current_path() / "Books" / "Mine.cbk").string();
    fs::create_directories(fs::current_path() / "Books");
    fs::copy_file(RunDirectory() + "/Books/English.cbk", chosen);
    prompts.file = QString::fromStdString(chosen);
    WithOptions([&](TFEngineOpt& d) {
        d.Button[1]->click();
        EXPECT_EQ(d.Book[1]->text().toStdString(), chosen);
        EXPECT_EQ(prompts.openedWith.value(0), "Vantor Quillan Book/Tree (*.CBK *.cbk)");
        d.UseBook[1]->setChecked(false);
        d.okbutt->click();
    });
    EXPECT_EQ(form->EngineOptionValues().book[1], chosen);
    EXPECT_FALSE(form->EngineOptionValues().useBook[1]);
    // OK reopened the variant's book with the new name and flag.
    EXPECT_EQ(OpeningBook().FileName(), chosen);
    EXPECT_TRUE(OpeningBook().IsOpen());
    EXPECT_GT(OpeningBook().RecordCount(), 0);
    EXPECT_FALSE(OpeningBook().InUse());
    // Cancel keeps nothing of what was changed.
    WithOptions([&](TFEngineOpt& d) {
        d.Book[1]->setText("/elsewhere.cbk");
        d.cancelbutt->click();
    });
    EXPECT_EQ(form->EngineOptionValues().book[1], chosen);
    EXPECT_EQ(OpeningBook().FileName(), chosen);
    Stop();
    EXPECT_NE(IniText().find("EnglishBook=" + chosen), std::string::npos);
}

TEST_F(EngineWindow, QuittingWhileAnEngineHangsCompletesAndSavesTheSettings) {
    UseEngines({});
    Start();
    form->SetGameType(gtEnglish, false);
    ChooseEngine(gtEnglish, 2);
    // The grace is no part of this test (Abandon has it): the engine is given up as soon as the
    // quit stops it, and quitting must not wait for the engine itself.
    ProgramEngineBridge().SetAbandonGrace(std::chrono::milliseconds(0));
    const TStub marrak(StubFiles().marrak);
    stub_plugin_script s{};
    s.mode = STUB_IGNORE_STOP;
    marrak.Script(s);
    form->PlayModeClick();
    form->Compute1Click();
    ASSERT_TRUE(WaitUntil([&] { return marrak.Inside() == 1; }));
    {
        const test_support::TWatchdog watchdog("quitting while an engine hangs");
        Stop();
    }
    EXPECT_NE(IniText().find("English=2"), std::string::npos);
    marrak.Release();
}

TEST_F(EngineWindow, AutoplayNeedsOskeenAndItsDatabases) {
    UseEngines({true, true, true, false});
    Start();
    form->Item("Autoplay1")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0], QString::fromUtf8(Phrase(61)));
    EXPECT_FALSE(IsEngineBusy());
}

TEST_F(EngineWindow, AutoplayPlaysTheSourceGamesIntoTheMatchDatabase) {
    UseEngines({});
    Start();
    form->Item("Autoplay1")->trigger(); // no source database yet
    ASSERT_EQ(prompts.messages.size(), 1);
    prompts.messages.clear();

    TGameDatabase db;
    ASSERT_TRUE(CreateDatabase("Bases/match_source", db));
    auto g = std::make_unique<TGame>();
    InitGame(*g, gtRussian);
    PositionToKey(test_support::BoardFromSquares("w9 w10 b13"), g->startKey);
    ASSERT_EQ(WriteGame(*g, 0, db, true), TDbStatus::Ok);
    CloseDatabase(db);
    form->MatchOptions() = {1, 300};
    form->Item("Autoplay1")->trigger();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(form->Item("PlayMode")->isChecked());
    // The score of each game goes to the information panel.
    ASSERT_TRUE(Pump([&] { return form->findChild<QLabel*>("InfoPanel")->text() == "+1-1=0"; }));
    ASSERT_TRUE(Pump([&] { return !IsEngineBusy(); }));
    TGameDatabase games;
    OpenDatabase("Bases/match_games", games, TOpenMode::ReadOnly);
    EXPECT_EQ(IndexRecordCount(games), 2);
    CloseDatabase(games);
}
