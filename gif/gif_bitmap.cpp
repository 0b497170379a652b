#include "gif/gif_bitmap.h"

#include "gif/gif_exception.h"
#include "gif/gif_utils.h"

#include <new>

int BitsOf(TPixelFormat format) {
    switch (format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf24bit:
        return 24;
    case pf32bit:
        return 32;
    }
    return 24;
}

TBitmap::TBitmap(int width, int height, TPixelFormat format) : m_Format(format) {
    SetSize(width, height);
}

void TBitmap::SetSize(int width, int height) {
    if (width < 0 || height < 0) throw EInvalidGraphicOperation("Invalid image dimensions");
    m_Width = width;
    m_Height = height;
    m_RowBytes = BytesPerScanline(width, BitsOf(m_Format));
    m_Bits.assign(static_cast<std::size_t>(m_RowBytes) * static_cast<std::size_t>(height), 0);
    m_Mask.clear();
}

void TBitmap::SetMask(std::vector<std::uint8_t> mask) {
    if (!mask.empty() &&
        mask.size() != static_cast<std::size_t>(m_Width) * static_cast<std::size_t>(m_Height))
        throw EInvalidGraphicOperation("Invalid mask size");
    m_Mask = std::move(mask);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == m_Format) return;
    TBitmap result(m_Width, m_Height, format);
    result.m_Palette = m_Palette;
    result.m_Mask = m_Mask;
    if (!IsIndexed(format)) {
        const int step = format == pf32bit ? 4 : 3;
        for (int y = 0; y < m_Height; ++y) {
            std::uint8_t* row = result.ScanLine(y);
            for (int x = 0; x < m_Width; ++x) {
                const TColor c = PixelColor(x, y);
                row[x * step] = BlueOf(c);
                row[x * step + 1] = GreenOf(c);
                row[x * step + 2] = RedOf(c);
            }
        }
    }
    *this = std::move(result);
}

std::uint8_t* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= m_Height) throw EInvalidGraphicOperation("Scan line index out of range");
    return m_Bits.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_RowBytes);
}

const std::uint8_t* TBitmap::ScanLine(int y) const {
    return const_cast<TBitmap*>(this)->ScanLine(y);
}

int TBitmap::PixelIndex(int x, int y) const {
    const std::uint8_t* row = ScanLine(y);
    switch (m_Format) {
    case pf1bit:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case pf4bit:
        return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case pf8bit:
        return row[x];
    default:
        return 0;
    }
}

TColor TBitmap::PixelColor(int x, int y) const {
    const std::uint8_t* row = ScanLine(y);
    if (m_Format == pf24bit) return RGBColor(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    if (m_Format == pf32bit) return RGBColor(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
    const int index = PixelIndex(x, y);
    if (index >= static_cast<int>(m_Palette.size())) return 0;
    const TPaletteEntry& e = m_Palette[static_cast<std::size_t>(index)];
    return RGBColor(e.Red, e.Green, e.Blue);
}

TDIBReader::TDIBReader(const TBitmap& bitmap, TPixelFormat format) : m_Source(&bitmap) {
    if (bitmap.PixelFormat() != format) {
        m_Converted = bitmap;
        m_Converted.SetPixelFormat(format);
        m_Source = &m_Converted;
    }
}

TDIBWriter::TDIBWriter(TBitmap& bitmap, const TPalette& palette, int width, int height, TPixelFormat format)
    : m_Bitmap(bitmap) {
    if (format != pf8bit && format != pf24bit) Error("Unsupported PixelFormat");
    if (width <= 0 || height <= 0) Error("Invalid image dimensions");
    try {
        m_Result = TBitmap(width, height, format);
    } catch (const std::bad_alloc&) {
        Error("Failed to allocate memory for GIF DIB");
    }
    if (format == pf8bit) {
        TPalette table(256);
        for (std::size_t i = 0; i < palette.size() && i < 256; ++i)
            table[i] = {palette[i].Red, palette[i].Green, palette[i].Blue, 0};
        m_Result.SetPalette(std::move(table));
    }
}

std::uint8_t* TDIBWriter::ScanLine(int y) {
    if (m_Stored) Error("Image has no DIB");
    return m_Result.ScanLine(y);
}

void TDIBWriter::Store() {
    if (m_Stored) return;
    m_Stored = true;
    m_Bitmap = std::move(m_Result);
}
