#pragma once
// One engine request at a time on a worker thread: an engine move in play mode, an analysis of the
// position in analysis mode, for whichever engine is chosen.
//
// Threads: StartEngine and StopEngineAndWait run on the user-interface thread; StopEngine and
// IsEngineBusy on any thread. The request works on a snapshot of the game session, the settings and
// the mode taken when it starts; it makes its move (TGameSession::PlayEngineMove) only if it was not
// stopped, the move is legal in the position it started from, and the game still stands there.

#include "app/core/engine_state.h"
#include "app/core/game_session.h"
#include "platform/manual_reset_event.h"
#include "rules/board.h"
#include "rules/engine_stop.h"
#include "rules/game.h"
#include "rules/move.h"

#include <atomic>
#include <cstdint>
#include <functional>

// Signalled while no request runs.
extern ManualResetEvent EngineIdleEvent;

// The one stop word of every engine request: StopEngine sets it, a request clears it at its start,
// the built-in engine polls it. Any thread.
TStopWord& EngineStopFlag();
inline bool EngineStopRequested() {
    return EngineStopFlag().Requested();
}
inline void SetEngineStopFlag(std::int32_t value) {
    EngineStopFlag().Set(value);
}

class TBuiltinEngine;
// The program's built-in engine, on EngineStopFlag; made at its first use and never destroyed, so
// a request still running while the process ends never searches a freed table.
TBuiltinEngine& BuiltinEngine();

void StartEngine();
void StopEngine();
void StopEngineAndWait();
bool IsEngineBusy();

// Clears the stop word at the start of an engine call, unless the running request was asked to
// stop: then the word stays raised. Engine thread.
void ClearEngineStopWord();
// The host's stop request of the running request (the stop word aside, which engines also write).
bool EngineRequestStopped();

// What a request is about, copied at its start.
struct TEngineRequest {
    TEngineSettings settings;
    bool playMode = true;
    TSessionSnapshot at; // the position, its node and variant
    bool fullNotation = false;
};
// The request for the game session as it stands, with the level applied to the settings.
TEngineRequest CaptureEngineRequest(const TEngineSettings& settings);

// One engine move for the request's position, made in the game unless the request was stopped or
// the game moved on meanwhile; true when the move was made. Runs on the engine thread (or the
// engine-match thread). A stop reaches the engine of this move, whichever kind it is.
bool ComputeEngineMove(const TEngineRequest& request);

// Starts `body` as the engine worker, as StartEngine starts a request: the previous one stopped and
// waited for, the stop button red, and the idle event reset and the stop cleared before the thread
// runs, so a stop asked at once is not lost. For a worker that runs requests itself (an engine
// match). When it ends the done flag is raised and the idle event set; StopEngineAndWait stops and
// joins it. User-interface thread.
void StartEngineWorker(std::function<void()> body);

// The time budget of a move: the clock of the side to move divided by 20, 30 in English and Italian,
// 40 in International.
int BudgetDivisor(TGameType variant);

// Hooks of the user-interface side, set at start-up while no request runs; each may be empty.
struct TEngineRequestHooks {
    std::function<void()> requestStarted; // the stop button turns red (user-interface thread)
    std::function<void()> playMoveSound;  // empty: PlayMoveSound
};
TEngineRequestHooks& EngineRequestHooks();
