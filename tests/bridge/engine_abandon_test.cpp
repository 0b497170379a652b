// Engines that do not answer their stop: the request ends 2 s after the stop, the engine is given up
// until the next start, and whatever it answers later never enters a game. The grace runs on a
// clock that the tests move by hand.

#include "bridge_test_util.h"
#include "tests/app/session_fixture.h"
#include "tests/support/manual_clock.h"

#include "app/core/language.h"

#include <thread>

using namespace bridge_test;
using namespace std::chrono_literals;

namespace {

// Looks at the clock after which the engine thread has acted on what it saw: its wait loop looks
// once a round, and a stop action takes a round of its own.
constexpr int kSettled = 5;

class Abandon : public StubBridgeTest {
  protected:
    void TearDown() override {
        // Past every grace, and every stub let go: whatever call a failed test left waiting ends.
        m_clock.Advance(24h);
        ReleaseAllStubs();
        StubBridgeTest::TearDown();
        if (m_background.joinable()) MustEnd("the call in the background", [this] { m_background.join(); });
    }
    void ExpectErrorInInfoPanel() {
        const auto message = TakeGameMessage();
        ASSERT_TRUE(message);
        EXPECT_EQ(message->text, std::string(Phrase(61)));
        EXPECT_EQ(message->kind, 1);
    }
    // Asks the running request to stop and waits until its engine thread has seen the stop, so the
    // grace counts from the clock's time now.
    void StopSeen() {
        StopEngine();
        ASSERT_TRUE(m_clock.WaitForLooks(kSettled, [] { return !IsEngineBusy(); }));
    }
    static bool Idle() { return !IsEngineBusy(); }
    // Runs `work` beside the test, which moves the clock meanwhile.
    void Background(std::function<void()> work) {
        m_background = std::thread([this, work = std::move(work)] {
            work();
            m_backgroundDone = true;
        });
    }

    test_support::TManualClock m_clock;
    std::thread m_background;
    std::atomic<bool> m_backgroundDone{false};
};

} // namespace

TEST_F(Abandon, StopGivesTheEngineTwoSecondsAndTheLateAnswerNeverEntersAGame) {
    stub_plugin_script s{};
    s.mode = STUB_IGNORE_STOP;
    marrak.Script(s);
    app_test::ResetGame(StartPosition64, 0, gtEnglish, true);
    EngineSettings.Kind = ekMarrak;
    StartEngine();
    ASSERT_TRUE(WaitUntil([&] { return marrak.Inside() == 1; }));
    StopSeen();
    // The default grace: not given up a moment before 2 s, given up at 2 s.
    m_clock.Advance(1999ms);
    ASSERT_TRUE(m_clock.WaitForLooks(kSettled, Idle));
    EXPECT_TRUE(IsEngineBusy()) << "given up before its grace";
    m_clock.Advance(1ms);
    ASSERT_TRUE(WaitUntil(Idle)) << "not given up after its grace";
    StopEngineAndWait();
    EXPECT_FALSE(m_bridge.Available(ekMarrak));
    EXPECT_TRUE(m_bridge.Available(ekTrevalo)); // only that engine
    ExpectErrorInInfoPanel();
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_NE(diagnostics[0].find("Marrak"), std::string::npos);

    // A new game; then the engine answers, too late.
    app_test::ResetGame(StartPosition64, 0, gtEnglish, true);
    EXPECT_EQ(marrak.Inside(), 1);
    marrak.Release();
    ASSERT_TRUE(WaitForLibraryCalls(WatchdogLimit));
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_EQ(CurrentBoard(), StartPosition64);

    // Until the next start a request for it ends at once, without a move.
    StartEngine();
    ASSERT_TRUE(EngineIdleEvent.Wait(WatchdogLimit));
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_EQ(marrak.LogLines().size(), 1u); // the one abandoned call
    ExpectErrorInInfoPanel();
}

TEST_F(Abandon, AnOskeenThatIgnoresEiStopIsGivenUpToo) {
    m_bridge.SetAbandonGrace(300ms);
    stub_oskeen_script s{};
    s.mode = OSK_IGNORE_STOP;
    oskeen.Script(s);
    for (bool analysis : {false, true}) {
        SCOPED_TRACE(analysis);
        m_bridge.Bind(StubFiles());
        app_test::ResetGame(StartPosition64, 0, gtRussian, !analysis);
        EngineSettings.Kind = ekOskeen;
        StartEngine();
        ASSERT_TRUE(WaitUntil([&] { return oskeen.Inside() == 1; }));
        StopSeen();
        EXPECT_TRUE(
            WaitUntil([&] { return oskeen.Log().find("EI_Stop") != std::string::npos; })); // it was asked
        // The grace set, not the default one.
        m_clock.Advance(300ms);
        ASSERT_TRUE(WaitUntil(Idle)) << "not given up after the grace set";
        StopEngineAndWait();
        EXPECT_FALSE(m_bridge.Available(ekOskeen));
        ExpectErrorInInfoPanel();
        oskeen.Release();
        ASSERT_TRUE(WaitForLibraryCalls(WatchdogLimit));
        EXPECT_EQ(CurrentNode(), 0);
        oskeen.Script(s);
    }
}

TEST_F(Abandon, AThrowingEngineEndsTheRequestWithoutAMoveAndStaysAvailable) {
    stub_plugin_script s{};
    s.mode = STUB_THROW;
    trevalo.Script(s);
    app_test::ResetGame(StartPosition64, 0, gtEnglish, true);
    EngineSettings.Kind = ekTrevalo;
    StartEngine();
    ASSERT_TRUE(EngineIdleEvent.Wait(WatchdogLimit));
    StopEngineAndWait();
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_TRUE(m_bridge.Available(ekTrevalo));
}

TEST_F(Abandon, AnEngineThatHangsAtStartCostsTheGraceNotTheProgram) {
    m_bridge.SetAbandonGrace(300ms);
    stub_plugin_script s{};
    s.block_command = 1;
    trevalo.Script(s);
    stub_oskeen_script o{};
    o.block_init = 1;
    oskeen.Script(o);
    Background([this] { m_bridge.InitEngines({}); });
    // Each hung call is given up once the grace set has passed since it began; the calls between
    // them go on.
    ASSERT_TRUE(WaitUntil([&] { return trevalo.Inside() == 1; }));
    m_clock.Advance(300ms);
    ASSERT_TRUE(WaitUntil([&] { return oskeen.Inside() == 1; }))
        << "Trevalo not given up after the grace set";
    m_clock.Advance(300ms);
    ASSERT_TRUE(WaitUntil([&] { return m_backgroundDone.load(); }))
        << "Oskeen not given up after the grace set";
    m_background.join();
    EXPECT_FALSE(m_bridge.Available(ekTrevalo));
    EXPECT_FALSE(m_bridge.Available(ekOskeen));
    EXPECT_EQ(m_bridge.OskeenEngineName(), DefaultOskeenName);
    // Trevalo got its first command only; the others went on.
    EXPECT_EQ(trevalo.LogLines(), (std::vector<std::string>{"enginecommand[set hashsize 1]"}));
    EXPECT_TRUE(m_bridge.Available(ekMarrak));
    EXPECT_EQ(marrak.LogLines().size(), 4u);
}
