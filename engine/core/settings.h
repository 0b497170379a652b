#pragma once
// The engine's settings with their defaults. The exports' set-up and text commands change them;
// the search reads the depth-and-flag word and the database piece limit.

#include "rules.h"

#include <string>

namespace marrak::inline MARRAK_RULES_NS {

struct engine_settings {
    int hash_megabytes = 16;
    int book = 1;      // 0 off, 1 all kinds, 2 good, 3 best
    int allscores = 0; // non-zero: choose with a score for every move
    int db_megabytes = 0;
    std::string db_path = "db";
    std::string mtc_path;
    int db_pieces = 0; // 0: no limit
    int cl = 5;        // the search's depth-and-flag word
    int p1 = 16, p2 = 0;
    std::string book_file = italian_rules ? "marrak_italian.odb" : "Marrak.odb";
};

} // namespace marrak::inline MARRAK_RULES_NS
