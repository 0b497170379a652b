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

void turned_board_negates() {
    eval::init_eval_tables();
    std::mt19937 rng(7);
    int crowded = 0;
    for (int i = 0; i < 1000000; ++i) {
        const engine_position p = any_position(rng);
        const int side = static_cast<int>(rng() % 2);
        eval::eval_record r, rt;
        eval::fill_record(p, r);
        const int v = eval::evaluate_position(p, side, r);
        const engine_position t = turned(p);
        eval::fill_record(t, rt);
        const int vt = eval::evaluate_position(t, 1 - side, rt);
        if (r.men[0] + r.kings[0] > 12 || r.men[1] + r.kings[1] > 12) ++crowded;
        ASSERT_EQ(v % 2, 0) << std::hex << p.pieces[0] << " " << p.pieces[1] << " " << p.kings;
        ASSERT_EQ(v, -vt) << std::hex << p.pieces[0] << " " << p.pieces[1] << " " << p.kings << " side "
                          << side;
        ASSERT_EQ(r.margin, rt.margin) << std::hex << p.pieces[0] << " " << p.pieces[1] << " " << p.kings;
        ASSERT_EQ(r.result, v);
    }
    EXPECT_GT(crowded, 10000); // set-up positions with 13 and more pieces a side were among them
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
