#pragma once
// The byte buffer through which one game block is encoded or decoded. Each read or write of a
// game uses its own buffer, so the interface thread and the autoplay thread never share one.

#include <cstddef>
#include <cstdint>
#include <vector>

struct TMoveBytes {
    std::vector<std::uint8_t> bytes; // the block; its size is the fill count
    std::size_t pos = 0;             // read position of NextMoveByte and the decoder

    void Clear() {
        bytes.clear();
        pos = 0;
    }
};

void AppendMoveByte(TMoveBytes& mb, std::uint8_t b);
// The byte at the read position, advancing it; false (and b untouched) past the end.
bool NextMoveByte(TMoveBytes& mb, std::uint8_t& b);
