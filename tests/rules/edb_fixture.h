#pragma once
// Helpers for the endgame-database tests: a private folder per test, synthetic raw
// databases, and database files assembled byte by byte.

#include "platform/byte_codec.h"
#include "rules/edb_index.h"
#include "tests/support/temp_dir.h"

#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The value the synthetic databases hold at value number k: varied, and never the same for
// neighbouring numbers, so an off-by-one in the index shows.
inline std::uint8_t SyntheticValue(std::uint64_t k) {
    return static_cast<std::uint8_t>((k * 2654435761u) >> 13 ^ k);
}

using test_support::ReadBytes;
using test_support::TTempDir;
using test_support::WriteBytes;

// A raw (one byte per value) database of the first `values` value numbers.
inline std::vector<std::uint8_t> SyntheticRaw(std::uint64_t values) {
    std::vector<std::uint8_t> raw(values);
    for (std::uint64_t k = 0; k < values; ++k)
        raw[k] = SyntheticValue(k);
    return raw;
}

// Fields of a file in memory; a field past the end throws (std::out_of_range) and fails the test.
inline std::uint32_t Le32(const std::vector<std::uint8_t>& f, std::size_t at) {
    return GetLe32(&f.at(at + 3) - 3);
}
inline std::uint16_t Le16(const std::vector<std::uint8_t>& f, std::size_t at) {
    return GetLe16(&f.at(at + 1) - 1);
}

// A database file assembled from the format's tables: each given block is stored as given
// (so a test can store a damaged one); blocks past the list are empty.
inline std::vector<std::uint8_t> AssembleDatabase(const std::vector<std::vector<std::uint8_t>>& blocks) {
    std::vector<std::uint8_t> file(EdbIndexBytes);
    std::uint32_t next = EdbIndexBytes;
    for (std::uint32_t b = 0; b < EdbBlockCount; ++b) {
        const std::uint32_t size = b < blocks.size() ? static_cast<std::uint32_t>(blocks[b].size()) : 0;
        for (int i = 0; i < 4; ++i)
            file[4 * b + i] = static_cast<std::uint8_t>(next >> (8 * i));
        file[EdbOffsetsBytes + 2 * b] = static_cast<std::uint8_t>(size);
        file[EdbOffsetsBytes + 2 * b + 1] = static_cast<std::uint8_t>(size >> 8);
        if (size) file.insert(file.end(), blocks[b].begin(), blocks[b].end());
        next += size;
    }
    return file;
}

inline std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& plain) {
    std::vector<std::uint8_t> out(compressBound(plain.size()));
    uLongf size = out.size();
    compress2(out.data(), &size, plain.data(), plain.size(), 9);
    out.resize(size);
    return out;
}

// The values of block b of the synthetic database.
inline std::vector<std::uint8_t> SyntheticBlock(std::uint32_t b) {
    std::vector<std::uint8_t> v(EdbBlockValues);
    for (std::uint32_t i = 0; i < EdbBlockValues; ++i)
        v[i] = SyntheticValue(std::uint64_t{b} * EdbBlockValues + i);
    return v;
}
