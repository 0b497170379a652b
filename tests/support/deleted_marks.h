#pragma once
// The deleted marks of a database's index records, set and read back by tests.

#include "gamedb/game_database.h"

#include <vector>

namespace test_support {

// Marks exactly `games` deleted and clears the mark of every other game; false when a record cannot
// be read or written.
bool SetDeletedMarks(TGameDatabase& db, const std::vector<int>& games);
// The games whose index record carries the deleted mark, in order; a record that cannot be read
// stands as its negative number, so that no expected list matches.
std::vector<int> DeletedMarks(const TGameDatabase& db);

} // namespace test_support
