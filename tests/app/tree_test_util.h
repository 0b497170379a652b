#pragma once
// Small games and moves by their text, for the tests of move entry and tree editing. Qt-free.

#include "app/core/board_geometry.h"
#include "rules/movegen.h"
#include "rules/notation.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace tree_test {

// The legal moves without duplicates, as move entry lists them.
inline TMoveList Legal(const TBoard& b, int side, TGameType v) {
    TMoveList l;
    FindUniqueMoves(b, side, l, v);
    return l;
}

inline int Sq(int x, int y) {
    return XYToSquare(x, y, 1);
}

// A game with no moves from the variant's start position.
inline std::unique_ptr<TGame> NewGame(TGameType v = gtRussian) {
    auto g = std::make_unique<TGame>();
    InitGame(*g, v);
    PositionToKey(StartPositionOf(v), g->startKey);
    return g;
}

inline TMove MoveByText(const TBoard& b, int side, const std::string& text, TGameType v = gtRussian) {
    for (const TMove& m : Legal(b, side, v))
        if (MoveToText(m, v, true, ":") == text) return m;
    ADD_FAILURE() << "no move " << text;
    return {};
}

} // namespace tree_test
