#include "rules/board.h"

namespace {
TBoard MakeStart(int squares) {
    TBoard b;
    const int rows = squares == 50 ? 20 : 12;
    for (int n = 1; n <= rows; ++n)
        b[n] = sqMan0;
    for (int n = squares - rows + 1; n <= squares; ++n)
        b[n] = sqMan1;
    return b;
}
} // namespace

const TBoard StartPosition64 = MakeStart(32);
const TBoard StartPosition100 = MakeStart(50);
const TBoard EmptyBoard{};

const TBoard& StartPositionOf(TGameType v) {
    return VariantTraits(v).boardSize == 10 ? StartPosition100 : StartPosition64;
}

void CountPieces(const TBoard& b, TPieceCount& out) {
    out = {};
    for (int n = 1; n <= MaxSquares; ++n) {
        switch (b[n]) {
        case sqMan0:
            ++out.men0;
            break;
        case sqMan1:
            ++out.men1;
            break;
        case sqKing0:
            ++out.kings0;
            break;
        case sqKing1:
            ++out.kings1;
            break;
        default:
            break;
        }
    }
    out.pieces0 = out.men0 + out.kings0;
    out.pieces1 = out.men1 + out.kings1;
    out.all = out.pieces0 + out.pieces1;
}

void PositionToKey(const TBoard& b, TPositionKey& key) {
    // 51 digits: the 50 squares and one extra empty square.
    auto digit = [&](int n) { return n <= MaxSquares ? b[n] + 2 : 2; };
    for (int k = 0; k < 17; ++k)
        key[k] = static_cast<std::uint8_t>(digit(3 * k + 1) + 5 * digit(3 * k + 2) + 25 * digit(3 * k + 3));
}

bool IsValidKey(const TPositionKey& key, int squares) {
    for (int k = 0; k < 17; ++k) {
        if (key[k] > 124) return false;
        int byte = key[k];
        for (int i = 1; i <= 3; ++i) {
            if (3 * k + i > squares && byte % 5 != 2) return false;
            byte /= 5;
        }
    }
    return true;
}

bool KeyToPosition(const TPositionKey& key, TBoard& b) {
    b = EmptyBoard;
    if (!IsValidKey(key)) return false;
    for (int k = 0; k < 17; ++k) {
        int byte = key[k];
        for (int i = 1; i <= 3; ++i) {
            const int n = 3 * k + i;
            if (n <= MaxSquares) b[n] = static_cast<std::int8_t>(byte % 5 - 2);
            byte /= 5;
        }
    }
    return true;
}

bool SamePosition(const TBoard& a, const TBoard& b) {
    return a == b;
}

void FlipBoard(TBoard& b, int squares) {
    for (int i = 1; i <= squares / 2; ++i) {
        const std::int8_t lo = b[i];
        b[i] = static_cast<std::int8_t>(-b[squares + 1 - i]);
        b[squares + 1 - i] = static_cast<std::int8_t>(-lo);
    }
}

TSquareXY SquareToXY(int square, int geometry) {
    const int perRow = geometry == 2 ? 5 : 4;
    const int y = (square - 1) / perRow;
    return {2 * ((square - 1) % perRow) + (y % 2), y};
}

int XYToSquare(int x, int y, int geometry) {
    const int size = geometry == 2 ? 10 : 8;
    if (x < 0 || y < 0 || x >= size || y >= size || (x + y) % 2 != 0) return 0;
    return y * (size / 2) + x / 2 + 1;
}
