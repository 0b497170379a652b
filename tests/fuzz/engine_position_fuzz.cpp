// Positions as a host hands them to an engine library (get_best_moves, build_movelist): three
// little-endian words (colour 2, colour 1, kings) and a side byte, whatever their bits say.
// Squares in both colour words, kings on empty squares and more than twelve pieces a side must
// neither crash nor hang the evaluation; the search, the scoring and the texts get the position as
// get_best_moves passes it on (a square both colours claim is empty).
#include "context.h"
#include "drivers.h"
#include "evaluation.h"
#include "movegen.h"
#include "search_text.h"

#include <cstdint>
#include <memory>

namespace {

std::uint32_t word_at(const std::uint8_t* data, std::size_t size, std::size_t at) {
    std::uint32_t w = 0;
    for (std::size_t i = 0; i < 4; ++i)
        if (at + i < size) w |= std::uint32_t{data[at + i]} << (8 * i);
    return w;
}

marrak::engine_context& context() {
    static const std::unique_ptr<marrak::engine_context> ctx = [] {
        auto c = std::make_unique<marrak::engine_context>();
        c->settings().hash_megabytes = 8;
        c->init();
        return c;
    }();
    return *ctx;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const engine_position raw{{word_at(data, size, 0), word_at(data, size, 4)}, word_at(data, size, 8)};
    const int side = size > 12 ? data[12] & 1 : 0;
    marrak::engine_context& ctx = context();
    marrak::eval::evaluate(raw, 0);
    marrak::eval::evaluate(raw, 1);
    (void)marrak::text::board_diagram(raw);
    const engine_position p = marrak::gen::normalized(raw);

    char status[ENGINE_STATUS_TEXT_SIZE];
    ctx.set_status_buffer(status);
    ctx.game().clear();
    ctx.control().depth_cap = 3;
    int playnow = 0;
    marrak::search::set_request(ctx, &playnow, 1e9, 1e9, 1e9);
    engine_position chosen;
    marrak::search::driver_result r;
    marrak::search::choose_move(ctx, p, side, chosen, &r);
    (void)marrak::text::move_to_text(p, chosen);

    static move_list moves;
    static int values[ENGINE_MAX_MOVES];
    int margin = 0;
    ctx.control().depth_cap = 1;
    marrak::search::get_best_moves(ctx, p, side, 1.0, &playnow, 0, 10, &moves, values, 1, &margin);
    ctx.set_status_buffer(nullptr);
    return 0;
}
