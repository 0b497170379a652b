// Engines that do not answer their stop: the request ends 2 s after the stop, the engine is given up
// until the next start, and whatever it answers later never enters a game.

#include "bridge_test_util.h"
#include "tests/app/session_fixture.h"

#include "app/core/language.h"

using namespace bridge_test;

namespace {

class Abandon : public StubBridgeTest {
  protected:
    static std::chrono::milliseconds Since(std::chrono::steady_clock::time_point t) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t);
    }
    void ExpectErrorInInfoPanel() {
        const auto message = TakeGameMessage();
        ASSERT_TRUE(message);
        EXPECT_EQ(message->text, std::string(Phrase(61)));
        EXPECT_EQ(message->kind, 1);
    }
};

} // namespace

TEST_F(Abandon, StopReturnsWithinThreeSecondsAndTheLateAnswerNeverEntersAGame) {
    stub_plugin_script s{};
    s.mode = STUB_IGNORE_STOP;
    marrak.Script(s);
    app_test::ResetGame(StartPosition64, 0, gtEnglish, true);
    EngineSettings.Kind = ekMarrak;
    StartEngine();
    ASSERT_TRUE(WaitUntil([&] { return marrak.Inside() == 1; }));
    const auto stop = std::chrono::steady_clock::now();
    StopEngineAndWait(); // the default 2 s
    const auto waited = Since(stop);
    EXPECT_GE(waited, std::chrono::milliseconds(1900));
    EXPECT_LT(waited, std::chrono::milliseconds(3000));
    EXPECT_FALSE(m_bridge.Available(ekMarrak));
    EXPECT_TRUE(m_bridge.Available(ekTrevalo)); // only that engine
    ExpectErrorInInfoPanel();
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_NE(diagnostics[0].find("Marrak"), std::string::npos);

    // A new game; then the engine answers, too late.
    app_test::ResetGame(StartPosition64, 0, gtEnglish, true);
    EXPECT_EQ(marrak.Inside(), 1);
    marrak.Release();
    ASSERT_TRUE(WaitForLibraryCalls(std::chrono::seconds(30)));
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_EQ(CurrentBoard(), StartPosition64);

    // Until the next start a request for it ends at once, without a move.
    StartEngine();
    ASSERT_TRUE(EngineIdleEvent.Wait(std::chrono::seconds(5)));
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_EQ(marrak.LogLines().size(), 1u); // the one abandoned call
    ExpectErrorInInfoPanel();
}

TEST_F(Abandon, AnOskeenThatIgnoresEiStopIsGivenUpToo) {
    m_bridge.SetAbandonGrace(std::chrono::milliseconds(300));
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
        const auto stop = std::chrono::steady_clock::now();
        StopEngineAndWait();
        EXPECT_LT(Since(stop), std::chrono::milliseconds(2000));
        EXPECT_NE(oskeen.Log().find("EI_Stop"), std::string::npos); // it was asked
        EXPECT_FALSE(m_bridge.Available(ekOskeen));
        ExpectErrorInInfoPanel();
        oskeen.Release();
        ASSERT_TRUE(WaitForLibraryCalls(std::chrono::seconds(30)));
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
    ASSERT_TRUE(EngineIdleEvent.Wait(std::chrono::seconds(10)));
    StopEngineAndWait();
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_TRUE(m_bridge.Available(ekTrevalo));
}

TEST_F(Abandon, AnEngineThatHangsAtStartCostsTheGraceNotTheProgram) {
    m_bridge.SetAbandonGrace(std::chrono::milliseconds(300));
    stub_plugin_script s{};
    s.block_command = 1;
    trevalo.Script(s);
    stub_oskeen_script o{};
    o.block_init = 1;
    oskeen.Script(o);
    const auto start = std::chrono::steady_clock::now();
    m_bridge.InitEngines({});
    EXPECT_LT(Since(start), std::chrono::milliseconds(2000));
    EXPECT_FALSE(m_bridge.Available(ekTrevalo));
    EXPECT_FALSE(m_bridge.Available(ekOskeen));
    EXPECT_EQ(m_bridge.OskeenEngineName(), DefaultOskeenName);
    // Trevalo got its first command only; the others went on.
    EXPECT_EQ(trevalo.LogLines(), (std::vector<std::string>{"enginecommand[set hashsize 1]"}));
    EXPECT_TRUE(m_bridge.Available(ekMarrak));
    EXPECT_EQ(marrak.LogLines().size(), 4u);
}
