#include "history.h"

#include "bitboard.h"

#include <algorithm>
#include <cstdlib>

namespace marrak::inline MARRAK_RULES_NS::history {

bool same_position(const engine_position& a, const engine_position& b) {
    return a.pieces[0] == b.pieces[0] && a.pieces[1] == b.pieces[1] && a.kings == b.kings;
}

int piece_count(const engine_position& p) {
    return bit::count(p.pieces[0]) + bit::count(p.pieces[1]);
}

void game_history::clear() {
    m_ring.fill(history_entry{});
    m_index = 0;
    m_played.fill(engine_position{{0xFFFFFFFFu, 0}, 0});
}

void game_history::record_played_position(const engine_position& position) {
    std::move(m_played.begin() + 1, m_played.end(), m_played.begin());
    m_played.back() = position;
}

const history_entry& game_history::recent(int back) const {
    return m_ring[(m_index - 1 - back + 2 * ring_size) % ring_size];
}

void game_history::push(const engine_position& position, std::int32_t score, std::int32_t flag) {
    if (piece_count(position) > piece_count(recent(0).position)) clear();
    record_played_position(position);
    m_ring[m_index] = history_entry{position, score, flag};
    m_index = (m_index + 1) % ring_size;
}

bool game_history::contains(const engine_position& position) const {
    return std::any_of(m_ring.begin(), m_ring.end(),
                       [&](const history_entry& e) { return same_position(e.position, position); });
}

bool game_history::scores_decisive() const {
    for (int i = 0; i < 8; ++i)
        if (std::abs(recent(i).score) < 150) return false;
    return true;
}

bool game_history::quiet_draw() const {
    for (int i = 0; i < 6; ++i) {
        const history_entry& e = recent(i);
        const int s = std::abs(e.score);
        if (e.position.pieces[0] == 0 || piece_count(e.position) > 13 || (s != 1 && s != 3)) return false;
    }
    return true;
}

bool game_history::repetition() const {
    const engine_position& last = recent(0).position;
    const auto same = std::count_if(m_ring.begin(), m_ring.end(),
                                    [&](const history_entry& e) { return same_position(e.position, last); });
    return same >= 3;
}

int game_history::game_result(const engine_position& position, int side, std::int32_t score,
                              std::int32_t flag) {
    const int win = side == 0 ? ENGINE_WIN : ENGINE_LOSS;
    const int loss = side == 0 ? ENGINE_LOSS : ENGINE_WIN;
    push(position, score, flag);
    if (score > 2000) return win;
    if (score < -2000) return loss;
    if (flag == 0 && !scores_decisive()) return quiet_draw() || repetition() ? ENGINE_DRAW : ENGINE_UNKNOWN;
    if (score >= 150) return win;
    if (score <= -150) return loss;
    return quiet_draw() || repetition() ? ENGINE_DRAW : ENGINE_UNKNOWN;
}

} // namespace marrak::inline MARRAK_RULES_NS::history
