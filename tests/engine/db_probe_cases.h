#pragma once
// The search's use of the endgame database through a fake driver, and its repetition test; shared
// by the two rule sets.

#include "eval_tables.h"
#include "evaluation.h"
#include "fake_driver.h"
#include "search_fixture.h"

#include <bit>

namespace db_probe_cases {
namespace {

// A database of the given driver and limits, as the search sees an open one.
[[maybe_unused]] marrak::endgame_db db_with(egdb_driver* driver, int usable_pieces, int side_limit) {
    marrak::endgame_db db;
    db.handle = driver;
    db.usable_pieces = usable_pieces;
    db.side_limit = side_limit;
    return db;
}

using namespace search_test;
using engine_test::diagram;
using engine_test::fake_driver;

// Ten pieces: colour 2 (side 0) with two kings and three men, colour 1 with five men.
const std::vector<std::string> ten_pieces = {
    "........", "w.w.w...", ".w.w....", "........", "...B....", "......B.", ".b.b.b..", "........",
};

// How many lookups the search made of positions of ten pieces where a side has two kings.
int ten_piece_two_king_lookups() {
    fixture f;
    fake_driver driver;
    f.ctx->db() = db_with(&driver, 10, 6);
    engine_position chosen;
    marrak::search::driver_result r;
    f.choose(diagram(ten_pieces), 0, 5, chosen, r);
    int n = 0;
    for (const auto& q : driver.queries) {
        const auto& p = q.position;
        const int kings0 = std::popcount(p.pieces[0] & p.kings),
                  kings1 = std::popcount(p.pieces[1] & p.kings);
        if (std::popcount(p.pieces[0] | p.pieces[1]) == 10 && (kings0 > 1 || kings1 > 1)) ++n;
    }
    EXPECT_GT(driver.queries.size(), 0u);
    return n;
}

// At the horizon a database result replaces the evaluation: draws lean against the side to move,
// "at best a draw" and "at least a draw" clamp it.
void horizon_results_map() {
    marrak::eval::init_eval_tables();
    // Colour 2 (side 0) a man up, nothing to take for either side.
    const auto ahead = diagram(
        {"........", "........", ".w......", "........", "........", "......b.", ".b...b..", "........"});
    ASSERT_TRUE(legal_moves(ahead, 0).size() > 1);
    for (int side = 0; side < 2; ++side) {
        const int e = marrak::eval::evaluate(ahead, side);
        ASSERT_GT(e, 0);
        struct row {
            int answer, expected;
        } const rows[] = {
            {EGDB_DRAW, side == 0 ? -1 : 1},
            {EGDB_DRAW_OR_LOSS, side == 0 ? 0 : e},
            {EGDB_DRAW_OR_WIN, side == 0 ? e : 0},
            {0, e},
            {7, e},
        };
        for (const auto& r : rows) {
            SCOPED_TRACE(testing::Message() << "side " << side << " answer " << r.answer);
            fixture f;
            fake_driver driver;
            driver.answer = r.answer;
            f.ctx->db() = db_with(&driver, 8, 5);
            int best;
            EXPECT_EQ(marrak::search::search_position(*f.ctx, ahead, 1, 0, -4000, 4000, side, 0, 0, best),
                      r.expected);
            EXPECT_EQ(driver.queries.size(), 1u);
        }
        // Won for the side to move: a value beyond any evaluation, signed for the winner.
        fixture f;
        fake_driver driver;
        driver.answer = EGDB_WIN;
        f.ctx->db() = db_with(&driver, 8, 5);
        int best;
        const int won = marrak::search::search_position(*f.ctx, ahead, 1, 0, -4000, 4000, side, 0, 0, best);
        EXPECT_GT(side == 0 ? won : -won, 2000);
    }
}

// The depth-and-flag word times 8 wraps as an unsigned product: 2^29 gives 0 (conditional
// lookups at the horizon), 2^28 a negative word (none).
void depth_flag_word_wraps() {
    for (const auto& [cl, conditional] : {std::pair{0x20000000, true}, std::pair{0x10000000, false}}) {
        fixture f;
        fake_driver driver;
        f.ctx->db() = db_with(&driver, 10, 6);
        f.ctx->settings().cl = cl;
        engine_position chosen;
        marrak::search::driver_result r;
        f.choose(diagram(ten_pieces), 1, 3, chosen, r);
        int with_flag = 0;
        for (const auto& q : driver.queries)
            with_flag += q.conditional;
        EXPECT_EQ(with_flag > 0, conditional) << cl;
    }
}

// Kings only: the men (none) never change, so the walk may run back through every position.
const std::vector<std::string> two_kings = {
    "........", "........", "...B....", "........", "........", "....W...", "........", "........",
};
const std::vector<std::string> king_against_men = {
    "........", "........", "...B....", "........", "........", "....w...", ".....w..", "........",
};

// The value of a search from `p` at `ply` after the played positions and with the path given; the
// node count too when asked.
int search_with_history(const engine_position& p, int ply, int side,
                        const std::vector<engine_position>& played, const std::vector<engine_position>& path,
                        int depth = 16, std::uint32_t* nodes = nullptr) {
    fixture f;
    for (const auto& q : played)
        f.ctx->game().record_played_position(q);
    for (std::size_t i = 0; i < path.size(); ++i)
        f.ctx->tables().path[i] = path[i];
    int best;
    const int v = marrak::search::search_position(*f.ctx, p, ply, depth, -4000, 4000, side, 0, 0, best);
    if (nodes) *nodes = f.ctx->control().nodes;
    return v;
}

void repetitions_at_four_ply_steps() {
    const auto p = diagram(two_kings);
    const auto q = legal_moves(p, 0)[0]; // another position with the same (no) men
    // Four plies back: a repetition, against the side to move.
    EXPECT_EQ(search_with_history(p, 4, 0, {p}, {q, q, q}), -3);
    EXPECT_EQ(search_with_history(p, 4, 1, {p}, {q, q, q}), 3);
    // Eight plies back through the played positions, past another position with the same men.
    EXPECT_EQ(search_with_history(p, 4, 0, {p, q, q, q, q}, {q, q, q}), -3);
    // Two plies back is not looked at.
    const int plain = search_with_history(p, 2, 0, {}, {q});
    EXPECT_EQ(search_with_history(p, 2, 0, {p}, {q}), plain);
    // With men on one side only there is no repetition test.
    const auto m = diagram(king_against_men);
    const auto mq = legal_moves(m, 0)[0];
    EXPECT_EQ(search_with_history(m, 4, 0, {m}, {mq, mq, mq}),
              search_with_history(m, 4, 0, {}, {mq, mq, mq}));
}

// Every child's position is written into the path before it is searched: wherever the search
// asks the database, the path holds the line from the search's root to that node, one legal move
// a step. With men only no position comes twice in a line, so the node's place is its own; with a
// database that takes every piece count, every quiet node asks.
void path_holds_the_line_to_every_node() {
    const auto p = start_position;
    fixture f;
    fake_driver driver;
    f.ctx->db() = db_with(&driver, 32, 32);
    auto& path = f.ctx->tables().path;
    path.fill(engine_position{{0xFFFFFFFFu, 0}, 0});
    path[0] = p;
    int checked = 0, broken = 0;
    driver.on_lookup = [&](const engine_position& q) {
        ++checked;
        // The node is path[k - 1] for its ply k; the entries before it lead there move by move.
        for (int i = 0; i < marrak::search::path_size; ++i) {
            if (!engine_test::same(path[i], q)) continue;
            bool line = true;
            for (int j = 0; j < i && line; ++j)
                line = contains(legal_moves(path[j], j % 2 == 0 ? 0 : 1), path[j + 1]);
            if (line) return;
        }
        ++broken;
    };
    int best;
    marrak::search::search_position(*f.ctx, p, 1, 56, -4000, 4000, 0, 0, 0, best);
    EXPECT_GT(checked, 1000);
    EXPECT_EQ(broken, 0);
}

} // namespace
} // namespace db_probe_cases
