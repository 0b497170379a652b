#pragma once
// The GIF image object: a header with the logical screen and global colour table, a list of
// frames each with its descriptor, pixels, local colour table and extensions, and the trailer.
// Bitmaps become frames through colour reduction; saving writes GIF87a or GIF89a.
// Used from one thread at a time; no internal locking.

#include "gif/gif_bitmap.h"
#include "gif/gif_color_map.h"
#include "gif/gif_exception.h"
#include "gif/gif_stream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TGIFImage;
class TGIFSubImage;

enum TGIFVersion { gvUnknown = 0, gv87a = 1, gv89a = 2 };

// Draw options of an image (the drawing side uses them).
enum : std::uint16_t {
    goAsync = 1 << 0,
    goTransparent = 1 << 1,
    goAnimate = 1 << 2,
    goLoop = 1 << 3,
    goLoopContinously = 1 << 4,
    goValidateCanvas = 1 << 5,
    goDirectDraw = 1 << 6,
    goClearOnLoop = 1 << 7,
    goTile = 1 << 8,
    goDither = 1 << 9,
    goAutoDither = 1 << 10,
};

// Defaults copied into every new image.
constexpr std::uint16_t GIFDefaultDrawOptions = 0x060F;
constexpr int GIFDefaultColorReduction = 8; // octree to 236 colours between the system colours
constexpr int GIFDefaultReductionBits = 8;
constexpr int GIFDefaultDitherMode = 1;  // Floyd-Steinberg
constexpr int GIFDefaultCompression = 0; // LZW; 1 is RLE
constexpr int GIFDefaultThreadPriority = 3;
constexpr int GIFDefaultAnimationSpeed = 100;
constexpr TColor GIFDefaultBackgroundColor = 0x1FFFFFFF; // no colour

// Set when the display has 8 or fewer bits per pixel; drawing then goes through palettes.
// Our displays are true colour, so it stays false unless a caller sets it.
extern bool GIFPaletteDisplay;

// Base of every part of a GIF file.
class TGIFItem {
  public:
    explicit TGIFItem(TGIFImage* image) : m_Image(image) {}
    virtual ~TGIFItem() = default;
    TGIFItem(const TGIFItem&) = delete;
    TGIFItem& operator=(const TGIFItem&) = delete;

    virtual TGIFVersion GetVersion() const { return gv87a; }
    virtual void Warning(TGIFSeverity severity, const std::string& message);
    virtual void SaveToStream(TStream& stream) = 0;
    // Writes the item alone; an existing file is replaced only once all bytes are ready.
    void SaveToFile(const std::string& fileName);

    TGIFImage* Image() const { return m_Image; }

  protected:
    TGIFImage* m_Image;
};

// An owning list of items.
template <class Item> class TGIFList {
  public:
    explicit TGIFList(TGIFImage* image) : m_Image(image) {}
    virtual ~TGIFList() { Clear(); }

    Item& operator[](int index) { return *m_Items.at(static_cast<std::size_t>(index)); }
    const Item& operator[](int index) const { return *m_Items.at(static_cast<std::size_t>(index)); }
    int Count() const { return static_cast<int>(m_Items.size()); }
    int Add(std::unique_ptr<Item> item) {
        m_Items.push_back(std::move(item));
        return Count() - 1;
    }
    void Clear() {
        while (!m_Items.empty())
            m_Items.erase(m_Items.begin());
    }
    void Delete(int index) { m_Items.erase(m_Items.begin() + index); }
    // Takes the item out of the list without freeing it; null when it is not in the list.
    std::unique_ptr<Item> Remove(const Item* item) {
        for (auto it = m_Items.begin(); it != m_Items.end(); ++it) {
            if (it->get() != item) continue;
            std::unique_ptr<Item> owned = std::move(*it);
            m_Items.erase(it);
            return owned;
        }
        return nullptr;
    }
    virtual void SaveToStream(TStream& stream) {
        for (auto& item : m_Items)
            item->SaveToStream(stream);
    }
    TGIFImage* Image() const { return m_Image; }

  protected:
    TGIFImage* m_Image;
    std::vector<std::unique_ptr<Item>> m_Items;
};

// An extension block that precedes a frame; every extension needs GIF89a.
class TGIFExtension : public TGIFItem {
  public:
    explicit TGIFExtension(TGIFSubImage& subImage);
    TGIFVersion GetVersion() const override { return gv89a; }
    virtual std::uint8_t GetExtensionType() const = 0;
    TGIFSubImage& SubImage() const { return m_SubImage; }

  private:
    TGIFSubImage& m_SubImage;
};

class TGIFExtensionList : public TGIFList<TGIFExtension> {
  public:
    using TGIFList::TGIFList;
};

class TGIFImageList : public TGIFList<TGIFSubImage> {
  public:
    using TGIFList::TGIFList;
    // Each frame in order, with a "Saving..." progress event after each.
    void SaveToStream(TStream& stream) override;
};

// Signature, logical screen descriptor and global colour table.
class TGIFHeader : public TGIFItem {
  public:
    explicit TGIFHeader(TGIFImage* image) : TGIFItem(image), m_ColorMap(*this) {}
    void Clear();
    void Assign(const TGIFHeader& source);
    TGIFVersion GetVersion() const override;
    void SaveToStream(TStream& stream) override;
    // The screen descriptor's packed fields as they will be written.
    std::uint8_t ComputePackedFields() const;

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    std::uint8_t PackedFields() const { return m_Packed; }
    std::uint8_t BackgroundColorIndex() const { return m_BackgroundIndex; }
    void SetBackgroundColorIndex(std::uint8_t index) { m_BackgroundIndex = index; }
    std::uint8_t AspectRatio() const { return m_AspectRatio; }
    void SetAspectRatio(std::uint8_t ratio) { m_AspectRatio = ratio; }
    TGIFGlobalColorMap& ColorMap() { return m_ColorMap; }
    const TGIFGlobalColorMap& ColorMap() const { return m_ColorMap; }

  private:
    friend class TGIFImage;
    friend class TGIFSubImage;
    std::uint16_t m_Width = 0, m_Height = 0;
    std::uint8_t m_Packed = 0, m_BackgroundIndex = 0, m_AspectRatio = 0;
    TGIFGlobalColorMap m_ColorMap;
};

class TGIFTrailer : public TGIFItem {
  public:
    using TGIFItem::TGIFItem;
    void SaveToStream(TStream& stream) override;
};

// One frame.
class TGIFSubImage : public TGIFItem {
  public:
    explicit TGIFSubImage(TGIFImage* image);
    void Clear();

    void Assign(const TGIFSubImage& source);
    // The bitmap's size and pixels; true colour goes through the image's colour reduction.
    void Assign(const TBitmap& source);

    TGIFVersion GetVersion() const override;
    void SaveToStream(TStream& stream) override;

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
    TGIFExtensionList& Extensions() { return m_Extensions; }
    bool HasTransparency() const { return m_HasTransparency; }

    const std::vector<std::uint8_t>& Data() const { return m_Data; }
    std::vector<std::uint8_t>& MutableData() { return m_Data; }
    // Row y; raises "Invalid pixel coordinates" outside the frame.
    std::uint8_t* ScanLine(int y);
    std::uint8_t Pixels(int x, int y);

    // The bitmap the frame was made from, when it still has it.
    const TBitmap* Bitmap() const { return m_Bitmap.get(); }
    void FreeBitmap();
    // The palette of the active colour table.
    const TPalette& Palette();
    void PaletteModified();

  private:
    void CopyPixels(const TBitmap& bitmap);
    void WriteRaster(TStream& stream);

    std::unique_ptr<TBitmap> m_Bitmap;
    bool m_NeedsRebuild = true;
    std::optional<TPalette> m_Palette;
    std::vector<std::uint8_t> m_Data;
    TGIFLocalColorMap m_ColorMap;
    std::uint16_t m_Left = 0, m_Top = 0, m_Width = 0, m_Height = 0;
    std::uint8_t m_Packed = 0;
    TGIFExtensionList m_Extensions;
    bool m_HasTransparency = false;
    TGIFExtension* m_GraphicControlExtension = nullptr;
};

class TGIFImage {
  public:
    TGIFImage();
    ~TGIFImage();
    TGIFImage(const TGIFImage&) = delete;
    TGIFImage& operator=(const TGIFImage&) = delete;

    void Clear();
    void Assign(const TGIFImage& source);
    // One frame made from the bitmap.
    void Assign(const TBitmap& source);
    // Appends a frame; returns its index. A null frame raises "Object type not supported for
    // operation".
    int Add(const TBitmap& source);
    int Add(std::unique_ptr<TGIFSubImage> frame);

    bool Empty() const { return m_Images.Count() == 0; }
    int Width() const { return m_Header.Width(); }
    int Height() const { return m_Header.Height(); }
    // Raise "Image width/height too small for contained frames" when a frame would stick out.
    void SetWidth(std::int64_t value);
    void SetHeight(std::int64_t value);

    // The highest version its frames need; gvUnknown without frames.
    TGIFVersion Version() const;
    void SaveToStream(TStream& stream);
    // Encodes in memory first, so a failure leaves an existing file untouched.
    void SaveToFile(const std::string& fileName);

    std::optional<TPalette> GetPalette();
    void SetPalette(std::optional<TPalette> palette);
    void PaletteModified();

    TGIFImageList& Images() { return m_Images; }
    const TGIFImageList& Images() const { return m_Images; }
    TGIFHeader& Header() { return m_Header; }
    const TGIFHeader& Header() const { return m_Header; }
    // The largest bits per pixel of the global and every local table.
    int BitsPerPixel() const;

    std::uint16_t DrawOptions() const { return m_DrawOptions; }
    void SetDrawOptions(std::uint16_t options) { m_DrawOptions = options; }
    int ColorReduction() const { return m_ColorReduction; }
    void SetColorReduction(int mode) { m_ColorReduction = mode; }
    int ReductionBits() const { return m_ReductionBits; }
    void SetReductionBits(int bits) { m_ReductionBits = bits; }
    int DitherMode() const { return m_DitherMode; }
    void SetDitherMode(int mode) { m_DitherMode = mode; }
    int Compression() const { return m_Compression; }
    void SetCompression(int compression) { m_Compression = compression; }
    int ThreadPriority() const { return m_ThreadPriority; }
    void SetThreadPriority(int priority) { m_ThreadPriority = priority; }
    int AnimationSpeed() const { return m_AnimationSpeed; }
    void SetAnimationSpeed(int percent) { m_AnimationSpeed = percent; }
    TColor BackgroundColor() const { return m_BackgroundColor; }
    void SetBackgroundColor(TColor color) { m_BackgroundColor = color; }

    TGIFWarning OnWarning;
    TProgressEvent OnProgress;
    std::function<void()> OnChange;

    void Warning(TGIFSeverity severity, const std::string& message);
    void Progress(TProgressStage stage, int percent, const std::string& message);
    void Changed();
    void FreeBitmap();

  private:
    TGIFImageList m_Images;
    TGIFHeader m_Header;
    std::optional<TPalette> m_Palette;
    std::uint16_t m_DrawOptions = GIFDefaultDrawOptions;
    int m_ColorReduction = GIFDefaultColorReduction;
    int m_ReductionBits = GIFDefaultReductionBits;
    int m_DitherMode = GIFDefaultDitherMode;
    int m_Compression = GIFDefaultCompression;
    std::unique_ptr<TBitmap> m_Bitmap;
    int m_ThreadPriority = GIFDefaultThreadPriority;
    int m_AnimationSpeed = GIFDefaultAnimationSpeed;
    TColor m_BackgroundColor = GIFDefaultBackgroundColor;
    bool m_BuildingPalette = false;
};
