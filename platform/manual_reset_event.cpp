#include "platform/manual_reset_event.h"

ManualResetEvent::ManualResetEvent(bool signalled) : m_signalled(signalled) {}

void ManualResetEvent::Set() {
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    m_changed.notify_all();
}

void ManualResetEvent::Reset() {
    std::lock_guard lock(m_mutex);
    m_signalled = false;
}

void ManualResetEvent::Wait() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_signalled; });
}

bool ManualResetEvent::Wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    if (timeout <= std::chrono::milliseconds::zero()) return m_signalled;
    // wait_for measures on the steady clock, so a change of wall time does not stretch the wait.
    return m_changed.wait_for(lock, timeout, [this] { return m_signalled; });
}
