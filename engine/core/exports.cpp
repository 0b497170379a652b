// The exported functions: translate between the plug-in interface and the engine core.

#include "context.h"
#include "movegen.h"

extern "C" ENGINE_EXPORT int build_movelist(const engine_position* position, int side, move_list* list) {
    if (!position || !list) return 0;
    marrak::context().init();
    return marrak::gen::generate_legal(*position, *list, side != 0 ? 1 : 0);
}
