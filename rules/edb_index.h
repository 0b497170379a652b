#pragma once
// Numbering of the endgame-database positions: 2 to 5 pieces on the 32 squares of the 8x8
// board, side 0 to move. The numbers are the byte positions of the stored values, so they bind
// the file format. Pure functions over read-only tables; any thread.

#include "rules/board.h"

#include <cstdint>
#include <optional>

constexpr int EdbMaxPieces = 5;
constexpr int EdbSquares = 32;
constexpr std::uint32_t EdbBlockValues = 1024;
constexpr std::uint32_t EdbBlockCount = 210684;
constexpr std::uint32_t EdbOffsetsBytes = EdbBlockCount * 4;             // 842,736
constexpr std::uint32_t EdbSizesBytes = EdbBlockCount * 2;               // 421,368
constexpr std::uint32_t EdbIndexBytes = EdbOffsetsBytes + EdbSizesBytes; // 1,264,104
constexpr std::uint32_t EdbLastValueNumber = 215740159;

// The three numbers of a position: I, the 1-based lexicographic rank of its set of occupied
// squares; K, one plus the base-4 number of its pieces from the highest square down; n, its
// number of pieces. I and K are 0 when n is 0 or above 8 (no table covers such sets).
struct TEdbPositionIndex {
    std::uint32_t I = 0;
    std::uint32_t K = 0;
    std::uint32_t n = 0;
};

// Builds the binomial tables behind SquareSetIndex. Safe to call more than once and from any
// thread; SquareSetIndex builds them on first use anyway.
void InitIndexTables();

// The rank of a set of k squares (k = 1..8, squares strictly decreasing within 1..32) among all
// k-element subsets of 1..32 in lexicographic order, counted from 1; 0 for any other k.
std::uint32_t CombinationRank(int k, const int* squaresDecreasing);
std::uint32_t SquareSetIndex(int n, const int* squaresDecreasing);

// Indexes squares 1..32 of the board; squares 33..50 are not looked at.
TEdbPositionIndex EdbPositionIndex(const TBoard& board);

// The value number of a position of 2 to 5 pieces; nothing for any other piece count.
std::optional<std::uint32_t> EdbValueNumber(const TEdbPositionIndex& index);

// C(n, k) for 0 <= k <= n <= 32.
std::uint64_t Binomial(int n, int k);
