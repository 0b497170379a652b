#pragma once
// Random endgame positions and the men-advancement measure, for experiments over the
// endgame database. Re-entrant; the caller owns the random generator.

#include "rules/board.h"

#include <random>

// Men only: `men0` of side 0 on random free squares of 1..28 and then `men1` of side 1 on
// random free squares of 5..32, so no man stands on its own promotion row. With `quiet` the
// whole drawing is repeated while side 0's first listed move under `variant` is a capture.
// False (and `out` empty) when the men cannot all be placed (men0 + men1 > 28, or a count
// above 28 or negative) or no quiet position turned up in `attempts` drawings.
bool RandomEndgamePosition(int men0, int men1, bool quiet, TBoard& out, std::mt19937& rng, TGameType variant,
                           int attempts = 10000);

// Sum of the rows ((s - 1) div 4) of side 0's men minus the sum of (32 - s) div 4 over side 1's
// men, squares 1..32; kings do not count. Lies within +-MaxMenAdvancement.
int MenAdvancement(const TBoard& board);
constexpr int MaxMenAdvancement = 112; // every square of 1..32 holding an advanced man
// Slot of an advancement value in a table of AdvancementSlots counters: never negative.
constexpr int AdvancementSlots = 2 * MaxMenAdvancement + 1;
constexpr int AdvancementSlot(int advancement) {
    return advancement + MaxMenAdvancement;
}
