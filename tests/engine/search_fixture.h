#pragma once
// A context of its own for each search test, with its log collected, an injectable clock, and the
// helpers the search tests share. Included by sources of either rule set; everything here is of
// the rule set the including source is compiled for, with internal linkage: the Italian and the
// English sources each have their own.

#include "context.h"
#include "drivers.h"
#include "engine_test_util.h"
#include "movegen.h"
#include "search.h"
#include "search_text.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace search_test {
namespace {

namespace core = marrak;
using core::engine_context;

const engine_position start_position{{0x00000FFFu, 0xFFF00000u}, 0};

// A context ready to search: tables built, an 8 MB table, no time limit, the log kept.
struct fixture {
    std::unique_ptr<engine_context> ctx = std::make_unique<engine_context>();
    std::string log;
    std::int64_t now = 1000000; // milliseconds of the test clock
    char status[ENGINE_STATUS_TEXT_SIZE] = {};
    int playnow = 0;

    explicit fixture(int megabytes = 8) {
        ctx->settings().hash_megabytes = megabytes;
        ctx->init();
        ctx->set_log([this](const char* text) { log += text; });
        ctx->set_clock([this] { return now; });
        ctx->set_status_buffer(status);
        unlimited();
    }
    void unlimited() { core::search::set_request(*ctx, &playnow, 1e9, 1e9, 1e9); }

    // A search from a cleared table and history to iteration `depth`.
    int choose(const engine_position& p, int side, int depth, engine_position& chosen,
               core::search::driver_result& result) {
        ctx->hash().clear();
        ctx->game().clear();
        ctx->control().depth_cap = depth;
        return core::search::choose_move(*ctx, p, side, chosen, &result);
    }

    // The lines of the log that begin with `prefix`.
    std::vector<std::string> log_lines(const std::string& prefix) const {
        std::vector<std::string> lines;
        std::size_t at = 0;
        while (at < log.size()) {
            std::size_t end = log.find('\n', at);
            if (end == std::string::npos) end = log.size();
            const std::string line = log.substr(at, end - at);
            if (line.rfind(prefix, 0) == 0) lines.push_back(line);
            at = end + 1;
        }
        return lines;
    }
};

// The position after each legal move (captures first, as the engine plays).
[[maybe_unused]] std::vector<engine_position> legal_moves(const engine_position& p, int side) {
    move_list list;
    const int n = core::gen::generate_legal(p, list, side);
    return std::vector<engine_position>(list.moves, list.moves + n);
}

[[maybe_unused]] bool contains(const std::vector<engine_position>& moves, const engine_position& p) {
    for (const auto& m : moves)
        if (engine_test::same(m, p)) return true;
    return false;
}

} // namespace
} // namespace search_test
