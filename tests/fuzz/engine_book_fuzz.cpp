// An engine opening-book file as the engine reads it: header, kings table and entries, then the
// probe and the move choice over the positions the book itself names. Built once per core
// (MARRAK_ITALIAN 0 or 1).
#include "book.h"
#include "movegen.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    marrak::opening_book book;
    if (!marrak::load_book_image(book, data, size, "fuzz.odb")) {
        if (book.loaded) std::abort();
        return 0;
    }
    if (book.entries.empty() || book.probe_limit == 0 || book.probe_limit > book.entries.size()) std::abort();
    static move_list moves;
    const marrak::history::game_history history;
    // The start position and the first positions of the table, with the kings their entries name.
    std::vector<std::pair<engine_position, int>> positions{{{{0x00000FFFu, 0xFFF00000u}, 0}, 0},
                                                           {{{0x00000FFFu, 0xFFF00000u}, 0}, 1}};
    for (const marrak::book_entry& e : book.entries) {
        if (positions.size() >= 6) break;
        if (e.colour2 == 0) continue;
        const std::uint32_t k = e.info >> 10 & 0x1fff;
        const std::uint32_t kings = (e.info & 1) && k < book.kings.size() ? book.kings[k] : 0;
        positions.push_back({{{e.colour2, e.colour1}, kings}, int(e.info >> 1 & 1)});
    }
    for (const auto& [p, side] : positions) {
        const engine_position q = marrak::gen::normalized(p);
        marrak::gen::generate_legal(q, moves, side);
        for (int kind = 1; kind <= 3; ++kind) {
            int index = -1, score = 0;
            std::string text;
            if (marrak::choose_book_move(book, kind, q, side, moves, history, index, score, text) &&
                (index < 0 || index >= int(moves.count) || text.empty()))
                std::abort();
        }
    }
    return 0;
}
