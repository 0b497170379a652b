#pragma once
// The search dialog's pattern board without a window: which square a click hits, how the three
// mouse buttons cycle a square's value, where each square's pair of cells lies in the 175 x 175
// picture, and which side captions the board kind gives the two side boxes. Plain values; any
// thread.

#include "gamedb/search_criteria.h"

#include <cstdint>

enum class TPatternButton : std::uint8_t { Left, Right, Middle };

constexpr int SearchBoardSize = 175;   // the picture, pixels a side
constexpr int SearchBoardMargin = 8;   // from the picture's edge to the first cell
constexpr int SearchBoardExtent = 160; // the cells, pixels a side

constexpr bool IsBoard100(TSearchBoard k) {
    return k == TSearchBoard::b100;
}
// Squares of the pattern a kind edits and compares: 50 or 32.
constexpr int PatternSquares(TSearchBoard k) {
    return IsBoard100(k) ? 50 : 32;
}

// The square under the picture's pixel (x, y), or 0 when it is a light square or outside the cells.
int PatternSquareAt(TSearchBoard kind, int x, int y);

// The value a square takes when clicked with `button`: left steps 0, 1, 2, 3, 1, 2, 3, ...; right
// 0, -1, -2, 3, -1, -2, 3, ...; middle turns "any" into empty and anything else into "any".
std::int8_t NextPatternValue(std::int8_t value, TPatternButton button);

// Where a square is painted: its dark and light cells (top-left corners), the cell size and the
// piece picture's inset within the dark cell.
struct TPatternCells {
    int darkX = 0, lightX = 0, y = 0;
    int cell = 0, inset = 0;
};
TPatternCells PatternSquareCells(TSearchBoard kind, int square);

// The value shown for a stored one: "64 en" shows the colours swapped ("any" stays).
std::int8_t ShownPatternValue(TSearchBoard kind, std::int8_t value);

// The phrases of the side boxes Whitemove and BlackMove: 128 "White moves" and 129 "Black moves",
// swapped for "64 en", where the side that moves first plays the dark pieces.
struct TSidePhrases {
    int whiteMove, blackMove;
};
TSidePhrases SideCaptionPhrases(TSearchBoard kind);
