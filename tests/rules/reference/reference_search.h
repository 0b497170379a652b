#pragma once
// A frozen copy of the built-in engine as it stood before it was made faster: the evaluation, the
// table of searched positions, the alpha-beta search and the root driver's iterations, over the
// frozen generator. Tests compare the engine with it node for node; the benchmark measures it as the
// old figure. One search per call, all state its own; any thread.

#include "reference_movegen.h"

#include "rules/search.h"

#include <cstdint>
#include <vector>

namespace reference {

struct TRootOutcome {
    TList moves;             // sorted by the last finished iteration
    std::vector<int> scores; // of the last finished iteration
    int completedDepth = 0;
    std::uint64_t nodes = 0;       // table probes: one per node
    std::uint64_t evaluations = 0; // counted as the engine counts them
};

// Iterative deepening from depth 5 to `maxDepth` over the root moves, with margin 0, a table of
// `entries` slots whose keys come from TEngineRandom(keySeed), and `edb` as the database.
TRootOutcome RunRootSearch(const TBoard& board, int side, TGameType variant, int maxDepth,
                           std::size_t entries, const TEdbProbe& edb, std::uint32_t keySeed = 1);

} // namespace reference
