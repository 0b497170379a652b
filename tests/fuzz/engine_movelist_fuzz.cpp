// The position a host hands the engine plug-ins' build_movelist: three 32-bit words that may
// describe anything, pieces of both sides on one square and kings on empty squares included.
// Built once per core (MARRAK_ITALIAN 0 or 1).
#include "movegen.h"
#include "platform/byte_codec.h"

#include <bit>
#include <cstdint>
#include <cstdlib>

namespace {
bool Sound(const engine_position& p) {
    return (p.pieces[0] & p.pieces[1]) == 0 && (p.kings & ~(p.pieces[0] | p.pieces[1])) == 0;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 13) return 0;
    const engine_position p{{GetLe32(data), GetLe32(data + 4)}, GetLe32(data + 8)};
    const int side = data[12] & 1;
    static move_list list;
    const int n = marrak::gen::generate_legal(p, list, side);
    if (n < 0 || n > ENGINE_MAX_MOVES || static_cast<std::uint32_t>(n) != list.count) std::abort();
    if (!Sound(p)) return 0;
    // From a sound position every move keeps the mover's pieces and never adds the opponent's.
    for (int i = 0; i < n; ++i) {
        const engine_position& q = list.moves[i];
        if (!Sound(q)) std::abort();
        if (std::popcount(q.pieces[side]) != std::popcount(p.pieces[side])) std::abort();
        if (std::popcount(q.pieces[1 - side]) > std::popcount(p.pieces[1 - side])) std::abort();
    }
    return 0;
}
