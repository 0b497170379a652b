// The exported functions: translate between the plug-in interface and the engine core.

#include "context.h"
#include "drivers.h"
#include "movegen.h"

#include <mutex>

extern "C" ENGINE_EXPORT int build_movelist(const engine_position* position, int side, move_list* list) {
    if (!position || !list) return 0;
    marrak::context().init();
    return marrak::gen::generate_legal(*position, *list, side != 0 ? 1 : 0);
}

extern "C" ENGINE_EXPORT int get_best_moves(engine_position* position, int side, double maxtime,
                                            char* status_text, int* playnow, int info, int margin,
                                            move_list* moves, int* values, int fixed_depth, int* margin_out) {
    if (!position) return 0;
    marrak::engine_context& ctx = marrak::context();
    // Also as the first call: a search needs the tables, and no other request may run meanwhile.
    ctx.init();
    std::lock_guard lock(ctx.engine_mutex());
    ctx.set_status_buffer(status_text);
    // Positions from outside may claim a square for both colours: it counts as empty.
    const engine_position p = marrak::gen::normalized(*position);
    const int result = marrak::search::get_best_moves(ctx, p, side != 0 ? 1 : 0, maxtime, playnow, info,
                                                      margin, moves, values, fixed_depth, margin_out);
    ctx.set_status_buffer(nullptr);
    return result;
}
