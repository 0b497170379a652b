#pragma once
// The GIF image object: a header with the logical screen and global colour table, a list of
// frames each with its descriptor, pixels, local colour table and extensions, and the trailer.
// Bitmaps become frames through colour reduction; saving writes GIF87a or GIF89a.
// Used from one thread at a time; no internal locking.

#include "gif/gif_bitmap.h"
#include "gif/gif_exception.h"
#include "gif/gif_header.h"
#include "gif/gif_painter.h"
#include "gif/gif_stream.h"
#include "gif/gif_sub_image.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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

// Set when the display has 8 or fewer bits per pixel; drawing then goes through palettes. The Qt
// adapter sets it from the screen's depth when the application starts (ReadScreenDepth); false
// until then and in programs without a screen.
extern bool GIFPaletteDisplay;
// Whether frames are drawn through the 216-colour cube: goDither, unless goAutoDither is also set
// and the display is not a palette display.
bool DitherApplies(std::uint16_t drawOptions);

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
    // Clears and reads a GIF87a or GIF89a stream. On an error (GIFException, or "Invalid image
    // dimensions" for a frame above the size caps) the stream goes back to where loading began and
    // the image keeps the frames read before the fault.
    void LoadFromStream(TStream& stream);
    // Reads the file as far as its GIF stream goes (TGIFFileStream); also raises EStreamError when
    // it cannot be read or is not a regular file.
    void LoadFromFile(const std::string& fileName);

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

    // Painters that animate the image. Clearing or destroying the image stops every one of them
    // first (IGIFPainter::ImageGone); a painter detaches itself when it ends or goes.
    void AttachPainter(IGIFPainter* painter);
    void DetachPainter(IGIFPainter* painter);
    // The painter started last, while it runs; null otherwise.
    IGIFPainter* CurrentPainter() const { return m_CurrentPainter; }
    void SetCurrentPainter(IGIFPainter* painter) { m_CurrentPainter = painter; }
    void StopPainters();
    // Drawing guard: true while the image is being drawn.
    bool Drawing() const { return m_Drawing; }
    void SetDrawing(bool on) { m_Drawing = on; }

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
    std::vector<IGIFPainter*> m_Painters;
    IGIFPainter* m_CurrentPainter = nullptr;
    bool m_Drawing = false;
};
