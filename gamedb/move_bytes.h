#pragma once
// The byte buffer through which one game block is encoded or decoded. Each read or write of a
// game uses its own buffer, so the interface thread and the autoplay thread never share one.

#include <cstddef>
#include <cstdint>
#include <vector>

struct TMoveBytes {
    std::vector<std::uint8_t> bytes; // capacity grows in steps of 1,000 bytes
    std::size_t fill = 0;            // bytes in use
    std::size_t pos = 0;             // read position of NextMoveByte

    void Clear() { fill = pos = 0; }
    // Makes room for at least n bytes.
    void Reserve(std::size_t n);
};

void AppendMoveByte(TMoveBytes& mb, std::uint8_t b);
// The byte at the read position, advancing it; false (and b untouched) past the fill count.
bool NextMoveByte(TMoveBytes& mb, std::uint8_t& b);
