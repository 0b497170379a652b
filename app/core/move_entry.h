#pragma once
// Moves entered by clicking squares: the click-to-square map of the board image and the ring of
// clicked squares that narrows the legal moves to one. Qt-free; user-interface thread.

#include "rules/board.h"
#include "rules/move.h"

#include <array>
#include <cstdint>

// The square under point (x, y) of the board image of `boardSize` screen pixels, or 0 for the
// margin, a light square or a size of 0. The picture is 880 pixels with a margin of 40.
int BoardClickToSquare(int x, int y, int boardSize, TGameType variant, bool reversed);

// True when `square` is the move's from square, its to square (plain move), or any captured or
// landing square of a capture.
bool MoveTouchesSquare(int square, const TMove& m);

// Squares clicked since the last entered move. It belongs to one position: a click on another
// position (after navigation, a new game, an engine move or a set-up) starts from an empty ring, so
// old clicks never narrow the choice on a board they were not made on.
class TClickRing {
  public:
    static constexpr int Slots = 41;

    struct TResult {
        bool stored = false; // the click touched a legal move and was kept
        int candidates = 0;  // moves left by the walk back through the ring; only 1 enters a move
        TMove move;          // the one move, when candidates == 1
    };

    // Stores `square` when some legal move touches it and narrows `legal` (already free of
    // duplicates) by the clicks since the last entered move. When exactly one move remains the
    // ring is cleared.
    TResult Click(int square, const TMoveList& legal, const TBoard& board, int side, int node);
    // The click lookup of move entry: Click with the legal moves of `side` on `board` under
    // `variant`, one for each position they reach.
    TResult ClickOnBoard(int square, const TBoard& board, int side, int node, TGameType variant);
    // Empties every slot; the write position stays.
    void Clear();

    int Pos() const { return m_pos; }
    const std::array<std::uint8_t, Slots>& Squares() const { return m_squares; }

  private:
    std::array<std::uint8_t, Slots> m_squares{};
    int m_pos = 0;
    // The position the clicks were made on.
    TBoard m_board{};
    int m_side = -1;
    int m_node = -1;
};
