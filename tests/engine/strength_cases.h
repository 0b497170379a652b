#pragma once
// Games of the engine against the reference player, from seeded random openings, the engine with
// each colour; shared by the two rule sets and by the slow run.

#include "reference_searcher.h"
#include "search_fixture.h"

#include <map>
#include <tuple>

namespace strength_cases {
namespace {

using namespace search_test;

struct score {
    int wins = 0, draws = 0, losses = 0;
    double points() const { return wins + 0.5 * draws; }
    int games() const { return wins + draws + losses; }
};

// Four random plies from the start: colour 2 (side 0) to move again.
engine_position opening(unsigned seed) {
    std::mt19937 rng(seed);
    engine_position p = start_position;
    for (int ply = 0; ply < 4; ++ply) {
        const auto moves = legal_moves(p, ply % 2);
        p = moves[rng() % moves.size()];
    }
    return p;
}

// 1 the engine won, 0 a draw (200 plies or a position met a third time), -1 it lost.
int play(const engine_position& start, int engine_side, int depth, unsigned seed) {
    fixture f(16);
    f.ctx->game().clear();
    f.ctx->control().depth_cap = depth;
    reference::searcher opponent(seed);
    std::map<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, int>, int> seen;
    engine_position p = start;
    int side = 0;
    for (int ply = 0; ply < 200; ++ply, side = 1 - side) {
        const auto moves = legal_moves(p, side);
        if (moves.empty()) return side == engine_side ? -1 : 1;
        if (side == engine_side) {
            engine_position chosen;
            marrak::search::driver_result r;
            marrak::search::choose_move(*f.ctx, p, side, chosen, &r);
            EXPECT_TRUE(contains(moves, chosen));
            p = chosen;
        } else {
            p = opponent.choose(p, side, 4);
        }
        if (++seen[{p.pieces[0], p.pieces[1], p.kings, 1 - side}] == 3) return 0;
    }
    return 0;
}

score match(int openings, int depth, unsigned seed) {
    score s;
    for (int i = 0; i < openings; ++i)
        for (int engine_side = 0; engine_side < 2; ++engine_side) {
            const int result = play(opening(seed + i), engine_side, depth, seed * 7 + i * 2 + engine_side);
            (result > 0 ? s.wins : result < 0 ? s.losses : s.draws) += 1;
        }
    return s;
}

} // namespace
} // namespace strength_cases
