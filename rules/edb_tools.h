#pragma once
// Developer tools around the endgame database: the compressor that turns one byte per value
// into the block file, and the converter that repacks a six-piece source file of base-3 digits
// into 2-bit values. Plain functions for a front end (tools/edbtool, a window later); they keep
// their own index and buffers and never touch the database open for the current variant.
// Outputs are written to a temporary file in the same folder and renamed into place, so a
// failure leaves no half-written file and never harms the input.

#include "platform/atomic_file.h"
#include "rules/board.h"
#include "rules/edb_index.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The block index of a database file: absolute offset and compressed size of each block.
struct TEdbIndex {
    std::vector<std::uint32_t> offsets = std::vector<std::uint32_t>(EdbBlockCount);
    std::vector<std::uint16_t> sizes = std::vector<std::uint16_t>(EdbBlockCount);
};

// Writes the offsets and then the sizes, little-endian, at the start of the output.
TIoStatus WriteCompressedIndex(TAtomicFileWriter& out, const TEdbIndex& index);

struct TCompressTotals {
    std::uint64_t bytesRead = 0;
    std::uint64_t bytesWritten = 0; // compressed block bytes, without the index
    std::uint32_t largestBlock = 0;
    std::uint32_t blocks = 0; // blocks done so far
    // round(written / read x 100); 0 while nothing was read.
    int Ratio() const;
};

struct TToolResult {
    bool ok = false;
    std::string error;
    std::string output;
};

// The compressor's output name: the input without its extension, plus ".cpr".
std::string CompressedName(const std::string& input);

// Compresses `input` (byte k = value of value number k; it may end early) into `output`.
// Blocks 0..blockCount-1 are written; a full database has EdbBlockCount of them (fewer keep
// test files small: the remaining index entries then describe empty blocks that probe as "no
// value"). Past the end of the input a block keeps the bytes of the block before, as the last
// partial block of a full database does. `progress` is called after every 1,000th block and at
// the end. Refuses an output that is the input.
TToolResult CompressEdb(const std::string& input, const std::string& output,
                        std::uint32_t blockCount = EdbBlockCount,
                        const std::function<void(const TCompressTotals&)>& progress = {},
                        TCompressTotals* totals = nullptr);

// Six-piece source format: 820-byte blocks, each byte five base-3 values (first value the
// lowest digit); 4,096 values and 4 padding digits a block. Output: 1,024 bytes a block, four
// 2-bit values a byte, the first in the lowest two bits.
constexpr std::uint32_t SixSourceBlockBytes = 820;
constexpr std::uint64_t SixSourceBytes = 743077440; // 906,192 blocks

// The converter's output name beside its input: "pos6.edb" gives "pos6v2.edb".
std::string ConvertedName(const std::string& input);

// Repacks `input` into `output`. Refuses an input whose length is not a whole number of blocks
// or that holds a byte above 242 (five base-3 digits), naming its place.
TToolResult ConvertEdb(const std::string& input, const std::string& output,
                       const std::function<void(std::uint64_t blocksDone)>& progress = {});
