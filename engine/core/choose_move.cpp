// The normal driver: book, database, then iterative deepening with null-window searches of the
// root until the value's bounds meet.

#include "drivers.h"
#include "movegen.h"
#include "search.h"
#include "search_text.h"

#include <algorithm>

namespace marrak::inline MARRAK_RULES_NS::search {

void set_request(engine_context& ctx, int* playnow, double soft, double step, double hard) {
    search_control& c = ctx.control();
    c.playnow = playnow ? playnow : ctx.own_playnow();
    c.soft_limit = soft;
    c.step_limit = step;
    c.hard_limit = hard;
}

double request_seconds(double maxtime) {
    if (!(maxtime > 0)) return 0;
    return std::min(maxtime, longest_request_seconds);
}

void begin_search(engine_context& ctx, const engine_position& position) {
    search_control& c = ctx.control();
    text::log_board(ctx, position);
    c.nodes = 0;
    ctx.hash().new_search();
    clear_search_tables(ctx);
    c.db_probes = 0;
    c.start_ms = ctx.now_ms();
    c.stopped = false;
    c.iteration = 0;
    c.leaves = c.leaf_ply_sum = 0;
    c.max_ply = 0;
    ctx.pv_text().clear();
}

int start_root(engine_context& ctx, const engine_position& position, int side) {
    begin_search(ctx, position);
    ctx.game().record_played_position(position);
    return gen::generate_legal(position, ctx.tables().root_moves, side);
}

namespace {

// A move the book or the database chose, with its text.
int play_oracle_move(engine_context& ctx, const engine_position& chosen_position, int side, int value,
                     const std::string& text, engine_position& chosen) {
    chosen = chosen_position;
    text::write_status(ctx.status_buffer(), text);
    ctx.log(text.c_str());
    ctx.log("\n");
    return ctx.game().game_result(chosen, side, value, 1);
}

} // namespace

bool play_book_move(engine_context& ctx, const engine_position& position, int side, engine_position& chosen,
                    int& code) {
    const move_list& moves = ctx.tables().root_moves;
    int index = 0, value = 0;
    std::string text;
    if (!ctx.settings().book ||
        !choose_book_move(ctx.book(), ctx.settings().book, position, side, moves, ctx.game(), index, value,
                          text) ||
        index < 0 || index >= static_cast<int>(moves.count))
        return false;
    code = play_oracle_move(ctx, moves.moves[index], side, value, text, chosen);
    return true;
}

int lost_game(engine_context& ctx, const engine_position& position, int side, engine_position& chosen,
              driver_result* result) {
    text::write_status(ctx.status_buffer(), "Lost game");
    chosen = position;
    if (result) *result = driver_result{-1, side == 0 ? -win_value : win_value, 0};
    return ENGINE_LOSS;
}

int choose_move(engine_context& ctx, const engine_position& position, int side, engine_position& chosen,
                driver_result* result) {
    search_control& c = ctx.control();
    const int n = start_root(ctx, position, side);
    const move_list& moves = ctx.tables().root_moves;
    int code = 0, index = 0, value = 0;
    std::string oracle;
    if (play_book_move(ctx, position, side, chosen, code)) return code;
    if (list_db_moves(ctx.db(), position, side, moves, index, value, oracle) && index >= 0 && index < n)
        return play_oracle_move(ctx, moves.moves[index], side, value, oracle, chosen);
    if (n == 0) return lost_game(ctx, position, side, chosen, result);

    std::string& pv = ctx.pv_text();
    const int max_depth = n == 1 ? 1 : max_iteration;
    int best = 0, last_best = 0, last_value = 0;
    value = 0;
    int d = 1;
    for (;; d += 2) {
        // Iterations 1, 3 and 5 always run, so there is always a move.
        if (d > c.depth_cap) break;
        if (d > 5 && (d > max_depth || elapsed_seconds(ctx) > c.soft_limit)) break;
        c.iteration = d;
        c.leaves = c.leaf_ply_sum = 0;
        c.max_ply = 0;
        const int pv_length = d + d / 5;
        int lower = -win_value, upper = win_value;
        bool stopped = false;
        do {
            const int guess = value == lower ? value + 1 : value;
            int found = best;
            const int v = root_search(ctx, position, moves, d, guess - 1, guess, side, found);
            value = v;
            if (playnow_set(c) && d >= 5) {
                stopped = true;
                break;
            }
            if (side == 0 ? v >= guess : v <= guess - 1) best = found;
            if (v >= guess) {
                value = lower = std::min(v, upper);
                text::status_line(ctx, ">", value);
            } else {
                value = upper = std::max(lower, v);
                text::status_line(ctx, "<", value);
            }
            if (d >= 10)
                pv = text::format_pv(ctx, side, position, moves.moves[best], pv_length);
            else
                pv.clear();
            if (d >= 8) text::mark_pv_entries(ctx, side, moves.moves[best], std::min(pv_length, 99), false);
        } while (lower < upper);
        pv = text::format_pv(ctx, side, position, moves.moves[best], pv_length);
        if (stopped) {
            best = last_best;
            value = last_value;
            break;
        }
        last_best = best;
        last_value = value;
        text::log_search_result(ctx, text::move_to_text(position, moves.moves[best]), value);
        text::status_line(ctx, "=", value);
    }

    chosen = moves.moves[best];
    set_playnow(c, 0);
    int replacement = 0;
    if (db_move_check(ctx.db(), side, position, moves, best, replacement) && replacement >= 0 &&
        replacement < n) {
        pv = "egdb move changed from " + text::move_to_text(position, moves.moves[best]) + " to " +
             text::move_to_text(position, moves.moves[replacement]);
        chosen = moves.moves[replacement];
        best = replacement;
    } else {
        pv = text::format_pv(ctx, side, position, moves.moves[best], d + d / 5);
    }
    ctx.log((pv + "\n").c_str());
    if (result) *result = driver_result{best, value, d};
    return ctx.game().game_result(chosen, side, value, d > 7 ? 1 : 0);
}

} // namespace marrak::inline MARRAK_RULES_NS::search
