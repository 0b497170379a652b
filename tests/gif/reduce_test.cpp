#include "gif/color_lookup.h"
#include "gif/color_quantizer.h"
#include "gif/ditherer.h"
#include "gif/gif_exception.h"
#include "gif/gif_utils.h"
#include "gif/reduce_colors.h"
#include "gif/system_palettes.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <set>

namespace {
TBitmap Flat24(int width, int height, TColor c) {
    TBitmap bitmap(width, height, pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = bitmap.ScanLine(y) + 3 * x;
            p[0] = BlueOf(c);
            p[1] = GreenOf(c);
            p[2] = RedOf(c);
        }
    return bitmap;
}

void SetPixel24(TBitmap& bitmap, int x, int y, TColor c) {
    std::uint8_t* p = bitmap.ScanLine(y) + 3 * x;
    p[0] = BlueOf(c);
    p[1] = GreenOf(c);
    p[2] = RedOf(c);
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

int LookupIndex(TColorLookup& lookup, TColor c) {
    std::uint8_t r, g, b;
    return lookup.Lookup(RedOf(c), GreenOf(c), BlueOf(c), r, g, b);
}
} // namespace

TEST(ColorLookup, FixedLookups) {
    TMonochromeLookup mono;
    TGrayScaleLookup grey;
    TNetscapeColorLookup cube;
    struct Row {
        TColorLookup* lookup;
        TColor in;
        int index;
        TColor out;
    } rows[] = {
        {&mono, RGBColor(255, 255, 255), 1, RGBColor(255, 255, 255)},
        {&mono, RGBColor(127, 127, 127), 0, 0}, // weighted sum 32512
        {&mono, RGBColor(128, 127, 127), 1, RGBColor(255, 255, 255)},
        {&grey, RGBColor(255, 0, 0), 76, RGBColor(76, 76, 76)},
        {&grey, RGBColor(255, 255, 255), 255, RGBColor(255, 255, 255)},
        {&cube, RGBColor(48, 47, 255), 36 + 0 + 5, RGBColor(51, 0, 255)},
        {&cube, RGBColor(100, 152, 24), 36 * 2 + 6 * 3 + 0, RGBColor(102, 153, 0)},
    };
    for (const Row& r : rows) {
        std::uint8_t red, green, blue;
        EXPECT_EQ(r.lookup->Lookup(RedOf(r.in), GreenOf(r.in), BlueOf(r.in), red, green, blue), r.index)
            << std::hex << r.in;
        EXPECT_EQ(RGBColor(red, green, blue), r.out) << std::hex << r.in;
    }
}

TEST(ColorLookup, FastLookupNearestColour) {
    TFastColorLookup lookup({{10, 0, 0, 0}, {0, 10, 0, 0}, {200, 200, 200, 0}});
    EXPECT_EQ(LookupIndex(lookup, RGBColor(5, 5, 0)), 0) << "equal distance: the lower index";
    EXPECT_EQ(LookupIndex(lookup, RGBColor(0, 9, 1)), 1);
    EXPECT_EQ(LookupIndex(lookup, RGBColor(180, 255, 190)), 2);
    TFastColorLookup reversed({{0, 10, 0, 0}, {10, 0, 0, 0}});
    EXPECT_EQ(LookupIndex(reversed, RGBColor(5, 5, 0)), 0);
}

TEST(ColorLookup, PaletteColourMapsToItsOwnEntry) {
    // (0,0,0) and (4,4,4) share one 15-bit cache key; each must still find itself.
    TFastColorLookup lookup({{0, 0, 0, 0}, {4, 4, 4, 0}, {7, 0, 0, 0}, {255, 255, 255, 0}});
    EXPECT_EQ(LookupIndex(lookup, RGBColor(4, 4, 4)), 1);
    EXPECT_EQ(LookupIndex(lookup, RGBColor(0, 0, 0)), 0);
    EXPECT_EQ(LookupIndex(lookup, RGBColor(7, 0, 0)), 2);
    EXPECT_EQ(LookupIndex(lookup, RGBColor(4, 4, 4)), 1) << "also after the key was cached";

    // And so Floyd-Steinberg over that flat colour makes no error and one index everywhere.
    const TPalette palette{{0, 0, 0, 0}, {4, 4, 4, 0}};
    const TBitmap result =
        ReduceColors(Flat24(7, 5, RGBColor(4, 4, 4)), rmPalette, dmFloydSteinberg, &palette, 8);
    ASSERT_EQ(result.PixelFormat(), pf8bit);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(result.PixelIndex(x, y), 1) << x << "," << y;
}

namespace {
// Returns black for one chosen pixel and the asked colour for every other, recording what it
// was asked: the recorded values show where that one pixel's error went.
class TRecordingLookup : public TColorLookup {
  public:
    TRecordingLookup() : TColorLookup(256) {}
    int Lookup(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& r, std::uint8_t& g,
               std::uint8_t& b) override {
        Seen[{Row, Column}] = red;
        const bool black = Row == ErrRow && Column == ErrColumn;
        r = black ? 0 : red;
        g = black ? 0 : green;
        b = black ? 0 : blue;
        return r;
    }
    int Row = 0, Column = 0, ErrRow = 0, ErrColumn = 0;
    std::map<std::pair<int, int>, int> Seen;
};
} // namespace

TEST(Dither, KernelsSpreadTheErrorAheadInScanDirection) {
    struct Weight {
        int row, offset, weight;
    };
    struct Row {
        int mode, divisor;
        std::vector<Weight> kernel;
    } rows[] = {
        {1, 16, {{0, 1, 7}, {1, -1, 3}, {1, 0, 5}, {1, 1, 1}}},
        {2,
         42,
         {{0, 1, 8},
          {0, 2, 4},
          {1, -2, 2},
          {1, -1, 4},
          {1, 0, 8},
          {1, 1, 4},
          {1, 2, 2},
          {2, -2, 1},
          {2, -1, 2},
          {2, 0, 4},
          {2, 1, 2},
          {2, 2, 1}}},
        {3,
         32,
         {{0, 1, 5},
          {0, 2, 3},
          {1, -2, 2},
          {1, -1, 4},
          {1, 0, 5},
          {1, 1, 4},
          {1, 2, 2},
          {2, -1, 2},
          {2, 0, 3},
          {2, 1, 2}}},
        {4,
         48,
         {{0, 1, 7},
          {0, 2, 5},
          {1, -2, 3},
          {1, -1, 5},
          {1, 0, 7},
          {1, 1, 5},
          {1, 2, 3},
          {2, -2, 1},
          {2, -1, 3},
          {2, 0, 5},
          {2, 1, 3},
          {2, 2, 1}}},
        {5,
         200,
         {{0, 2, 32},
          {1, -3, 12},
          {1, -1, 26},
          {1, 1, 30},
          {1, 3, 16},
          {2, -2, 12},
          {2, 0, 26},
          {2, 2, 12},
          {3, -3, 5},
          {3, -1, 12},
          {3, 1, 12},
          {3, 3, 5}}},
        {6, 32, {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}}},
    };
    const int width = 11, height = 6, value = 200;
    for (int errRow : {0, 1}) { // row 0 runs left to right, row 1 right to left
        for (const Row& r : rows) {
            SCOPED_TRACE(testing::Message() << "mode " << r.mode << " row " << errRow);
            TRecordingLookup lookup;
            lookup.ErrRow = errRow;
            lookup.ErrColumn = 5;
            std::unique_ptr<TDitherEngine> d = CreateDitherer(r.mode, width, lookup);
            ASSERT_TRUE(d);
            std::vector<int> order;
            for (int y = 0; y < height; ++y) {
                lookup.Row = y;
                for (int x = d->Column(); x >= 0 && x < width; x = d->Column()) {
                    if (y == 1) order.push_back(x);
                    lookup.Column = x;
                    const int v = (y == errRow && x == 5) ? value : 0;
                    std::uint8_t o1, o2, o3;
                    d->Dither(static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v),
                              static_cast<std::uint8_t>(v), o1, o2, o3);
                }
                d->NextLine();
            }
            EXPECT_EQ(order.front(), width - 1);
            EXPECT_EQ(order.back(), 0);
            std::map<std::pair<int, int>, int> expected;
            const int dir = errRow == 0 ? 1 : -1;
            for (const Weight& w : r.kernel)
                expected[{errRow + w.row, 5 + w.offset * dir}] =
                    (value * w.weight + r.divisor / 2) / r.divisor;
            for (const auto& [pos, seen] : lookup.Seen) {
                if (pos == std::pair{errRow, 5}) continue;
                const auto it = expected.find(pos);
                EXPECT_EQ(seen, it == expected.end() ? 0 : it->second)
                    << "pixel " << pos.second << "," << pos.first;
            }
        }
    }
}

TEST(Dither, NearestColourPassesPixelsUnchanged) {
    TRecordingLookup lookup;
    lookup.ErrRow = -1;
    TDitherEngine d(3, lookup);
    std::uint8_t r, g, b;
    EXPECT_EQ(d.Dither(9, 8, 7, r, g, b), 9);
    EXPECT_EQ(d.Column(), 1);
    EXPECT_FALSE(CreateDitherer(7, 3, lookup));
}

TEST(ReduceColors, Modes) {
    TBitmap picture(16, 16, pf24bit);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            SetPixel24(picture, x, y,
                       RGBColor(static_cast<std::uint8_t>(x * 17), static_cast<std::uint8_t>(y * 17), 90));
    // Every mode gives 8-bit pixels whose palette colour lies near the source colour.
    struct Row {
        int mode, bits, paletteColours, tolerance;
    } rows[] = {{1, 8, 20, 500},  {2, 8, 256, 100}, {3, 8, 4, 500},  {4, 8, 2, 700},
                {5, 8, 256, 400}, {6, 8, 216, 140}, {7, 4, 16, 200}, {8, 8, 256, 40}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.mode);
        const TBitmap result = ReduceColors(picture, r.mode, dmNearest, nullptr, r.bits);
        ASSERT_EQ(result.PixelFormat(), pf8bit);
        ASSERT_EQ(result.Width(), 16);
        ASSERT_EQ(result.Palette().size(), 256u);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int index = result.PixelIndex(x, y);
                EXPECT_LT(index, r.paletteColours);
                const TColor got = result.PixelColor(x, y), want = picture.PixelColor(x, y);
                EXPECT_LE(std::abs(RedOf(got) - RedOf(want)) + std::abs(GreenOf(got) - GreenOf(want)) +
                              std::abs(BlueOf(got) - BlueOf(want)),
                          r.tolerance);
            }
    }
    const TBitmap copy = ReduceColors(picture, rmNone, dmFloydSteinberg, nullptr, 8);
    EXPECT_EQ(copy.PixelFormat(), pf24bit);
    EXPECT_EQ(copy.PixelColor(15, 15), picture.PixelColor(15, 15));
}

TEST(ReduceColors, ExactColoursSurviveTheirModes) {
    struct Row {
        int mode;
        TColor colour;
        int index;
    } rows[] = {{rmWindows20, RGBColor(0xA6, 0xCA, 0xF0), 9},
                {rmWindows20, RGBColor(255, 0, 0), 13},
                {rmWindows256, RGBColor(51, 102, 153), 10 + 36 + 12 + 3},
                {rmWindowsGray, RGBColor(192, 192, 192), 2},
                {rmMonochrome, RGBColor(255, 255, 255), 1},
                {rmGrayScale, RGBColor(77, 77, 77), 77}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.mode);
        const TBitmap result = ReduceColors(Flat24(3, 3, r.colour), r.mode, dmFloydSteinberg, nullptr, 8);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(result.PixelIndex(x, y), r.index);
    }
}

TEST(ReduceColors, QuantizingKeepsFewColoursExactlyBetweenTheSystemColours) {
    const TColor colours[] = {RGBColor(1, 2, 3), RGBColor(200, 10, 10), RGBColor(10, 200, 10),
                              RGBColor(90, 90, 250), RGBColor(255, 255, 254)};
    TBitmap picture(20, 10, pf24bit);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            SetPixel24(picture, x, y, colours[(x * 3 + y) % 5]);
    const TBitmap result = ReduceColors(picture, rmQuantizeWindows, dmFloydSteinberg, nullptr, 8);
    const TPalette& palette = result.Palette();
    const TPalette& system = StockDefaultPalette();
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(palette[static_cast<std::size_t>(i)], system[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(palette[static_cast<std::size_t>(246 + i)], system[static_cast<std::size_t>(10 + i)]) << i;
    }
    std::set<TColor> quantised;
    for (int i = 10; i < 15; ++i) {
        const TPaletteEntry& e = palette[static_cast<std::size_t>(i)];
        quantised.insert(RGBColor(e.Red, e.Green, e.Blue));
    }
    EXPECT_EQ(quantised, std::set<TColor>(std::begin(colours), std::end(colours)));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            EXPECT_EQ(result.PixelColor(x, y), picture.PixelColor(x, y));
            EXPECT_GE(result.PixelIndex(x, y), 10);
        }
}

TEST(ReduceColors, QuantizingToFewerColours) {
    TBitmap picture(30, 30, pf24bit);
    std::mt19937 rng(5);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            SetPixel24(picture, x, y, rng() & 0xFFFFFF);
    for (int bits : {1, 2, 4}) {
        const TBitmap result = ReduceColors(picture, rmQuantize, dmFloydSteinberg, nullptr, bits);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x)
                ASSERT_LT(result.PixelIndex(x, y), 1 << bits);
    }
}

TEST(ReduceColors, RefusedArgumentsGiveAnEmptyBitmap) {
    const TBitmap picture = Flat24(4, 4, RGBColor(1, 2, 3));
    EXPECT_TRUE(ReduceColors(picture, 10, 0, nullptr, 8).Empty());
    EXPECT_TRUE(ReduceColors(picture, 1, 7, nullptr, 8).Empty());
    EXPECT_TRUE(ReduceColors(picture, rmPalette, 0, nullptr, 8).Empty());
    const TPalette none;
    EXPECT_TRUE(ReduceColors(picture, rmPalette, 0, &none, 8).Empty());
    EXPECT_TRUE(ReduceColors(picture, rmQuantize, 0, nullptr, 9).Empty());
}

TEST(ReduceColors, BigPictureIsReducedWhole) {
    // Over 500,000 pixels the result first drops to 1 bit before the 8-bit pixels are written.
    const TBitmap result =
        ReduceColors(Flat24(600, 1000, RGBColor(255, 0, 0)), rmWindows20, dmFloydSteinberg, nullptr, 8);
    ASSERT_EQ(result.PixelFormat(), pf8bit);
    EXPECT_EQ(result.Height(), 1000);
    EXPECT_EQ(result.PixelIndex(599, 999), 13);
}

TEST(Quantizer, NeverHoldsMoreLeavesThanAsked) {
    TColorQuantizer q(16);
    std::mt19937 rng(9);
    for (int i = 0; i < 5000; ++i) {
        const std::uint32_t c = rng();
        q.AddColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
        ASSERT_LE(q.LeafCount(), 16);
    }
    EXPECT_EQ(static_cast<int>(q.ColorTable().size()), q.LeafCount());
}

TEST(Quantizer, MeanColourOfMillionsOfPixels) {
    // 17 million white pixels: channel sums beyond 32 bits must not wrap.
    TColorQuantizer q(4);
    for (int i = 0; i < 17'000'000; ++i)
        q.AddColor(255, 254, 1);
    const TPalette table = q.ColorTable();
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0], (TPaletteEntry{255, 254, 1, 0}));
}

TEST(Bitmap, DIBWriterErrors) {
    TBitmap target;
    EXPECT_EQ(ErrorOf([&] { TDIBWriter w(target, {}, 2, 2, pf32bit); }), "Unsupported PixelFormat");
    EXPECT_EQ(ErrorOf([&] { TDIBWriter w(target, {}, 2, 2, pf4bit); }), "Unsupported PixelFormat");
    EXPECT_EQ(ErrorOf([&] { TDIBWriter w(target, {}, 0, 2, pf8bit); }), "Invalid image dimensions");
    EXPECT_EQ(ErrorOf([&] { TDIBWriter w(target, {}, 2, 0, pf24bit); }), "Invalid image dimensions");
    TDIBWriter writer(target, {{1, 2, 3, 0}}, 3, 2, pf8bit);
    writer.ScanLine(1)[2] = 7;
    EXPECT_THROW(writer.ScanLine(2), EInvalidGraphicOperation);
    writer.Store();
    EXPECT_EQ(ErrorOf([&] { writer.ScanLine(0); }), "Image has no DIB");
    EXPECT_EQ(target.PixelIndex(2, 1), 7);
    EXPECT_EQ(target.Palette().size(), 256u);
    EXPECT_EQ(target.Palette()[0], (TPaletteEntry{1, 2, 3, 0}));
}

TEST(Utilities, ColourBitsAndRows) {
    const std::pair<int, int> bits[] = {{0, 0}, {1, 1},  {2, 1},  {3, 2},   {4, 2},
                                        {5, 3}, {16, 4}, {17, 5}, {129, 8}, {256, 8}};
    for (auto [n, b] : bits)
        EXPECT_EQ(ColorBits(n), b) << n;
    EXPECT_EQ(BytesPerScanline(1, 1), 4);
    EXPECT_EQ(BytesPerScanline(33, 1), 8);
    EXPECT_EQ(BytesPerScanline(5, 24), 16);
    EXPECT_EQ(BytesPerScanline(65535, 32), 262140);
}

TEST(Utilities, TextsAsSubBlocks) {
    const std::string long300(300, 'c');
    TMemoryStream stream;
    WriteStrings(stream, {long300, "", "ok"});
    const auto& b = stream.Bytes();
    ASSERT_EQ(b.size(), 1 + 255 + 1 + 45 + 1 + 2 + 1u);
    EXPECT_EQ(b[0], 255);
    EXPECT_EQ(b[256], 45);
    EXPECT_EQ(b[302], 2);
    EXPECT_EQ(b.back(), 0);
    stream.SetPosition(0);
    EXPECT_EQ(ReadStrings(stream),
              (std::vector<std::string>{std::string(255, 'c'), std::string(45, 'c'), "ok"}));

    TMemoryStream shortStream(std::vector<std::uint8_t>{1, 2});
    char buffer[3];
    EXPECT_EQ(ErrorOf([&] { ReadCheck(shortStream, buffer, 3); }), "Premature end of data");
    TMemoryStream cut(std::vector<std::uint8_t>{5, 'a'});
    EXPECT_EQ(ErrorOf([&] { ReadStrings(cut); }), "Premature end of data");
}

TEST(Utilities, SystemPalettes) {
    const TPalette& stock = StockDefaultPalette();
    ASSERT_EQ(stock.size(), 20u);
    EXPECT_EQ(stock[7], (TPaletteEntry{0xC0, 0xC0, 0xC0, 0}));
    EXPECT_EQ(stock[8], (TPaletteEntry{0xC0, 0xDC, 0xC0, 0}));
    EXPECT_EQ(stock[12], (TPaletteEntry{0x80, 0x80, 0x80, 0}));
    EXPECT_EQ(stock[19], (TPaletteEntry{0xFF, 0xFF, 0xFF, 0}));
    const TPalette& halftone = HalftonePalette();
    ASSERT_EQ(halftone.size(), 256u);
    EXPECT_TRUE(std::equal(stock.begin(), stock.begin() + 10, halftone.begin()));
    EXPECT_TRUE(std::equal(stock.begin() + 10, stock.end(), halftone.begin() + 246));
}
