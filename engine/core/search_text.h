#pragma once
// The texts the search writes: move texts, the progress line in the caller's status buffer, the
// principal variation (read back from the transposition table, whose entries on it it marks), the
// search result and the board in the log.

#include "context.h"

#include <string>
#include <string_view>

namespace marrak::inline MARRAK_RULES_NS::text {

// "%d-%d": the start and final squares of the side that moved, in the library's numbering (also
// for captures); "xxxx" when that side's word did not change (no move, or a king that captured
// round to its own square).
std::string move_to_text(const engine_position& before, const engine_position& after);

// "value<mark><v>,  depth <d>/<mean ply>/<max ply>,  <t>s,  <n> kN/s,  <pv>".
std::string format_status_line(const char* mark, int value, int depth, double mean_ply, int max_ply,
                               double seconds, double kilonodes_per_second, std::string_view pv);

// Copies text into the caller's status buffer (ENGINE_STATUS_TEXT_SIZE bytes): cut at 1023 bytes
// and NUL-terminated, byte by byte with relaxed atomic stores, since the host reads the buffer
// from another thread while the engine writes it. A null buffer is skipped.
void write_status(char* buffer, std::string_view text);

// The progress line of the running search, with the context's principal-variation text.
void status_line(engine_context& ctx, const char* mark, int value);

// "pv" and the best move, then up to min(length, 10) more moves read from the table, side to move
// alternating from the other side. Marks every entry on the line (its principal-variation flag),
// unless the search was stopped.
std::string format_pv(engine_context& ctx, int side, const engine_position& position,
                      const engine_position& after_best, int length);
// The same walk for up to min(length, 99) moves, marking only; with `stop_at_bounds` it also
// stops at an entry that holds a bound rather than an exact value.
void mark_pv_entries(engine_context& ctx, int side, const engine_position& after_best, int length,
                     bool stop_at_bounds);

// "best %s, value %d, depth %d/%.1f/%d, nodes %u, time %.2f, %.0f kN/s, db %u" and, when `extra`
// is given, ", " and it; then a newline.
void log_search_result(engine_context& ctx, std::string_view move, int value, const char* extra = nullptr);

// Two newlines, then squares 32 down to 1, four a line: "B"/"b" colour 2's king/man, "W"/"w"
// colour 1's, "-" empty, each followed by a blank, the board's shorter lines indented by one blank.
std::string board_diagram(const engine_position& position);
void log_board(engine_context& ctx, const engine_position& position);

// The square number of a bit in the library's numbering.
constexpr int square_of(int bit) {
    return (italian_rules ? bit ^ 3 : bit) + 1;
}

} // namespace marrak::inline MARRAK_RULES_NS::text
