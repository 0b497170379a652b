#include "rules/endgame_db.h"

#include "platform/byte_codec.h"
#include "platform/file_io.h"
#include "rules/variant_state.h"

#include <zlib.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const char* const EdbFileNames[8] = {
    "",           "pos5rus.edb", "pos5eng.edb", "pos5bra.edb", "pos5pool.edb", "pos5ita.edb", "pos5int.edb",
    "pos5che.edb"};

namespace {

// The open database: a snapshot pointer, so a probe keeps its file alive while a reopen on
// the other thread swaps in the next one. The mutex is held only to copy the pointer.
// The open file and the variant whose file it is (0 for a file opened by its path, which answers
// for any 8x8 variant).
struct TOpenDatabase {
    std::shared_ptr<const TEndgameDatabaseFile> file;
    TGameType variant = 0;
};

std::mutex g_dbMutex;
TOpenDatabase g_db;
std::atomic<bool> g_dbOpen{false};
std::string g_baseDir;

TOpenDatabase Snapshot() {
    std::lock_guard lock(g_dbMutex);
    return g_db;
}

void Install(std::shared_ptr<const TEndgameDatabaseFile> db, TGameType variant = 0) {
    TOpenDatabase old;
    {
        std::lock_guard lock(g_dbMutex);
        old = std::move(g_db);
        g_db = {std::move(db), variant};
        g_dbOpen = g_db.file != nullptr;
    }
    // `old` closes here, outside the lock, unless a probe still holds it.
}

} // namespace

TEdbBlockCache::TEdbBlockCache(std::size_t blocks)
    : m_slotOf(EdbBlockCount, -1), m_block(blocks), m_newer(blocks, -1), m_older(blocks, -1),
      m_values(blocks * EdbBlockValues) {}

void TEdbBlockCache::Unlink(std::int32_t slot) {
    const std::int32_t newer = m_newer[slot], older = m_older[slot];
    (newer >= 0 ? m_older[newer] : m_newest) = older;
    (older >= 0 ? m_newer[older] : m_oldest) = newer;
}

void TEdbBlockCache::PushFront(std::int32_t slot) {
    m_newer[slot] = -1;
    m_older[slot] = m_newest;
    (m_newest >= 0 ? m_newer[m_newest] : m_oldest) = slot;
    m_newest = slot;
}

std::optional<std::uint8_t> TEdbBlockCache::Find(std::uint32_t b, std::uint32_t p) {
    std::lock_guard lock(m_lock);
    const std::int32_t slot = m_slotOf[b];
    if (slot < 0) {
        ++m_misses;
        return std::nullopt;
    }
    if (slot != m_newest) {
        Unlink(slot);
        PushFront(slot);
    }
    return m_values[static_cast<std::size_t>(slot) * EdbBlockValues + p];
}

void TEdbBlockCache::Insert(std::uint32_t b, const std::uint8_t (&values)[EdbBlockValues]) {
    if (m_block.empty()) return;
    std::lock_guard lock(m_lock);
    // Another thread may have read the same block meanwhile.
    if (m_slotOf[b] >= 0) return;
    std::int32_t slot;
    if (m_used < m_block.size()) {
        slot = static_cast<std::int32_t>(m_used++);
    } else {
        slot = m_oldest;
        Unlink(slot);
        m_slotOf[m_block[slot]] = -1;
    }
    m_block[slot] = b;
    m_slotOf[b] = slot;
    std::memcpy(&m_values[static_cast<std::size_t>(slot) * EdbBlockValues], values, EdbBlockValues);
    PushFront(slot);
}

std::shared_ptr<const TEndgameDatabaseFile>
TEndgameDatabaseFile::Open(const std::string& path, std::string* error, std::size_t cachedBlocks) {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return nullptr;
    };
    std::shared_ptr<TEndgameDatabaseFile> db(new TEndgameDatabaseFile);
    TIoStatus opened;
    db->m_fd = OpenRegularFile(path, &opened, &db->m_fileSize);
    if (db->m_fd < 0) return fail(opened.Message());
    if (db->m_fileSize < EdbIndexBytes) return fail(path + " is shorter than the block index");

    std::vector<std::uint8_t> raw(EdbIndexBytes);
    if (!PreadAll(db->m_fd, raw.data(), raw.size(), 0)) return fail("cannot read the block index of " + path);
    db->m_offsets.resize(EdbBlockCount);
    db->m_sizes.resize(EdbBlockCount);
    for (std::uint32_t b = 0; b < EdbBlockCount; ++b) {
        db->m_offsets[b] = GetLe32(raw.data() + 4 * b);
        db->m_sizes[b] = GetLe16(raw.data() + EdbOffsetsBytes + 2 * b);
        if (static_cast<std::uint64_t>(db->m_offsets[b]) + db->m_sizes[b] > db->m_fileSize)
            return fail(path + ": block " + std::to_string(b) + " lies past the end of the file");
    }
    if (cachedBlocks > 0) db->m_cache = std::make_unique<TEdbBlockCache>(cachedBlocks);
    return db;
}

TEndgameDatabaseFile::~TEndgameDatabaseFile() {
    if (m_fd >= 0) ::close(m_fd);
}

bool TEndgameDatabaseFile::ReadBlock(std::uint32_t b, std::uint8_t (&out)[EdbBlockValues]) const {
    if (b >= EdbBlockCount) return false;
    // Per call: the largest block the u16 size field can describe.
    unsigned char packed[65536];
    const std::uint16_t size = m_sizes[b];
    if (size == 0 || !PreadAll(m_fd, packed, size, m_offsets[b])) return false;

    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return false;
    zs.next_in = packed;
    zs.avail_in = size;
    zs.next_out = out;
    zs.avail_out = EdbBlockValues;
    // One call with the whole output space: inflate needs no window of its own then.
    const int rc = inflate(&zs, Z_FINISH);
    const bool whole = rc == Z_STREAM_END && zs.total_out == EdbBlockValues;
    inflateEnd(&zs);
    return whole;
}

std::optional<std::uint8_t> TEndgameDatabaseFile::ReadValue(std::uint32_t number) const {
    const std::uint32_t b = number / EdbBlockValues, p = number % EdbBlockValues;
    if (b >= EdbBlockCount) return std::nullopt;
    if (m_cache)
        if (const auto value = m_cache->Find(b, p)) return value;
    std::uint8_t block[EdbBlockValues];
    if (!ReadBlock(b, block)) return std::nullopt;
    if (m_cache) m_cache->Insert(b, block);
    return block[p];
}

void SetEndgameDatabaseBaseDir(const std::string& appDir) {
    std::lock_guard lock(g_dbMutex);
    g_baseDir = appDir;
    if (!g_baseDir.empty() && g_baseDir.back() != '/' && g_baseDir.back() != '\\') g_baseDir += '/';
}

std::string EndgameDatabasePath(TGameType variant) {
    std::string base;
    {
        std::lock_guard lock(g_dbMutex);
        base = g_baseDir;
    }
    const char* name = IsValidVariant(variant) ? EdbFileNames[variant] : "";
    return base + EdbFolder + name;
}

bool OpenEndgameDatabase(TGameType variant) {
    CloseEndgameDatabase();
    if (!IsValidVariant(variant) || SquaresOf(variant) != EdbSquares) return false;
    auto db = TEndgameDatabaseFile::Open(EndgameDatabasePath(variant));
    const bool ok = db != nullptr;
    Install(std::move(db), variant);
    return ok;
}

bool OpenEndgameDatabaseFile(const std::string& path, std::string* error, std::size_t cachedBlocks) {
    CloseEndgameDatabase();
    auto db = TEndgameDatabaseFile::Open(path, error, cachedBlocks);
    const bool ok = db != nullptr;
    Install(std::move(db));
    return ok;
}

void CloseEndgameDatabase() {
    Install(nullptr);
}

bool EndgameDatabaseOpen() {
    return g_dbOpen.load(std::memory_order_acquire);
}

std::optional<std::uint8_t> ReadEdbBlock(std::uint32_t number) {
    const auto db = Snapshot();
    if (!db.file) return std::nullopt;
    return db.file->ReadValue(number);
}

std::int16_t EdbValueToScore(std::uint8_t value, int ply) {
    if (value == 255) return 0;
    if (value % 2 == 1) return static_cast<std::int16_t>(2000 - value - ply);
    return static_cast<std::int16_t>(value - 2000 + ply);
}

std::optional<std::int16_t> ProbeEndgameDatabase(const TBoard& board, int pieceCount, int flip, int ply) {
    return ProbeEndgameDatabase(board, pieceCount, flip, ply, CurrentVariant.load(std::memory_order_relaxed));
}

std::optional<std::int16_t> ProbeEndgameDatabase(const TBoard& board, int /*pieceCount*/, int flip, int ply,
                                                 TGameType variant) {
    // The index knows the 8x8 board only: no 10x10 position can be looked up, even one whose
    // pieces all stand on squares 1..32.
    if (!IsValidVariant(variant) || SquaresOf(variant) != EdbSquares) return std::nullopt;
    for (int s = EdbSquares + 1; s <= MaxSquares; ++s)
        if (board[s] != 0) return std::nullopt;
    TBoard b = board;
    if (flip == 1) FlipBoard(b, EdbSquares);
    const TEdbPositionIndex index = EdbPositionIndex(b);
    if (index.n == 1) {
        for (int s = 1; s <= EdbSquares; ++s)
            if (b[s] != 0) return static_cast<std::int16_t>(b[s] > 0 ? 1999 : -2000);
    }
    const auto number = EdbValueNumber(index);
    if (!number) return std::nullopt;
    // Another variant's results would be wrong answers, not missing ones.
    const TOpenDatabase db = Snapshot();
    if (!db.file || (db.variant != 0 && db.variant != variant)) return std::nullopt;
    const auto value = db.file->ReadValue(*number);
    if (!value) return std::nullopt;
    return EdbValueToScore(*value, ply);
}
