#pragma once
// A call into an engine library on a thread of its own, which the engine thread waits for. The
// library is foreign code: it may ignore its stop, block, or throw. The wait therefore keeps a
// deadline once a stop is asked: a library that has not returned `grace` later is abandoned, and
// the engine thread goes on as if it had returned without a move. The grace counts on the program's
// steady clock (platform/steady_clock.h), which tests may move by hand. The abandoned call keeps its
// thread and everything it writes into (the caller's record is shared with the thread) until the
// library returns, if ever; nothing it leaves behind is read.
//
// Threads: RunLibraryCall on the thread that waits (one call at a time per record); Wake and the
// counters on any thread.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

enum class TCallOutcome {
    Returned,  // the library returned
    Threw,     // the library let an exception out, or no thread could be started
    Abandoned, // the library did not return in time after the stop
};

struct TCallGuard {
    // Polled while the call runs (and at every Wake); true once the request is to stop.
    std::function<bool()> stopAsked;
    // Run when the stop is first seen and again every `repeat` while the library has not
    // returned: an engine that clears its stop word when it starts would otherwise lose a stop
    // asked just before. Must not block.
    std::function<void()> onStop;
    std::chrono::milliseconds repeat{5};
    // How long after the stop the library may take before it is abandoned.
    std::chrono::milliseconds grace{2000};
    // Set-up calls, which no stop reaches: the grace counts from the start of the call.
    bool deadlineFromStart = false;
};

// The part of a call that the waiting thread and the call's own thread share.
class TLibraryCall {
  public:
    // Ends the current wait early, so a stop just asked is acted on at once. Any thread.
    void Wake();
    bool Finished() const;

  private:
    friend TCallOutcome RunLibraryCall(const std::shared_ptr<TLibraryCall>&, std::function<void()>,
                                       const TCallGuard&);
    friend void WaitForStop(const std::shared_ptr<TLibraryCall>&, const std::function<bool()>&);
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_done = false;
    bool m_threw = false;
    bool m_woken = false;
};

// Runs `body` (the library calls, and the copying of what they return into the caller's record) on
// a thread of its own, and waits until it returns or the guard gives it up.
TCallOutcome RunLibraryCall(const std::shared_ptr<TLibraryCall>& call, std::function<void()> body,
                            const TCallGuard& guard);
// Starts `body` on a thread of its own and does not wait (a stop sent to a library, which must not
// hold the stopping thread). An exception out of it is dropped.
void StartLibraryCall(std::function<void()> body);
// Waits, after the call returned, until `stopAsked` is true (woken by Wake).
void WaitForStop(const std::shared_ptr<TLibraryCall>& call, const std::function<bool()>& stopAsked);
// Threads now in WaitForStop: requests whose library returned before their stop (an analysis).
int CallsWaitingForStop();

// Library calls whose thread has not ended, abandoned ones included.
int LibraryCallsRunning();
// Waits until no library call runs, at most `limit`; true when none runs.
bool WaitForLibraryCalls(std::chrono::milliseconds limit);
