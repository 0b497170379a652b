#include "evaluation.h"

#include "eval_terms.h"

#include <algorithm>

namespace marrak::inline MARRAK_RULES_NS::eval {

using namespace detail;
using bit::count;

namespace {

constexpr word sq(int n) {
    return word{1} << n;
}

int material_of(const eval_record& r) {
    auto c = [](int n) { return std::min(n, material_counts - 1); };
    return tables.material[((c(r.men[0]) * 13 + c(r.men[1])) * 13 + c(r.kings[0])) * 13 + c(r.kings[1])];
}

// Balance of a men mask over the board's two halves of columns.
int balance(word m) {
    auto c = [m](word bits) { return count(m & bits) + count((m >> 16) & bits); };
    return c(0x0202) + c(0x4040) + c(0x0404) + c(0x2020) - c(0x0101) - c(0x8080) - c(0x0808) - c(0x1010) -
           std::abs(3 * (c(0x0808) - c(0x1010)) + 2 * (c(0x8080) - c(0x0101)) - c(0x2020) + c(0x0404));
}

// Kings on the centre and the edges, or, without kings, the men's structure.
int king_and_centre(const board_sets& b, bool equal_men) {
    using bit::centre_squares, bit::edge_squares;
    if (b.k0 | b.k1)
        return 4 * (count(b.k1 & edge_squares) + count(b.k0 & centre_squares) - count(b.k0 & edge_squares) -
                    count(b.k1 & centre_squares));
    int v = 0;
    if ((b.m1 & sq(27)) && (b.m0 & sq(18))) v += (b.m1 & mask(26, 30, 31)) ? 4 : 6;
    if ((b.m1 & sq(13)) && (b.m0 & sq(4))) v -= (b.m0 & mask(0, 1, 5)) ? 4 : 6;
    if (equal_men) v += balance(b.m0) - balance(b.m1);
    return v;
}

int fixed_corrections(const board_sets& b) {
    const word m0 = b.m0, m1 = b.m1, e = b.empty;
    int v = 0;
    if (all(m0, mask(3, 11, 19))) v -= 2;
    if (all(m0, mask(0, 4, 12))) v -= 2;
    if (all(m1, mask(12, 20, 28))) v += 2;
    if (all(m1, mask(19, 27, 31))) v += 2;
    const word x0 =
        (((((m0 & 0x300) << 5) & (e >> 4)) | ((e >> 3) & (m0 << 4) & 0x6000)) & e) | ((m0 >> 5) & 0x330);
    const word y0 =
        ((m0 & 0x660000) << 4) | (((((m0 & 0xc000) << 3) & (e >> 4)) | ((e >> 5) & (m0 << 4) & 0x60000)) & e);
    const word y1 =
        (((((e & 0xc000) << 3) & (m1 >> 4)) | ((e << 4) & (m1 >> 5) & 0x60000)) & e) | ((m1 & 0x660000) << 4);
    const word x1 =
        ((m1 >> 5) & 0x330) | (((((e & 0x300) << 5) & (m1 >> 4)) | ((m1 >> 3) & (e << 4) & 0x6000)) & e);
    return v + count(x0) + count(y0 >> 16) - count(y1 >> 16) - count(x1);
}

// Side 0's breakthrough, from its men near the crowning row: 0 none, 1 table A, 2 table B.
int breakthrough_of(const board_sets& b, int side) {
    namespace bt = breakthrough;
    if (b.k1 & 0xfff00000u) return 0;
    // No man on rows 4-6: both keys hold no men, whose entries are clear; spares two cache misses.
    if (!(b.m0 & 0x0fff0000u)) return 0;
    if (bt::test(bt::table_a, bt::key_a(side, b.m0, b.w0, b.m1))) return 1;
    if (bt::test(bt::table_b, bt::key_b(side, b.m0, b.w0, b.m1))) return 2;
    return 0;
}

// Safe destinations of each side, valued by their number.
int mobility(const board_sets& b) {
    using bit::edge_squares, bit::step_down, bit::step_up, bit::neighbours;
    word safe0, safe1;
    if constexpr (italian_rules) {
        // Men cannot take kings, so a king's destination is threatened by enemy kings only.
        const word t0m = step_up(b.m0) & b.empty, t0k = neighbours(b.k0) & b.empty;
        const word t1m = step_down(b.m1) & b.empty, t1k = neighbours(b.k1) & b.empty;
        safe0 = (t0m & (~(t1m | t1k) | edge_squares)) | (t0k & (~t1k | edge_squares));
        safe1 = (t1m & (~(t0m | t0k) | edge_squares)) | (t1k & (~t0k | edge_squares));
    } else {
        const word t0 = (step_up(b.w0) | step_down(b.k0)) & b.empty;
        const word t1 = (step_down(b.w1) | step_up(b.k1)) & b.empty;
        safe0 = t0 & (~t1 | edge_squares);
        safe1 = t1 & (~t0 | edge_squares);
    }
    return mobility_value[count(safe0)] - mobility_value[count(safe1)];
}

int row_of_lowest(word w) {
    return std::countr_zero(w) >> 2;
}
int row_of_highest(word w) {
    return (31 - std::countl_zero(w)) >> 2;
}

} // namespace

void fill_record(const engine_position& p, eval_record& r) {
    const word k = p.kings;
    for (int s = 0; s < 2; ++s) {
        r.men_mask[s] = p.pieces[s] & ~k;
        r.king_mask[s] = p.pieces[s] & k;
        r.men[s] = count(r.men_mask[s]);
        r.kings[s] = count(r.king_mask[s]);
    }
    r.margin = 0;
    r.result = not_evaluated;
}

eval_terms evaluate_terms(const engine_position& p, int side, const eval_record& r) {
    const board_sets b = make_sets(p.pieces[0], p.pieces[1], p.kings);
    const board_sets t = turned(b);
    const int men = r.men[0] + r.men[1];
    const int pieces = men + r.kings[0] + r.kings[1];
    eval_terms v;

    v.material = material_of(r);

    v.back_rank = tables.first_row[b.m0 & 0xff] - tables.first_row_mirror[b.m1 >> 24];
    if (men >= 14) v.back_rank += tables.back_pattern_mirror[b.m1 >> 20] - tables.back_pattern[b.m0 & 0xfff];

    v.kings = king_and_centre(b, r.men[0] == r.men[1]) + fixed_corrections(b);

    // Kings shut in or held, side 1's for side 0 and side 0's on the turned board.
    king_terms against1, against0;
    if (b.k1) against1 = side1_kings(b, pieces);
    if (b.k0) against0 = side1_kings(t, pieces);
    v.trapped = against1.trapped_value - against0.trapped_value;
    v.held = against1.held_value - against0.held_value;
    v.kings += against1.king_term - against0.king_term;
    const word trapped1 = against1.trapped, trapped0 = reverse_bits32(against0.trapped);
    const word free0 = b.k0 & ~trapped0, free1 = b.k1 & ~trapped1;
    const int nfree0 = count(free0), nfree1 = count(free1);
    const int ntrapped0 = count(trapped0), ntrapped1 = count(trapped1);

    int tempo = row_sum(b.m0) - (7 * r.men[1] - row_sum(b.m1));

    const int break_a = breakthrough_of(b, side), break_b = breakthrough_of(t, 1 - side);
    if (break_a) {
        v.breakthrough += men + (break_a == 1 ? 38 : 30);
        tempo -= break_a == 1 ? 6 : 4;
    }
    if (break_b) {
        v.breakthrough -= men + (break_b == 1 ? 38 : 30);
        tempo += break_b == 1 ? 6 : 4;
    }
    const int ba = break_a != 0, bb = break_b != 0;
    v.tempo = (10 - men + ba + bb) * tempo / 4;

    const pattern_input in0{men, pieces, ba != 0, bb != 0, nfree0, nfree1, b.k0 != 0, b.k1 != 0};
    const pattern_input in1{men, pieces, bb != 0, ba != 0, nfree1, nfree0, b.k1 != 0, b.k0 != 0};
    v.formations = formations(b, in0);
    v.back_corners = back_corners(b, in0) - back_corners(t, in1);
    v.dog_holes = dog_holes(b) - dog_holes(t);

    // A free king racing where the other side has none.
    if (nfree0 && !nfree1) {
        if (!bb)
            v.king_race += tables.guard[b.m0 & 0xff] + ((b.k0 & 0x6ffffff) ? 34 : 0);
        else
            v.king_race += ((free0 | bit::neighbours(free0)) & bit::centre_squares ? 5 : 0) +
                           2 * (7 - row_of_lowest(b.k0));
    }
    if (nfree1 && !nfree0) {
        if (!ba)
            v.king_race -= tables.guard_mirror[b.m1 >> 24] + ((b.k1 & ~word{159}) ? 34 : 0);
        else
            v.king_race -=
                ((free1 | bit::neighbours(free1)) & bit::centre_squares ? 5 : 0) + 2 * row_of_highest(b.k1);
    }
    if (!nfree1 && !ntrapped0 && !b.k0 && ba) v.king_race += tables.guard[b.m0 & 0xff] / 2;
    if (!nfree0 && !ntrapped1 && !b.k1 && bb) v.king_race -= tables.guard_mirror[b.m1 >> 24] / 2;

    v.mobility = mobility(b);

    // Near the end, with kings on both sides, trade when ahead.
    const int kc0 = r.kings[0] + ba, kc1 = r.kings[1] + bb;
    if (pieces < 14 && kc0 >= 2 && kc1 >= 2) {
        v.back_rank /= 2;
        if (r.men[0] + r.kings[0] != r.men[1] + r.kings[1] && kc0 == kc1) {
            if (r.men[1] - bb < r.men[0] - ba)
                v.material += (r.men[0] - r.kings[0] + ba - 5) * 10;
            else if (r.men[1] - bb > r.men[0] - ba)
                v.material += (r.kings[1] - r.men[1] - bb + 5) * 10;
        }
    }

    if (ntrapped0 + ntrapped1 >= 3) v.margin = 128 * (ntrapped0 + ntrapped1);
    if (!nfree1 && !bb && !ntrapped0) {
        if ((r.kings[0] && r.men[0] == r.men[1] - 2) || (!r.kings[0] && ba && r.men[0] == r.men[1] - 1))
            v.margin += 50;
    } else if (!nfree0 && !ba && !ntrapped1) {
        if ((r.kings[1] && r.men[1] == r.men[0] - 2) || (!r.kings[1] && bb && r.men[1] == r.men[0] - 1))
            v.margin += 50;
    }
    const bool centre0 = b.k0 & bit::centre_squares, centre1 = b.k1 & bit::centre_squares;
    if (!centre0 && centre1 && nfree0 <= nfree1) v.kings -= 10;
    if (!centre1 && centre0 && nfree1 <= nfree0) v.kings += 10;

    v.to_move = side == 0 ? 2 : -2;
    return v;
}

int evaluate_position(const engine_position& p, int side, eval_record& r) {
    const eval_terms terms = evaluate_terms(p, side, r);
    const int value = terms.sum() / 2 * 2;
    r.margin = terms.margin;
    r.result = value;
    return value;
}

int evaluate(const engine_position& position, int side) {
    eval_record r;
    fill_record(position, r);
    return evaluate_position(position, side, r);
}

} // namespace marrak::inline MARRAK_RULES_NS::eval
