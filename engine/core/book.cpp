#include "book.h"

namespace marrak::inline MARRAK_RULES_NS {

bool load_book_file(opening_book&, const std::string&) {
    return false;
}

int choose_book_move(const opening_book& book, int kind, const engine_position&, int, const move_list&, int&,
                     int&, std::string&) {
    if (!book.loaded || kind == 0) return 0;
    return 0;
}

} // namespace marrak::inline MARRAK_RULES_NS
