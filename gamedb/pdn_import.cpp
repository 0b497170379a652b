#include "gamedb/pdn_import.h"

#include "gamedb/fen.h"
#include "gamedb/game_index_record.h"
#include "gamedb/import_log.h"
#include "gamedb/pdn_move_text.h"
#include "gamedb/pdn_tags.h"
#include "gamedb/progress.h"
#include "gamedb/user_prompt.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "rules/file_names.h"

#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

namespace {

struct TTag {
    std::string key, value;
};

void AddReason(TPdnGameReport& r, const std::string& why) {
    r.whole = false;
    if (!r.reason.empty()) r.reason += "; ";
    r.reason += why;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec)) return true;
    const auto ca = std::filesystem::weakly_canonical(a, ec);
    if (ec) return a == b;
    const auto cb = std::filesystem::weakly_canonical(b, ec);
    return !ec && ca == cb;
}

bool AnyDatabaseFile(const TDbFileNames& files) {
    for (const std::string* f : {&files.index, &files.names, &files.moves})
        if (PathKind(*f) != TPathKind::Missing) return true;
    return false;
}

} // namespace

void ReadPdnGame(const TPdnGameText& text, TGameType currentVariant, TGame& g, TPdnGameReport& r) {
    std::vector<TTag> tags;
    tags.reserve(text.tags.size());
    TGameType variant = IsValidVariant(currentVariant) ? currentVariant : TGameType(gtRussian);
    bool badType = false;
    for (const std::string& line : text.tags) {
        TTag t;
        if (!ParsePdnTag(line, t.key, t.value)) continue;
        t.value = PdnTextToCp1251(t.value);
        if (t.key == "GameType") {
            if (const TGameType v = PdnGameTypeVariant(t.value); v) {
                variant = v;
            } else {
                badType = true;
                AddReason(r,
                          "GameType \"" + t.value + "\" is none of the seven variants: stored without moves");
            }
        } else if (t.key == "White") {
            r.white = t.value;
        } else if (t.key == "Black") {
            r.black = t.value;
        } else if (t.key == "Event") {
            r.event = t.value;
        } else if (t.key == "Date") {
            r.date = t.value;
        }
        tags.push_back(std::move(t));
    }
    if (badType) variant = IsValidVariant(currentVariant) ? currentVariant : TGameType(gtRussian);

    InitGame(g, variant);
    TPdnHeaderState state;
    state.start = StartPositionOf(variant);
    for (const TTag& t : tags)
        ParsePdnHeader(t.key, t.value, g, state);
    bool readMoves = !badType;
    if (state.fenError) {
        state.start = StartPositionOf(variant);
        state.startSide = 0;
        readMoves = false;
        AddReason(r, state.fenMessage + ": stored from the start position without moves");
    }
    PositionToKey(state.start, g.startKey);
    g.header.startSide = static_cast<std::uint8_t>(state.startSide);

    if (!readMoves) {
        g.header.flags |= gfDeleted;
        r.unread = PdnTextToCp1251(text.moveText);
        return;
    }
    const TPdnMoveTextResult m = ParseMoveLine(text.moveText, g, state.start, state.startSide);
    if (m.unmatched) g.header.flags |= gfDeleted;
    if (!m.reason.empty()) {
        AddReason(r, m.reason);
        r.unread = m.unread;
    }
    // The result token of the move text, when no Result tag gave one.
    if (!state.resultTag && m.resultCode > 0) {
        int code = m.resultCode;
        if (state.timeLoss && code == grWhiteWins) code = grWhiteOnTime;
        if (state.timeLoss && code == grBlackWins) code = grBlackOnTime;
        g.header.result = static_cast<std::uint8_t>(code);
    }
}

bool TPdnReader::Next(TGame& g, TPdnGameReport& report) {
    if (!m_text.Next(m_game)) return false;
    report = {};
    report.number = ++m_number;
    report.line = m_game.firstLine;
    report.firstLine = PdnTextToCp1251(m_game.firstLineText);
    ReadPdnGame(m_game, m_variant, g, report);
    return true;
}

std::string PdnLogEntry(const TPdnGameReport& r, std::int64_t databaseNumber) {
    std::string e = "Game " + std::to_string(r.number) + " of the file (game " +
                    std::to_string(databaseNumber) + " of the database), line " + std::to_string(r.line) +
                    " \"" + r.firstLine + "\"";
    e += ": White \"" + r.white + "\", Black \"" + r.black + "\", Event \"" + r.event + "\", Date \"" +
         r.date + "\": " + r.reason + ".";
    if (!r.unread.empty()) e += " Unread: " + r.unread;
    return e;
}

std::string PdnImportDatabaseName(const std::string& pdnFileName) {
    return StripExtension(pdnFileName) + ".vqb";
}

TPdnImportResult ImportPdnDatabase(const std::string& pdnFileName, const std::string& databaseFileName,
                                   TGameType currentVariant, IUserPrompt& prompt, IProgress& progress,
                                   const TGameDatabase* open) {
    TPdnImportResult result;
    const TDbFileNames files =
        DatabaseFileNames(databaseFileName.empty() ? PdnImportDatabaseName(pdnFileName) : databaseFileName);
    result.databaseFileName = files.index;
    const std::string shownPdn = Utf8ToCp1251(pdnFileName);
    const std::string shownDb = Utf8ToCp1251(result.databaseFileName);
    auto finish = [&](TPdnImportStatus status, const std::string& message) {
        result.status = status;
        result.message = message;
        prompt.ShowMessage(message);
        return result;
    };

    if (!IsValidVariant(currentVariant)) return finish(TPdnImportStatus::Refused, "No variant chosen.");
    if (!RegularFileExists(pdnFileName))
        return finish(TPdnImportStatus::CannotOpen, "Cannot open " + shownPdn);
    if (open && open->open && SameFile(open->indexFileName, result.databaseFileName))
        return finish(TPdnImportStatus::Refused,
                      "The database " + shownDb + " is open: choose another name for the import.");
    for (const std::string* f : {&files.index, &files.names, &files.moves})
        if (PathKind(*f) == TPathKind::Other)
            return finish(TPdnImportStatus::CannotCreate,
                          Utf8ToCp1251(*f) + " is not a file (a folder, a pipe or a device): "
                                             "nothing imported.");
    const bool existed = AnyDatabaseFile(files);
    if (existed && !prompt.Confirm("The database " + shownDb + " exists. Replace it?")) {
        result.status = TPdnImportStatus::Cancelled;
        return result;
    }
    std::string bytes;
    if (const TIoStatus s = ReadWholeFile(pdnFileName, bytes); !s)
        return finish(TPdnImportStatus::CannotOpen,
                      "Cannot open " + shownPdn + ": " + Utf8ToCp1251(s.Message()));
    const std::string unchanged =
        existed ? "nothing imported: the database " + shownDb + " is as it was." : "nothing imported.";

    // Built under staged names and put in place as one step at the end: until then the old files
    // stay as they are, and a failure on the way changes nothing.
    TDbReplacement replacement;
    TGameDatabase db;
    db.prompt = &prompt;
    TIoStatus made = replacement.Begin(result.databaseFileName);
    if (made) made = CreateDatabaseFiles(replacement.Staged(), db);
    if (!made)
        return finish(TPdnImportStatus::CannotCreate, "Cannot create the database " + shownDb + " (" +
                                                          Utf8ToCp1251(made.Message()) + "): " + unchanged);
    TImportLog log(result.databaseFileName);
    log.SetTitle("Import of " + shownPdn);
    std::string stopReason;
    bool failed = false; // a file error: nothing of this import may stay
    {
        TProgressScope scope(progress, "Import PDN Database", shownPdn,
                             static_cast<std::int64_t>(bytes.size()), 0);
        TPdnReader reader(bytes, currentVariant);
        auto game = std::make_unique<TGame>();
        TPdnGameReport report;
        while (reader.Next(*game, report)) {
            if (const TDbStatus s = WriteGame(*game, 0, db, false); s != TDbStatus::Ok) {
                failed = s == TDbStatus::IoError;
                result.status = TPdnImportStatus::WriteFailed;
                stopReason = std::string("the database refused game ") + std::to_string(report.number) +
                             " (" + DbStatusText(s) + ")";
                log.Add("Game " + std::to_string(report.number) + " of the file, line " +
                        std::to_string(report.line) + ": " + stopReason + "; the import stopped here.");
                break;
            }
            ++result.games;
            if (report.whole)
                ++result.whole;
            else
                log.Add(PdnLogEntry(report, result.games));
            if (result.games % 100 == 0) scope.Step(reader.Offset(), result.games);
        }
    }
    db.gameCount = IndexRecordCount(db);
    const bool namesSaved = !failed && SaveDatabase(db);
    CloseDatabase(db);
    if (failed || !namesSaved) {
        replacement.Abandon();
        result.games = result.whole = 0;
        return finish(TPdnImportStatus::CannotCreate,
                      (failed ? "The import stopped: " + stopReason + ", "
                              : "Cannot write the database " + shownDb + ": ") +
                          unchanged);
    }
    std::string notInPlace;
    switch (replacement.Commit(notInPlace)) {
    case TReplaceOutcome::NotDone:
        result.games = result.whole = 0;
        return finish(TPdnImportStatus::CannotCreate, "Cannot put the database " + shownDb + " in place (" +
                                                          Utf8ToCp1251(notInPlace) + "): " + unchanged);
    case TReplaceOutcome::Pending:
        notInPlace = "\nThe new files could not all be renamed into place (" + Utf8ToCp1251(notInPlace) +
                     "): that is finished when the database is next opened.";
        break;
    case TReplaceOutcome::Done:
        notInPlace.clear();
        break;
    }
    if (log.Write() && log.EntryCount() > 0) result.logPath = log.Path();

    std::string message;
    if (result.status == TPdnImportStatus::WriteFailed) message = "The import stopped: " + stopReason + ".\n";
    message += std::to_string(result.games) + " games imported into " + shownDb + ", " +
               std::to_string(result.whole) + " read whole.";
    if (!result.logPath.empty())
        message += "\nThe games not read whole are listed in " + Utf8ToCp1251(result.logPath);
    return finish(result.status, message + notInPlace);
}
