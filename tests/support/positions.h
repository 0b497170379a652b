#pragma once
// Positions for tests, written the way a reader checks them.
//
// Square strings name pieces on internal squares (the numbering of rules/board.h, the same in
// every variant): "w21 b26 W1 B5" is a man of side 0 on 21, a man of side 1 on 26, a king of side
// 0 on 1 and a king of side 1 on 5. Diagrams draw the board from the top row down, one string per
// row, one character per cell; what a letter means is the caller's.
// A malformed string or diagram throws std::invalid_argument naming the bad part, so a typo in a
// test fails loudly instead of building another position.

#include "rules/board.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

// "w21 b26 W1 B5": w/b a man of side 0/1, W/B a king, then the square (1..50).
TBoard BoardFromSquares(const std::string& squares);
// The same position written back ("w9 w10 b22 B29"), squares in increasing order.
std::string SquaresOf(const TBoard& board);

// {{square, value}, ...} with values as stored (1, 2, -1, -2).
TBoard BoardOf(std::initializer_list<std::pair<int, int>> pieces);
TBoard BoardOf(const std::vector<std::pair<int, int>>& pieces);

// One occupied cell of a diagram: column x from the left and row y from the bottom (0-based).
struct TDiagramCell {
    int x, y;
    char letter;
};
// The cells of an 8x8 or 10x10 diagram, top row first, that hold anything but '.'. Pieces stand on
// the dark cells only (x + y even, as square 1 at the lower left).
std::vector<TDiagramCell> ParseDiagram(const std::vector<std::string>& rows);

} // namespace test_support
