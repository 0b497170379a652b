#pragma once
// Test helpers: the generator's board seen through the host's Russian rules (another board, another
// numbering, another move generator), random placements of a class, and running the program.

#include "edbforge/board.h"
#include "edbforge/index.h"
#include "rules/board.h"

#include <random>
#include <string>

namespace bridge {

// Host square (1..32, side 0 = White at the bottom) of a generator square (0 = b8 .. 31 = g1).
inline int host_square(int sq) {
    const int r = sq / 4;
    const int file = 2 * (sq % 4) + (r % 2 == 0 ? 1 : 0);
    return XYToSquare(file, 7 - r, 1);
}

inline TBoard to_host(const gen::board& b) {
    TBoard t;
    for (int s = 0; s < 32; ++s) {
        const std::uint8_t p = b.at_square(s);
        t[host_square(s)] = p == gen::white_man    ? sqMan0
                            : p == gen::white_king ? sqKing0
                            : p == gen::black_man  ? sqMan1
                            : p == gen::black_king ? sqKing1
                                                   : sqEmpty;
    }
    return t;
}

inline void from_host(const TBoard& t, gen::board& b) {
    b.clear_board();
    for (int s = 0; s < 32; ++s) {
        const int v = t[host_square(s)];
        if (v != 0)
            b.put_piece(s, v == sqMan0    ? gen::white_man
                           : v == sqKing0 ? gen::white_king
                           : v == sqMan1  ? gen::black_man
                                          : gen::black_king);
    }
}

// A random legal placement of the class (men off their last rows, no square shared).
inline void random_position(const idx::material& m, std::mt19937& rng, gen::board& b) {
    for (;;) {
        std::uniform_int_distribution<std::uint32_t> pick(0,
                                                          static_cast<std::uint32_t>(idx::class_size(m) - 1));
        if (idx::decode_position(m, pick(rng), b)) return;
    }
}

// Runs the generator program in `dir` with `input` on standard input; returns its exit status and
// fills `output` with what it printed (both streams).
int run_program(const std::string& dir, const std::string& input, const std::string& args,
                std::string& output);
// The same with standard output sent to `stdout_path`; `output` gets standard error only.
int run_program_to(const std::string& dir, const std::string& input, const std::string& args,
                   const std::string& stdout_path, std::string& output);

} // namespace bridge
