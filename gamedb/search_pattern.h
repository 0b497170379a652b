#pragma once
// The position pattern of a database search as a board: its colour-reversed form and the square by
// square test of a board against either. The search's tree walk compares the same patterns as bit
// masks (gamedb/search_tree.h). Plain values; any thread.

#include "gamedb/search_criteria.h"
#include "rules/board.h"

// The pattern turned by 180 degrees with the colours swapped, over `squares` squares: square i gets
// the negated value of square squares + 1 - i ("any" stays "any").
TSearchPattern ReversedPattern(const TSearchPattern& pattern, int squares);

// True when each square 1..squares of the pattern is "any" or equals the board's square.
bool MatchSearchPattern(const TSearchPattern& pattern, const TBoard& board, int squares);
// The same with the reversed pattern of `pattern`.
bool MatchReversedPattern(const TSearchPattern& pattern, const TBoard& board, int squares);
