#include "app/core/game_clock.h"

#include "app/core/game_end.h"
#include "rules/clock.h"

std::array<std::atomic<std::int32_t>, 2> Clocks{30000, 30000};
std::atomic<std::uint8_t> ClockRunning{0};
std::atomic<std::int64_t> ClockStamp{0};

void StartClock() {
    ClockStamp = NowCentiseconds();
    ClockRunning = 1;
}

void SetClocks(std::int32_t side0, std::int32_t side1) {
    Clocks[0] = side0;
    Clocks[1] = side1;
}

std::string ClockLabelFor(std::int32_t side0, std::int32_t side1) {
    return FormatClock(side0).substr(1) + " " + FormatClock(side1).substr(1);
}

bool RunClockStep(int side) {
    if (!ClockRunning) return false;
    const std::int64_t now = NowCentiseconds();
    const std::int64_t e = now - ClockStamp.exchange(now);
    std::atomic<std::int32_t>& clock = Clocks[side & 1];
    const std::int64_t left = clock.load() - e;
    if (left >= 0) {
        clock = static_cast<std::int32_t>(left);
        return false;
    }
    ClockRunning = 0;
    clock = 0;
    RecordLossOnTime(side & 1);
    return true;
}
