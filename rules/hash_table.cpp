#include "rules/hash_table.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <unistd.h>

std::unique_ptr<THashEntry[]> AllocateHashEntries(std::size_t entries) {
    // Uninitialised: Allocate clears the slots itself, once.
    return std::unique_ptr<THashEntry[]>(new (std::nothrow) THashEntry[entries]);
}

bool THashTable::Allocate(std::size_t entries) {
    // Free first, so the old slots do not stand in the way of the new ones.
    m_entries.reset();
    m_size = 0;
    m_stored = 0;
    if (entries == 0) return true;
    std::unique_ptr<THashEntry[]> slots = m_allocator(entries);
    if (!slots) return false;
    m_entries = std::move(slots);
    m_size = entries;
    Clear();
    return true;
}

void THashTable::Clear() {
    if (m_size) std::memset(static_cast<void*>(m_entries.get()), 0, m_size * sizeof(THashEntry));
    m_stored = 0;
}

void THashTable::InitKeys(TEngineRandom& rng) {
    const std::uint32_t limit = m_size ? static_cast<std::uint32_t>(m_size - 1) : 0;
    std::uniform_int_distribution<std::uint32_t> dist(0, limit);
    for (int s = 1; s <= MaxSquares; ++s)
        for (int v = 0; v < 5; ++v)
            m_keys[s][v] = dist(rng);
}

std::uint32_t THashTable::RawHash(const TBoard& board, int squares) const {
    std::uint32_t h = 0;
    for (int s = 1; s <= squares; ++s)
        if (board[s] != 0) h ^= m_keys[s][board[s] + 2];
    return h;
}

std::uint32_t THashTable::Hash(const TBoard& board, int squares) const {
    if (m_size == 0) return 0;
    return static_cast<std::uint32_t>(RawHash(board, squares) % m_size);
}

void THashTable::Probe(const TBoard& board, int side, int squares, THashProbe& out) {
    ProbeRaw(board, side, RawHash(board, squares), out);
}

void THashTable::ProbeRaw(const TBoard& board, int side, std::uint32_t rawHash, THashProbe& out) {
    ++m_probes;
    PositionToKey(board, out.key);
    out.found = false;
    out.entry = THashEntry{};
    out.slot = 0;
    if (m_size == 0) return;
    std::uint32_t slot = static_cast<std::uint32_t>(rawHash % m_size);
    for (;;) {
        const THashEntry& e = m_entries[slot];
        ++m_steps;
        // The last key byte holds the 51st digit, always an empty square's 2 in a real key: a zero
        // there is an empty slot.
        if (e.key[16] == 0) {
            out.entry = e;
            break;
        }
        if (e.side == side && std::memcmp(e.key.data(), out.key.data(), out.key.size()) == 0) {
            out.entry = e;
            out.found = true;
            ++out.entry.hits;
            break;
        }
        slot = slot + 1 == m_size ? 0 : slot + 1;
    }
    out.slot = slot;
}

void THashTable::StoreResult(const THashProbe& probe, int side, int remaining, int best, int bestNumber,
                             int alpha, int beta) {
    if (m_size == 0) return;
    THashEntry e = probe.entry;
    if (!probe.found) {
        if (m_stored >= m_size / 2) return;
        ++m_stored;
        e = THashEntry{};
        e.key = probe.key;
        e.side = static_cast<std::uint8_t>(side);
        e.lower = -2000;
        e.upper = 2000;
    } else {
        if (e.depth > remaining) return;
        if (remaining > e.depth) {
            e.lower = -2000;
            e.upper = 2000;
        }
    }
    e.depth = static_cast<std::uint8_t>(remaining);
    e.best = static_cast<std::uint8_t>(std::min(bestNumber, 255));
    if (best >= beta) e.lower = static_cast<std::int16_t>(beta);
    if (best <= alpha) e.upper = static_cast<std::int16_t>(alpha);
    m_entries[probe.slot] = e;
}

int HashSizeMegabytes(int setting) {
    static constexpr int sizes[] = {7, 14, 28, 56, 112, 224, 448};
    for (int mb : sizes)
        if (setting < 2 * mb + 1) return mb;
    return 896;
}

std::size_t HashEntriesFor(int megabytes) {
    return static_cast<std::size_t>(megabytes / 7) * 262144;
}

THashSizeResult SetHashSize(THashTable& table, int setting, TEngineRandom& rng) {
    THashSizeResult r;
    r.requestedMegabytes = HashSizeMegabytes(setting);
    for (int mb = r.requestedMegabytes; mb >= 7; mb /= 2) {
        if (table.Allocate(HashEntriesFor(mb))) {
            r.megabytes = mb;
            r.entries = table.Size();
            break;
        }
    }
    table.Clear();
    table.InitKeys(rng);
    return r;
}

std::uint64_t TotalPhysicalMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}
