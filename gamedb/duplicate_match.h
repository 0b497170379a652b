#pragma once
// Duplicate matching ("Match games"): finds the games of a database that are equal by the chosen
// criteria (moves, names, year, tournament), lists each first game followed by its copies and marks
// the copies deleted, so that clean-up can remove them.
//
// The keys separate their fields and moves with KeySeparator, a byte that names and move texts never
// hold: "Ann" + "aSmith" and "Anna" + "Smith" stay apart, as do round 1.12 and round 11.2, and a
// moves key that is a prefix of another is a prefix by whole moves. Games match by moves only when
// they are of the same variant and start from the same position (one start number stands for
// both); a game without moves has an empty moves key, which matches nothing. Keys live in memory
// only.
//
// Interface thread, like the database it works on. Progress goes through the IProgress passed in.

#include "gamedb/game_database.h"
#include "gamedb/game_list.h"
#include "gamedb/progress.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr char KeySeparator = '\x01';

// What the dialog chose.
struct TDuplicateOptions {
    bool names = false;
    bool year = false;
    bool tournament = false;
    bool moves = true;
    bool withoutCaptures = false; // "w/o captions": captures are left out of the moves key
    bool partialLength = false;   // "Partial length": a key that begins the other one matches
    bool fast = true;             // compare only games whose moves keys sort into one run
};

// One game while the matcher runs.
struct TDoubRec {
    std::string movesKey;       // empty when "Moves" is off or the key holds no move
    std::uint32_t start = 0;    // with "Moves": the same number for the same variant and start key
    std::string namesKey;       // empty when "Names" is off
    std::string tournamentKey;  // empty when "Tournament" is off
    std::uint16_t year = 65535; // 65535 when "Year" is off
    std::uint8_t matched = 0;   // 1 once listed as part of a match
    std::uint32_t gameNumber = 0;
};

// The main line's move texts (short form, "x" between the squares of a capture), each followed by
// KeySeparator; empty when no move is left (no main line, or only captures under mode 1). Mode 1
// leaves captures out. The walk follows the main-line child of each node and stops at a node that
// has none (also when it has other children).
std::string DuplicateMovesKey(const TGame& g, int mode);
std::string NamesKey(const std::string& white, const std::string& black);
std::string TournamentKey(const std::string& tournament, int round, int subround);

// Orders by start number, then by moves key (bytes as unsigned) and, among equal keys, by game
// number, so the earliest game leads its run and is the one kept.
void SortDoubRecs(std::vector<TDoubRec>& records);
// The same start number, neither key empty, and with complete length equal keys, with partial
// length one key beginning the other.
bool SameMovesKey(const TDoubRec& x, const TDoubRec& y, bool partialLength);
// Years, names keys and tournament keys equal, and with "Moves" the moves keys as above.
bool SameGameForMatch(const TDoubRec& x, const TDoubRec& y, const TDuplicateOptions& options);

// Splits sorted records into the runs that Fast matching compares: each run starts at `lo` and holds
// the records whose moves keys agree with the key at `lo` (SameMovesKey; without "Moves" the empty
// keys agree under complete length only). Every record lies in exactly one run, in order; `onRun`
// gets each (lo, hi) with hi >= lo, singletons too, and stops the walk by returning false.
void ForEachFastRun(const std::vector<TDoubRec>& records, const TDuplicateOptions& options,
                    const std::function<bool(std::size_t lo, std::size_t hi)>& onRun);

struct TDuplicateResult {
    TDbStatus status = TDbStatus::Ok; // the first failure; the games found before it stay listed
    std::int32_t listed = 0;          // entries of the new list
    std::int32_t marked = 0;          // copies given the deleted mark
    std::int32_t unreadable = 0;      // damaged games: left out of matching, never marked
};

// The matcher over records already loaded, in game order (for tests and for MatchDuplicateGames).
class TDuplicateMatcher {
  public:
    TDuplicateMatcher(TGameDatabase& db, TGameList& list, const TDuplicateOptions& options,
                      IProgress& progress)
        : m_db(db), m_list(list), m_options(options), m_progress(progress) {}

    std::vector<TDoubRec>& Records() { return m_records; }
    // Reads every game of the database into a record (keys as the options ask), stepping the
    // progress every 1,000 games. The move file is
    // read in large blocks in file order and only main lines are walked. Damaged games are counted
    // and left out.
    TDbStatus Load();
    // Sorts (with Fast) and matches; the list is replaced by the matches. Fast compares each run of
    // agreeing keys in game order, so the earliest game of a group is kept, as without Fast.
    TDuplicateResult Match();
    // Compares every pair of records lo..hi (indices into Records()); lists each first game before
    // its copies, every game at most once, and marks the copies deleted. A record is matched once it
    // is listed, or once it found a copy (it is never compared as a first game again).
    void MatchDuplicateRange(std::size_t lo, std::size_t hi);

  private:
    // Gives the deleted mark to the game just appended to the list.
    TDbStatus MarkLastCopy();

    TGameDatabase& m_db;
    TGameList& m_list;
    TDuplicateOptions m_options;
    IProgress& m_progress;
    std::vector<TDoubRec> m_records;
    TDuplicateResult m_result;
};

// The whole command on an open, writable database: progress "Match Games" with "Loading...",
// "Preparing, please wait..." and "Matching...". `list` becomes the matches.
TDuplicateResult MatchDuplicateGames(TGameDatabase& db, TGameList& list, const TDuplicateOptions& options,
                                     IProgress& progress);
