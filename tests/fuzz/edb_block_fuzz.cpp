// Endgame-database files: the block index that opening checks, and the compressed blocks that a
// probe inflates through the cache of inflated blocks.
//
// Input: one byte n (blocks 1..8, low 3 bits; bit 3: the next 6 bytes replace the offset and size
// of block 0 in the index), then n blocks, each a little-endian u16 length and its bytes (the last
// block takes whatever is left). The file holds the full-size index (every other block empty) and
// the blocks after it; it is opened with a cache of two blocks and every block is read at a few
// places, twice, so both the reading and the kept copies are used.
#include "rules/endgame_db.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

void Put32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(std::uint8_t* at, std::uint16_t v) {
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}

bool WriteAt(int fd, const std::uint8_t* data, std::size_t size, std::size_t offset) {
    return ::pwrite(fd, data, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size);
}

// One file in memory for the whole run, reached by its /proc path. Its full-size index, every
// block empty, is written once; an input rewrites only the entries of its own blocks (the first
// eight) and what follows the index, so a run costs the opening, not 1.2 MB of writing.
int FileOnce() {
    static const int fd = [] {
        const int f = ::memfd_create("edb_block_fuzz", 0);
        if (f < 0) return f;
        std::vector<std::uint8_t> index(EdbIndexBytes, 0);
        for (std::uint32_t b = 0; b < EdbBlockCount; ++b)
            Put32(&index[4 * b], EdbIndexBytes);
        return WriteAt(f, index.data(), index.size(), 0) ? f : -1;
    }();
    return fd;
}

constexpr int MaxBlocks = 8;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int fd = FileOnce();
    if (fd < 0) return 0;
    const int blocks = 1 + (data[0] & 7);
    const bool overrideIndex = (data[0] & 8) != 0;
    std::size_t at = 1;

    std::uint8_t offsets[4 * MaxBlocks], sizes[2 * MaxBlocks] = {};
    for (int b = 0; b < MaxBlocks; ++b)
        Put32(&offsets[4 * b], EdbIndexBytes);
    std::uint8_t raw0[6] = {};
    if (overrideIndex) {
        if (size < at + 6) return 0;
        std::memcpy(raw0, data + at, 6);
        at += 6;
    }
    std::vector<std::uint8_t> tail; // the blocks, stored right after the index
    for (int b = 0; b < blocks && at <= size; ++b) {
        std::size_t length = size - at;
        if (b + 1 < blocks) {
            if (size - at < 2) break;
            length = std::min<std::size_t>(data[at] | data[at + 1] << 8, size - at - 2);
            at += 2;
        }
        length = std::min<std::size_t>(length, 65535);
        Put32(&offsets[4 * b], static_cast<std::uint32_t>(EdbIndexBytes + tail.size()));
        Put16(&sizes[2 * b], static_cast<std::uint16_t>(length));
        tail.insert(tail.end(), data + at, data + at + length);
        at += length;
    }
    if (overrideIndex) {
        std::memcpy(offsets, raw0, 4);
        std::memcpy(sizes, raw0 + 4, 2);
    }
    if (!WriteAt(fd, offsets, sizeof offsets, 0) || !WriteAt(fd, sizes, sizeof sizes, EdbOffsetsBytes) ||
        ::ftruncate(fd, EdbIndexBytes) != 0 || !WriteAt(fd, tail.data(), tail.size(), EdbIndexBytes))
        return 0;

    std::string error;
    const auto db = TEndgameDatabaseFile::Open("/proc/self/fd/" + std::to_string(fd), &error, 2);
    if (!db) return 0;
    for (int round = 0; round < 2; ++round)
        for (std::uint32_t b = 0; b < MaxBlocks; ++b)
            for (std::uint32_t p : {0u, 511u, 1023u})
                (void)db->ReadValue(b * EdbBlockValues + p);
    return 0;
}
