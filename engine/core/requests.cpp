#include "requests.h"

#include "drivers.h"
#include "host_board.h"
#include "search_state.h"
#include "search_text.h"

#include <cstring>

namespace marrak::inline MARRAK_RULES_NS {

request_limits limits_for(double maxtime, int info) {
    double t = search::request_seconds(maxtime);
    if (info & 4) t *= 0.1;
    const double soft = t * 0.5;
    return {soft, soft, (info & 2) ? t : t * 4.0};
}

int play_move_request(engine_context& ctx, host_board* board, int color, double maxtime, char* status_text,
                      int* playnow, int info, host_move* move) {
    if (!board) return ENGINE_UNKNOWN;
    std::lock_guard lock(ctx.engine_mutex());
    // The search polls the word; without one from the caller it polls the context's own.
    int* word = playnow ? playnow : ctx.own_playnow();
    std::atomic_ref<int>(*word).store(0, std::memory_order_relaxed);
    // The search's texts need a buffer; without one from the caller they go to a scratch one.
    char scratch[ENGINE_STATUS_TEXT_SIZE];
    char* status = status_text ? status_text : scratch;
    ctx.set_status_buffer(status);

    const engine_position before = host::board_to_position(*board);
    text::write_status(status, "Thinking...");
    const request_limits l = limits_for(maxtime, info);
    search::set_request(ctx, word, l.soft, l.step, l.hard);
    if (info & 1) ctx.game().clear();
    ctx.init();
    open_endgame_db(ctx, status);

    const int side = color == 1 ? 1 : 0;
    engine_position after = before;
    const int result = ctx.settings().allscores ? search::choose_move_allscores(ctx, before, side, after)
                                                : search::choose_move(ctx, before, side, after);
#if MARRAK_ITALIAN
    if (move) {
        std::memset(move, 0, sizeof *move);
        host::build_host_move(before, after, color, *move);
    }
#else
    (void)move;
#endif
    host::position_to_board(after, *board);
    std::atomic_ref<int>(*word).store(0, std::memory_order_relaxed);
    ctx.set_status_buffer(nullptr);
    return result;
}

} // namespace marrak::inline MARRAK_RULES_NS
