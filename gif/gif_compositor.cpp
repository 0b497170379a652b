#include "gif/gif_compositor.h"

#include "gif/gif_graphic_control.h"
#include "gif/gif_utils.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {
TRGBA RGBAOf(const TGIFColor& c) {
    return OpaqueRGBA(c.Red, c.Green, c.Blue);
}
} // namespace

TRGBA ScreenBackground(const TGIFImage& image) {
    const TGIFColorMap& global = image.Header().ColorMap();
    if (global.Count() == 0) return OpaqueRGBA(0, 0, 0);
    return RGBAOf(global.Entry(image.Header().BackgroundColorIndex()));
}

TRGBA DrawingBackground(const TGIFImage& image, TRGBA windowColor) {
    const TColor own = image.BackgroundColor();
    if (own != GIFDefaultBackgroundColor) return OpaqueRGBA(RedOf(own), GreenOf(own), BlueOf(own));
    if (image.Header().ColorMap().Count() == 0) return windowColor;
    return ScreenBackground(image);
}

TGIFComposeOptions ScreenOptions(const TGIFImage& image) {
    TGIFComposeOptions options;
    options.Background = ScreenBackground(image);
    return options;
}

TGIFComposeOptions DrawingScreenOptions(const TGIFImage& image) {
    TGIFComposeOptions options = ScreenOptions(image);
    options.FrameBitmaps = true;
    return options;
}

int FrameDisposal(const TGIFSubImage& frame) {
    const TGIFGraphicControlExtension* control = frame.GraphicControlExtension();
    return control ? control->Disposal() : 0;
}

TGIFCompositor::TGIFCompositor(const TGIFImage& image, TGIFComposeOptions options)
    : m_Image(image), m_Options(options), m_Width(image.Width()), m_Height(image.Height()) {
    // The screen's size comes from the file and costs four bytes a pixel here.
    if (static_cast<std::int64_t>(m_Width) * m_Height > GIFMaxFramePixels) Error("Invalid image dimensions");
    Reset();
}

void TGIFCompositor::Reset() {
    m_Canvas.assign(static_cast<std::size_t>(m_Width) * static_cast<std::size_t>(m_Height),
                    m_Options.Background.value_or(0));
    m_Last = -1;
    m_LastDisposal = 0;
    m_LastRect = {};
}

TGIFCompositor::TRect TGIFCompositor::ClippedRect(const TGIFSubImage& frame) const {
    TRect r;
    r.X0 = std::min(frame.Left(), m_Width);
    r.Y0 = std::min(frame.Top(), m_Height);
    r.X1 = std::min(frame.Left() + frame.Width(), m_Width);
    r.Y1 = std::min(frame.Top() + frame.Height(), m_Height);
    return r;
}

void TGIFCompositor::Fill(const TRect& r, TRGBA colour) {
    for (int y = r.Y0; y < r.Y1; ++y) {
        TRGBA* row = m_Canvas.data() + static_cast<std::size_t>(y) * m_Width;
        std::fill(row + r.X0, row + r.X1, colour);
    }
}

void TGIFCompositor::DrawFrame(int index) {
    const TGIFImageList& frames = m_Image.Images();
    if (index < 0 || index >= frames.Count()) return;

    // What the frame drawn before leaves behind.
    if (m_Last >= 0) {
        if (m_LastDisposal == dsBackground) {
            Fill(m_LastRect, m_Options.Background.value_or(0));
        } else if (m_LastDisposal == dsPrevious) {
            const int w = m_LastRect.X1 - m_LastRect.X0;
            const TRGBA* saved = m_Saved.data();
            for (int y = m_LastRect.Y0; y < m_LastRect.Y1; ++y, saved += w)
                std::copy(saved, saved + w,
                          m_Canvas.data() + static_cast<std::size_t>(y) * m_Width + m_LastRect.X0);
        }
    }

    const TGIFSubImage& frame = frames[index];
    const TRect r = ClippedRect(frame);
    m_Last = index;
    m_LastRect = r;
    m_LastDisposal = m_Options.DisposeAllToBackground ? dsBackground : FrameDisposal(frame);
    if (r.X0 >= r.X1 || r.Y0 >= r.Y1 || frame.Empty()) {
        m_LastRect = {};
        return;
    }
    if (m_LastDisposal == dsPrevious) {
        m_Saved.clear();
        for (int y = r.Y0; y < r.Y1; ++y) {
            const TRGBA* row = m_Canvas.data() + static_cast<std::size_t>(y) * m_Width;
            m_Saved.insert(m_Saved.end(), row + r.X0, row + r.X1);
        }
    }

    if (m_Options.FrameBitmaps) {
        DrawBitmap(frame, r);
        return;
    }
    // One colour per index; indices past the table draw black.
    const TGIFColorMap& map = frame.ActiveColorMap();
    std::array<TRGBA, 256> lut;
    for (int i = 0; i < 256; ++i)
        lut[static_cast<std::size_t>(i)] = RGBAOf(map.Entry(i));
    const int transparent = m_Options.Transparent ? frame.TransparentColorIndex() : -1;

    const std::uint8_t* pixels = frame.Data().data();
    for (int y = r.Y0; y < r.Y1; ++y) {
        const std::uint8_t* src =
            pixels + static_cast<std::size_t>(y - frame.Top()) * frame.Width() + (r.X0 - frame.Left());
        TRGBA* dst = m_Canvas.data() + static_cast<std::size_t>(y) * m_Width + r.X0;
        const int n = r.X1 - r.X0;
        if (transparent < 0) {
            for (int x = 0; x < n; ++x)
                dst[x] = lut[src[x]];
        } else {
            for (int x = 0; x < n; ++x)
                if (src[x] != transparent) dst[x] = lut[src[x]];
        }
    }
}

void TGIFCompositor::DrawBitmap(const TGIFSubImage& frame, const TRect& r) {
    const TBitmap& bitmap = frame.GetBitmap();
    const bool indexed = bitmap.PixelFormat() == pf8bit;
    std::array<TRGBA, 256> lut;
    lut.fill(OpaqueRGBA(0, 0, 0));
    const TPalette& palette = bitmap.Palette();
    for (std::size_t i = 0; i < palette.size() && i < lut.size(); ++i)
        lut[i] = OpaqueRGBA(palette[i].Red, palette[i].Green, palette[i].Blue);
    const bool masked = m_Options.Transparent && bitmap.HasMask();
    for (int y = r.Y0; y < r.Y1; ++y) {
        const int fy = y - frame.Top();
        const std::uint8_t* src = bitmap.ScanLine(fy);
        TRGBA* dst = m_Canvas.data() + static_cast<std::size_t>(y) * m_Width;
        for (int x = r.X0; x < r.X1; ++x) {
            const int fx = x - frame.Left();
            if (masked && bitmap.Masked(fx, fy)) continue;
            if (indexed) {
                dst[x] = lut[src[fx]];
            } else {
                const TColor c = bitmap.PixelColor(fx, fy);
                dst[x] = OpaqueRGBA(RedOf(c), GreenOf(c), BlueOf(c));
            }
        }
    }
}

void TGIFCompositor::ComposeTo(int index) {
    Reset();
    index = std::min(index, m_Image.Images().Count() - 1);
    for (int i = 0; i <= index; ++i)
        DrawFrame(i);
}

std::optional<int> FrameWaitMs(int delayHundredths, bool hasControl, int speedPercent, bool synchronous,
                               int driftMs) {
    int delay = hasControl && delayHundredths > 0 ? delayHundredths : 10;
    delay = std::max(delay, 3);
    if (synchronous) delay = std::min(delay, 1000);
    if (speedPercent <= 0) {
        if (synchronous) return 12000;
        if (speedPercent == 0) return std::nullopt;
        return 0;
    }
    const std::int64_t wait = (static_cast<std::int64_t>(delay) * 12 - driftMs / 2) * 100 / speedPercent;
    if (wait > std::numeric_limits<std::int32_t>::max() || wait < std::numeric_limits<std::int32_t>::min())
        return 12000;
    return static_cast<int>(std::max<std::int64_t>(wait, 0));
}

std::optional<int> FrameWaitMs(const TGIFSubImage& frame, int speedPercent, bool synchronous, int driftMs) {
    const TGIFGraphicControlExtension* control = frame.GraphicControlExtension();
    return FrameWaitMs(control ? control->Delay() : 0, control != nullptr, speedPercent, synchronous,
                       driftMs);
}
