#pragma once
// Small helpers shared by the codec: row sizes, colour-count bits, byte and sub-block I/O.

#include "gif/gif_stream.h"

#include <cstdint>
#include <string>
#include <vector>

// Bytes of one bitmap row: width x bits rounded up to whole 32-bit words.
std::int64_t BytesPerScanline(std::int64_t width, int bits);
// Bits needed to index n colours: 0 for 0, 1 for up to 2, else the smallest b with 2^b >= n.
int ColorBits(int n);

void WriteByte(TStream& stream, std::uint8_t b);
// The next byte, or -1 at the end of the stream.
int ReadByte(TStream& stream);
// Reads exactly count bytes; raises "Premature end of data" when fewer are left.
void ReadCheck(TStream& stream, void* buffer, std::size_t count);

// Skips data sub-blocks through the 0 terminator; false when the stream ends first.
bool SkipSubBlocks(TStream& stream);

// Each text in data sub-blocks of at most 255 bytes, the list ended by a 0 byte.
void WriteStrings(TStream& stream, const std::vector<std::string>& texts);
// One text per sub-block until a 0 length or the end of the stream.
std::vector<std::string> ReadStrings(TStream& stream);
