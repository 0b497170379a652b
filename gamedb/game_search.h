#pragma once
// The database search: every game of a database is tested against a TSearchCriteria (header first,
// then, when a position is wanted, the game's whole move tree) and the games that pass replace a game
// list, each with the node at which the position was found.
// Interface thread, like GameDatabase.

#include "gamedb/game_database.h"
#include "gamedb/game_list.h"
#include "gamedb/progress.h"
#include "gamedb/search_criteria.h"

#include <cstdint>

// Searches all games 1..game count of `db` (whatever `list` held) and replaces `list` by the found
// ones in game order: not selected, node = the found node (0 without a position search). Shows
// progress "Search", "Searching...", then "Searching, found N..." every 1,000 games. A game whose
// moves cannot be read is not found.
void RunGameSearch(const TGameDatabase& db, TGameList& list, const TSearchCriteria& criteria,
                   IProgress& progress);
// The same on GameDatabase, GameList, SearchCriteria and Progress().
void RunGameSearch();

// The header tests of one game, in the order the search applies them (deleted mark, tournament, year,
// moves, comment and variation flags, names with result and ignore colours). Names are lower-cased
// here. The board size and the position are not part of them.
bool MatchSearchHeader(const TSearchCriteria& criteria, const TGameIndexRecord& record,
                       const std::string& white, const std::string& black, const std::string& tournament);

// Walks the move tree of `g` from its start position (node 0, side = the header's start side) under
// g's own variant, main line first and then the variations in node order, and returns the node of the
// last match in walk order, or -1 when the position occurs nowhere. A node that matches is not looked
// below. A game of the other board size than the criteria's never matches.
int SearchPositionInTree(const TGame& g, const TSearchCriteria& criteria);
