#pragma once
// Move-path counting (perft) over FindMoves and MakeMove, for the perft tool, its tests and the
// benchmark. Re-entrant; allocates one move list per ply and reuses it.

#include "rules/board.h"
#include "rules/move.h"

#include <cstdint>
#include <vector>

struct TPerftOptions {
    TGameType variant = gtRussian;
    bool unique = false; // FindUniqueMoves at every node
};

// Number of move sequences of `depth` plies from `board` with `side` to move; 1 for depth 0.
std::uint64_t Perft(const TBoard& board, int side, int depth, const TPerftOptions& options);

struct TPerftDivide {
    TMove move;
    std::uint64_t count = 0;
};
// Perft of depth - 1 after each root move (depth >= 1), in the order of the root list.
std::vector<TPerftDivide> PerftDivide(const TBoard& board, int side, int depth, const TPerftOptions& options);
