#pragma once
// The opening book as the move choice sees it. No book file is read yet: the book is never loaded
// and answers "none".

#include "engine_api.h"
#include "rules.h"

#include <string>

namespace marrak::inline MARRAK_RULES_NS {

struct opening_book {
    bool loaded = false;
    std::string version; // the file's version text
    int positions = 0;
};

// Loads a book file; false when it cannot be read or is not a book (the old book stays). No book
// format is read yet: every load fails.
bool load_book_file(opening_book& book, const std::string& path);

// A book move for the side to move: 1 with its index in `moves`, its score and the text of the
// choice; 0 when the book has none.
int choose_book_move(const opening_book& book, int kind, const engine_position& position, int side,
                     const move_list& moves, int& index, int& score, std::string& text);

} // namespace marrak::inline MARRAK_RULES_NS
