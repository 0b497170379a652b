// What an endgame-database driver answers, as the engine library takes it: the kind and piece
// count it reports, whether it opens, and the value and distance of every position it is asked
// about, all drawn from the input, over a position of at most ten pieces drawn from it too. Values
// outside the known ones, distances of any size and databases that contradict themselves must
// neither crash nor hang the value search, the move check or the listing.
#include "context.h"
#include "endgame_db.h"
#include "history.h"
#include "movegen.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

// Answers from a table of input bytes, picked by a hash of the question.
struct byte_driver : egdb_driver {
    const std::uint8_t* table = nullptr;
    std::size_t size = 0;
    int spread = 0; // values 0..spread-1, shifted down by 2 (so a few are negative)
    int closes = 0;
    byte_driver() : egdb_driver{&lookup_entry, nullptr, nullptr, nullptr, &close_entry} {}
    static int lookup_entry(egdb_driver* handle, engine_position* p, int side, int) {
        auto* self = static_cast<byte_driver*>(handle);
        if (self->size == 0) return 0;
        std::uint32_t h = p->pieces[0] * 0x9e3779b1u ^ p->pieces[1] * 0x85ebca6bu ^ p->kings * 0xc2b2ae35u;
        h ^= static_cast<std::uint32_t>(side) * 0x27d4eb2fu;
        h ^= h >> 15;
        return static_cast<int>(self->table[h % self->size]) % self->spread - 2;
    }
    static void close_entry(egdb_driver* handle) { ++static_cast<byte_driver*>(handle)->closes; }
};

// At most ten pieces: the squares beyond the tenth are emptied.
engine_position at_most_ten(engine_position p) {
    while (marrak::history::piece_count(p) > 10) {
        const std::uint32_t all = p.pieces[0] | p.pieces[1];
        const std::uint32_t top = 1u << (31 - std::countl_zero(all));
        p.pieces[0] &= ~top;
        p.pieces[1] &= ~top;
    }
    return marrak::gen::normalized(p);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::unique_ptr<marrak::engine_context> ctx = [] {
        auto c = std::make_unique<marrak::engine_context>();
        c->settings().hash_megabytes = 1;
        c->init();
        return c;
    }();
    // The head: three words of the position (little-endian), the side, the kind, the piece count
    // and whether the open succeeds; the rest is the driver's answer table.
    std::uint8_t head[16] = {};
    std::memcpy(head, data, std::min(size, sizeof head));
    std::uint32_t words[3];
    for (int w = 0; w < 3; ++w)
        words[w] = std::uint32_t{head[4 * w]} | std::uint32_t{head[4 * w + 1]} << 8 |
                   std::uint32_t{head[4 * w + 2]} << 16 | std::uint32_t{head[4 * w + 3]} << 24;
    const engine_position p = at_most_ten({{words[0], words[1]}, words[2]});
    const int side = head[12] & 1;
    const int kind = static_cast<int>(head[13] % 12) - 1;
    const int pieces = head[14] % 14;
    const bool opens = head[15] & 1;
    const std::uint8_t* rest = size > 16 ? data + 16 : data;
    const std::size_t rest_size = size > 16 ? size - 16 : 0;

    byte_driver values, mtc;
    values.table = mtc.table = rest;
    values.size = mtc.size = rest_size;
    values.spread = 10;
    mtc.spread = 400;

    // Identification and opening with what the driver reports.
    ctx->settings().mtc_path = rest_size & 1 ? "mtc" : "";
    ctx->egdb().identify = [&](const char*, int* k, int* n) {
        *k = kind;
        *n = pieces;
        return pieces == 13 ? 1 : 0;
    };
    ctx->egdb().open = [&](int, int, int, const char* directory) -> egdb_driver* {
        if (!opens) return nullptr;
        return std::string_view(directory).ends_with("mtc") ? static_cast<egdb_driver*>(&mtc) : &values;
    };
    ctx->set_pause([](int) {});
    char status[ENGINE_STATUS_TEXT_SIZE];
    marrak::identify_endgame_db(*ctx);
    marrak::open_endgame_db(*ctx, status);
    marrak::close_endgame_db(ctx->db());

    // The choices over the position, with both databases open.
    marrak::endgame_db db;
    db.handle = &values;
    db.mtc = &mtc;
    db.usable_pieces = 10;
    (void)marrak::db_value(&values, p, side);
    static move_list moves;
    const int n = marrak::gen::generate_legal(p, moves, side);
    int index = 0, value = 0;
    if (n > 0) (void)marrak::db_move_check(db, side, p, moves, rest_size % n, index);
    std::string text;
    (void)marrak::list_db_moves(db, p, side, moves, index, value, text);
    return 0;
}
