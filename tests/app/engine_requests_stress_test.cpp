// Start and stop bursts against a slow fake engine: never two requests at once, never a hang.
// Also built into the ThreadSanitizer test executable, where races are reported.

#include "app/core/main_timer.h"
#include "fake_engine_bridge.h"
#include "session_fixture.h"
#include "tests/support/wait.h"

#include <random>

using namespace app_test;

namespace {
class TNullView final : public ITickView {
  public:
    void DrawBoard(int) override { Read(); }
    void RefreshGamePanel() override { Read(); }
    void ShowBookMoves() override {}
    void StopButtonIdle() override {}
    void ShowClockLabel(const std::string&) override {}
    void ServeElectronicBoard() override {}
    void ShowGameMessage(const std::string&, int) override {}
    bool TournamentMode() override { return false; }
    void ShowEngineInfo(const TEngineInfo& info, int) override { sum += info.BestLine.size(); }
    std::size_t sum = 0;

  private:
    // What a redraw reads, as the window's drawing would.
    void Read() { sum += CurrentBoard()[1] + SideToMove() + CurrentNode() + CurrentGame().header.nodeCount; }
};

int Bursts() {
    if (const char* env = std::getenv("VQ_STRESS_BURSTS")) return std::max(1, std::atoi(env));
    return 1000;
}
} // namespace

TEST(EngineRequestsStress, StartAndStopBurstsNeverOverlapNorHang) {
    // A hang must not pass as a slow test.
    const test_support::TWatchdog watchdog("the engine requests", std::chrono::seconds(240));
    UseSmallHashTable();
    TFakeBridge bridge;
    bridge.delay = std::chrono::microseconds(300);
    SetEngineBridge(&bridge);
    ResetGame(StartPosition64, 0, gtRussian, true);
    std::mt19937 rng(2024);
    TNullView view;
    TMainTimer timer;

    // A second thread asks for stops at random moments, as the board thread or a close could.
    std::atomic<bool> finished{false};
    std::thread stopper([&] {
        std::mt19937 r(7);
        while (!finished.load()) {
            if (r() % 4 == 0) StopEngine();
            (void)IsEngineBusy();
            std::this_thread::sleep_for(std::chrono::microseconds(r() % 400));
        }
    });

    const int bursts = Bursts();
    for (int i = 0; i < bursts; ++i) {
        const unsigned pick = rng() % 10;
        // Mostly the slow plug-in; now and then the built-in engine, in both modes.
        EngineSettings.Kind = pick == 0 ? ekVantor : pick == 1 ? ekOskeen : ekMarrak;
        EngineSettings.Level = 4;
        Shell.AnalysisMode = rng() % 3 == 0 ? 1 : 0;
        StartEngine();
        if (rng() % 2) std::this_thread::sleep_for(std::chrono::microseconds(rng() % 500));
        timer.RunMainTimerTick(view);
        switch (rng() % 3) {
        case 0:
            StopEngineAndWait();
            break;
        case 1:
            StartEngine(); // stops and waits for the previous request itself
            StopEngineAndWait();
            break;
        default:
            StopEngine();
            ASSERT_TRUE(EngineIdleEvent.Wait(std::chrono::seconds(60))) << "burst " << i;
            break;
        }
        timer.RunMainTimerTick(view);
        if (CurrentGame().header.nodeCount > 500 || CurrentGame().header.result != 0)
            ResetGame(StartPosition64, 0, gtRussian, true);
    }
    finished = true;
    stopper.join();
    StopEngineAndWait();
    SetEngineBridge(nullptr);
    EngineSettings = TEngineSettings{};
    EXPECT_EQ(bridge.maxRunning.load(), 1);
    EXPECT_GT(bridge.calls.load(), bursts / 2);
    EXPECT_FALSE(IsEngineBusy());
}
