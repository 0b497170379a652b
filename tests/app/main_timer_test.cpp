#include "app/core/game_end.h"
#include "app/core/language.h"
#include "app/core/main_timer.h"
#include "fake_engine_bridge.h"
#include "platform/steady_clock.h"
#include "session_fixture.h"

using namespace app_test;

namespace {
class TRecordingView final : public ITickView {
  public:
    void DrawBoard(int mode) override { calls.push_back("draw " + std::to_string(mode)); }
    void RefreshGamePanel() override { calls.push_back("panel"); }
    void ShowBookMoves() override { calls.push_back("book"); }
    void StopButtonIdle() override { calls.push_back("stop button"); }
    void ShowClockLabel(const std::string& text) override { calls.push_back("clock " + text); }
    void ServeElectronicBoard() override { calls.push_back("eboard"); }
    void ShowGameMessage(const std::string& text, int kind) override {
        calls.push_back("message " + std::to_string(kind) + " " + text);
    }
    bool TournamentMode() override { return tournament; }
    void ShowEngineInfo(const TEngineInfo& info, int) override { calls.push_back("info " + info.Depth); }

    std::vector<std::string> calls;
    bool tournament = false;
};

class MainTimer : public testing::Test {
  protected:
    void SetUp() override {
        SetSteadyClockSource([this] { return std::chrono::nanoseconds(m_now); });
        ResetGame(StartPosition64, 0, gtRussian, true);
        EngineSettings = TEngineSettings{};
        ClockLabelText.clear();
    }
    void TearDown() override {
        StopEngineAndWait();
        SetSteadyClockSource({});
        SetEngineBridge(nullptr);
        EngineSettings = TEngineSettings{};
    }
    void RaiseEverything() {
        RequestRedraw(1);
        RequestPanelRefresh();
        RequestBookRefresh();
        EngineDone = 1;
        PostGameMessage("hello", 0);
        EngineInfo.Update([](TEngineInfo& info) { info.Depth = "7 (1/9)"; });
    }
    std::int64_t m_now = 5'000'000'000;
};
} // namespace

TEST_F(MainTimer, EveryFlagIsServedInOrderAndCleared) {
    SetClocks(18000, 18000);
    StartClock();
    m_now += 5'000'000'000; // the engine thought for 5 s
    RaiseEverything();
    TRecordingView view;
    RunMainTimerTick(view);
    const std::vector<std::string> expected = {
        "draw 1", "panel",           "book",        "stop button", "clock 0:02:55 0:03:00",
        "eboard", "message 0 hello", "info 7 (1/9)"};
    EXPECT_EQ(view.calls, expected);

    // Nothing is left for the next tick, and the unchanged clock label is not set again.
    view.calls.clear();
    RunMainTimerTick(view);
    EXPECT_EQ(view.calls, std::vector<std::string>{"eboard"});
}

TEST_F(MainTimer, AnalysisModeLeavesTheClocksAndTournamentModeHidesTheEngine) {
    AnalysisMode = 1;
    SetClocks(18000, 18000);
    StartClock();
    m_now += 5'000'000'000;
    EngineInfo.Update([](TEngineInfo& info) { info.Depth = "5"; });
    TRecordingView view;
    view.tournament = true; // only hides in play mode
    RunMainTimerTick(view);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"eboard", "info 5"}));
    EXPECT_EQ(Clocks[0].load(), 18000);

    AnalysisMode = 0;
    EngineInfo.Update([](TEngineInfo& info) { info.Depth = "6"; });
    view.calls.clear();
    RunMainTimerTick(view);
    EXPECT_TRUE(EngineInfo.HasNewInfo()); // kept until it may be shown
    view.tournament = false;
    view.calls.clear();
    RunMainTimerTick(view);
    EXPECT_EQ(view.calls.back(), "info 6");
}

TEST_F(MainTimer, TheTickRecordsTheLossOnTimeAndShowsItsMessage) {
    SetClocks(100, 18000);
    StartClock();
    m_now += 2'000'000'000;
    TRecordingView view;
    RunMainTimerTick(view);
    EXPECT_EQ(CurrentGame().header.result, grBlackOnTime);
    const std::vector<std::string> expected = {"clock 0:00:00 0:03:00", "eboard",
                                               "message 0 " + std::string(Phrase(62))};
    EXPECT_EQ(view.calls, expected);
    // The panel shows the new result on the next tick; the clock stays stopped at zero.
    view.calls.clear();
    m_now += 2'000'000'000;
    RunMainTimerTick(view);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"panel", "eboard"}));
}

TEST_F(MainTimer, APluginsProgressLineReplacesTheElectronicBoard) {
    TFakeBridge bridge;
    SetEngineBridge(&bridge);
    AnalysisMode = 1;
    EngineSettings.Kind = ekMarrak;
    bridge.SetStatus("value=12,  depth 9/9/9,  1.5s,  300 kN/s,  9-13");
    StartEngine(); // thinks until stopped
    ASSERT_TRUE(WaitUntil([&] { return bridge.calls.load() > 0; })) << "the engine was never called";
    TRecordingView view;
    RunMainTimerTick(view);
    ASSERT_FALSE(view.calls.empty());
    EXPECT_EQ(view.calls.back(), "info 9/9/9");
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "eboard"), 0);
    // An unchanged line is not read again.
    view.calls.clear();
    EngineInfo.ClearNewInfo();
    RunMainTimerTick(view);
    EXPECT_TRUE(view.calls.empty());
    StopEngineAndWait();
    EXPECT_EQ(EngineInfo.Snapshot().Score, 12);
    // The next request starts with nothing shown, and its first line is read even when it is the
    // line the last request ended with.
    bridge.calls = 0;
    StartEngine();
    ASSERT_TRUE(WaitUntil([&] { return bridge.calls.load() > 0; })) << "the engine was never called";
    EXPECT_EQ(EngineInfo.Snapshot().Depth, "");
    view.calls.clear();
    RunMainTimerTick(view);
    ASSERT_FALSE(view.calls.empty());
    EXPECT_EQ(view.calls.back(), "info 9/9/9");
    StopEngineAndWait();
    SetEngineBridge(nullptr); // the fake ends with this test
}
