#pragma once
// The game database: an index file of 52-byte records (".vqb"), a name file (".vqn") and a move
// file (".vqm") that share one base name.
//
// Threads: a TGameDatabase belongs to one thread at a time. The database window's (its
// TDatabaseSession's GameDatabase) is the interface thread's; the autoplay thread opens a record of
// its own. Nothing here is shared between records.
// Errors: operations return a TDbStatus; messages and questions for the user at open, store and
// close go to the record's prompt, which whoever opens it sets (none: silent).

#include "gamedb/db_file.h"
#include "gamedb/name_list.h"
#include "gamedb/user_prompt.h"
#include "platform/io_status.h"
#include "rules/game.h"

#include <cstdint>
#include <string>
#include <vector>

struct TGameDatabase {
    bool open = false;
    bool readOnly = false;
    std::string indexFileName, nameFileName, moveFileName;
    TDbFile indexFile;
    TNameList players, tournaments, sites;
    TDbFile moveFile;
    std::int32_t currentGame = 0;
    std::int32_t gameCount = 0;
    std::uint8_t databaseType = 0;
    bool namesChanged = false; // a name was added since the name file was last written
    // Where the store's messages and questions go (not owned; kept by open and close; none: silent).
    IUserPrompt* prompt = nullptr;

    IUserPrompt& Prompt() const { return prompt ? *prompt : SilentPrompt(); }
};

// A game header with its five names, as game lists and header editing use it.
struct TQuickGameHeader {
    TGameIndexRecord header;
    std::string white, black, annotator, tournament, site;
};

enum class TDbStatus {
    Ok,
    NotOpen,
    NoSuchGame,   // a game number outside 1..records (0 allowed for appending)
    Damaged,      // the stored game fails its checks; nothing beyond the files was read
    BadGame,      // the game in memory cannot be stored (variant, node count, captures)
    TooManyNames, // a list already holds 65,536 names; nothing was written
    ReadOnly,
    IoError,
};
const char* DbStatusText(TDbStatus s);

enum class TOpenMode { ReadWrite, ReadOnly };

enum class TOpenResult {
    Opened,  // open (db.readOnly says whether it may be written)
    Missing, // no file of the database exists; nothing was said
    Partial, // the index or the move file is missing; nothing was said, nothing created
    Failed,  // the files are there but cannot be opened; the message said why
};

// Opens the database named by `fileName` without its extension. First it finishes or clears what
// an interrupted replacement of it left (RecoverDatabaseFiles, gamedb/db_file.h), so it always
// finds a whole database. A missing index or move file leaves it closed silently (the caller
// decides); a type byte outside 20..29 shows "Wrong database type"; a name that is a folder, a pipe
// or a device, or files that cannot be opened, show "Error Opening database" with the reason.
// It opens read-only, saying why, when the folder cannot be written or the index or move file
// cannot be opened for writing (not said when read-only was asked for), the name file is missing
// (empty lists: new names would rename the old games), the index ends in a partial record, or an
// interrupted replacement cannot be finished there. Index and move files that exist are never
// replaced here.
TOpenResult OpenDatabase(const std::string& fileName, TGameDatabase& db,
                         TOpenMode mode = TOpenMode::ReadWrite);
// Creates an empty database (replacing files of that name as one step, see TDbReplacement) and
// leaves it open. False with the database closed and "Error Opening database" with the reason
// when it cannot be made.
bool CreateDatabase(const std::string& fileName, TGameDatabase& db);
// Creates the empty files of a database under the names given, which must not exist, and opens
// it: the staged files of a replacement, which the caller builds and then commits.
TIoStatus CreateDatabaseFiles(const TDbFileNames& files, TGameDatabase& db);
// The question before a database is created: "Create new?" with the name of the index file.
std::string CreateNewQuestion(const std::string& fileName);
// OpenDatabase; when no file of the database exists, asks "Create new?" (naming the file) and
// creates it on OK (Opened; Missing when declined). When only some of the files exist it reports
// "Error Opening database", naming the missing file, and creates nothing.
TOpenResult OpenOrCreateDatabase(const std::string& fileName, TGameDatabase& db);
// Writes the three name lists to the name file (through a temporary file).
bool SaveDatabase(TGameDatabase& db);
// Saves the name lists when they changed, closes the files and clears the lists.
void CloseDatabase(TGameDatabase& db);

// Number of complete records in the index file (0 when closed).
std::int32_t IndexRecordCount(const TGameDatabase& db);
TDbStatus ReadIndexRecord(const TGameDatabase& db, std::int32_t n, TGameIndexRecord& r);
TDbStatus WriteIndexRecord(TGameDatabase& db, std::int32_t n, const TGameIndexRecord& r);
// Replaces the whole index file by `records` (through a temporary file), for callers that
// reorder or drop games; the game count follows. On failure the index is as it was (and open), and
// `reason` says why.
TDbStatus ReplaceIndexFile(TGameDatabase& db, const std::vector<TGameIndexRecord>& records,
                           std::string* reason = nullptr);

// Reads game n. keep = false resets the game first. A damaged game returns Damaged with its
// header and names read and an empty tree.
TDbStatus ReadGame(const TGameDatabase& db, std::int32_t n, bool keep, TGame& g);
// Stores g as game n, or appends it when n is 0. Sets g's name indices, full-move count, flags
// and block place. The block is written before the record that points to it. With saveNames
// the name file is rewritten at once when a name was added. The game count is not changed.
TDbStatus WriteGame(TGame& g, std::int32_t n, TGameDatabase& db, bool saveNames);

// The name at an index, or "ERROR!!!" past the end of the list.
std::string PlayerName(std::uint32_t index, const TGameDatabase& db);
std::string TournamentName(std::uint32_t index, const TGameDatabase& db);
std::string SiteName(std::uint32_t index, const TGameDatabase& db);

// One game's header with names, in `db`. Writing looks up or appends the
// five names, rewrites the name file when one was added, and stores the record otherwise as
// the header holds it.
TDbStatus ReadQuickHeader(const TGameDatabase& db, std::int32_t n, TQuickGameHeader& h);
TDbStatus WriteQuickHeader(TGameDatabase& db, std::int32_t n, TQuickGameHeader& h);

// Name file text: one line per name, "^" players, "*" tournaments, "@" sites, CR LF ends.
std::string FormatNameFile(const TGameDatabase& db);
// Fills the three lists from name file text; other lines are skipped, names made storable (cut to
// 254, a NUL becomes a blank).
void ParseNameFile(const std::string& text, TGameDatabase& db);
bool ReadNameLists(TGameDatabase& db);
bool WriteNameLists(TGameDatabase& db);

// The position after the move of `node` (node 0: the start position). False, with the start
// position, when the node is out of range, free, or its parent chain is broken.
bool PositionAtNode(int node, const TGame& g, TBoard& board);
