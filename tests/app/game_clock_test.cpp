// The game clocks: the step of the side to move on the program's steady clock, the loss on time it
// records, and the clock label.
#include "app/core/game_clock.h"
#include "app/core/game_end.h"
#include "app/core/language.h"
#include "platform/steady_clock.h"
#include "session_fixture.h"

using namespace app_test;

namespace {
class GameClock : public testing::Test {
  protected:
    void TearDown() override { SetSteadyClockSource({}); }
};
} // namespace

TEST_F(GameClock, TheClockFallingBelowZeroLosesOnTimeOnce) {
    std::int64_t now = 1'000'000'000;
    SetSteadyClockSource([&] { return std::chrono::nanoseconds(now); });
    struct Row {
        TGameType variant;
        int side;
        std::uint8_t result;
    } rows[] = {
        {gtRussian, 0, grBlackOnTime}, // "0-1t"
        {gtEnglish, 0, grWhiteOnTime}, // "1-0t"
        {gtRussian, 1, grWhiteOnTime},
        {gtPool, 1, grBlackOnTime},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << int(r.variant) << " side " << r.side);
        ResetGame(StartPosition64, r.side, r.variant, true);
        SetClocks(30, 30);
        StartClock();
        now += 20'000'000; // 2 cs
        TGameLock lock = GameSession().Lock();
        EXPECT_FALSE(RunClockStep(r.side));
        EXPECT_EQ(Clocks[r.side].load(), 28);
        now += 500'000'000; // 50 cs
        EXPECT_TRUE(RunClockStep(r.side));
        EXPECT_EQ(Clocks[r.side].load(), 0);
        EXPECT_EQ(Clocks[1 - r.side].load(), 30);
        EXPECT_EQ(ClockRunning.load(), 0);
        EXPECT_EQ(CurrentGame().header.result, r.result);
        EXPECT_EQ(TakeGameMessage()->text, Phrase(62));
        now += 500'000'000;
        EXPECT_FALSE(RunClockStep(r.side));
        // A clock that runs out after the game has its result changes nothing.
        ClockRunning = 1;
        now += 500'000'000;
        EXPECT_TRUE(RunClockStep(r.side));
        EXPECT_EQ(CurrentGame().header.result, r.result);
        EXPECT_FALSE(TakeGameMessage());
    }
}

TEST_F(GameClock, ClockLabelShowsBothClocks) {
    EXPECT_EQ(ClockLabelFor(18000, 18000), "0:03:00 0:03:00");
    EXPECT_EQ(ClockLabelFor(17500, 18000), "0:02:55 0:03:00");
    EXPECT_EQ(ClockLabelFor(60000, 59899), "0:10:00 0:09:58");
    EXPECT_EQ(ClockFromMinSec(4, 30), 27000);
}
