#include "gamedb/database_commands.h"

#include "gamedb/game_index_record.h"
#include "gamedb/progress.h"
#include "gamedb/user_prompt.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "rules/file_names.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

TDbStatus SetDeletedMark(TGameDatabase& db, const TGameList& list, std::int32_t position, TMarkMode mode) {
    if (!list.Contains(position)) return TDbStatus::NoSuchGame;
    const std::int32_t game = list[position].gameNumber;
    TGameIndexRecord r;
    if (const TDbStatus s = ReadIndexRecord(db, game, r); s != TDbStatus::Ok) return s;
    switch (mode) {
    case TMarkMode::Clear:
        r.flags &= static_cast<std::uint8_t>(~gfDeleted);
        break;
    case TMarkMode::Set:
        r.flags |= gfDeleted;
        break;
    case TMarkMode::Toggle:
        r.flags ^= gfDeleted;
        break;
    }
    return WriteIndexRecord(db, game, r);
}

TDbStatus DeleteListedGames(TGameDatabase& db, const TGameList& list, std::int32_t current) {
    std::vector<std::int32_t> selected;
    for (std::int32_t p = 1; p <= list.Count(); ++p)
        if (list[p].selected) selected.push_back(p);
    if (selected.empty())
        return list.Contains(current) ? SetDeletedMark(db, list, current, TMarkMode::Toggle) : TDbStatus::Ok;
    TGameIndexRecord first;
    if (const TDbStatus s = ReadIndexRecord(db, list[selected.front()].gameNumber, first); s != TDbStatus::Ok)
        return s;
    const TMarkMode mode = (first.flags & gfDeleted) ? TMarkMode::Clear : TMarkMode::Set;
    for (const std::int32_t p : selected)
        if (const TDbStatus s = SetDeletedMark(db, list, p, mode); s != TDbStatus::Ok) return s;
    return TDbStatus::Ok;
}

void SetAllSelected(TGameList& list, bool selected) {
    for (TGameListEntry& e : list.Entries())
        e.selected = selected ? 1 : 0;
}

TCleanUpResult CleanUpDatabase(TGameDatabase& db) {
    TCleanUpResult res;
    if (db.open && db.readOnly) res.status = TDbStatus::ReadOnly;
    if (!db.open) res.status = TDbStatus::NotOpen;
    if (res.status != TDbStatus::Ok) return res;
    // The whole index in one read: 52 bytes a game, 52 MB for a million games.
    const std::int32_t count = IndexRecordCount(db);
    std::vector<std::uint8_t> bytes(std::size_t(count) * IndexRecordSize);
    if (!bytes.empty() && !db.indexFile.ReadAt(0, bytes.data(), bytes.size())) {
        res.status = TDbStatus::IoError;
        res.message = "cannot read " + db.indexFileName;
        return res;
    }
    std::vector<TGameIndexRecord> kept;
    kept.reserve(std::size_t(count));
    for (std::int32_t i = 0; i < count; ++i) {
        TGameIndexRecord r;
        DecodeIndexRecord(bytes.data() + std::size_t(i) * IndexRecordSize, r);
        if (!(r.flags & gfDeleted)) kept.push_back(r);
    }
    res.kept = static_cast<std::int32_t>(kept.size());
    res.removed = count - res.kept;
    if (res.removed > 0) {
        std::string why;
        res.status = ReplaceIndexFile(db, kept, &why);
        if (res.status != TDbStatus::Ok) {
            res.message = Utf8ToCp1251(why.empty() ? "cannot rewrite " + db.indexFileName : why);
            res.kept = count;
            res.removed = 0;
            return res;
        }
    }
    db.gameCount = IndexRecordCount(db);
    db.currentGame = std::min(db.currentGame, db.gameCount);
    return res;
}

TCheckResult CheckDatabase(const TGameDatabase& db, const std::function<void(std::int32_t)>& onGame) {
    TCheckResult res;
    auto g = std::make_unique<TGame>();
    for (std::int32_t n = 1; n <= db.gameCount; ++n) {
        if (onGame) onGame(n);
        const TDbStatus s = ReadGame(db, n, false, *g);
        const TGameIndexRecord& r = g->header;
        std::string why;
        if (s == TDbStatus::NoSuchGame)
            why = "the index file ends before it";
        else if (s == TDbStatus::IoError)
            why = "it cannot be read";
        else if (r.white >= db.players.Size() || r.black >= db.players.Size() ||
                 r.annotator >= db.players.Size() || r.tournament >= db.tournaments.Size() ||
                 r.site >= db.sites.Size())
            why = "a name of its header is missing from the name file (ERROR!!!)";
        else if (s != TDbStatus::Ok)
            why = "its moves are damaged";
        if (!why.empty()) {
            res.faultyGame = n;
            res.why = why;
            return res;
        }
    }
    return res;
}

namespace {

fs::path DatabaseFile(const std::string& name, const char* extension) {
    std::error_code ec;
    const fs::path p = StripExtension(name) + extension;
    const fs::path c = fs::weakly_canonical(p, ec);
    return ec ? fs::absolute(p, ec) : c;
}

bool SameFile(const fs::path& a, const fs::path& b) {
    if (a == b) return true;
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

} // namespace

bool SameDatabase(const std::string& a, const std::string& b) {
    return SameFile(DatabaseFile(a, ".vqb"), DatabaseFile(b, ".vqb")) ||
           SameFile(DatabaseFile(a, ".vqm"), DatabaseFile(b, ".vqm"));
}

TCopyResult CopyListedGames(const TGameDatabase& from, const TGameList& list, std::int32_t current,
                            const std::string& target, IProgress& progress) {
    TCopyResult res;
    if (SameDatabase(from.indexFileName, target)) {
        res.status = TCopyStatus::SameDatabase;
        return res;
    }
    const std::vector<std::int32_t> chosen = ChosenListPositions(list, current);
    if (chosen.empty() || !from.open) {
        res.status = TCopyStatus::NothingChosen;
        return res;
    }
    const std::string shown = Utf8ToCp1251(DatabaseFileNames(target).index);
    auto notOpened = [&](const std::string& message) {
        if (!message.empty()) from.Prompt().ShowMessage(message);
        res.status = TCopyStatus::NotOpened;
        return res;
    };
    TGameDatabase to;
    to.prompt = from.prompt;
    // A new target is built under staged names and put in place when every game is in it.
    TDbReplacement replacement;
    bool created = false;
    switch (OpenDatabase(target, to)) {
    case TOpenResult::Opened:
        if (to.readOnly) {
            CloseDatabase(to);
            return notOpened("Error Opening database: " + shown + " cannot be written, nothing was copied.");
        }
        break;
    case TOpenResult::Missing: {
        if (!from.Prompt().Confirm(CreateNewQuestion(target))) return notOpened("Error Opening database");
        TIoStatus s = replacement.Begin(target);
        if (s) s = CreateDatabaseFiles(replacement.Staged(), to);
        if (!s) return notOpened("Error Opening database: " + Utf8ToCp1251(s.Message()));
        created = true;
        break;
    }
    case TOpenResult::Partial:
        return notOpened("Error Opening database: " + shown + " is incomplete (a file of it is missing).");
    case TOpenResult::Failed:
        return notOpened(""); // the store has said why
    }
    bool fileError = false;
    {
        const auto total = static_cast<std::int64_t>(chosen.size());
        TProgressScope scope(progress, "Copy games", "Copying...", total, total);
        auto g = std::make_unique<TGame>();
        std::int32_t done = 0;
        for (const std::int32_t p : chosen) {
            if (++done % 100 == 0) scope.Step(done, 0);
            if (ReadGame(from, list[p].gameNumber, false, *g) != TDbStatus::Ok) {
                ++res.unreadable;
                continue;
            }
            if (const TDbStatus s = WriteGame(*g, 0, to, false); s != TDbStatus::Ok) {
                res.status = TCopyStatus::WriteFailed;
                fileError = s == TDbStatus::IoError;
                break;
            }
            ++to.gameCount;
            ++res.copied;
        }
    }
    if (!created) {
        CloseDatabase(to);
        return res;
    }
    // A new database holds every game or does not come to be.
    const bool namesSaved = !fileError && SaveDatabase(to);
    CloseDatabase(to);
    std::string why;
    const TReplaceOutcome placed =
        fileError || !namesSaved ? TReplaceOutcome::NotDone : replacement.Commit(why);
    if (placed == TReplaceOutcome::NotDone) {
        replacement.Abandon();
        res.copied = 0;
        if (res.status == TCopyStatus::Copied) {
            res.status = TCopyStatus::WriteFailed;
            from.Prompt().ShowMessage("The database " + shown + " could not be made (" +
                                      Utf8ToCp1251(namesSaved ? why : "the name file cannot be written") +
                                      "): nothing was copied.");
        }
    } else if (placed == TReplaceOutcome::Pending) {
        from.Prompt().ShowMessage("The games are copied into " + shown +
                                  ", but its new files could not all be renamed into place (" +
                                  Utf8ToCp1251(why) +
                                  "): that is finished when the database is next opened.");
    }
    return res;
}

TIoStatus SavePlayerNames(const TGameDatabase& db, const std::string& fileName) {
    std::vector<std::string> names = db.players.Names();
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return Cp1251CompareNoCase(a, b) < 0;
    });
    std::string text;
    for (const std::string& n : names)
        text += n + "\r\n";
    return AtomicWriteFile(StripExtension(fileName) + ".txt", text);
}

std::string SplitNameAtCapitals(std::string_view name) {
    std::string out;
    out.reserve(name.size() + 8);
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (i > 0 && c >= 'A' && c <= 'Z' && name[i - 1] != ' ') out += ' ';
        out += c;
    }
    return StorableName(out);
}

void CorrectNames(TGameDatabase& db) {
    TNameList corrected;
    for (const std::string& n : db.players.Names())
        corrected.Append(SplitNameAtCapitals(n));
    db.players = std::move(corrected);
    db.namesChanged = true;
}
