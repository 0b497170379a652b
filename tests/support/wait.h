#pragma once
// Waiting in tests for something another thread or process does. A test waits on the condition
// itself, never for a fixed time standing for "it has happened by now"; the limits are watchdogs,
// generous enough for a loaded machine and a sanitizer build, so that something that never comes
// fails the test (or ends the run) instead of hanging it. No test bounds how fast a thing happens.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <thread>

namespace test_support {

constexpr std::chrono::seconds WatchdogLimit{60};

// Polls `ready` until it holds: true as soon as it does, false once `limit` has passed and it still
// does not.
inline bool WaitUntil(const std::function<bool()>& ready, std::chrono::milliseconds limit = WatchdogLimit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > end) return ready();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Runs `work` (a call that must end by itself: a stop, a join) and waits for it. A call that has not
// ended within `limit` hangs for good; it still holds the test's objects, so the run is ended here
// with a message rather than left to the test driver's timeout.
inline void MustEnd(const char* what, const std::function<void()>& work,
                    std::chrono::milliseconds limit = WatchdogLimit) {
    std::packaged_task<void()> task(work);
    std::future<void> done = task.get_future();
    std::thread runner(std::move(task));
    if (done.wait_for(limit) != std::future_status::ready) {
        std::fprintf(stderr, "watchdog: %s did not end within %lld ms\n", what,
                     static_cast<long long>(limit.count()));
        std::abort();
    }
    runner.join();
    done.get();
}

} // namespace test_support
