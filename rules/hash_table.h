#pragma once
// The built-in engine's table of searched positions: open addressing over the packed position
// key and the side to move, filled to at most half its size so every walk ends at an empty slot.
// The built-in engine's owner in the shell keeps the program's table.
// Threads: the engine thread probes and stores while it searches; the user-interface thread
// resizes and clears only between requests. No locks.

#include "rules/board.h"
#include "rules/engine_random.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

// One slot. A key of all zero bytes marks an empty slot: a real key never is, because its 51st
// digit is always that of an empty square. No member initialisers, so a table of millions of slots
// is allocated without a constructor run over it; THashEntry{} is the empty slot.
struct THashEntry {
    TPositionKey key;
    std::int16_t lower; // lower bound of the score of the side to move
    std::int16_t upper; // upper bound
    std::uint8_t side;
    std::uint8_t depth; // remaining depth (search depth minus ply) of the search that stored it
    std::uint8_t best;  // 1-based number of the best move in the node's searched order
    std::uint16_t hits; // probes that found the entry (counted when it is written back)
};
// The main window shows entries x 28 as megabytes.
static_assert(sizeof(THashEntry) == 28, "a hash entry keeps its 28 bytes");

// The outcome of one probe: where the walk stopped and a copy of what it found there.
struct THashProbe {
    std::uint32_t slot = 0;
    bool found = false;
    THashEntry entry{}; // the found entry (its hit count already raised), or the empty slot
    TPositionKey key;   // key of the probed board, for a new entry
};

// Allocates `entries` slots without initialising them; nullptr when the memory is not there.
using THashAllocator = std::unique_ptr<THashEntry[]> (*)(std::size_t entries);
std::unique_ptr<THashEntry[]> AllocateHashEntries(std::size_t entries);

class THashTable {
  public:
    explicit THashTable(THashAllocator allocator = AllocateHashEntries) : m_allocator(allocator) {}

    // Frees the old slots, then allocates `entries` and clears them. On failure the table is left
    // with no slots (searches still run, storing nothing) and false is returned.
    bool Allocate(std::size_t entries);
    std::size_t Size() const { return m_size; }

    // Every slot empty, stored-entry count 0.
    void Clear();
    // Draws the 50 x 5 square keys, each uniform in 0..Size() - 1.
    void InitKeys(TEngineRandom& rng);

    // XOR of the keys of the occupied squares 1..squares, modulo Size() (0 for a table without
    // slots). The side to move is not hashed.
    std::uint32_t Hash(const TBoard& board, int squares) const;
    // The XOR before the modulo, and the key of one square's value (-2..2; 0 for an empty
    // square, which is never hashed): a search keeps the XOR up to date move by move.
    std::uint32_t RawHash(const TBoard& board, int squares) const;
    std::uint32_t SquareKey(int square, int value) const { return value ? m_keys[square][value + 2] : 0; }
    // Walks from Hash() to the entry of (board, side) or to the first empty slot.
    void Probe(const TBoard& board, int side, int squares, THashProbe& out);
    // Asks for the first slot of a RawHash() to be brought into the cache: a search does so for the
    // next move while it searches the one before.
    void Prefetch(std::uint32_t rawHash) const {
        if (m_size) __builtin_prefetch(&m_entries[rawHash % m_size]);
    }
    // The same walk from a RawHash() the caller kept.
    void ProbeRaw(const TBoard& board, int side, std::uint32_t rawHash, THashProbe& out);
    // Stores the result `best` of a search with window (alpha, beta) and `remaining` depth in the
    // slot of `probe`. A new position is refused once half the table is used; an entry from a
    // deeper search is kept as it is; a deeper search than the stored one starts from the full
    // window. A fail-high sets the lower bound to beta, a fail-low the upper bound to alpha; a
    // score inside the window leaves both bounds.
    void StoreResult(const THashProbe& probe, int side, int remaining, int best, int bestNumber, int alpha,
                     int beta);

    const THashEntry& EntryAt(std::uint32_t slot) const { return m_entries[slot]; }

    // Counters shown by the request driver.
    std::uint32_t StoredCount() const { return m_stored; }
    std::uint32_t ProbeCount() const { return m_probes; }
    std::uint32_t StepCount() const { return m_steps; }
    void ResetProbeCounters() { m_probes = m_steps = 0; }

  private:
    THashAllocator m_allocator;
    std::unique_ptr<THashEntry[]> m_entries;
    std::size_t m_size = 0;
    std::array<std::array<std::uint32_t, 5>, MaxSquares + 1> m_keys{}; // [square][value + 2]
    std::uint32_t m_stored = 0, m_probes = 0, m_steps = 0;
};

// The memory setting (megabytes) rounded down to 7, 14, 28, ..., 896; 0 and below give 7.
int HashSizeMegabytes(int setting);
// (megabytes / 7) x 262,144 entries.
std::size_t HashEntriesFor(int megabytes);

struct THashSizeResult {
    int requestedMegabytes = 0; // the rounded setting
    int megabytes = 0;          // what the table got; 0 when not even the smallest size fitted
    std::size_t entries = 0;
};
// Sizes the table from the memory setting, halving the size while the allocation fails, then
// clears it and draws new keys from `rng`.
THashSizeResult SetHashSize(THashTable& table, int setting, TEngineRandom& rng);

// Bytes of physical memory of the machine, as the system reports it (0 when it does not); shown
// beside the memory settings.
std::uint64_t TotalPhysicalMemory();
