#pragma once
// The engine's memory of the game it is playing: a ring of the last 32 positions it moved to,
// with their scores, from which game_result judges the game; and the last 98 played positions,
// which the search walks for repetitions. Owned by the library's context; one thread at a time.

#include "engine_api.h"
#include "rules.h"

#include <array>
#include <cstdint>

namespace marrak::inline MARRAK_RULES_NS::history {

struct history_entry {
    engine_position position{};
    std::int32_t score = 0;
    std::int32_t flag = 0; // non-zero: the score is to be taken at face value
};

constexpr int ring_size = 32;
constexpr int played_size = 98;

class game_history {
  public:
    game_history() { clear(); }

    // Empties the ring (all zero, index 0) and the played list (every entry's first word all ones).
    void clear();
    // Drops the oldest played position and appends this one.
    void record_played_position(const engine_position& position);
    // Puts this position in the place of the newest played one (the root of a search, which the
    // move choice has already appended).
    void replace_newest_played(const engine_position& position) { m_played.back() = position; }
    // A position with more pieces than the most recent entry starts another game: clear first.
    void push(const engine_position& position, std::int32_t score, std::int32_t flag);
    bool contains(const engine_position& position) const;
    // Records the position reached by the engine's move and judges the game for `side` (the
    // engine's side flag): ENGINE_DRAW, ENGINE_WIN, ENGINE_LOSS or ENGINE_UNKNOWN.
    int game_result(const engine_position& position, int side, std::int32_t score, std::int32_t flag);

    const std::array<engine_position, played_size>& played() const { return m_played; }
    const history_entry& ring(int i) const { return m_ring[i]; }
    int index() const { return m_index; }

  private:
    // The entry `back` places before the most recent one (0 is the most recent).
    const history_entry& recent(int back) const;
    bool scores_decisive() const;
    bool quiet_draw() const;
    bool repetition() const;

    std::array<history_entry, ring_size> m_ring{};
    int m_index = 0;
    std::array<engine_position, played_size> m_played{};
};

bool same_position(const engine_position& a, const engine_position& b);
int piece_count(const engine_position& p);

} // namespace marrak::inline MARRAK_RULES_NS::history
