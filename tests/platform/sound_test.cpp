#include "platform/sound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace {
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& v, std::uint16_t x) {
    v.push_back(x & 0xFF);
    v.push_back(x >> 8);
}
void PutId(std::vector<std::uint8_t>& v, const char* id) {
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<std::uint8_t>(id[i]));
}

// A WAVE image assembled from the format's own layout, with an optional extra chunk first.
std::vector<std::uint8_t> Wave(int channels, int rate, int bits, std::size_t dataBytes,
                               bool extraChunk = false) {
    std::vector<std::uint8_t> v;
    PutId(v, "RIFF");
    Put32(v, 0); // patched below
    PutId(v, "WAVE");
    if (extraChunk) {
        PutId(v, "LIST");
        Put32(v, 3); // odd length: one pad byte follows
        v.insert(v.end(), {'a', 'b', 'c', 0});
    }
    PutId(v, "fmt ");
    Put32(v, 16);
    Put16(v, 1);
    Put16(v, static_cast<std::uint16_t>(channels));
    Put32(v, static_cast<std::uint32_t>(rate));
    Put32(v, static_cast<std::uint32_t>(rate * channels * bits / 8));
    Put16(v, static_cast<std::uint16_t>(channels * bits / 8));
    Put16(v, static_cast<std::uint16_t>(bits));
    PutId(v, "data");
    Put32(v, static_cast<std::uint32_t>(dataBytes));
    v.resize(v.size() + dataBytes, 0x80);
    const std::uint32_t riff = static_cast<std::uint32_t>(v.size() - 8);
    for (int i = 0; i < 4; ++i)
        v[4 + i] = static_cast<std::uint8_t>(riff >> (8 * i));
    return v;
}
} // namespace

TEST(SoundTest, ParsesPcmWaves) {
    struct Row {
        int channels, rate, bits;
        std::size_t bytes;
        bool extra;
        long ms;
    } rows[] = {
        {1, 22050, 16, 2568, false, 58}, // the move click: 2,612 bytes in all
        {2, 44100, 16, 17640, true, 100},
        {1, 8000, 8, 800, false, 100},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.rate);
        const auto w = Wave(r.channels, r.rate, r.bits, r.bytes, r.extra);
        TWaveFormat f;
        std::string err;
        ASSERT_TRUE(ParseWave(w.data(), w.size(), f, &err)) << err;
        EXPECT_EQ(f.channels, r.channels);
        EXPECT_EQ(f.sampleRate, r.rate);
        EXPECT_EQ(f.bitsPerSample, r.bits);
        EXPECT_EQ(f.sampleBytes, r.bytes);
        EXPECT_EQ(f.DurationMs(), r.ms);
        EXPECT_EQ(f.samples, w.data() + w.size() - r.bytes);
    }
    EXPECT_EQ(Wave(1, 22050, 16, 2568).size(), 2612u);
}

TEST(SoundTest, RejectsDamagedWaves) {
    const auto good = Wave(1, 22050, 16, 2568);
    auto truncated = good;
    truncated.resize(100); // the data chunk claims more than is there
    auto notRiff = good;
    notRiff[0] = 'X';
    auto notPcm = good;
    notPcm[20] = 3;
    auto badBits = good;
    badBits[34] = 12;
    auto hugeChunk = good;
    hugeChunk[16] = hugeChunk[17] = hugeChunk[18] = hugeChunk[19] = 0xFF; // fmt size 4 GB
    std::vector<std::uint8_t> empty;
    for (const std::vector<std::uint8_t>* w : {&truncated, &notRiff, &notPcm, &badBits, &hugeChunk, &empty}) {
        TWaveFormat f;
        std::string err;
        EXPECT_FALSE(ParseWave(w->data(), w->size(), f, &err));
        EXPECT_FALSE(err.empty());
        EXPECT_FALSE(PlayWave(w->data(), w->size()));
    }
}

TEST(SoundTest, PlayReturnsOnlyAfterTheSoundsLength) {
    const auto w = Wave(1, 8000, 8, 400); // 50 ms
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_TRUE(PlayWave(w.data(), w.size()));
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0);
    EXPECT_GE(ms.count(), 45); // with or without a device, the call blocks while the sound plays
}
