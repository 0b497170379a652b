#include "code_trace.h"

#include "gif/gif_encoder.h"
#include "gif/lzw_encoder.h"
#include "gif/rle_encoder.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {
using Bytes = std::vector<std::uint8_t>;

std::unique_ptr<TGIFEncoder> MakeEncoder(bool rle) {
    if (rle) return std::make_unique<TRLEEncoder>();
    return std::make_unique<TLZWEncoder>();
}

Bytes Encode(bool rle, int bits, int colors, const Bytes& pixels, int width, int height,
             bool interlaced = false) {
    TMemoryStream stream;
    MakeEncoder(rle)->Compress(stream, bits, colors, pixels.empty() ? nullptr : pixels.data(), interlaced,
                               height, width);
    return stream.Bytes();
}

Bytes Noise(std::size_t n, int colors, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& p : b)
        p = static_cast<std::uint8_t>(rng() % static_cast<unsigned>(colors));
    return b;
}
} // namespace

TEST(Encoder, OnePixelOfTwoColours) {
    // Code size 2; clear 4, pixel 1, end 5 at 3 bits each, least significant bit first.
    for (bool rle : {false, true}) {
        SCOPED_TRACE(rle ? "RLE" : "LZW");
        EXPECT_EQ(Encode(rle, 1, 2, {1}, 1, 1), (Bytes{0x02, 0x02, 0x4C, 0x01, 0x00}));
        EXPECT_EQ(Encode(rle, 1, 2, {0}, 1, 1), (Bytes{0x02, 0x02, 0x44, 0x01, 0x00}));
    }
}

TEST(Encoder, NoPixelsGiveOnlyTheEndCode) {
    const Bytes expected{0x02, 0x01, 0x05, 0x00};
    for (bool rle : {false, true}) {
        SCOPED_TRACE(rle ? "RLE" : "LZW");
        EXPECT_EQ(Encode(rle, 2, 4, {}, 0, 0), expected);
        EXPECT_EQ(Encode(rle, 2, 4, {1, 2}, 0, 2), expected);
        EXPECT_EQ(Encode(rle, 2, 4, {1, 2}, 2, 0), expected);
    }
}

TEST(Encoder, InterlacedFramesAreWrittenInPassOrder) {
    // Every height from 1 up, including those whose later passes hold no rows: the interlaced
    // stream must equal the plain stream of the rows taken 0, 8, ...; 4, 12, ...; 2, 6, ...; 1, 3, ...
    const int width = 3;
    for (bool rle : {false, true}) {
        for (int height = 1; height <= 19; ++height) {
            SCOPED_TRACE(std::string(rle ? "RLE" : "LZW") + " height " + std::to_string(height));
            Bytes pixels(static_cast<std::size_t>(width * height));
            for (int i = 0; i < width * height; ++i)
                pixels[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i / width) * 7 + i % width);
            Bytes ordered;
            for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
                for (int row = start; row < height; row += step)
                    ordered.insert(ordered.end(), pixels.begin() + row * width,
                                   pixels.begin() + (row + 1) * width);
            ASSERT_EQ(ordered.size(), pixels.size());
            EXPECT_EQ(Encode(rle, 8, 256, pixels, width, height, true),
                      Encode(rle, 8, 256, ordered, width, height));
        }
    }
}

TEST(Encoder, CodesStayWithinTheDecodersTable) {
    struct Row {
        const char* name;
        int bits, colors;
        Bytes pixels;
    } rows[] = {
        {"4-colour noise", 2, 4, Noise(120'000, 4, 1)},
        {"256-colour noise", 8, 256, Noise(60'000, 256, 2)},
        {"one long run", 2, 4, Bytes(400'000, 3)},
        {"runs of growing length", 4, 16,
         [] {
             Bytes b;
             for (int n = 1; b.size() < 200'000; ++n)
                 b.insert(b.end(), static_cast<std::size_t>(n % 300), static_cast<std::uint8_t>(n % 16));
             return b;
         }()},
    };
    for (const Row& r : rows) {
        for (bool rle : {false, true}) {
            SCOPED_TRACE(std::string(r.name) + (rle ? " RLE" : " LZW"));
            const int width = 400;
            const int height = static_cast<int>(r.pixels.size() / width);
            const Bytes bytes = Encode(rle, r.bits, r.colors, r.pixels, width, height);
            const TCodeTrace t = TraceCodes(bytes);
            EXPECT_EQ(t.Fault, "");
            EXPECT_EQ(t.End, bytes.size());
            EXPECT_EQ(t.Codes.back(), (1 << std::max(2, r.bits)) + 1) << "ends with the end code";
            EXPECT_LE(t.MaxWidth, 12);
            for (int highest : t.HighestDefinedAtClear)
                EXPECT_LE(highest, 4094) << "code 4095 is never defined";
            if (!rle && r.colors == 4 && r.pixels[0] != r.pixels[1]) {
                // Noise fills the LZW table: each clear after the first comes right after code 4094.
                ASSERT_GT(t.HighestDefinedAtClear.size(), 2u);
                for (std::size_t i = 1; i < t.HighestDefinedAtClear.size(); ++i)
                    EXPECT_EQ(t.HighestDefinedAtClear[i], 4094);
                EXPECT_EQ(t.MaxWidth, 12);
            }
            for (std::size_t i = 0; i + 1 < t.SubBlockSizes.size(); ++i)
                EXPECT_EQ(t.SubBlockSizes[i], 255);
        }
    }
}

TEST(Encoder, PixelOutsideTheColourTableStopsEncoding) {
    for (bool rle : {false, true}) {
        SCOPED_TRACE(rle ? "RLE" : "LZW");
        for (const Bytes& pixels : {Bytes{3, 0, 0, 0}, Bytes{0, 1, 2, 3}}) {
            TMemoryStream stream;
            try {
                MakeEncoder(rle)->Compress(stream, 2, 3, pixels.data(), false, 2, 2);
                ADD_FAILURE() << "no error";
            } catch (const GIFException& e) {
                EXPECT_STREQ(e.what(), "Color not in color table");
            }
            ASSERT_FALSE(stream.Bytes().empty());
            EXPECT_EQ(stream.Bytes()[0], 2) << "what was written stays";
        }
    }
}

TEST(Encoder, SubBlockWriter) {
    struct Row {
        std::size_t count;
        std::vector<int> blocks;
    } rows[] = {{0, {}},         {1, {1}},          {254, {254}},         {255, {255}},
                {256, {255, 1}}, {510, {255, 255}}, {600, {255, 255, 90}}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.count);
        TMemoryStream target;
        TGIFWriter writer(target);
        Bytes data(r.count);
        for (std::size_t i = 0; i < r.count; ++i)
            data[i] = static_cast<std::uint8_t>(i * 7);
        // Written in uneven pieces to cross block edges inside one call.
        for (std::size_t at = 0; at < r.count; at += 100)
            writer.Write(data.data() + at, std::min<std::size_t>(100, r.count - at));
        writer.Finish();
        const Bytes& out = target.Bytes();
        Bytes payload;
        std::size_t at = 0;
        std::vector<int> blocks;
        while (at < out.size()) {
            blocks.push_back(out[at]);
            payload.insert(payload.end(), out.begin() + static_cast<long>(at) + 1,
                           out.begin() + static_cast<long>(at) + 1 + out[at]);
            at += 1u + out[at];
        }
        EXPECT_EQ(blocks, r.blocks);
        EXPECT_EQ(payload, data);
    }
}

TEST(Encoder, BareGIFStreamRefusesUse) {
    TMemoryStream target;
    TGIFStream stream(target);
    char b = 0;
    for (auto op :
         {+[](TGIFStream&s, char&c) { s.Read(&c, 1); }, +[](TGIFStream&s, char&c) { s.Write(&c, 1); },
          +[](TGIFStream&s, char&) { s.Seek(0, soBeginning); }}) {
        try {
            op(stream, b);
            ADD_FAILURE() << "no error";
        } catch (const EStreamError& e) {
            EXPECT_STREQ(e.what(), "Invalid stream operation");
        }
    }
}

TEST(Encoder, HashTableHoldsAFullTableInOneProbeCycle) {
    using THashTable = TLZWEncoder::THashTable;
    // Doubling modulo 8009 visits only half the slots; 4089 keys that all hash into that half
    // (more than it holds) must still be stored and found.
    std::vector<bool> inCycle(THashTable::Size, false);
    for (int i = 1, n = 0; n < 4004; ++n, i = i * 2 % THashTable::Size)
        inCycle[static_cast<std::size_t>(i)] = true;
    std::vector<std::uint32_t> keys;
    for (std::uint32_t prefix = 0; prefix < 4095 && keys.size() < 4089; ++prefix)
        for (std::uint32_t v = 0; v < 256 && keys.size() < 4089; ++v) {
            const std::uint32_t key = prefix << 8 | v;
            if (inCycle[static_cast<std::size_t>(THashTable::HashOf(key))]) keys.push_back(key);
        }
    ASSERT_EQ(keys.size(), 4089u);
    THashTable table;
    for (std::size_t i = 0; i < keys.size(); ++i)
        table.Insert(keys[i], static_cast<int>(6 + i));
    for (std::size_t i = 0; i < keys.size(); ++i)
        ASSERT_EQ(table.Lookup(keys[i]), static_cast<int>(6 + i)) << i;
    EXPECT_EQ(table.Lookup(0xFFEFF), -1);
    table.Clear();
    EXPECT_EQ(table.Lookup(keys[0]), -1);
}

TEST(Encoder, TriangleCost) {
    struct Row {
        int n, repeats, cost;
    } rows[] = {{1, 100, 1}, {2, 100, 2}, {3, 100, 2}, {4, 100, 3},      {6, 100, 3},     {7, 100, 4},
                {10, 3, 6},  {12, 3, 6},  {13, 3, 7},  {5050, 100, 100}, {5051, 100, 101}};
    for (const Row& r : rows)
        EXPECT_EQ(TriangleCost(r.n, r.repeats), r.cost) << r.n << " " << r.repeats;
}
