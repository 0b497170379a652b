#include "app/core/library_call.h"

#include "platform/steady_clock.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <system_error>
#include <thread>

namespace {
using TNanos = std::chrono::nanoseconds;

// Without a Wake the wait still looks at the stop (and at the clock) this often.
constexpr std::chrono::milliseconds kPoll{50};

std::mutex g_countMutex;
std::condition_variable g_countChanged;
int g_running = 0;
std::atomic<int> g_waitingForStop{0};

void CountStarted() {
    std::lock_guard lock(g_countMutex);
    ++g_running;
}
void CountEnded() {
    std::lock_guard lock(g_countMutex);
    --g_running;
    g_countChanged.notify_all();
}

// Starts `run` on a detached thread that is counted while it lives. False when no thread could be
// started.
bool StartCounted(std::function<void()> run) {
    CountStarted();
    try {
        std::thread([run = std::move(run)]() mutable {
            run();
            run = nullptr; // what the call captured goes before the count says it ended
            CountEnded();
        }).detach();
        return true;
    } catch (const std::system_error&) {
        CountEnded();
        return false;
    }
}
} // namespace

void TLibraryCall::Wake() {
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_changed.notify_all();
}

bool TLibraryCall::Finished() const {
    std::lock_guard lock(m_mutex);
    return m_done;
}

TCallOutcome RunLibraryCall(const std::shared_ptr<TLibraryCall>& call, std::function<void()> body,
                            const TCallGuard& guard) {
    // The grace and the repeat count on the program's steady clock; no wait sleeps longer than
    // kPoll, so a clock that a test moves by hand is seen moved. A set-up call's grace counts from
    // before its thread starts.
    std::optional<TNanos> stopAt;
    if (guard.deadlineFromStart) stopAt = SteadyNow();
    const bool started = StartCounted([call, body = std::move(body)] {
        bool threw = false;
        try {
            body();
        } catch (...) {
            threw = true; // no exception crosses into the program
        }
        {
            std::lock_guard lock(call->m_mutex);
            call->m_done = true;
            call->m_threw = threw;
        }
        call->m_changed.notify_all();
    });
    if (!started) return TCallOutcome::Threw;

    TNanos nextStopAction = TNanos::min();
    std::unique_lock lock(call->m_mutex);
    while (!call->m_done) {
        const TNanos now = SteadyNow();
        const bool stopping = !guard.deadlineFromStart && guard.stopAsked && guard.stopAsked();
        if (stopping) {
            if (!stopAt) stopAt = now;
            if (now >= nextStopAction) {
                nextStopAction = now + guard.repeat;
                if (guard.onStop) {
                    lock.unlock();
                    guard.onStop();
                    lock.lock();
                    continue; // the library may have returned meanwhile
                }
            }
        }
        if (stopAt && now >= *stopAt + guard.grace) return TCallOutcome::Abandoned;
        TNanos wake = now + kPoll;
        if (stopAt) wake = std::min(wake, *stopAt + guard.grace);
        if (stopping) wake = std::min(wake, nextStopAction);
        call->m_woken = false;
        call->m_changed.wait_for(lock, wake - now, [&] { return call->m_done || call->m_woken; });
    }
    return call->m_threw ? TCallOutcome::Threw : TCallOutcome::Returned;
}

void StartLibraryCall(std::function<void()> body) {
    StartCounted([body = std::move(body)] {
        try {
            body();
        } catch (...) {
        }
    });
}

void WaitForStop(const std::shared_ptr<TLibraryCall>& call, const std::function<bool()>& stopAsked) {
    struct TCounted {
        TCounted() { ++g_waitingForStop; }
        ~TCounted() { --g_waitingForStop; }
    } counted;
    std::unique_lock lock(call->m_mutex);
    while (!stopAsked()) {
        call->m_woken = false;
        call->m_changed.wait_for(lock, kPoll, [&] { return call->m_woken; });
    }
}

int CallsWaitingForStop() {
    return g_waitingForStop.load();
}

int LibraryCallsRunning() {
    std::lock_guard lock(g_countMutex);
    return g_running;
}

bool WaitForLibraryCalls(std::chrono::milliseconds limit) {
    std::unique_lock lock(g_countMutex);
    return g_countChanged.wait_for(lock, limit, [] { return g_running == 0; });
}
