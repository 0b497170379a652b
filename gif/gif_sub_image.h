#pragma once
// One frame of a GIF image: its descriptor, pixels, local colour table and extensions; and the
// list of an image's frames. A frame reads its image's settings, global colour table and logical
// screen through IGIFFrameOwner.

#include "gif/gif_bitmap.h"
#include "gif/gif_color_map.h"
#include "gif/gif_extension.h"
#include "gif/gif_frame_bitmap.h"
#include "gif/gif_image_settings.h"
#include "gif/gif_item.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class TGIFGraphicControlExtension;

// The most pixels one frame may hold, and all frames of an image read from a stream together;
// larger frames are refused as "Invalid image dimensions" before anything is allocated.
constexpr std::int64_t GIFMaxFramePixels = std::int64_t(1) << 26;
constexpr std::int64_t GIFMaxImagePixels = std::int64_t(1) << 28;

// One frame.
class TGIFSubImage : public TGIFItem {
  public:
    // A frame of `owner` (a TGIFImage), or of no image: then it takes the default settings, has
    // no global colours and grows no screen.
    explicit TGIFSubImage(IGIFFrameOwner* owner);
    ~TGIFSubImage() override;
    void Clear();

    void Assign(const TGIFSubImage& source);
    // The bitmap's size and pixels; true colour goes through the image's colour reduction. A
    // bitmap with a mask makes its masked pixels transparent: the local table is optimized, gains
    // the colour black for them, and a graphic control extension marks that entry transparent;
    // a table that still has 256 colours leaves the frame opaque.
    void Assign(const TBitmap& source);

    IGIFFrameOwner* Owner() const { return m_Owner; }

    TGIFVersion GetVersion() const override;
    void SaveToStream(TStream& stream) override;
    // Its extensions, the image descriptor, the local colour table and the raster. Pixels that
    // the data does not reach keep the transparent index (or 0). Errors raise GIFException and
    // leave the frame cleared; see TGIFDecoder for the raster's errors and warnings.
    void LoadFromStream(TStream& stream) override;
    // The same, refusing a frame of more than pixelBudget pixels.
    void LoadFromStream(TStream& stream, std::int64_t pixelBudget);

    int Left() const { return m_Left; }
    int Top() const { return m_Top; }
    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    void SetLeft(std::int64_t value) { SetBounds(value, m_Top, m_Width, m_Height); }
    void SetTop(std::int64_t value) { SetBounds(m_Left, value, m_Width, m_Height); }
    void SetWidth(std::int64_t value) { SetBounds(m_Left, m_Top, value, m_Height); }
    void SetHeight(std::int64_t value) { SetBounds(m_Left, m_Top, m_Width, value); }
    // Values outside 0..65535, or a right or bottom edge past 65535, raise "Invalid image
    // dimensions". A new size gives new zero pixels; the logical screen grows to hold the frame.
    void SetBounds(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height);

    bool Interlaced() const { return (m_Packed & 0x40) != 0; }
    void SetInterlaced(bool on) { m_Packed = on ? (m_Packed | 0x40) : (m_Packed & ~0x40); }
    std::uint8_t PackedFields() const { return m_Packed; }
    bool Empty() const { return m_Data.empty() || m_Width == 0 || m_Height == 0; }

    TGIFLocalColorMap& ColorMap() { return m_ColorMap; }
    const TGIFLocalColorMap& ColorMap() const { return m_ColorMap; }
    // The local table when it has colours, else the global one when it has, else the local.
    TGIFColorMap& ActiveColorMap();
    const TGIFColorMap& ActiveColorMap() const;
    TGIFExtensionList& Extensions() { return m_Extensions; }
    const TGIFExtensionList& Extensions() const { return m_Extensions; }
    bool HasTransparency() const { return m_HasTransparency; }
    // The first graphic control extension of the frame, or null.
    TGIFGraphicControlExtension* GraphicControlExtension() const { return m_GraphicControlExtension; }
    // The transparent colour index, or -1 when the frame has none.
    int TransparentColorIndex() const;

    const std::vector<std::uint8_t>& Data() const { return m_Data; }
    std::vector<std::uint8_t>& MutableData() { return m_Data; }
    // Row y; raises "Invalid pixel coordinates" outside the frame.
    std::uint8_t* ScanLine(int y);
    std::uint8_t Pixels(int x, int y);

    // What its bitmap is built from (BuildFrameBitmap).
    TFramePixels FramePixels() const;
    // The bitmap the frame was made from or last built, when it still has it.
    const TBitmap* Bitmap() const { return m_Bitmap.get(); }
    // The frame's bitmap for drawing: that one, else built from the pixels and kept until the
    // frame changes (BuildFrameBitmap), dithered to the 216-colour cube when the image's draw
    // options say so (DitherApplies).
    const TBitmap& GetBitmap() const;
    void FreeBitmap();
    // The palette of the active colour table.
    const TPalette& Palette();
    void PaletteModified();

  private:
    friend class TGIFGraphicControlExtension;
    void CopyPixels(const TBitmap& bitmap);
    void AddMaskTransparency(const std::vector<std::uint8_t>& mask);
    void WriteRaster(TStream& stream);
    void ReadRaster(TStream& stream);

    IGIFFrameOwner* m_Owner;
    // A cache: built on demand also for a frame that is otherwise read only.
    mutable std::unique_ptr<TBitmap> m_Bitmap;
    mutable bool m_NeedsRebuild = true;
    mutable bool m_BitmapBuilt = false; // from the pixels and colours, so a colour change ends it
    std::optional<TPalette> m_Palette;
    std::vector<std::uint8_t> m_Data;
    TGIFLocalColorMap m_ColorMap;
    std::uint16_t m_Left = 0, m_Top = 0, m_Width = 0, m_Height = 0;
    std::uint8_t m_Packed = 0;
    TGIFExtensionList m_Extensions;
    bool m_HasTransparency = false;
    TGIFGraphicControlExtension* m_GraphicControlExtension = nullptr;
};

// The frame's bitmap built anew (see TFramePixels).
inline TBitmap BuildFrameBitmap(const TGIFSubImage& frame, bool dither) {
    return BuildFrameBitmap(frame.FramePixels(), dither);
}

class TGIFImageList : public TGIFList<TGIFSubImage> {
  public:
    explicit TGIFImageList(IGIFFrameOwner* owner);
    // Each frame in order, with a "Saving..." progress event after each.
    void SaveToStream(TStream& stream) override;
    // Frames up to the trailer (left unread) or the end of the stream; 0 bytes between blocks
    // are skipped; any other block gives the warning "Unknown GIF block type" and ends the list.
    // A frame that fails to load is not added; the error passes on.
    void LoadFromStream(TStream& stream) override;

  private:
    IGIFFrameOwner* m_Owner;
};
