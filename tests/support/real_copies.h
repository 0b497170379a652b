#pragma once
// Which games of a database are real copies of an earlier one, decided without the matcher: two
// games are copies when they are of the same variant, start from the same position and have the
// same main line move for move (from square, captured squares and landing squares), and that main
// line holds at least one move. The main line is walked with ListChildNodes (at each node the first
// child in list order that carries the main-line flag). For checking "Match games" by hand (the
// checker tool of tools/vqdbgen) and in tests.

#include "gamedb/game_database.h"
#include "rules/game.h"

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace test_support {

// The main line of `g` as its moves, each the bytes that make the move (from, capture count and the
// squares it uses).
std::vector<std::vector<std::uint8_t>> MainLineMoves(const TGame& g);

class TRealCopies {
  public:
    // Adds game `number` (numbers rise with each call); returns the number of the earliest game
    // added before it that it is a copy of, or 0 when there is none.
    int Add(int number, const TGame& g);
    // Games without a move on their main line, counted by Add: they are no one's copy.
    int WithoutMoves() const { return m_withoutMoves; }

  private:
    using TKey = std::tuple<int, std::string, std::vector<std::vector<std::uint8_t>>>;
    std::map<TKey, int> m_first;
    int m_withoutMoves = 0;
};

// For every game 1..count of `db` read with ReadGame: the earliest game it is a copy of, or 0
// (index 0 unused). A game that cannot be read stands as -1.
std::vector<int> EarliestRealCopies(const TGameDatabase& db);

} // namespace test_support
