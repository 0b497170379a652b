#include "gamedb/duplicate_match.h"

#include "gamedb/database_commands.h"
#include "gamedb/game_block.h"
#include "gamedb/game_index_record.h"
#include "gamedb/move_bytes.h"
#include "rules/notation.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <numeric>

namespace {

constexpr std::size_t IndexBlockRecords = 8192;
constexpr std::size_t MoveBlockBytes = std::size_t(4) << 20;

const char* const Caption = "Match Games";

// A window over the move file that is refilled in large reads; the blocks are asked for in file
// order, so almost every block is served from memory.
class TMoveFileWindow {
  public:
    explicit TMoveFileWindow(const TDbFile& file) : m_file(file) {}
    // The `length` bytes at `offset`, or nullptr when the read fails. The caller has checked that
    // they lie inside the file of `fileSize` bytes.
    const std::uint8_t* Fetch(std::uint64_t offset, std::uint32_t length, std::uint64_t fileSize) {
        if (offset >= m_start && offset + length <= m_start + m_bytes.size())
            return m_bytes.data() + (offset - m_start);
        const std::uint64_t want =
            std::min<std::uint64_t>(std::max<std::uint64_t>(length, MoveBlockBytes), fileSize - offset);
        m_bytes.resize(std::size_t(want));
        if (!m_file.ReadAt(offset, m_bytes.data(), m_bytes.size())) {
            m_bytes.clear();
            return nullptr;
        }
        m_start = offset;
        return m_bytes.data();
    }

  private:
    const TDbFile& m_file;
    std::vector<std::uint8_t> m_bytes;
    std::uint64_t m_start = 0;
};

TDbStatus ReadAllIndexRecords(const TGameDatabase& db, std::vector<TGameIndexRecord>& records) {
    const std::size_t count = std::size_t(IndexRecordCount(db));
    records.resize(count);
    std::vector<std::uint8_t> bytes;
    for (std::size_t first = 0; first < count; first += IndexBlockRecords) {
        const std::size_t n = std::min(IndexBlockRecords, count - first);
        bytes.resize(n * IndexRecordSize);
        if (!db.indexFile.ReadAt(std::uint64_t(first) * IndexRecordSize, bytes.data(), bytes.size()))
            return TDbStatus::IoError;
        for (std::size_t i = 0; i < n; ++i)
            DecodeIndexRecord(bytes.data() + i * IndexRecordSize, records[first + i]);
    }
    return TDbStatus::Ok;
}

} // namespace

std::string DuplicateMovesKey(const TGame& g, int mode) {
    std::string key;
    const TGameType variant = g.header.variant;
    if (!IsValidVariant(variant)) return key;
    // The child each node's list puts first among those with the main-line flag: the highest
    // numbered flagged child (a sound tree has at most one). Found in one pass, not one per ply.
    std::array<std::uint16_t, NodeSlots> next{};
    const int count = std::min<int>(g.header.nodeCount, MaxNodes);
    for (int n = 1; n <= count; ++n) {
        const TMove& m = g.nodes[n];
        if (!m.free && m.mainLine && m.parent <= MaxNodes) next[m.parent] = static_cast<std::uint16_t>(n);
    }
    int node = 0;
    // A damaged tree could hold a cycle; a main line never has more plies than nodes.
    for (int plies = 0; next[node] != 0 && plies < MaxNodes; ++plies) {
        node = next[node];
        const TMove& m = g.nodes[node];
        if (mode == 1 && m.captures) continue;
        // "x" between the squares of a capture: without it "1x21" and "12x1" would both read "121".
        key += MoveToText(m, variant, false, "x");
        key += KeySeparator;
    }
    return key;
}

std::string NamesKey(const std::string& white, const std::string& black) {
    return white + KeySeparator + black;
}

std::string TournamentKey(const std::string& tournament, int round, int subround) {
    return tournament + KeySeparator + std::to_string(round) + KeySeparator + std::to_string(subround);
}

void SortDoubRecs(std::vector<TDoubRec>& records) {
    std::sort(records.begin(), records.end(), [](const TDoubRec& a, const TDoubRec& b) {
        if (a.start != b.start) return a.start < b.start;
        const int c = a.movesKey.compare(b.movesKey); // char_traits<char> compares as unsigned bytes
        return c != 0 ? c < 0 : a.gameNumber < b.gameNumber;
    });
}

namespace {

// SameMovesKey, also in the loop over every pair of games, where it must stay inline: the keys
// first, as they differ for almost every pair (most often in length).
inline bool MovesKeysMatch(const TDoubRec& x, const TDoubRec& y, bool partialLength) {
    // The same moves are another game in another variant or from another start, and a game
    // without moves has nothing that could show it is a copy.
    if (!partialLength) return x.movesKey == y.movesKey && x.start == y.start && !x.movesKey.empty();
    const std::size_t n = std::min(x.movesKey.size(), y.movesKey.size());
    return x.movesKey.compare(0, n, y.movesKey, 0, n) == 0 && x.start == y.start && n != 0;
}

} // namespace

bool SameMovesKey(const TDoubRec& x, const TDoubRec& y, bool partialLength) {
    return MovesKeysMatch(x, y, partialLength);
}

bool SameGameForMatch(const TDoubRec& x, const TDoubRec& y, const TDuplicateOptions& options) {
    return x.year == y.year && x.namesKey == y.namesKey && x.tournamentKey == y.tournamentKey &&
           (!options.moves || MovesKeysMatch(x, y, options.partialLength));
}

void ForEachFastRun(const std::vector<TDoubRec>& records, const TDuplicateOptions& options,
                    const std::function<bool(std::size_t lo, std::size_t hi)>& onRun) {
    // Without "Moves" every key is empty: under "Complete length" they all agree (one run), under
    // "Partial length" none does (length 0).
    const auto sameRun = [&](const TDoubRec& x, const TDoubRec& y) {
        return options.moves ? SameMovesKey(x, y, options.partialLength) : !options.partialLength;
    };
    std::size_t i = 0;
    while (i < records.size()) {
        // Each run starts where the last ended: a record whose key matches nothing (an empty key)
        // is a run of its own, and the walk always moves on.
        std::size_t j = i;
        while (j + 1 < records.size() && sameRun(records[i], records[j + 1]))
            ++j;
        if (!onRun(i, j)) return;
        i = j + 1;
    }
}

TDbStatus TDuplicateMatcher::Load() {
    m_records.clear();
    m_result = {};
    std::vector<TGameIndexRecord> index;
    if (const TDbStatus s = ReadAllIndexRecords(m_db, index); s != TDbStatus::Ok) return s;
    const std::size_t count = index.size();

    // The games in the order of their blocks in the move file.
    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    if (m_options.moves)
        std::stable_sort(order.begin(), order.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return index[a].offset < index[b].offset; });

    std::vector<TDoubRec> records(count);
    std::vector<std::uint8_t> readable(count, 1);
    const std::int64_t moveSize = m_db.moveFile.Size();
    TMoveFileWindow window(m_db.moveFile);
    auto scratch = std::make_unique<TGame>(); // never the main window's game
    TMoveBytes mb;
    // One number per variant and start key met, so that the matching compares one integer.
    std::map<std::pair<TGameType, TPositionKey>, std::uint32_t> starts;
    for (std::size_t k = 0; k < count; ++k) {
        if ((k + 1) % 1000 == 0) m_progress.StepProgress(std::int64_t(k + 1), 0);
        const std::uint32_t i = order[k];
        const TGameIndexRecord& r = index[i];
        TDoubRec& rec = records[i];
        rec.gameNumber = i + 1;
        if (m_options.names) rec.namesKey = NamesKey(PlayerName(r.white, m_db), PlayerName(r.black, m_db));
        if (m_options.tournament)
            rec.tournamentKey = TournamentKey(TournamentName(r.tournament, m_db), r.round, r.subround);
        if (m_options.year) rec.year = r.year;
        if (!m_options.moves) continue;
        const bool placed = r.offset >= 1 && r.length >= 1 && moveSize >= 0 &&
                            std::int64_t(r.offset) + std::int64_t(r.length) <= moveSize;
        if (!placed) {
            readable[i] = 0;
            continue;
        }
        const std::uint8_t* block = window.Fetch(r.offset, r.length, std::uint64_t(moveSize));
        if (!block) return TDbStatus::IoError;
        mb.Clear();
        mb.bytes.assign(block, block + r.length);
        scratch->header = r;
        if (DecodeGameMoves(mb, *scratch) != TDecodeResult::Ok) {
            readable[i] = 0;
            continue;
        }
        rec.movesKey = DuplicateMovesKey(*scratch, m_options.withoutCaptures ? 1 : 0);
        rec.start =
            starts.try_emplace({r.variant, scratch->startKey}, std::uint32_t(starts.size())).first->second;
    }
    m_records.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (readable[i])
            m_records.push_back(std::move(records[i]));
        else
            ++m_result.unreadable;
    }
    return TDbStatus::Ok;
}

TDbStatus TDuplicateMatcher::MarkLastCopy() {
    return SetDeletedMark(m_db, m_list, m_list.Count(), TMarkMode::Set);
}

void TDuplicateMatcher::MatchDuplicateRange(std::size_t lo, std::size_t hi) {
    if (m_records.empty()) return;
    hi = std::min(hi, m_records.size() - 1);
    for (std::size_t a = lo; a < hi && m_result.status == TDbStatus::Ok; ++a) {
        TDoubRec& ra = m_records[a];
        if (ra.matched) continue;
        if (a % 100 == 0) m_progress.StepProgress(std::int64_t(a), 0);
        bool listed = false;
        for (std::size_t b = a + 1; b <= hi; ++b) {
            TDoubRec& rb = m_records[b];
            if (!SameGameForMatch(ra, rb, m_options)) continue;
            ra.matched = 1;
            // Already listed as the copy of an earlier game (possible under "Partial length"):
            // listing it again would show it twice and let the list outgrow the database.
            if (rb.matched) continue;
            if (!listed) {
                m_list.Append(std::int32_t(ra.gameNumber));
                listed = true;
            }
            rb.matched = 1;
            m_list.Append(std::int32_t(rb.gameNumber));
            if (const TDbStatus s = MarkLastCopy(); s != TDbStatus::Ok) {
                m_result.status = s;
                return;
            }
            ++m_result.marked;
        }
    }
}

TDuplicateResult TDuplicateMatcher::Match() {
    m_list.Clear();
    const std::int64_t count = std::int64_t(m_records.size());
    if (m_options.fast) {
        m_progress.BeginProgress(Caption, "Preparing, please wait...", count, 0);
        SortDoubRecs(m_records);
    }
    m_progress.BeginProgress(Caption, "Matching...", count, 0);
    if (!m_options.fast) {
        if (m_records.size() >= 2) MatchDuplicateRange(0, m_records.size() - 1);
    } else {
        ForEachFastRun(m_records, m_options, [this](std::size_t lo, std::size_t hi) {
            if (hi > lo) {
                // Under "Partial length" a run holds different keys, sorted shortest first: in game
                // order the earliest game leads, whatever its length. Later runs are not touched.
                const auto first = m_records.begin() + std::ptrdiff_t(lo);
                std::sort(first, m_records.begin() + std::ptrdiff_t(hi + 1),
                          [](const TDoubRec& a, const TDoubRec& b) { return a.gameNumber < b.gameNumber; });
                MatchDuplicateRange(lo, hi);
            }
            return m_result.status == TDbStatus::Ok;
        });
    }
    m_result.listed = m_list.Count();
    return m_result;
}

TDuplicateResult MatchDuplicateGames(TGameDatabase& db, TGameList& list, const TDuplicateOptions& options,
                                     IProgress& progress) {
    TDuplicateResult result;
    if (!db.open) {
        result.status = TDbStatus::NotOpen;
        return result;
    }
    if (db.readOnly) {
        result.status = TDbStatus::ReadOnly;
        return result;
    }
    TProgressScope scope(progress, Caption, "Loading...", IndexRecordCount(db), 0);
    TDuplicateMatcher matcher(db, list, options, progress);
    if (const TDbStatus s = matcher.Load(); s != TDbStatus::Ok) {
        result.status = s;
        return result;
    }
    return matcher.Match();
}
