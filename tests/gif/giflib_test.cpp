// What we write, read back by giflib: every pixel index and every colour table must match.

#include "giflib_reader.h"

#include "gif/gif_image.h"

#include <gtest/gtest.h>

#include <random>

namespace {
using Bytes = std::vector<std::uint8_t>;

enum TPattern { Noise, Runs, Stripes };

Bytes MakePixels(TPattern pattern, int colors, int width, int height, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes pixels(static_cast<std::size_t>(width) * height);
    std::uint8_t value = 0;
    int left = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        switch (pattern) {
        case Noise:
            pixels[i] = static_cast<std::uint8_t>(rng() % static_cast<unsigned>(colors));
            break;
        case Runs:
            // Runs from 1 to several rows long, so run and table codes of every length appear.
            if (left == 0) {
                value = static_cast<std::uint8_t>(rng() % static_cast<unsigned>(colors));
                left = 1 + static_cast<int>(rng() % (rng() % 4 == 0 ? 3000u : 40u));
            }
            pixels[i] = value;
            --left;
            break;
        case Stripes:
            pixels[i] = static_cast<std::uint8_t>((i / static_cast<std::size_t>(width)) %
                                                  static_cast<std::size_t>(colors));
            break;
        }
    }
    return pixels;
}

void FillColorMap(TGIFColorMap& map, int colors) {
    for (int i = 0; i < colors; ++i)
        map.Add(RGBColor(static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(255 - i),
                         static_cast<std::uint8_t>(i * 11 + 3)));
}

Bytes PaddedTriplets(TGIFColorMap& map) {
    TMemoryStream stream;
    map.SaveToStream(stream);
    return stream.Bytes();
}

std::unique_ptr<TGIFSubImage> MakeFrame(TGIFImage& image, int left, int top, int width, int height,
                                        const Bytes& pixels) {
    auto frame = std::make_unique<TGIFSubImage>(&image);
    frame->SetBounds(left, top, width, height);
    for (int y = 0; y < height; ++y)
        std::copy(pixels.begin() + y * width, pixels.begin() + (y + 1) * width, frame->ScanLine(y));
    return frame;
}

Bytes Save(TGIFImage& image) {
    TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.Bytes();
}
} // namespace

TEST(Giflib, ReadsEveryFrameWeWrite) {
    const int colourCounts[] = {2, 3, 4, 5, 16, 17, 100, 255, 256};
    const struct { int width, height; } sizes[] = {{61, 47}, {1, 9}, {300, 3}, {257, 160}};
    unsigned seed = 1;
    for (int colors : colourCounts) {
        for (TPattern pattern : {Noise, Runs, Stripes}) {
            for (int compression : {0, 1}) {
                for (bool global : {false, true}) {
                    const auto size = sizes[seed % 4];
                    ++seed;
                    SCOPED_TRACE(testing::Message() << colors << " colours, pattern " << pattern << ", "
                                                    << (compression ? "RLE" : "LZW") << ", "
                                                    << (global ? "global table, interlaced" : "local table")
                                                    << ", " << size.width << "x" << size.height);
                    TGIFImage image;
                    image.SetCompression(compression);
                    const Bytes pixels = MakePixels(pattern, colors, size.width, size.height, seed);
                    auto frame = MakeFrame(image, 0, 0, size.width, size.height, pixels);
                    if (global) {
                        FillColorMap(image.Header().ColorMap(), colors);
                        frame->SetInterlaced(true);
                    } else {
                        FillColorMap(frame->ColorMap(), colors);
                    }
                    image.Add(std::move(frame));
                    const TDecodedGIF gif = DecodeWithGiflib(Save(image));
                    ASSERT_TRUE(gif.Ok) << gif.Error;
                    EXPECT_EQ(gif.Version, "87a");
                    EXPECT_EQ(gif.Width, size.width);
                    EXPECT_EQ(gif.Height, size.height);
                    ASSERT_EQ(gif.Frames.size(), 1u);
                    const TDecodedFrame& f = gif.Frames[0];
                    EXPECT_EQ(f.Interlaced, global);
                    if (global) {
                        EXPECT_EQ(gif.GlobalColorMap, PaddedTriplets(image.Header().ColorMap()));
                        EXPECT_TRUE(f.ColorMap.empty());
                    } else {
                        EXPECT_TRUE(gif.GlobalColorMap.empty());
                        EXPECT_EQ(f.ColorMap, PaddedTriplets(image.Images()[0].ColorMap()));
                    }
                    EXPECT_EQ(f.Pixels, pixels);
                }
            }
        }
    }
}

TEST(Giflib, FramesAtOffsetsGrowTheScreen) {
    TGIFImage image;
    FillColorMap(image.Header().ColorMap(), 8);
    const Bytes a = MakePixels(Noise, 8, 20, 10, 7), b = MakePixels(Runs, 5, 7, 30, 8);
    image.Add(MakeFrame(image, 0, 0, 20, 10, a));
    auto second = MakeFrame(image, 15, 4, 7, 30, b);
    FillColorMap(second->ColorMap(), 5);
    image.Add(std::move(second));
    const TDecodedGIF gif = DecodeWithGiflib(Save(image));
    ASSERT_TRUE(gif.Ok) << gif.Error;
    EXPECT_EQ(gif.Width, 22);
    EXPECT_EQ(gif.Height, 34);
    ASSERT_EQ(gif.Frames.size(), 2u);
    EXPECT_EQ(gif.Frames[0].Pixels, a);
    EXPECT_EQ(gif.Frames[1].Left, 15);
    EXPECT_EQ(gif.Frames[1].Top, 4);
    EXPECT_EQ(gif.Frames[1].Pixels, b);
    EXPECT_EQ(gif.Frames[1].ColorMap.size(), 8u * 3);
}

TEST(Giflib, LocalTableFrameIsWrittenInRowOrderWhateverItsFlag) {
    // The interlace flag is cleared on writing a frame with its own table; the data must then be
    // in row order too, or every decoder scrambles the rows.
    for (int compression : {0, 1}) {
        SCOPED_TRACE(compression);
        TGIFImage image;
        image.SetCompression(compression);
        const Bytes pixels = MakePixels(Stripes, 16, 9, 21, 3);
        auto frame = MakeFrame(image, 0, 0, 9, 21, pixels);
        FillColorMap(frame->ColorMap(), 16);
        frame->SetInterlaced(true);
        image.Add(std::move(frame));
        const TDecodedGIF gif = DecodeWithGiflib(Save(image));
        ASSERT_TRUE(gif.Ok) << gif.Error;
        EXPECT_FALSE(gif.Frames[0].Interlaced);
        EXPECT_EQ(gif.Frames[0].Pixels, pixels);
    }
}
