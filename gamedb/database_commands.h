#pragma once
// The database window's commands on the open database and its game list, without the window: the
// deleted marks, selection, clean-up, check, copying games to another database, and the player
// names (saved as text, split at capitals). Messages and questions go to the prompt of the database
// a command works on (a target database opened here shares it), long commands show the progress
// they are given (silent by default). Interface thread, like the database it works on.

#include "gamedb/game_database.h"
#include "gamedb/game_list.h"
#include "gamedb/progress.h"
#include "platform/io_status.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

enum class TMarkMode { Clear = 1, Set = 2, Toggle = 3 };

// Changes the deleted mark (flags bit 128) of the game at list position `position` and writes its
// index record back in place.
TDbStatus SetDeletedMark(TGameDatabase& db, const TGameList& list, std::int32_t position, TMarkMode mode);

// The Delete command: with games selected, every selected game gets the mark the first of them (in
// list order) does not have (all cleared when it is marked, else all set); with none selected the
// current game's mark flips. Stops at the first record that cannot be read or written.
TDbStatus DeleteListedGames(TGameDatabase& db, const TGameList& list, std::int32_t current);

// Selects or deselects every listed game.
void SetAllSelected(TGameList& list, bool selected);

struct TCleanUpResult {
    TDbStatus status = TDbStatus::Ok;
    std::int32_t kept = 0, removed = 0;
    std::string message; // the system's reason on an I/O error
};
// Removes the records of games marked deleted from the index file, keeping the order of the others
// (their numbers shift down). The index is rewritten through a temporary file, so an interruption
// leaves the old index whole; with no game marked nothing is written. The move and name files are not
// touched: the blocks of removed games stay as unused bytes. The game count follows, and the current
// position is brought within it.
TCleanUpResult CleanUpDatabase(TGameDatabase& db);

struct TCheckResult {
    std::int32_t faultyGame = 0; // the first game that failed, 0 when all read
    std::string why;             // what was wrong with it
};
// Reads every game into a scratch record (never the main window's game), calling `onGame` with each
// number before it is read; stops at the first game with a name index beyond its list ("ERROR!!!")
// or whose stored moves cannot be read.
TCheckResult CheckDatabase(const TGameDatabase& db, const std::function<void(std::int32_t)>& onGame = {});

// True when the two names lead to the same database files: the names are compared with ".vqb"
// put in place of their extensions, as canonical paths (".." and links resolved) or as one file
// (hard links).
bool SameDatabase(const std::string& a, const std::string& b);

enum class TCopyStatus {
    Copied,       // every chosen game that could be read was appended
    SameDatabase, // the target is the open database itself: nothing done
    NothingChosen,
    NotOpened,   // the target could not be opened or created, or creation was declined: "Error Opening
                 // database" was shown (with the store's reason)
    WriteFailed, // the target refused a game: an existing target keeps the games before it; a new one
                 // is not made at all (copied 0) when a file error stopped the copy
};
struct TCopyResult {
    TCopyStatus status = TCopyStatus::Copied;
    std::int32_t copied = 0;
    std::int32_t unreadable = 0; // chosen games whose moves could not be read: not copied
};
// Appends the chosen games (ChosenListPositions) of `from` to the database `target` (opened, or
// created when the user agrees to "Create new?"), each read into a scratch record; progress "Copy
// games", "Copying..." over the games to copy. The target is closed afterwards, which writes its
// names. A new target is built under staged names and put in place as one step at the end
// (TDbReplacement), so a failure or a kill on the way leaves no database of that name. A target
// that does not open, or opens only read-only, shows "Error Opening database".
TCopyResult CopyListedGames(const TGameDatabase& from, const TGameList& list, std::int32_t current,
                            const std::string& target, IProgress& progress = SilentProgress());

// The player names, sorted ignoring CP1251 letter case (equal names keep their order), one a line
// with CR LF, into `fileName` without its extension plus ".txt"; written through a temporary file.
TIoStatus SavePlayerNames(const TGameDatabase& db, const std::string& fileName);

// A blank before each Latin capital A-Z that is not the first character and does not follow a blank
// ("JohnSmith" becomes "John Smith"); the result is cut to the length a stored name may have.
std::string SplitNameAtCapitals(std::string_view name);
// Every player name through SplitNameAtCapitals; the list is written with the name file at the next
// save or close.
void CorrectNames(TGameDatabase& db);
