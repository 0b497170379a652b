#pragma once
// A steady clock that stands still until the test moves it, installed as the program's clock
// (platform/steady_clock.h) for the object's life. It counts the looks at it: a thread that reads
// the clock in a loop has acted on a time the test set once it has looked a few times more.
// Make and destroy it while no other thread runs (it replaces the clock source); move it and read
// it from any thread.

#include "platform/steady_clock.h"
#include "tests/support/wait.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

namespace test_support {

class TManualClock {
  public:
    // Far from zero, so that code which keeps "never" as time 0 sees a long interval since then.
    explicit TManualClock(std::chrono::nanoseconds start = std::chrono::hours(1)) : m_now(start.count()) {
        SetSteadyClockSource([this] {
            m_looks.fetch_add(1);
            return std::chrono::nanoseconds(m_now.load());
        });
    }
    ~TManualClock() { SetSteadyClockSource({}); }
    TManualClock(const TManualClock&) = delete;
    TManualClock& operator=(const TManualClock&) = delete;

    void Advance(std::chrono::nanoseconds by) { m_now.fetch_add(by.count()); }
    std::uint64_t Looks() const { return m_looks.load(); }

    // Waits until the clock has been looked at `looks` more times from this call on, or `orElse`
    // holds; false after `limit`. A look counted here saw everything the caller did before the
    // call (the time it set, the stop it asked).
    bool WaitForLooks(int looks, const std::function<bool()>& orElse = {},
                      std::chrono::milliseconds limit = WatchdogLimit) const {
        const std::uint64_t until = Looks() + static_cast<std::uint64_t>(looks);
        return WaitUntil([&] { return Looks() >= until || (orElse && orElse()); }, limit);
    }

  private:
    std::atomic<std::int64_t> m_now;
    std::atomic<std::uint64_t> m_looks{0};
};

} // namespace test_support
