#pragma once
// The transposition table: buckets of 3 two-word entries, probed and stored at every searched
// node, aged at the start of every search. Owned by the library's context; used by one thread at
// a time (getmove's busy flag keeps requests apart), no locking.

#include "engine_api.h"
#include "rules.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace marrak::inline MARRAK_RULES_NS::tt {

// Data word: bits 0-12 value (signed), 13-23 depth in eighths of a ply, 24 principal-variation
// flag, 25-29 best-move index (mod 32), 30-31 bound type. A lock of 0 marks an empty entry.
struct hash_entry {
    std::uint32_t lock;
    std::uint32_t data;
};
static_assert(sizeof(hash_entry) == 8);

enum bound_type { bound_exact = 0, bound_upper = 1, bound_lower = 2 };

constexpr std::uint32_t pv_flag = 1u << 24;

inline int entry_value(const hash_entry& e) {
    return static_cast<std::int32_t>(e.data << 19) >> 19;
}
inline int entry_depth(const hash_entry& e) {
    return (e.data >> 13) & 0x7FF;
}
inline bool entry_pv(const hash_entry& e) {
    return (e.data & pv_flag) != 0;
}
inline int entry_best(const hash_entry& e) {
    return (e.data >> 25) & 31;
}
inline int entry_bound(const hash_entry& e) {
    return static_cast<int>(e.data >> 30);
}

// Computed once per node by the probe and handed back to the store.
struct hash_key {
    std::uint32_t index;
    std::uint32_t lock;
};

hash_key make_key(const engine_position& position, int side);

// Entries of a table of `megabytes` (clamped to 8..256, rounded down to a power of two).
std::size_t entries_for_megabytes(int megabytes);

// Zero-filled storage of `bytes`, or null; and its release.
using table_allocator = void* (*)(std::size_t bytes);
using table_release = void (*)(void* table);
// Receives the lines to log; may be empty.
using log_sink = std::function<void(const char* text)>;

class hash_table {
  public:
    explicit hash_table(table_allocator allocate = nullptr, table_release release = nullptr);

    // Gives the table `megabytes` (the same request as the last successful one does nothing).
    // The new table is allocated before the old one goes: on failure the old table stays, or,
    // when there was none, the smallest size is tried; the request is then not remembered, so
    // asking again retries. Returns true when the requested size was allocated.
    bool alloc(int megabytes, const log_sink& log);

    hash_entry* probe(const engine_position& position, int side, hash_key& key);
    hash_entry* find(const hash_key& key);
    // `probed` is the probe's result for this key, or null.
    void store(hash_entry* probed, const hash_key& key, int value, int depth, int bound, int best_index);
    // Ages every entry: depth and principal-variation flag become 0.
    void new_search();
    // Empties every entry (a reproducible start for benchmarks and tests).
    void clear();

    bool has_table() const { return m_table != nullptr; }
    std::size_t size() const { return m_size; } // entries, without the 3 spare ones
    std::size_t size_with_spares() const { return m_table ? m_size + 3 : 0; }
    int megabytes() const { return static_cast<int>(m_size * sizeof(hash_entry) >> 20); }
    int requested_megabytes() const { return m_requested; }
    hash_entry* entries() { return m_table.get(); }

  private:
    struct releaser {
        table_release release;
        void operator()(hash_entry* p) const { release(p); }
    };

    table_allocator m_allocate;
    table_release m_release;
    std::unique_ptr<hash_entry[], releaser> m_table;
    std::size_t m_size = 0;
    std::uint32_t m_mask = 0;
    int m_requested = 0;
};

} // namespace marrak::inline MARRAK_RULES_NS::tt
