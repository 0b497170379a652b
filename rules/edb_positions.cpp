#include "rules/edb_positions.h"

#include "rules/edb_index.h"
#include "rules/movegen.h"

namespace {

// A random empty square of first..last; the range must hold one.
int RandomFreeSquare(const TBoard& b, int first, int last, std::mt19937& rng) {
    std::uniform_int_distribution<int> pick(first, last);
    for (;;) {
        const int s = pick(rng);
        if (b[s] == 0) return s;
    }
}

} // namespace

bool RandomEndgamePosition(int men0, int men1, bool quiet, TBoard& out, std::mt19937& rng, TGameType variant,
                           int attempts) {
    out = EmptyBoard;
    // Side 0 may fill up to 24 squares of 5..28, which side 1 shares: 28 squares in all.
    if (men0 < 0 || men1 < 0 || men0 + men1 > 28) return false;
    TMoveList moves;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        out = EmptyBoard;
        for (int i = 0; i < men0; ++i)
            out[RandomFreeSquare(out, 1, 28, rng)] = sqMan0;
        for (int i = 0; i < men1; ++i)
            out[RandomFreeSquare(out, 5, 32, rng)] = sqMan1;
        if (!quiet) return true;
        FindMoves(out, 0, moves, variant);
        if (moves.empty() || moves.front().captures == 0) return true;
    }
    out = EmptyBoard;
    return false;
}

int MenAdvancement(const TBoard& board) {
    int advancement = 0;
    for (int s = 1; s <= EdbSquares; ++s) {
        if (board[s] == sqMan0)
            advancement += (s - 1) / 4;
        else if (board[s] == sqMan1)
            advancement -= (EdbSquares - s) / 4;
    }
    return advancement;
}
