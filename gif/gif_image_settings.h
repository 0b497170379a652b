#pragma once
// The settings of a GIF image that its frames read (draw options, colour reduction, dither mode,
// reduction bits, compression) with their defaults, and the image as its frames see it: those
// settings, the global colour table, the logical screen that grows to hold them, and where their
// warnings and progress go. A frame knows its image only through IGIFFrameOwner, so the frame's
// unit needs nothing of the image's.
// Used from one thread at a time; no internal locking.

#include "gif/gif_exception.h"

#include <cstdint>
#include <string>

class TGIFColorMap;
class TGIFImage;

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

// Set when the display has 8 or fewer bits per pixel; drawing then goes through palettes. The Qt
// adapter sets it from the screen's depth when the application starts (ReadScreenDepth); false
// until then and in programs without a screen.
extern bool GIFPaletteDisplay;
// Whether frames are drawn through the 216-colour cube: goDither, unless goAutoDither is also set
// and the display is not a palette display.
bool DitherApplies(std::uint16_t drawOptions);

// What a frame made from a bitmap, drawn or written takes from its image; a frame without an image
// takes these defaults.
struct TGIFImageSettings {
    std::uint16_t drawOptions = GIFDefaultDrawOptions;
    int colorReduction = GIFDefaultColorReduction;
    int reductionBits = GIFDefaultReductionBits;
    int ditherMode = GIFDefaultDitherMode;
    int compression = GIFDefaultCompression;
};

// The image as its frames see it. TGIFImage is one.
class IGIFFrameOwner {
  public:
    virtual ~IGIFFrameOwner() = default;
    // The image itself, which its frames keep as their owner (TGIFItem::Image).
    virtual TGIFImage* OwnerImage() = 0;
    virtual const TGIFImageSettings& FrameSettings() const = 0;
    // The global colour table, which a frame without colours of its own uses.
    virtual TGIFColorMap& GlobalColorMap() = 0;
    // The logical screen. A frame that does not fit widens or heightens it (SetScreenSize), with
    // the warnings the frame gives itself.
    virtual int ScreenWidth() const = 0;
    virtual int ScreenHeight() const = 0;
    virtual void SetScreenSize(std::uint16_t width, std::uint16_t height) = 0;
    // The largest bits per pixel of the global and every local colour table: the code size of a
    // frame without colours of its own.
    virtual int BitsPerPixel() const = 0;
    virtual void Warning(TGIFSeverity severity, const std::string& message) = 0;
    virtual void Progress(TProgressStage stage, int percent, const std::string& message) = 0;
};
