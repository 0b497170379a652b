#pragma once
// Breakthrough tables A and B: one bit per 21-bit key, set when side 0's men near the crowning row
// crown by force against the pieces in their way. The contents are generated at build time by
// tools/breakthrough_tables (a race search with this library's move generator); nothing of them
// is stored in the repository.
//
// Key: bit 20 the side to move (0: side 0), bits 8-19 the occupied squares of rows 5-7 (side 1's
// men there and side 0's pieces on rows 6-7), bits 0-7 side 0's men on rows 5-6 (table A) or on
// rows 4-5 (table B).

#include "bitboard.h"
#include "rules.h"

#include <cstdint>

namespace marrak::inline MARRAK_RULES_NS::breakthrough {

using bit::word;

constexpr int key_bits = 21;
constexpr int table_bytes = (1 << key_bits) / 8;

extern const unsigned char table_a[table_bytes];
extern const unsigned char table_b[table_bytes];

inline word occupancy_bits(word w0, word m1) {
    return (((w0 & 0xff000000u) | m1) >> 12) & 0xfff00u;
}
inline word key_a(int side, word m0, word w0, word m1) {
    return word(side) << 20 | ((m0 >> 20) & 0xff) | occupancy_bits(w0, m1);
}
inline word key_b(int side, word m0, word w0, word m1) {
    return word(side) << 20 | ((m0 >> 16) & 0xff) | occupancy_bits(w0, m1);
}
inline bool test(const unsigned char* table, word key) {
    return (table[key >> 3] >> (key & 7)) & 1;
}

} // namespace marrak::inline MARRAK_RULES_NS::breakthrough
