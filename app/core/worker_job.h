#pragma once
// One piece of long work on a worker thread, for a window that must stay responsive: the window
// starts it, polls the latest published state from its timer, and may ask it to stop. The work
// publishes copies of its state; the window never reads the worker's own variables.
//
// Threads: Start, Cancel, TakeState, TakeFinished and the destructor belong to the thread that
// owns the job (the user-interface thread); Publish and CancelFlag to the work.

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

template <class TState> class TWorkerJob {
  public:
    using TWork = std::function<void(TWorkerJob&)>;

    TWorkerJob() = default;
    // Asks a running work to stop and waits for it.
    ~TWorkerJob() {
        Cancel();
        if (m_thread.joinable()) m_thread.join();
    }
    TWorkerJob(const TWorkerJob&) = delete;
    TWorkerJob& operator=(const TWorkerJob&) = delete;

    // Starts `work` on a new thread; false (and nothing started) while an earlier work still runs.
    bool Start(TWork work) {
        if (Busy()) return false;
        if (m_thread.joinable()) m_thread.join();
        m_cancel = false;
        m_done = false;
        {
            std::lock_guard lock(m_mutex);
            m_state.reset();
        }
        m_thread = std::thread([this, w = std::move(work)] {
            w(*this);
            m_done = true;
        });
        return true;
    }
    void Cancel() { m_cancel = true; }
    const std::atomic<bool>& CancelFlag() const { return m_cancel; }
    bool CancelRequested() const { return m_cancel; }
    // Started and not yet finished.
    bool Busy() const { return m_thread.joinable() && !m_done; }
    // Started and its end not yet taken by TakeFinished.
    bool Pending() const { return m_thread.joinable(); }

    // Work side: the latest state, replacing one not yet taken.
    void Publish(TState state) {
        std::lock_guard lock(m_mutex);
        m_state = std::move(state);
    }
    // The state published since the last call, if any.
    std::optional<TState> TakeState() {
        std::lock_guard lock(m_mutex);
        std::optional<TState> s = std::move(m_state);
        m_state.reset();
        return s;
    }
    // True once when the work has ended (the thread is joined then). Call it before TakeState:
    // the work publishes its last state before it ends, so that state is then waiting.
    bool TakeFinished() {
        if (!m_thread.joinable() || !m_done) return false;
        m_thread.join();
        return true;
    }

  private:
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_done{false};
    std::mutex m_mutex;
    std::optional<TState> m_state;
};
