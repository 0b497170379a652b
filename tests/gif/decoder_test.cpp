// Reading damaged and unusual GIF data assembled by hand: each case names the error or the
// warnings the reader must give, and what it keeps.

#include "gif_bytes.h"

#include "gif/gif_app_extension.h"
#include "gif/gif_compositor.h"
#include "gif/gif_graphic_control.h"
#include "gif/gif_image.h"
#include "gif/gif_text_extensions.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {
struct TLoaded {
    std::unique_ptr<TGIFImage> Image = std::make_unique<TGIFImage>();
    std::string Error;
    std::vector<std::string> Warnings;
    std::int64_t PositionAfterError = -1;
};

TLoaded Load(const Bytes& bytes, std::size_t prefix = 0) {
    TLoaded r;
    r.Image->OnWarning = [&r](TGIFSeverity, const std::string& m) { r.Warnings.push_back(m); };
    Bytes all(prefix, 'x');
    all.insert(all.end(), bytes.begin(), bytes.end());
    TMemoryStream stream(all);
    stream.SetPosition(static_cast<std::int64_t>(prefix));
    try {
        r.Image->LoadFromStream(stream);
    } catch (const std::exception& e) {
        r.Error = e.what();
        r.PositionAfterError = stream.Position();
    }
    r.Image->OnWarning = nullptr;
    return r;
}

TCodePacker Codes(int codeSize = 2) {
    return TCodePacker(codeSize);
}

const Bytes Trailer{0x3B};
// A 2 x 2 frame showing 1, 2, 3, 0 on a screen of 2 x 2 with four global colours.
Bytes GoodFrame() {
    return Cat({Descriptor(0, 0, 2, 2), ImageData(2, Codes().Clear().Codes({1, 2, 3, 0}).End())});
}
Bytes GraphicControl(std::uint8_t packed, int delay, std::uint8_t index) {
    return {0x21,  0xF9, 4, packed, static_cast<std::uint8_t>(delay), static_cast<std::uint8_t>(delay >> 8),
            index, 0};
}

struct TCase {
    const char* name;
    Bytes bytes;
    std::string error;                 // empty: loads
    std::vector<std::string> warnings; // in order
    int frames;                        // frames kept
    std::optional<Bytes> pixels;       // of frame 0
};
} // namespace

TEST(GIFDecoder, DamagedAndUnusualData) {
    const Bytes head = Header(2, 2, 4);
    const TCase cases[] = {
        {"a well-formed frame", Cat({head, GoodFrame(), Trailer}), "", {}, 1, Bytes{1, 2, 3, 0}},
        // Taking such a code as written let later entries form prefix cycles that ran the
        // string walk past its stack.
        {"a code above the next free code",
         Cat({head, Descriptor(0, 0, 2, 2), ImageData(2, Codes().Clear().Code(1).Raw(7, 3)), Trailer}),
         "Invalid GIF data",
         {},
         0,
         std::nullopt},
        {"a code far above the next free code at code size 8",
         Cat({Header(2, 2, 256), Descriptor(0, 0, 2, 2), ImageData(8, Codes(8).Clear().Code(1).Raw(511, 9)),
              Trailer}),
         "Invalid GIF data",
         {},
         0,
         std::nullopt},
        {"a table code where a clear code's first pixel is due",
         Cat({head, Descriptor(0, 0, 2, 2), ImageData(2, Codes().Clear().Raw(6, 3)), Trailer}),
         "Invalid GIF data",
         {},
         0,
         std::nullopt},
        {"the end code right after a clear ends the raster",
         Cat({head, Descriptor(0, 0, 2, 2), ImageData(2, Codes().Clear().End()), Trailer}),
         "",
         {},
         1,
         Bytes{0, 0, 0, 0}},
        {"code size 0",
         Cat({head, Descriptor(0, 0, 2, 2), ImageData(0, Codes(1).Raw(2, 2)), Trailer}),
         "Invalid GIF data",
         {},
         0,
         std::nullopt},
        {"code size 9",
         Cat({head, Descriptor(0, 0, 2, 2), ImageData(9, Codes(8).Raw(512, 10)), Trailer}),
         "Invalid GIF data",
         {},
         0,
         std::nullopt},
        {"code size 11",
         Cat({head, Descriptor(0, 0, 2, 2), ImageData(11, Codes(8).Raw(2048, 12)), Trailer}),
         "Invalid GIF data",
         {},
         0,
         std::nullopt},
        {"code size 12",
         Cat({head, Descriptor(0, 0, 2, 2), ImageData(12, Codes(8).Raw(0, 12)), Trailer}),
         "Invalid GIF data",
         {},
         0,
         std::nullopt},
        // The codes past the frame's last pixel lie in later one-byte sub-blocks; they must be
        // skipped, not read as blocks.
        {"a string that overshoots the frame, the rest in later sub-blocks",
         Cat({Header(2, 1, 4), Descriptor(0, 0, 2, 1),
              ImageData(2, Codes().Clear().Codes({1, 2, 6, 7}).End(), 1), Descriptor(0, 0, 2, 1),
              ImageData(2, Codes().Clear().Codes({3, 3}).End()), Trailer}),
         "",
         {},
         2,
         Bytes{1, 2}},
        {"a graphic control block of 5 bytes",
         Cat({head, Bytes{0x21, 0xF9, 5, 0x01, 10, 0, 2, 0xEE, 0}, GoodFrame(), Trailer}),
         "",
         {},
         1,
         Bytes{1, 2, 3, 0}},
        {"a graphic control block of 3 bytes",
         Cat({head, Bytes{0x21, 0xF9, 3, 0x04, 10, 0, 0}, GoodFrame(), Trailer}),
         "",
         {"Premature end of data"},
         1,
         Bytes{1, 2, 3, 0}},
        {"a graphic control block followed by a data sub-block",
         Cat({head, Bytes{0x21, 0xF9, 4, 0, 10, 0, 0, 2, 0xAA, 0xBB, 0}, GoodFrame(), Trailer}),
         "",
         {},
         1,
         Bytes{1, 2, 3, 0}},
        {"a plain-text header of 13 bytes",
         Cat({head, Bytes{0x21, 0x01, 13, 0, 0, 0, 0, 2, 0, 2, 0, 1, 1, 1, 0, 9, 2, 'H', 'i', 0}, GoodFrame(),
              Trailer}),
         "",
         {},
         1,
         Bytes{1, 2, 3, 0}},
        {"a frame of 65535 x 65535 in a few bytes",
         Cat({Header(1, 1, 2), Descriptor(0, 0, 65535, 65535), Bytes{2, 0}, Trailer}),
         "Invalid image dimensions",
         {"Image exceeds Logical Screen size"},
         0,
         std::nullopt},
        {"a frame one pixel above the size cap",
         Cat({Header(8193, 8192, 2), Descriptor(0, 0, 8193, 8192), Bytes{2, 0}, Trailer}),
         "Invalid image dimensions",
         {},
         0,
         std::nullopt},
        {"a frame that reaches past the screen",
         Cat({head, Descriptor(1, 1, 2, 2), ImageData(2, Codes().Clear().Codes({1, 2, 3, 0}).End()),
              Trailer}),
         "",
         {"Image exceeds Logical Screen size"},
         1,
         Bytes{1, 2, 3, 0}},
        {"a frame of width 0 takes the screen's size",
         Cat({head, Descriptor(0, 0, 0, 5), ImageData(2, Codes().Clear().Codes({1, 2, 3, 0}).End()),
              Trailer}),
         "",
         {"Image exceeds Logical Screen size"},
         1,
         Bytes{1, 2, 3, 0}},
        {"a fault in a later frame keeps the frames before it",
         Cat({head, GoodFrame(), Descriptor(0, 0, 2, 2), ImageData(9, Codes(8).Raw(0, 10)), Trailer}),
         "Invalid GIF data",
         {},
         1,
         Bytes{1, 2, 3, 0}},
        {"the terminator before the last pixel",
         Cat({head, GraphicControl(0x01, 0, 3), Descriptor(0, 0, 2, 2), ImageData(2, Codes().Clear().Code(1)),
              Trailer}),
         "",
         {"Decoder bit buffer under-run"},
         1,
         Bytes{1, 3, 3, 3}},
        {"the stream ends inside a data sub-block",
         Cat({head, Descriptor(0, 0, 2, 2), Bytes{2, 5, 0x8C, 0x2D}}),
         "",
         {"Premature end of data"},
         1,
         std::nullopt},
        {"two clear codes in a row",
         Cat({head, Descriptor(0, 0, 2, 2), ImageData(2, Codes().Clear().Clear().Codes({1, 2, 3, 0}).End()),
              Trailer}),
         "",
         {},
         1,
         Bytes{1, 2, 3, 0}},
        {"a code equal to the next free code",
         Cat({Header(3, 1, 4), Descriptor(0, 0, 3, 1), ImageData(2, Codes().Clear().Codes({1, 6}).End()),
              Trailer}),
         "",
         {},
         1,
         Bytes{1, 1, 1}},
        {"zero bytes between blocks",
         Cat({head, Bytes{0, 0}, GoodFrame(), Bytes{0}, Trailer}),
         "",
         {},
         1,
         Bytes{1, 2, 3, 0}},
        {"no trailer", Cat({head, GoodFrame()}), "", {}, 1, Bytes{1, 2, 3, 0}},
        {"an unknown block after the frame",
         Cat({head, GoodFrame(), Text("X;")}),
         "",
         {"Unknown GIF block type", "Invalid Image trailer"},
         1,
         Bytes{1, 2, 3, 0}},
        {"an unknown extension label",
         Cat({head, Bytes{0x21, 0x99, 1, 0, 0}, GoodFrame(), Trailer}),
         "Unknown extension type",
         {},
         0,
         std::nullopt},
        {"a loop sub-block of kind 1 with one byte",
         Cat({head, Bytes{0x21, 0xFF, 11}, Text("NETSCAPE2.0"), Bytes{2, 1, 5, 0}, GoodFrame(), Trailer}),
         "Invalid GIF data",
         {},
         0,
         std::nullopt},
        {"an application block of 10 bytes",
         Cat({head, Bytes{0x21, 0xFF, 10}, Text("NETSCAPE2."), Bytes{3, 1, 5, 0, 0}, GoodFrame(), Trailer}),
         "",
         {},
         1,
         Bytes{1, 2, 3, 0}},
        {"an application block of 5 bytes",
         Cat({head, Bytes{0x21, 0xFF, 5}, Text("ABCDE"), Bytes{0}, GoodFrame(), Trailer}),
         "Unsupported Application Extension block size",
         {},
         0,
         std::nullopt},
        {"the signature after four other bytes",
         Cat({Text("abcd"), head, GoodFrame(), Trailer}),
         "",
         {},
         1,
         Bytes{1, 2, 3, 0}},
        {"no signature", Cat({Text("abcdefghij"), head}), "Invalid GIF signature", {}, 0, std::nullopt},
        {"a header cut short", Text("GIF89a\x02"), "Premature end of data", {}, 0, std::nullopt},
        {"a colour table cut short",
         Cat({Text("GIF89a"), Bytes{2, 0, 2, 0, 0x81, 0, 0, 1, 2, 3}}),
         "Premature end of data",
         {},
         0,
         std::nullopt},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TLoaded r = Load(c.bytes, 3);
        EXPECT_EQ(r.Error, c.error);
        EXPECT_EQ(r.Warnings, c.warnings);
        if (!c.error.empty()) {
            EXPECT_EQ(r.PositionAfterError, 3) << "the stream goes back to where loading began";
        }
        ASSERT_EQ(r.Image->Images().Count(), c.frames);
        if (c.pixels) {
            EXPECT_EQ(r.Image->Images()[0].Data(), *c.pixels);
        }
    }
}

TEST(GIFDecoder, FullTableWithoutAClearKeepsTwelveBitCodes) {
    // Single-pixel codes define one entry each until the table holds 4096; then codes go on at
    // 12 bits without a clear (the table is kept, nothing more is defined).
    const int width = 5000;
    TCodePacker codes(2);
    codes.Clear();
    Bytes expected;
    for (int i = 0; i < width; ++i) {
        const int p = (i * 7 + i / 3) % 4;
        codes.Code(p);
        expected.push_back(static_cast<std::uint8_t>(p));
    }
    codes.End();
    const TLoaded r =
        Load(Cat({Header(width, 1, 4), Descriptor(0, 0, width, 1), ImageData(2, codes), Trailer}));
    ASSERT_EQ(r.Error, "");
    EXPECT_TRUE(r.Warnings.empty());
    EXPECT_EQ(r.Image->Images()[0].Data(), expected);
}

TEST(GIFDecoder, OneAndTwoByteSubBlocksDecodeAlike) {
    TCodePacker codes(2);
    codes.Clear();
    Bytes expected;
    for (int i = 0; i < 600; ++i) {
        const int p = (i / 5 + i / 17) % 4;
        codes.Code(p);
        expected.push_back(static_cast<std::uint8_t>(p));
    }
    codes.End();
    for (int block : {1, 2, 3, 255}) {
        SCOPED_TRACE(block);
        const TLoaded r =
            Load(Cat({Header(30, 20, 4), Descriptor(0, 0, 30, 20), ImageData(2, codes, block), Trailer}));
        ASSERT_EQ(r.Error, "");
        EXPECT_TRUE(r.Warnings.empty());
        EXPECT_EQ(r.Image->Images()[0].Data(), expected);
    }
}

TEST(GIFDecoder, InterlacedRowsComeInFourPasses) {
    // Rows 0, 8 | 4 | 2, 6 | 1, 3, 5, 7 of a 1 x 9 frame, each row's pixel its row number mod 4.
    const int order[] = {0, 8, 4, 2, 6, 1, 3, 5, 7};
    TCodePacker codes(2);
    codes.Clear();
    for (int row : order)
        codes.Code(row % 4);
    codes.End();
    const TLoaded r =
        Load(Cat({Header(1, 9, 4), Descriptor(0, 0, 1, 9, 0x40), ImageData(2, codes), Trailer}));
    ASSERT_EQ(r.Error, "");
    EXPECT_EQ(r.Image->Images()[0].Data(), (Bytes{0, 1, 2, 3, 0, 1, 2, 3, 0}));
}

TEST(GIFDecoder, ExtensionsReadBack) {
    const Bytes bytes = Cat({Header(2, 2, 4), GraphicControl(0x0B, 300, 2), Bytes{0x21, 0xFE, 3}, Text("abc"),
                             Bytes{2}, Text("de"), Bytes{0}, GoodFrame(), Trailer});
    const TLoaded r = Load(bytes);
    ASSERT_EQ(r.Error, "");
    const TGIFSubImage& frame = r.Image->Images()[0];
    ASSERT_EQ(frame.Extensions().Count(), 2);
    const auto* control = frame.GraphicControlExtension();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->Disposal(), 2);
    EXPECT_TRUE(control->UserInput());
    EXPECT_TRUE(control->Transparent());
    EXPECT_EQ(control->Delay(), 300);
    EXPECT_EQ(frame.TransparentColorIndex(), 2);
    EXPECT_TRUE(frame.HasTransparency());
    const auto* comment = dynamic_cast<const TGIFCommentExtension*>(&frame.Extensions()[1]);
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->Text, (std::vector<std::string>{"abc", "de"}));
    EXPECT_EQ(r.Image->Version(), gv89a);
}

TEST(GIFDecoder, ColourIndexPastTheTableDrawsBlack) {
    // Two colours in the table, but the data names index 3.
    const TLoaded r = Load(Cat({Header(2, 1, 2, 1), Descriptor(0, 0, 2, 1),
                                ImageData(2, Codes().Clear().Codes({3, 1}).End()), Trailer}));
    ASSERT_EQ(r.Error, "");
    TGIFCompositor compositor(*r.Image);
    compositor.ComposeTo(0);
    const TGIFColor one = r.Image->Header().ColorMap().Entry(1);
    EXPECT_EQ(compositor.Canvas(),
              (std::vector<TRGBA>{OpaqueRGBA(0, 0, 0), OpaqueRGBA(one.Red, one.Green, one.Blue)}));
}

TEST(GIFDecoder, FrameOutsideTheScreenIsClipped) {
    const TLoaded r = Load(Cat({Header(2, 2, 4, 0), Descriptor(1, 1, 2, 2),
                                ImageData(2, Codes().Clear().Codes({1, 2, 3, 0}).End()), Trailer}));
    ASSERT_EQ(r.Error, "");
    TGIFComposeOptions options;
    options.Background = OpaqueRGBA(9, 9, 9);
    TGIFCompositor compositor(*r.Image, options);
    compositor.ComposeTo(0);
    const TGIFColor one = r.Image->Header().ColorMap().Entry(1);
    const TRGBA bg = OpaqueRGBA(9, 9, 9);
    EXPECT_EQ(compositor.Canvas(),
              (std::vector<TRGBA>{bg, bg, bg, OpaqueRGBA(one.Red, one.Green, one.Blue)}));
}

TEST(GIFDecoder, TransparentIndexOutsideTheTableWarns) {
    TGIFImage image;
    auto frame = std::make_unique<TGIFSubImage>(&image);
    frame->SetBounds(0, 0, 1, 1);
    frame->ColorMap().Add(RGBColor(1, 2, 3));
    frame->ColorMap().Add(RGBColor(4, 5, 6));
    auto control = std::make_unique<TGIFGraphicControlExtension>(*frame);
    std::vector<std::string> warnings;
    image.OnWarning = [&](TGIFSeverity, const std::string& m) { warnings.push_back(m); };
    control->SetTransparentColorIndex(1);
    EXPECT_EQ(control->TransparentColorIndex(), 1);
    control->SetTransparentColorIndex(2);
    EXPECT_EQ(control->TransparentColorIndex(), 0);
    EXPECT_EQ(warnings, std::vector<std::string>{"Invalid color index"});
    control->SetTransparent(true);
    EXPECT_TRUE(frame->HasTransparency());
    EXPECT_EQ(frame->GraphicControlExtension(), control.get());
    control.reset();
    EXPECT_FALSE(frame->HasTransparency()) << "a transparent control extension takes its flag with it";
    EXPECT_EQ(frame->GraphicControlExtension(), nullptr);
}
