#pragma once
// The lines vqdb prints: per game, tab-separated, its number, White, Black, tournament, site,
// date (yyyy.mm.dd), result, "D" when marked deleted or "-", and the main line in full notation
// with ":" for captures; a damaged game gives its number and "damaged". Names are turned from
// CP1251 into UTF-8 for the terminal.

#include "gamedb/game_database.h"

#include <cstdint>
#include <ostream>

std::string DumpGameLine(const TGameDatabase& db, std::int32_t n, TGame& scratch);
// Every game of an open database; returns the number of damaged games.
int DumpDatabase(const TGameDatabase& db, std::ostream& out);
