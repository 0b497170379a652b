#pragma once
// A manual-reset event: once set it stays signalled, releasing every waiter, until Reset.
// All members may be called from any thread. Not copyable.

#include <chrono>
#include <condition_variable>
#include <mutex>

class ManualResetEvent {
  public:
    explicit ManualResetEvent(bool signalled = false);
    ManualResetEvent(const ManualResetEvent&) = delete;
    ManualResetEvent& operator=(const ManualResetEvent&) = delete;

    void Set();
    void Reset();
    // Blocks until signalled.
    void Wait();
    // True when signalled within `timeout`; a zero timeout only tests the state.
    bool Wait(std::chrono::milliseconds timeout);
    bool IsSet() { return Wait(std::chrono::milliseconds(0)); }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_signalled;
};
