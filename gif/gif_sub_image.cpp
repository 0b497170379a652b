#include "gif/gif_sub_image.h"

#include "gif/gif_decoder.h"
#include "gif/gif_graphic_control.h"
#include "gif/gif_utils.h"
#include "gif/lzw_encoder.h"
#include "gif/reduce_colors.h"
#include "gif/rle_encoder.h"
#include "platform/byte_codec.h"

#include <array>

TGIFSubImage::TGIFSubImage(IGIFFrameOwner* owner)
    : TGIFItem(owner ? owner->OwnerImage() : nullptr), m_Owner(owner), m_ColorMap(*this),
      m_Extensions(*this) {
    Clear();
}

TGIFSubImage::~TGIFSubImage() {
    // The extensions reach back into the frame while they go.
    m_Extensions.Clear();
}

void TGIFSubImage::Clear() {
    m_Extensions.Clear();
    m_ColorMap.Clear();
    m_Data.clear();
    m_Data.shrink_to_fit();
    m_Width = 0;
    m_Height = 0;
    m_HasTransparency = false;
    m_GraphicControlExtension = nullptr;
    FreeBitmap();
}

void TGIFSubImage::FreeBitmap() {
    m_Bitmap.reset();
    m_NeedsRebuild = true;
    m_BitmapBuilt = false;
}

void TGIFSubImage::PaletteModified() {
    m_Palette.reset();
    // A bitmap the frame was made from stays; one built from the old colours does not.
    if (m_BitmapBuilt) FreeBitmap();
}

const TPalette& TGIFSubImage::Palette() {
    if (!m_Palette) m_Palette = ActiveColorMap().ExportPalette();
    return *m_Palette;
}

TGIFColorMap& TGIFSubImage::ActiveColorMap() {
    if (m_ColorMap.Count() > 0) return m_ColorMap;
    if (m_Owner && m_Owner->GlobalColorMap().Count() > 0) return m_Owner->GlobalColorMap();
    return m_ColorMap;
}

const TGIFColorMap& TGIFSubImage::ActiveColorMap() const {
    return const_cast<TGIFSubImage*>(this)->ActiveColorMap();
}

int TGIFSubImage::TransparentColorIndex() const {
    if (!m_HasTransparency || !m_GraphicControlExtension || !m_GraphicControlExtension->Transparent())
        return -1;
    return m_GraphicControlExtension->TransparentColorIndex();
}

TGIFVersion TGIFSubImage::GetVersion() const {
    return m_ColorMap.Optimized() || m_Extensions.Count() > 0 ? gv89a : gv87a;
}

void TGIFSubImage::SetBounds(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height) {
    // The descriptor holds 16-bit values, and so does the logical screen that must hold the frame.
    for (std::int64_t v : {left, top, width, height})
        if (v < 0 || v > 65535) Error("Invalid image dimensions");
    if (left + width > 65535 || top + height > 65535) Error("Invalid image dimensions");

    if (width != m_Width || height != m_Height) {
        FreeBitmap();
        m_Data.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    }
    m_Left = static_cast<std::uint16_t>(left);
    m_Top = static_cast<std::uint16_t>(top);
    m_Width = static_cast<std::uint16_t>(width);
    m_Height = static_cast<std::uint16_t>(height);
    if (!m_Owner) return;

    bool warned = false;
    if (m_Owner->ScreenWidth() < left + width) {
        if (m_Owner->ScreenWidth() != 0) {
            Warning(gsWarning, "Image width too small for contained frames");
            warned = true;
        }
        m_Owner->SetScreenSize(static_cast<std::uint16_t>(left + width),
                               static_cast<std::uint16_t>(m_Owner->ScreenHeight()));
    }
    if (m_Owner->ScreenHeight() < top + height) {
        if (m_Owner->ScreenHeight() != 0) {
            Warning(gsWarning, "Image height too small for contained frames");
            warned = true;
        }
        m_Owner->SetScreenSize(static_cast<std::uint16_t>(m_Owner->ScreenWidth()),
                               static_cast<std::uint16_t>(top + height));
    }
    if (warned) Warning(gsWarning, "Image exceeds Logical Screen size");
}

std::uint8_t* TGIFSubImage::ScanLine(int y) {
    if (y < 0 || y >= m_Height) Error("Invalid pixel coordinates");
    if (m_Data.size() != static_cast<std::size_t>(m_Width) * m_Height)
        m_Data.assign(static_cast<std::size_t>(m_Width) * m_Height, 0);
    if (m_Data.empty()) Error("Image is empty");
    return m_Data.data() + static_cast<std::size_t>(y) * m_Width;
}

std::uint8_t TGIFSubImage::Pixels(int x, int y) {
    if (x < 0 || x >= m_Width) Error("Invalid pixel coordinates");
    return ScanLine(y)[x];
}

void TGIFSubImage::Assign(const TGIFSubImage& source) {
    if (&source == this) return;
    Clear();
    if (!source.Empty()) {
        m_Left = source.m_Left;
        m_Top = source.m_Top;
        m_Width = source.m_Width;
        m_Height = source.m_Height;
        m_Packed = source.m_Packed;
        m_HasTransparency = source.m_HasTransparency;
        m_Data = source.m_Data;
        m_ColorMap.Assign(source.m_ColorMap);
    }
    // Also those of a frame without pixels (the extensions after a file's last picture).
    if (source.m_Extensions.Count() > 0) {
        // Extensions are copied by writing and re-reading them.
        TMemoryStream copy;
        const_cast<TGIFExtensionList&>(source.m_Extensions).SaveToStream(copy);
        copy.SetPosition(0);
        m_Extensions.LoadFromStream(copy);
    } else if (source.m_Bitmap) {
        m_Bitmap = std::make_unique<TBitmap>(*source.m_Bitmap);
    }
}

void TGIFSubImage::Assign(const TBitmap& source) {
    Clear();
    if (source.Empty()) return;
    SetWidth(source.Width());
    SetHeight(source.Height());
    if (IsIndexed(source.PixelFormat())) {
        m_Bitmap = std::make_unique<TBitmap>(source);
    } else {
        const TGIFImageSettings settings = m_Owner ? m_Owner->FrameSettings() : TGIFImageSettings{};
        m_Bitmap = std::make_unique<TBitmap>(ReduceColors(
            source, settings.colorReduction, settings.ditherMode, nullptr, settings.reductionBits));
    }
    CopyPixels(*m_Bitmap);
    if (source.HasMask()) AddMaskTransparency(source.Mask());
}

void TGIFSubImage::AddMaskTransparency(const std::vector<std::uint8_t>& mask) {
    m_ColorMap.Optimize();
    const int count = m_ColorMap.Count();
    if (count == 0 || count == 256) return;
    const int index = m_ColorMap.Add(RGBColor(0, 0, 0));
    bool masked = false;
    for (std::size_t i = 0; i < m_Data.size(); ++i)
        if (mask[i] != 0) {
            m_Data[i] = static_cast<std::uint8_t>(index);
            masked = true;
        }
    if (!masked) {
        // Nothing to mark: neither the colour nor an extension that names it stays.
        m_ColorMap.Delete(index);
        return;
    }
    auto control = std::make_unique<TGIFGraphicControlExtension>(*this);
    control->SetTransparent(true);
    control->SetTransparentColorIndex(index);
    m_Extensions.Add(std::move(control));
    FreeBitmap(); // the bitmap it was made from no longer shows its pixels
}

TFramePixels TGIFSubImage::FramePixels() const {
    return {m_Width, m_Height, Empty() ? nullptr : m_Data.data(), &ActiveColorMap(), TransparentColorIndex(),
            m_Owner};
}

const TBitmap& TGIFSubImage::GetBitmap() const {
    if (!m_Bitmap) {
        const bool dither = m_Owner && DitherApplies(m_Owner->FrameSettings().drawOptions);
        m_Bitmap = std::make_unique<TBitmap>(BuildFrameBitmap(*this, dither));
        m_NeedsRebuild = false;
        m_BitmapBuilt = true;
    }
    return *m_Bitmap;
}

void TGIFSubImage::CopyPixels(const TBitmap& bitmap) {
    // A reduction that gave up (bad mode or palette) leaves nothing to copy.
    if (bitmap.Width() != m_Width || bitmap.Height() != m_Height) Error("Image is empty");
    m_Data.assign(static_cast<std::size_t>(m_Width) * m_Height, 0);
    const TPixelFormat format = IsIndexed(bitmap.PixelFormat()) ? bitmap.PixelFormat() : pf24bit;
    const TDIBReader reader(bitmap, format);
    if (format != pf24bit) m_ColorMap.ImportPalette(bitmap.Palette());

    // The last few colours met, newest first when searched.
    std::array<TColor, 8> cacheColor{};
    std::array<int, 8> cacheIndex;
    cacheIndex.fill(-1);
    int next = 0;

    for (int y = 0; y < m_Height; ++y) {
        if (y % 32 == 0 && m_Owner) m_Owner->Progress(psRunning, y * 100 / m_Height, "Converting...");
        const std::uint8_t* src = reader.ScanLine(y);
        std::uint8_t* dst = m_Data.data() + static_cast<std::size_t>(y) * m_Width;
        switch (format) {
        case pf8bit:
            std::copy(src, src + m_Width, dst);
            break;
        case pf4bit:
            for (int x = 0; x < m_Width; ++x)
                dst[x] = (x & 1) ? src[x >> 1] & 0x0F : src[x >> 1] >> 4;
            break;
        case pf1bit:
            for (int x = 0; x < m_Width; ++x)
                dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
            break;
        default:
            for (int x = 0; x < m_Width; ++x) {
                const TColor c = RGBColor(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                int index = -1;
                for (int k = 0; k < 8 && index < 0; ++k) {
                    const int slot = (next - 1 - k + 16) % 8;
                    if (cacheIndex[slot] >= 0 && cacheColor[slot] == c) index = cacheIndex[slot];
                }
                if (index < 0) {
                    index = m_ColorMap.AddUnique(c);
                    cacheColor[next] = c;
                    cacheIndex[next] = index;
                    next = (next + 1) % 8;
                }
                dst[x] = static_cast<std::uint8_t>(index);
            }
            break;
        }
    }
}

void TGIFSubImage::SaveToStream(TStream& stream) {
    m_Extensions.SaveToStream(stream);
    if (Empty()) return;

    if (m_ColorMap.Count() > 0) {
        m_Packed = 0x80 | ((m_ColorMap.BitsPerPixel() - 1) & 0x07);
        if (m_ColorMap.Optimized()) m_Packed |= 0x20;
    } else {
        m_Packed &= 0x40 | 0x10 | 0x08;
    }
    std::uint8_t descriptor[10] = {0x2C};
    PutLe16(descriptor + 1, m_Left);
    PutLe16(descriptor + 3, m_Top);
    PutLe16(descriptor + 5, m_Width);
    PutLe16(descriptor + 7, m_Height);
    descriptor[9] = m_Packed;
    stream.Write(descriptor, sizeof descriptor);
    m_ColorMap.SaveToStream(stream);
    WriteRaster(stream);
}

void TGIFSubImage::LoadFromStream(TStream& stream) {
    LoadFromStream(stream, GIFMaxFramePixels);
}

void TGIFSubImage::LoadFromStream(TStream& stream, std::int64_t pixelBudget) {
    Clear();
    try {
        m_Extensions.LoadFromStream(stream);
        const int next = ReadByte(stream);
        if (next < 0) return;
        stream.Seek(-1, soCurrent);
        if (next == bsTrailer || next == 0) return;

        std::uint8_t d[10];
        ReadCheck(stream, d, sizeof d);
        m_Left = GetLe16(d + 1);
        m_Top = GetLe16(d + 3);
        m_Width = GetLe16(d + 5);
        m_Height = GetLe16(d + 7);
        m_Packed = d[9];
        if (m_Owner) {
            const int screenWidth = m_Owner->ScreenWidth(), screenHeight = m_Owner->ScreenHeight();
            if (m_Width == 0 || m_Height == 0) {
                m_Width = static_cast<std::uint16_t>(screenWidth);
                m_Height = static_cast<std::uint16_t>(screenHeight);
                Warning(gsWarning, "Image exceeds Logical Screen size");
            } else if (m_Left + m_Width > screenWidth || m_Top + m_Height > screenHeight) {
                // Kept as it is; drawing clips it to the screen.
                Warning(gsWarning, "Image exceeds Logical Screen size");
            }
        }
        if (m_Packed & 0x80) m_ColorMap.LoadFromStream(stream, 2 << (m_Packed & 0x07));

        const std::int64_t pixels = static_cast<std::int64_t>(m_Width) * m_Height;
        if (pixels > pixelBudget) Error("Invalid image dimensions");
        ReadRaster(stream);
    } catch (...) {
        Clear();
        throw;
    }
}

void TGIFSubImage::ReadRaster(TStream& stream) {
    const int transparent = TransparentColorIndex();
    m_Data.assign(static_cast<std::size_t>(m_Width) * m_Height,
                  static_cast<std::uint8_t>(transparent >= 0 ? transparent : 0));
    TGIFDecoder decoder(
        [this](TGIFSeverity severity, const std::string& message) { Warning(severity, message); });
    decoder.Decode(stream, m_Data.data(), m_Width, m_Height, Interlaced());
}

void TGIFSubImage::WriteRaster(TStream& stream) {
    int bits, colors;
    if (m_ColorMap.Count() > 0) {
        bits = m_ColorMap.BitsPerPixel();
        colors = m_ColorMap.Count();
    } else {
        bits = m_Owner ? m_Owner->BitsPerPixel() : 0;
        colors = 1 << bits;
    }
    std::unique_ptr<TGIFEncoder> encoder;
    if (m_Owner && m_Owner->FrameSettings().compression == 1)
        encoder = std::make_unique<TRLEEncoder>();
    else
        encoder = std::make_unique<TLZWEncoder>();
    if (m_Owner)
        encoder->SetWarning(
            [owner = m_Owner](TGIFSeverity s, const std::string& m) { owner->Warning(s, m); });
    // The interlace flag as just written: a frame with its own colour table is stored in row order.
    encoder->Compress(stream, bits, colors, m_Data.data(), Interlaced(), m_Height, m_Width);
}

TGIFImageList::TGIFImageList(IGIFFrameOwner* owner)
    : TGIFList(owner ? owner->OwnerImage() : nullptr), m_Owner(owner) {}

void TGIFImageList::SaveToStream(TStream& stream) {
    for (int i = 0; i < Count(); ++i) {
        m_Items[static_cast<std::size_t>(i)]->SaveToStream(stream);
        if (m_Owner) m_Owner->Progress(psRunning, (i + 1) * 100 / Count(), "Saving...");
    }
}

void TGIFImageList::LoadFromStream(TStream& stream) {
    const std::int64_t size = stream.Size();
    std::int64_t pixels = 0;
    for (;;) {
        int b;
        do
            b = ReadByte(stream);
        while (b == 0);
        if (b < 0) break;
        stream.Seek(-1, soCurrent);
        if (b == bsTrailer) break;
        if (b != bsExtensionIntroducer && b != bsImageSeparator) {
            if (m_Owner) m_Owner->Warning(gsWarning, "Unknown GIF block type");
            break;
        }
        auto frame = std::make_unique<TGIFSubImage>(m_Owner);
        frame->LoadFromStream(stream, std::min(GIFMaxFramePixels, GIFMaxImagePixels - pixels));
        pixels += static_cast<std::int64_t>(frame->Data().size());
        Add(std::move(frame));
        if (m_Owner && size > 0)
            m_Owner->Progress(psRunning, static_cast<int>(stream.Position() * 100 / size), "Loading...");
    }
}
