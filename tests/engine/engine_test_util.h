#pragma once
// Helpers for the engine tests: positions drawn as diagrams, move descriptions, and loading the
// engine libraries from the run directory.

#include "engine_api.h"
#include "platform/library_loader.h"
#include "tests/support/positions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace engine_test {

inline int bit_of(int x, int y) {
    return 4 * y + 3 - x / 2;
}
inline int x_of(int b) {
    return 2 * (3 - (b & 3)) + ((b >> 2) & 1);
}
inline int y_of(int b) {
    return b >> 2;
}

// Eight rows, row 7 first, eight cells each: '.' empty, 'b'/'B' colour-2 man/king (moves towards
// row 7), 'w'/'W' colour-1 man/king (moves towards row 0). Pieces only on cells with x + y even.
inline engine_position diagram(const std::vector<std::string>& rows) {
    if (rows.size() != 8) throw std::invalid_argument("diagram needs 8 rows");
    engine_position p{{0, 0}, 0};
    for (const test_support::TDiagramCell& cell : test_support::ParseDiagram(rows)) {
        const char c = cell.letter;
        const std::uint32_t m = 1u << bit_of(cell.x, cell.y);
        if (c == 'b' || c == 'B')
            p.pieces[0] |= m;
        else if (c == 'w' || c == 'W')
            p.pieces[1] |= m;
        else
            throw std::invalid_argument("unknown cell");
        if (c == 'B' || c == 'W') p.kings |= m;
    }
    return p;
}

inline std::string cell_name(int b) {
    return std::string{char('a' + x_of(b)), char('1' + y_of(b))};
}

// "c3-e5 x1": the mover's start and final cells and the number of pieces taken; "-" when the
// mover's word did not change (a king that captured round to its own square gives "c3-c3").
inline std::string describe(const engine_position& before, const engine_position& after, int side) {
    const std::uint32_t changed = before.pieces[side] ^ after.pieces[side];
    const int taken = __builtin_popcount(before.pieces[1 - side] & ~after.pieces[1 - side]);
    std::string from, to;
    if (changed) {
        from = cell_name(__builtin_ctz(changed & before.pieces[side]));
        to = cell_name(__builtin_ctz(changed & after.pieces[side]));
    } else {
        // Round trip: the square the first capture step left is not visible; name the king cell.
        from = to = "??";
    }
    std::string s = from + "-" + to;
    if (taken) s += " x" + std::to_string(taken);
    return s;
}

inline std::vector<std::string> describe_all(const engine_position& before, const move_list& list, int side) {
    std::vector<std::string> out;
    for (std::uint32_t i = 0; i < list.count; ++i)
        out.push_back(describe(before, list.moves[i], side));
    return out;
}

inline bool same(const engine_position& a, const engine_position& b) {
    return a.pieces[0] == b.pieces[0] && a.pieces[1] == b.pieces[1] && a.kings == b.kings;
}

inline std::uint64_t key_of(const engine_position& p) {
    // Enough to sort and compare positions in tests.
    return (std::uint64_t{p.pieces[0]} << 32 | p.pieces[1]) * 1000003u ^ p.kings;
}

// A random position: up to `max_pieces` per side, men never on their own crowning row, kings with
// probability king_percent.
inline engine_position random_position(std::mt19937& rng, int max_pieces, int king_percent) {
    engine_position p{{0, 0}, 0};
    for (int side = 0; side < 2; ++side) {
        const int n = 1 + static_cast<int>(rng() % max_pieces);
        for (int i = 0; i < n; ++i) {
            const int b = static_cast<int>(rng() % 32);
            const std::uint32_t m = 1u << b;
            if ((p.pieces[0] | p.pieces[1]) & m) continue;
            const bool king = static_cast<int>(rng() % 100) < king_percent;
            const bool crown_row = side == 0 ? b >= 28 : b < 4;
            if (!king && crown_row) continue;
            p.pieces[side] |= m;
            if (king) p.kings |= m;
        }
    }
    return p;
}

// One engine library loaded from the run directory (never unloaded, as the host loads it).
class library {
  public:
    explicit library(const std::string& file) {
        const char* dir = std::getenv("VQ_RUN_DIR");
        m_lib = TDynamicLibrary::Load(std::string(dir ? dir : VQ_RUN_DIR_DEFAULT) + "/" + file, &m_error);
        if (m_lib.Loaded()) m_build = m_lib.Function<build_movelist_fn>("build_movelist", &m_error);
    }

    bool loaded() const { return m_lib.Loaded() && m_build; }
    void* handle() const { return m_lib.Handle(); }
    const std::string& path() const { return m_lib.Path(); }
    // Why the library or its generator could not be bound.
    const std::string& error() const { return m_error; }
    int build(const engine_position& p, int side, move_list& list) const { return m_build(&p, side, &list); }
    build_movelist_fn build_function() const { return m_build; }
    // Another export, or null.
    template <class F> F function(const char* name) const { return m_lib.Function<F>(name); }

  private:
    TDynamicLibrary m_lib;
    std::string m_error;
    build_movelist_fn m_build = nullptr;
};

} // namespace engine_test
