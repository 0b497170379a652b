#include "endgame_db.h"

namespace marrak::inline MARRAK_RULES_NS {

void open_endgame_db(endgame_db&, const engine_settings&, char*) {}

void close_endgame_db(endgame_db& db) {
    for (egdb_driver** h : {&db.handle, &db.mtc}) {
        if (*h && (*h)->close) (*h)->close(*h);
        *h = nullptr;
    }
}

void identify_endgame_db(endgame_db& db, const engine_settings&) {
    db.usable_pieces = 0;
    db.kind_name.clear();
}

int list_db_moves(const endgame_db&, const engine_position&, int, const move_list&, int&, int&,
                  std::string&) {
    return 0;
}

int db_move_check(const endgame_db&, int, const engine_position&, const move_list&, int, int&) {
    return 0;
}

} // namespace marrak::inline MARRAK_RULES_NS
