#pragma once
// The header set: chosen header fields written into every selected game of the list (players,
// tournament, site, date). Interface thread, like the database it works on.

#include "gamedb/game_database.h"
#include "gamedb/game_list.h"

#include <cstdint>
#include <string>

// What to write; a field is written only when its flag is set. Names are CP1251; an empty name
// set on purpose is stored as the empty name.
struct THeaderSet {
    bool setWhite = false, setBlack = false, setTournament = false, setSite = false, setDate = false;
    std::string white, black, tournament, site;
    std::int32_t year = 0, month = 0, day = 0;
};

struct THeaderSetResult {
    TDbStatus status = TDbStatus::Ok;
    std::int32_t changed = 0; // games written before the end or the first failure
};
// Writes the set fields into the header of each selected entry, in list order (new names are added
// to the name lists and the name file rewritten); unselected games are not touched. Stops at the
// first header that cannot be read or written.
THeaderSetResult ApplyHeaderSet(TGameDatabase& db, const TGameList& list, const THeaderSet& set);
