// Side 1's kings as side 0 sees them: kings shut in a corner or on an edge (trapped), and kings
// standing against side 0's men (held). Written for side 1's kings; the evaluation runs it a second
// time on the turned board for side 0's.

#include "eval_terms.h"

namespace marrak::inline MARRAK_RULES_NS::eval::detail {
namespace {

using bit::count;
using bit::step_dir;

// The edge squares, with the two squares next to the single corners, where a king can be shut in.
constexpr word edge_king_squares = 0xf918189f;

// Side 0's pieces that can capture towards `vertical`: kings; in English also men forward (towards
// row 7). Italian men never take kings.
word attackers(const board_sets& b, int vertical) {
    return (!italian_rules && vertical == bit::up) ? b.k0 | b.m0 : b.k0;
}

// Squares where side 0 could capture a side-1 king: an attacker diagonally next to the square with
// the square beyond empty.
word exposed_squares(const board_sets& b) {
    word exposed = 0;
    for (int vertical = 0; vertical < 2; ++vertical)
        for (int dx = 0; dx < 2; ++dx)
            // q is next to an attacker in this direction and the square after q is empty.
            exposed |=
                step_dir(attackers(b, vertical), vertical, dx) & step_dir(b.empty, 1 - vertical, 1 - dx);
    return exposed;
}

// Reach rule: the empty squares a king attains in one or two steps through squares where side 0
// cannot take it. The king's own square counts as empty when exposure is judged, which adds the
// squares next to it that an attacker could jump towards it.
word king_reach(const board_sets& b, word king, word exposed) {
    for (int vertical = 0; vertical < 2; ++vertical)
        for (int dx = 0; dx < 2; ++dx)
            exposed |= step_dir(attackers(b, vertical), vertical, dx) & step_dir(king, 1 - vertical, 1 - dx);
    const word safe = b.empty & ~exposed;
    const word first = bit::neighbours(king) & safe;
    const word second = bit::neighbours(first) & safe & ~king;
    return first | second;
}

int trapped_kings(const board_sets& b, word& trapped) {
    constexpr auto sq = [](int n) { return word{1} << n; };
    int v = 0;
    // A king in the single corner with side 0 beside it.
    if ((b.k1 & sq(3)) && (b.w0 & sq(2))) {
        int s = 0;
        if (b.m1 & sq(7))
            s = 160;
        else if (all(b.m1, mask(10, 11)))
            s = 60;
        else if (b.k0 & mask(10, 14))
            s = all(b.m1, mask(11, 19)) ? 50 : 30;
        else if ((b.m0 & sq(6)) && (b.empty & sq(15)))
            s = 30;
        if (s) {
            v += s;
            trapped |= sq(3);
        }
    }
    if ((b.k1 & sq(7)) && (b.w0 & sq(2)) && (b.m1 & sq(10))) {
        v += 60;
        trapped |= sq(7);
    }
    // Double corner closed by its own men.
    if ((b.k1 & sq(0)) && (b.w1 & sq(4)) && all(b.m1, mask(5, 8)) && (b.w0 & sq(1))) {
        v += 250;
        trapped |= sq(0);
        if (b.k1 & sq(4)) {
            v += 50;
            trapped |= sq(4);
        }
    }
    const word left = b.k1 & ~trapped;
    if (count(left) == 1 && (left & mask(0, 4)) && (b.m0 & sq(1)) && (b.k0 & sq(13)) && !(b.m1 & sq(12))) {
        v += 12;
        trapped |= left;
    }
    if ((b.k1 & sq(1)) && (b.w1 & sq(9)) && all(b.m1, mask(5, 6)) && all(b.w0, mask(0, 2))) {
        v += 250;
        trapped |= sq(1);
    }
    word rest = b.k1 & ~trapped & edge_king_squares;
    const word exposed = rest ? exposed_squares(b) : 0;
    while (rest) {
        const word king = bit::lowest(rest);
        rest ^= king;
        const word reach = king_reach(b, king, exposed);
        const int n = count(reach);
        if (n < 4) v += king_reach_value[n];
        if (n == 0) trapped |= king;
        if (!(reach & bit::centre_squares)) v += 3;
    }
    return v;
}

// Side-0 men next to a side-1 king. In English a man that can take the king is its attacker, not
// its victim.
word men_beside_kings(const board_sets& b) {
    const word k1 = b.k1;
    word beside =
        b.m0 & 0x7e7e0 &
        ((k1 >> 4 & 0xe0e0e0) | (k1 & 0xe0e0e) << 4 | (k1 & 0xe0e0e0) << 3 | (k1 >> 3 & 0xe0e0e0) |
         (k1 >> 4 & 0x7070700) | (k1 & 0x707070) << 4 | (k1 & 0x70707) << 5 | (k1 >> 5 & 0x7070700));
    if constexpr (!italian_rules) {
        for (int dx = 0; dx < 2; ++dx) {
            // A man whose forward neighbour is the king and whose landing square beyond is empty.
            const word takes = step_dir(step_dir(b.empty, bit::down, 1 - dx) & k1, bit::down, 1 - dx);
            beside &= ~takes;
        }
    }
    return beside;
}

void held_kings(const board_sets& b, int pieces, king_terms& t) {
    const word m0 = b.m0, k1 = b.k1, n = ~b.w0, e = b.empty;
    if (pieces < 15) {
        const word h =
            k1 & (((((n & 0xe0e00) << 4) & m0) << 3 & m0) << 4 |
                  ((((n & ~word{0xfcff}) << 5) & m0) << 4 & m0) << 5 |
                  ((((n & 0xc0c0) << 3) & m0) << 4 & m0) << 3 | ((((n & 0x7070) << 4) & m0) << 5 & m0) << 4);
        const word l = ((n >> 13) & 0x7070 & k1 & (m0 >> 4) & (m0 >> 9)) |
                       ((n >> 10) & (m0 >> 3) & 0xc0c0 & k1 & (m0 >> 7)) |
                       ((n >> 14) & (m0 >> 5) & 0x303 & k1 & (m0 >> 9)) |
                       ((n >> 11) & k1 & (m0 >> 7) & (m0 >> 4) & 0xe0e);
        t.held_value -= 6 * (count(h >> 16) + count(l));
    }
    if (pieces < 13) {
        const word beside = men_beside_kings(b);
        // Ring R: side-0 men one square further out than the king's neighbours.
        const word ring = b.m0 & 0x7e7e0 & bit::neighbours(bit::neighbours(k1)) & ~k1;
        t.held_value += 3 * (-2 * count(beside) - count(ring & ~beside));
    }
    // Kings beside side 0's men near its back rank: each test costs 2 when a part of it holds and
    // 14 more when all of it does.
    if (count(b.k0) <= count(k1)) {
        const word p = (m0 << 4) & e;
        const word n1 = (e >> 9) & (e >> 5), q = (m0 >> 1) & k1;
        if (q & (p << 3) & n1 & 0x40400) t.king_term -= 14;
        if (((q & n1) | (p << 3)) & 0x40400) t.king_term -= 2;
        const word n2 = (e >> 7) & (e >> 3), r2 = (m0 << 1) & k1;
        if (r2 & (p << 5) & n2 & 0x202000) t.king_term -= 14;
        if (((r2 & n2) | (p << 5)) & 0x202000) t.king_term -= 2;
    }
}

} // namespace

king_terms side1_kings(const board_sets& b, int pieces) {
    king_terms t;
    t.trapped_value = trapped_kings(b, t.trapped);
    held_kings(b, pieces, t);
    return t;
}

} // namespace marrak::inline MARRAK_RULES_NS::eval::detail
