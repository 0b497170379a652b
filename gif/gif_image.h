#pragma once
// The GIF image object: a header with the logical screen and global colour table, a list of
// frames each with its descriptor, pixels, local colour table and extensions, and the trailer.
// Bitmaps become frames through colour reduction; saving writes GIF87a or GIF89a.
// Used from one thread at a time; no internal locking.

#include "gif/gif_bitmap.h"
#include "gif/gif_exception.h"
#include "gif/gif_header.h"
#include "gif/gif_image_settings.h"
#include "gif/gif_painter.h"
#include "gif/gif_stream.h"
#include "gif/gif_sub_image.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// More defaults copied into every new image (gif_image_settings.h holds those its frames read).
constexpr int GIFDefaultThreadPriority = 3;
constexpr int GIFDefaultAnimationSpeed = 100;
constexpr TColor GIFDefaultBackgroundColor = 0x1FFFFFFF; // no colour

class TGIFImage : public IGIFFrameOwner {
  public:
    TGIFImage();
    ~TGIFImage() override;
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
    int BitsPerPixel() const override;

    std::uint16_t DrawOptions() const { return m_Settings.drawOptions; }
    void SetDrawOptions(std::uint16_t options) { m_Settings.drawOptions = options; }
    int ColorReduction() const { return m_Settings.colorReduction; }
    void SetColorReduction(int mode) { m_Settings.colorReduction = mode; }
    int ReductionBits() const { return m_Settings.reductionBits; }
    void SetReductionBits(int bits) { m_Settings.reductionBits = bits; }
    int DitherMode() const { return m_Settings.ditherMode; }
    void SetDitherMode(int mode) { m_Settings.ditherMode = mode; }
    int Compression() const { return m_Settings.compression; }
    void SetCompression(int compression) { m_Settings.compression = compression; }
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

    void Warning(TGIFSeverity severity, const std::string& message) override;
    void Progress(TProgressStage stage, int percent, const std::string& message) override;
    void Changed();
    void FreeBitmap();

  private:
    // The image as its frames see it; SetScreenSize is only for a frame that grows the screen
    // (SetWidth and SetHeight check the frames first).
    TGIFImage* OwnerImage() override { return this; }
    const TGIFImageSettings& FrameSettings() const override { return m_Settings; }
    TGIFColorMap& GlobalColorMap() override { return m_Header.ColorMap(); }
    int ScreenWidth() const override { return m_Header.Width(); }
    int ScreenHeight() const override { return m_Header.Height(); }
    void SetScreenSize(std::uint16_t width, std::uint16_t height) override;

    TGIFImageList m_Images;
    TGIFHeader m_Header;
    std::optional<TPalette> m_Palette;
    TGIFImageSettings m_Settings;
    std::unique_ptr<TBitmap> m_Bitmap;
    int m_ThreadPriority = GIFDefaultThreadPriority;
    int m_AnimationSpeed = GIFDefaultAnimationSpeed;
    TColor m_BackgroundColor = GIFDefaultBackgroundColor;
    bool m_BuildingPalette = false;
    std::vector<IGIFPainter*> m_Painters;
    IGIFPainter* m_CurrentPainter = nullptr;
    bool m_Drawing = false;
};
