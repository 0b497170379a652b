#pragma once
// Small helpers for the move generator tests: positions from piece lists, moves as short texts.

#include "rules/board.h"
#include "rules/move.h"

#include <sstream>
#include <string>
#include <vector>

namespace movegen_test {

// "w21 b26 W1 B5": w/b a man of side 0/1, W/B a king, then the internal square number.
inline TBoard Place(const std::string& pieces) {
    TBoard b;
    std::istringstream in(pieces);
    std::string tok;
    while (in >> tok) {
        const int sq = std::stoi(tok.substr(1));
        switch (tok[0]) {
        case 'w':
            b[sq] = sqMan0;
            break;
        case 'W':
            b[sq] = sqKing0;
            break;
        case 'b':
            b[sq] = sqMan1;
            break;
        case 'B':
            b[sq] = sqKing1;
            break;
        }
    }
    return b;
}

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
