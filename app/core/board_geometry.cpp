#include "app/core/board_geometry.h"

#include "app/core/shell_state.h"

std::vector<TBoardLabel> BoardLabels(TGameType v, bool rev) {
    std::vector<TBoardLabel> out;
    auto add = [&](int x, int y, int n) { out.push_back({x, y, std::to_string(n), 18}); };
    switch (v) {
    case gtEnglish:
    case gtPool:
        for (int k = 1; k <= 4; ++k) {
            add(200 * k - 20, 5, rev ? k : 33 - k);
            add(200 * k - 115, 845, rev ? k + 28 : 5 - k);
            add(848, 200 * k - 125, rev ? (k - 1) * 8 + 4 : (4 - k) * 8 + 5);
            add(5, 200 * k - 25, rev ? (k - 1) * 8 + 5 : (4 - k) * 8 + 4);
        }
        break;
    case gtItalian:
        for (int k = 1; k <= 4; ++k) {
            add(200 * k - 115, 5, rev ? 33 - k : k);
            add(200 * k - 25, 845, rev ? 5 - k : k + 28);
            add(848, 200 * k - 25, rev ? (5 - k) * 8 - 7 : 8 * k);
            add(5, 200 * k - 125, rev ? (5 - k) * 8 : (k - 1) * 8 + 1);
        }
        break;
    case gtInternational:
        for (int k = 1; k <= 5; ++k) {
            add(160 * k - 10, 5, rev ? 51 - k : k);
            add(160 * k - 90, 845, rev ? 6 - k : k + 45);
            add(848, 160 * k - 95, rev ? (5 - k) * 10 + 6 : (k - 1) * 10 + 5);
            add(5, 160 * k - 15, rev ? (5 - k) * 10 + 5 : (k - 1) * 10 + 6);
        }
        break;
    default: // algebraic: rank digits on the left, file letters at the bottom
        for (int k = 1; k <= 8; ++k) {
            out.push_back({10, 100 * k - 30, std::to_string(rev ? k : 9 - k), 22});
            out.push_back({100 * k - 20, 845, std::string(1, "ABCDEFGH"[rev ? 8 - k : k - 1]), 22});
        }
        break;
    }
    return out;
}

TSquareCells SquareCells(int square, TGameType v, bool reversed) {
    const bool big = SquaresOf(v) == 50;
    const int perRow = big ? 5 : 4;
    const int last = big ? 9 : 7;
    const int s = SquarePixels(v);
    const int i = square - 1;
    int col = i % perRow;
    int row = last - i / perRow;
    if (reversed) {
        row = last - row;
        col = perRow - 1 - col;
    }
    if (v == gtItalian) col = 3 - col;
    const int a = (2 * col + 1) * s + BoardMargin;
    const int b = 2 * col * s + BoardMargin;
    bool aDark = row % 2 == 0;
    if (v == gtItalian) aDark = !aDark;
    return {aDark ? a : b, aDark ? b : a, row * s + BoardMargin, s};
}

int PiecePictureOf(int value, TGameType v) {
    if (!SideIsWhite(0, v)) value = -value; // the pictures are by colour, the values by side
    switch (value) {
    case -2:
        return pcBlackKing;
    case -1:
        return pcBlackMan;
    case 1:
        return pcWhiteMan;
    case 2:
        return pcWhiteKing;
    default:
        return -1;
    }
}

std::array<bool, MaxSquares + 1> HighlightFlags(const TGame& g, int node) {
    std::array<bool, MaxSquares + 1> flags{};
    if (node < 1 || node > MaxNodes) return flags;
    const TMove& m = g.nodes[node];
    auto flag = [&](int sq) {
        if (sq >= 1 && sq <= MaxSquares) // a damaged node must not write past the table
            flags[sq] = true;
    };
    flag(m.from);
    if (m.captures == 0) flag(m.squares[0]);
    for (int k = 1; k <= m.captures && k <= MaxCapturePairs; ++k)
        flag(m.Landing(k));
    return flags;
}
