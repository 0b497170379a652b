#pragma once
// Reads the codes of table-based image data the way a decoder sizes them, without decoding
// pixels, so tests can check code widths and table limits.

#include <cstdint>
#include <string>
#include <vector>

struct TCodeTrace {
    int CodeSize = 0;
    std::vector<int> Codes;
    std::vector<int> SubBlockSizes;
    std::size_t End = 0;                    // offset after the block terminator
    int MaxWidth = 0;                       // widest code read
    std::vector<int> HighestDefinedAtClear; // decoder's last defined code when each clear came
    std::string Fault;                      // empty when every code was one the decoder could take
};

TCodeTrace TraceCodes(const std::vector<std::uint8_t>& bytes, std::size_t offset = 0);
