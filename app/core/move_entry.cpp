#include "app/core/move_entry.h"

#include "rules/movegen.h"

#include <cmath>

int BoardClickToSquare(int x, int y, int boardSize, TGameType variant, bool reversed) {
    if (boardSize <= 0 || !IsValidVariant(variant)) return 0;
    const double scale = 880.0 / boardSize;
    const int px = static_cast<int>(std::lround(scale * x)) - 40;
    const int py = static_cast<int>(std::lround(scale * y)) - 40;
    if (px < 0 || px > 799 || py < 0 || py > 799) return 0;
    const bool big = SquaresOf(variant) == 50;
    const int size = big ? 80 : 100;
    const int last = big ? 9 : 7;
    int col = px / size;
    int r = last - py / size;
    if (reversed) {
        col = last - col;
        r = last - r;
    }
    if (variant == gtItalian) {
        if ((r + col) % 2 == 0) return 0;
        return r * 4 + (7 - col) / 2 + 1;
    }
    if ((r + col) % 2 != 0) return 0;
    return r * (big ? 5 : 4) + col / 2 + 1;
}

bool MoveTouchesSquare(int square, const TMove& m) {
    if (square == 0) return false;
    if (m.from == square) return true;
    if (m.captures == 0) return m.squares[0] == square;
    const int n = m.captures <= MaxCapturePairs ? 2 * m.captures : 2 * MaxCapturePairs;
    for (int i = 0; i < n; ++i)
        if (m.squares[i] == square) return true;
    return false;
}

TClickRing::TResult TClickRing::ClickOnBoard(int square, const TBoard& board, int side, int node,
                                             TGameType variant) {
    TMoveList legal;
    FindUniqueMoves(board, side, legal, variant);
    return Click(square, legal, board, side, node);
}

void TClickRing::Clear() {
    m_squares.fill(0);
}

TClickRing::TResult TClickRing::Click(int square, const TMoveList& legal, const TBoard& board, int side,
                                      int node) {
    TResult result;
    if (side != m_side || node != m_node || !(board == m_board)) {
        Clear();
        m_board = board;
        m_side = side;
        m_node = node;
    }
    bool touched = false;
    for (const TMove& m : legal)
        if (MoveTouchesSquare(square, m)) touched = true;
    if (!touched) return result;
    result.stored = true;
    m_squares[m_pos] = static_cast<std::uint8_t>(square);
    m_pos = (m_pos + 1) % Slots;

    // Walk back from the newest click while the choice is still open.
    std::vector<bool> alive(legal.size(), true);
    int count = static_cast<int>(legal.size());
    int slot = (m_pos + Slots - 1) % Slots;
    for (;;) {
        count = 0;
        for (std::size_t i = 0; i < legal.size(); ++i) {
            if (alive[i] && !MoveTouchesSquare(m_squares[slot], legal[i])) alive[i] = false;
            if (alive[i]) ++count;
        }
        slot = (slot + Slots - 1) % Slots;
        if (count <= 1 || slot == m_pos) break;
    }
    result.candidates = count;
    if (count == 1) {
        for (std::size_t i = 0; i < legal.size(); ++i)
            if (alive[i]) result.move = legal[i];
        Clear();
    }
    return result;
}
