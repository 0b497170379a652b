#pragma once
// Engine matches: the built-in engine at its strongest (player A) against the outside engine Oskeen
// (player B). Each of the first games of a source database is continued from the end of its main
// line twice, with the colours exchanged, on the game session of the main window; every game is
// appended to a destination database that the match creates empty. The information panel shows
// the score after each game ("+3-1=4" for A).
//
// Threads: Prepare on the user-interface thread; Run on the engine worker (StartEngineWorker), the
// only worker while it runs. The match touches no widget, and goes through each game without
// stopping the engine (it is the engine). STOP stops the move in progress; the game is stored and
// the match ends.

#include "app/core/engine_state.h"
#include "gamedb/game_database.h"
#include "rules/game.h"

#include <cstdint>
#include <memory>
#include <string>

struct TMatchOptions {
    int games = 100;            // source games played, each twice
    std::int32_t clock = 60000; // each side's clock at the start of a game, centiseconds
};

// Of player A.
struct TMatchTally {
    int wins = 0, losses = 0, draws = 0;
    bool operator==(const TMatchTally&) const = default;
};
// "+3-1=4".
std::string TallyText(const TMatchTally& t);
// Counts `result` for player A, who played side `aSide` in `variant`: a win of the colour that
// side plays is A's win (side 0 is Black in English and Pool).
void CountResult(TMatchTally& t, std::uint8_t result, int aSide, TGameType variant);

TEngineSettings MatchPlayerA();
TEngineSettings MatchPlayerB(const std::string& oskeenName);

// A source game made a match game: no result, the variant `variant`, the tournament "Test Game 10
// min" (after the clock), today's date. The node to show is the end of its main line.
void NewAutoPlayGame(TGame& g, TGameType variant, std::int32_t clock);

enum class TGameEnd {
    Over,    // the game has ended by the rules (or on time)
    Stopped, // the match was stopped
    NoMove,  // an engine made no move (it failed, or gave an illegal one)
};
// Plays the session's game on from its position, `first` moving for side 0 and `second` for side 1,
// each move with the comment "score/depth - time" where the position had a choice.
TGameEnd PlayAutoPlayGame(const TEngineSettings& first, const TEngineSettings& second);

class TEngineMatch {
  public:
    // The messages of the match's two databases go to `prompt` (not owned; none: silent), from the
    // thread that runs the match; it must outlive Run.
    explicit TEngineMatch(IUserPrompt* prompt = nullptr) {
        m_source.prompt = prompt;
        m_destination.prompt = prompt;
    }
    TEngineMatch(const TEngineMatch&) = delete;
    TEngineMatch& operator=(const TEngineMatch&) = delete;
    ~TEngineMatch();

    // Opens the source database and creates the destination empty (names without extension).
    // False with `why` and nothing created when the source cannot be read, or the destination is
    // the source (or `open`, the database open in the database window, when given) or cannot be made.
    bool Prepare(const std::string& source, const std::string& destination, std::string* why = nullptr,
                 const TGameDatabase* open = nullptr);
    // The match; closes both databases at its end.
    void Run(const TEngineSettings& a, const TEngineSettings& b, const TMatchOptions& options = {});

    TMatchTally Tally() const { return m_tally; }
    int GamesStored() const { return m_stored; }

  private:
    TGameDatabase m_source, m_destination;
    TMatchTally m_tally;
    int m_stored = 0;
};
