// One rule set's self-play for the pair-table tool: fixed-depth games from random openings; every
// position's legal moves count as available and the searched move as chosen, per stage.

#include "pair_stats.h"

#include "context.h"
#include "drivers.h"
#include "movegen.h"
#include "pair_tables.h"

#include <bit>
#include <memory>
#include <random>

namespace pair_tool {
namespace {

namespace core = marrak;

void count_moves(pair_stats& stats, const engine_position& p, const move_list& moves, int side, int chosen) {
    const int stage = core::order::stage_of(std::popcount(p.pieces[0] | p.pieces[1]));
    for (std::uint32_t i = 0; i < moves.count; ++i) {
        const std::uint32_t from = p.pieces[side] & ~moves.moves[i].pieces[side];
        const std::uint32_t to = moves.moves[i].pieces[side] & ~p.pieces[side];
        if (!from || !to) continue; // a king's round trip names no pair
        const int king = (p.kings & from) ? 1 : 0;
        auto& c = stats.table[king][stage][std::countr_zero(from)][std::countr_zero(to)];
        ++c.available;
        if (static_cast<int>(i) == chosen) ++c.chosen;
    }
    ++stats.positions;
}

} // namespace

#if MARRAK_ITALIAN
void self_play_italian(pair_stats& stats, const play_options& options) {
#else
void self_play_english(pair_stats& stats, const play_options& options) {
#endif
    auto ctx = std::make_unique<core::engine_context>();
    ctx->init();
    ctx->control().depth_cap = options.depth;
    std::mt19937 rng(options.seed);
    move_list moves;
    for (int game = 0; game < options.games; ++game) {
        ctx->game().clear();
        ctx->hash().clear();
        engine_position p{{0x00000FFFu, 0xFFF00000u}, 0};
        int side = 0;
        for (int ply = 0; ply < options.max_plies; ++ply, side = 1 - side) {
            if (ply < options.opening_plies) {
                const int n = core::gen::generate_legal(p, moves, side);
                if (n == 0) break;
                p = moves.moves[rng() % n];
                continue;
            }
            core::search::set_request(*ctx, nullptr, 1e9, 1e9, 1e9);
            engine_position chosen;
            core::search::driver_result result;
            core::search::choose_move(*ctx, p, side, chosen, &result);
            if (result.best_index < 0) break;
            count_moves(stats, p, ctx->tables().root_moves, side, result.best_index);
            p = chosen;
            if (!p.pieces[0] || !p.pieces[1]) break;
        }
    }
}

} // namespace pair_tool
