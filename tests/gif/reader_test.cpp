// Files made by other encoders (netpbm, giflib's gifbuild, gifsicle), read by us and by giflib;
// load -> save -> load; our own files in sub-blocks of any size; the compositor and the delay rule.

#include "gif_bytes.h"
#include "giflib_reader.h"

#include "gif/gif_app_extension.h"
#include "gif/gif_compositor.h"
#include "gif/gif_extension_registry.h"
#include "gif/gif_graphic_control.h"
#include "gif/gif_image.h"
#include "gif/gif_text_extensions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {
const char* const Fixtures[] = {"interlace.gif",  "nolzw.gif", "transparent.gif",
                                "comment.gif",    "sort.gif",  "aspect.gif",
                                "extensions.gif", "anim.gif",  "noise.gif"};

struct TRead {
    std::unique_ptr<TGIFImage> Image = std::make_unique<TGIFImage>();
    std::vector<std::string> Warnings;
};

TRead Read(const Bytes& bytes) {
    TRead r;
    r.Image->OnWarning = [&r](TGIFSeverity, const std::string& m) { r.Warnings.push_back(m); };
    TMemoryStream stream(bytes);
    r.Image->LoadFromStream(stream);
    r.Image->OnWarning = nullptr;
    return r;
}

Bytes Save(TGIFImage& image) {
    TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.Bytes();
}

Bytes Triplets(const TGIFColorMap& map) {
    Bytes b;
    for (int i = 0; i < map.Count(); ++i) {
        const TGIFColor c = map.Entry(i);
        b.insert(b.end(), {c.Red, c.Green, c.Blue});
    }
    return b;
}

std::vector<Bytes> ExtensionBytes(TGIFSubImage& frame) {
    std::vector<Bytes> all;
    for (int i = 0; i < frame.Extensions().Count(); ++i) {
        TMemoryStream s;
        frame.Extensions()[i].SaveToStream(s);
        all.push_back(s.Bytes());
    }
    return all;
}

// Our reading of the file against giflib's: screen, tables, frames, pixels and extension blocks.
// A frame with its own table is written in row order; checkInterlace false allows that.
void ExpectSameAsGiflib(const Bytes& bytes, TGIFImage& ours, bool checkInterlace = true) {
    const TDecodedGIF theirs = DecodeWithGiflib(bytes);
    ASSERT_TRUE(theirs.Ok) << theirs.Error;
    EXPECT_EQ(ours.Width(), theirs.Width);
    EXPECT_EQ(ours.Height(), theirs.Height);
    EXPECT_EQ(Triplets(ours.Header().ColorMap()), theirs.GlobalColorMap);
    // Extensions after the last picture make a frame of their own here.
    int pictures = ours.Images().Count();
    if (pictures > 0 && ours.Images()[pictures - 1].Empty()) {
        --pictures;
        EXPECT_EQ(ExtensionBytes(ours.Images()[pictures]), theirs.TrailingExtensions);
    } else {
        EXPECT_TRUE(theirs.TrailingExtensions.empty());
    }
    ASSERT_EQ(pictures, static_cast<int>(theirs.Frames.size()));
    for (int i = 0; i < pictures; ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        TGIFSubImage& f = ours.Images()[i];
        const TDecodedFrame& t = theirs.Frames[static_cast<std::size_t>(i)];
        EXPECT_EQ(f.Left(), t.Left);
        EXPECT_EQ(f.Top(), t.Top);
        EXPECT_EQ(f.Width(), t.Width);
        EXPECT_EQ(f.Height(), t.Height);
        if (checkInterlace || f.ColorMap().Count() == 0) {
            EXPECT_EQ(f.Interlaced(), t.Interlaced);
        }
        EXPECT_EQ(Triplets(f.ColorMap()), t.ColorMap);
        EXPECT_EQ(f.Data(), t.Pixels);
        EXPECT_EQ(ExtensionBytes(f), t.Extensions);
    }
}
} // namespace

TEST(GIFReader, FixturesReadAsGiflibReadsThem) {
    for (const char* name : Fixtures) {
        SCOPED_TRACE(name);
        const Bytes bytes = ReadFixture(name);
        TRead r = Read(bytes);
        EXPECT_TRUE(r.Warnings.empty()) << r.Warnings.front();
        ExpectSameAsGiflib(bytes, *r.Image);
    }
}

TEST(GIFReader, FixtureDetails) {
    {
        TRead r = Read(ReadFixture("comment.gif"));
        const auto& comment = dynamic_cast<TGIFCommentExtension&>(r.Image->Images()[0].Extensions()[0]);
        // 300 characters stand in sub-blocks of 255 and 45 and come back as two strings.
        ASSERT_EQ(comment.Text.size(), 2u);
        EXPECT_EQ(comment.Text[0].size() + comment.Text[1].size(), 300u);
        EXPECT_EQ(comment.Text[0].substr(0, 12), "012345678901");
    }
    {
        TRead r = Read(ReadFixture("extensions.gif"));
        TGIFImageList& frames = r.Image->Images();
        ASSERT_EQ(frames.Count(), 3);
        const auto& loop = dynamic_cast<TGIFAppExtNSLoop&>(frames[0].Extensions()[0]);
        EXPECT_EQ(loop.Loops, 5);
        const TGIFGraphicControlExtension* control = frames[1].GraphicControlExtension();
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->Disposal(), 1);
        EXPECT_TRUE(control->UserInput());
        EXPECT_EQ(control->Delay(), 25);
        EXPECT_EQ(frames[1].TransparentColorIndex(), 3);
        EXPECT_EQ(frames[1].ColorMap().Count(), 2);
        TGIFExtensionList& trailing = frames[2].Extensions();
        ASSERT_EQ(trailing.Count(), 3);
        const auto& text = dynamic_cast<TGIFTextExtension&>(trailing[0]);
        EXPECT_EQ(text.GridWidth, 8);
        EXPECT_EQ(text.CellHeight, 6);
        EXPECT_EQ(text.Text, std::vector<std::string>{"Hi"});
        const auto& unknown = dynamic_cast<TGIFUnknownAppExtension&>(trailing[1]);
        ASSERT_EQ(unknown.Blocks.size(), 1u);
        EXPECT_EQ(unknown.Blocks[0].Data, (Bytes{1, 2, 3, 0, 0xFF}));
        const auto& animexts = dynamic_cast<TGIFAppExtNSLoop&>(trailing[2]);
        EXPECT_EQ(animexts.Loops, 7);
        EXPECT_EQ(std::string(animexts.Identifier().begin(), animexts.Identifier().end()), "ANIMEXTS1.0");
    }
}

TEST(GIFReader, LoadSaveLoadKeepsFramesExtensionsAndTables) {
    for (const char* name : Fixtures) {
        SCOPED_TRACE(name);
        const Bytes original = ReadFixture(name);
        TRead first = Read(original);
        const Bytes saved = Save(*first.Image);
        TRead second = Read(saved);
        EXPECT_TRUE(second.Warnings.empty());
        ExpectSameAsGiflib(saved, *second.Image);
        ExpectSameAsGiflib(original, *second.Image, false);
    }
    // The unknown application extension goes out byte for byte as it came in.
    const Bytes original = ReadFixture("extensions.gif");
    TRead r = Read(original);
    const Bytes saved = Save(*r.Image);
    const Bytes block = Cat({Bytes{0x21, 0xFF, 11}, Text("VQTESTAPP10"), Bytes{5, 1, 2, 3, 0, 0xFF, 0}});
    EXPECT_NE(std::search(original.begin(), original.end(), block.begin(), block.end()), original.end());
    EXPECT_NE(std::search(saved.begin(), saved.end(), block.begin(), block.end()), saved.end());
}

// A program's own application extension: the registry hands its blocks to the class registered
// for its identifier, the latest registration first, and other identifiers stay unknown.
template <int Tag> class TOwnAppExtension : public TGIFUnknownAppExtension {
  public:
    using TGIFUnknownAppExtension::TGIFUnknownAppExtension;
    static const TGIFExtensionClass Class;
};
template <int Tag>
const TGIFExtensionClass TOwnAppExtension<Tag>::Class = {
    [](IGIFExtensionOwner& frame) -> std::unique_ptr<TGIFExtension> {
        return std::make_unique<TOwnAppExtension<Tag>>(frame);
    },
    &TGIFApplicationExtension::ResolveByIdentifier};

TEST(GIFReader, RegisteredApplicationExtensionReadsItsOwnBlocks) {
    TGIFApplicationIdentifier own{};
    const std::string id = "VQOWNEXT1.0";
    std::copy(id.begin(), id.end(), own.begin());
    RegisterApplicationExtension(own, TOwnAppExtension<1>::Class);
    RegisterApplicationExtension(own, TOwnAppExtension<2>::Class);
    EXPECT_EQ(FindApplicationExtension(own), &TOwnAppExtension<2>::Class);

    const Bytes ownBlock = Cat({Bytes{0x21, 0xFF, 11}, Text(id), Bytes{2, 7, 8, 0}});
    const Bytes otherBlock = Cat({Bytes{0x21, 0xFF, 11}, Text("VQOTHER01.0"), Bytes{1, 9, 0}});
    const Bytes frame =
        Cat({Descriptor(0, 0, 2, 2), ImageData(2, TCodePacker(2).Clear().Codes({1, 2, 3, 0}).End())});
    const Bytes gif = Cat({Header(2, 2, 4), ownBlock, otherBlock, frame, Bytes{0x3B}});
    TRead r = Read(gif);
    EXPECT_TRUE(r.Warnings.empty());
    const TGIFExtensionList& extensions = r.Image->Images()[0].Extensions();
    ASSERT_EQ(extensions.Count(), 2);
    const auto* read = dynamic_cast<const TOwnAppExtension<2>*>(&extensions[0]);
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->Blocks.size(), 1u);
    EXPECT_EQ(read->Blocks[0].Data, (std::vector<std::uint8_t>{7, 8}));
    EXPECT_EQ(typeid(extensions[1]), typeid(TGIFUnknownAppExtension));
    const Bytes saved = Save(*r.Image);
    EXPECT_NE(std::search(saved.begin(), saved.end(), ownBlock.begin(), ownBlock.end()), saved.end());
}

TEST(GIFReader, OwnFilesInSubBlocksOfAnySize) {
    // Our encoder's output (both encoders, one frame interlaced), cut into 1- and 2-byte
    // sub-blocks and into blocks of other sizes, reads back to the pixels written.
    std::mt19937 rng(5);
    for (int compression : {0, 1}) {
        TGIFImage image;
        image.SetCompression(compression);
        for (int i = 0; i < 32; ++i)
            image.Header().ColorMap().Add(RGBColor(static_cast<std::uint8_t>(i * 8), 0, 0));
        Bytes pixels[2];
        for (int k = 0; k < 2; ++k) {
            auto frame = std::make_unique<TGIFSubImage>(&image);
            frame->SetBounds(k * 3, 0, 61, 37);
            for (std::uint8_t& p : frame->MutableData())
                p = static_cast<std::uint8_t>(rng() % (k ? 4 : 32));
            frame->SetInterlaced(k == 1);
            pixels[k] = frame->Data();
            image.Add(std::move(frame));
        }
        const Bytes written = Save(image);
        for (int block : {1, 2, 3, 7, 254}) {
            SCOPED_TRACE(testing::Message() << (compression ? "RLE" : "LZW") << ", blocks of " << block);
            const Bytes reblocked = Reblock(written, block);
            ASSERT_NE(reblocked, written);
            TRead r = Read(reblocked);
            EXPECT_TRUE(r.Warnings.empty());
            ASSERT_EQ(r.Image->Images().Count(), 2);
            EXPECT_EQ(r.Image->Images()[0].Data(), pixels[0]);
            EXPECT_EQ(r.Image->Images()[1].Data(), pixels[1]);
            ExpectSameAsGiflib(reblocked, *r.Image);
        }
    }
    // The fixtures too.
    for (const char* name : {"noise.gif", "interlace.gif", "nolzw.gif", "anim.gif"}) {
        SCOPED_TRACE(name);
        TRead r = Read(Reblock(ReadFixture(name), 1));
        ExpectSameAsGiflib(ReadFixture(name), *r.Image);
    }
}

TEST(GIFReader, CopiedFrameKeepsItsExtensions) {
    TRead r = Read(ReadFixture("extensions.gif"));
    TGIFImage copy;
    copy.Assign(*r.Image);
    ASSERT_EQ(copy.Images().Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ExtensionBytes(copy.Images()[i]), ExtensionBytes(r.Image->Images()[i]));
    EXPECT_EQ(copy.Images()[1].TransparentColorIndex(), 3);
    EXPECT_EQ(Save(copy), Save(*r.Image));
}

TEST(GIFReader, OptimizeFollowsTheTransparentIndex) {
    TRead r = Read(ReadFixture("transparent.gif"));
    TGIFSubImage& frame = r.Image->Images()[0];
    const int before = frame.TransparentColorIndex();
    ASSERT_GE(before, 0);
    const TGIFColor colour = r.Image->Header().ColorMap().Entry(before);
    ASSERT_TRUE(r.Image->Header().ColorMap().Optimize());
    EXPECT_EQ(r.Image->Header().ColorMap().Entry(frame.TransparentColorIndex()), colour);
}

TEST(GIFCompositor, ScreenAfterEachFrameOfTheAnimation) {
    // anim.gif: a full frame, a frame at (4,3) with transparency and disposal 2, a frame at
    // (10,6) with disposal 3, a last frame at (1,1). Expected screens built from the frames
    // themselves, by the GIF89a rules.
    TRead r = Read(ReadFixture("anim.gif"));
    TGIFImage& image = *r.Image;
    ASSERT_EQ(image.Images().Count(), 4);
    const TRGBA background = ScreenBackground(image);
    const TGIFColor bg = image.Header().ColorMap().Entry(7);
    EXPECT_EQ(background, OpaqueRGBA(bg.Red, bg.Green, bg.Blue));

    const int w = image.Width(), h = image.Height();
    std::vector<TRGBA> screen(static_cast<std::size_t>(w) * h, background);
    auto paint = [&](std::vector<TRGBA>& s, int index) {
        TGIFSubImage& f = image.Images()[index];
        for (int y = 0; y < f.Height(); ++y)
            for (int x = 0; x < f.Width(); ++x) {
                const int p = f.Pixels(x, y);
                if (p == f.TransparentColorIndex()) continue;
                const TGIFColor c = f.ActiveColorMap().Entry(p);
                s[static_cast<std::size_t>((f.Top() + y) * w + f.Left() + x)] =
                    OpaqueRGBA(c.Red, c.Green, c.Blue);
            }
    };
    auto fill = [&](std::vector<TRGBA>& s, int index, TRGBA colour) {
        TGIFSubImage& f = image.Images()[index];
        for (int y = 0; y < f.Height(); ++y)
            for (int x = 0; x < f.Width(); ++x)
                s[static_cast<std::size_t>((f.Top() + y) * w + f.Left() + x)] = colour;
    };
    std::vector<std::vector<TRGBA>> expected;
    paint(screen, 0);
    expected.push_back(screen);
    paint(screen, 1);
    expected.push_back(screen);
    fill(screen, 1, background); // disposal 2 of frame 1
    const std::vector<TRGBA> underFrame2 = screen;
    paint(screen, 2);
    expected.push_back(screen);
    screen = underFrame2; // disposal 3 of frame 2
    paint(screen, 3);
    expected.push_back(screen);

    TGIFCompositor compositor(image, ScreenOptions(image));
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        compositor.ComposeTo(i);
        EXPECT_EQ(compositor.Canvas(), expected[static_cast<std::size_t>(i)]);
    }
    // Frame after frame gives the same screens as composing from the start, and so does the
    // restart of a loop.
    compositor.Reset();
    for (int i = 0; i < 4; ++i) {
        compositor.DrawFrame(i);
        EXPECT_EQ(compositor.Canvas(), expected[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(FrameDisposal(image.Images()[1]), 2);
    EXPECT_EQ(FrameDisposal(image.Images()[3]), 0);
}

TEST(GIFCompositor, DelayRule) {
    const struct {
        int delay;
        bool control;
        int speed;
        bool synchronous;
        int drift;
        std::optional<int> wait;
    } rows[] = {
        {0, false, 100, true, 0, 120},                                // no control extension: 10 hundredths
        {0, true, 100, false, 0, 120},                                // a delay of 0 counts as 10
        {1, true, 100, true, 0, 36},                                  // at least 3
        {3, true, 100, true, 0, 36},                                  //
        {50, true, 100, true, 0, 600},                                // 12 ms units
        {50, true, 200, true, 0, 300},                                // 200 % halves the wait
        {50, true, 50, true, 0, 1200},                                //
        {50, true, 100, true, 100, 550},                              // less half the drift
        {50, true, 100, true, 2000, 0},                               // no wait left
        {5000, true, 100, true, 0, 12000},                            // 1000 at most, synchronous
        {5000, true, 100, false, 0, 60000},                           // asynchronous keeps it
        {50, true, 0, true, 0, 12000},                                // speed 0 or below, synchronous
        {50, true, -5, true, 0, 12000},                               //
        {50, true, 0, false, 0, std::nullopt},                        // until woken
        {50, true, -5, false, 0, 0},                                  // no wait
        {50, true, 1, false, std::numeric_limits<int>::min(), 12000}, // overflow
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.delay << " " << r.control << " " << r.speed << " "
                                        << r.synchronous << " " << r.drift);
        EXPECT_EQ(FrameWaitMs(r.delay, r.control, r.speed, r.synchronous, r.drift), r.wait);
    }
}
