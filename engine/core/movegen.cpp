#include "movegen.h"

#include "bitboard.h"

#include <cassert>

namespace marrak::inline MARRAK_RULES_NS::gen {
namespace {

using bit::word;

constexpr int no_king_taken = 30;

// Appends with a bound check: the capacity covers every position with at most 12 pieces a side,
// so only a position no game can reach fills it; further moves are then dropped rather than
// written past the end.
inline bool append(move_list& list, const engine_position& p) {
    if (list.count >= static_cast<std::uint32_t>(max_moves)) return false;
    list.moves[list.count++] = p;
    return true;
}

template <int Side> int plain_moves(const engine_position& p, move_list& list) {
    list.count = 0;
    const word own = p.pieces[Side];
    const word empty = ~(own | p.pieces[1 - Side]);
    auto emit = [&](const bit::shift_mask& s, word movers) {
        word to = bit::shift(movers & s.from, s.amount) & empty;
        while (to) {
            const word d = bit::lowest(to);
            to ^= d;
            const word o = bit::shift(d, -s.amount);
            engine_position q = p;
            q.pieces[Side] ^= o | d;
            if (p.kings & o)
                q.kings ^= o | d;
            else if (d & bit::crowning_row(Side))
                q.kings |= d;
            append(list, q);
        }
    };
    for (const auto& s : bit::steps[bit::forward_of(Side)])
        emit(s, own);
    if (const word kings = own & p.kings)
        for (const auto& s : bit::steps[bit::backward_of(Side)])
            emit(s, kings);
    return static_cast<int>(list.count);
}

// What the Italian precedence compares, in order of weight.
struct criteria {
    int pieces;     // more is better
    int king;       // a capture by a king beats one by a man
    int kings;      // more kings taken is better
    int first_king; // 1-based step of the first king taken; earlier is better
};

[[maybe_unused]] int compare(const criteria& a, const criteria& b) {
    if (a.pieces != b.pieces) return a.pieces > b.pieces ? 1 : -1;
    if (a.king != b.king) return a.king > b.king ? 1 : -1;
    if (a.kings != b.kings) return a.kings > b.kings ? 1 : -1;
    if (a.first_king != b.first_king) return a.first_king < b.first_king ? 1 : -1;
    return 0;
}

// One capture generation: depth-first from each first jump, appending complete sequences. The
// Italian filter runs as moves arrive: keeping only the moves equal to the best seen so far, in
// generation order, gives the same list as filtering criterion by criterion at the end.
template <int Side> class capture_search {
  public:
    capture_search(const engine_position& p, move_list& list, capture_path* paths)
        : m_list(list), m_paths(paths) {
        m_list.count = 0;
        const word own = p.pieces[Side], opp = p.pieces[1 - Side];
        const word empty = ~(own | opp);
        const word men = own & ~p.kings, kings = own & p.kings;
        const word men_targets = italian_rules ? opp & ~p.kings : opp;
        for (int e = 0; e < 4; ++e)
            first_jumps(p, bit::jumps[bit::forward_of(Side)][e], e, men, men_targets, kings, opp, empty);
        if (kings)
            for (int e = 0; e < 4; ++e)
                first_jumps(p, bit::jumps[bit::backward_of(Side)][e], e, 0, 0, kings, opp, empty);
    }

  private:
    void first_jumps(const engine_position& p, const bit::jump_mask& j, int entry, word men, word men_targets,
                     word kings, word opp, word empty) {
        word land = (bit::shift(bit::shift(men & j.from, j.over) & men_targets, j.land) |
                     bit::shift(bit::shift(kings & j.from, j.over) & opp, j.land)) &
                    empty;
        while (land) {
            const word l = bit::lowest(land);
            land ^= l;
            const word over = bit::shift(l, -j.land);
            const word from = bit::shift(over, -j.over);
            const bool king = (p.kings & from) != 0;
            const bool odd = bit::table_parity(entry) != 0;
            if (king)
                odd ? take<true, 1>(p, from, over, l, 0, 0, no_king_taken)
                    : take<true, 0>(p, from, over, l, 0, 0, no_king_taken);
            else
                odd ? take<false, 1>(p, from, over, l, 0, 0, no_king_taken)
                    : take<false, 0>(p, from, over, l, 0, 0, no_king_taken);
        }
    }

    // Makes one jump (the taken piece leaves the board at once) and continues from the landing
    // square. A jump keeps the row parity, so one routine per side, kind and parity serves the
    // whole capture.
    template <bool King, int Parity>
    void take(const engine_position& p, word from, word over, word land, int depth, int kings_taken,
              int first_king) {
        engine_position q = p;
        q.pieces[Side] ^= from | land;
        q.pieces[1 - Side] &= ~over;
        q.kings &= ~over;
        if (King) q.kings ^= from | land;
        if (p.kings & over) {
            ++kings_taken;
            if (first_king == no_king_taken) first_king = depth + 1;
        }
        assert(depth < max_steps);
        m_steps[depth] = q;
        if (!King && (land & bit::crowning_row(Side))) {
            // A man crowned by a capture stops there.
            q.kings |= land;
            m_steps[depth] = q;
            finish(q, depth + 1, King, kings_taken, first_king);
            return;
        }
        continue_from<King, Parity>(q, land, depth + 1, kings_taken, first_king);
    }

    template <bool King, int Parity>
    void continue_from(const engine_position& p, word sq, int depth, int kings_taken, int first_king) {
        const word opp = p.pieces[1 - Side];
        const word empty = ~(p.pieces[Side] | opp);
        const word targets = (italian_rules && !King) ? opp & ~p.kings : opp;
        bool continued = false;
        // Kings: higher rows x - 1, x + 1, then lower rows x - 1, x + 1. Men: forward only.
        constexpr int directions = King ? 4 : 2;
        for (int i = 0; i < directions; ++i) {
            const int vertical = King ? (i < 2 ? bit::up : bit::down) : bit::forward_of(Side);
            const bit::jump_mask& j = bit::jumps[vertical][Parity * 2 + (i & 1)];
            if (!(sq & j.from)) continue;
            const word over = bit::shift(sq, j.over) & targets;
            if (!over) continue;
            const word land = bit::shift(over, j.land) & empty;
            if (!land) continue;
            continued = true;
            take<King, Parity>(p, sq, over, land, depth, kings_taken, first_king);
        }
        if (!continued) finish(p, depth, King, kings_taken, first_king);
    }

    void finish(const engine_position& p, int depth, bool king, int kings_taken, int first_king) {
        if constexpr (italian_rules) {
            const criteria c{depth, king ? 1 : 0, kings_taken, first_king};
            const int order = m_list.count ? compare(c, m_best) : 1;
            if (order < 0) return;
            if (order > 0) {
                m_list.count = 0;
                m_best = c;
            }
        }
        const std::uint32_t index = m_list.count;
        if (!append(m_list, p)) return;
        if (m_paths) {
            m_paths[index].steps = depth;
            for (int k = 0; k < depth; ++k)
                m_paths[index].after[k] = m_steps[k];
        }
    }

    move_list& m_list;
    capture_path* m_paths;
    engine_position m_steps[max_steps]{};
    criteria m_best{};
};

template <int Side> bool any_capture(const engine_position& p) {
    const word own = p.pieces[Side], opp = p.pieces[1 - Side];
    const word empty = ~(own | opp);
    const word men = own & ~p.kings, kings = own & p.kings;
    const word men_targets = italian_rules ? opp & ~p.kings : opp;
    for (const auto& j : bit::jumps[bit::forward_of(Side)])
        if ((bit::shift(bit::shift(men & j.from, j.over) & men_targets, j.land) |
             bit::shift(bit::shift(kings & j.from, j.over) & opp, j.land)) &
            empty)
            return true;
    if (kings)
        for (const auto& j : bit::jumps[bit::backward_of(Side)])
            if (bit::shift(bit::shift(kings & j.from, j.over) & opp, j.land) & empty) return true;
    return false;
}

} // namespace

int generate_moves(const engine_position& position, move_list& list, int side) {
    return side ? plain_moves<1>(position, list) : plain_moves<0>(position, list);
}

int generate_captures(const engine_position& position, move_list& list, int side) {
    if (side)
        capture_search<1>(position, list, nullptr);
    else
        capture_search<0>(position, list, nullptr);
    return static_cast<int>(list.count);
}

bool has_capture(const engine_position& position, int side) {
    return side ? any_capture<1>(position) : any_capture<0>(position);
}

#if MARRAK_ITALIAN
int generate_capture_paths(const engine_position& position, move_list& list, int side, capture_path* paths) {
    if (side)
        capture_search<1>(position, list, paths);
    else
        capture_search<0>(position, list, paths);
    return static_cast<int>(list.count);
}
#endif

} // namespace marrak::inline MARRAK_RULES_NS::gen
