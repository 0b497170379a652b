#include "app/core/builtin_engine.h"
#include "app/core/engine_requests.h"
#include "app/core/game_clock.h"
#include "app/core/game_end.h"
#include "app/core/game_session.h"
#include "app/core/language.h"
#include "app/core/main_timer.h"
#include "app/core/shell_state.h"
#include "app/ui/f_set_tm.h"
#include "app/ui/forms.h"
#include "app/ui/main_form.h"
#include "app/ui/shell_prompts.h"
#include "fake_engine_bridge.h"
#include "main_window_fixture.h"
#include "rules/variant_state.h"
#include "session_fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>

namespace {

// The main window started in a directory of its own, in play mode with a weak level.
class MainFormPlay : public TMainWindowFixture {
  protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        if (BuiltinEngine().HashTable().Size() == 0) BuiltinEngine().HashTable().Allocate(1 << 14);
        m_form = Start(false);
        m_form->PlayModeClick();
        EngineSettings.Level = 4;
        SoundOn = false;
    }
    void TearDown() override {
        TMainWindowFixture::TearDown();
        EngineSettings = TEngineSettings{};
    }
    static void WaitIdle() { ASSERT_TRUE(EngineIdleEvent.Wait(std::chrono::seconds(30))); }
    QString Text(const char* name) { return m_form->findChild<QLabel*>(name)->text(); }

    TMainForm* m_form = nullptr;
};
} // namespace

TEST_F(MainFormPlay, ComputeAtTheFirstMoveHandsTheSideToTheEngineWhichAnswers) {
    m_form->min1Click();   // 3 minutes each
    SetClocks(18000, 600); // the engine's budget: 30 cs
    EditGame().white = "Player";
    EditGame().black = "Vantor Quillan 2.0";
    m_form->Compute1Click();
    EXPECT_EQ(Clocks[0].load(), 600);                     // the engine took the clock of side 0 ...
    EXPECT_EQ(CurrentGame().white, "Vantor Quillan 2.0"); // ... and its name
    EXPECT_EQ(BoardReversed, 1);
    EXPECT_TRUE(m_form->Item("N28")->isChecked());
    WaitIdle();
    m_form->Timer1Timer();
    {
        TGameLock lock = GameSession().Lock();
        EXPECT_NE(CurrentNode(), 0);
        EXPECT_EQ(SideToMove(), 1);
        EXPECT_NE(CurrentBoard(), StartPosition64);
    }
    EXPECT_EQ(Text("EnginePanel"), "Vantor 2.0");
    EXPECT_TRUE(Text("DepthPanel").startsWith(QString::fromUtf8(Phrase(59))));
    EXPECT_FALSE(Text("EvalPanel").isEmpty());
    EXPECT_TRUE(Text("Label2").contains("HashSize="));
    // The clock of side 1 runs now; the label shows both clocks.
    EXPECT_TRUE(Text("ClockLabel").startsWith("0:")) << Text("ClockLabel").toStdString();
    EXPECT_EQ(ClockRunning.load(), 1);

    // A second "Compute!" with a move on the board hands nothing over.
    SetClocks(600, 600);
    m_form->Compute1Click();
    WaitIdle();
    EXPECT_EQ(CurrentGame().white, "Vantor Quillan 2.0");
}

TEST_F(MainFormPlay, APluginThatThinksShowsItselfNotTheEarlierBuiltInSearch) {
    SetClocks(600, 600);
    m_form->Compute1Click(); // the built-in engine answers first
    WaitIdle();
    m_form->Timer1Timer();
    ASSERT_TRUE(Text("Label2").contains("HashSize="));

    app_test::TFakeBridge plugin;
    SetEngineBridge(&plugin);
    EngineSettings.Kind = ekMarrak;
    EngineSettings.ShortName = "Marrak 1.15";
    plugin.hold = true;
    m_form->Compute1Click();
    // The window's own loop and timer, until the plug-in's name shows.
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (Text("EnginePanel") == "Marrak 1.15") loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(30000, &loop, [&] { loop.quit(); });
    loop.exec();
    EXPECT_EQ(Text("EnginePanel"), "Marrak 1.15");
    EXPECT_FALSE(Text("Label2").contains("HashSize=")) << Text("Label2").toStdString();
    EXPECT_FALSE(Text("Label2").contains("EDB="));
    EXPECT_EQ(Text("DepthPanel"), "");
    EXPECT_EQ(Text("EvalPanel"), "");
    // Its own progress line, once it reports.
    plugin.SetStatus("value=12,  depth 9/9/9,  1.5s,  300 kN/s,  9-13");
    QObject::disconnect(&poll, nullptr, nullptr, nullptr);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (Text("DepthPanel").contains("9/9/9")) loop.quit();
    });
    loop.exec();
    EXPECT_TRUE(Text("Label2").startsWith("9-13")) << Text("Label2").toStdString();
    plugin.hold = false;
    StopEngineAndWait();
    SetEngineBridge(nullptr);
}

TEST_F(MainFormPlay, AGameThatIsOverShowsItsMessage) {
    TBoard lost = EmptyBoard;
    lost[30] = sqKing1; // White has nothing left to move
    GameSession().NewGame(lost, 0);
    m_form->Compute1Click();
    WaitIdle();
    m_form->Timer1Timer();
    EXPECT_EQ(CurrentGame().header.result, grBlackWins);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0], QString::fromUtf8(Phrase(54)));
}

TEST_F(MainFormPlay, StopEndsAnAnalysisAndStopsTheClock) {
    m_form->Analysis_ModeClick();
    m_form->Compute1Click();
    EXPECT_EQ(StopRequested.load(), 0);
    EXPECT_TRUE(IsEngineBusy());
    m_form->StopButtonClick();
    WaitIdle();
    EXPECT_EQ(StopRequested.load(), 1);
    EXPECT_EQ(ClockRunning.load(), 0);
    EXPECT_EQ(CurrentNode(), 0);
    m_form->Timer1Timer(); // the done flag turns the stop button back
    EXPECT_EQ(EngineDone.load(), 0);
}

TEST_F(MainFormPlay, SetTimeShowsTheClocksAndAppliesTheFieldsHoweverClosed) {
    m_form->SetGameType(gtEnglish, false);
    SetClocks(27000, 6050);
    const int result = RunModal(FSetTm, [] {
        EXPECT_EQ(FSetTm->Wmin->value(), 4);
        EXPECT_EQ(FSetTm->Wsec->value(), 30);
        EXPECT_EQ(FSetTm->Bmin->value(), 1);
        EXPECT_EQ(FSetTm->Bsec->value(), 0);
        // Side 0 is Black in English: the first row says so.
        EXPECT_EQ(FSetTm->Label1->text(), QString::fromUtf8(Phrase(57)));
        FSetTm->Bmin->setValue(2);
        FSetTm->reject();
    });
    EXPECT_EQ(result, mrCancel);
    // The handler itself shows the dialog: apply a changed field after a cancel.
    QTimer::singleShot(0, [] {
        FSetTm->Wsec->setValue(5);
        FSetTm->reject();
    });
    m_form->Anothertimecontrol1Click();
    EXPECT_TRUE(m_form->Item("Anothertimecontrol1")->isChecked());
    EXPECT_EQ(Clocks[0].load(), (4 * 60 + 5) * 100);
    EXPECT_EQ(Clocks[1].load(), 6000);

    SetClocks(1, 1); // a new game re-applies the checked item
    m_form->ApplyCheckedTimeControl();
    EXPECT_EQ(Clocks[0].load(), (4 * 60 + 5) * 100);
    EXPECT_EQ(Clocks[1].load(), 6000);

    m_form->N60min1Click();
    EXPECT_EQ(Clocks[0].load(), 360000);
    EXPECT_EQ(Clocks[1].load(), 360000);
    EXPECT_TRUE(m_form->Item("N60min1")->isChecked());
    SetClocks(1, 1);
    m_form->ApplyCheckedTimeControl();
    EXPECT_EQ(Clocks[1].load(), 360000);
}
