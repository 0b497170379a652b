// The list tools over a damaged database: an index file of any bytes (name indices past their
// lists, any years and rounds) and a name file of any text. Sorting keeps every listed entry and
// orders by the names as they read; renumbering keeps every record; the tournaments list counts
// every listed game once.
// Input: the length of the index file (two bytes, little-endian), the index file, then the name
// file (the rest). The list is every game, then the games listed again in a drawn order with one
// listed twice.
#include "fuzz_files.h"
#include "gamedb/game_database.h"
#include "gamedb/game_index_record.h"
#include "gamedb/game_list_sort.h"
#include "gamedb/tournament_list.h"
#include "platform/byte_codec.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <numeric>

namespace {

std::vector<std::int32_t> Numbers(const TGameList& list) {
    std::vector<std::int32_t> out;
    for (const TGameListEntry& e : list.Entries())
        out.push_back(e.gameNumber);
    return out;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t indexBytes = std::min<std::size_t>(GetLe16(data), size - 2);
    fuzz_files::Write("tools.vqb", data + 2, indexBytes);
    fuzz_files::Write("tools.vqn", data + 2 + indexBytes, size - 2 - indexBytes);
    static const std::uint8_t type = 20; // the move file holds only its type byte: no game is read
    fuzz_files::Write("tools.vqm", &type, 1);

    static TGameDatabase db;
    OpenDatabase(fuzz_files::Path("tools.vqb"), db);
    if (!db.open) return 0;
    const std::int32_t count = db.gameCount;
    std::vector<TGameIndexRecord> records;
    Check(ReadAllIndexRecords(db, records) == TDbStatus::Ok && std::int32_t(records.size()) == count);

    TGameList list;
    for (int kind = 1; kind <= 3; ++kind) {
        list.Reset(count);
        for (std::int32_t n = count; n >= 1; n -= 2)
            list.Append(n);
        std::vector<std::int32_t> before = Numbers(list);
        Check(SortGameList(db, list, 1, list.Count(), static_cast<TSortKind>(kind)) == TDbStatus::Ok);
        std::vector<std::int32_t> after = Numbers(list);
        for (std::int32_t p = 1; p < list.Count(); ++p) {
            const TGameIndexRecord &a = records[std::size_t(list[p].gameNumber - 1)],
                                   &b = records[std::size_t(list[p + 1].gameNumber - 1)];
            if (kind == 1) Check(PlayerName(a.white, db) <= PlayerName(b.white, db));
            if (kind == 2) Check(PlayerName(a.black, db) <= PlayerName(b.black, db));
            if (kind == 3) Check(a.year <= b.year);
        }
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        Check(before == after);
    }

    TTournamentList tournaments;
    Check(BuildTournamentList(db, list, tournaments) == TDbStatus::Ok);
    std::int64_t games = 0;
    for (const TTournEntry& e : tournaments.Entries())
        games += e.games;
    Check(games == list.Count());
    Check(FillTournamentGrid(tournaments, 0, false).games == games);

    // Every game once: renumbered, and the same records stand in the index.
    list.Reset(count);
    const TSortListResult r = SortListedGames(db, list, TSortKind::YearTournament);
    // An index that ends in a partial record opens read-only: sorted, never renumbered.
    if (count > 0)
        Check(r.status == (db.readOnly ? TDbStatus::ReadOnly : TDbStatus::Ok) && r.renumbered != db.readOnly);
    std::vector<TGameIndexRecord> renumbered;
    Check(ReadAllIndexRecords(db, renumbered) == TDbStatus::Ok && renumbered.size() == records.size());
    const auto byBytes = [](const TGameIndexRecord& a, const TGameIndexRecord& b) {
        std::uint8_t x[IndexRecordSize], y[IndexRecordSize];
        EncodeIndexRecord(a, x);
        EncodeIndexRecord(b, y);
        return std::lexicographical_compare(x, x + IndexRecordSize, y, y + IndexRecordSize);
    };
    std::sort(records.begin(), records.end(), byBytes);
    std::sort(renumbered.begin(), renumbered.end(), byBytes);
    Check(records == renumbered);
    CloseDatabase(db);
    return 0;
}
