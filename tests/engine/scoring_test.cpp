// The drivers that score every root move: their depths, stops, windows, order and texts.

#include "search_fixture.h"

#include <climits>
#include <cstring>
#include <map>

using namespace search_test;
using engine_test::diagram;
namespace search = marrak::search;

namespace {

// Colour 2's one man must take: the only legal move.
const std::vector<std::string> single_move = {"........", "........", "........", "......w.",
                                              "........", "....w...", "...b....", "........"};

// A middle game with a dozen moves for either side.
const engine_position middle{{0x000421ebu, 0xfa904000u}, 0};

// The iterations listed in the log (the chosen move's final line repeats the last one).
std::vector<int> listed_depths(const fixture& f) {
    std::vector<int> d;
    for (const auto& line : f.log_lines(""))
        if (const auto at = line.find("s, D "); at != std::string::npos) {
            const int depth = std::stoi(line.substr(at + 5));
            if (d.empty() || d.back() != depth) d.push_back(depth);
        }
    return d;
}

struct scored {
    std::vector<search::root_record> records;
    int margin_out = 0;
};

// With the test clock standing still only the depth cap ends the deepening.
scored score(fixture& f, const engine_position& p, int side, int margin, int depth, double maxtime = 1e6) {
    f.ctx->hash().clear();
    f.ctx->control().depth_cap = depth;
    search::set_request(*f.ctx, &f.playnow, maxtime * 0.5, maxtime * 0.5, maxtime * 4);
    search::begin_search(*f.ctx, p);
    marrak::gen::generate_legal(p, f.ctx->tables().root_moves, side);
    scored s;
    s.records = search::score_all_moves(*f.ctx, p, side, maxtime, margin, depth, s.margin_out);
    return s;
}

} // namespace

TEST(Scoring, AllScoresWithOneMoveSearchesToFiveAndJudgesWithFlagZero) {
    fixture f;
    const auto p = diagram(single_move);
    engine_position chosen;
    search::driver_result r;
    f.ctx->game().clear();
    search::choose_move_allscores(*f.ctx, p, 0, chosen, &r);
    EXPECT_EQ(listed_depths(f), (std::vector<int>{1, 3, 5}));
    EXPECT_TRUE(engine_test::same(chosen, legal_moves(p, 0)[0]));
    const auto& newest = f.ctx->game().ring((f.ctx->game().index() + 31) % 32);
    EXPECT_EQ(newest.flag, 0);
    EXPECT_NE(std::strstr(f.status, "pv "), nullptr) << f.status;
}

TEST(Scoring, AllScoresListsEveryMoveBestFirst) {
    fixture f;
    f.ctx->control().depth_cap = 5;
    engine_position chosen;
    search::driver_result r;
    search::choose_move_allscores(*f.ctx, middle, 0, chosen, &r);
    const auto moves = legal_moves(middle, 0);
    EXPECT_TRUE(contains(moves, chosen));
    // "<elapsed>s, D 5, " and then "<move>,<value>  " for every move.
    const std::string line = f.log_lines("0.0s, D 5")[0];
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), static_cast<long>(moves.size()) + 2);
    EXPECT_EQ(line.substr(line.find(", D 5, ") + 7, 5), marrak::text::move_to_text(middle, chosen));
}

TEST(Scoring, StopsOnceTheBestValueIsDecided) {
    // Colour 2's king takes colour 1's last man: won at once.
    const auto p = diagram(
        {"........", "........", "........", "........", "...w....", "..B.....", "........", "........"});
    fixture f;
    const scored s = score(f, p, 0, 0, 9);
    ASSERT_EQ(s.records.size(), 1u);
    EXPECT_GE(s.records[0].value, 2000);
    EXPECT_EQ(listed_depths(f), (std::vector<int>{1}));
}

// With a margin of 0 every move worth -1 or more, and below the best + 5, has an exact value: its
// last search's window held it. Best first for the mover, for either side.
TEST(Scoring, MarginZeroScoresNearMovesExactly) {
    for (int side = 0; side < 2; ++side) {
        SCOPED_TRACE(side);
        fixture f;
        std::map<std::uint64_t, std::pair<int, int>> last_window; // by move, in the last iteration
        int iteration = 0;
        f.ctx->set_root_observer([&](int alpha, int beta, int, const engine_position* best) {
            if (f.ctx->control().iteration != iteration) {
                iteration = f.ctx->control().iteration;
                last_window.clear();
            }
            if (best) last_window[engine_test::key_of(*best)] = {alpha, beta};
        });
        const engine_position p = start_position;
        const scored s = score(f, p, side, 0, 7);
        ASSERT_EQ(s.records.size(), legal_moves(p, side).size());
        const int best = s.records[0].value;
        int exact = 0;
        for (std::size_t i = 0; i < s.records.size(); ++i) {
            const int v = s.records[i].value;
            if (i) {
                EXPECT_TRUE(side == 0 ? s.records[i - 1].value >= v : s.records[i - 1].value <= v);
            }
            const bool near = side == 0 ? v >= -1 && v < best + 5 : v <= 1 && v > best - 5;
            if (!near) continue;
            const auto [alpha, beta] = last_window.at(engine_test::key_of(s.records[i].position));
            EXPECT_LT(alpha, v);
            EXPECT_LT(v, beta);
            ++exact;
        }
        EXPECT_GT(exact, 0);
        EXPECT_GE(s.margin_out, 0);
    }
}

TEST(Scoring, GetBestMovesWithoutAMoveIsALostGame) {
    fixture f;
    // Colour 2's one man is blocked and cannot take.
    const auto p = diagram(
        {"........", "........", "........", "........", "...w....", "w.w.....", ".b......", "........"});
    ASSERT_TRUE(legal_moves(p, 0).empty());
    move_list moves;
    moves.count = 99;
    int values[ENGINE_MAX_MOVES], margin = -1;
    EXPECT_EQ(search::get_best_moves(*f.ctx, p, 0, 1.0, &f.playnow, 0, 10, &moves, values, 0, &margin),
              ENGINE_LOSS);
    EXPECT_STREQ(f.status, "Lost game");
    EXPECT_EQ(moves.count, 0u);
    EXPECT_EQ(margin, 10);
}

// A stop keeps the values of the last completed iteration: no window is widened around the stopped
// root's placeholder value. The clock is first read at the end of iteration 7, so the stop is seen
// in iteration 9.
TEST(Scoring, StopKeepsTheLastCompletedIteration) {
    fixture f;
    f.ctx->set_clock([&f] {
        if (f.ctx->control().iteration >= 7) f.playnow = 1;
        return f.now;
    });
    move_list moves;
    int values[ENGINE_MAX_MOVES], margin = 0;
    ASSERT_EQ(search::get_best_moves(*f.ctx, middle, 0, 100.0, &f.playnow, 0, 0, &moves, values, 9, &margin),
              0);
    EXPECT_EQ(f.playnow, 0);
    ASSERT_EQ(moves.count, legal_moves(middle, 0).size());
    for (std::uint32_t i = 0; i < moves.count; ++i) {
        EXPECT_LT(std::abs(values[i]), 4000);
        if (i) {
            EXPECT_GE(values[i - 1], values[i]);
        }
    }
    EXPECT_EQ(listed_depths(f), (std::vector<int>{1, 3, 5, 7}));
}
