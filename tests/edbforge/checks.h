#pragma once
// Checks of generated tables shared by the fast and the slow suites.

#include <string>

namespace check {

// Every entry of the tables of 2 to `pieces` pieces in `dir` against the naive solver.
void compare_with_naive(const std::string& dir, int pieces);

// Random positions of every class of `pieces` pieces: each win or loss that a table-free search of
// `depth` plies proves on the host rules must be the table's; returns the number proven.
int compare_with_search(const std::string& dir, int pieces, int per_class, int depth);

} // namespace check
