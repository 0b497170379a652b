#pragma once
// The LZW decoder of table-based image data: the minimum code size byte, the variable-length
// codes read least significant bit first across data sub-blocks of any size, and the block
// terminator. Its tables live in the object, set up once per frame; no allocation per code.
// One decoder serves one frame at a time; not shared between threads.

#include "gif/gif_exception.h"
#include "gif/gif_stream.h"

#include <array>
#include <cstdint>

class TGIFDecoder {
  public:
    explicit TGIFDecoder(TGIFWarning warning = {}) : m_Warning(std::move(warning)) {}

    // Decodes into pixels (width x height, rows top down; interlaced data comes in the four
    // passes), which the caller has filled with the value for pixels the data does not reach.
    // Reads through the block terminator, also when the codes give more pixels than the frame
    // holds. A missing code size byte leaves the pixels as they are.
    // Raises "Invalid GIF data" for a code size outside 1..8, a table code where a first pixel is
    // due, or a code above the next free one. Warns "Premature end of data" when the stream ends
    // inside the data, and "Decoder bit buffer under-run" when the data ends early without an
    // end code.
    void Decode(TStream& stream, std::uint8_t* pixels, int width, int height, bool interlaced);

  private:
    static constexpr int TableSize = 4096;

    // The next code of the current width, or -1 when the data has ended. Inline: it runs once a
    // code, and the bit buffer mostly holds enough bits already.
    int ReadCode() {
        if (m_BitCount < m_CodeWidth && !Refill()) return -1;
        const int code = static_cast<int>(m_Bits & ((1u << m_CodeWidth) - 1));
        m_Bits >>= m_CodeWidth;
        m_BitCount -= m_CodeWidth;
        return code;
    }
    // Tops the bit buffer up from the sub-blocks; false when fewer bits than a code are left.
    bool Refill();
    bool NextSubBlock();
    void SkipToTerminator();
    // Writes the code's string; a single pixel, or a string that fits the row, straight.
    void Emit(int code) {
        const int length = m_Length[static_cast<std::size_t>(code)];
        if (length == 1 && m_OutLeft > 0) {
            *m_Out++ = m_Suffix[static_cast<std::size_t>(code)];
            if (--m_OutLeft == 0) NextRow();
            return;
        }
        EmitString(code, length);
    }
    void EmitString(int code, int length);
    void EmitSlow(const std::uint8_t* string, int length);
    void NextRow();

    TGIFWarning m_Warning;
    TStream* m_Stream = nullptr;

    // Bit reader: the current sub-block and the bits not yet taken.
    std::array<std::uint8_t, 255> m_Block{};
    int m_BlockSize = 0, m_BlockPos = 0;
    std::uint64_t m_Bits = 0;
    int m_BitCount = 0;
    bool m_DataEnded = false;   // a zero-length block or the end of the stream was met
    bool m_StreamEnded = false; // the stream ended before the terminator

    // String table: a code's string is its prefix's string followed by its suffix.
    std::array<std::uint16_t, TableSize> m_Prefix{};
    std::array<std::uint8_t, TableSize> m_Suffix{};
    std::array<std::uint8_t, TableSize> m_First{};
    std::array<std::uint16_t, TableSize> m_Length{};
    std::array<std::uint8_t, TableSize + 1> m_Stack{};
    int m_CodeWidth = 0;

    // Output: the row being filled (the whole frame when not interlaced) and the rows to come.
    std::uint8_t* m_Pixels = nullptr;
    int m_Width = 0, m_Height = 0;
    bool m_Interlaced = false;
    int m_Row = 0, m_Pass = 0;
    std::uint8_t* m_Out = nullptr;
    std::int64_t m_OutLeft = 0; // room left in the current row
    bool m_Full = false;        // every pixel of the frame has been written
};
