#include "platform/steady_clock.h"

#include <gtest/gtest.h>

TEST(SteadyClock, InjectedSourceIsUsedAndRestored) {
    SetSteadyClockSource([] { return std::chrono::nanoseconds(42); });
    EXPECT_EQ(SteadyNow().count(), 42);
    SetSteadyClockSource({});
    const auto a = SteadyNow();
    const auto b = SteadyNow();
    EXPECT_LE(a, b);
    EXPECT_GT(a.count(), 42);
}
