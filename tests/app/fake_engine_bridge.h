#pragma once
// A stand-in for the engine bridge: answers with a chosen move (or the first legal one) after a
// delay, or thinks until it is stopped; counts how many requests run at once.

#include "app/core/engine_requests.h"
#include "app/core/engine_seams.h"
#include "rules/engine_stop.h"
#include "rules/movegen.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

namespace app_test {

class TFakeBridge final : public IEngineBridge {
  public:
    bool GetEngineMove(int kind, const TBoard& board, int side, TMove& move, double seconds) override {
        ClearEngineStopWord();
        {
            std::lock_guard lock(m_mutex);
            lastKind = kind;
            lastSeconds = seconds;
        }
        return Think(board, side, move, seconds >= 1e7);
    }
    bool ThinkOutsideEngine(const TBoard& board, int side, std::int32_t ms, TMove& move) override {
        {
            std::lock_guard lock(m_mutex);
            lastKind = 1;
            lastMilliseconds = ms;
        }
        return Think(board, side, move, ms == 100000000);
    }
    void StopOutsideEngine() override { ++outsideStops; }
    TStatusText StatusText() override {
        std::lock_guard lock(m_mutex);
        return status;
    }
    void SetStatus(const char* line) {
        std::lock_guard lock(m_mutex);
        status.fill(0);
        std::snprintf(status.data(), status.size(), "%s", line);
    }

    // What the engine answers; empty gives the first legal move.
    std::optional<TMove> answer;
    std::chrono::microseconds delay{0};
    // While set the engine goes on thinking, until it is stopped.
    std::atomic<bool> hold{false};
    // The engine clears the word when it returns, as a careless plug-in might.
    bool clearWordOnReturn = false;

    std::atomic<int> running{0}, maxRunning{0}, calls{0}, outsideStops{0};
    std::mutex m_mutex;
    int lastKind = -1;
    double lastSeconds = 0;
    std::int32_t lastMilliseconds = 0;
    TStatusText status{};

  private:
    bool Think(const TBoard& board, int side, TMove& move, bool untilStopped) {
        ++calls;
        const int now = ++running;
        for (int seen = maxRunning.load(); now > seen && !maxRunning.compare_exchange_weak(seen, now);) {
        }
        const auto end = std::chrono::steady_clock::now() + delay;
        while (!EngineStopRequested() &&
               (untilStopped || hold.load() || std::chrono::steady_clock::now() < end))
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        TMoveList list;
        FindMoves(board, side, list);
        bool got = false;
        if (answer) {
            move = *answer;
            got = true;
        } else if (!list.empty()) {
            move = list[0];
            got = true;
        }
        if (clearWordOnReturn) SetEngineStopFlag(0);
        --running;
        return got && !untilStopped;
    }
};

} // namespace app_test
