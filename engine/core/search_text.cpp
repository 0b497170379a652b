#include "search_text.h"

#include "bitboard.h"
#include "movegen.h"
#include "search.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace marrak::inline MARRAK_RULES_NS::text {
namespace {

using bit::word;

std::string printf_text(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string printf_text(const char* format, ...) {
    char buffer[ENGINE_STATUS_TEXT_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

struct depth_figures {
    double mean_ply, seconds, kilonodes;
};

depth_figures figures(engine_context& ctx) {
    const search::search_control& c = ctx.control();
    const double seconds = search::elapsed_seconds(ctx);
    // No leaf yet (a root without a searched move) gives a mean of 0.
    const double mean = c.leaves ? static_cast<double>(c.leaf_ply_sum) / c.leaves : 0.0;
    return {mean, seconds, c.nodes / (seconds * 1000.0)};
}

// Follows the table's best moves from `after_best`, the other side to move, calling visit with
// each entry and the position it leads to, while visit returns true.
template <class Visit>
void walk_pv(engine_context& ctx, int side, const engine_position& after_best, int length, Visit visit) {
    std::vector<const tt::hash_entry*> used;
    engine_position current = after_best;
    int to_move = 1 - side;
    move_list& moves = ctx.tables().walk_moves;
    for (int i = 0; i < length; ++i) {
        tt::hash_key key;
        tt::hash_entry* entry = ctx.hash().probe(current, to_move, key);
        if (!entry || std::find(used.begin(), used.end(), entry) != used.end()) return;
        used.push_back(entry);
        if (!ctx.control().stopped) entry->data |= tt::pv_flag;
        const int n = gen::generate_legal(current, moves, to_move);
        // The stored index is the move's index modulo 32: past the list it names no move.
        const int best = tt::entry_best(*entry);
        if (n == 0 || best >= n) return;
        const engine_position next = moves.moves[best];
        if (!visit(*entry, current, next)) return;
        current = next;
        to_move = 1 - to_move;
    }
}

} // namespace

std::string move_to_text(const engine_position& before, const engine_position& after) {
    auto pieces = [](word w) { return bit::count(w); };
    int mover;
    if (pieces(after.pieces[0]) < pieces(before.pieces[0]))
        mover = 1;
    else if (pieces(after.pieces[1]) < pieces(before.pieces[1]))
        mover = 0;
    else
        mover = before.pieces[0] != after.pieces[0] ? 0 : 1;
    const word changed = before.pieces[mover] ^ after.pieces[mover];
    const word from = changed & before.pieces[mover], to = changed & after.pieces[mover];
    if (!from || !to) return "xxxx";
    return printf_text("%d-%d", square_of(std::countr_zero(from)), square_of(std::countr_zero(to)));
}

std::string format_status_line(const char* mark, int value, int depth, double mean_ply, int max_ply,
                               double seconds, double kilonodes_per_second, std::string_view pv) {
    const std::string head = printf_text("value%s%d,  depth %d/%.1f/%d,  %.1fs,  %.0f kN/s,  ", mark, value,
                                         depth, mean_ply, max_ply, seconds, kilonodes_per_second);
    return head + std::string(pv);
}

void write_status(char* buffer, std::string_view text) {
    if (!buffer) return;
    const std::size_t n = std::min<std::size_t>(text.size(), ENGINE_STATUS_TEXT_SIZE - 1);
    for (std::size_t i = 0; i < n; ++i)
        std::atomic_ref<char>(buffer[i]).store(text[i], std::memory_order_relaxed);
    std::atomic_ref<char>(buffer[n]).store('\0', std::memory_order_relaxed);
}

void status_line(engine_context& ctx, const char* mark, int value) {
    const depth_figures f = figures(ctx);
    const search::search_control& c = ctx.control();
    write_status(ctx.status_buffer(), format_status_line(mark, value, c.iteration, f.mean_ply, c.max_ply,
                                                         f.seconds, f.kilonodes, ctx.pv_text()));
}

std::string format_pv(engine_context& ctx, int side, const engine_position& position,
                      const engine_position& after_best, int length) {
    std::string pv = "pv " + move_to_text(position, after_best);
    walk_pv(ctx, side, after_best, std::min(length, 10),
            [&](const tt::hash_entry&, const engine_position& from, const engine_position& to) {
                pv += ' ';
                pv += move_to_text(from, to);
                return true;
            });
    return pv;
}

void mark_pv_entries(engine_context& ctx, int side, const engine_position& after_best, int length,
                     bool stop_at_bounds) {
    walk_pv(ctx, side, after_best, std::min(length, 99),
            [&](const tt::hash_entry& e, const engine_position&, const engine_position&) {
                return !(stop_at_bounds && tt::entry_bound(e) != tt::bound_exact);
            });
}

void log_search_result(engine_context& ctx, std::string_view move, int value, const char* extra) {
    const depth_figures f = figures(ctx);
    const search::search_control& c = ctx.control();
    std::string line =
        printf_text("best %.*s, value %d, depth %d/%.1f/%d, nodes %u, time %.2f, %.0f kN/s, db %u",
                    static_cast<int>(move.size()), move.data(), value, c.iteration, f.mean_ply, c.max_ply,
                    c.nodes, f.seconds, f.kilonodes, c.db_probes);
    if (extra) line += std::string(", ") + extra;
    line += '\n';
    ctx.log(line.c_str());
}

std::string board_diagram(const engine_position& p) {
    std::string text = "\n\n";
    for (int line = 7; line >= 0; --line) {
        // Lines of squares 28-25, 20-17, ... in the Italian numbering; 32-29, 24-21, ... in the English.
        if ((line % 2 == 0) == italian_rules) text += ' ';
        for (int n = 4 * line + 4; n > 4 * line; --n) {
            const int b = italian_rules ? (n - 1) ^ 3 : n - 1;
            const word m = word{1} << b;
            const bool king = p.kings & m;
            text += (p.pieces[0] & m) ? (king ? 'B' : 'b') : (p.pieces[1] & m) ? (king ? 'W' : 'w') : '-';
            text += ' ';
        }
        text += '\n';
    }
    return text;
}

void log_board(engine_context& ctx, const engine_position& position) {
    ctx.log(board_diagram(position).c_str());
}

} // namespace marrak::inline MARRAK_RULES_NS::text
