#pragma once
// A frozen copy of the host move generator as it stood before the bit-set generator: the lists it
// returns, in their order and byte for byte, are what the generator of rules/ must keep returning.
// Tests and benchmarks only (the benchmarks measure it as the old figure). Re-entrant.
//
// Self-contained on purpose: it keeps its own neighbour tables and variant rules, so a change to
// those in rules/ cannot change the reference along with the code it checks.

#include "rules/board.h"
#include "rules/move.h"

#include <cstdint>
#include <vector>

namespace reference {

using TList = std::vector<TMove>;

void FindMoves(const TBoard& board, int side, TList& list, TGameType variant);
void FindMovesWithPairLimit(const TBoard& board, int side, TList& list, TGameType variant, int maxPairs);
void MakeMove(const TMove& m, TBoard& board, TGameType variant);
void RemoveDuplicateMoves(TList& list, const TBoard& board, TGameType variant);
int KingCaptureWeight(const TMove& m, const TBoard& board);

// Perft over the copy above, as the rules' perft counts (the last ply counts the list).
std::uint64_t Perft(const TBoard& board, int side, int depth, TGameType variant, bool unique);

} // namespace reference
