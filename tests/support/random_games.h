#pragma once
// Random legal games and databases for tests, tools and benchmarks.
//
// Every move is drawn from the legal moves of its position (FindMoves of its game's variant), so a
// game exercises the store, the interchange formats, books and searches the way real games do:
// main lines and variations, move and position marks, comments before and after moves, set-up
// starts with either side to move, every result, dates with unknown day, month or year, rounds,
// titles, ratings, the deleted mark, and player, tournament and site names in Latin and Cyrillic
// (CP1251 bytes, as text is stored). Options widen this to what edited or damaged games hold:
// freed and reused node slots, comments of any byte, any annotation word.
//
// Deterministic: the same seed and options give the same games on every platform and compiler
// (std::mt19937 is specified to the bit, and every draw here uses it directly, never a library
// distribution). Not thread-safe: one TRandom per thread.

#include "gamedb/user_prompt.h"
#include "rules/game.h"

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace test_support {

// The one source of draws.
class TRandom {
  public:
    explicit TRandom(std::uint32_t seed) : m_engine(seed) {}
    // 0..n-1 (n >= 1).
    int Below(int n) { return static_cast<int>(m_engine() % static_cast<std::uint32_t>(n)); }
    // lo..hi inclusive.
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    bool Percent(int percent) { return Below(100) < percent; }
    std::uint32_t Next() { return m_engine(); }
    // A raw 32-bit draw, so a test may use it where it used a std::mt19937.
    std::uint32_t operator()() { return m_engine(); }

  private:
    std::mt19937 m_engine;
};

struct TRandomGameOptions {
    TGameType variant = 0;     // 0: one of the seven, drawn per game
    int moves = 40;            // move nodes to add (at most 1,024); fewer when a position has no move
    int variationPercent = 15; // chance that a move branches off an earlier node of the game
    bool header = true;        // names, titles, ratings, countries, date, round, result, deleted mark
    bool comments = true;      // readable comments (Latin and Cyrillic), some over 300 characters
    bool annotations = true;   // move and position marks with their valid codes
    int setUpPercent = 30;     // games that start from a set-up position
    bool freeSlots = false;    // free some leaves and reuse their slots, as editing does
    bool anyBytes = false;     // comments of any byte (CR, LF, NUL) and any annotation word
};

// A game with what a test checks it against.
struct TRandomGame {
    std::unique_ptr<TGame> game;
    std::vector<TBoard> boards; // the position after node n (node 0: the start), for every slot
    std::vector<int> sides;     // the side to move in boards[n]
};

TRandomGame RandomGame(TRandom& random, const TRandomGameOptions& options = {});

// An empty game of `variant` at its standard start position.
std::unique_ptr<TGame> NewGame(TGameType variant);

// A random name (player, tournament or site), Latin or Cyrillic in CP1251; never empty.
std::string RandomPlayerName(TRandom& random);
std::string RandomEventName(TRandom& random);
std::string RandomSiteName(TRandom& random);

// Creates the database `fileName` (its three files replaced) and appends `count` random games with
// the store's own WriteGame, then closes it. `written` (if given) receives the games as stored:
// name numbers, flags, full-move count and block place set by WriteGame. False with `error` set
// when the database cannot be made or a game cannot be stored. Messages of the store go to
// `prompt` (none: silent).
bool WriteRandomDatabase(const std::string& fileName, int count, std::uint32_t seed,
                         const TRandomGameOptions& options = {},
                         std::vector<std::unique_ptr<TGame>>* written = nullptr, std::string* error = nullptr,
                         IUserPrompt* prompt = nullptr);

} // namespace test_support
