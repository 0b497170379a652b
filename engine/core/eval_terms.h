#pragma once
// Internal to the evaluation: the position's sets as every term sees them, and the terms that
// have a file of their own. Each term that the two sides share is written once for side 0 and run
// a second time on the board turned 180 degrees, so the evaluation is exactly antisymmetric.

#include "bitboard.h"
#include "breakthrough.h"
#include "eval_tables.h"

namespace marrak::inline MARRAK_RULES_NS::eval::detail {

using bit::mask;
using bit::word;

struct board_sets {
    word m0, k0, m1, k1; // men and kings of the two sides
    word w0, w1, empty;
};

inline board_sets make_sets(word w0, word w1, word kings) {
    return board_sets{w0 & ~kings, w0 & kings, w1 & ~kings, w1 & kings, w0, w1, ~(w0 | w1)};
}

// The board turned 180 degrees with the sides exchanged.
inline board_sets turned(const board_sets& b) {
    return make_sets(reverse_bits32(b.w1), reverse_bits32(b.w0), reverse_bits32(b.k0 | b.k1));
}

inline bool all(word set, word bits) {
    return (set & bits) == bits;
}

// What side 0 gains from side 1's kings that are shut in or held. `trapped`
// receives side 1's kings counted as trapped; `king_term` the part that belongs to the king term.
struct king_terms {
    int trapped_value = 0; // kings shut in
    int held_value = 0;    // kings held by men
    int king_term = 0;     // the held kings' tests that go to the king term
    word trapped = 0;      // side 1's trapped kings
};
// For side 1's kings only; the caller runs it again on the turned board for side 0's kings.
king_terms side1_kings(const board_sets& b, int pieces);

// Fixed formations (of both sides), the back corners and the dog-holes (side 0's).
struct pattern_input {
    int men_on_board;
    int pieces;
    bool break0, break1; // the breakthrough flags bA and bB
    int free0, free1;    // kings not trapped
    bool kings0, kings1; // the side has kings
};
int formations(const board_sets& b, const pattern_input& in);
int back_corners(const board_sets& b, const pattern_input& in);
int dog_holes(const board_sets& b);

} // namespace marrak::inline MARRAK_RULES_NS::eval::detail
