#pragma once
// The move-choice drivers over the search: iterative deepening to one best move (choose_move), a
// value for every root move (choose_move_allscores), and every root move scored within a margin
// for the export get_best_moves (score_all_moves). Each runs on the caller's thread with the
// context's state; the caller sets the request's limits first (set_request).

#include "context.h"

#include <string>
#include <vector>

namespace marrak::inline MARRAK_RULES_NS::search {

// The play-now word (null: the context's own) and the time limits in seconds.
void set_request(engine_context& ctx, int* playnow, double soft, double step, double hard);

// A request's time in seconds as the limits are made from it: a NaN, negative or zero time is 0 (the
// search ends after its first iterations), and a time above 10^9 s, an infinite one too, is 10^9 s,
// so that every limit and every figure of the texts stays finite.
constexpr double longest_request_seconds = 1e9;
double request_seconds(double maxtime);

// Starts a search's clock and counters: node and probe counts, table ageing, killers.
void begin_search(engine_context& ctx, const engine_position& position);

// The opening of both move choices: the search started, the root recorded as played and its
// moves generated into the root list; returns their number.
int start_root(engine_context& ctx, const engine_position& position, int side);

// What the last driver found: the chosen move's index among the root moves, its value, and the
// iteration counter at the end (the iteration after the last completed one, or the stopped one).
struct driver_result {
    int best_index = -1;
    int value = 0;
    int depth = 0;
};

// The book's move when the book setting is on and the book has one: played (status text, log,
// judgement with flag 1); true with the result code in `code`.
bool play_book_move(engine_context& ctx, const engine_position& position, int side, engine_position& chosen,
                    int& code);
// No legal move: "Lost game", the position unchanged, ENGINE_LOSS.
int lost_game(engine_context& ctx, const engine_position& position, int side, engine_position& chosen,
              driver_result* result);

// Chooses a move for `side` (0: pieces[0] moves): the book, then the database, then iterative
// deepening. Writes the position after it into `chosen` and returns the result code of the game
// history's judgement (ENGINE_WIN, ...); ENGINE_LOSS with "Lost game" when there is no move.
int choose_move(engine_context& ctx, const engine_position& position, int side, engine_position& chosen,
                driver_result* result = nullptr);

// The same, scoring every root move with its own full-window search.
int choose_move_allscores(engine_context& ctx, const engine_position& position, int side,
                          engine_position& chosen, driver_result* result = nullptr);

// A root move with its value, as the scoring drivers keep them.
struct root_record {
    engine_position position;
    int value = 0;
    int previous = 0;
};
// The comparators of the sorts: higher values first (side 0) or lower first (side 1); as
// strict orderings, so a stable sort keeps equal values in their order.
bool compare_value_descending(const root_record& a, const root_record& b);
bool compare_value_ascending(const root_record& a, const root_record& b);

// Every root move scored: the best exactly, the others exactly when within `margin` of it
// (else as a bound). `fixed_depth` non-zero: search to that iteration, time limits 8 x maxtime.
// Returns the records best first for the mover, and the margin actually used.
std::vector<root_record> score_all_moves(engine_context& ctx, const engine_position& position, int side,
                                         double maxtime, int margin, int fixed_depth, int& margin_out);

// The request of the export get_best_moves: limits from maxtime and `info` (bit 1: the hard limit is
// maxtime itself), then score_all_moves. Fills `moves` and `values` (each null to skip; room for
// ENGINE_MAX_MOVES) best first for the mover and returns 0; ENGINE_LOSS with "Lost game" when the
// side has no move. The caller holds the engine mutex and has run the set-up.
int get_best_moves(engine_context& ctx, const engine_position& position, int side, double maxtime,
                   int* playnow, int info, int margin, move_list* moves, int* values, int fixed_depth,
                   int* margin_out);

} // namespace marrak::inline MARRAK_RULES_NS::search
