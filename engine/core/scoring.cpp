// The drivers that score every root move: each move gets its own root search of a one-move list.

#include "drivers.h"
#include "movegen.h"
#include "search.h"
#include "search_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace marrak::inline MARRAK_RULES_NS::search {
namespace {

// log10(2) / 2: each further move within the margin buys this fraction more time.
constexpr double time_per_candidate = 0.3010299956639812 * 0.5;

std::vector<root_record> root_records(const move_list& moves) {
    std::vector<root_record> records(moves.count);
    for (std::uint32_t i = 0; i < moves.count; ++i)
        records[i].position = moves.moves[i];
    return records;
}

// One record searched alone.
int search_record(engine_context& ctx, const engine_position& position, const root_record& record, int d,
                  int alpha, int beta, int side) {
    move_list& one = ctx.tables().one_move;
    one.count = 1;
    one.moves[0] = record.position;
    int index = 0;
    return root_search(ctx, position, one, d, alpha, beta, side, index);
}

void sort_records(std::vector<root_record>& records, int side) {
    std::stable_sort(records.begin(), records.end(),
                     side == 0 ? compare_value_descending : compare_value_ascending);
}

// "<head>" then "<move>,<value>  " for every record; the status buffer cuts it.
std::string records_text(const engine_position& position, const std::vector<root_record>& records,
                         std::string text) {
    for (const root_record& r : records) {
        text += text::move_to_text(position, r.position);
        text += ',';
        text += std::to_string(r.value);
        text += "  ";
    }
    return text;
}

std::string head_text(const char* format, double seconds, int d) {
    char head[64];
    std::snprintf(head, sizeof head, format, seconds, d);
    return head;
}

void publish(engine_context& ctx, const std::string& text) {
    text::write_status(ctx.status_buffer(), text);
    ctx.log((text + "\n").c_str());
}

void mark_record(engine_context& ctx, const root_record& record, int side, int d) {
    if (d > 7) text::mark_pv_entries(ctx, side, record.position, std::min(d + d / 5, 99), false);
}

// Returns the iteration counter at the end; `last_text` receives the last listing.
int allscores_search(engine_context& ctx, const engine_position& position, int side,
                     std::vector<root_record>& records, int max_depth, std::string& last_text) {
    search_control& c = ctx.control();
    const int n = static_cast<int>(records.size());
    int d = 1;
    for (;;) {
        if ((d > max_depth && d > 5) || d > c.depth_cap) break;
        c.iteration = d;
        c.leaves = c.leaf_ply_sum = 0;
        c.max_ply = 0;
        for (root_record& r : records)
            r.previous = r.value;
        records[0].value = search_record(ctx, position, records[0], d, -win_value, win_value, side);
        mark_record(ctx, records[0], side, d);
        if (playnow_set(c))
            for (root_record& r : records)
                r.value = r.previous;
        int best = records[0].value;
        for (int i = 1; i < n && !(playnow_set(c) && d > 4); ++i) {
            records[i].value = search_record(ctx, position, records[i], d, -win_value, win_value, side);
            mark_record(ctx, records[i], side, d);
            best = side == 0 ? std::max(best, records[i].value) : std::min(best, records[i].value);
        }
        if (playnow_set(c) && d >= 5) {
            for (root_record& r : records)
                r.value = r.previous;
            break;
        }
        sort_records(records, side);
        last_text = records_text(position, records, head_text("%.1fs, D %d, ", elapsed_seconds(ctx), d));
        publish(ctx, last_text);
        const double elapsed = elapsed_seconds(ctx);
        if (elapsed < c.step_limit)
            d += 2;
        else if (elapsed < c.soft_limit)
            d += 1;
        else
            break;
    }
    return d;
}

} // namespace

bool compare_value_descending(const root_record& a, const root_record& b) {
    return a.value > b.value;
}
bool compare_value_ascending(const root_record& a, const root_record& b) {
    return a.value < b.value;
}

int choose_move_allscores(engine_context& ctx, const engine_position& position, int side,
                          engine_position& chosen, driver_result* result) {
    const int n = start_root(ctx, position, side);
    const move_list& moves = ctx.tables().root_moves;
    int code = 0;
    if (play_book_move(ctx, position, side, chosen, code)) return code;
    if (n == 0) return lost_game(ctx, position, side, chosen, result);
    const int max_depth = n == 1 ? 5 : max_iteration;
    std::vector<root_record> records = root_records(moves);
    std::string scores;
    const int d = allscores_search(ctx, position, side, records, max_depth, scores);

    chosen = records[0].position;
    ctx.pv_text() = text::format_pv(ctx, side, position, chosen, d + d / 5);
    publish(ctx, scores + ctx.pv_text());
    set_playnow(ctx.control(), 0);
    if (result) {
        int chosen_index = 0;
        for (int i = 0; i < n; ++i)
            if (history::same_position(moves.moves[i], chosen)) {
                chosen_index = i;
                break;
            }
        *result = driver_result{chosen_index, records[0].value, d};
    }
    return ctx.game().game_result(chosen, side, records[0].value, max_depth > 7 ? 1 : 0);
}

std::vector<root_record> score_all_moves(engine_context& ctx, const engine_position& position, int side,
                                         double maxtime, int margin, int fixed_depth, int& margin_out) {
    search_control& c = ctx.control();
    std::vector<root_record> records = root_records(ctx.tables().root_moves);
    const int n = static_cast<int>(records.size());
    margin_out = margin;
    if (n == 0) return records;
    if (fixed_depth != 0) c.soft_limit = c.step_limit = c.hard_limit = maxtime * 8;
    // Values lie within +-win_value: a wider margin searches the same windows, without overflow.
    const int window_margin = std::clamp(margin, -2 * win_value, 2 * win_value);
    // The iterations before the one before the fixed depth run whatever the time (no depth overflows).
    auto before_fixed = [fixed_depth](int d) { return fixed_depth != 0 && d + 1 < fixed_depth; };
    int candidates = 1, unchanged = 0, best = 0;
    int alpha = 0, beta = 0;
    for (int d = 1;;) {
        if (d > c.depth_cap || (d > 5 && (d > max_iteration || elapsed_seconds(ctx) > c.soft_limit))) break;
        c.iteration = d;
        c.leaves = c.leaf_ply_sum = 0;
        c.max_ply = 0;
        if (!before_fixed(d)) {
            c.soft_limit = (1 + candidates * time_per_candidate) * maxtime;
            c.step_limit = c.soft_limit * 0.5;
            if (unchanged > 4) c.soft_limit = maxtime;
        }
        const bool stop_counts = d >= 5;
        auto stopped = [&] { return stop_counts && playnow_set(c); };

        // The best so far, in a narrow window widened until its value lies inside.
        root_record& first = records[0];
        alpha = first.value - 5;
        beta = first.value + 5;
        int v;
        for (;;) {
            v = search_record(ctx, position, first, d, alpha, beta, side);
            if (stopped()) break;
            if (v >= beta)
                beta = v + 10;
            else if (v <= alpha)
                alpha = v - 10;
            else
                break;
        }
        first.value = v;
        mark_record(ctx, first, side, d);
        unchanged = first.value == first.previous ? unchanged + 1 : 0;
        best = first.value;

        // The others: exactly when they come within the margin (or reach -1), else as a bound.
        for (int i = 1; i < n && !stopped(); ++i) {
            root_record& r = records[i];
            if (side == 0) {
                alpha = std::min(best - window_margin - 1, -2);
                beta = best + 5;
                for (;;) {
                    v = search_record(ctx, position, r, d, alpha, beta, side);
                    if (stopped() || v < beta) break;
                    beta = v + 10;
                }
                if (v < beta) best = std::max(best, v);
                margin_out = std::max(best - alpha - 1, margin);
            } else {
                beta = std::max(best + window_margin + 1, 2);
                alpha = best - 5;
                for (;;) {
                    v = search_record(ctx, position, r, d, alpha, beta, side);
                    if (stopped() || v > alpha) break;
                    alpha = v - 10;
                }
                if (v > alpha) best = std::min(best, v);
                margin_out = std::max(beta - best - 1, margin);
            }
            r.value = v;
            mark_record(ctx, r, side, d);
        }
        char line[160];
        std::snprintf(line, sizeof line, "Mintime %.2f, alpha %d, beta %d, bestval %d, msd %d\n",
                      c.soft_limit, alpha, beta, best, margin_out);
        ctx.log(line);

        if (stopped()) {
            for (root_record& r : records)
                r.value = r.previous;
            break;
        }
        candidates = 0;
        for (root_record& r : records) {
            r.previous = r.value;
            if (std::abs(r.value - best) <= margin_out) ++candidates;
        }
        sort_records(records, side);
        publish(ctx, records_text(position, records, head_text("%.1fs, D %d,  ", elapsed_seconds(ctx), d)));
        if (std::abs(best) >= 2000) break;
        const double elapsed = elapsed_seconds(ctx);
        if (before_fixed(d) || elapsed <= c.step_limit)
            d += 2;
        else if (elapsed >= c.soft_limit)
            break;
        else
            d += 1;
    }
    return records;
}

int get_best_moves(engine_context& ctx, const engine_position& position, int side, double maxtime,
                   int* playnow, int info, int margin, move_list* moves, int* values, int fixed_depth,
                   int* margin_out) {
    maxtime = request_seconds(maxtime);
    const double soft = maxtime * 0.5;
    set_request(ctx, playnow, soft, soft, (info & 2) ? maxtime : maxtime * 4);
    open_endgame_db(ctx, ctx.status_buffer());
    begin_search(ctx, position);
    move_list& root = ctx.tables().root_moves;
    if (gen::generate_legal(position, root, side) == 0) {
        text::write_status(ctx.status_buffer(), "Lost game");
        if (moves) moves->count = 0;
        if (margin_out) *margin_out = margin;
        return ENGINE_LOSS;
    }
    int used_margin = margin;
    const std::vector<root_record> records =
        score_all_moves(ctx, position, side, maxtime, margin, fixed_depth, used_margin);
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (moves) moves->moves[i] = records[i].position;
        if (values) values[i] = records[i].value;
    }
    if (moves) moves->count = static_cast<std::uint32_t>(records.size());
    if (margin_out) *margin_out = used_margin;
    set_playnow(ctx.control(), 0);
    const int d = ctx.control().iteration;
    ctx.pv_text() = text::format_pv(ctx, side, position, records[0].position, d + d / 5);
    ctx.log((ctx.pv_text() + "\n").c_str());
    return 0;
}

} // namespace marrak::inline MARRAK_RULES_NS::search
