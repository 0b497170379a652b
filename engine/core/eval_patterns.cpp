// Fixed formations, the back corners and the dog-holes, each written for side 0; the evaluation
// subtracts the same term of the turned board, so every formation also counts against side 0 when
// side 1 holds it.

#include "eval_terms.h"

namespace marrak::inline MARRAK_RULES_NS::eval::detail {
namespace {

using bit::count;

constexpr word sq(int n) {
    return word{1} << n;
}

// Side-0 men, side-1 men and empty squares of a formation.
struct pattern {
    word own, their, empty;
};
bool holds(const board_sets& b, const pattern& p) {
    return all(b.m0, p.own) && all(b.m1, p.their) && all(b.empty, p.empty);
}

// Worth 8 with fewer than 19 men on the board.
constexpr pattern small_formations[] = {
    {mask(14, 19), mask(23, 26, 27), mask(18, 30)},
    {mask(4, 5), mask(12, 13, 16), mask(0, 8, 20, 24, 28, 29)},
    {mask(2, 7), mask(11, 15, 19), mask(3, 14)},
    {mask(10, 11), mask(18, 19, 23), mask(3, 7, 13, 15, 27, 31)},
    {mask(12, 13), mask(20, 21, 24), mask(4, 8, 16, 22, 28)},
};

// Chains of side-1 men that side 0's men on row 3 have caught with an empty square behind them.
int chains(const board_sets& b) {
    const word m0 = b.m0, m1 = b.m1;
    int v = 0;
    auto caught = [&](word q) { return (b.empty & ((((q << 4) & m1) << 1 | ((q << 3) & m1)) << 4)) != 0; };
    if (caught((((m0 & 0xc000) << 3 & m1) << 4) & m1)) v += 3;
    if (caught((((m0 & 0x3000) << 4 & m1) << 5) & m1)) v += 3;
    return v;
}

} // namespace

int formations(const board_sets& b, const pattern_input& in) {
    const word m0 = b.m0, m1 = b.m1;
    int v = 0;
    if ((m0 & sq(19)) && (m1 & sq(23))) {
        v += 4;
        if (all(m0, mask(11, 15, 19)) && all(m1, mask(18, 22, 23, 26)) && !(m1 & mask(27, 31)))
            v += formation_value[count(m0 & 0x488)];
    }
    if (all(m1, mask(13, 16, 17, 21)) && all(m0, mask(4, 8, 12))) v += (b.w1 & mask(20, 24, 28, 29)) ? 6 : 16;
    if (m0 & sq(12)) {
        if (all(m1, mask(16, 20)))
            v += 4;
        else if (all(b.empty, mask(16, 20)))
            v -= 1;
    }
    if (all(m0, mask(18, 23)) && all(m1, mask(27, 30)) && !((b.w0 & sq(19)) && ((m1 | b.w0) & sq(14))))
        v -= 20;
    v += chains(b);
    if (in.men_on_board < 19) {
        const int w = 20 - in.men_on_board;
        if (all(m0, mask(0, 1)) && count(m1 & mask(4, 8, 12, 13, 16, 20)) >= 2) v += w;
        if (all(m0, mask(6, 11)) && all(m1, mask(15, 18, 19)) && !(b.w1 & sq(22))) v += w;
        if (all(m0, mask(8, 12)) && all(m1, mask(16, 20, 21)) && all(b.empty, mask(4, 17, 24))) v += w;
        for (const pattern& p : small_formations)
            if (holds(b, p)) v += 8;
    }
    if (all(m0, mask(1, 4)) && all(m1, mask(9, 13)) && all(b.empty, mask(0, 5, 8)))
        v += (in.free0 > 0 || in.break0) ? 10 : 5;
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
