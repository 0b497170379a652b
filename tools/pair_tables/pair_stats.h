#pragma once
// Best-move statistics of self-play, shared by the two rule sets' halves of the pair-table tool.

#include <array>
#include <cstdint>

namespace pair_tool {

constexpr int stages = 6;

// For men and for kings, per stage and (from bit, to bit) of a move in the mover's word: how often
// the move was on the board and how often the search chose it.
struct pair_stats {
    struct counts {
        std::uint64_t available = 0, chosen = 0;
    };
    std::array<std::array<std::array<std::array<counts, 32>, 32>, stages>, 2>
        table{}; // [king][stage][from][to]
    std::uint64_t positions = 0;
};

struct play_options {
    int games = 400;       // a library
    int depth = 5;         // iteration depth of every move
    int opening_plies = 4; // random plies before the engine plays
    int max_plies = 160;
    std::uint32_t seed = 20060314;
};

void self_play_english(pair_stats& stats, const play_options& options);
void self_play_italian(pair_stats& stats, const play_options& options);

} // namespace pair_tool
