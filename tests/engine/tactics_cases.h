#pragma once
// Tactics, judged by the reference player's count of material, and legal choices in random
// positions with kings.

#include "reference_searcher.h"
#include "search_fixture.h"

namespace tactics_cases {
namespace {

using namespace search_test;

// Two to five pieces a side, about half of them kings, men off their crowning rows.
engine_position random_with_kings(std::mt19937& rng) {
    engine_position p{{0, 0}, 0};
    for (int side = 0; side < 2; ++side) {
        const int n = 2 + static_cast<int>(rng() % 4);
        for (int placed = 0; placed < n;) {
            const int b = static_cast<int>(rng() % 32);
            const std::uint32_t m = 1u << b;
            if ((p.pieces[0] | p.pieces[1]) & m) continue;
            const bool king = rng() % 2 == 0;
            if (!king && (side == 0 ? b >= 28 : b < 4)) continue;
            p.pieces[side] |= m;
            if (king) p.kings |= m;
            ++placed;
        }
    }
    return p;
}

// A position of a game of random moves, 8 to 40 plies from the start, with the side to move.
std::pair<engine_position, int> random_game_position(std::mt19937& rng) {
    for (;;) {
        engine_position p = start_position;
        int side = 0;
        const int plies = 8 + static_cast<int>(rng() % 33);
        bool over = false;
        for (int ply = 0; ply < plies && !over; ++ply, side = 1 - side) {
            const auto moves = legal_moves(p, side);
            over = moves.empty();
            if (!over) p = moves[rng() % moves.size()];
        }
        if (!over && !legal_moves(p, side).empty()) return {p, side};
    }
}

struct outcome {
    int positions = 0; // searched
    int tactics = 0;   // where the reference wins two men or more
};

// In positions of level material (a man apart at most), where the reference at 9 plies (pending
// captures resolved) gains 200 or
// more over the material on the board, the engine's move at iteration 9, searched on by the
// reference for 8 plies, gains as much; a forced win stays a forced win. (Where one side is far
// ahead already, the engine may rightly prefer a winning plan to taking more at once.)
outcome check_tactics(unsigned seed, int wanted) {
    std::mt19937 rng(seed);
    reference::searcher ref(seed, true);
    outcome o;
    fixture f;
    while (o.tactics < wanted) {
        const auto [p, side] = random_game_position(rng);
        ++o.positions;
        const int now = reference::material(p, side);
        if (std::abs(now) > 100) continue;
        const int gain = ref.value(p, side, 9) - now;
        if (gain < 200) continue;
        ++o.tactics;
        engine_position chosen;
        marrak::search::driver_result r;
        f.choose(p, side, 9, chosen, r);
        const int engine_gain = -ref.value(chosen, 1 - side, 8) - now;
        SCOPED_TRACE(testing::Message() << std::hex << p.pieces[0] << " " << p.pieces[1] << " " << p.kings
                                        << std::dec << " side " << side);
        if (gain > reference::lost / 2)
            EXPECT_GT(engine_gain, reference::lost / 2);
        else
            EXPECT_GE(engine_gain, gain);
    }
    return o;
}

// In random positions with kings the engine's choice is always one of the legal moves.
void legal_choices(unsigned seed, int count) {
    std::mt19937 rng(seed);
    fixture f;
    for (int i = 0; i < count;) {
        const engine_position p = random_with_kings(rng);
        const int side = static_cast<int>(rng() % 2);
        const auto moves = legal_moves(p, side);
        if (moves.empty()) continue;
        ++i;
        engine_position chosen;
        marrak::search::driver_result r;
        f.choose(p, side, 9, chosen, r);
        EXPECT_TRUE(contains(moves, chosen))
            << std::hex << p.pieces[0] << " " << p.pieces[1] << " " << p.kings;
    }
}

} // namespace
} // namespace tactics_cases
