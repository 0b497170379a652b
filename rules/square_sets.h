#pragma once
// The two boards as bit sets: bit s - 1 stands for square s, so one 64-bit word holds the 32
// squares of the 8x8 board or the 50 of the 10x10 board. Whole-board steps in each direction and
// per-square rays and steps, built at compile time from the neighbour tables. Read-only constants,
// safe from any thread.

#include "rules/board.h"
#include "rules/neighbour_tables.h"

#include <array>
#include <bit>
#include <cstdint>

using TSquareSet = std::uint64_t;

constexpr TSquareSet SquareBit(int s) {
    return TSquareSet{1} << (s - 1);
}
// The lowest and the highest square of a non-empty set.
constexpr int LowestSquare(TSquareSet set) {
    return std::countr_zero(set) + 1;
}
constexpr int HighestSquare(TSquareSet set) {
    return 64 - std::countl_zero(set);
}
// Up-right and up-left lead to higher squares, down-right and down-left to lower ones.
constexpr bool LeadsUp(int d) {
    return d == 1 || d == 4;
}
// The square of `set` nearest to the start of a ray in direction d.
constexpr int NearestSquare(TSquareSet set, int d) {
    return LeadsUp(d) ? LowestSquare(set) : HighestSquare(set);
}

// One diagonal step of every square of a set: the squares of row parity A move by shiftA, those of
// parity B by shiftB (negative: towards lower squares); squares without a neighbour are not in
// either mask.
struct TSetStep {
    TSquareSet maskA = 0;
    int shiftA = 0;
    TSquareSet maskB = 0;
    int shiftB = 0;
};

constexpr TSquareSet ShiftBy(TSquareSet set, int shift) {
    return shift >= 0 ? set << shift : set >> -shift;
}
constexpr TSquareSet StepAll(TSquareSet set, const TSetStep& s) {
    return ShiftBy(set & s.maskA, s.shiftA) | ShiftBy(set & s.maskB, s.shiftB);
}

struct TSquareSetTables {
    int squares = 0;
    int perRow = 0;
    TSquareSet all = 0;
    TSquareSet farRow[2] = {};      // where a man of each side is crowned: the top row for side 0
    std::array<TSetStep, 5> step{}; // [direction]
    // ray[s][d]: the squares from s to the edge in direction d; step[s][side]: the forward steps.
    std::array<std::array<TSquareSet, 5>, MaxSquares + 1> ray{};
    std::array<std::array<TSquareSet, 2>, MaxSquares + 1> forward{};
    // The neighbour of s in direction d, 0 at the edge.
    std::array<std::array<std::uint8_t, 5>, MaxSquares + 1> next{};
};

namespace square_set_detail {
constexpr TSquareSetTables Build(const TNeighbourTables& nt) {
    TSquareSetTables t;
    t.squares = nt.squares;
    t.perRow = nt.size / 2;
    for (int s = 1; s <= nt.squares; ++s) {
        t.all |= SquareBit(s);
        if (s > nt.squares - t.perRow) t.farRow[0] |= SquareBit(s);
        if (s <= t.perRow) t.farRow[1] |= SquareBit(s);
        for (int d = 1; d <= 4; ++d) {
            const TRay& r = nt.ray[s][d];
            for (int i = 0; i < r.length; ++i)
                t.ray[s][d] |= SquareBit(r.squares[i]);
            if (r.length == 0) continue;
            const int n = r.squares[0];
            t.next[s][d] = static_cast<std::uint8_t>(n);
            TSetStep& st = t.step[d];
            // Two distances per direction, one for each row parity.
            if (st.maskA == 0 || st.shiftA == n - s) {
                st.shiftA = n - s;
                st.maskA |= SquareBit(s);
            } else {
                st.shiftB = n - s;
                st.maskB |= SquareBit(s);
            }
        }
        for (int side = 0; side < 2; ++side)
            for (std::uint8_t f : nt.step[s][side])
                if (f != 0) t.forward[s][side] |= SquareBit(f);
    }
    return t;
}
} // namespace square_set_detail

inline constexpr TSquareSetTables SquareSets64 = square_set_detail::Build(NeighbourTables64);
inline constexpr TSquareSetTables SquareSets100 = square_set_detail::Build(NeighbourTables100);

// 1 for the 8x8 board, 2 for the 10x10 board.
constexpr const TSquareSetTables& SquareSetTablesOf(int geometry) {
    return geometry == 2 ? SquareSets100 : SquareSets64;
}

// The men and kings of each side, [0] side 0 and [1] side 1.
struct TPieceSets {
    TSquareSet men[2] = {0, 0};
    TSquareSet kings[2] = {0, 0};
};
// Squares 1..squares of a board whose values are -2..2.
TPieceSets PieceSetsOf(const TBoard& board, int squares);
