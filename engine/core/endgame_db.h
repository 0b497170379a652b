#pragma once
// The endgame databases as the engine uses them: identification in the settings' folder, opening
// at a move request, the exact value of a position with its captures played out, the check that
// corrects a searched move, and the move listing with distance-to-conversion values. The driver
// is reached through the context's entry points, so tests put a scripted one in.

#include "egdb/egdb.h"
#include "engine_api.h"
#include "rules.h"
#include "settings.h"

#include <functional>
#include <string>

namespace marrak::inline MARRAK_RULES_NS {

class engine_context;

// The driver's two entry points (the exported egdb_identify and egdb_open by default). `open`
// hands the driver's messages to the library's log.
struct egdb_entry_points {
    std::function<int(const char* directory, int* kind, int* pieces)> identify;
    std::function<egdb_driver*(int options, int pieces, int cache_megabytes, const char* directory)> open;
};
egdb_entry_points default_egdb_entry_points();

struct endgame_db {
    egdb_driver* handle = nullptr; // the value database, or null
    egdb_driver* mtc = nullptr;    // the distance-to-conversion database, or null
    bool found = false;            // from the last identification
    int kind = -1;
    int found_pieces = 0;
    int usable_pieces = 0; // 0: no database in use
    std::string kind_name; // of the identified database, for the about text
    int side_limit = 0;    // the most pieces a side may have for a probe

    // The driver's value for the side to move (1 win, 2 loss, 3 draw, 4 at best a draw, 5 at
    // least a draw; anything else: not known). 0 without a handle.
    int lookup(const engine_position& position, int side, int conditional) const {
        if (!handle || !handle->lookup) return 0;
        engine_position p = position;
        return handle->lookup(handle, &p, side, conditional);
    }
};

// The name the engine shows for a database kind.
const char* db_kind_name(int kind);

// Looks for a database in the settings' folder, logging the settings, and notes how many pieces
// are usable (the `dbpieces` limit when it is set and within what was found; 0 when nothing was).
void identify_endgame_db(engine_context& ctx);
// At a move request: opens the identified value database (and the distance-to-conversion one
// when its folder is set) unless one is open or none is usable, reporting in `status_text` (may
// be null). A database that cannot be used is dropped after a pause.
void open_endgame_db(engine_context& ctx, char* status_text);
// Closes both databases (each handle once) and forgets them.
void close_endgame_db(endgame_db& db);
// After the distance-to-conversion folder changed: an open one is opened again there.
void reopen_mtc_db(engine_context& ctx);

// The value of a position for the side to move (side 1: colour 1), with the captures that either
// side has played out first: 0 unknown, 1 win, 2 loss, 3 draw, 4 at best a draw, 5 at least a
// draw. 0 without a handle.
int db_value(egdb_driver* handle, const engine_position& position, int side);

// A searched move that the database corrects (a win thrown away, a draw lost): 1 with the index
// of the first move that keeps the value.
int db_move_check(const endgame_db& db, int side, const engine_position& position, const move_list& moves,
                  int chosen, int& index);

// A won or lost position with distance-to-conversion values: 1 with the chosen move's index, the
// score that judges the game (won for the winner) and the listing in `text`; `distance` (may be
// null) gets the chosen move's distance as the text shows it.
int list_db_moves(const endgame_db& db, const engine_position& position, int side, const move_list& moves,
                  int& index, int& value, std::string& text, int* distance = nullptr);

} // namespace marrak::inline MARRAK_RULES_NS
