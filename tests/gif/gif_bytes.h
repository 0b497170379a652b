#pragma once
// GIF bytes assembled by hand from the format's tables, for the reading tests: codes packed at
// the widths a decoder expects, cut into sub-blocks of a chosen size, and a re-blocker that cuts
// the image data of a whole file anew.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Packs codes least significant bit first, tracking the code width as a decoder does: after a
// clear code the width is code size + 1; every code after the first one past a clear defines a
// table entry, and the width grows when the next free code reaches 2^width (up to 12 bits).
class TCodePacker {
  public:
    explicit TCodePacker(int codeSize);
    int ClearCode() const { return 1 << m_CodeSize; }
    int EndCode() const { return ClearCode() + 1; }
    TCodePacker& Clear();
    TCodePacker& Code(int code);
    TCodePacker& Codes(std::initializer_list<int> codes);
    TCodePacker& End();
    // A code at a width of the caller's choice, without any table bookkeeping.
    TCodePacker& Raw(int code, int width);
    // The packed bytes (the last byte padded with zero bits).
    Bytes Data() const;

  private:
    void Put(int code, int width);
    int m_CodeSize;
    int m_Width = 0, m_NextFree = 0;
    bool m_First = true;
    Bytes m_Bytes;
    std::uint32_t m_Bits = 0;
    int m_BitCount = 0;
};

// Data cut into sub-blocks of blockSize bytes (the last one shorter), then the 0 terminator.
Bytes SubBlocks(const Bytes& data, int blockSize = 255);
// The code size byte, the packed codes in sub-blocks, the terminator.
Bytes ImageData(int codeSize, const TCodePacker& codes, int blockSize = 255);

// Header "GIF89a", the screen descriptor and, when colours are given, a global table of
// 2^(bits) entries (bits from the count, padded with black).
Bytes Header(int width, int height, int colourCount, int background = 0);
// "," and the descriptor; packed holds the flags as they stand in the file.
Bytes Descriptor(int left, int top, int width, int height, std::uint8_t packed = 0);

Bytes Cat(std::initializer_list<Bytes> parts);
Bytes Text(const std::string& text);

// The whole file with every image's data sub-blocks cut anew to blockSize bytes. Extensions are
// copied as they are.
Bytes Reblock(const Bytes& gif, int blockSize);

Bytes ReadFixture(const std::string& name);
