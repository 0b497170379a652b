#pragma once
// The plain minimax the engine tests check the search against, and a stand-in endgame database.

#include "rules/evaluation.h"
#include "rules/movegen.h"
#include "rules/search.h"

#include <algorithm>
#include <optional>

namespace search_test {

// A stand-in database: any fixed function of the position seen from side 0 to move, scored
// like the real one's distances (wins above 1900, losses below -1900, draws 0).
inline std::optional<std::int16_t> FakeProbe(const TBoard& board, int /*pieces*/, int flip, int ply,
                                             TGameType /*variant*/ = gtRussian) {
    TBoard b = board;
    if (flip) FlipBoard(b, 32);
    unsigned h = 0;
    for (int s = 1; s <= 32; ++s)
        h = h * 7 + static_cast<unsigned>((b[s] + 2) * s);
    switch (h % 3) {
    case 0:
        return 0;
    case 1:
        return static_cast<std::int16_t>(2000 - 9 - ply);
    default:
        return static_cast<std::int16_t>(8 - 2000 + ply);
    }
}
inline bool AlwaysOpen() {
    return true;
}
inline const TEdbProbe FakeEdb{AlwaysOpen, FakeProbe};

inline bool HasCapture(const TBoard& b, int side, TGameType v) {
    TMoveList l;
    FindMoves(b, side, l, v);
    return !l.empty() && l[0].captures;
}

// The value the search must find, by full minimax: no pruning, no table, no ordering.
inline int Minimax(const TBoard& b, int ply, int depth, int side, TGameType v, bool edb) {
    if (edb && v != gtInternational && EdbApplicable(5, b, 32)) {
        TPieceCount c;
        CountPieces(b, c);
        if (c.pieces0 && c.pieces1 && !HasCapture(b, 0, v) && !HasCapture(b, 1, v))
            return *FakeProbe(b, c.all, side, ply - 1);
    }
    TMoveList moves;
    FindMoves(b, side, moves, v);
    if (moves.empty()) return ply - 2001;
    int best = -100000;
    for (const TMove& m : moves) {
        TBoard child = b;
        MakeMove(m, child, v);
        const int value = ply >= depth && !moves[0].captures
                              ? -Evaluate(1 - side, child, ply, v)
                              : -Minimax(child, ply + 1, depth, 1 - side, v, edb);
        best = std::max(best, value);
    }
    return best;
}

} // namespace search_test
