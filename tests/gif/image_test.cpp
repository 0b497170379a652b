#include "giflib_reader.h"

#include "gif/gif_image.h"
#include "gif/reduce_colors.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace {
using Bytes = std::vector<std::uint8_t>;

Bytes Save(TGIFImage& image) {
    TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.Bytes();
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

struct TWarnings {
    std::vector<std::string> Messages;
    void Attach(TGIFImage& image) {
        image.OnWarning = [this](TGIFSeverity, const std::string& m) { Messages.push_back(m); };
    }
};

TBitmap OnePixelMono(int index) {
    TBitmap bitmap(1, 1, pf1bit);
    bitmap.SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
    bitmap.ScanLine(0)[0] = static_cast<std::uint8_t>(index << 7);
    return bitmap;
}

TBitmap Gradient24(int width, int height) {
    TBitmap bitmap(width, height, pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = bitmap.ScanLine(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(x * 25);
            p[1] = static_cast<std::uint8_t>(y * 25);
            p[2] = static_cast<std::uint8_t>(x * y * 2);
        }
    return bitmap;
}
} // namespace

TEST(GIFImage, GoldenOnePixelTwoColours) {
    // Built by hand from the block layout: header, screen 1 x 1 without a global table, image
    // descriptor with a 2-entry local table, code size 2, one sub-block (clear 4, pixel 1, end 5
    // in 3-bit codes), terminator, trailer.
    const Bytes golden{
        'G',  'I',  'F',  '8',  '7',  'a',                          // signature and version
        0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,                   // logical screen descriptor
        0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x80, // image descriptor
        0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,                         // local colour table
        0x02, 0x02, 0x4C, 0x01, 0x00,                               // image data
        0x3B,                                                       // trailer
    };
    ASSERT_EQ(golden.size(), 35u);
    TGIFImage image;
    image.Assign(OnePixelMono(1));
    EXPECT_EQ(Save(image), golden);

    const std::string path = testing::TempDir() + "golden-" + std::to_string(getpid()) + ".gif";
    image.SaveToFile(path);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), golden);
    std::filesystem::remove(path);
}

TEST(GIFImage, TrueColourBitmapWithTheDefaults) {
    TGIFImage image;
    const TBitmap source = Gradient24(10, 10);
    image.Assign(source);
    const Bytes bytes = Save(image);
    ASSERT_GT(bytes.size(), 13u + 10 + 768 + 4);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
    EXPECT_EQ(Bytes(bytes.begin() + 6, bytes.begin() + 13), (Bytes{10, 0, 10, 0, 0x77, 0, 0}));
    EXPECT_EQ(Bytes(bytes.begin() + 13, bytes.begin() + 23), (Bytes{0x2C, 0, 0, 0, 0, 10, 0, 10, 0, 0x87}));
    EXPECT_EQ(bytes[23 + 768], 8) << "code size of a 256-entry table";
    EXPECT_EQ(bytes.back(), 0x3B);

    const TDecodedGIF gif = DecodeWithGiflib(bytes);
    ASSERT_TRUE(gif.Ok) << gif.Error;
    ASSERT_EQ(gif.Frames.size(), 1u);
    EXPECT_EQ(gif.Frames[0].Pixels, image.Images()[0].Data());
    // Every pixel close to its source colour (100 distinct colours fit the 236 quantised ones).
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const std::uint8_t* cm =
                &gif.Frames[0].ColorMap[3 * gif.Frames[0].Pixels[static_cast<std::size_t>(y * 10 + x)]];
            const TColor c = source.PixelColor(x, y);
            EXPECT_LE(std::abs(cm[0] - RedOf(c)) + std::abs(cm[1] - GreenOf(c)) + std::abs(cm[2] - BlueOf(c)),
                      6);
        }
}

TEST(GIFImage, OneBitBitmapKeepsTwoColours) {
    TGIFImage image;
    image.Assign(OnePixelMono(0));
    EXPECT_EQ(image.Images()[0].ColorMap().Count(), 2);
    const Bytes bytes = Save(image);
    EXPECT_EQ(bytes[13 + 10 + 6], 2) << "code size";
}

TEST(GIFImage, ErrorTexts) {
    struct Row {
        const char* name;
        std::function<void()> action;
        const char* message;
    } rows[] = {
        {"save without frames",
         [] {
             TGIFImage image;
             Save(image);
         },
         "Unsupported GIF version"},
        {"null frame",
         [] {
             TGIFImage image;
             image.Add(std::unique_ptr<TGIFSubImage>());
         },
         "Object type not supported for operation"},
        {"257th colour",
         [] {
             TGIFImage image;
             for (int i = 0; i < 257; ++i)
                 image.Header().ColorMap().Add(static_cast<TColor>(i));
         },
         "Color table overflow"},
        {"delete outside the table",
         [] {
             TGIFImage image;
             image.Header().ColorMap().Add(1);
             image.Header().ColorMap().Delete(1);
         },
         "Invalid color index"},
        {"colour of an empty table",
         [] {
             TGIFImage image;
             image.Header().ColorMap().Colors(0);
         },
         "Color table is empty"},
        {"row above the frame",
         [] {
             TGIFSubImage f(nullptr);
             f.SetBounds(0, 0, 2, 2);
             f.ScanLine(-1);
         },
         "Invalid pixel coordinates"},
        {"row below the frame",
         [] {
             TGIFSubImage f(nullptr);
             f.SetBounds(0, 0, 2, 2);
             f.ScanLine(2);
         },
         "Invalid pixel coordinates"},
        {"column past the frame",
         [] {
             TGIFSubImage f(nullptr);
             f.SetBounds(0, 0, 2, 2);
             f.Pixels(2, 0);
         },
         "Invalid pixel coordinates"},
        {"true colour over 256 colours unreduced",
         [] {
             TGIFImage image;
             image.SetColorReduction(rmNone);
             image.Assign(Gradient24(17, 17));
         },
         "Color table overflow"},
        {"pixel outside its table",
         [] {
             TGIFImage image;
             auto f = std::make_unique<TGIFSubImage>(&image);
             f->SetBounds(0, 0, 2, 1);
             f->ColorMap().Add(0);
             f->ColorMap().Add(1);
             f->ColorMap().Add(2);
             f->ScanLine(0)[1] = 3;
             image.Add(std::move(f));
             Save(image);
         },
         "Color not in color table"},
        {"reduction that gives up (no palette for mode 9)",
         [] {
             TGIFImage image;
             image.SetColorReduction(rmPalette);
             image.Assign(Gradient24(3, 3));
         },
         "Image is empty"},
        {"screen narrower than a frame",
         [] {
             TGIFImage image;
             image.Assign(Gradient24(5, 4));
             image.SetWidth(4);
         },
         "Image width too small for contained frames"},
        {"screen lower than a frame",
         [] {
             TGIFImage image;
             image.Assign(Gradient24(5, 4));
             image.SetHeight(3);
         },
         "Image height too small for contained frames"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ErrorOf(r.action), r.message) << r.name;
}

TEST(GIFImage, BoundsAreCheckedInSixtyFourBits) {
    // A right or bottom edge past 65535 cannot be stored; it is refused, not cut to 16 bits.
    struct Row {
        std::int64_t left, top, width, height;
    } rows[] = {{65000, 0, 1000, 1},  {0, 65535, 1, 1},           {0, 0, 70000, 1}, {0, 0, 1, -1},
                {0, 0, 1LL << 32, 1}, {(1LL << 32) - 1, 0, 1, 1}, {-1, 0, 1, 1}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.left << "," << r.top << " " << r.width << "x" << r.height);
        TGIFImage image;
        auto frame = std::make_unique<TGIFSubImage>(&image);
        EXPECT_EQ(ErrorOf([&] { frame->SetBounds(r.left, r.top, r.width, r.height); }),
                  "Invalid image dimensions");
        EXPECT_EQ(image.Width(), 0);
        EXPECT_EQ(image.Height(), 0);
    }
    TGIFImage image;
    auto frame = std::make_unique<TGIFSubImage>(&image);
    frame->SetBounds(65534, 0, 1, 1);
    EXPECT_EQ(image.Width(), 65535);
    EXPECT_EQ(ErrorOf([&] { image.SetWidth(65536); }), "Invalid image dimensions");
}

TEST(GIFImage, FrameLargerThanTheScreenWidensIt) {
    TGIFImage image;
    TWarnings warnings;
    warnings.Attach(image);
    image.Assign(Gradient24(4, 3));
    EXPECT_TRUE(warnings.Messages.empty()) << "a screen of 0 simply takes the first frame's size";
    image.Add(Gradient24(6, 3));
    EXPECT_EQ(warnings.Messages, (std::vector<std::string>{"Image width too small for contained frames",
                                                           "Image exceeds Logical Screen size"}));
    EXPECT_EQ(image.Width(), 6);
    EXPECT_EQ(image.Height(), 3);
}

TEST(GIFImage, ColourMapGrowsToHoldEveryEntry) {
    // Appends across 16, 32, 64 ... keep every colour; the table never holds fewer slots than colours.
    TGIFImage image;
    TGIFColorMap& map = image.Header().ColorMap();
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(map.Add(RGBColor(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7)), i);
        ASSERT_GE(map.Capacity(), map.Count());
        ASSERT_LE(map.Capacity(), 256);
    }
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(map.Colors(i),
                  RGBColor(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7))
            << i;
    TMemoryStream stream;
    map.SaveToStream(stream);
    EXPECT_EQ(stream.Bytes().size(), 768u);
    map.Delete(0);
    EXPECT_EQ(map.Count(), 255);
    EXPECT_EQ(map.Colors(0), RGBColor(1, 254, 7));
}

TEST(GIFImage, ColourMapLookups) {
    TGIFImage image;
    TWarnings warnings;
    warnings.Attach(image);
    TGIFColorMap& map = image.Header().ColorMap();
    map.Add(RGBColor(1, 2, 3));
    map.Add(RGBColor(9, 9, 9));
    map.Add(RGBColor(1, 2, 3));
    EXPECT_EQ(map.IndexOf(RGBColor(1, 2, 3)), 2) << "unsorted tables are searched from the end";
    EXPECT_EQ(map.IndexOf(RGBColor(3, 2, 1)), -1);
    EXPECT_EQ(map.AddUnique(RGBColor(9, 9, 9)), 1);
    EXPECT_EQ(map.AddUnique(RGBColor(4, 4, 4)), 3);
    EXPECT_EQ(map.Colors(7), RGBColor(1, 2, 3)) << "an index out of range takes entry 0";
    EXPECT_EQ(warnings.Messages, std::vector<std::string>{"Invalid color index"});
    EXPECT_EQ(map.BitsPerPixel(), 2);
    TPalette palette = map.ExportPalette();
    ASSERT_EQ(palette.size(), 4u);
    EXPECT_EQ(palette[1], (TPaletteEntry{9, 9, 9, pcNoCollapse}));
}

TEST(GIFImage, OptimizeSortsByUseAndDropsUnusedColours) {
    TGIFImage image;
    auto frame = std::make_unique<TGIFSubImage>(&image);
    frame->SetBounds(0, 0, 6, 1);
    const TColor colours[] = {RGBColor(10, 0, 0), RGBColor(20, 0, 0), RGBColor(30, 0, 0), RGBColor(40, 0, 0)};
    for (TColor c : colours)
        frame->ColorMap().Add(c);
    const Bytes pixels{2, 2, 2, 0, 2, 0}; // colour 2 four times, 0 twice, 1 and 3 never
    std::copy(pixels.begin(), pixels.end(), frame->ScanLine(0));
    TGIFSubImage& f = *frame;
    image.Add(std::move(frame));
    EXPECT_TRUE(f.ColorMap().Optimize());
    EXPECT_EQ(f.ColorMap().Count(), 2);
    EXPECT_EQ(f.ColorMap().Colors(0), colours[2]);
    EXPECT_EQ(f.ColorMap().Colors(1), colours[0]);
    EXPECT_EQ(f.Data(), (Bytes{0, 0, 0, 1, 0, 1}));
    EXPECT_EQ(image.Version(), gv89a);

    const Bytes bytes = Save(image);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
    EXPECT_EQ(bytes[13 + 9], 0x80 | 0x20 | 0x00) << "local table, sorted, 2 entries";
    const TDecodedGIF gif = DecodeWithGiflib(bytes);
    ASSERT_TRUE(gif.Ok) << gif.Error;
    for (std::size_t i = 0; i < pixels.size(); ++i)
        EXPECT_EQ(gif.Frames[0].ColorMap[3 * gif.Frames[0].Pixels[i]], RedOf(colours[pixels[i]]));
}

TEST(GIFImage, FailedSaveLeavesTheOldFile) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(testing::TempDir()) / ("vqgif-save-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string path = (dir / "board.gif").string();
    {
        std::ofstream out(path, std::ios::binary);
        out << "the user's old diagram";
    }
    TGIFImage bad;
    auto frame = std::make_unique<TGIFSubImage>(&bad);
    frame->SetBounds(0, 0, 300, 300);
    frame->ColorMap().Add(0);
    frame->ColorMap().Add(1);
    frame->ScanLine(299)[299] = 5; // fails late, after most of the data is encoded
    bad.Add(std::move(frame));
    EXPECT_EQ(ErrorOf([&] { bad.SaveToFile(path); }), "Color not in color table");
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the user's old diagram");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
        << "no temporary file left";

    TGIFImage good;
    good.Assign(OnePixelMono(1));
    good.SaveToFile(path);
    EXPECT_EQ(fs::file_size(path), 35u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    EXPECT_NE(ErrorOf([&] { good.SaveToFile((dir / "missing" / "x.gif").string()); }), "");
    fs::remove_all(dir);
}

TEST(GIFImage, ProgressOfSaving) {
    TGIFImage image;
    image.Assign(Gradient24(4, 4));
    image.Add(Gradient24(4, 4));
    std::vector<std::string> events;
    image.OnProgress = [&](TProgressStage stage, int percent, const std::string& m) {
        events.push_back(std::to_string(stage) + " " + std::to_string(percent) + " " + m);
    };
    Save(image);
    EXPECT_EQ(events, (std::vector<std::string>{"0 0 Saving...", "1 50 Saving...", "1 100 Saving...",
                                                "2 100 Saving..."}));
    events.clear();
    image.Images()[1].MutableData()[0] = 255;
    image.Images()[1].ColorMap().Delete(255);
    EXPECT_EQ(ErrorOf([&] { Save(image); }), "Color not in color table");
    EXPECT_EQ(events.back(), "2 0 Saving...");
}

// A frame made from a bitmap reports its conversion through the image that holds it, every 32
// rows.
TEST(GIFImage, ProgressOfConvertingABitmap) {
    TGIFImage image;
    std::vector<std::string> events;
    image.OnProgress = [&](TProgressStage stage, int percent, const std::string& m) {
        events.push_back(std::to_string(stage) + " " + std::to_string(percent) + " " + m);
    };
    image.Add(Gradient24(3, 70));
    EXPECT_EQ(events,
              (std::vector<std::string>{"1 0 Converting...", "1 45 Converting...", "1 91 Converting..."}));
}

TEST(GIFImage, AssignCopiesAnImage) {
    TGIFImage source;
    source.SetDitherMode(dmNearest);
    source.SetCompression(1);
    source.Assign(Gradient24(8, 5));
    source.Add(OnePixelMono(1));
    int sourceEvents = 0, ownEvents = 0;
    source.OnProgress = [&](TProgressStage, int, const std::string& m) { sourceEvents += m == "Copying..."; };
    TGIFImage copy;
    copy.OnProgress = [&](TProgressStage, int, const std::string&) { ++ownEvents; };
    copy.Assign(source);
    EXPECT_EQ(sourceEvents, 4) << "start, one per frame, end";
    EXPECT_EQ(ownEvents, 0);
    EXPECT_EQ(copy.DitherMode(), dmNearest);
    EXPECT_EQ(copy.Compression(), 0) << "compression is not copied";
    copy.SetCompression(1);
    ASSERT_EQ(copy.Images().Count(), 2);
    EXPECT_EQ(Save(copy), Save(source));
    ownEvents = 0;
    copy.Progress(psRunning, 0, "");
    EXPECT_EQ(ownEvents, 1) << "our own event is back";
}

TEST(GIFImage, FourBitBitmapIsUnpackedHighNibbleFirst) {
    TBitmap bitmap(3, 2, pf4bit);
    TPalette palette(16);
    for (int i = 0; i < 16; ++i)
        palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i * 16), 0, 0, 0};
    bitmap.SetPalette(palette);
    bitmap.ScanLine(0)[0] = 0x1F;
    bitmap.ScanLine(0)[1] = 0x20;
    bitmap.ScanLine(1)[0] = 0xA5;
    bitmap.ScanLine(1)[1] = 0x70;
    TGIFImage image;
    image.Assign(bitmap);
    EXPECT_EQ(image.Images()[0].Data(), (Bytes{1, 15, 2, 10, 5, 7}));
    EXPECT_EQ(image.Images()[0].ColorMap().Count(), 16);
    const TDecodedGIF gif = DecodeWithGiflib(Save(image));
    ASSERT_TRUE(gif.Ok) << gif.Error;
    EXPECT_EQ(gif.Frames[0].Pixels, image.Images()[0].Data());
}

TEST(GIFImage, PaletteOfTheImage) {
    TGIFImage image;
    EXPECT_FALSE(image.GetPalette());
    image.Assign(OnePixelMono(1));
    ASSERT_TRUE(image.GetPalette());
    EXPECT_EQ(*image.GetPalette(), (TPalette{{0, 0, 0, pcNoCollapse}, {255, 255, 255, pcNoCollapse}}))
        << "the first frame's";
    image.Header().ColorMap().Add(RGBColor(1, 2, 3));
    EXPECT_EQ(*image.GetPalette(), (TPalette{{1, 2, 3, pcNoCollapse}}))
        << "the global table before any frame's";
    GIFPaletteDisplay = true; // a palette display: draw through the 216-colour cube
    const std::optional<TPalette> cube = image.GetPalette();
    GIFPaletteDisplay = false;
    ASSERT_TRUE(cube);
    ASSERT_EQ(cube->size(), 216u);
    EXPECT_EQ((*cube)[1], (TPaletteEntry{0, 0, 51, pcNoCollapse}));
    EXPECT_EQ((*cube)[36], (TPaletteEntry{51, 0, 0, pcNoCollapse}));
    EXPECT_EQ(*image.GetPalette(), *cube) << "kept once made";
}
