#pragma once
// The built-in engine's static evaluations, one per family of variants, from the view of `side`.
// Results are clamped to -MaxStaticScore..MaxStaticScore: above that lie the scores of forced
// wins and losses, which plain material must never reach.
// Re-entrant. Evaluations are counted by the search that makes them, in its own state.

#include "rules/board.h"

#include <cstdint>

constexpr int MaxStaticScore = 1899;

// Whether an evaluation of `variant` with `countFlag` counts in the engine's evaluation counter: the
// flying-king evaluation only with the flag set, the other two always.
constexpr bool CountsAsEvaluation(TGameType variant, int countFlag) {
    return countFlag != 0 || variant == gtEnglish || variant == gtItalian || variant == gtInternational;
}

// Variants 1, 3, 4, 7: piece-square material and a few men patterns.
std::int16_t EvaluateFlyingKings(int side, const TBoard& board);
// Variants 2 and 5: the material difference as a share of all material, scaled by the number of
// pieces.
std::int16_t EvaluateShortKings(int side, const TBoard& board);
// Variant 6: as the short-king evaluation over 50 squares, scaled by twice the number of pieces.
std::int16_t EvaluateInternational(int side, const TBoard& board);

// The evaluation of `variant`'s family. `ply` is not used.
std::int16_t Evaluate(int side, const TBoard& board, int ply, TGameType variant);

// round(num / den) with halves to the even neighbour, for den > 0.
std::int64_t RoundRatioHalfEven(std::int64_t num, std::int64_t den);
