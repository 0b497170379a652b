#pragma once
// Board, variants, piece counts and the packed position key.
// Plain values; every function here is re-entrant and may be called from any thread.

#include "rules/variant_traits.h"

#include <array>
#include <cstdint>

constexpr int MaxSquares = 50;

// Square values.
enum : std::int8_t { sqEmpty = 0, sqMan0 = 1, sqKing0 = 2, sqMan1 = -1, sqKing1 = -2 };

// A position: one signed byte per playable square, indexed 1..50 (8x8 uses 1..32, the rest stay 0).
struct TBoard {
    std::array<std::int8_t, MaxSquares + 1> sq{}; // sq[0] is never used and stays 0

    std::int8_t& operator[](int n) { return sq[n]; }
    const std::int8_t& operator[](int n) const { return sq[n]; }
    bool operator==(const TBoard&) const = default;
};

// 0 for a piece of side 0 (value > 0), 1 otherwise: an empty square also gives 1.
constexpr int PieceSide(int value) {
    return value > 0 ? 0 : 1;
}
constexpr bool IsKing(int value) {
    return value == 2 || value == -2;
}

struct TPieceCount {
    std::uint8_t men0 = 0, men1 = 0, kings0 = 0, kings1 = 0, pieces0 = 0, pieces1 = 0, all = 0;
};

// 17 bytes, three squares a byte as base-5 digits (value + 2), first square the lowest digit.
// Stored unchanged in books, databases and the hash table; the side to move is not part of it.
using TPositionKey = std::array<std::uint8_t, 17>;

extern const TBoard StartPosition64;
extern const TBoard StartPosition100;
extern const TBoard EmptyBoard;

// The standard start position of a variant.
const TBoard& StartPositionOf(TGameType v);

void CountPieces(const TBoard& b, TPieceCount& out);
void PositionToKey(const TBoard& b, TPositionKey& key);
// True when every byte is at most 124 and, for an 8x8 variant (squares = 32), squares 33..51 are
// empty. Readers of keys from files check with this before unpacking.
bool IsValidKey(const TPositionKey& key, int squares = MaxSquares);
// Unpacks a key. A key that fails IsValidKey (for 50 squares) gives EmptyBoard and false, so a
// damaged key never yields values outside -2..2.
bool KeyToPosition(const TPositionKey& key, TBoard& b);
bool SamePosition(const TBoard& a, const TBoard& b);
// Turns the board by 180 degrees and swaps the sides.
void FlipBoard(TBoard& b, int squares);

// Row (0..7 or 0..9) and column of an internal square, and back (0 where the square is light
// or off the board).
struct TSquareXY {
    int x, y;
};
TSquareXY SquareToXY(int square, int geometry);
int XYToSquare(int x, int y, int geometry);
