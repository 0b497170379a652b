#include "hash_table.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace marrak::inline MARRAK_RULES_NS::tt {
namespace {

constexpr std::size_t spare_entries = 3;

// Aligned to and in whole huge pages, which the kernel is asked to use: probes land anywhere in
// the table, and with small pages nearly every one also misses the TLB.
constexpr std::size_t huge_page = std::size_t{2} << 20;

void* default_allocate(std::size_t bytes) {
    const std::size_t rounded = (bytes + huge_page - 1) / huge_page * huge_page;
    void* p = std::aligned_alloc(huge_page, rounded);
    if (!p) return nullptr;
#ifdef MADV_HUGEPAGE
    madvise(p, rounded, MADV_HUGEPAGE); // only a hint: the table works without it
#endif
    std::memset(p, 0, bytes);
    return p;
}
void default_release(void* p) {
    std::free(p);
}

long available_kilobytes() {
    const long pages = sysconf(_SC_AVPHYS_PAGES), page = sysconf(_SC_PAGESIZE);
    return pages > 0 && page > 0 ? static_cast<long>(static_cast<long long>(pages) * page / 1000) : 0;
}

} // namespace

hash_key make_key(const engine_position& position, int side) {
    const std::uint32_t w0 = position.pieces[0], w1 = position.pieces[1], k = position.kings;
    std::uint32_t h = (k + (side != 0 ? 0xd2d84a61u : 0u)) * 32769u;
    h = (h ^ (h >> 13)) * 65u;
    h = (h ^ (h >> 3)) * 257u;
    h = ((h ^ (h >> 16)) + w0) * 65537u;
    h = (h ^ (h >> 14)) * 129u;
    h = (h ^ (h >> 3)) * 33u;
    h = ((h ^ (h >> 15)) + w1) * 32769u;
    h = (h ^ (h >> 13)) * 65u;
    h = (h ^ (h >> 3)) * 257u;
    const std::uint32_t lock = h ^ (h >> 16);
    std::uint32_t g = (w0 ^ lock) * 32769u;
    g = (g ^ (g >> 13)) * 65u;
    g = (g ^ (g >> 3)) * 257u;
    g = ((g ^ (g >> 16)) + w1) * 65537u;
    g = (g ^ (g >> 14)) * 129u;
    g = (g ^ (g >> 3)) * 33u;
    return hash_key{g ^ (g >> 15), lock};
}

std::size_t entries_for_megabytes(int megabytes) {
    const unsigned mb = static_cast<unsigned>(megabytes < 8 ? 8 : megabytes > 256 ? 256 : megabytes);
    return (std::size_t{std::bit_floor(mb)} << 20) / sizeof(hash_entry);
}

hash_table::hash_table(table_allocator allocate, table_release release)
    : m_allocate(allocate ? allocate : default_allocate), m_release(release ? release : default_release),
      m_table(nullptr, releaser{m_release}) {}

bool hash_table::alloc(int megabytes, const log_sink& log) {
    if (megabytes == m_requested && m_table) return true;
    auto try_size = [&](std::size_t entries) {
        void* p = m_allocate((entries + spare_entries) * sizeof(hash_entry));
        if (!p) return false;
        m_table.reset(static_cast<hash_entry*>(p));
        m_size = entries;
        m_mask = static_cast<std::uint32_t>(entries - 1);
        return true;
    };
    if (try_size(entries_for_megabytes(megabytes))) {
        m_requested = megabytes;
        return true;
    }
    if (log) {
        char line[80];
        log("Cannot allocate hashtable\n");
        std::snprintf(line, sizeof line, "There are %ld kbytes of ram available.\n", available_kilobytes());
        log(line);
    }
    // Never leave the search without a table: keep the old one, or fall back to the smallest.
    if (!m_table && entries_for_megabytes(megabytes) != entries_for_megabytes(8) &&
        try_size(entries_for_megabytes(8)))
        m_requested = 8;
    return false;
}

hash_entry* hash_table::find(const hash_key& key) {
    if (!m_table) return nullptr;
    hash_entry* bucket = m_table.get() + (key.index & m_mask);
    for (int i = 0; i < 3; ++i) {
        if (bucket[i].lock == 0) return nullptr;
        if (bucket[i].lock == key.lock) return &bucket[i];
    }
    return nullptr;
}

hash_entry* hash_table::probe(const engine_position& position, int side, hash_key& key) {
    key = make_key(position, side);
    return find(key);
}

void hash_table::store(hash_entry* probed, const hash_key& key, int value, int depth, int bound,
                       int best_index) {
    if (!m_table) return;
    const std::uint32_t fields =
        (static_cast<std::uint32_t>(depth) & 0x7FF) << 13 | static_cast<std::uint32_t>(bound) << 30 |
        (static_cast<std::uint32_t>(value) & 0x1FFF) | (static_cast<std::uint32_t>(best_index) & 31) << 25;
    auto update = [&](hash_entry& e) { e.data = (e.data & pv_flag) | fields; };
    if (probed && probed->lock == key.lock) {
        update(*probed);
        return;
    }
    hash_entry* bucket = m_table.get() + (key.index & m_mask);
    hash_entry* candidate = &bucket[0];
    for (int i = 0; i < 3; ++i) {
        hash_entry& e = bucket[i];
        if (e.lock == 0) {
            e.lock = key.lock;
            update(e);
            return;
        }
        if (e.lock == key.lock) {
            update(e);
            return;
        }
        if (entry_depth(e) < entry_depth(*candidate)) candidate = &e;
    }
    candidate->lock = key.lock;
    candidate->data = fields;
}

void hash_table::clear() {
    if (!m_table) return;
    std::fill_n(m_table.get(), m_size + spare_entries, hash_entry{0, 0});
}

void hash_table::new_search() {
    if (!m_table) return;
    hash_entry* e = m_table.get();
    for (std::size_t i = 0; i < m_size + spare_entries; ++i)
        e[i].data &= 0xfe001fffu;
}

} // namespace marrak::inline MARRAK_RULES_NS::tt
