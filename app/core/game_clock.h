#pragma once
// The two game clocks in centiseconds, on the steady clock. The clock of the side to move runs
// while ClockRunning is set. The timer runs them under the game session's lock; the engine thread
// only reads a clock for its time budget and stops the clock at the game's end.

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

extern std::array<std::atomic<std::int32_t>, 2> Clocks; // side 0, side 1
extern std::atomic<std::uint8_t> ClockRunning;
extern std::atomic<std::int64_t> ClockStamp;

// The clock of the side to move runs from now.
void StartClock();
void SetClocks(std::int32_t side0, std::int32_t side1);

// The fixed time controls "3 minutes" .. "60 minutes".
constexpr std::int32_t TimeControlCentiseconds[5] = {18000, 30000, 60000, 180000, 360000};
// The clocks from the minutes and seconds of the "Set time" dialog.
constexpr std::int32_t ClockFromMinSec(int minutes, int seconds) {
    return (minutes * 60 + seconds) * 100;
}

// "0:10:00 0:09:58": both clocks as h:mm:ss.
std::string ClockLabelFor(std::int32_t side0, std::int32_t side1);

// One tick of the clock of `side`: takes the time since the last tick from it; below zero it stops
// at zero and records the loss on time. The caller holds the game session's lock. Returns true when the
// clock ran out on this tick.
bool RunClockStep(int side);
