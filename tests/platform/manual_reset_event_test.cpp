#include "platform/manual_reset_event.h"

#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

TEST(ManualResetEvent, InitialStateSetAndResetWithZeroTimeout) {
    ManualResetEvent on(true);
    ManualResetEvent off(false);
    EXPECT_TRUE(on.Wait(0ms));
    EXPECT_FALSE(off.Wait(0ms));
    // Manual reset: waiting does not consume the signal.
    EXPECT_TRUE(on.Wait(0ms));
    on.Wait();
    EXPECT_TRUE(on.IsSet());
    on.Reset();
    EXPECT_FALSE(on.Wait(0ms));
    off.Set();
    off.Set(); // idempotent
    EXPECT_TRUE(off.Wait(0ms));
}

TEST(ManualResetEvent, TimedWaitTimesOutWhenNotSignalled) {
    ManualResetEvent e(false);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(e.Wait(20ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms);
}

TEST(ManualResetEvent, SetReleasesEveryWaiterOfEachKind) {
    ManualResetEvent e(false);
    std::atomic<int> released{0};
    std::atomic<int> timedOk{0};
    std::vector<std::atomic<int>> waiters(8); // their kernel thread ids
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&, i] {
            waiters[i] = test_support::KernelThreadId();
            if (i < 4)
                e.Wait();
            else if (e.Wait(test_support::WatchdogLimit))
                ++timedOk;
            ++released;
        });
    // Every thread has reached its wait and sleeps there, or has wrongly passed it.
    EXPECT_TRUE(test_support::WaitUntil([&] {
        if (released > 0) return true;
        for (const auto& tid : waiters)
            if (tid == 0 || !test_support::ThreadAsleep(tid)) return false;
        return true;
    }));
    EXPECT_EQ(released.load(), 0); // nobody passes an unsignalled event
    e.Set();
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(released.load(), 8);
    EXPECT_EQ(timedOk.load(), 4);
}

TEST(ManualResetEvent, ResetAndSetFromManyThreadsKeepsTheLastState) {
    // The idle-event pattern: workers reset at their start and set at their end, observers poll.
    ManualResetEvent idle(true);
    std::atomic<bool> stop{false};
    std::thread observer([&] {
        while (!stop)
            idle.Wait(0ms);
    });
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w)
        workers.emplace_back([&] {
            for (int i = 0; i < 1000; ++i) {
                idle.Reset();
                idle.Set();
            }
        });
    for (auto& t : workers)
        t.join();
    stop = true;
    observer.join();
    EXPECT_TRUE(idle.Wait(0ms));
}
