#pragma once
// Table-based image data: the minimum code size byte, the codes packed least significant bit
// first into data sub-blocks of at most 255 bytes, and the block terminator.

#include "gif/gif_exception.h"
#include "gif/gif_stream.h"

#include <array>
#include <cstdint>

// A stream wrapper that only serves as the base of the sub-block writer; reading, writing or
// seeking it as it is raises "Invalid stream operation".
class TGIFStream : public TStream {
  public:
    explicit TGIFStream(TStream& target) : m_Target(target) {}
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetWarning(TGIFWarning warning) { m_Warning = std::move(warning); }

  protected:
    TStream& m_Target;
    TGIFWarning m_Warning;
    std::array<std::uint8_t, 256> m_Buffer{};
    std::size_t m_Position = 0;
};

// Cuts what is written into data sub-blocks; Finish writes the last, partly filled one.
// The block terminator is not the writer's.
class TGIFWriter : public TGIFStream {
  public:
    explicit TGIFWriter(TStream& target) : TGIFStream(target) { m_Position = 1; }
    std::size_t Write(const void* buffer, std::size_t count) override;
    void Finish();

  private:
    void FlushBuffer();
    bool m_Dirty = false;
};

class TGIFEncoder {
  public:
    virtual ~TGIFEncoder() = default;

    void SetWarning(TGIFWarning warning) { m_Warning = std::move(warning); }

    // Writes the whole table-based image data of width x height pixels (one index a byte, rows
    // top down). A pixel not below colorCount raises "Color not in color table"; the bytes
    // written until then stay in the stream.
    void Compress(TStream& stream, int bitsPerPixel, int colorCount, const std::uint8_t* data,
                  bool interlaced, int height, int width);

  protected:
    virtual void Output(int code);
    virtual void Clear() = 0;
    virtual void DoCompress() = 0;

    // Steps to the next pixel in frame order; false when the frame is done.
    bool NextPixel();
    int CheckedPixel() const;

    TGIFWarning m_Warning;
    int m_ColorCount = 0;
    TStream* m_Stream = nullptr;
    int m_BitsPerPixel = 0;
    int m_Width = 0, m_Height = 0;
    bool m_Interlaced = false;
    const std::uint8_t* m_Data = nullptr;
    TGIFWriter* m_Writer = nullptr;
    std::uint32_t m_BitBuffer = 0;
    int m_BitCount = 0;
    bool m_JustCleared = false;
    int m_CodeWidth = 0;
    int m_InitialCodeWidth = 0;
    std::uint16_t m_MaxCode = 0;
    std::uint16_t m_ClearCode = 0, m_EOFCode = 0, m_BaseCode = 0;
    const std::uint8_t* m_Cursor = nullptr;
    std::int64_t m_PixelsLeft = 0;
    int m_Row = 0;
    int m_Pass = 0;
};
