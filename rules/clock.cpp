#include "rules/clock.h"

#include "platform/steady_clock.h"

#include <cstdio>

std::int64_t NowCentiseconds() {
    // Rounded to the nearest centisecond.
    return (SteadyNow().count() + 5'000'000) / 10'000'000;
}

std::int64_t ElapsedCentiseconds(std::int64_t stamp) {
    return NowCentiseconds() - stamp;
}

std::string FormatClock(std::int64_t centiseconds) {
    if (centiseconds < 0) centiseconds = 0;
    const std::int64_t t = centiseconds / 100;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(t / 3600 % 24),
                  static_cast<int>(t / 60 % 60), static_cast<int>(t % 60));
    return text;
}
