// The bitmap a frame is drawn from: its own colours, or dithered to the 216-colour cube when the
// draw options ask for it on the display at hand; the transparent colour as the bitmap's mask.

#include "gif_bytes.h"

#include "gif/gif_frame_bitmap.h"
#include "gif/gif_graphic_control.h"
#include "gif/gif_image.h"
#include "gif/reduce_colors.h"
#include "gif/system_palettes.h"

#include <gtest/gtest.h>

namespace {
// Restores the display flag a test sets.
struct TPaletteDisplay {
    explicit TPaletteDisplay(bool on) { GIFPaletteDisplay = on; }
    ~TPaletteDisplay() { GIFPaletteDisplay = false; }
};

// A frame of the given colours, one per pixel, with a local table holding them in order.
std::unique_ptr<TGIFImage> FrameOf(int width, int height, const std::vector<TColor>& colours,
                                   int transparentIndex = -1) {
    auto image = std::make_unique<TGIFImage>();
    auto frame = std::make_unique<TGIFSubImage>(image.get());
    frame->SetBounds(0, 0, width, height);
    for (std::size_t i = 0; i < colours.size(); ++i)
        frame->MutableData()[i] = static_cast<std::uint8_t>(frame->ColorMap().AddUnique(colours[i]));
    if (transparentIndex >= 0) {
        auto control = std::make_unique<TGIFGraphicControlExtension>(*frame);
        control->SetTransparent(true);
        control->SetTransparentColorIndex(transparentIndex);
        frame->Extensions().Add(std::move(control));
    }
    image->Add(std::move(frame));
    return image;
}

Bytes Indices(const TBitmap& bitmap) {
    Bytes indices;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            indices.push_back(static_cast<std::uint8_t>(bitmap.PixelIndex(x, y)));
    return indices;
}
} // namespace

TEST(GIFFrameBitmap, DitherAppliesByTheOptionsAndTheDisplay) {
    struct {
        std::uint16_t options;
        bool trueColour, paletteDisplay;
    } rows[] = {
        {GIFDefaultDrawOptions, false, true}, // bits 9 and 10: only on a palette display
        {goDither, true, true},
        {goAutoDither, false, false},
        {goAsync | goTransparent, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.options);
        EXPECT_EQ(DitherApplies(row.options), row.trueColour);
        const TPaletteDisplay display(true);
        EXPECT_EQ(DitherApplies(row.options), row.paletteDisplay);
    }
}

TEST(GIFFrameBitmap, OwnColoursKeepTheIndicesAndMaskTheTransparentColour) {
    TGIFImage image;
    TMemoryStream stream(ReadFixture("transparent.gif"));
    image.LoadFromStream(stream);
    const TGIFSubImage& frame = image.Images()[0];
    const int transparent = frame.TransparentColorIndex();
    ASSERT_GE(transparent, 0);
    const TBitmap& bitmap = frame.GetBitmap();
    EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
    EXPECT_EQ(bitmap.Palette(), frame.ActiveColorMap().ExportPalette());
    EXPECT_EQ(Indices(bitmap), frame.Data());
    ASSERT_TRUE(bitmap.HasMask());
    for (std::size_t i = 0; i < frame.Data().size(); ++i)
        EXPECT_EQ(bitmap.Mask()[i] != 0, frame.Data()[i] == transparent) << i;
    EXPECT_EQ(&frame.GetBitmap(), &bitmap) << "kept until the frame changes";

    // Without a transparent colour there is no mask; a new colour table gives a new bitmap.
    auto opaque = FrameOf(2, 1, {RGBColor(1, 2, 3), RGBColor(4, 5, 6)});
    TGIFSubImage& two = opaque->Images()[0];
    EXPECT_FALSE(two.GetBitmap().HasMask());
    two.ColorMap().Delete(1);
    two.ColorMap().Add(RGBColor(9, 9, 9));
    EXPECT_EQ(two.GetBitmap().PixelColor(1, 0), RGBColor(9, 9, 9));
}

TEST(GIFFrameBitmap, RenderingReportsEvery32Rows) {
    auto image = FrameOf(3, 70, std::vector<TColor>(210, RGBColor(7, 7, 7)));
    std::vector<std::pair<std::string, int>> events;
    image->OnProgress = [&](TProgressStage stage, int percent, const std::string& m) {
        EXPECT_EQ(stage, psRunning);
        events.emplace_back(m, percent);
    };
    for (const bool dither : {false, true}) {
        events.clear();
        BuildFrameBitmap(image->Images()[0], dither);
        EXPECT_EQ(events, (std::vector<std::pair<std::string, int>>{
                              {"Rendering...", 0}, {"Rendering...", 45}, {"Rendering...", 91}}));
    }
}

TEST(GIFFrameBitmap, DitheredToTheCube) {
    // A row of grey 40, black, grey 40. Grey 40 maps to cube entry 0 and leaves 40 of error, 7/16
    // of it for the next pixel: black + 18 is still entry 0 and passes 18 on, so the third pixel
    // is 40 + (7 x 18 + 8) / 16 = 48, entry 43 (51, 51, 51). A transparent middle pixel is left
    // out: it takes no error and passes none on, and the third pixel is entry 0 again.
    const std::vector<TColor> row = {RGBColor(40, 40, 40), RGBColor(0, 0, 0), RGBColor(40, 40, 40)};
    const TBitmap opaque = BuildFrameBitmap(FrameOf(3, 1, row)->Images()[0], true);
    EXPECT_EQ(opaque.Palette(), NetscapePalette(pcNoCollapse));
    EXPECT_EQ(Indices(opaque), (Bytes{0, 0, 43}));
    EXPECT_FALSE(opaque.HasMask());
    const TBitmap clear = BuildFrameBitmap(FrameOf(3, 1, row, 1)->Images()[0], true);
    EXPECT_EQ(clear.Mask(), (Bytes{0, 1, 0}));
    EXPECT_EQ(clear.PixelIndex(0, 0), 0);
    EXPECT_EQ(clear.PixelIndex(2, 0), 0);

    // A larger frame, rows in serpentine order: as the colour reduction to the cube with
    // Floyd-Steinberg gives it for the frame's colours.
    std::vector<TColor> colours;
    TBitmap picture(16, 15, pf24bit);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 16; ++x) {
            const TColor c = RGBColor(static_cast<std::uint8_t>(x * 16), static_cast<std::uint8_t>(y * 17),
                                      static_cast<std::uint8_t>((x * 7 + y * 3) % 200));
            colours.push_back(c);
            picture.ScanLine(y)[3 * x] = BlueOf(c);
            picture.ScanLine(y)[3 * x + 1] = GreenOf(c);
            picture.ScanLine(y)[3 * x + 2] = RedOf(c);
        }
    auto image = FrameOf(16, 15, colours);
    image->SetDrawOptions(goDither);
    const TBitmap expected = ReduceColors(picture, rmNetscape, dmFloydSteinberg, nullptr, 8);
    EXPECT_EQ(Indices(image->Images()[0].GetBitmap()), Indices(expected));

    // The default options dither only on a palette display.
    auto plain = FrameOf(16, 15, colours);
    EXPECT_EQ(plain->Images()[0].GetBitmap().Palette().size(),
              static_cast<std::size_t>(plain->Images()[0].ColorMap().Count()));
    auto onPalette = FrameOf(16, 15, colours);
    const TPaletteDisplay display(true);
    EXPECT_EQ(Indices(onPalette->Images()[0].GetBitmap()), Indices(expected));
}
