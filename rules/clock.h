#pragma once
// Centisecond time base of the program: game clocks, search timing, progress windows.
// On the steady clock, so a change of the wall-clock time never moves a game clock.

#include <cstdint>
#include <string>

std::int64_t NowCentiseconds();
std::int64_t ElapsedCentiseconds(std::int64_t stamp);
// "hh:mm:ss", hours wrapping at 24; hundredths are dropped. A negative value shows as 00:00:00.
std::string FormatClock(std::int64_t centiseconds);
