#include "gamedb/chb_import.h"

#include "gamedb/dos_cyrillic.h"
#include "gamedb/game_block.h"
#include "gamedb/game_index_record.h"
#include "gamedb/import_log.h"
#include "gamedb/progress.h"
#include "gamedb/user_prompt.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "rules/movegen.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Matches the move codes of a record against the legal moves, ply by ply from the start position.
// Most codes match one move. When several legal moves share the origin and final square but leave
// different positions (a flying king's or a man's capture by different routes), the record's later
// codes decide: the first candidate under which they all match, else the one under which they
// match furthest. The look-ahead is bounded by a budget of move generations per record; past it,
// the first candidate under which the next code still matches is taken.
class TChbMoveDecoder {
  public:
    TChbMoveDecoder(const TChbRecord& r, int plies, TGameType variant) : m_plies(plies), m_variant(variant) {
        for (int k = 0; k < plies; ++k) {
            const TChbMoveCoords c = m_coords[k] = DecodeChbMove(r.codes[k]);
            m_from[k] = static_cast<std::uint8_t>(ChbSquareAt(c.fromRow, c.fromCol));
            m_to[k] = static_cast<std::uint8_t>(ChbSquareAt(c.toRow, c.toCol));
        }
    }

    // The moves matched from the start, in order.
    void Run(const TBoard& start, int side, std::vector<TMove>& path) { Walk(start, side, 0, path); }

  private:
    static constexpr int LookAheadBudget = 2000;

    int m_plies;
    TGameType m_variant;
    int m_budget = LookAheadBudget;
    std::array<TChbMoveCoords, ChbMaxPlies> m_coords{};
    std::array<std::uint8_t, ChbMaxPlies> m_from{}, m_to{}; // the squares of m_coords, 0 off the board

    bool Matches(const TMove& m, int k) const {
        return m_from[k] != 0 && m.from == m_from[k] && m.To() == m_to[k];
    }

    // True when code k matches a legal move on `b` (or there is no code k).
    bool CodeMatches(const TBoard& b, int side, int k) {
        if (k >= m_plies) return true;
        --m_budget;
        TMoveList list;
        FindMoves(b, side, list, m_variant);
        const TChbMoveCoords& c = m_coords[k];
        return FindMoveByCoords(list, c.fromRow, c.fromCol, c.toRow, c.toCol) != 0;
    }

    // Appends to `path` the moves of plies k.. matched from `b`, `side` to move.
    void Walk(TBoard b, int side, int k, std::vector<TMove>& path) {
        TMoveList list;
        std::vector<TMove> moves;
        std::vector<TBoard> after;
        for (; k < m_plies; ++k) {
            --m_budget;
            FindMoves(b, side, list, m_variant);
            moves.clear();
            after.clear();
            for (const TMove& m : list) {
                if (!Matches(m, k)) continue;
                TBoard a = b;
                MakeMove(m, a, m_variant);
                // Routes that take the same pieces are one move as far as the game goes.
                if (std::find(after.begin(), after.end(), a) != after.end()) continue;
                moves.push_back(m);
                after.push_back(a);
            }
            if (moves.empty()) return;
            std::size_t pick = 0;
            if (moves.size() > 1) {
                if (m_budget > 0) {
                    ChooseByLookAhead(moves, after, side, k, path);
                    return;
                }
                for (std::size_t i = 0; i < moves.size(); ++i)
                    if (CodeMatches(after[i], side ^ 1, k + 1)) {
                        pick = i;
                        break;
                    }
            }
            path.push_back(moves[pick]);
            b = after[pick];
            side ^= 1;
        }
    }

    void ChooseByLookAhead(const std::vector<TMove>& moves, const std::vector<TBoard>& after, int side, int k,
                           std::vector<TMove>& path) {
        std::vector<TMove> best;
        for (std::size_t i = 0; i < moves.size(); ++i) {
            if (i > 0 && m_budget <= 0) break;
            std::vector<TMove> trial{moves[i]};
            Walk(after[i], side ^ 1, k + 1, trial);
            if (trial.size() > best.size()) best = std::move(trial);
            if (static_cast<int>(best.size()) == m_plies - k) break;
        }
        path.insert(path.end(), best.begin(), best.end());
    }
};

std::string JoinName(const std::string& first, const std::string& second) {
    std::string name = second.empty() ? first : first + ", " + second;
    DosToWinCyrillic(name);
    return name;
}

std::string Hex4(unsigned v) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", v & 0xFFFF);
    return text;
}

std::string LogEntry(std::int64_t record, const TGame& g, const TChbFaults& f) {
    return "Record " + std::to_string(record) + " (" + g.white + " - " + g.black + "): " + f.Text();
}

// The closing message, or "" when there is nothing to tell.
std::string ClosingMessage(const TChbImportResult& r, std::int64_t stoppedAt, std::int64_t partialBytes,
                           const std::string& reason, const std::string& unsavedNameFile) {
    std::string text;
    auto add = [&](const std::string& s) { text += (text.empty() ? "" : "\n") + s; };
    if (r.status == TChbImportStatus::ReadFailed || r.status == TChbImportStatus::WriteFailed)
        add("The import stopped at record " + std::to_string(stoppedAt) + ": " + reason + ". " +
            std::to_string(r.stored) + " of " + std::to_string(r.records) + " games were stored.");
    else if (r.records == 0)
        add("The file holds no games.");
    if (partialBytes > 0)
        add("The file ends in a partial record of " + std::to_string(partialBytes) +
            " bytes, which was not read.");
    if (r.stored > r.whole)
        add(std::to_string(r.stored - r.whole) + " of " + std::to_string(r.stored) +
            " games could not be read whole.");
    if (!unsavedNameFile.empty())
        add("The name file " + Utf8ToCp1251(unsavedNameFile) +
            " could not be written: the new names are not saved.");
    if (!text.empty() && !r.logPath.empty()) add("See " + Utf8ToCp1251(r.logPath));
    return text;
}

} // namespace

std::string TChbFaults::Text() const {
    std::string text;
    auto add = [&](const std::string& s) { text += (text.empty() ? "" : "; ") + s; };
    if (badKey)
        add("start position outside the 8x8 board: stored with the standard start and no moves, marked "
            "deleted");
    if (unmatchedPly > 0)
        add("move " + std::to_string(unmatchedPly) + " (code " + Hex4(unmatchedCode) +
            ") matches no legal move: " + std::to_string(unmatchedPly - 1) + " moves stored, marked deleted");
    if (pliesBeyondCap > 0)
        add(std::to_string(ChbMaxPlies + pliesBeyondCap) + " moves: the first " +
            std::to_string(ChbMaxPlies) + " stored");
    if (lengthCut) add("a name longer than its field, cut to the field");
    if (badResult >= 0) add("result code " + std::to_string(badResult) + " unknown, stored as \"*\"");
    return text;
}

std::string ChbImportRefusal(TGameType variant) {
    if (GeometryOf(variant) != 1 || !IsValidVariant(variant))
        return "CHB files hold games on the 8x8 board: choose an 8x8 variant before importing them.";
    return {};
}

bool ConvertChbGame(const TChbRecord& r, TGameType variant, TGame& g, TChbFaults& f) {
    if (!ChbImportRefusal(variant).empty()) return false;
    f = {};
    InitGame(g, variant);
    g.white = JoinName(r.name0First, r.name0Second);
    g.black = JoinName(r.name1First, r.name1Second);
    g.tournament = r.tournament;
    DosToWinCyrillic(g.tournament);
    f.lengthCut = r.lengthCut;

    TGameIndexRecord& h = g.header;
    h.whiteRating = r.rating0;
    h.whiteTitle = ChbTitleIndex(r.title0);
    h.blackRating = r.rating1;
    h.blackTitle = ChbTitleIndex(r.title1);
    h.round = r.round;
    h.subround = r.subround;
    h.day = r.day;
    h.month = r.month;
    h.year = r.year;
    h.startSide = r.startSide ? 1 : 0;
    if (r.result <= grBlackOnTime) {
        h.result = r.result;
    } else {
        h.result = grNone; // the six result texts end at 5
        f.badResult = r.result;
    }
    h.flags = r.deleted ? gfDeleted : 0;
    h.nodeToShow = r.byte686;

    TPositionKey key;
    key.fill(62);
    std::copy(r.key.begin(), r.key.end(), key.begin());
    TBoard board;
    if (!IsValidKey(key, 32) || !KeyToPosition(key, board)) {
        // A digit above 4 or a piece on square 33: no board of the model holds it.
        g.startKey = StandardKey64();
        h.flags |= gfDeleted;
        f.badKey = true;
        return true;
    }
    g.startKey = key;

    const int plies = std::min<int>(r.plies, ChbMaxPlies);
    f.pliesBeyondCap = r.plies - plies;
    std::vector<TMove> path;
    path.reserve(plies);
    TChbMoveDecoder(r, plies, variant).Run(board, h.startSide, path);
    for (std::size_t k = 0; k < path.size(); ++k) {
        TMove& node = g.nodes[k + 1];
        node = path[k];
        node.annotation = 0;
        node.parent = static_cast<std::uint16_t>(k);
        node.mainLine = 1;
        node.free = 0;
    }
    h.nodeCount = static_cast<std::uint16_t>(path.size());
    if (static_cast<int>(path.size()) < plies) {
        h.flags |= gfDeleted;
        f.unmatchedPly = static_cast<int>(path.size()) + 1;
        f.unmatchedCode = r.codes[path.size()];
    }
    return true;
}

bool TChbFile::Open(const std::string& path) {
    m_in.close();
    m_in.clear();
    m_next = -1;
    m_size = 0;
    if (!RegularFileExists(path)) return false; // a FIFO would block the open, /dev/zero never end
    m_in.open(path, std::ios::binary);
    if (!m_in) return false;
    m_in.seekg(0, std::ios::end);
    const std::streamoff size = m_in.tellg();
    m_in.seekg(0);
    if (!m_in || size < 0) {
        m_in.close();
        return false;
    }
    m_size = size;
    m_next = 0;
    return true;
}

bool TChbFile::ReadRecord(std::int64_t n, std::array<std::uint8_t, ChbRecordSize>& bytes) {
    if (!m_in.is_open() || n < 0 || n > GameCount()) return false;
    if (n != m_next) {
        m_in.clear();
        m_in.seekg(static_cast<std::streamoff>(n) * std::streamoff(ChbRecordSize));
    }
    m_in.read(reinterpret_cast<char*>(bytes.data()), ChbRecordSize);
    if (m_in.gcount() != std::streamsize(ChbRecordSize) || !m_in) {
        m_next = -1;
        return false;
    }
    m_next = n + 1;
    return true;
}

bool ReadChbGame(TChbFile& file, std::int64_t n, TGameType variant, TGame& g, TChbFaults& faults) {
    std::array<std::uint8_t, ChbRecordSize> bytes;
    if (n < 1 || !file.ReadRecord(n, bytes)) return false;
    TChbRecord r;
    DecodeChbRecord(bytes, r);
    return ConvertChbGame(r, variant, g, faults);
}

namespace {

// Where the loop of an import stopped.
struct TChbStop {
    std::int64_t at = 0; // the record, 0 when it ran through the file
    std::string reason;
    bool fileError = false; // reading the file or writing the database failed
};

// Appends the game records of `file` to the open database `db`; the games and the log (titled
// here) follow, the names are not saved and nothing but `progress` is shown.
TChbStop AppendChbGames(TChbFile& file, const std::string& shownName, TGameDatabase& db, TGameType variant,
                        TImportLog& log, TChbImportResult& result, IProgress& progress) {
    TChbStop stop;
    log.SetTitle("Import of " + shownName + " as " + VariantTraits(variant).name + " games");
    result.records = file.GameCount();
    TProgressScope scope(progress, "Import CHB Database", shownName, result.records, result.records);
    auto game = std::make_unique<TGame>();
    TChbFaults faults;
    for (std::int64_t i = 1; i <= result.records; ++i) {
        if (i % 100 == 0) scope.Step(i, 0);
        if (!ReadChbGame(file, i, variant, *game, faults)) {
            result.status = TChbImportStatus::ReadFailed;
            stop.reason = "the file could not be read";
            stop.fileError = true;
        } else if (const TDbStatus s = WriteGame(*game, 0, db, false); s != TDbStatus::Ok) {
            result.status = TChbImportStatus::WriteFailed;
            stop.reason = std::string("the database refused the game (") + DbStatusText(s) + ")";
            stop.fileError = s == TDbStatus::IoError;
        }
        if (result.status != TChbImportStatus::Done) {
            stop.at = i;
            log.Add("Record " + std::to_string(i) + ": " + stop.reason + "; the import stopped here.");
            break;
        }
        ++result.stored;
        if (faults.Any())
            log.Add(LogEntry(i, *game, faults));
        else
            ++result.whole;
    }
    if (file.PartialBytes() > 0)
        log.Add("The file ends in a partial record of " + std::to_string(file.PartialBytes()) +
                " bytes: not read.");
    else if (result.records == 0)
        log.Add("The file holds no games (" + std::to_string(file.Size()) + " bytes).");
    db.gameCount = IndexRecordCount(db);
    return stop;
}

TChbImportResult Refuse(IUserPrompt& prompt, TChbImportResult& result, TChbImportStatus status,
                        const std::string& message) {
    result.status = status;
    result.message = message;
    prompt.ShowMessage(message);
    return result;
}

} // namespace

TChbImportResult ImportChbDatabase(const std::string& chbFileName, TGameDatabase& db, TGameType variant,
                                   IProgress& progress) {
    TChbImportResult result;
    if (const std::string why = ChbImportRefusal(variant); !why.empty())
        return Refuse(db.Prompt(), result, TChbImportStatus::Refused, why);
    if (!db.open || db.readOnly)
        return Refuse(db.Prompt(), result, TChbImportStatus::Refused, "Database not opened.");
    const std::string shownName = Utf8ToCp1251(chbFileName);
    TChbFile file;
    if (!file.Open(chbFileName))
        return Refuse(db.Prompt(), result, TChbImportStatus::CannotOpen, "Cannot open " + shownName);

    TImportLog log(db.indexFileName);
    const TChbStop stop = AppendChbGames(file, shownName, db, variant, log, result, progress);
    const bool namesSaved = SaveDatabase(db);
    if (!namesSaved) log.Add("The name file " + Utf8ToCp1251(db.nameFileName) + " could not be written.");
    if (log.Write() && log.EntryCount() > 0) result.logPath = log.Path();
    result.message =
        ClosingMessage(result, stop.at, file.PartialBytes(), stop.reason, namesSaved ? "" : db.nameFileName);
    if (!result.message.empty()) db.Prompt().ShowMessage(result.message);
    return result;
}

TChbImportResult ImportChbFile(const std::string& chbFileName, const std::string& databaseFileName,
                               TGameType variant, IUserPrompt& prompt, IProgress& progress,
                               const TGameDatabase* open) {
    TChbImportResult result;
    if (const std::string why = ChbImportRefusal(variant); !why.empty())
        return Refuse(prompt, result, TChbImportStatus::Refused, why);
    const TDbFileNames files = DatabaseFileNames(databaseFileName);
    const std::string shownName = Utf8ToCp1251(chbFileName), shownDb = Utf8ToCp1251(files.index);
    if (open && open->open && DatabaseFileNames(open->indexFileName) == files)
        return Refuse(prompt, result, TChbImportStatus::Refused,
                      "The database " + shownDb + " is open: nothing was imported.");
    bool existed = false;
    for (const std::string* f : {&files.index, &files.names, &files.moves}) {
        const TPathKind kind = PathKind(*f);
        if (kind == TPathKind::Other)
            return Refuse(prompt, result, TChbImportStatus::NothingImported,
                          "Nothing imported: " + Utf8ToCp1251(*f) +
                              " is not a file (a folder, a pipe or a device).");
        existed = existed || kind == TPathKind::File;
    }
    TChbFile file;
    if (!file.Open(chbFileName))
        return Refuse(prompt, result, TChbImportStatus::CannotOpen, "Cannot open " + shownName);
    const std::string unchanged =
        existed ? "Nothing imported: the database " + shownDb + " is as it was." : "Nothing imported.";

    // Built under staged names and put in place as one step at the end: until then the old files
    // stay as they are, and a failure on the way changes nothing.
    TDbReplacement replacement;
    TGameDatabase db;
    db.prompt = &prompt;
    TIoStatus made = replacement.Begin(databaseFileName);
    if (made) made = CreateDatabaseFiles(replacement.Staged(), db);
    if (!made)
        return Refuse(prompt, result, TChbImportStatus::NothingImported,
                      "Cannot create the database " + shownDb + " (" + Utf8ToCp1251(made.Message()) + "). " +
                          unchanged);
    TImportLog log(files.index);
    const TChbStop stop = AppendChbGames(file, shownName, db, variant, log, result, progress);
    const bool namesSaved = !stop.fileError && SaveDatabase(db);
    CloseDatabase(db);
    std::string notInPlace;
    const TReplaceOutcome placed =
        stop.fileError || !namesSaved ? TReplaceOutcome::NotDone : replacement.Commit(notInPlace);
    if (placed == TReplaceOutcome::NotDone) {
        replacement.Abandon();
        result.stored = result.whole = 0;
        const std::string why =
            stop.fileError
                ? "The import stopped at record " + std::to_string(stop.at) + ": " + stop.reason + ". "
            : !namesSaved ? "The name file could not be written. "
                          : "The database could not be put in place (" + Utf8ToCp1251(notInPlace) + "). ";
        return Refuse(prompt, result, TChbImportStatus::NothingImported, why + unchanged);
    }
    if (log.Write() && log.EntryCount() > 0) result.logPath = log.Path();
    result.message = ClosingMessage(result, stop.at, file.PartialBytes(), stop.reason, "");
    if (placed == TReplaceOutcome::Pending)
        result.message += (result.message.empty() ? "" : "\n") + std::string("The games are imported into ") +
                          shownDb + ", but its new files could not all be renamed into place (" +
                          Utf8ToCp1251(notInPlace) + "): that is finished when the database is next opened.";
    if (!result.message.empty()) prompt.ShowMessage(result.message);
    return result;
}
