#include "gif/gif_decoder.h"

#include "gif/gif_utils.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int PassStart[4] = {0, 4, 2, 1};
constexpr int PassStep[4] = {8, 8, 4, 2};
} // namespace

void TGIFDecoder::Decode(TStream& stream, std::uint8_t* pixels, int width, int height, bool interlaced) {
    m_Stream = &stream;
    m_BlockSize = m_BlockPos = 0;
    m_Bits = 0;
    m_BitCount = 0;
    m_DataEnded = m_StreamEnded = false;

    const int codeSize = ReadByte(stream);
    if (codeSize < 0) return;
    // Tables of 4096 entries cannot hold the roots of a larger code size.
    if (codeSize < 1 || codeSize > 8) Error("Invalid GIF data");

    m_Pixels = pixels;
    m_Width = width;
    m_Height = height;
    m_Interlaced = interlaced;
    m_Row = m_Pass = 0;
    m_Out = pixels;
    m_Full = width <= 0 || height <= 0;
    m_OutLeft = interlaced ? width : static_cast<std::int64_t>(width) * height;

    const int clear = 1 << codeSize, end = clear + 1;
    for (int i = 0; i < clear; ++i) {
        m_Prefix[i] = 0;
        m_Suffix[i] = m_First[i] = static_cast<std::uint8_t>(i);
        m_Length[i] = 1;
    }
    int nextFree = clear + 2;
    m_CodeWidth = codeSize + 1;
    int limit = 1 << m_CodeWidth;
    int old = -1; // none: the data starts as if just cleared
    bool dataEnded = false;

    while (!m_Full) {
        const int code = ReadCode();
        if (code < 0) {
            dataEnded = true;
            break;
        }
        if (code == clear) {
            nextFree = clear + 2;
            m_CodeWidth = codeSize + 1;
            limit = 1 << m_CodeWidth;
            old = -1;
            continue;
        }
        if (code == end) break;
        if (old < 0) {
            // The first code after a clear names a single pixel.
            if (code > end) Error("Invalid GIF data");
            Emit(code);
            old = code;
            continue;
        }
        // A code not yet defined, other than the one about to be, cannot be decoded; taking it
        // would let the string walks run through stale entries.
        if (code > nextFree) Error("Invalid GIF data");
        if (nextFree < TableSize) {
            // The new entry is the old string and the first pixel of this one; for the code
            // being defined right now that is the old string's own first pixel.
            const std::uint8_t first = code == nextFree ? m_First[old] : m_First[code];
            m_Prefix[nextFree] = static_cast<std::uint16_t>(old);
            m_Suffix[nextFree] = first;
            m_First[nextFree] = m_First[old];
            m_Length[nextFree] = static_cast<std::uint16_t>(m_Length[old] + 1);
            ++nextFree;
            if (nextFree >= limit && limit < TableSize) {
                limit <<= 1;
                ++m_CodeWidth;
            }
        }
        Emit(code);
        old = code;
    }

    if (dataEnded && !m_StreamEnded && !m_Full && m_Warning)
        m_Warning(gsWarning, "Decoder bit buffer under-run");
    SkipToTerminator();
}

bool TGIFDecoder::Refill() {
    for (;;) {
        // As many bytes as the buffer takes, so that most codes find their bits there.
        while (m_BitCount <= 56 && m_BlockPos < m_BlockSize) {
            m_Bits |= static_cast<std::uint64_t>(m_Block[static_cast<std::size_t>(m_BlockPos++)])
                      << m_BitCount;
            m_BitCount += 8;
        }
        if (m_BitCount >= m_CodeWidth) return true;
        if (!NextSubBlock()) return false;
    }
}

bool TGIFDecoder::NextSubBlock() {
    if (m_DataEnded) return false;
    if (m_StreamEnded) {
        m_DataEnded = true;
        return false;
    }
    const int size = ReadByte(*m_Stream);
    if (size <= 0) {
        m_DataEnded = true;
        if (size < 0) {
            m_StreamEnded = true;
            if (m_Warning) m_Warning(gsWarning, "Premature end of data");
        }
        return false;
    }
    const std::size_t n = m_Stream->Read(m_Block.data(), static_cast<std::size_t>(size));
    if (n < static_cast<std::size_t>(size)) {
        m_StreamEnded = true;
        if (m_Warning) m_Warning(gsWarning, "Premature end of data");
    }
    m_BlockSize = static_cast<int>(n);
    m_BlockPos = 0;
    if (n == 0) m_DataEnded = true;
    return n > 0;
}

void TGIFDecoder::SkipToTerminator() {
    if (m_DataEnded || m_StreamEnded) return;
    for (;;) {
        const int size = ReadByte(*m_Stream);
        if (size == 0) break;
        if (size < 0 ||
            m_Stream->Read(m_Block.data(), static_cast<std::size_t>(size)) < static_cast<std::size_t>(size)) {
            m_StreamEnded = true;
            if (m_Warning) m_Warning(gsWarning, "Premature end of data");
            break;
        }
    }
    m_DataEnded = true;
}

void TGIFDecoder::EmitString(int code, int length) {
    // The walk is counted by the string's length, which the table keeps below its size.
    if (length <= m_OutLeft) {
        std::uint8_t* p = m_Out;
        int c = code;
        for (int i = length - 1; i > 0; --i) {
            p[i] = m_Suffix[static_cast<std::size_t>(c)];
            c = m_Prefix[static_cast<std::size_t>(c)];
        }
        p[0] = m_Suffix[static_cast<std::size_t>(c)];
        m_Out += length;
        m_OutLeft -= length;
        if (m_OutLeft == 0) NextRow();
        return;
    }
    int c = code;
    for (int i = length - 1; i > 0; --i) {
        m_Stack[static_cast<std::size_t>(i)] = m_Suffix[static_cast<std::size_t>(c)];
        c = m_Prefix[static_cast<std::size_t>(c)];
    }
    m_Stack[0] = m_Suffix[static_cast<std::size_t>(c)];
    EmitSlow(m_Stack.data(), length);
}

void TGIFDecoder::EmitSlow(const std::uint8_t* string, int length) {
    // Across rows of an interlaced frame; what overshoots the frame is dropped.
    while (length > 0 && !m_Full) {
        const int n = static_cast<int>(std::min<std::int64_t>(length, m_OutLeft));
        std::memcpy(m_Out, string, static_cast<std::size_t>(n));
        m_Out += n;
        m_OutLeft -= n;
        string += n;
        length -= n;
        if (m_OutLeft == 0) NextRow();
    }
}

void TGIFDecoder::NextRow() {
    if (!m_Interlaced) {
        m_Full = true;
        return;
    }
    m_Row += PassStep[m_Pass];
    while (m_Row >= m_Height) {
        if (++m_Pass > 3) {
            m_Full = true;
            return;
        }
        m_Row = PassStart[m_Pass];
    }
    m_Out = m_Pixels + static_cast<std::size_t>(m_Row) * static_cast<std::size_t>(m_Width);
    m_OutLeft = m_Width;
}
