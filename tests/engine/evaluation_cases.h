#pragma once
// Evaluation cases shared by the two rule sets (each source includes this for its own core).

#include "breakthrough.h"
#include "engine_test_util.h"
#include "eval_tables.h"
#include "evaluation.h"

#include <gtest/gtest.h>

#include <random>

namespace evaluation_cases {
namespace {

namespace eval = marrak::eval;

int material(int m0, int m1, int k0, int k1) {
    return eval::tables.material[((m0 * 13 + m1) * 13 + k0) * 13 + k1];
}

engine_position turned(const engine_position& p) {
    return engine_position{{eval::reverse_bits32(p.pieces[1]), eval::reverse_bits32(p.pieces[0])},
                           eval::reverse_bits32(p.kings)};
}

// Any placement, crowning rows included, up to every square filled: set-up positions too.
engine_position any_position(std::mt19937& rng) {
    engine_position p{{0, 0}, 0};
    const int n = static_cast<int>(rng() % 33);
    for (int i = 0; i < n; ++i) {
        const std::uint32_t m = 1u << (rng() % 32);
        if ((p.pieces[0] | p.pieces[1]) & m) continue;
        p.pieces[rng() % 2] |= m;
        if (rng() % 3 == 0) p.kings |= m;
    }
    return p;
}

// The one formation the rules give without its mirror image: side-0 men on 8, 12, 13 and side-1
// men on 20, 21 with 0, 4, 16, 24 and 28 empty count -8 when 14 is empty, where the mirror of
// side 1's formation would ask for 18. +1 where the mirror fires and the rule does not, -1 the
// other way.
int unmirrored_formation(const engine_position& p) {
    const std::uint32_t m0 = p.pieces[0] & ~p.kings, m1 = p.pieces[1] & ~p.kings;
    const std::uint32_t empty = ~(p.pieces[0] | p.pieces[1]);
    auto has = [](std::uint32_t set, std::uint32_t bits) { return (set & bits) == bits; };
    if (__builtin_popcount(m0) + __builtin_popcount(m1) >= 19 || !has(m0, 0x3100u) || !has(m1, 0x300000u) ||
        !has(empty, 0x11010011u))
        return 0;
    return int((empty >> 18) & 1) - int((empty >> 14) & 1);
}

// The squares of that formation set on a position: its men placed, its empty squares cleared.
engine_position with_unmirrored_core(engine_position p) {
    const std::uint32_t men0 = 0x3100u, men1 = 0x300000u, empty = 0x11010011u;
    for (std::uint32_t& w : p.pieces)
        w &= ~(men0 | men1 | empty);
    p.kings &= ~(men0 | men1 | empty);
    p.pieces[0] |= men0;
    p.pieces[1] |= men1;
    return p;
}

// Every term counts the same for side 1 on the turned board as for side 0, but for that formation;
// the margin is the same.
void turned_board_negates() {
    eval::init_eval_tables();
    std::mt19937 rng(7);
    int crowded = 0, asymmetric = 0;
    for (int i = 0; i < 1000000; ++i) {
        engine_position p = any_position(rng);
        if (i % 50 == 0) p = with_unmirrored_core(p);
        if (i % 100 == 0) p = turned(p);
        const int side = static_cast<int>(rng() % 2);
        eval::eval_record r, rt;
        eval::fill_record(p, r);
        const eval::eval_terms v = eval::evaluate_terms(p, side, r);
        const int value = eval::evaluate_position(p, side, r);
        const engine_position t = turned(p);
        eval::fill_record(t, rt);
        const eval::eval_terms vt = eval::evaluate_terms(t, 1 - side, rt);
        if (r.men[0] + r.kings[0] > 12 || r.men[1] + r.kings[1] > 12) ++crowded;
        // Only a failure spells the position out: a trace per position would cost more than the check.
        const auto at = [&] {
            return ::testing::Message()
                   << std::hex << p.pieces[0] << " " << p.pieces[1] << " " << p.kings << " side " << side;
        };
        ASSERT_EQ(value % 2, 0) << at();
        ASSERT_EQ(value, v.sum() / 2 * 2) << at();
        ASSERT_EQ(r.result, value) << at();
        ASSERT_EQ(r.margin, v.margin) << at();
        for (auto term :
             {&eval::eval_terms::material, &eval::eval_terms::back_rank, &eval::eval_terms::kings,
              &eval::eval_terms::trapped, &eval::eval_terms::held, &eval::eval_terms::tempo,
              &eval::eval_terms::breakthrough, &eval::eval_terms::back_corners, &eval::eval_terms::king_race,
              &eval::eval_terms::mobility, &eval::eval_terms::dog_holes, &eval::eval_terms::to_move})
            ASSERT_EQ(v.*term, -(vt.*term)) << at();
        const int odd = unmirrored_formation(p) + unmirrored_formation(t);
        if (odd) ++asymmetric;
        ASSERT_EQ(v.formations + vt.formations, 8 * odd) << at();
        ASSERT_EQ(v.margin, vt.margin) << at();
    }
    EXPECT_GT(crowded, 10000);   // set-up positions with 13 and more pieces a side were among them
    EXPECT_GT(asymmetric, 1000); // and some with that formation, of either side
}

// A position from the bits of its pieces: side 0's men and kings (pieces[0], moving towards row 7),
// then side 1's.
engine_position pieces(std::initializer_list<int> men0, std::initializer_list<int> kings0,
                       std::initializer_list<int> men1, std::initializer_list<int> kings1) {
    engine_position p{{0, 0}, 0};
    for (int b : men0)
        p.pieces[0] |= 1u << b;
    for (int b : kings0)
        p.pieces[0] |= 1u << b, p.kings |= 1u << b;
    for (int b : men1)
        p.pieces[1] |= 1u << b;
    for (int b : kings1)
        p.pieces[1] |= 1u << b, p.kings |= 1u << b;
    return p;
}

// One term of small positions, worked out by hand from the rules of the evaluation; where the two
// rule sets differ the English value is the second. Comments give the arithmetic (bit numbers as
// in the masks: row k is bits 4k to 4k + 3).
void terms_follow_the_rules() {
    eval::init_eval_tables();
    using T = eval::eval_terms;
    struct row {
        const char* name;
        engine_position p;
        int side;
        int T::*term;
        int italian, english;
    } const rows[] = {
        // first-row [0x26] = 10 + 4 (bit 5 with bit 1) + 5 (0x26 & 0x8c = 4) = 19, less
        // first-row [reverse8(0x60) = 0x06] = 10 + 5 = 15.
        {"back rank: men on the first rows", pieces({1, 2, 5}, {}, {29, 30}, {}), 0, &T::back_rank, 4, 4},
        // 18 men: first-row [0xcc] = 2 + 4 = 6, less first-row [0xff] = 28, less the back pattern
        // 11 of side 0's 0xccc (no man under 0x333) against 0 for side 1's full twelve.
        {"back rank: holes in the back with 18 men",
         pieces({2, 3, 6, 7, 10, 11}, {}, {20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31}, {}), 0,
         &T::back_rank, -33, -33},
        // Fewer than 14 pieces, two kings a side: first-row [0x06] 15 less first-row [0x04] 8, halved.
        {"back rank: halved near the end", pieces({1, 2}, {14, 17}, {29}, {12, 19}), 0, &T::back_rank, 3, 3},

        // 4 x (side 1's king on the edge + side 0's in the centre) = 8; +10 as side 1 has no king
        // in the centre and no more free kings.
        {"kings: centre against edge", pieces({}, {9}, {}, {31}), 0, &T::kings, 18, 18},
        // No kings: 6 for 27 against 18 (side 1 has none of 26, 30, 31); Y0 holds 22 (+1).
        {"kings: men's structure", pieces({18}, {}, {27, 29}, {}), 0, &T::kings, 7, 7},
        // Equal men: S(bit 3) = -1 - 3 = -4, S(bit 31) = -1 - 2 = -3.
        {"kings: balance of the men", pieces({3}, {}, {31}, {}), 0, &T::kings, -1, -1},
        {"kings: men on 3, 11 and 19", pieces({3, 11, 19}, {}, {30}, {}), 0, &T::kings, -2, -2},
        // X0 holds 4 (from 9 >> 5), 13 (9 << 4 with 16 empty) and 14 (9 << 5 with 18 empty).
        {"kings: a man near the centre", pieces({9}, {}, {30}, {}), 0, &T::kings, 3, 3},
        // Side 1's king on 10 beside side 0's men on 11 and 3, with 7, 15 and 19 empty: -14 and -2;
        // -4 for its centre square; -10 as side 0 has no king in the centre.
        {"kings: a king held beside the men", pieces({3, 11}, {}, {}, {10}), 0, &T::kings, -30, -30},
        // A man on 3 with 7 empty: -2 alone; +4 for side 1's king on the edge.
        {"kings: a man behind an empty square", pieces({3}, {}, {}, {31}), 0, &T::kings, 2, 2},

        {"trapped: corner king behind its man", pieces({2}, {}, {7}, {3}), 0, &T::trapped, 160, 160},
        {"trapped: side 0's king in the other corner", pieces({24}, {28}, {29}, {}), 0, &T::trapped, -160,
         -160},
        {"trapped: corner king, a king on 14", pieces({2}, {14}, {11, 19}, {3}), 0, &T::trapped, 50, 50},
        {"trapped: king on 7", pieces({2}, {}, {10}, {7}), 0, &T::trapped, 60, 60},
        {"trapped: double corner closed", pieces({1}, {}, {5, 8}, {0, 4}), 0, &T::trapped, 300, 300},
        // A reach of nothing: 24, and 3 as it holds no centre square.
        {"trapped: walled in by its own men", pieces({}, {}, {4, 5}, {0}), 0, &T::trapped, 27, 27},

        // Under 15 pieces: H holds the king on 20 behind men on 16 and 13 (-6); under 13: the man on
        // 16 beside it (-2 x 3) and the man on 13 one further out (-3).
        {"held: a king behind two men", pieces({13, 16}, {}, {}, {20}), 0, &T::held, -15, -15},
        {"held: a man beside a king", pieces({17}, {}, {}, {13}), 0, &T::held, -6, -6},
        {"held: side 0's king beside a man", pieces({}, {18}, {14}, {}), 0, &T::held, 6, 6},

        // T = 3 + 1 - (7 - 5) = 2; (10 - 3) x 2 / 4.
        {"tempo: rows of the men", pieces({5, 13}, {}, {21}, {}), 0, &T::tempo, 3, 3},
        // T = 1 - 2 - 0 = -1; 7 x -1 / 4, truncated towards zero.
        {"tempo: truncated towards zero", pieces({4}, {}, {20, 28}, {}), 0, &T::tempo, -1, -1},

        // A man on row 6 with its way free (table A): men + 38.
        {"breakthrough: from row 6", pieces({24}, {}, {31}, {}), 0, &T::breakthrough, 40, 40},
        // From row 4 (table B): men + 30.
        {"breakthrough: from row 4", pieces({19}, {}, {28}, {}), 0, &T::breakthrough, 32, 32},
        {"breakthrough: side 1's", pieces({0}, {}, {7}, {}), 1, &T::breakthrough, -40, -40},

        {"formations: men face to face on 19 and 23", pieces({19}, {}, {23}, {}), 0, &T::formations, 4, 4},
        // Formation value [no man of 0x488] + 4; the king on 31 leaves the chain of 15, 18, 22, 26
        // no empty square behind.
        {"formations: the edge formation", pieces({11, 15, 19}, {31}, {18, 22, 23, 26}, {}), 0,
         &T::formations, 24, 24},
        {"formations: side 1's edge formation", pieces({5, 8, 9, 13}, {}, {12, 16, 20}, {0}), 0,
         &T::formations, -24, -24},
        {"formations: four men against three", pieces({4, 8, 12}, {}, {13, 16, 17, 21}, {}), 0,
         &T::formations, 16, 16},
        {"formations: 12 against 16 and 20", pieces({12}, {}, {16, 20}, {}), 0, &T::formations, 4, 4},
        {"formations: 12 with 16 and 20 empty", pieces({12}, {}, {31}, {}), 0, &T::formations, -1, -1},
        {"formations: 18 and 23 against 27 and 30", pieces({18, 23}, {}, {27, 30}, {}), 0, &T::formations,
         -20, -20},
        {"formations: ... unless 19 and 14 are held", pieces({14, 18, 19, 23}, {}, {27, 30}, {}), 0,
         &T::formations, 0, 0},
        // 14 -> 17 -> 21 caught, 24 behind it and 28 empty.
        {"formations: a chain caught", pieces({14}, {}, {17, 21, 24}, {}), 0, &T::formations, 3, 3},
        // 4 men: 20 - 4.
        {"formations: 0 and 1 against two of their attackers", pieces({0, 1}, {}, {8, 13}, {}), 0,
         &T::formations, 16, 16},
        // (8, 12, 13; 20, 21) wants 14 empty, not 18.
        {"formations: 8, 12, 13 against 20, 21 with 14 empty", pieces({8, 12, 13, 18}, {}, {20, 21}, {}), 0,
         &T::formations, -8, -8},
        {"formations: 8, 12, 13 against 20, 21 with 14 held", pieces({8, 12, 13, 14}, {}, {20, 21}, {}), 0,
         &T::formations, 0, 0},
        // (7, 10, 11; 18, 19) with 3, 9, 15, 23 and 27 empty.
        {"formations: 7, 10, 11 against 18, 19", pieces({7, 10, 11}, {}, {18, 19}, {}), 0, &T::formations, -8,
         -8},
        {"formations: 1 and 4 against 9 and 13", pieces({1, 4}, {}, {9, 13}, {}), 0, &T::formations, 5, 5},
        {"formations: ... doubled by a free king", pieces({1, 4}, {26}, {9, 13}, {}), 0, &T::formations, 10,
         10},

        {"back corners: a man on 21, 29 held", pieces({21}, {}, {28, 29}, {}), 0, &T::back_corners, 6, 6},
        {"back corners: a man on 21 before 28 and 30", pieces({21}, {}, {28, 30}, {}), 0, &T::back_corners,
         -10, -10},
        {"back corners: ... with side 1's free king", pieces({21}, {}, {28, 30}, {10}), 0, &T::back_corners,
         -20, -20},
        {"back corners: a man on 20 against 28", pieces({20}, {}, {28}, {}), 0, &T::back_corners, 6, 6},
        {"back corners: side 1's man on 10, 2 held", pieces({2, 3}, {}, {10}, {}), 0, &T::back_corners, -6,
         -6},

        // guard [0x07] = 45, and 34 for a king off the far row.
        {"king race: a free king, none against it", pieces({0, 1, 2}, {14}, {29}, {}), 0, &T::king_race, 79,
         79},
        {"king race: the king on the far row", pieces({0, 1, 2}, {28}, {30}, {}), 0, &T::king_race, 45, 45},
        {"king race: side 1's free king", pieces({2}, {}, {29, 30, 31}, {17}), 0, &T::king_race, -79, -79},
        // Against side 1's breakthrough: 5 for the centre, 2 x (7 - row 3).
        {"king race: against a breakthrough", pieces({}, {14}, {7}, {}), 1, &T::king_race, 13, 13},
        // A breakthrough without kings: guard [0x07] / 2.
        {"king race: a breakthrough, no kings", pieces({0, 1, 2, 24}, {}, {31}, {}), 0, &T::king_race, 22,
         22},

        // Side 0's targets 16, 17 are side 1's too: none safe (-6); side 1 keeps 26, 27 (2).
        {"mobility: men's targets taken", pieces({13}, {}, {21, 31}, {}), 0, &T::mobility, -8, -8},
        // Side 0's king targets 5, 6, 13, 14; side 1's man 14, 15. Italian men do not take kings:
        // all four are safe (4) against 15 alone (0). English: 5, 6, 13 (3) against 15 (0).
        {"mobility: a king's targets", pieces({}, {9}, {18}, {}), 0, &T::mobility, 4, 3},

        {"dog-holes: 27 under 31", pieces({27}, {}, {31}, {}), 0, &T::dog_holes, -9, -9},
        {"dog-holes: 27 under 31 with 23 and 22 empty", pieces({23, 27}, {}, {31}, {}), 0, &T::dog_holes, -27,
         -27},
        {"dog-holes: side 1's 4 over 0, with 8", pieces({0}, {}, {4, 8}, {}), 0, &T::dog_holes, 27, 27},
        {"dog-holes: 20 under 29", pieces({20}, {}, {29}, {}), 0, &T::dog_holes, -9, -9},
        {"dog-holes: side 1's 11 over 2", pieces({2}, {}, {11}, {}), 0, &T::dog_holes, 9, 9},

        // Material 520 against 420: 100 + (33 - 16) = 117 (English 460 against 360: 100 + 20);
        // ahead in men with kings equal: + (2 - 2 - 5) x 10.
        {"trade: ahead near the end", pieces({1, 2}, {14, 17}, {29}, {12, 19}), 0, &T::material, 67, 70},

        // Side 1's kings on 0 and 4 and side 0's on 28 are shut in: 3 x 128.
        {"margin: three trapped kings", pieces({1, 24}, {28}, {5, 8, 29}, {0, 4}), 0, &T::margin, 384, 384},
        // Side 0 has a king and two men fewer; side 1 has no free king, no breakthrough.
        {"margin: a king for two men", pieces({}, {14}, {29, 30}, {}), 0, &T::margin, 50, 50},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        eval::eval_record record;
        eval::fill_record(r.p, record);
        const eval::eval_terms terms = eval::evaluate_terms(r.p, r.side, record);
        EXPECT_EQ(terms.*r.term, marrak::italian_rules ? r.italian : r.english);
    }
}

void side_to_move_counts_two() {
    eval::init_eval_tables();
    const engine_position start{{0x00000FFFu, 0xFFF00000u}, 0};
    EXPECT_EQ(eval::evaluate(start, 0), 2);
    EXPECT_EQ(eval::evaluate(start, 1), -2);
    EXPECT_EQ(eval::evaluate(engine_position{{0, 0}, 0}, 0), 2);
}

// A man one step from crowning with the way free crowns by force; shut in, it does not.
void breakthrough_tables_follow_the_race() {
    namespace bt = marrak::breakthrough;
    struct row {
        const char* name;
        std::vector<std::string> board;
        int side;
        bool a, b;
    } const rows[] = {
        {"free run from row 6",
         {"........", "b.......", "........", "........", "........", "........", "........", "........"},
         0,
         true,
         false},
        {"free run, side 1 to move",
         {"........", "b.......", "........", "........", "........", "........", "........", "........"},
         1,
         true,
         false},
        {"free run from row 4",
         {"........", "........", "........", "b.......", "........", "........", "........", "........"},
         0,
         false,
         true},
        {"shut in, to move",
         {".w.w....", "..b.....", "........", "........", "........", "........", "........", "........"},
         0,
         false,
         false},
        {"shut in, taken",
         {".w.w....", "..b.....", "........", "........", "........", "........", "........", "........"},
         1,
         false,
         false},
        {"no man near the crown",
         {".w.w.w.w", "w.w.w.w.", ".w.w.w.w", "........", "........", "........", "........", "........"},
         0,
         false,
         false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const engine_position p = engine_test::diagram(r.board);
        const std::uint32_t m0 = p.pieces[0] & ~p.kings, m1 = p.pieces[1] & ~p.kings;
        EXPECT_EQ(bt::test(bt::table_a, bt::key_a(r.side, m0, p.pieces[0], m1)), r.a);
        EXPECT_EQ(bt::test(bt::table_b, bt::key_b(r.side, m0, p.pieces[0], m1)), r.b);
    }
    // Without men no key is set: the evaluation skips the look-up then.
    int set_without_men = 0;
    for (std::uint32_t key = 0; key < (1u << bt::key_bits); key += 256)
        set_without_men += bt::test(bt::table_a, key) + bt::test(bt::table_b, key);
    EXPECT_EQ(set_without_men, 0);
}

} // namespace
} // namespace evaluation_cases
