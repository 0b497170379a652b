#pragma once
// The move-ordering tables: for each stage of the game (by the number of pieces) and for men and
// kings apart, a signed byte per (from, to) pair of squares, higher for moves that were best more
// often. Built once by init_pair_tables from the triplet lists of pair_table_data.cpp (generated
// by tools/pair_tables); zero where no triplet applies. Read-only after that.

#include "rules.h"

#include <array>
#include <cstdint>
#include <span>

namespace marrak::inline MARRAK_RULES_NS::order {

constexpr int stages = 6;

// (a, b, v): the move from bit a - 1 to bit b - 1 is worth v.
struct triplet {
    std::uint8_t a, b;
    std::int8_t v;
};

using pair_table = std::array<std::array<std::int8_t, 32>, 32>; // [from index][to index]

struct pair_tables {
    std::array<pair_table, stages> men{}, kings{};
};
extern pair_tables tables;

// The lists, one a stage (stages 0 and 1 share one), the same in both libraries.
struct pair_lists {
    std::array<std::span<const triplet>, stages> men, kings;
};
pair_lists generated_lists();

// Fills one stage's table from a list, indexed by the square index of each bit.
void fill_pair_table(pair_table& table, std::span<const triplet> list);
// Once per process (later calls do nothing).
void init_pair_tables();

// The stage of a position with `pieces` on the board; set-up positions above 24 count as 24.
inline int stage_of(int pieces) {
    const int s = (pieces - 1) / 4;
    return s < 0 ? 0 : s >= stages ? stages - 1 : s;
}

} // namespace marrak::inline MARRAK_RULES_NS::order
