#pragma once
// A plain reference player for the engine's strength and tactics tests: alpha-beta over material
// only (men 100, kings 130 in English and 160 in Italian), a fixed number of plies, and a seeded
// random choice among equally good moves. Of the rule set the including source is built for.

#include "movegen.h"
#include "rules.h"

#include <algorithm>
#include <bit>
#include <random>
#include <vector>

namespace reference {
namespace {

namespace gen = marrak::gen;

constexpr int king_value = marrak::italian_rules ? 160 : 130;
constexpr int lost = 100000;

// Material of the side to move minus the other's.
int material(const engine_position& p, int side) {
    auto value = [&](int s) {
        return 100 * std::popcount(p.pieces[s] & ~p.kings) +
               king_value * std::popcount(p.pieces[s] & p.kings);
    };
    return value(side) - value(1 - side);
}

class searcher {
  public:
    // With `resolve_captures`, a position at the horizon where the side to move must capture is
    // searched on until no capture is pending (its material then means something).
    explicit searcher(unsigned seed, bool resolve_captures = false)
        : m_rng(seed), m_resolve(resolve_captures), m_lists(64) {}

    // The value of the position for the side to move, `plies` deep; a side without moves loses,
    // the sooner the worse.
    int value(const engine_position& p, int side, int plies) {
        return search(p, side, plies, -lost - 1, lost + 1, 0);
    }

    // One of the best moves, chosen at random among equals.
    engine_position choose(const engine_position& p, int side, int plies) {
        std::vector<engine_position> moves = legal(p, side);
        std::vector<engine_position> best;
        int best_value = -lost - 1;
        for (const auto& m : moves) {
            const int v = -search(m, 1 - side, plies - 1, -lost - 1, lost + 1, 1);
            if (v > best_value) {
                best_value = v;
                best.clear();
            }
            if (v == best_value) best.push_back(m);
        }
        return best[m_rng() % best.size()];
    }

    static std::vector<engine_position> legal(const engine_position& p, int side) {
        move_list list;
        const int n = gen::generate_legal(p, list, side);
        return std::vector<engine_position>(list.moves, list.moves + n);
    }

  private:
    int search(const engine_position& p, int side, int plies, int alpha, int beta, int ply) {
        if (plies <= 0 && (!m_resolve || !gen::has_capture(p, side) || ply >= 63)) {
            if (!p.pieces[side]) return -lost + ply;
            return material(p, side);
        }
        move_list& list = m_lists[ply];
        const int n = gen::generate_legal(p, list, side);
        if (n == 0) return -lost + ply;
        int best = -lost - 1;
        for (int i = 0; i < n && best < beta; ++i) {
            const int v = -search(list.moves[i], 1 - side, plies - 1, -beta, -std::max(alpha, best), ply + 1);
            best = std::max(best, v);
        }
        return best;
    }

    std::mt19937 m_rng;
    bool m_resolve;
    std::vector<move_list> m_lists; // one a ply
};

} // namespace
} // namespace reference
