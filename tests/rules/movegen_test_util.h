#pragma once
// Small helpers for the move generator tests: moves as short texts.

#include "rules/board.h"
#include "rules/move.h"
#include "tests/support/positions.h"

#include <string>
#include <vector>

namespace movegen_test {

// Positions from square strings: "w21 b26 W1 B5" (the shared builder of tests/support).
using test_support::BoardFromSquares;

// Internal squares: "9-13" for a plain move, "21(26)30(23)20" for a capture (taken squares in
// brackets, each followed by the landing square).
inline std::string Text(const TMove& m) {
    std::string s = std::to_string(m.from);
    if (m.captures == 0) return s + "-" + std::to_string(m.squares[0]);
    for (int k = 1; k <= m.captures && k <= MaxCapturePairs; ++k)
        s += "(" + std::to_string(m.Captured(k)) + ")" + std::to_string(m.Landing(k));
    return s;
}

inline std::vector<std::string> Texts(const TMoveList& list) {
    std::vector<std::string> out;
    for (const TMove& m : list)
        out.push_back(Text(m));
    return out;
}

} // namespace movegen_test
