#pragma once
// Move generation on the three-word position. A move is the position it leads to; lists are
// filled in a fixed order, which is part of the contract (stored move indices depend on it).
// Pure functions of their arguments; safe from any thread.

#include "engine_api.h"
#include "rules.h"

#include <cstdint>

namespace marrak::inline MARRAK_RULES_NS::gen {

constexpr int max_moves = ENGINE_MAX_MOVES;
constexpr int max_steps = HOST_MOVE_MAX_JUMPS;

// The position after every step of one capture.
struct capture_path {
    int steps = 0;
    engine_position after[max_steps];
};

// Plain moves of the side to move (1: colour 1), captures or not: compulsion is the caller's.
int generate_moves(const engine_position& position, move_list& list, int side);
// Captures under the library's rules (Italian: only the sequences that win the precedence
// filter; English: every sequence, also several that end in one position); 0 when there is none.
int generate_captures(const engine_position& position, move_list& list, int side);
bool has_capture(const engine_position& position, int side);

#if MARRAK_ITALIAN
// The same list as generate_captures, with the steps of each move in `paths` (max_moves records).
int generate_capture_paths(const engine_position& position, move_list& list, int side, capture_path* paths);
#endif

// A position as the move functions expect it: a square that both colour words claim is empty, and
// a king bit counts only on an occupied square. For positions that come from outside.
inline engine_position normalized(const engine_position& p) {
    const std::uint32_t both = p.pieces[0] & p.pieces[1];
    engine_position q{{p.pieces[0] & ~both, p.pieces[1] & ~both}, 0};
    q.kings = p.kings & (q.pieces[0] | q.pieces[1]);
    return q;
}

// Captures, or plain moves when there is none.
inline int generate_legal(const engine_position& position, move_list& list, int side) {
    int n = generate_captures(position, list, side);
    return n ? n : generate_moves(position, list, side);
}

} // namespace marrak::inline MARRAK_RULES_NS::gen
