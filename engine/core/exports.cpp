// The exported functions: translate between the plug-in interface and the engine core.

#include "commands.h"
#include "context.h"
#include "drivers.h"
#include "host_board.h"
#include "movegen.h"
#include "requests.h"
#include "search_text.h"

#include <cstdio>
#include <ctime>
#include <mutex>

namespace {

using marrak::engine_name;
using marrak::engine_version;
constexpr const char* help_file = marrak::italian_rules ? "MarrakItalianHelp.htm" : "MarrakHelp.htm";

// The last value DebugFunction1 read.
std::clock_t debug_clock = 0;

} // namespace

extern "C" ENGINE_EXPORT int getmove(host_board* board, int color, double maxtime, char* status_text,
                                     int* playnow, int info, int /*moreinfo*/, host_move* move) {
    return marrak::play_move_request(marrak::context(), board, color, maxtime, status_text, playnow, info,
                                     move);
}

extern "C" ENGINE_EXPORT int enginecommand(const char* command, char* reply) {
    return marrak::run_engine_command(marrak::context(), command, reply);
}

extern "C" ENGINE_EXPORT int engineabout(void* /*window*/) {
    marrak::engine_context& ctx = marrak::context();
    ctx.init();
    std::string text;
    {
        std::lock_guard lock(ctx.engine_mutex());
        text = marrak::format_about_text(ctx);
    }
    // No window here: the text goes to the standard error and the log.
    std::fprintf(stderr, "engine info:\n%s", text.c_str());
    ctx.log(text.c_str());
    return 1;
}

extern "C" ENGINE_EXPORT int enginename(char* buffer) {
    if (buffer)
        std::snprintf(buffer, ENGINE_STATUS_TEXT_SIZE, "%s %s by Fenwold", engine_name, engine_version);
    return 1;
}

extern "C" ENGINE_EXPORT int engineoptions(void* /*window*/) {
    std::fputs("engine options: This engine has no options\n", stderr);
    return 1;
}

extern "C" ENGINE_EXPORT int enginehelp(char* buffer) {
    marrak::context().init();
    if (buffer) std::snprintf(buffer, ENGINE_STATUS_TEXT_SIZE, "%s", help_file);
    return 1;
}

extern "C" ENGINE_EXPORT int protocolversion(void) {
    return 2;
}

extern "C" ENGINE_EXPORT int staticevaluation(host_board* board, int /*color*/, char* reply) {
    // The position is converted and nothing else: this engine has no static evaluation to report.
    if (board) (void)marrak::host::board_to_position(*board);
    if (reply) std::snprintf(reply, ENGINE_STATUS_TEXT_SIZE, "This engine does not use static evaluation\n");
    return 1;
}

#if MARRAK_ITALIAN
// Only the Italian library fills move records.
extern "C" ENGINE_EXPORT int islegal(host_board* board, int color, int from, int to, host_move* move) {
    if (!board || !move) return 0;
    marrak::engine_context& ctx = marrak::context();
    ctx.init();
    std::lock_guard lock(ctx.engine_mutex());
    return marrak::host::find_legal_move(marrak::host::board_to_position(*board), color, from, to, *move) ? 1
                                                                                                          : 0;
}
#endif

extern "C" ENGINE_EXPORT int DebugFunction1(void) {
    debug_clock = std::clock();
    return static_cast<int>(debug_clock);
}

extern "C" ENGINE_EXPORT void DebugFunction2(int /*value*/) {}

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
