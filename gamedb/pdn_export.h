#pragma once
// PDN export: games as PDN text, CP1251 with CR LF line ends, that this program and others read
// back. Per game: the tags (White and Black by the variant's colours, Event, Site, Round, Date with
// "?" for unknown parts, Termination for a loss on time, Result, GameType, and FEN for a set-up
// start or when the other side moves first), an empty line, the whole move tree on one line
// (comments in braces, marks as numeric annotation glyphs, variations nested in parentheses,
// no move numbers), the result, and an empty line.
// Re-entrant; the export of a list runs on the thread that owns the database.

#include "gamedb/game_database.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

class IProgress;

// The FEN tag line of the game's start ("[FEN \"W:W21,22:B1,2.\"]" with CR LF), or "" for the
// variant's standard start with the first side to move.
std::string WritePdnFen(const TGame& g);

// The whole PDN text of one game.
std::string PdnGameText(const TGame& g);

// Appends one game to `out`; false when the stream fails.
bool WritePdnGame(const TGame& g, std::ostream& out);

struct TPdnExportResult {
    bool ok = true;
    std::int64_t written = 0; // games written
    std::int64_t damaged = 0; // games that could not be read from the database, not written
    std::string message;      // for the user (CP1251), "" when all went well
};

// The file an export to the name the user chose writes: that name without its extension + ".pdn".
std::string PdnExportFileName(const std::string& chosen);

// Appends games `games` (numbers in `db`, in this order) to the file `pdnFileName` (created when
// missing), with progress "Export to PDN" stepped every 100th game. A failed open or write stops the
// export and is reported in the result; the games written before stay in the file.
TPdnExportResult ExportPdnGames(const TGameDatabase& db, const std::vector<std::int32_t>& games,
                                const std::string& pdnFileName, IProgress& progress);
