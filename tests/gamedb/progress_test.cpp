// The progress interface: the time estimate on an injected clock, 64-bit maximums, and the scope
// that ends a task on every way out.

#include "gamedb/database_session.h"
#include "gamedb/progress.h"
#include "platform/steady_clock.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ProgressEstimate, RemainingTimeAtThePaceSoFar) {
    struct Row {
        std::int64_t elapsed, position, maximum;
        const char* text;
    } rows[] = {
        {1000, 100, 400, "Estimated time 00:00:30"},
        {1000, 400, 400, "Estimated time 00:00:00"},
        {1000, 500, 400, "Estimated time 00:00:00"}, // past the maximum: nothing left
        {1000, 0, 400, ""},                          // no estimate before the first step
        {0, 100, 400, "Estimated time 00:00:00"},
        {1, 3, 10, "Estimated time 00:00:00"},               // 10/3 - 1 centiseconds
        {6000, 1, 4'000'000'000, "Estimated time 18:39:00"}, // 60 s a step: hours wrap at 24
        {12345, 1'000'000'000, 4'000'000'000, "Estimated time 00:06:10"},
        {360'000, 2'000'000'000'000, 4'000'000'000'000, "Estimated time 01:00:00"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(EstimateText(r.elapsed, r.position, r.maximum), r.text);
    }
    // elapsed * maximum passes 2^63 here; the estimate does not wrap to a negative time.
    EXPECT_EQ(RemainingCentiseconds(3'000'000'000, 1, 4'000'000'000'000), INT64_MAX);
    EXPECT_EQ(RemainingCentiseconds(3'000'000'000, 1'000'000'000'000, 4'000'000'000'000), 9'000'000'000);
    EXPECT_EQ(RemainingCentiseconds(10, -5, 100), -1);
}

TEST(ProgressEstimate, RunsOnTheProgramsClock) {
    std::int64_t ns = 5'000'000'000;
    SetSteadyClockSource([&] { return std::chrono::nanoseconds(ns); });
    TProgressEstimate e;
    e.Start(400);
    ns += 10'000'000'000; // 10 s
    EXPECT_EQ(e.Text(100), "Estimated time 00:00:30");
    EXPECT_EQ(e.Text(0), "");
    e.Start(-1); // a negative maximum counts as 0
    EXPECT_EQ(e.Maximum(), 0);
    SetSteadyClockSource({});
}

TEST(ProgressEstimate, ClampIntoTheGauge) {
    EXPECT_EQ(ClampProgress(-3, 10), 0);
    EXPECT_EQ(ClampProgress(30, 10), 10);
    EXPECT_EQ(ClampProgress(5, -1), 0);
    EXPECT_EQ(ClampProgress(3'000'000'000, 4'000'000'000), 3'000'000'000);
}

class TCountingProgress : public IProgress {
  public:
    int begins = 0, steps = 0, ends = 0;
    void BeginProgress(const std::string&, const std::string&, std::int64_t, std::int64_t) override {
        ++begins;
    }
    void StepProgress(std::int64_t, std::int64_t) override { ++steps; }
    void EndProgress() override { ++ends; }
};

TEST(ProgressScope, EndsOnEveryWayOut) {
    TCountingProgress p;
    try {
        TProgressScope scope(p, "Task", "text", 10, 10);
        scope.Step(1, 0);
        throw std::runtime_error("disk gone");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(p.begins, 1);
    EXPECT_EQ(p.steps, 1);
    EXPECT_EQ(p.ends, 1);
    {
        TProgressScope scope(p, "Task", "text", 10, 10);
        scope.End();
        scope.End();
    }
    EXPECT_EQ(p.ends, 2); // once per task
}

TEST(ProgressOfASession, SilentByDefaultAndReplaceable) {
    TDatabaseSession session;
    IProgress& silent = session.Progress();
    silent.BeginProgress("x", "y", -1, -1); // the default shows nothing and accepts anything
    silent.StepProgress(5, 0);
    silent.EndProgress();
    TCountingProgress p;
    session.progress = &p;
    session.Progress().EndProgress();
    EXPECT_EQ(p.ends, 1);
    session.progress = nullptr;
    EXPECT_EQ(&session.Progress(), &silent);
}

} // namespace
