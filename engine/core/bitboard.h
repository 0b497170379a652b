#pragma once
// Geometry of the three-word position: cell (x, y) is bit 4y + 3 - x/2, so row y holds bits
// 4y..4y+3 and within a row the bit number falls as x grows. Side flag 0 (colour 2) moves towards
// row 7, side flag 1 (colour 1) towards row 0. All tables are constants built by the compiler.

#include "egdb/egdb.h"
#include "engine_api.h"
#include "rules.h"

#include <array>
#include <bit>
#include <cstdint>

namespace marrak::inline MARRAK_RULES_NS::bit {

using word = std::uint32_t;

constexpr int bit_of(int x, int y) {
    return 4 * y + 3 - x / 2;
}
constexpr int row_of(int b) {
    return b >> 2;
}
constexpr int column_of(int b) {
    return 2 * (3 - (b & 3)) + (row_of(b) & 1);
}

// A left shift for positive amounts, a right shift for negative ones.
constexpr word shift(word x, int amount) {
    return amount >= 0 ? x << amount : x >> -amount;
}

// One step or jump direction, applied to many pieces at once: the squares it may start from and
// the shift that takes them there.
struct shift_mask {
    int amount;
    word from;
};

// Table order of the four directions for one vertical direction: from even rows to x - 1, from
// even rows to x + 1, from odd rows to x - 1, from odd rows to x + 1.
constexpr int table_parity(int entry) {
    return entry >> 1;
}
constexpr int table_dx(int entry) {
    return (entry & 1) ? 1 : -1;
}

constexpr bool on_board(int x, int y) {
    return x >= 0 && x < 8 && y >= 0 && y < 8;
}

constexpr shift_mask make_step(int dy, int entry) {
    shift_mask s{0, 0};
    for (int b = 0; b < 32; ++b) {
        int x = column_of(b), y = row_of(b);
        if ((y & 1) != table_parity(entry)) continue;
        int nx = x + table_dx(entry), ny = y + dy;
        if (on_board(nx, ny)) {
            s.from |= word{1} << b;
            s.amount = bit_of(nx, ny) - b;
        }
    }
    return s;
}

// A jump from squares of the entry's row parity: the first shift reaches the jumped square (on
// the other parity), the second the landing square.
struct jump_mask {
    int over;
    int land;
    word from;
};

constexpr jump_mask make_jump(int dy, int entry) {
    jump_mask j{0, 0, 0};
    for (int b = 0; b < 32; ++b) {
        int x = column_of(b), y = row_of(b);
        if ((y & 1) != table_parity(entry)) continue;
        int mx = x + table_dx(entry), my = y + dy;
        int lx = mx + table_dx(entry), ly = my + dy;
        if (on_board(lx, ly)) {
            j.from |= word{1} << b;
            j.over = bit_of(mx, my) - b;
            j.land = bit_of(lx, ly) - bit_of(mx, my);
        }
    }
    return j;
}

constexpr int up = 0;   // towards row 7: forward for side flag 0
constexpr int down = 1; // towards row 0: forward for side flag 1
constexpr int forward_of(int side) {
    return side == 0 ? up : down;
}
constexpr int backward_of(int side) {
    return side == 0 ? down : up;
}

constexpr std::array<std::array<shift_mask, 4>, 2> steps = {{
    {make_step(1, 0), make_step(1, 1), make_step(1, 2), make_step(1, 3)},
    {make_step(-1, 0), make_step(-1, 1), make_step(-1, 2), make_step(-1, 3)},
}};
constexpr std::array<std::array<jump_mask, 4>, 2> jumps = {{
    {make_jump(1, 0), make_jump(1, 1), make_jump(1, 2), make_jump(1, 3)},
    {make_jump(-1, 0), make_jump(-1, 1), make_jump(-1, 2), make_jump(-1, 3)},
}};

// Shifts the geometry promises: a step from an even row subtracts 3 or 4 going down, adds 5 or 4
// going up; from an odd row it subtracts 4 or 5, adds 4 or 3; every jump is +-7 or +-9.
static_assert(steps[down][0].amount == -3 && steps[down][1].amount == -4);
static_assert(steps[down][2].amount == -4 && steps[down][3].amount == -5);
static_assert(steps[up][0].amount == 5 && steps[up][1].amount == 4);
static_assert(steps[up][2].amount == 4 && steps[up][3].amount == 3);
static_assert(jumps[up][0].over + jumps[up][0].land == 9 && jumps[down][1].over + jumps[down][1].land == -9);

// The row where a side's men are crowned.
constexpr word crowning_row(int side) {
    return side == 0 ? 0xF0000000u : 0x0000000Fu;
}

// A mask of the given bits, and the same mask turned 180 degrees (bit b becomes bit 31 - b).
template <class... B> constexpr word mask(B... bits) {
    return ((word{1} << bits) | ... | word{0});
}
constexpr word flip(word w) {
    word r = 0;
    for (int b = 0; b < 32; ++b)
        if (w & (word{1} << b)) r |= word{1} << (31 - b);
    return r;
}

// The squares one step towards row 7 (side 0's forward) and towards row 0 of every square of x.
constexpr word step_up(word x) {
    return (((x & ~word{0xf8f8f8}) << 1 | x) << 1 | (x & word{0xe0e0e0})) << 3;
}
constexpr word step_down(word x) {
    return (((x >> 1 & word{0x70707070}) | x) >> 1 | (x & word{0x7070700})) >> 3;
}
constexpr word neighbours(word x) {
    return step_up(x) | step_down(x);
}

// One diagonal direction: vertical (up or down) and table entry parity pair (x - 1 or x + 1).
constexpr word step_dir(word x, int vertical, int dx_entry) {
    const shift_mask& even = steps[vertical][dx_entry];
    const shift_mask& odd = steps[vertical][2 + dx_entry];
    return shift(x & even.from, even.amount) | shift(x & odd.from, odd.amount);
}

constexpr word centre_squares = 0x666600;
constexpr word edge_squares = 0xf818181f;

inline int count(word w) {
    return egdb_bitcount_table[w & 0xFFFF] + egdb_bitcount_table[w >> 16];
}
inline word lowest(word w) {
    return w & (~w + 1);
}

} // namespace marrak::inline MARRAK_RULES_NS::bit
