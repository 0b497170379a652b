#include "gamedb/book_builder.h"

#include "gamedb/game_index_record.h"
#include "gamedb/opening_book.h"
#include "gamedb/user_prompt.h"
#include "platform/atomic_file.h"
#include "platform/file_io.h"
#include "rules/movegen.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using TEntry = TBookBuilder::TEntry;

// Low 8 bits of TEntry::lo: side (bit 7), result counter 0..3 (bits 3-4), mark 0..7 (bits 0-2).
constexpr int PayloadBits = 7;

TEntry Pack(const TPositionKey& key, int side, int result, int mark) {
    TEntry e;
    for (int k = 0; k < 9; ++k)
        e.hi = (e.hi << 7) | key[k];
    for (int k = 9; k < 17; ++k)
        e.lo = (e.lo << 7) | key[k];
    e.lo = (e.lo << 1) | static_cast<std::uint64_t>(side & 1);
    e.lo = (e.lo << PayloadBits) | static_cast<std::uint64_t>((result << 3) | mark);
    return e;
}

void UnpackKey(const TEntry& e, TPositionKey& key, int& side) {
    std::uint64_t lo = e.lo >> PayloadBits;
    side = static_cast<int>(lo & 1);
    lo >>= 1;
    for (int k = 16; k >= 9; --k, lo >>= 7)
        key[k] = static_cast<std::uint8_t>(lo & 0x7F);
    std::uint64_t hi = e.hi;
    for (int k = 8; k >= 0; --k, hi >>= 7)
        key[k] = static_cast<std::uint8_t>(hi & 0x7F);
}

bool SamePosition(const TEntry& a, const TEntry& b) {
    return a.hi == b.hi && (a.lo >> PayloadBits) == (b.lo >> PayloadBits);
}

int ResultOf(const TEntry& e) {
    return static_cast<int>((e.lo >> 3) & 3);
}
int MarkOf(const TEntry& e) {
    return static_cast<int>(e.lo & 7);
}

void Count(TBookRecord& r, int result, std::uint32_t n = 1) {
    if (result == 1) r.result1 = AddCounter(r.result1, n);
    if (result == 2) r.draws = AddCounter(r.draws, n);
    if (result == 3) r.result3 = AddCounter(r.result3, n);
}

// Folds `r` into `into`, the earlier record of the same pair.
void MergeInto(TBookRecord& into, const TBookRecord& r) {
    Count(into, 1, r.result1);
    Count(into, 2, r.draws);
    Count(into, 3, r.result3);
    into.mark = static_cast<std::uint8_t>(std::max(BookMarkOf(into.mark), BookMarkOf(r.mark)));
    into.comment = std::max(into.comment, r.comment);
}

// The file's records sorted by pair, each pair once. A sound book is sorted already.
void SortFileRecords(std::vector<TBookRecord>& records) {
    auto less = [](const TBookRecord& a, const TBookRecord& b) { return CompareBookPosition(a, b) < 0; };
    bool sorted = true;
    for (std::size_t i = 1; i < records.size() && sorted; ++i)
        sorted = less(records[i - 1], records[i]);
    if (sorted) return;
    // Stable, so the earliest record of each pair leads its run and keeps its other bytes.
    std::stable_sort(records.begin(), records.end(), less);
    std::size_t out = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (out > 0 && CompareBookPosition(records[out - 1], records[i]) == 0)
            MergeInto(records[out - 1], records[i]);
        else
            records[out++] = records[i];
    }
    records.resize(out);
}

// Millions of positions go into one array, touched once each in order: large pages spare the system
// a fault every 4 KB, which costs more than the rest of adding a position.
void AdviseLargePages(void* data, std::size_t bytes) {
    constexpr std::uintptr_t Large = 2 << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + Large - 1) & ~(Large - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(Large - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

} // namespace

void TBookBuilder::Reserve(std::size_t positions) {
    const std::size_t want = m_entries.size() + positions;
    if (want <= m_entries.capacity()) return;
    m_entries.reserve(want);
    AdviseLargePages(m_entries.data(), m_entries.capacity() * sizeof(TEntry));
}

void TBookBuilder::AddFileRecords(const std::uint8_t* bytes, std::size_t count) {
    m_file.reserve(m_file.size() + count);
    for (std::size_t i = 0; i < count; ++i) {
        TBookRecord r;
        DecodeBookRecord(bytes + i * BookRecordSize, r);
        r.mark = static_cast<std::uint8_t>(BookMarkOf(r.mark));
        m_file.push_back(r);
    }
}

void TBookBuilder::AddGameToBook(const TGame& g) {
    const TGameType variant = g.header.variant;
    if (!IsValidVariant(variant)) return;
    TBoard start;
    if (!IsValidKey(g.startKey, SquaresOf(variant)) || !KeyToPosition(g.startKey, start)) return;
    const int result = g.header.result >= grWhiteWins && g.header.result <= grBlackWins ? g.header.result : 0;

    // Children of each node, in node order: one pass instead of a scan per node.
    const int count = std::min<int>(g.header.nodeCount, MaxNodes);
    m_first.assign(count + 1, 0);
    m_next.assign(count + 1, 0);
    for (int n = count; n >= 1; --n) {
        const TMove& m = g.nodes[n];
        if (m.free || m.parent > count) continue;
        m_next[n] = m_first[m.parent];
        m_first[m.parent] = static_cast<std::uint16_t>(n);
    }
    // Depth first from the root; every node has one parent, so each is reached at most once.
    if (m_entries.capacity() - m_entries.size() < static_cast<std::size_t>(count))
        Reserve(std::max<std::size_t>(m_entries.size() / 2, count));
    m_stack.clear();
    m_stack.push_back({0, true, g.header.startSide ? 1 : 0, start});
    TPositionKey key;
    while (!m_stack.empty()) {
        const TStep step = m_stack.back();
        m_stack.pop_back();
        if (step.node != 0) {
            PositionToKey(step.board, key);
            const int mark = BookMarkFromMoveMark(MoveMarkOf(g.nodes[step.node].annotation));
            m_entries.push_back(Pack(key, step.side, step.counting ? result : 0, mark));
        }
        for (int c = m_first[step.node]; c != 0; c = m_next[c]) {
            const TMove& m = g.nodes[c];
            TStep child{c, step.counting && m.mainLine != 0, step.side ^ 1, step.board};
            MakeMove(m, child.board, variant);
            m_stack.push_back(child);
        }
    }
}

std::int64_t TBookBuilder::Finish(const std::function<bool(const std::uint8_t* data, std::size_t n)>& sink) {
    SortFileRecords(m_file);
    std::sort(m_entries.begin(), m_entries.end(),
              [](const TEntry& a, const TEntry& b) { return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo; });

    constexpr std::size_t ChunkRecords = 32768;
    std::vector<std::uint8_t> chunk;
    chunk.reserve(std::min(ChunkRecords, m_file.size() + m_entries.size()) * BookRecordSize);
    std::int64_t written = 0;
    bool ok = true;
    auto emit = [&](const TBookRecord& r) {
        const std::size_t at = chunk.size();
        chunk.resize(at + BookRecordSize);
        EncodeBookRecord(r, chunk.data() + at);
        ++written;
        if (chunk.size() == ChunkRecords * BookRecordSize) {
            ok = ok && sink(chunk.data(), chunk.size());
            chunk.clear();
        }
    };

    std::size_t i = 0, j = 0;
    const std::size_t nf = m_file.size(), ne = m_entries.size();
    TPositionKey key;
    int side = 0;
    while (ok && (i < nf || j < ne)) {
        TBookRecord r;
        if (j < ne) UnpackKey(m_entries[j], key, side);
        if (j == ne || (i < nf && CompareBookPosition(m_file[i].key, m_file[i].side, key, side) <= 0)) {
            r = m_file[i++];
            if (j == ne || r.key != key || r.side != side) {
                emit(r);
                continue;
            }
        } else {
            r.key = key;
            r.side = static_cast<std::uint8_t>(side);
        }
        const TEntry first = m_entries[j];
        for (; j < ne && SamePosition(m_entries[j], first); ++j) {
            Count(r, ResultOf(m_entries[j]));
            r.mark = static_cast<std::uint8_t>(std::max<int>(r.mark, MarkOf(m_entries[j])));
        }
        emit(r);
    }
    if (ok && !chunk.empty()) ok = sink(chunk.data(), chunk.size());
    m_file = {};
    m_entries = {};
    return ok ? written : -1;
}

std::vector<std::uint8_t> TBookBuilder::Finish() {
    std::vector<std::uint8_t> bytes;
    Finish([&](const std::uint8_t* data, std::size_t n) {
        bytes.insert(bytes.end(), data, data + n);
        return true;
    });
    return bytes;
}

namespace {

std::string SystemError(int error) {
    return std::strerror(error);
}

// The records of an existing book. A missing file gives none; any other failure is an error.
bool ReadBookBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    bytes.clear();
    const int fd = OpenRegularFile(path); // never waits on a FIFO; a folder or device is refused
    if (fd < 0) {
        if (errno == ENOENT) return true;
        error = "Cannot read the book " + path + ": " +
                (errno == EINVAL ? "not a regular file" : SystemError(errno));
        return false;
    }
    struct stat st;
    int err = ::fstat(fd, &st) == 0 ? 0 : errno;
    if (err == 0 && !S_ISREG(st.st_mode)) err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    if (err == 0) {
        bytes.resize(static_cast<std::size_t>(st.st_size) / BookRecordSize * BookRecordSize);
        if (!PreadAll(fd, bytes.data(), bytes.size(), 0)) err = errno ? errno : EIO;
    }
    ::close(fd);
    if (err != 0) error = "Cannot read the book " + path + ": " + SystemError(err);
    return err == 0;
}

} // namespace

TBookBuildReport BuildBook(const std::string& fileName, const TGameDatabase& db,
                           const std::vector<std::int32_t>& games, const TBookProgress& progress) {
    TBookBuildReport report;
    TBookBuilder builder;
    {
        std::vector<std::uint8_t> old;
        if (!ReadBookBytes(fileName, old, report.error)) return report;
        builder.AddFileRecords(old.data(), old.size() / BookRecordSize);
    }
    builder.Reserve(games.size() * 110);
    auto scratch = std::make_unique<TGame>();
    for (std::size_t i = 1; i <= games.size(); ++i) {
        if (i % 100 == 0 && progress) progress(static_cast<int>(i));
        // Read over the previous game: every field the walk looks at is replaced.
        if (ReadGame(db, games[i - 1], true, *scratch) == TDbStatus::Ok)
            builder.AddGameToBook(*scratch);
        else
            ++report.skippedGames;
    }
    report.positions = static_cast<std::int64_t>(builder.PositionCount());
    TAtomicFileWriter out;
    TIoStatus status = out.Open(fileName);
    std::int64_t records = -1;
    if (status)
        records =
            builder.Finish([&](const std::uint8_t* data, std::size_t n) { return out.Write(data, n).Ok(); });
    if (status && records < 0) status = out.Status();
    if (status) status = out.Commit();
    if (!status) {
        report.error = status.Message();
        return report;
    }
    report.ok = true;
    report.records = records;
    return report;
}

TBookBuildReport BuildBookFile(const std::string& fileName, const TGameDatabase& db,
                               const std::vector<std::int32_t>& games, const TBookProgress& progress,
                               IUserPrompt& prompt) {
    OpeningBook().Close();
    const TBookBuildReport report = BuildBook(fileName, db, games, progress);
    if (report.ok) {
        std::string text = "Total " + std::to_string(report.records);
        if (report.skippedGames > 0)
            text += "\nGames left out as damaged: " + std::to_string(report.skippedGames);
        prompt.ShowMessage(text);
    } else {
        prompt.ShowMessage(report.error);
    }
    OpenBook(prompt);
    return report;
}
