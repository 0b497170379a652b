#pragma once
// Import of CHB game files (fixed 700-byte records of 8x8 games) into an open game database, or into
// a new one that replaces a database as a whole:
// names from CP866 to CP1251, move codes matched against the legal moves, damaged records stored as
// far as they could be read and marked deleted, a log of every game not read whole.
// Runs on the thread that owns the database (the interface thread for the database window), with
// the progress it is given (silent by default); messages go to the open database's prompt, or to
// the prompt a new database's import is given.

#include "gamedb/chb_record.h"
#include "gamedb/game_database.h"
#include "gamedb/progress.h"

#include <cstdint>
#include <fstream>
#include <string>

// What went wrong in one record; the game was stored anyway, as far as it could be read.
struct TChbFaults {
    bool lengthCut = false; // a length byte above its field's width: the text was cut
    int badResult = -1;     // a result byte above 5 (stored as 0, "*"), else -1
    bool badKey = false;    // start key outside the 8x8 board: standard start, no moves, deleted
    int unmatchedPly = 0;   // the ply (from 1) whose code matched no legal move, else 0
    std::uint16_t unmatchedCode = 0;
    int pliesBeyondCap = 0; // plies the record held beyond the 170 read

    bool Any() const {
        return lengthCut || badResult >= 0 || badKey || unmatchedPly > 0 || pliesBeyondCap > 0;
    }
    // The faults as one line of the import log, e.g. "move 5 (code 0x0A12) matches no legal move:
    // 4 moves stored, marked deleted".
    std::string Text() const;
};

// The game of a record, for `variant` (an 8x8 variant): header fields, names joined ("first,
// second") and converted from CP866 when they look like it, titles mapped, the start key, and the
// main line as far as the move codes match legal moves (at most 170 plies). A code that matches no
// legal move ends the game there and marks it deleted. When two legal moves share the code's origin
// and final square but take different pieces, the one under which the record's later codes go on
// matching is taken (list order between equals). False, with `g` untouched, for variant 6.
bool ConvertChbGame(const TChbRecord& r, TGameType variant, TGame& g, TChbFaults& faults);

// A CHB file open for reading records. Records are counted in 64 bits.
class TChbFile {
  public:
    // False when the file cannot be opened.
    bool Open(const std::string& path);
    std::int64_t Size() const { return m_size; }
    // Game records: whole records after record 0 (0 for an empty or one-record file).
    std::int64_t GameCount() const {
        return m_size >= std::int64_t(ChbRecordSize) ? m_size / ChbRecordSize - 1 : 0;
    }
    // Bytes of a last record cut short (0 when the size is a multiple of 700).
    std::int64_t PartialBytes() const { return m_size % ChbRecordSize; }
    // Reads whole record n (0..GameCount()); false on a read error or a record past the end.
    bool ReadRecord(std::int64_t n, std::array<std::uint8_t, ChbRecordSize>& bytes);

  private:
    std::ifstream m_in;
    std::int64_t m_size = 0;
    std::int64_t m_next = -1; // the record the stream stands at, so a sequential read never seeks
};

// Reads record n (1..GameCount()) of `file` and converts it (ConvertChbGame). False on a read error.
bool ReadChbGame(TChbFile& file, std::int64_t n, TGameType variant, TGame& g, TChbFaults& faults);

// Why an import cannot run at all in `variant`, or "" when it can: the records hold 8x8 games.
std::string ChbImportRefusal(TGameType variant);

enum class TChbImportStatus {
    Done,            // every whole record of the file was read (a partial last record is logged)
    Refused,         // nothing written: the variant is not an 8x8 one, or the database is not open
    CannotOpen,      // nothing written: the file cannot be opened
    ReadFailed,      // stopped at a read error; the games before it are stored
    WriteFailed,     // stopped when the database refused a game; the games before it are stored
    NothingImported, // ImportChbFile only: nothing changed, because the database could not be made or
                     // put in place, or a file error (reading the file, writing the database) stopped it
};

struct TChbImportResult {
    TChbImportStatus status = TChbImportStatus::Done;
    std::int64_t records = 0; // game records in the file
    std::int64_t stored = 0;  // games appended to the database
    std::int64_t whole = 0;   // of those, read whole (no log entry)
    std::string logPath;      // the log written, "" when there was nothing to log
    std::string message;      // the closing message shown to the user, "" when all went well
};

// Appends every game record of the CHB file `chbFileName` (a file-system name, UTF-8) to the open
// database `db` in `variant` (read by the caller, once): progress "Import CHB Database" through
// `progress` with a step every 100 records, names saved at the end, the log written beside the
// database, and a closing message through the database's prompt when something could not be read or
// stored.
// The database's game count follows the games appended.
TChbImportResult ImportChbDatabase(const std::string& chbFileName, TGameDatabase& db, TGameType variant,
                                   IProgress& progress = SilentProgress());

// Imports the CHB file into a new database `databaseFileName`, replacing one of that name (the
// caller has asked the user) but never the open database `open` (when given), nor a name that is a
// folder. The database is built under staged names and put in place as one step at the end
// (TDbReplacement, gamedb/db_file.h): a file error, a failed step or a kill on the way leaves the
// old files byte for byte (NothingImported, "Nothing imported" in the message). The database's
// name list filling up still stores the games before (WriteFailed), as ImportChbDatabase does.
// Progress, log and closing message as ImportChbDatabase; messages, and the new database's own, go
// to `prompt`.
TChbImportResult ImportChbFile(const std::string& chbFileName, const std::string& databaseFileName,
                               TGameType variant, IUserPrompt& prompt, IProgress& progress = SilentProgress(),
                               const TGameDatabase* open = nullptr);
