#pragma once
// The codec's own bitmap: device-independent rows, top row first, each row padded to 32 bits.
// Indexed formats (1, 4, 8 bits) carry a palette; 24-bit rows are blue, green, red; 32-bit
// rows are blue, green, red, reserved. Plain value type, no thread affinity.

#include <cstdint>
#include <vector>

// A colour as the graphic classes keep it: red in the low byte, then green, then blue.
using TColor = std::uint32_t;
constexpr TColor RGBColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return TColor(r) | TColor(g) << 8 | TColor(b) << 16;
}
constexpr std::uint8_t RedOf(TColor c) {
    return c & 0xFF;
}
constexpr std::uint8_t GreenOf(TColor c) {
    return (c >> 8) & 0xFF;
}
constexpr std::uint8_t BlueOf(TColor c) {
    return (c >> 16) & 0xFF;
}

// Palette-entry flag that keeps an entry from being merged with the system colours.
constexpr std::uint8_t pcNoCollapse = 4;

struct TPaletteEntry {
    std::uint8_t Red = 0, Green = 0, Blue = 0, Flags = 0;
    bool operator==(const TPaletteEntry&) const = default;
};
using TPalette = std::vector<TPaletteEntry>;

enum TPixelFormat { pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };
int BitsOf(TPixelFormat format);
constexpr bool IsIndexed(TPixelFormat f) {
    return f == pf1bit || f == pf4bit || f == pf8bit;
}

class TBitmap {
  public:
    TBitmap() = default;
    TBitmap(int width, int height, TPixelFormat format);

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    bool Empty() const { return m_Width == 0 || m_Height == 0; }
    TPixelFormat PixelFormat() const { return m_Format; }
    std::int64_t RowBytes() const { return m_RowBytes; }

    // New size, pixels all zero.
    void SetSize(int width, int height);
    // Converting to 24 or 32 bits keeps the picture; converting to an indexed format keeps
    // the size only (pixels zero, palette kept).
    void SetPixelFormat(TPixelFormat format);

    const TPalette& Palette() const { return m_Palette; }
    void SetPalette(TPalette palette) { m_Palette = std::move(palette); }

    // Raises EInvalidGraphicOperation for a row outside 0..height - 1.
    std::uint8_t* ScanLine(int y);
    const std::uint8_t* ScanLine(int y) const;

    // The colour of a pixel in any format (slow; for tests and conversions).
    TColor PixelColor(int x, int y) const;
    // Index of a pixel in an indexed format.
    int PixelIndex(int x, int y) const;

    // The transparent parts of a picture: one byte a pixel, rows top down, not 0 where the pixel
    // is transparent; empty when the picture has none. A new size drops it; a new pixel format
    // keeps it.
    const std::vector<std::uint8_t>& Mask() const { return m_Mask; }
    bool HasMask() const { return !m_Mask.empty(); }
    bool Masked(int x, int y) const {
        return !m_Mask.empty() && m_Mask[static_cast<std::size_t>(y) * m_Width + x] != 0;
    }
    // Raises EInvalidGraphicOperation unless mask is empty or holds width x height bytes.
    void SetMask(std::vector<std::uint8_t> mask);

  private:
    friend class TDIBWriter;
    int m_Width = 0, m_Height = 0;
    TPixelFormat m_Format = pf24bit;
    std::int64_t m_RowBytes = 0;
    std::vector<std::uint8_t> m_Bits;
    TPalette m_Palette;
    std::vector<std::uint8_t> m_Mask;
};

// Row access to a bitmap in a chosen pixel format; the bitmap itself is not changed.
class TDIBReader {
  public:
    TDIBReader(const TBitmap& bitmap, TPixelFormat format);
    const std::uint8_t* ScanLine(int y) const { return m_Source->ScanLine(y); }
    const TBitmap& Bitmap() const { return *m_Source; }

  private:
    TBitmap m_Converted;
    const TBitmap* m_Source;
};

// Builds the pixels of an 8- or 24-bit bitmap row by row; Store (or destruction) puts them into
// the bitmap. An 8-bit result carries a 256-entry palette: the given entries, then black.
class TDIBWriter {
  public:
    TDIBWriter(TBitmap& bitmap, const TPalette& palette, int width, int height, TPixelFormat format);
    ~TDIBWriter() { Store(); }
    TDIBWriter(const TDIBWriter&) = delete;
    TDIBWriter& operator=(const TDIBWriter&) = delete;

    std::uint8_t* ScanLine(int y);
    void Store();

  private:
    TBitmap& m_Bitmap;
    TBitmap m_Result;
    bool m_Stored = false;
};
