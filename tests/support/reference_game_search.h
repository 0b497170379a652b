#pragma once
// The database search written plainly, step by step as the program's search is meant to behave: one
// index record, the names through the store's lookups, whole games through ReadGame and a recursive
// walk with ListChildNodes and MakeMove under each game's own variant. Slow, and kept simple on
// purpose: the fast search is checked against it entry for entry, and the benchmark measures it.

#include "gamedb/game_database.h"
#include "gamedb/game_list.h"
#include "gamedb/search_criteria.h"

namespace test_support {

void ReferenceGameSearch(const TGameDatabase& db, TGameList& list, const TSearchCriteria& criteria);
// The walk of one game's tree from its start position: the last matching node, or -1. The board size
// is not checked here.
int ReferencePositionInTree(const TGame& game, const TSearchCriteria& criteria);

} // namespace test_support
