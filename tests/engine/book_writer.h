#pragma once
// Writes engine book files for the tests: entries placed at their hash slot (or the next free one,
// wrapping) or at a chosen slot, a kings table, a header that can be bent, and the stored nibble
// substitution. Of the rule set the including source is compiled for.

#include "book.h"
#include "platform/byte_codec.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace book_test {
namespace {

struct book_writer {
    std::string version = "2.00";
    std::int32_t positions = -1; // -1: the number of entries
    std::uint32_t probe_limit = 8;
    std::vector<std::uint32_t> kings;
    std::vector<marrak::book_entry> slots;

    explicit book_writer(std::uint32_t table_size = 64) : slots(table_size) {}

    // The info word of an entry listing `moves` (1 to 6 without kings, 1 or 2 with) with `score`.
    std::uint32_t info(const engine_position& p, int side, const std::vector<int>& moves, int score) {
        if (moves.empty() || moves.size() > (p.kings ? 2u : 6u)) throw std::invalid_argument("move count");
        std::uint32_t w = (p.kings ? 1u : 0u) | std::uint32_t(side) << 1 | std::uint32_t(moves[0]) << 2;
        if (p.kings) {
            w |= std::uint32_t(moves.size() > 1 ? moves[1] : 7) << 7;
            std::uint32_t k = 0;
            while (k < kings.size() && kings[k] != p.kings)
                ++k;
            if (k == kings.size()) kings.push_back(p.kings);
            w |= k << 10;
        } else {
            static const int shift[] = {7, 11, 15, 18, 21}, width[] = {4, 4, 3, 3, 2};
            for (int f = 0; f < 5; ++f) {
                const std::uint32_t all = (1u << width[f]) - 1;
                const bool given = std::size_t(f + 1) < moves.size();
                w |= (given ? std::uint32_t(moves[f + 1]) : all) << shift[f];
                if (!given) break;
            }
        }
        return w | (std::uint32_t(score) & 0x1ff) << 23;
    }

    void put(std::size_t slot, const engine_position& p, std::uint32_t info_word) {
        slots.at(slot) = marrak::book_entry{info_word, p.pieces[0], p.pieces[1]};
    }
    // At the position's hash slot or the first free one after it; returns the slot.
    std::size_t add(const engine_position& p, int side, const std::vector<int>& moves, int score) {
        std::size_t slot = marrak::book_hash(p, side) % slots.size();
        for (std::size_t tries = 0; slots[slot].colour2 != 0; ++tries) {
            if (tries == slots.size()) throw std::length_error("book full");
            slot = (slot + 1) % slots.size();
        }
        put(slot, p, info(p, side, moves, score));
        return slot;
    }

    std::vector<std::uint8_t> bytes() const {
        std::vector<std::uint8_t> out(16, 0);
        std::memcpy(out.data(), version.data(), std::min<std::size_t>(version.size(), 16));
        std::int32_t n = positions;
        if (n < 0) {
            n = 0;
            for (const auto& e : slots)
                n += e.colour2 != 0;
        }
        AppendLe32(out, std::uint32_t(n));
        AppendLe32(out, std::uint32_t(slots.size()));
        AppendLe32(out, probe_limit);
        AppendLe32(out, std::uint32_t(kings.size()));
        for (std::uint32_t k : kings)
            AppendLe32(out, k);
        for (const auto& e : slots) {
            AppendLe32(out, e.info);
            AppendLe32(out, e.colour2);
            AppendLe32(out, e.colour1);
        }
        for (std::size_t i = marrak::book_header_size; i < out.size(); ++i)
            out[i] = substitute(out[i]);
        return out;
    }
    static std::uint8_t substitute(std::uint8_t b) {
        return std::uint8_t(((b >> 4) + 5) % 16 << 4 | ((b & 15) + 5) % 16);
    }
};

inline bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(f);
}

} // namespace
} // namespace book_test
