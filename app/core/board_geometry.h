#pragma once
// Arithmetic of the 880 x 880 board picture: edge labels, the cells of each square, piece
// placement and the squares of the last move. Pure functions; any thread.

#include "rules/board.h"
#include "rules/game.h"

#include <array>
#include <string>
#include <vector>

constexpr int BoardPictureSize = 880;
constexpr int BoardMargin = 40;

// 100 pixels on 8x8 boards, 80 on the 10x10 board.
constexpr int SquarePixels(TGameType v) {
    return SquaresOf(v) == 50 ? 80 : 100;
}
// Offset of the 70 x 70 piece picture inside its square.
constexpr int PieceInset(TGameType v) {
    return SquaresOf(v) == 50 ? 5 : 15;
}

// One edge label: text drawn with its top-left corner at (x, y), in bold Arial of `pointSize`.
struct TBoardLabel {
    int x, y;
    std::string text;
    int pointSize;
};
std::vector<TBoardLabel> BoardLabels(TGameType v, bool reversed);

// The two cells of a playing square's row pair: the playing (dark) cell and its light neighbour,
// each size x size from (x, y) in picture coordinates.
struct TSquareCells {
    int darkX, lightX, y, size;
};
TSquareCells SquareCells(int square, TGameType v, bool reversed);

// The picture a square value is drawn with (pcBlackKing .. pcWhiteKing), -1 for none.
// In English and Pool the side that moves first is drawn with the black pictures.
int PiecePictureOf(int value, TGameType v);

// Squares to highlight for `node` of `g`: from and to of a plain move, from and every landing
// square of a capture; none for the root.
std::array<bool, MaxSquares + 1> HighlightFlags(const TGame& g, int node);
