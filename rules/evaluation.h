#pragma once
// The built-in engine's static evaluations, one per family of variants, from the view of `side`.
// Results are clamped to -MaxStaticScore..MaxStaticScore: above that lie the scores of forced
// wins and losses, which plain material must never reach.
// Re-entrant apart from EvaluationCount, which belongs to the searching thread.

#include "rules/board.h"

#include <cstdint>

constexpr int MaxStaticScore = 1899;

// Evaluations made since the request driver last reset it.
extern std::uint32_t EvaluationCount;

// Variants 1, 3, 4, 7: piece-square material and a few men patterns; counts itself only when
// `countFlag` is set.
std::int16_t EvaluateFlyingKings(int side, const TBoard& board, int countFlag);
// Variants 2 and 5: the material difference as a share of all material, scaled by the number of
// pieces.
std::int16_t EvaluateShortKings(int side, const TBoard& board);
// Variant 6: as the short-king evaluation over 50 squares, scaled by twice the number of pieces.
std::int16_t EvaluateInternational(int side, const TBoard& board);

// The evaluation of `variant`'s family. `ply` is not used.
std::int16_t Evaluate(int side, const TBoard& board, int ply, int countFlag, TGameType variant);

// round(num / den) with halves to the even neighbour, for den > 0.
std::int64_t RoundRatioHalfEven(std::int64_t num, std::int64_t den);
