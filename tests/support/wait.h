#pragma once
// Waiting in tests for something another thread or process does. A test waits on the condition
// itself, never for a fixed time standing for "it has happened by now"; the limits are watchdogs,
// generous enough for a loaded machine and a sanitizer build, so that something that never comes
// fails the test (or ends the run) instead of hanging it. No test bounds how fast a thing happens.

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

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

// Aborts the run, with a message, when the scope it guards has not ended within `limit`: the watchdog
// of MustEnd for a call that must stay on the calling thread (a window's, on the user-interface
// thread).
class TWatchdog {
  public:
    explicit TWatchdog(const char* what, std::chrono::milliseconds limit = WatchdogLimit)
        : m_thread([this, what, limit] {
              std::unique_lock lock(m_mutex);
              if (m_changed.wait_for(lock, limit, [this] { return m_done; })) return;
              std::fprintf(stderr, "watchdog: %s did not end within %lld ms\n", what,
                           static_cast<long long>(limit.count()));
              std::abort();
          }) {}
    ~TWatchdog() {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    TWatchdog(const TWatchdog&) = delete;
    TWatchdog& operator=(const TWatchdog&) = delete;

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_done = false;
    std::thread m_thread; // last: it starts once the members it uses are made
};

// The calling thread's id in the kernel, for WaitUntilAsleep.
inline int KernelThreadId() {
    return static_cast<int>(::gettid());
}

// True while thread `tid` of this process sleeps in the kernel (blocked on a lock, a condition, a
// poll or a read); false while it runs, and once it has ended.
inline bool ThreadAsleep(int tid) {
    std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // "tid (name) state ...": the name may hold blanks and parentheses.
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'S';
}

// Waits until thread `tid` sleeps in the kernel: it has reached the wait that a test is about to
// end or to check, rather than being on its way there.
inline bool WaitUntilAsleep(int tid, std::chrono::milliseconds limit = WatchdogLimit) {
    return WaitUntil([tid] { return ThreadAsleep(tid); }, limit);
}

} // namespace test_support
