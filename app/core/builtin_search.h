#pragma once
// The built-in engine's request: a book move at the strongest level in play mode, or the root
// search with the random choice among near-equal moves, with the engine information shown while
// it runs. Engine thread only.

#include "app/core/engine_seams.h"
#include "rules/search_root.h"

#include <atomic>
#include <chrono>
#include <cstdint>

// How long a book move waits before it is played, as if the engine thought.
constexpr std::chrono::milliseconds BookMovePause{300};

struct TBuiltinSearchRequest {
    TBoard board;
    int side = 0;
    TGameType variant = gtRussian;
    bool playMode = true;
    bool fullNotation = false;
};

struct TBuiltinSearchOutcome {
    bool hasMove = false; // play mode with a legal move
    TMove move;
    bool fromBook = false;
    TRootSearchResult root; // the search's result (empty for a book move)
};

// `stop` is the host's stop request of this request: a stop asked before the search cleared the
// stop word is raised again before every root move. `setup` is what the search works on
// (TBuiltinEngine::SearchSetup() for the program's engine); its random source also picks the book
// move.
TBuiltinSearchOutcome RunBuiltinSearch(const TBuiltinSearchRequest& request, int maxDepth, int scoreMargin,
                                       std::int64_t budget, const std::atomic<bool>& stop, IBookMoves& book,
                                       const TRootSearchSetup& setup);
