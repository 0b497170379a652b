#pragma once
// The host's 8 x 8 board and move record against the engine's three-word position: conversions
// both ways, the cell of a square number, and (Italian) the move record of a move.

#include "engine_api.h"
#include "rules.h"

namespace marrak::inline MARRAK_RULES_NS::host {

// The cell holding square n (1..32) of the library's numbering; {-1, -1} for any other n.
board_coord square_to_coord(int n);
// The cell of a position bit (0..31); the same rule in both libraries.
board_coord bit_to_coord(int bit);

// Reads the 32 dark cells; codes other than 5, 6, 9, 10 count as empty.
engine_position board_to_position(const host_board& board);
// Writes every dark cell; light cells keep their values.
void position_to_board(const engine_position& position, host_board& board);

#if MARRAK_ITALIAN
// The record of the legal move that leads from `before` to `after`; false (record untouched) when
// no legal move does.
bool build_host_move(const engine_position& before, const engine_position& after, int color,
                     host_move& record);
// The first legal move, in generator order, from square `from` to square `to`: its record and true.
bool find_legal_move(const engine_position& position, int color, int from, int to, host_move& record);
#endif

} // namespace marrak::inline MARRAK_RULES_NS::host
