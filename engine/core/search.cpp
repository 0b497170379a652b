#include "search.h"

#include "db_scores.h"
#include "eval_tables.h"
#include "evaluation.h"
#include "movegen.h"
#include "pair_tables.h"

#include <algorithm>

namespace marrak::inline MARRAK_RULES_NS::search {
namespace {

using bit::word;

constexpr int first_move_score = 2000000001;
// Nodes between two looks at the clock: the time test runs when bits 1-16 of the counter are 0.
constexpr std::uint32_t clock_interval_mask = 0x1FFFE;

int ordering_score(const engine_position& before, const engine_position& after, int side, int stage,
                   const killer& k) {
    const killer m = move_bits(before, after, side);
    const auto& table = (before.kings & m.from) ? order::tables.kings[stage] : order::tables.men[stage];
    int score = table[eval::bit_index(m.from)][eval::bit_index(m.to)];
    if (m.from == k.from && m.to == k.to) score += 60;
    if (gen::has_capture(after, 1 - side))
        score -= 97;
    else if (gen::has_capture(after, side))
        score += 45;
    return score;
}

// One search's view of the context, so that the recursion reaches its tables directly.
class searcher {
  public:
    explicit searcher(engine_context& ctx)
        : m_ctx(ctx), m_control(ctx.control()), m_tables(ctx.tables()), m_hash(ctx.hash()), m_db(ctx.db()),
          m_played(ctx.game().played()),
          // The depth-and-flag word times 8, without signed overflow.
          m_cl_depth(static_cast<std::int32_t>(static_cast<std::uint32_t>(ctx.settings().cl) * 8u)) {}

    int search(const engine_position& p, int ply, int depth, int alpha, int beta, int side, int moderate,
               int deep, int& best_index);

    // Orders `moves` (the moves of `p`, searched at `ply`): `first` comes first, the rest by score.
    void order_moves(const engine_position& p, const move_list& moves, int ply, int side, int first);

    // The moves of a node with several: `first` (none: -1) searched at once, then the others by
    // their ordering scores while the window stays open; side 0 raises its best value and alpha,
    // side 1 lowers its best and beta. With `stop_on_playnow` (the root of iteration 5 on) a set
    // play-now word ends the loop after the child at once, with stopped_value.
    template <int Side>
    int search_moves(const engine_position& p, const move_list& list, int ply, int child_depth, int alpha,
                     int beta, int moderate, int deep, int first, int& best_index,
                     bool stop_on_playnow = false);

  private:
    void leaf(int ply) {
        ++m_control.leaves;
        m_control.leaf_ply_sum += static_cast<std::uint32_t>(ply);
    }
    bool repetition(const engine_position& p, int ply) const;
    int evaluated(const engine_position& p, int side, eval::eval_record& r) const {
        return r.result != eval::not_evaluated ? r.result : eval::evaluate_position(p, side, r);
    }
    int horizon_db_value(const engine_position& p, int side, bool pv, eval::eval_record& r);
    bool stop_requested(int ply);

    engine_context& m_ctx;
    search_control& m_control;
    search_tables& m_tables;
    tt::hash_table& m_hash;
    const endgame_db& m_db;
    const std::array<engine_position, history::played_size>& m_played;
    const int m_cl_depth;
};

// Walks back 4, 8, ... plies through the search path and on into the played positions while no
// man has moved; a position met again with the same side to move is a repetition.
bool searcher::repetition(const engine_position& p, int ply) const {
    const word men = (p.pieces[0] | p.pieces[1]) & ~p.kings;
    for (int j = ply - 4; j > -history::played_size; j -= 4) {
        const engine_position& q = j >= 1 ? m_tables.path[j - 1] : m_played[history::played_size - 1 + j];
        if (((q.pieces[0] | q.pieces[1]) & ~q.kings) != men) return false;
        if (history::same_position(q, p)) return true;
    }
    return false;
}

int searcher::horizon_db_value(const engine_position& p, int side, bool pv, eval::eval_record& r) {
    ++m_control.db_probes;
    const int result = m_db.lookup(p, side, m_cl_depth >= 0 && !pv ? 1 : 0);
    // Results are for the side to move.
    const bool won = result == EGDB_WIN, lost = result == EGDB_LOSS;
    if (won || lost) return (won == (side == 0)) ? score_db_decided(r) : score_db_decided_mirror(r);
    if (result == EGDB_DRAW) return side == 0 ? -1 : 1;
    const int e = evaluated(p, side, r);
    if (result == EGDB_DRAW_OR_LOSS) return side == 0 ? std::min(e, 0) : std::max(e, 0);
    if (result == EGDB_DRAW_OR_WIN) return side == 0 ? std::max(e, 0) : std::min(e, 0);
    return e;
}

// Side 0's nodes from ply 5 on stop when the caller asks, or when the hard limit has passed.
bool searcher::stop_requested(int ply) {
    if (ply < 5) return false;
    if (playnow_set(m_control)) {
        m_control.stopped = true;
        return true;
    }
    if ((m_control.nodes & clock_interval_mask) == 0 && elapsed_seconds(m_ctx) > m_control.hard_limit) {
        set_playnow(m_control, 1);
        m_control.stopped = true;
        return true;
    }
    return false;
}

void searcher::order_moves(const engine_position& p, const move_list& moves, int ply, int side, int first) {
    const int n = static_cast<int>(moves.count);
    auto& scores = m_tables.scores[ply];
    auto& order = m_tables.order[ply];
    const int stage = order::stage_of(bit::count(p.pieces[0]) + bit::count(p.pieces[1]));
    const killer k = m_tables.killers[ply];
    for (int i = 0; i < n; ++i) {
        scores[i] = i == first ? first_move_score : ordering_score(p, moves.moves[i], side, stage, k);
        order[i] = static_cast<std::uint16_t>(i);
    }
    sort_moves_by_score(scores.data(), order.data(), n);
}

template <int Side>
int searcher::search_moves(const engine_position& p, const move_list& list, int ply, int child_depth,
                           int alpha, int beta, int moderate, int deep, int first, int& best_index,
                           bool stop_on_playnow) {
    const int n = static_cast<int>(list.count);
    int best = Side == 0 ? -win_value : win_value;
    int a = alpha, b = beta;
    auto open = [&] { return Side == 0 ? best < b : a < best; };
    // Searches move i; false when the play-now word stops the loop.
    auto visit = [&](int i) {
        m_tables.path[ply] = list.moves[i];
        int child_best;
        const int v = search(list.moves[i], ply + 1, child_depth, a, b, 1 - Side, moderate, deep, child_best);
        if (stop_on_playnow && playnow_set(m_control)) {
            m_control.stopped = true;
            return false;
        }
        if (Side == 0 ? v > best : v < best) {
            best = v;
            best_index = i;
        }
        if (Side == 0)
            a = std::max(a, best);
        else
            b = std::min(b, best);
        return true;
    };
    if (first >= 0 && !visit(first)) return stopped_value;
    if (!open()) return best;
    order_moves(p, list, ply, Side, first);
    const auto& order = m_tables.order[ply];
    for (int j = first >= 0 ? 1 : 0; j < n && open(); ++j)
        if (!visit(order[j])) return stopped_value;
    return best;
}

int searcher::search(const engine_position& p, int ply, int depth, int alpha, int beta, int side,
                     int moderate, int deep, int& best_index) {
    best_index = -1;
    ++m_control.nodes;
    m_control.max_ply = std::max(m_control.max_ply, ply);
    eval::eval_record rec;
    eval::fill_record(p, rec);
    const int total = rec.men[0] + rec.men[1] + rec.kings[0] + rec.kings[1];

    const bool gate = m_db.usable_pieces > 0 && total <= m_db.usable_pieces &&
                      std::max(rec.men[0] + rec.kings[0], rec.men[1] + rec.kings[1]) <= m_db.side_limit &&
                      (!italian_rules || total < 10 || (rec.kings[0] <= 1 && rec.kings[1] <= 1));

    if (rec.kings[0] && rec.kings[1] && repetition(p, ply)) {
        leaf(ply);
        return side == 0 ? -3 : 3;
    }

    const int called_depth = depth;
    bool pv = false;
    tt::hash_key key{};
    tt::hash_entry* entry = nullptr;
    if (depth >= 0) {
        entry = m_hash.probe(p, side, key);
        if (entry) {
            if (tt::entry_depth(*entry) >= depth) {
                const int v = tt::entry_value(*entry), bound = tt::entry_bound(*entry);
                if (bound == tt::bound_exact || (bound == tt::bound_upper && v <= alpha) ||
                    (bound == tt::bound_lower && v >= beta)) {
                    leaf(ply);
                    return v;
                }
            }
            if (tt::entry_pv(*entry)) {
                depth += 2;
                pv = true;
            }
        }
    }

    if (ply > max_ply) {
        leaf(ply);
        return evaluated(p, side, rec);
    }

    move_list& list = m_tables.lists[ply];
    int n = 0;
    if (gen::has_capture(p, side)) {
        n = gen::generate_captures(p, list, side);
    } else {
        if (!gate && !pv) {
            // Lines far outside the window are searched shallower; the depth held back returns
            // when a later node comes close to the window again.
            const int e = evaluated(p, side, rec);
            const int dist = std::max(alpha - e, e - beta) - rec.margin;
            if (dist >= 116) {
                const int r = (std::min(dist, 195) - 75) >> 3;
                deep += r;
                moderate += 9;
                depth -= r + 9;
            } else if (dist >= 30) {
                depth += deep;
                deep = 0;
                const int r = (dist - 20) / 10;
                moderate += r;
                depth -= r;
            } else {
                depth += moderate + deep;
                moderate = deep = 0;
            }
        }
        if (!p.pieces[0]) {
            leaf(ply);
            return ply - win_value;
        }
        if (!p.pieces[1]) {
            leaf(ply);
            return win_value - ply;
        }
        if (depth < 1) {
            if (!gen::has_capture(p, 1 - side)) {
                leaf(ply);
                return gate ? horizon_db_value(p, side, pv, rec) : evaluated(p, side, rec);
            }
            // An exchange is pending: look one ply further unless it cannot matter.
            const int e = evaluated(p, side, rec);
            if (e < alpha - 150 || e > beta + 150) {
                leaf(ply);
                return e;
            }
        } else if (gate && !gen::has_capture(p, 1 - side)) {
            ++m_control.db_probes;
            const int result = m_db.lookup(p, side, depth <= m_cl_depth && !pv ? 1 : 0);
            if (side == 0) {
                if (result == EGDB_DRAW) {
                    leaf(ply);
                    return -1;
                }
                if (result == EGDB_WIN) {
                    const int s = score_db_decided(rec);
                    if (beta < 1000 || s >= beta) {
                        leaf(ply);
                        return s;
                    }
                } else if (result == EGDB_LOSS && alpha > -1000) {
                    leaf(ply);
                    return score_db_decided_mirror(rec);
                }
            } else {
                if (result == EGDB_DRAW) {
                    leaf(ply);
                    return 1;
                }
                if (result == EGDB_WIN) {
                    const int s = score_db_decided_mirror(rec);
                    if (alpha > -1000 || s <= alpha) {
                        leaf(ply);
                        return s;
                    }
                } else if (result == EGDB_LOSS && beta < 1000) {
                    leaf(ply);
                    return score_db_decided(rec);
                }
            }
        }
        n = gen::generate_moves(p, list, side);
        if (n == 0) {
            leaf(ply);
            return side == 0 ? ply - win_value : win_value - ply;
        }
    }

    int best;
    int child_best;
    if (n == 1) {
        m_tables.path[ply] = list.moves[0];
        best = search(list.moves[0], ply + 1, depth - 4, alpha, beta, 1 - side, moderate, deep, child_best);
        best_index = 0;
    } else {
        if (side == 0 && stop_requested(ply)) return 0;
        // The table's move first; without one, a shallower search of this node finds it.
        int first = -1;
        if (entry && tt::entry_best(*entry) < n) {
            first = tt::entry_best(*entry);
        } else if (depth >= 48) {
            int found;
            search(p, ply, depth - 32, alpha, beta, side, moderate, deep, found);
            if (found >= 0 && found < n) first = found;
        }
        best = side == 0 ? search_moves<0>(p, list, ply, depth - ply_depth, alpha, beta, moderate, deep,
                                           first, best_index)
                         : search_moves<1>(p, list, ply, depth - ply_depth, alpha, beta, moderate, deep,
                                           first, best_index);
    }

    // A search cut short by the play-now word knows nothing worth keeping.
    if (m_control.stopped) return best;
    if (called_depth >= 0) {
        const int bound = best <= alpha ? tt::bound_upper : best >= beta ? tt::bound_lower : tt::bound_exact;
        m_hash.store(entry, key, best, called_depth, bound, best_index);
    }
    if (n > 1 && best_index >= 0) m_tables.killers[ply] = move_bits(p, list.moves[best_index], side);
    return best;
}

} // namespace

killer move_bits(const engine_position& before, const engine_position& after, int side) {
    const word b = before.pieces[side], a = after.pieces[side];
    return killer{b & ~a, a & ~b};
}

void sort_moves_by_score(const int* scores, std::uint16_t* order, int count) {
    for (int i = 1; i < count; ++i) {
        const std::uint16_t moving = order[i];
        const int s = scores[moving];
        int j = i;
        for (; j > 0 && scores[order[j - 1]] < s; --j)
            order[j] = order[j - 1];
        order[j] = moving;
    }
}

void clear_search_tables(engine_context& ctx) {
    ctx.tables().killers.fill(killer{});
}

double elapsed_seconds(engine_context& ctx) {
    std::int64_t ms = ctx.now_ms() - ctx.control().start_ms;
    if (ms < 0) ms += 2147483647;
    if (ms == 0) ms = 1;
    return static_cast<double>(ms) * 0.001;
}

int search_position(engine_context& ctx, const engine_position& position, int ply, int depth, int alpha,
                    int beta, int side, int moderate, int deep, int& best_index) {
    return searcher(ctx).search(position, ply, depth, alpha, beta, side, moderate, deep, best_index);
}

int root_search(engine_context& ctx, const engine_position& position, const move_list& moves, int d,
                int alpha, int beta, int side, int& best_index) {
    search_control& control = ctx.control();
    search_tables& tables = ctx.tables();
    ctx.game().replace_newest_played(position);
    searcher s(ctx);
    const int n = static_cast<int>(moves.count);
    const int first = best_index >= 0 && best_index < n ? best_index : -1;
    const int depth = ply_depth * d - ply_depth;
    int found = -1, best;
    if (side == 0) {
        // Only side 0's root looks at the play-now word, from iteration 5 on.
        best = beta > -win_value
                   ? s.search_moves<0>(position, moves, 0, depth, alpha, beta, 0, 0, first, found, d > 4)
                   : -win_value;
        if (best == stopped_value) return stopped_value;
    } else {
        best = alpha < win_value
                   ? s.search_moves<1>(position, moves, 0, depth, alpha, beta, 0, 0, first, found)
                   : win_value;
    }
    if (found >= 0) {
        best_index = found;
        if (!control.stopped) tables.killers[0] = move_bits(position, moves.moves[found], side);
    }
    if (ctx.root_observer())
        ctx.root_observer()(alpha, beta, best, found >= 0 ? &moves.moves[found] : nullptr);
    return best;
}

} // namespace marrak::inline MARRAK_RULES_NS::search
