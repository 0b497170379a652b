#pragma once
// Class tables: 2-bit entries (0 draw, 1 win, 2 loss for White to move, 3 unknown while
// generating), four to a byte, entry 0 in the lowest bits; their slots and their files.

#include "edbforge/index.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace edb {

using idx::material;

enum : int { draw = 0, win = 1, loss = 2, unknown = 3 };

using table = std::vector<std::uint8_t>;

// Bytes of a class table: ceil(S / 4).
std::size_t table_bytes(const material& m);

// Entries may be read and resolved by several threads at once.
inline int load_entry(const table& t, std::uint32_t i) {
    auto& byte = const_cast<std::uint8_t&>(t[i >> 2]);
    return (std::atomic_ref<std::uint8_t>(byte).load(std::memory_order_relaxed) >> (2 * (i & 3))) & 3;
}
// Sets an unknown entry to `v`; false if it was already known.
inline bool resolve_entry(table& t, std::uint32_t i, int v) {
    std::atomic_ref<std::uint8_t> byte(t[i >> 2]);
    const int shift = 2 * (i & 3);
    std::uint8_t old = byte.load(std::memory_order_relaxed);
    for (;;) {
        if (((old >> shift) & 3) != unknown) return false;
        const auto next = static_cast<std::uint8_t>((old & ~(3u << shift)) | (unsigned(v) << shift));
        if (byte.compare_exchange_weak(old, next, std::memory_order_relaxed)) return true;
    }
}

// The 6 x 6 x 6 x 6 class slots; empty where no table is loaded.
class table_set {
  public:
    table* get(const material& m) const {
        if (!valid(m)) return nullptr;
        return m_slots[slot(m)].get();
    }
    table& create(const material& m, std::uint8_t fill);
    void put(const material& m, std::unique_ptr<table> t) { m_slots[slot(m)] = std::move(t); }

    static bool valid(const material& m) {
        return m.wk >= 0 && m.bk >= 0 && m.wm >= 0 && m.bm >= 0 && m.wk < 6 && m.bk < 6 && m.wm < 6 &&
               m.bm < 6;
    }

  private:
    static int slot(const material& m) { return m.wk * 216 + m.bk * 36 + m.wm * 6 + m.bm; }
    std::array<std::unique_ptr<table>, 1296> m_slots;
};

// "21001.ed": total pieces, wk, bk, wm, bm.
std::string file_name(const material& m);

enum class load_result { missing, loaded, unreadable };
// Reads a whole table file; a file of the wrong size or with an unknown entry is unreadable.
load_result read_table_file(const std::string& name, std::size_t bytes, table& out);

// Writes through a temporary file in the same folder and renames it over `name` (the one atomic
// writer), so a failed write never leaves a truncated table. Returns an empty string or the reason
// of the failure.
std::string write_table_file(const std::string& name, const table& t);

} // namespace edb
