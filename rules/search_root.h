#pragma once
// The core of the built-in engine's request: iterative deepening over the root moves from depth 5,
// the first move with the full window and the others with a window that tells moves within the
// score margin of the best from the rest, the root moves sorted after each iteration, the time
// looked at between iterations, and a random choice among the moves within the margin.
// The shell's request adds the book move and the engine-information texts around it, through the
// events below. Runs on the engine thread; clears and uses the table and the stop word it is given.

#include "rules/board.h"
#include "rules/engine_random.h"
#include "rules/engine_stop.h"
#include "rules/hash_table.h"
#include "rules/move.h"
#include "rules/search.h"

#include <cstdint>
#include <functional>
#include <vector>

constexpr int FirstIterationDepth = 5;
// Root scores of moves found worse than the margin, and the bound of a move found better.
constexpr int RootOutScore = -32000;
constexpr int RootOpenBound = 32000;
// Iterations beyond this depth are not searched, whatever the limit says.
constexpr int MaxRootDepth = 200;

struct TRootScore {
    std::int16_t score = 0;
    std::int16_t bound = 0; // equal to score when exact
};

struct TRootSearchLimits {
    int maxDepth = 98;               // deepest iteration (the first is always searched)
    int scoreMargin = 0;             // how far below the best a move may be and still be chosen
    std::int64_t budget = 100000000; // centiseconds; deepening stops past two thirds of it
};

struct TRootSearchResult {
    TMoveList moves;                 // the legal root moves without duplicates, in the last sorted order
    std::vector<TRootScore> scores;  // per move, of the last finished iteration
    std::vector<std::uint8_t> marks; // 1 for the moves within the margin of the best
    int candidates = 0;              // number of marks
    int completedDepth = 0;          // the last finished iteration, 0 when none finished
    int chosen = 0;                  // 1-based into moves; 0 when there is no legal move
    bool stopped = false;            // the stop word ended the search
    std::int64_t elapsed = 0;        // centiseconds from the start to the last finished iteration, >= 1
    std::uint64_t evaluations = 0;   // made by the search up to the last finished iteration
    std::uint32_t edbProbes = 0;     // database probes up to the last finished iteration
};

// What the shell shows while the search runs; each may be empty.
struct TRootSearchEvents {
    std::function<void(int depth, int moveNumber, int moveCount)> rootMove; // before each root move
    std::function<void(const TMove& move, int score, int bound)> newBest;   // bound RootOpenBound: still open
    std::function<void(const TRootSearchResult& iteration)> iterationDone;
};

// What the search works on, all of it the caller's: the engine's owner gives its own.
struct TRootSearchSetup {
    THashTable* table = nullptr;     // required
    TEdbProbe edb;                   // none: no database probes (SearchEdbProbe() for the program's)
    TEngineRandom* random = nullptr; // the choice among near-equal moves; none: a default-seeded one
    TStopWord* stop = nullptr;       // cleared at the start, then polled; none: nothing stops the search
};

// Clears the table and its probe counters and the stop word, then searches (its evaluations and
// database probes are counted from 0 in the result). With no legal move it returns at once with
// chosen = 0.
TRootSearchResult RunRootSearch(const TBoard& board, int side, TGameType variant,
                                const TRootSearchLimits& limits, const TRootSearchSetup& setup,
                                const TRootSearchEvents& events = {});
