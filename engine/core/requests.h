#pragma once
// The move request of the export getmove, on a given context: the board in, the limits from
// maxtime and the info bits, the move choice, the board and (Italian) the move record out.

#include "context.h"

namespace marrak::inline MARRAK_RULES_NS {

// Time limits in seconds from maxtime and the info bits: bit 2 takes a tenth of maxtime; the soft
// limit (and the scoring drivers' first step) is half of it, the hard one four times it, or the
// time itself with bit 1. maxtime is taken as search::request_seconds makes it.
struct request_limits {
    double soft = 0, step = 0, hard = 0;
};
request_limits limits_for(double maxtime, int info);

// Waits for the engine mutex, plays a move for `color` (1 or 2) and returns the result code. A
// null board gives ENGINE_UNKNOWN and touches nothing; status_text, playnow and move may be null.
int play_move_request(engine_context& ctx, host_board* board, int color, double maxtime, char* status_text,
                      int* playnow, int info, host_move* move);

} // namespace marrak::inline MARRAK_RULES_NS
