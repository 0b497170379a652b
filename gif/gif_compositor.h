#pragma once
// Composes the frames of a GIF image on an RGBA canvas of the logical screen's size, one frame
// after another, with the frames' disposal methods (GIF89a: 2 restores the frame's area to the
// background, 3 to what was there before the frame; others leave it). Also the animation's delay
// rule. Plain C++; the image must outlive the compositor and stay unchanged while it is used.

#include "gif/gif_image.h"

#include <cstdint>
#include <optional>
#include <vector>

// 0xAARRGGBB, as QRgb holds it.
using TRGBA = std::uint32_t;
constexpr TRGBA OpaqueRGBA(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b;
}

struct TGIFComposeOptions {
    // Leave a frame's transparent colour index unpainted.
    bool Transparent = true;
    // What the screen shows where no frame painted and where disposal 2 clears; none: clear
    // (alpha 0), so that what lies under the image shows.
    std::optional<TRGBA> Background;
    // Treat every frame as if its disposal method were 2.
    bool DisposeAllToBackground = false;
    // Draw each frame from its bitmap (TGIFSubImage::GetBitmap, dithered when the image's draw
    // options say so, its mask the transparent pixels) rather than from its pixels and colours.
    bool FrameBitmaps = false;
};

// The screen's own background: the global colour table's entry at the background index, black
// when there is no global table.
TRGBA ScreenBackground(const TGIFImage& image);
// The background a painter fills with: the image's background colour when it has one, else
// windowColor when there is no global colour table, else the screen's own background.
TRGBA DrawingBackground(const TGIFImage& image, TRGBA windowColor);
// The screen as GIF89a describes it: transparent pixels unpainted, the screen's own background
// where no frame painted and where disposal 2 clears.
TGIFComposeOptions ScreenOptions(const TGIFImage& image);
// The same drawn from the frames' bitmaps, as the screen shows the image.
TGIFComposeOptions DrawingScreenOptions(const TGIFImage& image);
// The frame's disposal method from its graphic control extension; 0 without one.
int FrameDisposal(const TGIFSubImage& frame);

class TGIFCompositor {
  public:
    // A logical screen of more than GIFMaxFramePixels pixels raises "Invalid image dimensions".
    explicit TGIFCompositor(const TGIFImage& image, TGIFComposeOptions options = {});

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    // Width x height pixels, rows top down.
    const std::vector<TRGBA>& Canvas() const { return m_Canvas; }

    // The screen before any frame.
    void Reset();
    // Disposes of the frame drawn before, by its own method, and draws frame index over what is
    // left. Colour indices past the frame's colour table draw black; the frame is clipped to the
    // screen.
    void DrawFrame(int index);
    // Reset, then frames 0 .. index in order (index is clamped to the last frame).
    void ComposeTo(int index);
    int LastFrame() const { return m_Last; }

  private:
    struct TRect {
        int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0; // clipped to the screen; empty when X0 >= X1 or Y0 >= Y1
    };
    TRect ClippedRect(const TGIFSubImage& frame) const;
    void Fill(const TRect& r, TRGBA colour);
    void DrawBitmap(const TGIFSubImage& frame, const TRect& r);

    const TGIFImage& m_Image;
    TGIFComposeOptions m_Options;
    int m_Width = 0, m_Height = 0;
    std::vector<TRGBA> m_Canvas;
    int m_Last = -1;
    TRect m_LastRect;
    int m_LastDisposal = 0;
    std::vector<TRGBA> m_Saved; // the area under the last frame before it was drawn (disposal 3)
};

// The wait after a frame, in milliseconds: the frame's delay in hundredths of a second (10 when it
// has no graphic control extension or a delay of 0; at least 3; at most 1000 for a synchronous
// painter), in units of 12 ms, less half the drift (the time that elapsed since the previous frame
// minus the wait asked for then), scaled by 100 / speed. Speed 0 or below: 12,000 ms for a
// synchronous painter; an asynchronous one waits without limit (none returned) at speed 0 and not
// at all when the speed is negative. A result that overflows is 12,000 ms; 0 or below means no
// wait.
std::optional<int> FrameWaitMs(const TGIFSubImage& frame, int speedPercent, bool synchronous,
                               int driftMs = 0);
// The same from the delay field itself (hasControl false: the frame has no graphic control extension).
std::optional<int> FrameWaitMs(int delayHundredths, bool hasControl, int speedPercent, bool synchronous,
                               int driftMs = 0);
