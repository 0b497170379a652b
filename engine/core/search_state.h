#pragma once
// The state of one search: limits, counters and the per-ply tables. Owned by the library's context
// and used by the thread inside an export only; the one exception is the caller's play-now word,
// which another thread may write at any time and which is therefore read and written atomically.

#include "engine_api.h"
#include "rules.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace marrak::inline MARRAK_RULES_NS::search {

constexpr int max_ply = 96;
constexpr int max_iteration = 96;
constexpr int path_size = max_ply + 1;
constexpr int killer_size = max_ply + 3;
// Depth is counted in eighths of a ply.
constexpr int ply_depth = 8;

// Milliseconds of a steady clock.
using clock_function = std::function<std::int64_t()>;
std::int64_t steady_milliseconds();

// Test seam: told the window, the value and the best move (null: none) of every root search that
// ran to its end.
using root_observer = std::function<void(int alpha, int beta, int value, const engine_position* best)>;

struct search_control {
    int* playnow = nullptr; // the caller's play-now word (never null during a search)
    double soft_limit = 0, step_limit = 0, hard_limit = 0; // seconds
    std::int64_t start_ms = 0;
    std::uint32_t nodes = 0;
    int iteration = 0;
    int max_ply = 0;
    std::uint32_t leaves = 0, leaf_ply_sum = 0;
    std::uint32_t db_probes = 0;
    // Tests and benchmarks only: the deepest iteration a driver starts.
    int depth_cap = max_iteration;
    // Set once the play-now word has been seen set: from then on the search stores nothing in the
    // table and changes no killer, so a stopped search leaves no value of a cut-short subtree.
    bool stopped = false;
};

// A move as the ordering tables see it: the bit the mover's word loses and the bit it gains.
struct killer {
    std::uint32_t from = 0, to = 0;
};

struct search_tables {
    std::array<engine_position, path_size> path{}; // path[p]: the position at ply p + 1
    std::array<killer, killer_size> killers{};
    std::array<move_list, path_size> lists; // the moves of the node at each ply
    std::array<std::array<int, ENGINE_MAX_MOVES>, path_size> scores;
    std::array<std::array<std::uint16_t, ENGINE_MAX_MOVES>, path_size> order;
    move_list root_moves;
    move_list one_move;   // a root list of one move, for the scoring drivers
    move_list walk_moves; // the principal-variation walk's
};

inline bool playnow_set(const search_control& c) {
    return std::atomic_ref<int>(*c.playnow).load(std::memory_order_relaxed) != 0;
}
inline void set_playnow(const search_control& c, int value) {
    std::atomic_ref<int>(*c.playnow).store(value, std::memory_order_relaxed);
}

} // namespace marrak::inline MARRAK_RULES_NS::search
