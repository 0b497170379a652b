// Duplicate matching over a database whose files may be damaged in any way. The matcher reads the
// index and the move file in large blocks of its own: every game it keeps must be one that ReadGame
// reads whole, with the same moves key, and every game ReadGame reads whole must be kept. The list
// holds each game at most once, and only listed copies get the deleted mark. Fast and not Fast
// mark the same copies in the same groups, and every copy has the variant and the start position
// of the first game of its group, and moves, as that game has.
// Input: the length of the index file (two bytes, little-endian), the index file, the length of
// the name file (two bytes), the name file, and the move file (the rest).
#include "fuzz_files.h"
#include "gamedb/duplicate_match.h"
#include "gamedb/game_index_record.h"
#include "tests/support/deleted_marks.h"
#include "tests/support/real_copies.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
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

// The list as groups: each game that is not marked deleted starts one, its copies follow it.
std::set<std::vector<int>> Groups(const TGameList& list, const std::vector<int>& deleted) {
    std::set<std::vector<int>> groups;
    std::vector<int> group;
    for (const TGameListEntry& e : list.Entries()) {
        if (!std::binary_search(deleted.begin(), deleted.end(), e.gameNumber) && !group.empty()) {
            groups.insert(group);
            group.clear();
        }
        group.push_back(e.gameNumber);
    }
    if (!group.empty()) groups.insert(group);
    return groups;
}

// A copy found by moves is of the variant and start of its first game, and both have moves.
bool CopiesShareVariantAndStart(const TGameDatabase& db, const std::set<std::vector<int>>& groups) {
    static const auto first = std::make_unique<TGame>(), copy = std::make_unique<TGame>();
    for (const std::vector<int>& group : groups) {
        if (ReadGame(db, group[0], false, *first) != TDbStatus::Ok) return false;
        if (test_support::MainLineMoves(*first).empty()) return false;
        for (std::size_t i = 1; i < group.size(); ++i) {
            if (ReadGame(db, group[i], false, *copy) != TDbStatus::Ok) return false;
            if (copy->header.variant != first->header.variant || copy->startKey != first->startKey ||
                test_support::MainLineMoves(*copy).empty())
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string index = fuzz_files::WriteDatabaseFiles("match", data, size);

    static TGameDatabase db;
    OpenDatabase(index, db);
    if (!db.open) return 0;
    const int count = IndexRecordCount(db);

    for (const int mode : {0, 1}) {
        TDuplicateOptions o;
        o.withoutCaptures = mode == 1;
        TGameList list;
        TDuplicateMatcher matcher(db, list, o, SilentProgress());
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

    for (const bool partial : {false, true}) {
        std::vector<int> marked[2];
        std::set<std::vector<int>> groups[2];
        for (const bool fast : {true, false}) {
            TDuplicateOptions o;
            o.fast = fast;
            o.partialLength = partial;
            o.names = partial;
            if (!test_support::SetDeletedMarks(db, {})) std::abort();
            std::vector<std::uint8_t> before = Flags(db);
            TGameList list;
            const TDuplicateResult r = MatchDuplicateGames(db, list, o, SilentProgress());
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
            marked[fast] = test_support::DeletedMarks(db);
            if (int(marked[fast].size()) != r.marked) std::abort();
            groups[fast] = Groups(list, marked[fast]);
            if (!CopiesShareVariantAndStart(db, groups[fast])) std::abort();
        }
        if (marked[0] != marked[1] || groups[0] != groups[1]) std::abort();
    }
    CloseDatabase(db);
    return 0;
}
