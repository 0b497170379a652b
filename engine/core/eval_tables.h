#pragma once
// The look-up tables of the evaluation and the move ordering: built once by the library's one-time
// set-up (init_bit_tables first, init_eval_tables after the transposition table), read-only after.
// Plain globals of this rule set's namespace; reading them is safe from any thread once built.

#include "bitboard.h"
#include "rules.h"

#include <array>
#include <cstdint>

namespace marrak::inline MARRAK_RULES_NS::eval {

using bit::word;

constexpr int man_value = 100;
constexpr int king_value = italian_rules ? 160 : 130;
// Counts above 12 a side (set-up positions) share the entries of 12.
constexpr int material_counts = 13;

struct eval_tables {
    // [((m0 * 13 + m1) * 13 + k0) * 13 + k1] by the counts of men and kings of the two sides.
    std::array<std::int16_t, material_counts * material_counts * material_counts * material_counts> material;
    std::array<std::int8_t, 256> first_row, first_row_mirror;        // by a byte of men bits
    std::array<std::int8_t, 4096> back_pattern, back_pattern_mirror; // by 12 bits of men
    std::array<std::int8_t, 256> guard, guard_mirror;
    // For a 16-bit value with one bit set, that bit's square index: the bit itself in the
    // English numbering, the bit with its place in the row reversed in the Italian one.
    std::array<std::int8_t, 65536> bit_index;
    std::array<std::uint32_t, 256> byte_reversal;
    // The sum of the row numbers (0-3) of the set bits of a 16-bit value.
    std::array<std::uint8_t, 65536> half_row_sum;
};

extern eval_tables tables;

// Zeroes the bit-index table and sets its single-bit entries; fills the byte-reversal table.
// Acts once per process.
void init_bit_tables();
// Builds the material, first-row, back-pattern and guard tables and their mirrors (after the bit
// tables, which it builds first when needed). Acts once per process.
void init_eval_tables();

inline word reverse_bits32(word w) {
    const auto& r = tables.byte_reversal;
    return r[w >> 24] | r[(w >> 16) & 0xFF] << 8 | r[(w >> 8) & 0xFF] << 16 | r[w & 0xFF] << 24;
}

// The sum of the row numbers of the set bits of w.
inline int row_sum(word w) {
    return tables.half_row_sum[w & 0xFFFF] + tables.half_row_sum[w >> 16] + 4 * bit::count(w >> 16);
}

// The square index of a single-bit mask (0 for an empty one).
inline int bit_index(word single) {
    return single < 65536 ? tables.bit_index[single] : tables.bit_index[single >> 16] + 16;
}

// Small value tables indexed by a count.
constexpr std::array<std::int8_t, 33> mobility_value = {-6, 0, 2, 3, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4,
                                                        4,  4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4};
constexpr std::array<std::int8_t, 4> king_reach_value = {24, 12, 8, 3};
constexpr std::array<std::int8_t, 4> formation_value = {20, 12, 3, 0};

} // namespace marrak::inline MARRAK_RULES_NS::eval
