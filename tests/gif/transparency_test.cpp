// Pictures with a mask become frames whose masked pixels are transparent; the files are read back
// by giflib and by netpbm's giftopnm, whose alpha plane must be the mask.

#include "giflib_reader.h"
#include "netpbm_reader.h"

#include "gif/gif_graphic_control.h"
#include "gif/gif_image.h"
#include "gif/reduce_colors.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
using Bytes = std::vector<std::uint8_t>;

Bytes Save(TGIFImage& image) {
    TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.Bytes();
}

TBitmap Gradient24(int width, int height) {
    TBitmap bitmap(width, height, pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = bitmap.ScanLine(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(x * 12);
            p[1] = static_cast<std::uint8_t>(y * 20);
            p[2] = static_cast<std::uint8_t>(200 - x * y);
        }
    return bitmap;
}

// Four colours in stripes.
TBitmap Stripes8(int width, int height) {
    TBitmap bitmap(width, height, pf8bit);
    bitmap.SetPalette({{250, 0, 0, 0}, {0, 250, 0, 0}, {0, 0, 250, 0}, {250, 250, 250, 0}});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.ScanLine(y)[x] = static_cast<std::uint8_t>((x / 3 + y) % 4);
    return bitmap;
}

// Every one of 256 greys, twice.
TBitmap AllGreys24() {
    TBitmap bitmap(32, 16, pf24bit);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            std::fill_n(bitmap.ScanLine(y) + 3 * x, 3, static_cast<std::uint8_t>((y * 32 + x) % 256));
    return bitmap;
}

Bytes MaskOf(int width, int height, const std::function<bool(int, int)>& masked) {
    Bytes mask;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mask.push_back(masked(x, y) ? 1 : 0);
    return mask;
}

// The colour of every pixel as giflib reads the file, 0xRRGGBB.
std::vector<std::uint32_t> Colours(const TDecodedGIF& gif) {
    const TDecodedFrame& f = gif.Frames.at(0);
    const Bytes& map = f.ColorMap.empty() ? gif.GlobalColorMap : f.ColorMap;
    std::vector<std::uint32_t> colours;
    for (std::uint8_t p : f.Pixels)
        colours.push_back(std::uint32_t(map[3 * p]) << 16 | std::uint32_t(map[3 * p + 1]) << 8 |
                          map[3 * p + 2]);
    return colours;
}
} // namespace

TEST(GIFTransparency, MaskedPixelsBecomeTheTransparentColour) {
    test_support::TTempDir dir("gif_mask");
    const auto ring = [](int x, int y) { return (x - 9) * (x - 9) + (y - 6) * (y - 6) < 20; };
    const auto corner = [](int x, int y) { return x < 4 && y < 2; };
    struct {
        const char* name;
        TBitmap picture;
        std::function<bool(int, int)> masked;
        int reduction;
        bool transparent; // whether the file marks a transparent colour
    } rows[] = {
        {"24-bit, reduced", Gradient24(20, 12), ring, rmQuantizeWindows, true},
        {"8-bit, four colours", Stripes8(20, 12), corner, rmQuantizeWindows, true},
        {"a mask with nothing masked", Gradient24(20, 12), [](int, int) { return false; }, rmQuantizeWindows,
         false},
        {"256 colours in use: no room for one more", AllGreys24(), corner, rmGrayScale, false},
    };
    for (auto& row : rows) {
        SCOPED_TRACE(row.name);
        const int w = row.picture.Width(), h = row.picture.Height();
        const Bytes mask = MaskOf(w, h, row.masked);
        TGIFImage opaque, image;
        opaque.SetColorReduction(row.reduction);
        image.SetColorReduction(row.reduction);
        opaque.Assign(row.picture);
        TBitmap masked = row.picture;
        masked.SetMask(mask);
        image.Assign(masked);

        TGIFSubImage& frame = image.Images()[0];
        const Bytes file = Save(image);
        const TDecodedGIF gif = DecodeWithGiflib(file);
        ASSERT_TRUE(gif.Ok) << gif.Error;
        const TNetpbmAlpha alpha = AlphaByGiftopnm(file, dir.Path().string());
        ASSERT_TRUE(alpha.Ok) << alpha.Error;
        ASSERT_EQ(alpha.Width, w);
        ASSERT_EQ(alpha.Height, h);
        const TDecodedGIF plain = DecodeWithGiflib(Save(opaque));
        ASSERT_TRUE(plain.Ok) << plain.Error;
        const std::vector<std::uint32_t> colours = Colours(gif), plainColours = Colours(plain);
        const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
        ASSERT_EQ(colours.size(), count);
        if (!row.transparent) {
            EXPECT_EQ(frame.TransparentColorIndex(), -1);
            EXPECT_EQ(frame.Extensions().Count(), 0);
            EXPECT_EQ(alpha.Transparent, Bytes(count, 0));
            EXPECT_EQ(colours, plainColours);
            continue;
        }
        // One graphic control extension: "!", $F9, size 4, packed with the transparent flag, delay
        // 0, the index, terminator.
        const int index = frame.TransparentColorIndex();
        ASSERT_EQ(gif.Version, "89a");
        ASSERT_EQ(gif.Frames[0].Extensions.size(), 1u);
        EXPECT_EQ(gif.Frames[0].Extensions[0],
                  (Bytes{0x21, 0xF9, 4, 0x01, 0, 0, static_cast<std::uint8_t>(index), 0}));
        EXPECT_EQ(index, frame.ColorMap().Count() - 1) << "a colour of its own, after the others";
        EXPECT_EQ(frame.ColorMap().Entry(index), (TGIFColor{0, 0, 0}));
        EXPECT_EQ(alpha.Transparent, mask);
        for (std::size_t i = 0; i < count; ++i) {
            EXPECT_EQ(gif.Frames[0].Pixels[i] == index, mask[i] != 0) << i;
            // The other pixels show what they show without a mask.
            if (!mask[i]) {
                EXPECT_EQ(colours[i], plainColours[i]) << i;
            }
        }
    }
}

TEST(GIFTransparency, AMaskOfTheWrongSizeIsRefused) {
    TBitmap bitmap(3, 2, pf24bit);
    EXPECT_THROW(bitmap.SetMask(Bytes(5, 1)), EInvalidGraphicOperation);
    bitmap.SetMask(Bytes(6, 1));
    EXPECT_TRUE(bitmap.Masked(2, 1));
    bitmap.SetPixelFormat(pf8bit);
    EXPECT_TRUE(bitmap.HasMask()) << "a new pixel format keeps the mask";
    bitmap.SetSize(4, 4);
    EXPECT_FALSE(bitmap.HasMask()) << "a new size drops it";
}
