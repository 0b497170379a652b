#pragma once
// What an engine request needs of the parts that come later: the engine bridge to the plug-in and
// outside engines, and the opening book's playable moves. Until they are wired the defaults answer
// "no engine" and "no book open".

#include "app/core/status_parsers.h"
#include "rules/board.h"
#include "rules/move.h"

#include <cstdint>
#include <vector>

// Called on the engine thread, one request at a time; StopOutsideEngine, StopRunningCall and
// StatusText also on the user-interface thread while a request runs.
class IEngineBridge {
  public:
    virtual ~IEngineBridge() = default;
    // A plug-in move (kinds 2, 3, 4) within `seconds`. False when the engine gave no move. The bridge
    // clears the stop word with ClearEngineStopWord, so a stop asked before it is not lost.
    virtual bool GetEngineMove(int kind, const TBoard& board, int side, TMove& move, double seconds) = 0;
    // The outside engine (kind 1); `milliseconds` AnalysisBudget analyses and gives no move.
    virtual bool ThinkOutsideEngine(const TBoard& board, int side, std::int32_t milliseconds,
                                    TMove& move) = 0;
    virtual void StopOutsideEngine() = 0;
    // Every stop: the engine call in progress, of any kind, is to end at once.
    virtual void StopRunningCall() {}
    // A copy of the plug-in's progress buffer.
    virtual TStatusText StatusText() = 0;
};

// Engine thread only.
class IBookMoves {
  public:
    virtual ~IBookMoves() = default;
    // The listed book moves from the first on that carry the playable mark, when the variant's book
    // is open and in use; empty otherwise.
    virtual std::vector<TMove> PlayableBookMoves(const TBoard& board, int side, TGameType variant) = 0;
};

// The process's bridge and book; set at start-up (or by a test) while no request runs. Null
// restores the defaults.
IEngineBridge& EngineBridge();
void SetEngineBridge(IEngineBridge* bridge);
IBookMoves& BookMoves();
void SetBookMoves(IBookMoves* book);
