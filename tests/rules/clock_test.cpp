#include "rules/clock.h"

#include "platform/steady_clock.h"

#include <gtest/gtest.h>

TEST(Clock, FormatClock) {
    struct Row {
        std::int64_t cs;
        const char* text;
    } rows[] = {
        {0, "00:00:00"},         {99, "00:00:00"},        {100, "00:00:01"},
        {359'999, "00:59:59"},   {360'000, "01:00:00"},   {8'639'999, "23:59:59"},
        {8'640'000, "00:00:00"}, {9'006'100, "01:01:01"}, {-5, "00:00:00"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.cs);
        EXPECT_EQ(FormatClock(r.cs), r.text);
    }
}

TEST(Clock, ElapsedFollowsTheSteadySource) {
    std::int64_t ns = 1'000'000'000;
    SetSteadyClockSource([&] { return std::chrono::nanoseconds(ns); });
    const std::int64_t stamp = NowCentiseconds();
    EXPECT_EQ(stamp, 100);
    ns += 12'345'000'000; // 12.345 s later: rounded to the nearest centisecond
    EXPECT_EQ(ElapsedCentiseconds(stamp), 1235);
    ns += 86'400'000'000'000; // a whole day later still counts on
    EXPECT_EQ(ElapsedCentiseconds(stamp), 1235 + 8'640'000);
    SetSteadyClockSource({});
}
