#pragma once
// PDN import: the games of a PDN file into a new game database.
//
// The reader (TPdnReader) turns bytes into games and reports, with no file or database: the fuzz
// entry, the benchmark and the tests call it. The driver (ImportPdnDatabase) reads the file, builds
// the database under staged names and puts it in place at the end, shows the progress, writes
// the log of the games not read whole beside the database, and ends with a message.
// Texts of the store and of messages are CP1251; file names are the file system's (UTF-8).
// Threads: one import on one thread (the interface thread for the database window).

#include "gamedb/game_database.h"
#include "gamedb/pdn_reader.h"

#include <cstdint>
#include <string>
#include <string_view>

class IProgress;
class IUserPrompt;

// How one game was read.
struct TPdnGameReport {
    std::int64_t number = 0;               // the game's number in the file, from 1
    std::int64_t line = 0;                 // the line it begins on
    std::string firstLine;                 // that line (CP1251, cut to 200 characters)
    std::string white, black, event, date; // the tag values as written (CP1251)
    bool whole = true;                     // read whole: nothing below is set
    std::string reason;                    // why not
    std::string unread;                    // the text not read into the game
};

// Reads one game text into `g`: the tags first, so that GameType (20, 21, 22, 23, 25, 26, 29)
// sets the game's variant, which FEN, White/Black and the moves then follow; without it the game is
// of `currentVariant`. A GameType of no variant or a FEN that cannot be read stores the game deleted
// without moves; an unmatched move stores what was read, marked deleted.
void ReadPdnGame(const TPdnGameText& text, TGameType currentVariant, TGame& g, TPdnGameReport& report);

// Bytes to games.
class TPdnReader {
  public:
    TPdnReader(std::string_view bytes, TGameType currentVariant) : m_text(bytes), m_variant(currentVariant) {}
    // The next game; false at the end of the bytes.
    bool Next(TGame& g, TPdnGameReport& report);
    std::int64_t Offset() const { return m_text.Offset(); }

  private:
    TPdnTextReader m_text;
    TGameType m_variant;
    TPdnGameText m_game;
    std::int64_t m_number = 0;
};

// One line of the import log for a game not read whole: its numbers in the file and the database,
// its first line, White, Black, Event, Date, the reason and the whole unread text.
std::string PdnLogEntry(const TPdnGameReport& report, std::int64_t databaseNumber);

enum class TPdnImportStatus {
    Done,        // the whole file was read
    Cancelled,   // the user kept the existing database: nothing changed
    Refused,     // nothing changed: the target is the open database, or a bad variant
    CannotOpen,  // nothing changed: the file cannot be read
    WriteFailed, // stopped when the store refused a game (a name list full); the games before it
                 // are in the new database
    CannotCreate // nothing changed: the database cannot be made or put in place, or a file error
                 // (a full or failing disk) stopped the import
};

struct TPdnImportResult {
    TPdnImportStatus status = TPdnImportStatus::Done;
    std::int64_t games = 0;       // games stored
    std::int64_t whole = 0;       // of those, read whole
    std::string databaseFileName; // the index file of the new database
    std::string logPath;          // the log written, "" when every game was read whole
    std::string message;          // the closing message shown (CP1251)
};

// The database an import of `pdnFileName` makes by default: its name with ".vqb".
std::string PdnImportDatabaseName(const std::string& pdnFileName);

// Imports the PDN file into a new database `databaseFileName` ("" for PdnImportDatabaseName),
// games without a GameType tag in `currentVariant`. An existing database of that name is replaced
// only when `prompt` confirms; the open database `open` (when given) is never replaced, nor a name that
// is a folder. The new database is built under staged names beside it and put in place as one step
// at the end (TDbReplacement, gamedb/db_file.h), so a cancelled or failed import, or one killed on
// the way, leaves the old files as they were; once put in place it stays, even when a rename is
// left for the next open to finish. Progress "Import PDN Database" over the file's bytes, stepped
// every 100th game. The closing message (games imported, read whole, the log's path) and any
// refusal go to `prompt`; a message that says "nothing imported" means nothing changed.
TPdnImportResult ImportPdnDatabase(const std::string& pdnFileName, const std::string& databaseFileName,
                                   TGameType currentVariant, IUserPrompt& prompt, IProgress& progress,
                                   const TGameDatabase* open = nullptr);
