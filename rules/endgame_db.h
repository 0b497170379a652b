#pragma once
// The built-in engine's endgame database: one file per variant of one-byte results for every
// position of 2 to 5 pieces, side 0 to move, in zlib blocks of 1,024 values behind an index.
//
// Threads: the probe functions may run on the engine thread and the user-interface thread at
// once; they share no file position, and the cache of inflated blocks is guarded by a lock held
// only to look a block up or put one in (reading and inflating happen outside it). Opening and
// closing happen on the user-interface thread while no search runs; a probe that overlaps them
// still reads a whole, consistent file (it keeps the file it started with alive).
// Errors: a missing or damaged file leaves the database closed; a block that cannot be read or
// does not inflate to 1,024 bytes gives "no value" for that probe. Nothing here throws.

#include "rules/board.h"
#include "rules/edb_index.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// File name of each variant, indexed 1..7 (entry 0 is empty).
extern const char* const EdbFileNames[8];
// The folder of the files below the program directory.
constexpr const char* EdbFolder = "ED/Vantor/";

// The inflated blocks kept by default: 4 MB. A search's probes fall near each other, so most of
// them find their block here.
constexpr std::size_t EdbCachedBlocks = 4096;

// Inflated blocks of one file, the least recently used one given up first. Bounded; every
// operation takes the lock for the lookup or the insertion alone. Any thread.
class TEdbBlockCache {
  public:
    explicit TEdbBlockCache(std::size_t blocks);
    TEdbBlockCache(const TEdbBlockCache&) = delete;
    TEdbBlockCache& operator=(const TEdbBlockCache&) = delete;

    // Value p of block b when the block is kept (and the block becomes the most recently used).
    std::optional<std::uint8_t> Find(std::uint32_t b, std::uint32_t p);
    // Keeps a block that inflated whole, in place of the least recently used one when full.
    void Insert(std::uint32_t b, const std::uint8_t (&values)[EdbBlockValues]);
    std::size_t Capacity() const { return m_block.size(); }
    std::uint64_t Misses() const { return m_misses; }

  private:
    void Unlink(std::int32_t slot);
    void PushFront(std::int32_t slot);

    std::mutex m_lock;
    std::vector<std::int32_t> m_slotOf;         // by block number; -1 when not kept
    std::vector<std::uint32_t> m_block;         // by slot: its block number
    std::vector<std::int32_t> m_newer, m_older; // by slot: the use order, -1 at the ends
    std::vector<std::uint8_t> m_values;         // by slot: 1,024 values
    std::int32_t m_newest = -1, m_oldest = -1;
    std::size_t m_used = 0;
    std::uint64_t m_misses = 0;
};

// An open database file with its index and its cache of inflated blocks; the file and the index
// are immutable once open.
class TEndgameDatabaseFile {
  public:
    // Opens `path` read-only and reads its index. Refuses (nullptr, with `error` set) a file that
    // cannot be opened, is shorter than the index, or has a block lying outside the file.
    // `cachedBlocks` bounds the cache (0: every read inflates its block anew).
    static std::shared_ptr<const TEndgameDatabaseFile>
    Open(const std::string& path, std::string* error = nullptr, std::size_t cachedBlocks = EdbCachedBlocks);
    ~TEndgameDatabaseFile();
    TEndgameDatabaseFile(const TEndgameDatabaseFile&) = delete;
    TEndgameDatabaseFile& operator=(const TEndgameDatabaseFile&) = delete;

    // The stored value of a value number; nothing past the last block or when the block cannot
    // be read or inflated. A block is read and inflated once while it stays in the cache; a block
    // that failed is tried again at its next read.
    std::optional<std::uint8_t> ReadValue(std::uint32_t number) const;
    // Reads and inflates block b into `out`, past the cache; false on any failure (then `out` is
    // not to be used).
    bool ReadBlock(std::uint32_t b, std::uint8_t (&out)[EdbBlockValues]) const;
    // Blocks read from the file by ReadValue so far (cache misses).
    std::uint64_t BlocksRead() const { return m_cache ? m_cache->Misses() : 0; }

    std::uint32_t BlockOffset(std::uint32_t b) const { return m_offsets[b]; }
    std::uint16_t BlockSize(std::uint32_t b) const { return m_sizes[b]; }
    std::uint64_t FileSize() const { return m_fileSize; }

  private:
    TEndgameDatabaseFile() = default;
    int m_fd = -1;
    std::uint64_t m_fileSize = 0;
    std::vector<std::uint32_t> m_offsets;
    std::vector<std::uint16_t> m_sizes;
    std::unique_ptr<TEdbBlockCache> m_cache; // none when opened without one
};

// The program directory below which EdbFolder lies; default "" (the current directory).
// Set by the shell at start-up.
void SetEndgameDatabaseBaseDir(const std::string& appDir);
// Base dir + EdbFolder + EdbFileNames[variant].
std::string EndgameDatabasePath(TGameType variant);

// Closes the open database and opens the variant's file. Variant 6 stays closed: the position
// index covers the 8x8 board only. Returns whether a database is open afterwards. (Changing the
// variant opens the book too: SetGameVariant calls both.)
bool OpenEndgameDatabase(TGameType variant);
// Closes the open database and opens the file at `path` in its place, for any 8x8 variant.
bool OpenEndgameDatabaseFile(const std::string& path, std::string* error = nullptr,
                             std::size_t cachedBlocks = EdbCachedBlocks);
void CloseEndgameDatabase();
// The open flag the search tests before it probes.
bool EndgameDatabaseOpen();

// The stored value of a value number in the open database; nothing when none is open, the
// number lies past the last block, or the block cannot be read.
std::optional<std::uint8_t> ReadEdbBlock(std::uint32_t number);

// Search score of a stored value at a ply: 255 (draw) 0, odd v (win) 2000 - v - ply, even v
// (loss) v - 2000 + ply.
std::int16_t EdbValueToScore(std::uint8_t value, int ply);

// Score of a position of `variant` for the side to move: flip = 1 turns the board first so that
// side 1 to move becomes side 0. One piece gives 1999 when it is the mover's and -2000 otherwise.
// Nothing for 0 or more than 5 pieces, pieces beyond square 32, variant 6, a database of another
// variant (a file opened by its path answers for any 8x8 variant), or a value that cannot be read.
// `pieceCount` is the caller's count and is not relied on.
std::optional<std::int16_t> ProbeEndgameDatabase(const TBoard& board, int pieceCount, int flip, int ply,
                                                 TGameType variant);
// The same for a position of CurrentVariant.
std::optional<std::int16_t> ProbeEndgameDatabase(const TBoard& board, int pieceCount, int flip, int ply);
