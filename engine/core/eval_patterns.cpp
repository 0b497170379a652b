// Fixed formations, the back corners and the dog-holes. The formations are written out for both
// sides, as they are not all mirror images; the back corners and the dog-holes are written for
// side 0, and the evaluation subtracts the same term of the turned board.

#include "eval_terms.h"

namespace marrak::inline MARRAK_RULES_NS::eval::detail {
namespace {

using bit::count;

constexpr word sq(int n) {
    return word{1} << n;
}

// Side-0 men, side-1 men and empty squares of a formation, and what it is worth to side 0.
struct pattern {
    word own, their, empty;
    int value;
};
bool holds(const board_sets& b, word own, word their, word empty) {
    return all(b.m0, own) && all(b.m1, their) && all(b.empty, empty);
}

// Worth 8 with fewer than 19 men on the board. Not all are mirror images of each other: the
// fourth of side 1's wants 14 empty where the mirror of side 0's fourth wants 18. Side 1's fifth
// keeps the mirror's 23 empty: with 19 it would need a man on an empty square.
constexpr pattern small_formations[] = {
    {mask(14, 19), mask(23, 26, 27), mask(18, 30), 8},
    {mask(4, 5, 8), mask(12, 17), mask(1, 13), -8},
    {mask(4, 5), mask(12, 13, 16), mask(0, 8, 20, 24, 28, 29), 8},
    {mask(15, 18, 19), mask(26, 27), mask(2, 3, 7, 11, 23, 31), -8},
    {mask(2, 7), mask(11, 15, 19), mask(3, 14), 8},
    {mask(12, 16, 20), mask(24, 29), mask(17, 28), -8},
    {mask(10, 11), mask(18, 19, 23), mask(3, 7, 13, 15, 27, 31), 8},
    {mask(8, 12, 13), mask(20, 21), mask(0, 4, 14, 16, 24, 28), -8},
    {mask(12, 13), mask(20, 21, 24), mask(4, 8, 16, 22, 28), 8},
    {mask(7, 10, 11), mask(18, 19), mask(3, 9, 15, 23, 27), -8},
};

// Chains of side-1 men that side 0's men on row 3 have caught with an empty square behind them
// (+3 each), and the same of side 0's men caught by side 1's on row 4 (-3 each).
int chains(const board_sets& b) {
    const word m0 = b.m0, m1 = b.m1, e = b.empty;
    int v = 0;
    auto caught1 = [&](word q) { return (e & ((((q << 4) & m1) << 1 | ((q << 3) & m1)) << 4)) != 0; };
    if (caught1((((m0 & 0xc000) << 3 & m1) << 4) & m1)) v += 3;
    if (caught1((((m0 & 0x3000) << 4 & m1) << 5) & m1)) v += 3;
    auto caught0 = [&](word q) { return (e & ((((q >> 3) & m0) | ((q >> 5) & (m0 >> 1))) >> 4)) != 0; };
    if (caught0((m1 >> 9) & 0x600 & (m0 >> 5) & m0)) v -= 3;
    if (caught0((m1 >> 7) & 0x600 & (m0 >> 4) & m0)) v -= 3;
    return v;
}

} // namespace

int formations(const board_sets& b, const pattern_input& in) {
    const word m0 = b.m0, m1 = b.m1, e = b.empty;
    int v = 0;
    // Men face to face on the long edge, and the formations built round them.
    if ((m0 & sq(19)) && (m1 & sq(23)))
        v += all(m0, mask(11, 15)) && all(m1, mask(18, 22, 26)) && !(m1 & mask(27, 31))
                 ? formation_value[count(m0 & 0x488)] + 4
                 : 4;
    if ((m1 & sq(12)) && (m0 & sq(8))) {
        v -= 4;
        if (all(m1, mask(16, 20)) && all(m0, mask(5, 9, 13)) && !(m0 & mask(0, 4)))
            v -= formation_value[count((m1 >> 16) & 0x1120)];
    }
    if (all(m1, mask(13, 16, 17, 21)) && all(m0, mask(4, 8, 12))) v += (b.w1 & mask(20, 24, 28, 29)) ? 6 : 16;
    if (all(m0, mask(10, 14, 15, 18)) && all(m1, mask(19, 23, 27))) v -= (b.w0 & mask(2, 3, 7, 11)) ? 6 : 16;
    if (m0 & sq(12)) {
        if (all(m1, mask(16, 20)))
            v += 4;
        else if (all(e, mask(16, 20)))
            v -= 1;
    }
    if (m1 & sq(19)) {
        if (all(m0, mask(11, 15)))
            v -= 4;
        else if (all(e, mask(11, 15)))
            v += 1;
    }
    if (all(m0, mask(18, 23)) && all(m1, mask(27, 30)) && !((b.w0 & sq(19)) && ((m1 | b.w0) & sq(14))))
        v -= 20;
    if (all(m1, mask(8, 13)) && all(m0, mask(1, 4)) && !((b.w1 & sq(12)) && ((m0 | b.w1) & sq(17)))) v += 20;
    v += chains(b);
    if (in.men_on_board < 19) {
        const int w = 20 - in.men_on_board;
        if (all(m0, mask(0, 1)) && count(m1 & mask(4, 8, 12, 13, 16, 20)) >= 2) v += w;
        if (all(m1, mask(30, 31)) && count(m0 & mask(11, 15, 18, 19, 23, 27)) >= 2) v -= w;
        if (all(m0, mask(6, 11)) && all(m1, mask(15, 18, 19)) && !(b.w1 & sq(22))) v += w;
        if (all(m1, mask(20, 25)) && all(m0, mask(12, 13, 16)) && !(b.w0 & sq(9))) v -= w;
        if (holds(b, mask(8, 12), mask(16, 20, 21), mask(4, 17, 24))) v += w;
        if (holds(b, mask(10, 11, 15), mask(19, 23), mask(7, 14, 27))) v -= w;
        for (const pattern& p : small_formations)
            if (holds(b, p.own, p.their, p.empty)) v += p.value;
    }
    if (holds(b, mask(1, 4), mask(9, 13), mask(0, 5, 8))) v += (in.free0 > 0 || in.break0) ? 10 : 5;
    if (holds(b, mask(18, 22), mask(27, 30), mask(23, 26, 31))) v -= (in.free1 > 0 || in.break1) ? 10 : 5;
    return v;
}

int back_corners(const board_sets& b, const pattern_input& in) {
    const word m0 = b.m0, m1 = b.m1, e = b.empty;
    const int f0 = in.free0 + in.break0, f1 = in.free1 + in.break1;
    const bool open = f1 + in.break0 == 0;
    int v = 0;
    if (open && (((m0 & sq(21)) && all(e, mask(24, 25)) && !(e & sq(29)) && count(m1 & mask(28, 30)) <= 1) ||
                 ((m0 & sq(22)) && all(e, mask(25, 26)) && !(e & sq(30)) && count(m1 & mask(29, 31)) <= 1) ||
                 ((m0 & sq(23)) && all(e, mask(26, 27, 30)))))
        v += 6;
    // A man in front of two enemy men that guard the corner.
    auto pinned = [&](int man, word guards, int gap) {
        if (!(m0 & sq(man)) || !all(m1, guards) || (m1 & sq(gap))) return 0;
        if (open && in.pieces > 13) return 6;
        if (f0 < f1 && in.kings1) return -20;
        if (f0 <= f1) return -10;
        return 0;
    };
    v += pinned(21, mask(28, 30), 29) + pinned(22, mask(29, 31), 30);
    if ((m0 & sq(20)) && (m1 & sq(28)) && all(e, mask(24, 29)) && !in.break0) v += 6;
    return v;
}

int dog_holes(const board_sets& b) {
    int v = 0;
    if ((b.m0 & sq(27)) && (b.w1 & sq(31))) v -= ((b.w0 & mask(19, 23)) && (b.empty & sq(22))) ? 27 : 9;
    if ((b.m0 & sq(20)) && (b.w1 & sq(29))) v -= 9;
    return v;
}

} // namespace marrak::inline MARRAK_RULES_NS::eval::detail
