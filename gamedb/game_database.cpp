#include "gamedb/game_database.h"

#include "gamedb/game_block.h"
#include "gamedb/game_index_record.h"
#include "gamedb/move_bytes.h"
#include "gamedb/user_prompt.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "rules/movegen.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <set>

namespace {

constexpr std::uint8_t NewDatabaseType = 20;

void ResetRecord(TGameDatabase& db, const TDbFileNames& files) {
    db.indexFileName = files.index;
    db.nameFileName = files.names;
    db.moveFileName = files.moves;
    db.players.Clear();
    db.tournaments.Clear();
    db.sites.Clear();
    db.namesChanged = false;
    db.readOnly = false;
}

void CloseFiles(TGameDatabase& db) {
    db.indexFile.Close();
    db.moveFile.Close();
    db.players.Clear();
    db.tournaments.Clear();
    db.sites.Clear();
    db.open = false;
    db.namesChanged = false;
}

// A file name in a message (messages are CP1251, file names UTF-8).
std::string Shown(const std::string& fileName) {
    return Utf8ToCp1251(fileName);
}

bool NoWritePermission(int err) {
    return err == EACCES || err == EPERM || err == EROFS || err == ETXTBSY;
}

// Opens the index and the move file; on failure `failed` names the file and errno says why.
bool OpenIndexAndMoves(TGameDatabase& db, const TDbFileNames& files, bool readOnly, std::string& failed) {
    if (!db.indexFile.Open(files.index, readOnly)) {
        failed = files.index;
        return false;
    }
    if (!db.moveFile.Open(files.moves, readOnly)) {
        const int err = errno;
        db.indexFile.Close();
        failed = files.moves;
        errno = err;
        return false;
    }
    return true;
}

bool ReadNameFile(const std::string& path, TGameDatabase& db, std::string& why) {
    std::string text;
    if (const TIoStatus s = ReadWholeFile(path, text); !s) {
        why = s.Message();
        return false;
    }
    ParseNameFile(text, db);
    db.namesChanged = false;
    return true;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines)
        text += (text.empty() ? "" : "\n") + l;
    return text;
}

TOpenResult OpenFiles(const std::string& fileName, TGameDatabase& db, TOpenMode mode) {
    CloseDatabase(db);
    const TDbFileNames target = DatabaseFileNames(fileName);
    ResetRecord(db, target);
    std::vector<std::string> notes;
    auto fail = [&](const std::string& why) {
        CloseFiles(db);
        notes.push_back(why);
        db.Prompt().ShowMessage(Joined(notes));
        return TOpenResult::Failed;
    };
    for (const std::string* f : {&target.index, &target.names, &target.moves})
        if (PathKind(*f) == TPathKind::Other)
            return fail("Error Opening database: " + Shown(*f) +
                        " is not a file (a folder, a pipe or a device, or it cannot be examined).");

    std::string folderWhy;
    const bool writable = FolderWritable(target.index, &folderWhy);
    // Done even when read-only was asked for: finishing a committed replacement changes no game.
    const TDbRecovery recovery = RecoverDatabaseFiles(target, writable);
    if (!recovery.note.empty()) notes.push_back(Shown(recovery.note));
    const TDbFileNames& files = recovery.files;
    const bool hasIndex = PathKind(files.index) == TPathKind::File;
    const bool hasMoves = PathKind(files.moves) == TPathKind::File;
    if (!hasIndex || !hasMoves) {
        if (!notes.empty()) db.Prompt().ShowMessage(Joined(notes));
        return !hasIndex && !hasMoves ? TOpenResult::Missing : TOpenResult::Partial;
    }

    bool readOnly = mode == TOpenMode::ReadOnly || recovery.pending;
    // Without the name file the stored name indices of the games have nothing to point at: names
    // appended now would take indices 0, 1, ... and silently rename the old games. Reading is safe.
    const bool namesMissing = PathKind(files.names) != TPathKind::File;
    if (namesMissing) {
        readOnly = true;
        notes.push_back("The name file " + Shown(files.names) +
                        " is missing: the database is opened read-only, with empty name lists.");
    }
    // The name file and whole rewrites are made beside the others: a folder that cannot be
    // written would lose new names at the next save.
    if (!readOnly && !writable) {
        readOnly = true;
        notes.push_back("The folder of " + Shown(target.index) + " cannot be written (" + folderWhy +
                        "): the database is opened read-only.");
    }
    std::string failed;
    if (!OpenIndexAndMoves(db, files, readOnly, failed)) {
        int err = errno;
        // Files that may be read but not written are read.
        if (!readOnly && NoWritePermission(err)) {
            const std::string notWritable = failed;
            if (OpenIndexAndMoves(db, files, true, failed)) {
                readOnly = true;
                notes.push_back(Shown(notWritable) + " cannot be opened for writing (" + std::strerror(err) +
                                "): the database is opened read-only.");
                err = 0;
            } else {
                err = errno;
            }
        }
        if (err != 0)
            return fail("Error Opening database: cannot open " + Shown(failed) + " (" + std::strerror(err) +
                        ").");
    }
    std::uint8_t type = 0;
    if (!db.moveFile.ReadAt(0, &type, 1) || type < 20 || type > 29) {
        notes.clear();
        return fail("Wrong database type");
    }
    const std::int64_t indexSize = db.indexFile.Size();
    if (indexSize > 0 && indexSize % IndexRecordSize != 0) {
        // Whatever cut it may have cut more; nothing is written until the file is mended.
        readOnly = true;
        notes.push_back("The index file " + Shown(files.index) + " ends in a partial record (" +
                        std::to_string(indexSize % IndexRecordSize) + " bytes after game " +
                        std::to_string(indexSize / IndexRecordSize) + "): the database is opened read-only.");
    }
    if (!namesMissing) {
        std::string why;
        if (!ReadNameFile(files.names, db, why))
            return fail("Error Opening database: cannot read the name file (" + Shown(why) + ").");
    }
    db.databaseType = type;
    db.readOnly = readOnly;
    db.currentGame = 1;
    db.open = true;
    db.gameCount = IndexRecordCount(db);
    if (!notes.empty()) db.Prompt().ShowMessage(Joined(notes));
    return TOpenResult::Opened;
}

TIoStatus WriteEmptyFiles(const TDbFileNames& files) {
    const std::uint8_t type = NewDatabaseType;
    TIoStatus s = WriteNewFile(files.index, nullptr, 0);
    if (s) s = WriteNewFile(files.moves, &type, 1);
    // The name file too: a database without one would later look damaged.
    if (s) s = WriteNewFile(files.names, nullptr, 0);
    return s;
}

TNameList& ListOf(TGameDatabase& db, int field) {
    return field < 3 ? db.players : field == 3 ? db.tournaments : db.sites;
}

// Looks up the five names of a header (White, Black, annotator, tournament, site) and appends the
// missing ones, unless a list would pass its 16-bit limit: then nothing changes.
TDbStatus StoreNames(TGameDatabase& db, const std::array<const std::string*, 5>& names,
                     std::array<std::uint16_t, 5>& indices, bool& appended) {
    std::array<std::string, 5> storable;
    std::array<std::set<std::string>, 3> missing;
    for (int i = 0; i < 5; ++i) {
        storable[i] = StorableName(*names[i]);
        if (ListOf(db, i).Find(storable[i]) == NoName)
            missing[i < 3 ? 0 : i - 2].insert(Cp1251LowerString(storable[i]));
    }
    const TNameList* lists[3] = {&db.players, &db.tournaments, &db.sites};
    for (int k = 0; k < 3; ++k)
        if (lists[k]->Size() + missing[k].size() > MaxNamesPerList) {
            db.Prompt().ShowMessage("The game was not stored: a name list of the database is full "
                                    "(65,536 names).");
            return TDbStatus::TooManyNames;
        }
    appended = false;
    for (int i = 0; i < 5; ++i) {
        TNameList& list = ListOf(db, i);
        std::uint32_t at = list.Find(storable[i]);
        if (at == NoName) {
            at = static_cast<std::uint32_t>(list.Size());
            list.Append(storable[i]);
            appended = true;
        }
        indices[i] = static_cast<std::uint16_t>(at);
    }
    if (appended) db.namesChanged = true;
    return TDbStatus::Ok;
}

void SetNameIndices(TGameIndexRecord& r, const std::array<std::uint16_t, 5>& idx) {
    r.white = idx[0];
    r.black = idx[1];
    r.annotator = idx[2];
    r.tournament = idx[3];
    r.site = idx[4];
}

std::string NameAt(const TNameList& list, std::uint32_t index) {
    return index < list.Size() ? list[index] : std::string("ERROR!!!");
}

void FillNames(const TGameDatabase& db, const TGameIndexRecord& r, std::string& white, std::string& black,
               std::string& annotator, std::string& tournament, std::string& site) {
    white = PlayerName(r.white, db);
    black = PlayerName(r.black, db);
    annotator = PlayerName(r.annotator, db);
    tournament = TournamentName(r.tournament, db);
    site = SiteName(r.site, db);
}

// Writes record n - 1 of the index file; the caller has checked n.
TDbStatus StoreIndexRecord(TGameDatabase& db, std::int32_t n, const TGameIndexRecord& r) {
    std::uint8_t bytes[IndexRecordSize];
    EncodeIndexRecord(r, bytes);
    return db.indexFile.WriteAt(std::uint64_t(n - 1) * IndexRecordSize, bytes, IndexRecordSize)
               ? TDbStatus::Ok
               : TDbStatus::IoError;
}

TDbStatus Writable(const TGameDatabase& db) {
    if (!db.open) return TDbStatus::NotOpen;
    return db.readOnly ? TDbStatus::ReadOnly : TDbStatus::Ok;
}

} // namespace

const char* DbStatusText(TDbStatus s) {
    switch (s) {
    case TDbStatus::Ok:
        return "ok";
    case TDbStatus::NotOpen:
        return "database not open";
    case TDbStatus::NoSuchGame:
        return "no such game";
    case TDbStatus::Damaged:
        return "damaged";
    case TDbStatus::BadGame:
        return "game cannot be stored";
    case TDbStatus::TooManyNames:
        return "name list full";
    case TDbStatus::ReadOnly:
        return "database opened read-only";
    case TDbStatus::IoError:
        return "file error";
    }
    return "?";
}

TOpenResult OpenDatabase(const std::string& fileName, TGameDatabase& db, TOpenMode mode) {
    return OpenFiles(fileName, db, mode);
}

TIoStatus CreateDatabaseFiles(const TDbFileNames& files, TGameDatabase& db) {
    CloseDatabase(db);
    ResetRecord(db, files);
    TIoStatus s = WriteEmptyFiles(files);
    std::string failed;
    if (s && !OpenIndexAndMoves(db, files, false, failed))
        s = TIoStatus::FromErrno("cannot open " + failed, errno);
    if (!s) {
        CloseFiles(db);
        return s;
    }
    db.databaseType = NewDatabaseType;
    db.currentGame = 1;
    db.gameCount = 0;
    db.open = true;
    return s;
}

bool CreateDatabase(const std::string& fileName, TGameDatabase& db) {
    CloseDatabase(db);
    ResetRecord(db, DatabaseFileNames(fileName));
    // Made under staged names and put in place as one step: a kill never leaves a part of it.
    TDbReplacement replacement;
    TIoStatus s = replacement.Begin(fileName);
    if (s) s = WriteEmptyFiles(replacement.Staged());
    if (s) {
        std::string why;
        if (replacement.Commit(why) == TReplaceOutcome::NotDone) s = TIoStatus::Failure(why);
    }
    if (!s) {
        db.Prompt().ShowMessage("Error Opening database: " + Shown(s.Message()));
        return false;
    }
    // Done, or committed with a rename still to do, which the open finishes.
    if (OpenFiles(fileName, db, TOpenMode::ReadWrite) == TOpenResult::Opened && !db.readOnly) return true;
    CloseDatabase(db);
    return false;
}

std::string CreateNewQuestion(const std::string& fileName) {
    return "The database " + Shown(DatabaseFileNames(fileName).index) + " does not exist. Create new?";
}

TOpenResult OpenOrCreateDatabase(const std::string& fileName, TGameDatabase& db) {
    const TOpenResult r = OpenFiles(fileName, db, TOpenMode::ReadWrite);
    if (r == TOpenResult::Missing) {
        if (!db.Prompt().Confirm(CreateNewQuestion(fileName))) return TOpenResult::Missing;
        return CreateDatabase(fileName, db) ? TOpenResult::Opened : TOpenResult::Failed;
    }
    if (r == TOpenResult::Partial) {
        // Creating would truncate the file that is there.
        const TDbFileNames files = DatabaseFileNames(fileName);
        const std::string& missing = PathKind(files.index) == TPathKind::File ? files.moves : files.index;
        db.Prompt().ShowMessage("Error Opening database: " + Shown(missing) +
                                " is missing; the other files are left as they are.");
    }
    return r;
}

bool SaveDatabase(TGameDatabase& db) {
    if (Writable(db) != TDbStatus::Ok) return false;
    return WriteNameLists(db);
}

void CloseDatabase(TGameDatabase& db) {
    if (!db.open) return;
    if (db.namesChanged && !db.readOnly && !SaveDatabase(db))
        db.Prompt().ShowMessage("Cannot write the name file " + db.nameFileName);
    CloseFiles(db);
}

std::string FormatNameFile(const TGameDatabase& db) {
    std::string out;
    const std::pair<char, const TNameList*> kinds[] = {
        {'^', &db.players}, {'*', &db.tournaments}, {'@', &db.sites}};
    for (const auto& [mark, list] : kinds)
        for (const std::string& name : list->Names()) {
            out += mark;
            out += name;
            out += "\r\n";
        }
    return out;
}

void ParseNameFile(const std::string& text, TGameDatabase& db) {
    db.players.Clear();
    db.tournaments.Clear();
    db.sites.Clear();
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = text.find_first_of("\r\n", i);
        if (end == std::string::npos) end = text.size();
        if (end > i) {
            TNameList* list = text[i] == '^'   ? &db.players
                              : text[i] == '*' ? &db.tournaments
                              : text[i] == '@' ? &db.sites
                                               : nullptr;
            // As a write would store it (a NUL becomes a blank), so that rewriting a game finds
            // its names again instead of appending new ones.
            if (list) list->Append(StorableName(std::string_view(text).substr(i + 1, end - i - 1)));
        }
        i = end;
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n') ++i;
    }
}

bool ReadNameLists(TGameDatabase& db) {
    std::string why;
    return ReadNameFile(db.nameFileName, db, why);
}

bool WriteNameLists(TGameDatabase& db) {
    const std::string text = FormatNameFile(db);
    if (!AtomicWriteFile(db.nameFileName, text.data(), text.size())) return false;
    db.namesChanged = false;
    return true;
}

std::int32_t IndexRecordCount(const TGameDatabase& db) {
    if (!db.open) return 0;
    const std::int64_t size = db.indexFile.Size();
    return size < 0 ? 0
                    : static_cast<std::int32_t>(std::min<std::int64_t>(size / IndexRecordSize, INT32_MAX));
}

TDbStatus ReadIndexRecord(const TGameDatabase& db, std::int32_t n, TGameIndexRecord& r) {
    if (!db.open) return TDbStatus::NotOpen;
    if (n < 1 || n > IndexRecordCount(db)) return TDbStatus::NoSuchGame;
    std::uint8_t bytes[IndexRecordSize];
    if (!db.indexFile.ReadAt(std::uint64_t(n - 1) * IndexRecordSize, bytes, IndexRecordSize))
        return TDbStatus::IoError;
    DecodeIndexRecord(bytes, r);
    return TDbStatus::Ok;
}

TDbStatus WriteIndexRecord(TGameDatabase& db, std::int32_t n, const TGameIndexRecord& r) {
    if (const TDbStatus s = Writable(db); s != TDbStatus::Ok) return s;
    if (n < 1 || n > IndexRecordCount(db) + 1) return TDbStatus::NoSuchGame;
    return StoreIndexRecord(db, n, r);
}

TDbStatus ReplaceIndexFile(TGameDatabase& db, const std::vector<TGameIndexRecord>& records,
                           std::string* reason) {
    if (const TDbStatus s = Writable(db); s != TDbStatus::Ok) return s;
    std::vector<std::uint8_t> bytes(records.size() * IndexRecordSize);
    for (std::size_t i = 0; i < records.size(); ++i)
        EncodeIndexRecord(records[i], bytes.data() + i * IndexRecordSize);
    TAtomicFileWriter writer;
    TIoStatus s = writer.Open(db.indexFileName);
    if (s) s = writer.Write(bytes.data(), bytes.size());
    // The handle for the new index, taken before it is in place: once it is, nothing may fail.
    TDbFile fresh;
    if (s && !fresh.Open(writer.TemporaryPath(), false))
        s = TIoStatus::FromErrno("cannot open " + writer.TemporaryPath(), errno);
    if (s) s = writer.Commit();
    // In place although the folder sync failed: the new index stands.
    if (!writer.Replaced()) {
        writer.Discard();
        if (reason) *reason = s.Message();
        return TDbStatus::IoError;
    }
    db.indexFile = std::move(fresh);
    db.gameCount = IndexRecordCount(db);
    return TDbStatus::Ok;
}

TDbStatus ReadGame(const TGameDatabase& db, std::int32_t n, bool keep, TGame& g) {
    TGameIndexRecord r;
    const TDbStatus read = ReadIndexRecord(db, n, r);
    // A game of its own variant, whatever the main window plays; a record that cannot be read
    // leaves the game in the variant it had.
    if (!keep) InitGame(g, read == TDbStatus::Ok ? r.variant : g.header.variant);
    if (read != TDbStatus::Ok) return read;
    g.header = r;
    FillNames(db, r, g.white, g.black, g.annotator, g.tournament, g.site);
    TMoveBytes mb;
    const std::int64_t moveSize = db.moveFile.Size();
    const bool placed = r.offset >= 1 && r.length >= 1 && moveSize >= 0 &&
                        std::int64_t(r.offset) + std::int64_t(r.length) <= moveSize;
    if (placed) {
        mb.bytes.resize(r.length);
        if (!db.moveFile.ReadAt(r.offset, mb.bytes.data(), r.length)) {
            mb.Clear();
            DecodeGameMoves(mb, g); // an empty buffer: clears the tree
            return TDbStatus::IoError;
        }
    }
    return DecodeGameMoves(mb, g) == TDecodeResult::Ok && placed ? TDbStatus::Ok : TDbStatus::Damaged;
}

TDbStatus WriteGame(TGame& g, std::int32_t n, TGameDatabase& db, bool saveNames) {
    if (const TDbStatus s = Writable(db); s != TDbStatus::Ok) return s;
    if (!CheckGameForStore(g)) return TDbStatus::BadGame;
    const std::int32_t records = IndexRecordCount(db);
    if (n < 0 || n > records) return TDbStatus::NoSuchGame;

    std::array<std::uint16_t, 5> indices{};
    bool appended = false;
    if (const TDbStatus s =
            StoreNames(db, {&g.white, &g.black, &g.annotator, &g.tournament, &g.site}, indices, appended);
        s != TDbStatus::Ok)
        return s;
    SetNameIndices(g.header, indices);
    // Names first: a record must never point past the lists on disk.
    if (appended && saveNames && !WriteNameLists(db)) return TDbStatus::IoError;

    TMoveBytes mb;
    EncodeGameMoves(g, mb);
    g.header.fullMoves = static_cast<std::uint16_t>((MainLineLength(g) + 1) / 2);
    g.header.flags = ComputeGameFlags(g);

    const std::int64_t moveSize = db.moveFile.Size();
    if (moveSize < 1) return TDbStatus::IoError;
    std::int64_t offset = moveSize;
    if (n > 0) {
        TGameIndexRecord old;
        if (const TDbStatus s = ReadIndexRecord(db, n, old); s != TDbStatus::Ok) return s;
        // Reuse the old place only when it really lies inside the move file.
        if (old.offset >= 1 && std::int64_t(old.offset) + old.length <= moveSize &&
            old.length >= mb.bytes.size())
            offset = old.offset;
    } else {
        n = records + 1;
    }
    if (offset + std::int64_t(mb.bytes.size()) > std::int64_t(UINT32_MAX))
        return TDbStatus::IoError; // past what the 32-bit place of a block can hold
    g.header.offset = static_cast<std::uint32_t>(offset);
    g.header.length = static_cast<std::uint32_t>(mb.bytes.size());
    // The block before the record: a failure leaves the old record pointing at intact bytes.
    if (!db.moveFile.WriteAt(std::uint64_t(offset), mb.bytes.data(), mb.bytes.size()))
        return TDbStatus::IoError;
    return StoreIndexRecord(db, n, g.header); // n checked above: no second look at the file's size
}

std::string PlayerName(std::uint32_t index, const TGameDatabase& db) {
    return NameAt(db.players, index);
}
std::string TournamentName(std::uint32_t index, const TGameDatabase& db) {
    return NameAt(db.tournaments, index);
}
std::string SiteName(std::uint32_t index, const TGameDatabase& db) {
    return NameAt(db.sites, index);
}

TDbStatus ReadQuickHeader(const TGameDatabase& db, std::int32_t n, TQuickGameHeader& h) {
    if (const TDbStatus s = ReadIndexRecord(db, n, h.header); s != TDbStatus::Ok) return s;
    FillNames(db, h.header, h.white, h.black, h.annotator, h.tournament, h.site);
    return TDbStatus::Ok;
}

TDbStatus WriteQuickHeader(TGameDatabase& db, std::int32_t n, TQuickGameHeader& h) {
    if (const TDbStatus s = Writable(db); s != TDbStatus::Ok) return s;
    if (n < 1 || n > IndexRecordCount(db)) return TDbStatus::NoSuchGame;
    std::array<std::uint16_t, 5> indices{};
    bool appended = false;
    if (const TDbStatus s =
            StoreNames(db, {&h.white, &h.black, &h.annotator, &h.tournament, &h.site}, indices, appended);
        s != TDbStatus::Ok)
        return s;
    SetNameIndices(h.header, indices);
    if (appended && !WriteNameLists(db)) return TDbStatus::IoError;
    return WriteIndexRecord(db, n, h.header);
}

bool PositionAtNode(int node, const TGame& g, TBoard& board) {
    if (!KeyToPosition(g.startKey, board)) return false;
    if (node == 0) return true;
    const int count = std::min<int>(g.header.nodeCount, MaxNodes);
    const TGameType variant = g.header.variant;
    if (!IsValidVariant(variant)) return false;
    std::array<int, NodeSlots> path;
    int depth = 0;
    for (int n = node; n != 0; n = g.nodes[n].parent) {
        // A chain longer than the tree holds nodes loops.
        if (n < 1 || n > count || g.nodes[n].free || depth >= MaxNodes) return false;
        path[depth++] = n;
    }
    while (depth > 0)
        MakeMove(g.nodes[path[--depth]], board, variant);
    return true;
}
