#include "gamedb/game_list_sort.h"

#include "gamedb/game_index_record.h"

#include <algorithm>
#include <numeric>
#include <string>

namespace {

// Records per read: 52 bytes each, about 1.6 MB a block.
constexpr std::int32_t BlockRecords = 32768;

struct TKeyed {
    std::uint64_t key;
    std::uint32_t at; // position in the range, so equal keys keep list order
    bool operator<(const TKeyed& o) const { return key != o.key ? key < o.key : at < o.at; }
};

std::uint64_t RankOf(const std::vector<std::uint32_t>& ranks, std::uint16_t index) {
    return ranks[std::min<std::size_t>(index, ranks.size() - 1)];
}

} // namespace

TDbStatus ReadAllIndexRecords(const TGameDatabase& db, std::vector<TGameIndexRecord>& records) {
    records.clear();
    if (!db.open) return TDbStatus::NotOpen;
    const std::int32_t count = IndexRecordCount(db);
    records.resize(std::size_t(count));
    std::vector<std::uint8_t> block(std::size_t(std::min(count, BlockRecords)) * IndexRecordSize);
    for (std::int32_t first = 0; first < count; first += BlockRecords) {
        const std::int32_t n = std::min(BlockRecords, count - first);
        if (!db.indexFile.ReadAt(std::uint64_t(first) * IndexRecordSize, block.data(),
                                 std::size_t(n) * IndexRecordSize)) {
            records.clear();
            return TDbStatus::IoError;
        }
        for (std::int32_t i = 0; i < n; ++i)
            DecodeIndexRecord(block.data() + std::size_t(i) * IndexRecordSize,
                              records[std::size_t(first + i)]);
    }
    return TDbStatus::Ok;
}

std::vector<std::uint32_t> RankNames(const TNameList& list) {
    static const std::string Missing = "ERROR!!!";
    const std::size_t n = list.Size();
    const auto name = [&](std::size_t i) -> const std::string& { return i < n ? list[i] : Missing; };
    std::vector<std::uint32_t> order(n + 1);
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t a, std::uint32_t b) { return name(a) < name(b); });
    std::vector<std::uint32_t> ranks(n + 1);
    std::uint32_t rank = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        if (k > 0 && name(order[k]) != name(order[k - 1])) ++rank;
        ranks[order[k]] = rank;
    }
    return ranks;
}

namespace {

TDbStatus SortRange(const TGameDatabase& db, const std::vector<TGameIndexRecord>& records, TGameList& list,
                    std::int32_t first, std::int32_t last, TSortKind kind) {
    const std::vector<std::uint32_t> ranks =
        RankNames(kind == TSortKind::YearTournament ? db.tournaments : db.players);

    std::vector<TKeyed> keyed(std::size_t(last - first + 1));
    for (std::int32_t p = first; p <= last; ++p) {
        const std::int32_t game = list[p].gameNumber;
        if (game < 1 || std::size_t(game) > records.size()) return TDbStatus::NoSuchGame;
        const TGameIndexRecord& r = records[std::size_t(game - 1)];
        std::uint64_t key = 0;
        switch (kind) {
        case TSortKind::White:
            key = RankOf(ranks, r.white);
            break;
        case TSortKind::Black:
            key = RankOf(ranks, r.black);
            break;
        case TSortKind::YearTournament:
            // year 16 bits, tournament rank at most 65,537 (17 bits), round 8 bits
            key = (std::uint64_t(r.year) << 32) | (RankOf(ranks, r.tournament) << 8) | r.round;
            break;
        }
        keyed[std::size_t(p - first)] = {key, std::uint32_t(p - first)};
    }
    std::sort(keyed.begin(), keyed.end());

    std::vector<TGameListEntry>& entries = list.Entries();
    const std::vector<TGameListEntry> old(entries.begin() + (first - 1), entries.begin() + last);
    for (std::size_t i = 0; i < keyed.size(); ++i)
        entries[std::size_t(first - 1) + i] = old[keyed[i].at];
    return TDbStatus::Ok;
}

} // namespace

TDbStatus SortGameList(const TGameDatabase& db, TGameList& list, std::int32_t first, std::int32_t last,
                       TSortKind kind) {
    if (!db.open) return TDbStatus::NotOpen;
    first = std::max(first, 1);
    last = std::min(last, list.Count());
    if (first >= last) return TDbStatus::Ok;
    std::vector<TGameIndexRecord> records;
    if (const TDbStatus s = ReadAllIndexRecords(db, records); s != TDbStatus::Ok) return s;
    return SortRange(db, records, list, first, last, kind);
}

bool ListIsPermutation(const TGameList& list, std::int32_t gameCount) {
    if (list.Count() != gameCount) return false;
    std::vector<bool> seen(std::size_t(gameCount) + 1);
    for (const TGameListEntry& e : list.Entries()) {
        if (e.gameNumber < 1 || e.gameNumber > gameCount || seen[std::size_t(e.gameNumber)]) return false;
        seen[std::size_t(e.gameNumber)] = true;
    }
    return true;
}

TSortListResult SortListedGames(TGameDatabase& db, TGameList& list, TSortKind kind) {
    TSortListResult result;
    if (!db.open) {
        result.status = TDbStatus::NotOpen;
        return result;
    }
    std::vector<TGameIndexRecord> records;
    if ((result.status = ReadAllIndexRecords(db, records)) != TDbStatus::Ok) return result;
    if (list.Count() > 1 &&
        (result.status = SortRange(db, records, list, 1, list.Count(), kind)) != TDbStatus::Ok)
        return result;
    result.sorted = true;
    // Only a list of every game, each once, may become the index: a game listed twice would be
    // stored twice and another lost.
    if (records.empty() || !ListIsPermutation(list, std::int32_t(records.size()))) return result;
    std::vector<TGameIndexRecord> sorted;
    sorted.reserve(records.size());
    for (const TGameListEntry& e : list.Entries())
        sorted.push_back(records[std::size_t(e.gameNumber - 1)]);
    if ((result.status = ReplaceIndexFile(db, sorted)) != TDbStatus::Ok) return result;
    list.Reset(db.gameCount);
    result.renumbered = true;
    return result;
}
