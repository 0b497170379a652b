#include "app/core/status_parsers.h"

#include <gtest/gtest.h>

#include <random>

namespace {
const char* const kMarrakLine = "value=-25,  depth 11/21/9,  3.41s,  1200 kN/s,  11-15 23-19 8-11";
const char* const kTrevaloLine = "depth 13/25/30 time 2.53s value>120 nodes 2048000  1500kN/s pv 9-14 22-17";
} // namespace

TEST(StatusParsers, MarrakLineFillsEveryField) {
    TEngineInfo info;
    ASSERT_TRUE(ParseMarrakStatus(kMarrakLine, gtEnglish, 0, info));
    EXPECT_EQ(info.Score, -25);
    EXPECT_EQ(info.Bound, -25);
    EXPECT_EQ(info.Depth, "11/21/9");
    EXPECT_EQ(info.Time, "3.41s");
    EXPECT_EQ(info.Speed, "1200 kN/s");
    EXPECT_EQ(info.BestLine, "11-15 23-19 8-11");
}

TEST(StatusParsers, MarrakBoundsAndTheTurnToTheProgramsView) {
    struct Row {
        const char* line;
        TGameType variant;
        int side;
        int score, bound;
    } rows[] = {
        {"value<40,  depth 5/5/5,  0.1s,  1 kN/s,  x", gtEnglish, 0, -32000, 40},
        {"value>40,  depth 5/5/5,  0.1s,  1 kN/s,  x", gtEnglish, 0, 40, 32000},
        {"value=40,  depth 5/5/5,  0.1s,  1 kN/s,  x", gtEnglish, 1, -40, -40},
        {"value>40,  depth 5/5/5,  0.1s,  1 kN/s,  x", gtEnglish, 1, -32000, -40},
        {"value<40,  depth 5/5/5,  0.1s,  1 kN/s,  x", gtItalian, 0, -40, 32000},
        {"value=40,  depth 5/5/5,  0.1s,  1 kN/s,  x", gtItalian, 1, 40, 40},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        TEngineInfo info;
        ASSERT_TRUE(ParseMarrakStatus(r.line, r.variant, r.side, info));
        EXPECT_EQ(info.Score, r.score);
        EXPECT_EQ(info.Bound, r.bound);
    }
}

TEST(StatusParsers, TrevaloLineFillsEveryField) {
    TEngineInfo info;
    ASSERT_TRUE(ParseTrevaloStatus(kTrevaloLine, info));
    EXPECT_EQ(info.Depth, "13-25");
    EXPECT_EQ(info.Time, "2.53");
    EXPECT_EQ(info.Score, 120);
    EXPECT_EQ(info.Bound, 32000);
    EXPECT_EQ(info.Speed, "1500kN/s");
    EXPECT_EQ(info.BestLine, "9-14 22-17");
}

TEST(StatusParsers, LinesWithTheWrongStartChangeNothing) {
    TEngineInfo info;
    info.Depth = "kept";
    EXPECT_FALSE(ParseMarrakStatus("depth 3", gtEnglish, 0, info));
    EXPECT_FALSE(ParseMarrakStatus("", gtEnglish, 0, info));
    EXPECT_FALSE(ParseTrevaloStatus("value=3", info));
    EXPECT_FALSE(ParseTrevaloStatus("", info));
    EXPECT_EQ(info.Depth, "kept");
}

TEST(StatusParsers, EveryPrefixAndRandomBytesNeverBreakTheParsers) {
    std::mt19937 rng(7);
    for (const std::string good : {kMarrakLine, kTrevaloLine}) {
        for (std::size_t n = 0; n <= good.size(); ++n) {
            TEngineInfo info;
            const std::string prefix = good.substr(0, n);
            ParseMarrakStatus(prefix, gtItalian, 0, info);
            ParseTrevaloStatus(prefix, info);
            for (int k = 0; k < 8; ++k) {
                std::string noisy = prefix;
                const int extra = static_cast<int>(rng() % 40);
                for (int i = 0; i < extra; ++i)
                    noisy += static_cast<char>(rng() % 256);
                ParseMarrakStatus(noisy, gtEnglish, 1, info);
                ParseTrevaloStatus(noisy, info);
            }
        }
    }
    for (int k = 0; k < 2000; ++k) {
        TStatusText buffer;
        for (char& c : buffer)
            c = static_cast<char>(rng() % 256);
        buffer[0] = k % 2 ? 'd' : 'v';
        const std::string line = StatusLine(buffer);
        EXPECT_LE(line.size(), 255u);
        TEngineInfo info;
        ParseMarrakStatus(line, gtEnglish, 0, info);
        ParseTrevaloStatus(line, info);
    }
}

TEST(StatusParsers, TheSavedTextTellsOnlyChanges) {
    TSavedStatusText saved;
    TStatusText text{};
    EXPECT_FALSE(saved.Changed(text)); // both empty at the start
    std::snprintf(text.data(), text.size(), "%s", kMarrakLine);
    EXPECT_TRUE(saved.Changed(text));
    EXPECT_FALSE(saved.Changed(text));
    text[1000] = 'z'; // beyond the line, still a change of the buffer
    EXPECT_TRUE(saved.Changed(text));
    EXPECT_EQ(StatusLine(text), kMarrakLine);
}
