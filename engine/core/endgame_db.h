#pragma once
// The endgame database as the search sees it: the value database's driver handle, how many pieces
// it may answer for, and the move choices that need it. Until a database is identified and opened
// the handle is null, the usable piece count 0 and every choice answers "none"; tests put a driver
// of their own in.

#include "egdb/egdb.h"
#include "engine_api.h"
#include "rules.h"
#include "settings.h"

#include <string>

namespace marrak::inline MARRAK_RULES_NS {

struct endgame_db {
    egdb_driver* handle = nullptr; // the value database, or null
    egdb_driver* mtc = nullptr;    // the distance-to-conversion database, or null
    int usable_pieces = 0;         // 0: no database in use
    std::string kind_name;         // of the identified database, for the about text
    int side_limit = 0;            // the most pieces a side may have for a probe

    // The driver's value for the side to move (1 win, 2 loss, 3 draw, 4 at best a draw, 5 at
    // least a draw; anything else: not known). 0 without a handle.
    int lookup(const engine_position& position, int side, int conditional) const {
        if (!handle || !handle->lookup) return 0;
        engine_position p = position;
        return handle->lookup(handle, &p, side, conditional);
    }
};

// Opens the value database at a move request when it is identified and not yet open, reporting in
// the status text. No database is identified yet: nothing to do.
void open_endgame_db(endgame_db& db, const engine_settings& settings, char* status_text);

// Closes both databases (each handle once) and forgets them.
void close_endgame_db(endgame_db& db);
// Looks for a database in the settings' folder and notes what is usable. No kinds are known yet:
// nothing is identified.
void identify_endgame_db(endgame_db& db, const engine_settings& settings);

// A move from the database with distance-to-conversion values: 1 with the move's index, its value
// and the listing in `text`. None yet (0).
int list_db_moves(const endgame_db& db, const engine_position& position, int side, const move_list& moves,
                  int& index, int& value, std::string& text);
// A searched move that the database corrects: 1 with the better move's index. None yet (0).
int db_move_check(const endgame_db& db, int side, const engine_position& position, const move_list& moves,
                  int chosen, int& index);

} // namespace marrak::inline MARRAK_RULES_NS
