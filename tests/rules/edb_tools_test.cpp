#include "rules/edb_positions.h"
#include "rules/edb_tools.h"
#include "rules/file_names.h"
#include "rules/movegen.h"

#include "edb_fixture.h"

#include <gtest/gtest.h>

TEST(EdbFileNames, StripExtensionAndExtractDirectory) {
    struct Case {
        const char* path;
        const char* stem;
        const char* dir;
    };
    const Case cases[] = {
        {"pos5rus.edb", "pos5rus", ""},
        {"ED/Vantor/pos5rus.edb", "ED/Vantor/pos5rus", "ED/Vantor/"},
        {"C:\\bases\\games.vqb", "C:\\bases\\games", "C:\\bases\\"},
        {"a.b/c", "a.b/c", "a.b/"}, // the dot belongs to a folder
        {"a.b\\c", "a.b\\c", "a.b\\"},
        {"x.tar.gz", "x.tar", ""},
        {"noext", "noext", ""},
        {"dir/", "dir/", "dir/"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(StripExtension(c.path), c.stem);
        EXPECT_EQ(ExtractDirectory(c.path), c.dir);
    }
    EXPECT_EQ(CompressedName("db/pos5rus.txt"), "db/pos5rus.cpr");
    EXPECT_EQ(ConvertedName("db/pos6.edb"), "db/pos6v2.edb");
}

TEST(EdbCompressor, RefusesToOverwriteItsInputAndReportsFileErrors) {
    TTempDir dir;
    const std::string raw = dir.File("base.cpr");
    const std::vector<std::uint8_t> data = SyntheticRaw(3000);
    WriteBytes(raw, data);

    TToolResult r = CompressEdb(raw, CompressedName(raw), 3);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("overwrite"), std::string::npos) << r.error;
    EXPECT_EQ(ReadBytes(raw), data);

    r = CompressEdb(dir.File("missing.txt"), dir.File("missing.cpr"), 3);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing.cpr")));

    r = CompressEdb(raw, dir.File("no/such/folder/x.cpr"), 3);
    EXPECT_FALSE(r.ok);
    // Nothing but the input is left behind: no temporary file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(EdbCompressor, EmptyInputGivesZeroRatioAndAValidFile) {
    TTempDir dir;
    const std::string raw = dir.File("empty.txt");
    WriteBytes(raw, {});
    TCompressTotals totals;
    int calls = 0;
    const TToolResult r = CompressEdb(
        raw, CompressedName(raw), 2, [&](const TCompressTotals&) { ++calls; }, &totals);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(totals.bytesRead, 0u);
    EXPECT_EQ(totals.Ratio(), 0);
    EXPECT_GE(calls, 2); // block 0 and the end
    const std::vector<std::uint8_t> f = ReadBytes(r.output);
    EXPECT_EQ(f.size(), EdbIndexBytes + Le16(f, EdbOffsetsBytes) + Le16(f, EdbOffsetsBytes + 2));
}

namespace {

// Base-3 digits of the six-piece source, written from the format's description.
std::vector<std::uint8_t> SixSource(const std::vector<int>& digits) {
    std::vector<std::uint8_t> bytes((digits.size() + 4) / 5);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        int weight = 1;
        for (std::size_t d = 0; d < i % 5; ++d)
            weight *= 3;
        bytes[i / 5] = static_cast<std::uint8_t>(bytes[i / 5] + digits[i] * weight);
    }
    return bytes;
}

} // namespace

TEST(EdbConverter, RepacksBase3BlocksIntoTwoBitValues) {
    TTempDir dir;
    std::vector<int> digits(2 * 4100);
    for (std::size_t i = 0; i < digits.size(); ++i)
        digits[i] = static_cast<int>((i * 7 + i / 13) % 3);
    digits[0] = 1, digits[1] = 2, digits[2] = 0, digits[3] = 1, digits[4] = 2;
    for (int pad = 4096; pad < 4100; ++pad)
        digits[pad] = 2; // padding: must not reach the output
    const std::vector<std::uint8_t> source = SixSource(digits);
    ASSERT_EQ(source.size(), 2 * SixSourceBlockBytes);
    EXPECT_EQ(source[0], 1 + 3 * 2 + 9 * 0 + 27 * 1 + 81 * 2);
    const std::string in = dir.File("pos6.edb");
    WriteBytes(in, source);

    const TToolResult r = ConvertEdb(in, ConvertedName(in));
    ASSERT_TRUE(r.ok) << r.error;
    const std::vector<std::uint8_t> out = ReadBytes(dir.File("pos6v2.edb"));
    ASSERT_EQ(out.size(), 2 * EdbBlockValues);
    EXPECT_EQ(out[0], 1 | 2 << 2 | 0 << 4 | 1 << 6);
    for (std::size_t block = 0; block < 2; ++block)
        for (std::size_t v = 0; v < 4096; ++v) {
            const int got = out[block * 1024 + v / 4] >> (2 * (v % 4)) & 3;
            ASSERT_EQ(got, digits[block * 4100 + v]) << "block " << block << " value " << v;
        }
}

TEST(EdbConverter, RefusesDamagedSourcesAndLeavesNoOutput) {
    TTempDir dir;
    const std::string in = dir.File("pos6.edb");
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<std::uint8_t> badByte(SixSourceBlockBytes, 0);
    badByte[100] = 243;
    const Case cases[] = {
        {"ends inside a block", std::vector<std::uint8_t>(SixSourceBlockBytes + 1, 0)},
        {"byte beyond five digits", badByte},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(in, c.bytes);
        const TToolResult r = ConvertEdb(in, ConvertedName(in));
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.error.empty());
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    }
    EXPECT_FALSE(ConvertEdb(in, in).ok);
    EXPECT_FALSE(ConvertEdb(dir.File("none.edb"), dir.File("nonev2.edb")).ok);
}

TEST(EdbPositions, MenAdvancementCountsRowsOfMenOnly) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> pieces;
        int advancement;
    };
    std::vector<std::pair<int, int>> allSide0, allSide1;
    for (int s = 1; s <= 32; ++s) {
        allSide0.push_back({s, sqMan0});
        allSide1.push_back({s, sqMan1});
    }
    const Case cases[] = {
        {"empty", {}, 0},
        {"side-0 man on its first row", {{4, sqMan0}}, 0},
        {"side-0 man on row 7", {{32, sqMan0}}, 7},
        {"side-1 man on square 1", {{1, sqMan1}}, -7},
        {"side-1 man on square 29", {{29, sqMan1}}, 0},
        {"kings do not count", {{32, sqKing0}, {1, sqKing1}}, 0},
        {"men of both sides", {{9, sqMan0}, {14, sqMan0}, {20, sqMan1}}, 2 + 3 - 3},
        {"every square side 0", allSide0, MaxMenAdvancement},
        {"every square side 1", allSide1, -MaxMenAdvancement},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBoard b;
        for (auto [s, v] : c.pieces)
            b[s] = static_cast<std::int8_t>(v);
        const int a = MenAdvancement(b);
        EXPECT_EQ(a, c.advancement);
        EXPECT_GE(AdvancementSlot(a), 0);
        EXPECT_LT(AdvancementSlot(a), AdvancementSlots);
    }
}

TEST(EdbPositions, RandomPositionsKeepMenOffTheirLastRowAndCanBeQuiet) {
    std::mt19937 rng(5);
    for (bool quiet : {false, true}) {
        for (int i = 0; i < 300; ++i) {
            SCOPED_TRACE(testing::Message() << (quiet ? "quiet " : "") << i);
            TBoard b;
            ASSERT_TRUE(RandomEndgamePosition(3, 3, quiet, b, rng, gtRussian));
            TPieceCount count;
            CountPieces(b, count);
            ASSERT_EQ(count.men0, 3);
            ASSERT_EQ(count.men1, 3);
            ASSERT_EQ(count.kings0 + count.kings1, 0);
            for (int s = 29; s <= 32; ++s)
                ASSERT_NE(b[s], sqMan0);
            for (int s = 1; s <= 4; ++s)
                ASSERT_NE(b[s], sqMan1);
            if (quiet) {
                TMoveList moves;
                FindMoves(b, 0, moves, gtRussian);
                ASSERT_TRUE(moves.empty() || moves.front().captures == 0);
            }
        }
    }
    TBoard b;
    EXPECT_TRUE(RandomEndgamePosition(14, 14, false, b, rng, gtRussian)); // the most that fit
    EXPECT_FALSE(RandomEndgamePosition(15, 14, false, b, rng, gtRussian));
    EXPECT_FALSE(RandomEndgamePosition(-1, 2, false, b, rng, gtRussian));
    EXPECT_EQ(b, EmptyBoard);
}
