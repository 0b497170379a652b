#pragma once
// The recursive alpha-beta search with its root, shared by every move-choice driver. Values are
// from side 0's view (side 0 holds pieces[0]); a lost side scores ply - 4000 (side 0) or
// 4000 - ply (side 1); depth is in eighths of a ply. Runs on the caller's thread with the
// context's tables; the caller's play-now word is polled and may be written (1: hard limit passed).

#include "context.h"

#include <climits>
#include <cstdint>

namespace marrak::inline MARRAK_RULES_NS::search {

// What root_search returns when the play-now word stopped it.
constexpr int stopped_value = INT_MAX;
constexpr int win_value = 4000;

// Zeroes the killer table.
void clear_search_tables(engine_context& ctx);

// Seconds since the search's start clock (at least 0.001).
double elapsed_seconds(engine_context& ctx);

// Searches the root moves `moves` of `position` at iteration depth `d` within (alpha, beta).
// `best_index` names the move to search first and receives the best move found.
int root_search(engine_context& ctx, const engine_position& position, const move_list& moves, int d,
                int alpha, int beta, int side, int& best_index);

// One node. `moderate` and `deep` are the depth held back by the reductions above it.
int search_position(engine_context& ctx, const engine_position& position, int ply, int depth, int alpha,
                    int beta, int side, int moderate, int deep, int& best_index);

// Insertion sort of `order` by descending score; ties keep their order.
void sort_moves_by_score(const int* scores, std::uint16_t* order, int count);

// The bit the mover's word loses and the bit it gains.
killer move_bits(const engine_position& before, const engine_position& after, int side);

} // namespace marrak::inline MARRAK_RULES_NS::search
