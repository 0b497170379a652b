#pragma once
// Searches the signature positions as the signature defines it: a cleared table and game history
// before each, iterations up to a cap, no time limit. Of the rule set the including source is
// built for (internal linkage: each source has its own).

#include "context.h"
#include "drivers.h"
#include "search_text.h"
#include "signature_positions.h"

#include <cstdint>
#include <memory>
#include <string>

namespace signature_run {
namespace {

struct result {
    std::string move; // in the library's numbering
    int value = 0;
    std::uint32_t nodes = 0;
};

[[maybe_unused]] std::unique_ptr<marrak::engine_context> make_context() {
    auto ctx = std::make_unique<marrak::engine_context>();
    ctx->settings().hash_megabytes = signature::hash_megabytes;
    ctx->init();
    return ctx;
}

[[maybe_unused]] result run(marrak::engine_context& ctx, const signature::position& s,
                            int depth = signature::depth) {
    ctx.hash().clear();
    ctx.game().clear();
    ctx.control().depth_cap = depth;
    marrak::search::set_request(ctx, nullptr, 1e9, 1e9, 1e9);
    engine_position chosen;
    marrak::search::driver_result r;
    marrak::search::choose_move(ctx, s.p, s.side, chosen, &r);
    return result{marrak::text::move_to_text(s.p, chosen), r.value, ctx.control().nodes};
}

} // namespace
} // namespace signature_run
