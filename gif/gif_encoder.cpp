#include "gif/gif_encoder.h"

#include "gif/gif_utils.h"

#include <algorithm>
#include <cstring>

std::size_t TGIFStream::Read(void*, std::size_t) {
    throw EStreamError("Invalid stream operation");
}
std::size_t TGIFStream::Write(const void*, std::size_t) {
    throw EStreamError("Invalid stream operation");
}
std::int64_t TGIFStream::Seek(std::int64_t, TSeekOrigin) {
    throw EStreamError("Invalid stream operation");
}

std::size_t TGIFWriter::Write(const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    std::size_t left = count;
    while (left > 0) {
        m_Dirty = true;
        const std::size_t n = std::min(left, m_Buffer.size() - m_Position);
        std::memcpy(m_Buffer.data() + m_Position, bytes, n);
        m_Position += n;
        bytes += n;
        left -= n;
        if (m_Position == m_Buffer.size()) FlushBuffer();
    }
    return count;
}

void TGIFWriter::FlushBuffer() {
    m_Buffer[0] = static_cast<std::uint8_t>(m_Position - 1);
    m_Target.Write(m_Buffer.data(), m_Position);
    m_Position = 1;
    m_Dirty = false;
}

void TGIFWriter::Finish() {
    if (m_Dirty) FlushBuffer();
}

void TGIFEncoder::Compress(TStream& stream, int bitsPerPixel, int colorCount, const std::uint8_t* data,
                           bool interlaced, int height, int width) {
    m_Stream = &stream;
    m_BitsPerPixel = std::max(bitsPerPixel, 2);
    m_ColorCount = colorCount;
    m_Data = data;
    m_Interlaced = interlaced;
    m_Height = height;
    m_Width = width;
    m_InitialCodeWidth = m_BitsPerPixel + 1;
    WriteByte(stream, static_cast<std::uint8_t>(m_BitsPerPixel));

    m_CodeWidth = m_InitialCodeWidth;
    m_MaxCode = static_cast<std::uint16_t>((1 << m_CodeWidth) - 1);
    m_ClearCode = static_cast<std::uint16_t>(1 << m_BitsPerPixel);
    m_EOFCode = m_ClearCode + 1;
    m_BaseCode = m_ClearCode + 2;
    m_BitBuffer = 0;
    m_BitCount = 0;
    m_JustCleared = false;

    m_PixelsLeft = interlaced ? width : static_cast<std::int64_t>(width) * height;
    m_Row = 0;
    m_Pass = 0;
    m_Cursor = data;

    TGIFWriter writer(stream);
    writer.SetWarning(m_Warning);
    m_Writer = &writer;
    if (data && m_PixelsLeft > 0 && width >= 1 && height >= 1) DoCompress();
    Output(m_EOFCode);
    writer.Finish();
    m_Writer = nullptr;
    WriteByte(stream, 0);
}

void TGIFEncoder::Output(int code) {
    static constexpr std::uint32_t Masks[13] = {0, 1, 3, 7, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095};
    if (m_BitCount > 0)
        m_BitBuffer = static_cast<std::uint32_t>(code) << m_BitCount | (m_BitBuffer & Masks[m_BitCount]);
    else
        m_BitBuffer = static_cast<std::uint32_t>(code);
    m_BitCount += m_CodeWidth;
    auto emit = [this] {
        const std::uint8_t b = m_BitBuffer & 0xFF;
        m_Writer->Write(&b, 1);
        m_BitBuffer >>= 8;
        m_BitCount -= 8;
    };
    while (m_BitCount >= 8)
        emit();
    if (code == m_EOFCode)
        while (m_BitCount > 0)
            emit();
}

int TGIFEncoder::CheckedPixel() const {
    const int v = *m_Cursor;
    if (v >= m_ColorCount) Error("Color not in color table");
    return v;
}

bool TGIFEncoder::NextPixel() {
    if (--m_PixelsLeft > 0) {
        ++m_Cursor;
        return true;
    }
    if (!m_Interlaced) return false;
    static constexpr int Start[4] = {0, 4, 2, 1};
    static constexpr int Step[4] = {8, 8, 4, 2};
    m_PixelsLeft = m_Width;
    m_Row += Step[m_Pass];
    // Passes without rows (frames of fewer than 5 rows) are stepped over, as decoders do.
    while (m_Row >= m_Height) {
        if (++m_Pass > 3) return false;
        m_Row = Start[m_Pass];
    }
    m_Cursor = m_Data + static_cast<std::size_t>(m_Row) * static_cast<std::size_t>(m_Width);
    return true;
}
