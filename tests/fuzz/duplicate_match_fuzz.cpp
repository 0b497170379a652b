// Duplicate matching over a database whose files may be damaged in any way. The matcher reads the
// index and the move file in large blocks of its own: every game it keeps must be one that ReadGame
// reads whole, with the same moves key, and every game ReadGame reads whole must be kept. The list
// holds each game at most once, and only listed copies get the deleted mark.
// Input: the length of the index file (two bytes, little-endian), the index file, the length of
// the name file (two bytes), the name file, and the move file (the rest).
#include "fuzz_files.h"
#include "gamedb/duplicate_match.h"
#include "gamedb/game_index_record.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

std::vector<std::uint8_t> Flags(const TGameDatabase& db) {
    std::vector<std::uint8_t> flags;
    for (int n = 1; n <= IndexRecordCount(db); ++n) {
        TGameIndexRecord r;
        if (ReadIndexRecord(db, n, r) != TDbStatus::Ok) std::abort();
        flags.push_back(r.flags);
    }
    return flags;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_files::QuietPrompts();
    const std::string index = fuzz_files::WriteDatabaseFiles("match", data, size);

    static TGameDatabase db;
    OpenDatabase(index, db);
    if (!db.open) return 0;
    const int count = IndexRecordCount(db);

    for (const int mode : {0, 1}) {
        TDuplicateOptions o;
        o.withoutCaptures = mode == 1;
        TGameList list;
        TDuplicateMatcher matcher(db, list, o, Progress());
        if (matcher.Load() != TDbStatus::Ok) std::abort();
        static const auto game = std::make_unique<TGame>();
        std::size_t k = 0;
        const std::vector<TDoubRec>& records = matcher.Records();
        for (int n = 1; n <= count; ++n) {
            const bool whole = ReadGame(db, n, false, *game) == TDbStatus::Ok;
            const bool kept = k < records.size() && records[k].gameNumber == std::uint32_t(n);
            if (whole != kept) std::abort();
            if (kept && records[k++].movesKey != DuplicateMovesKey(*game, mode)) std::abort();
        }
        if (k != records.size()) std::abort();
    }

    for (const bool fast : {true, false})
        for (const bool partial : {false, true}) {
            TDuplicateOptions o;
            o.fast = fast;
            o.partialLength = partial;
            o.names = partial;
            std::vector<std::uint8_t> before = Flags(db);
            TGameList list;
            const TDuplicateResult r = MatchDuplicateGames(db, list, o, Progress());
            if (r.status != TDbStatus::Ok || r.listed != list.Count() || list.Count() > count) std::abort();
            std::vector<std::uint8_t> seen(std::size_t(count) + 1, 0);
            for (const TGameListEntry& e : list.Entries()) {
                if (e.gameNumber < 1 || e.gameNumber > count || seen[std::size_t(e.gameNumber)]++)
                    std::abort();
                before[std::size_t(e.gameNumber - 1)] |= gfDeleted; // allowed to change
            }
            std::vector<std::uint8_t> after = Flags(db);
            for (int n = 0; n < count; ++n)
                if ((after[std::size_t(n)] | gfDeleted) != (before[std::size_t(n)] | gfDeleted) ||
                    ((after[std::size_t(n)] & gfDeleted) && !(before[std::size_t(n)] & gfDeleted)))
                    std::abort();
        }
    CloseDatabase(db);
    return 0;
}
