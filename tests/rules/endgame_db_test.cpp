#include "rules/edb_tools.h"
#include "rules/endgame_db.h"
#include "rules/hash_table.h"
#include "rules/search.h"
#include "rules/variant_state.h"

#include "edb_fixture.h"
#include "tests/support/positions.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

constexpr std::uint32_t SmallBlocks = 16; // every 2-piece value and the first 3-piece ones

// Every 2-piece position, numbered independently of the index code: pairs a < b in
// lexicographic order, the higher square's piece the most significant base-4 digit.
struct TTwoPiece {
    TBoard board;
    std::uint32_t number;
};
std::vector<TTwoPiece> AllTwoPiecePositions() {
    const int digitValue[4] = {-2, -1, 1, 2};
    std::vector<TTwoPiece> all;
    std::uint32_t rank = 0;
    for (int a = 1; a <= 32; ++a)
        for (int b = a + 1; b <= 32; ++b, ++rank)
            for (int hi = 0; hi < 4; ++hi)
                for (int lo = 0; lo < 4; ++lo) {
                    TTwoPiece p;
                    p.board[b] = static_cast<std::int8_t>(digitValue[hi]);
                    p.board[a] = static_cast<std::int8_t>(digitValue[lo]);
                    p.number = static_cast<std::uint32_t>(hi * 4 + lo) * 496 + rank;
                    all.push_back(p);
                }
    return all;
}

// A small synthetic database compressed by the compressor and opened as the current one.
class EdbProbe : public testing::Test {
  protected:
    void SetUp() override {
        raw = dir.File("synthetic.raw");
        WriteBytes(raw, SyntheticRaw(std::uint64_t{SmallBlocks} * EdbBlockValues));
        const TToolResult r = CompressEdb(raw, CompressedName(raw), SmallBlocks);
        ASSERT_TRUE(r.ok) << r.error;
        db = r.output;
        std::string error;
        ASSERT_TRUE(OpenEndgameDatabaseFile(db, &error)) << error;
    }
    void TearDown() override { CloseEndgameDatabase(); }

    TTempDir dir;
    std::string raw, db;
};

} // namespace

TEST(EdbScore, ValuesMapIntoTheSearchWindow) {
    struct Case {
        int value, ply, score;
    };
    const Case cases[] = {
        {255, 0, 0},  {255, 3, 0},   {255, 40, 0}, // draw at any ply
        {7, 3, 1990}, {8, 3, -1989},               // win / loss in v plies
        {1, 0, 1999}, {0, 0, -2000}, {254, 1, -1745}, {253, 2, 1745},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value << " ply " << c.ply);
        EXPECT_EQ(EdbValueToScore(static_cast<std::uint8_t>(c.value), c.ply), c.score);
    }
}

TEST_F(EdbProbe, CompressOpenProbeRoundTripsEveryTwoPiecePosition) {
    EXPECT_TRUE(EndgameDatabaseOpen());
    for (const TTwoPiece& p : AllTwoPiecePositions()) {
        const auto score = ProbeEndgameDatabase(p.board, 2, 0, 5);
        ASSERT_TRUE(score.has_value()) << p.number;
        ASSERT_EQ(*score, EdbValueToScore(SyntheticValue(p.number), 5)) << p.number;
    }
    // A three-piece value near the start of its range, inside the small file.
    TBoard three;
    three[1] = three[2] = three[3] = sqKing1;
    EXPECT_EQ(ProbeEndgameDatabase(three, 3, 0, 0), EdbValueToScore(SyntheticValue(7936), 0));
}

TEST_F(EdbProbe, FlippedProbeEqualsProbeOfTheTurnedBoard) {
    for (const TTwoPiece& p : AllTwoPiecePositions()) {
        TBoard turned = p.board;
        FlipBoard(turned, 32);
        ASSERT_EQ(ProbeEndgameDatabase(p.board, 2, 1, 3), ProbeEndgameDatabase(turned, 2, 0, 3));
    }
}

TEST_F(EdbProbe, OutOfRangePositionsGiveNoValue) {
    TBoard empty;
    EXPECT_FALSE(ProbeEndgameDatabase(empty, 0, 0, 1).has_value());
    TBoard six;
    for (int s : {1, 2, 3})
        six[s] = sqMan0;
    for (int s : {30, 31, 32})
        six[s] = sqMan1;
    EXPECT_FALSE(ProbeEndgameDatabase(six, 6, 0, 1).has_value());
    TBoard wide; // a 10x10 position: the index knows squares 1..32 only
    wide[1] = sqMan0;
    wide[45] = sqMan1;
    EXPECT_FALSE(ProbeEndgameDatabase(wide, 2, 0, 1).has_value());
    TBoard small; // stored in the file, but variant 6 makes no probes even with a file open
    small[1] = sqMan0;
    small[2] = sqMan1;
    ASSERT_TRUE(ProbeEndgameDatabase(small, 2, 0, 1).has_value());
    CurrentVariant = gtInternational;
    EXPECT_FALSE(ProbeEndgameDatabase(small, 2, 0, 1).has_value());
    CurrentVariant = gtRussian;
    // A five-piece position lies past the small file's blocks: empty blocks, no value.
    TBoard five;
    for (int s : {1, 2, 3, 4, 5})
        five[s] = sqMan0;
    EXPECT_FALSE(ProbeEndgameDatabase(five, 5, 0, 1).has_value());
    EXPECT_FALSE(ReadEdbBlock(EdbBlockCount * EdbBlockValues).has_value());
    EXPECT_FALSE(ReadEdbBlock(UINT32_MAX).has_value());
}

TEST_F(EdbProbe, OnePieceScoresWithoutReading) {
    TBoard own;
    own[10] = sqMan0;
    TBoard other;
    other[10] = sqKing1;
    EXPECT_EQ(ProbeEndgameDatabase(own, 1, 0, 4), 1999);
    EXPECT_EQ(ProbeEndgameDatabase(other, 1, 0, 4), -2000);
    EXPECT_EQ(ProbeEndgameDatabase(own, 1, 1, 4), -2000); // side 1 to move
    EXPECT_EQ(ProbeEndgameDatabase(other, 1, 1, 4), 1999);
}

// The search counts every probe it asks of the database, also one that gives no value. At the
// horizon only the node itself is probed: its children are evaluated.
TEST_F(EdbProbe, EveryProbeIsCounted) {
    THashTable noSlots;
    TSearcher searcher(noSlots, gtRussian, SearchEdbProbe());
    TBoard b;
    b[1] = sqMan0;
    b[9] = sqMan1;
    TBoard five; // past the small file's blocks
    for (int s : {1, 2, 3, 4})
        five[s] = sqMan0;
    five[32] = sqMan1;
    ASSERT_FALSE(ProbeEndgameDatabase(five, 5, 0, 1).has_value());
    searcher.Search(b, -2000, 2000, 1, 1, 0, 1);
    searcher.Search(five, -2000, 2000, 1, 1, 0, 1);
    EXPECT_EQ(searcher.EdbProbes(), 2u);
}

// Two threads probe at once while a third reopens the database: every answer is either the
// stored value or "no value" (closed for a moment), never another position's bytes.
TEST_F(EdbProbe, ConcurrentProbesAndReopenStaySound) {
    const std::vector<TTwoPiece> all = AllTwoPiecePositions();
    std::atomic<bool> wrong{false}, stop{false};
    auto prober = [&](std::size_t start) {
        for (std::size_t i = start; i < all.size() && !stop; i += 7) {
            const auto score = ProbeEndgameDatabase(all[i].board, 2, 0, 2);
            if (score && *score != EdbValueToScore(SyntheticValue(all[i].number), 2)) wrong = true;
        }
    };
    std::thread a(prober, 0), b(prober, 3);
    for (int i = 0; i < 20; ++i) {
        CloseEndgameDatabase();
        ASSERT_TRUE(OpenEndgameDatabaseFile(db));
    }
    a.join();
    b.join();
    EXPECT_FALSE(wrong);
}

TEST(EdbProbeIndex, CompressorLaysBlocksEndToEnd) {
    TTempDir dir;
    // One and three-quarter blocks: the second block takes 256 bytes left from the first.
    const std::string raw = dir.File("short.txt");
    WriteBytes(raw, SyntheticRaw(EdbBlockValues + 768));
    TCompressTotals totals;
    const TToolResult r = CompressEdb(raw, CompressedName(raw), 3, {}, &totals);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.output, dir.File("short.cpr"));
    EXPECT_EQ(totals.bytesRead, EdbBlockValues + 768);
    EXPECT_EQ(totals.blocks, 3u);

    const std::vector<std::uint8_t> f = ReadBytes(r.output);
    ASSERT_GE(f.size(), EdbIndexBytes);
    EXPECT_EQ(Le32(f, 0), 1264104u);
    for (std::uint32_t b = 0; b + 1 < EdbBlockCount; ++b)
        ASSERT_EQ(Le32(f, 4 * (b + 1)), Le32(f, 4 * b) + Le16(f, EdbOffsetsBytes + 2 * b)) << b;
    const std::uint32_t last = EdbBlockCount - 1;
    EXPECT_EQ(Le32(f, 4 * last) + Le16(f, EdbOffsetsBytes + 2 * last), f.size());
    EXPECT_EQ(Le16(f, EdbOffsetsBytes + 2 * 3), 0u) << "blocks past the count are empty";

    // Block 1: 768 values of the input, then the last 256 of block 0.
    ASSERT_TRUE(OpenEndgameDatabaseFile(r.output));
    for (std::uint32_t p : {0u, 767u, 768u, 1023u}) {
        const std::uint64_t source = p < 768 ? EdbBlockValues + p : p;
        EXPECT_EQ(ReadEdbBlock(EdbBlockValues + p), SyntheticValue(source)) << p;
    }
    // Block 2 lies wholly past the input: it repeats block 1's buffer.
    EXPECT_EQ(ReadEdbBlock(2 * EdbBlockValues + 5), SyntheticValue(EdbBlockValues + 5));
    CloseEndgameDatabase();
}

// Damaged files: the database stays closed, or the damaged block alone gives no value.
TEST(EdbProbeDamage, DamagedFilesNeverYieldValues) {
    TTempDir dir;
    const std::string path = dir.File("damaged.edb");
    std::vector<std::vector<std::uint8_t>> blocks;
    for (std::uint32_t b = 0; b < 4; ++b)
        blocks.push_back(Deflate(SyntheticBlock(b)));
    const std::vector<std::uint8_t> good = AssembleDatabase(blocks);
    WriteBytes(path, good);
    ASSERT_TRUE(OpenEndgameDatabaseFile(path));
    EXPECT_EQ(ReadEdbBlock(2 * EdbBlockValues + 9), SyntheticValue(2 * EdbBlockValues + 9));

    struct Refused {
        const char* name;
        std::vector<std::uint8_t> file;
    };
    std::vector<Refused> refused;
    refused.push_back({"truncated index", {good.begin(), good.begin() + EdbIndexBytes - 1}});
    refused.push_back({"empty file", {}});
    {
        auto f = good; // block 2's offset moved past the end of the file
        const std::uint32_t past = static_cast<std::uint32_t>(f.size());
        for (int i = 0; i < 4; ++i)
            f[4 * 2 + i] = static_cast<std::uint8_t>(past >> (8 * i));
        refused.push_back({"offset past the end", f});
    }
    {
        auto f = good; // the last block's size reaches one byte past the end
        f[EdbOffsetsBytes + 2 * 3] = static_cast<std::uint8_t>(f[EdbOffsetsBytes + 2 * 3] + 1);
        refused.push_back({"size past the end", f});
    }
    {
        auto f = good;
        f.resize(f.size() - 1); // the file lost its last byte
        refused.push_back({"truncated last block", f});
    }
    for (const Refused& c : refused) {
        SCOPED_TRACE(c.name);
        WriteBytes(path, c.file);
        std::string error;
        EXPECT_FALSE(OpenEndgameDatabaseFile(path, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(EndgameDatabaseOpen());
        TBoard b;
        b[1] = sqMan0;
        b[2] = sqMan1;
        EXPECT_FALSE(ProbeEndgameDatabase(b, 2, 0, 1).has_value());
    }

    struct BadBlock {
        const char* name;
        std::vector<std::uint8_t> stored;
    };
    std::vector<std::uint8_t> garbled = blocks[1];
    for (std::size_t i = 2; i < garbled.size(); ++i)
        garbled[i] = static_cast<std::uint8_t>(garbled[i] ^ 0x5A);
    std::vector<std::uint8_t> headerOnly(blocks[1].begin(), blocks[1].begin() + 2);
    std::vector<std::uint8_t> cutShort(blocks[1].begin(), blocks[1].end() - 6);
    const BadBlock bad[] = {
        {"garbled stream", garbled},
        {"zlib header only", headerOnly},
        {"stream cut short", cutShort},
        {"inflates to 1,000 bytes", Deflate(std::vector<std::uint8_t>(1000, 7))},
        {"inflates to 1,025 bytes", Deflate(std::vector<std::uint8_t>(1025, 7))},
        {"raw bytes, no zlib header", std::vector<std::uint8_t>(40, 0xFF)},
    };
    for (const BadBlock& c : bad) {
        SCOPED_TRACE(c.name);
        auto damaged = blocks;
        damaged[1] = c.stored;
        WriteBytes(path, AssembleDatabase(damaged));
        ASSERT_TRUE(OpenEndgameDatabaseFile(path));
        EXPECT_FALSE(ReadEdbBlock(EdbBlockValues + 3).has_value());
        // The blocks around it still read.
        EXPECT_EQ(ReadEdbBlock(3), SyntheticValue(3));
        EXPECT_EQ(ReadEdbBlock(2 * EdbBlockValues + 3), SyntheticValue(2 * EdbBlockValues + 3));
    }
    CloseEndgameDatabase();
}

// The variant switch opens the book first and then the variant's own file below the base dir;
// a missing file or variant 6 leaves the database closed. Opening the database alone leaves the
// book as it is.
TEST(EdbOpenVariant, OpensTheVariantsFileAfterTheBook) {
    TTempDir dir;
    std::filesystem::create_directories(dir.Path() / "ED" / "Vantor");
    WriteBytes(dir.File("ED/Vantor/pos5rus.edb"), AssembleDatabase({Deflate(SyntheticBlock(0))}));
    WriteBytes(dir.File("ED/Vantor/pos5int.edb"), AssembleDatabase({Deflate(SyntheticBlock(0))}));
    SetEndgameDatabaseBaseDir(dir.Path().string());
    EXPECT_EQ(EndgameDatabasePath(gtPool), dir.File("ED/Vantor/pos5pool.edb"));

    std::vector<std::string> order;
    const TVariantHooks saved = VariantHooks();
    VariantHooks().openBook = [&](TGameType v) {
        order.push_back("book " + std::to_string(v) + (EndgameDatabaseOpen() ? " (db open)" : ""));
    };

    SetGameVariant(gtRussian);
    EXPECT_TRUE(EndgameDatabaseOpen());
    EXPECT_EQ(ReadEdbBlock(11), SyntheticValue(11));
    SetGameVariant(gtEnglish); // no file: the Russian one is closed as well
    EXPECT_FALSE(EndgameDatabaseOpen());
    SetGameVariant(gtRussian);
    EXPECT_TRUE(EndgameDatabaseOpen());
    SetGameVariant(gtInternational); // present, but makes no probes
    EXPECT_FALSE(EndgameDatabaseOpen());
    EXPECT_TRUE(OpenEndgameDatabase(gtRussian)); // the database alone: no book
    EXPECT_FALSE(OpenEndgameDatabase(gtInternational));
    EXPECT_FALSE(EndgameDatabaseOpen());

    const std::vector<std::string> expected{"book 1", "book 2 (db open)", "book 1", "book 6 (db open)"};
    EXPECT_EQ(order, expected);

    VariantHooks() = saved;
    SetEndgameDatabaseBaseDir("");
    SetGameVariant(gtRussian);
    CloseEndgameDatabase();
}

// The probe answers for the variant it is given, not the main window's: a game of another variant
// (an import, a book, a database search) gets no value from this variant's file, while a file
// opened by its path answers for every 8x8 variant.
TEST(EdbOpenVariant, AProbeAnswersOnlyForTheDatabasesVariant) {
    TTempDir dir;
    std::filesystem::create_directories(dir.Path() / "ED" / "Vantor");
    WriteBytes(dir.File("ED/Vantor/pos5rus.edb"), AssembleDatabase({Deflate(SyntheticBlock(0))}));
    SetEndgameDatabaseBaseDir(dir.Path().string());
    const TBoard two = test_support::BoardFromSquares("w1 B2"); // in the one block the file holds
    const auto expected = EdbValueToScore(SyntheticValue((0 * 4 + 2) * 496), 1);

    ASSERT_TRUE(OpenEndgameDatabase(gtRussian));
    CurrentVariant = gtEnglish; // the main window plays another variant
    EXPECT_EQ(ProbeEndgameDatabase(two, 2, 0, 1, gtRussian), expected);
    EXPECT_FALSE(ProbeEndgameDatabase(two, 2, 0, 1, gtEnglish).has_value());
    EXPECT_FALSE(ProbeEndgameDatabase(two, 2, 0, 1).has_value()); // the wrapper: CurrentVariant
    EXPECT_FALSE(ProbeEndgameDatabase(two, 2, 0, 1, gtInternational).has_value());
    // One piece needs no file, in any 8x8 variant.
    EXPECT_EQ(ProbeEndgameDatabase(test_support::BoardFromSquares("w5"), 1, 0, 1, gtEnglish), 1999);

    ASSERT_TRUE(OpenEndgameDatabaseFile(dir.File("ED/Vantor/pos5rus.edb")));
    for (TGameType v : {gtRussian, gtEnglish, gtCzech})
        EXPECT_EQ(ProbeEndgameDatabase(two, 2, 0, 1, v), expected) << int(v);
    EXPECT_EQ(ProbeEndgameDatabase(two, 2, 0, 1), expected);

    CurrentVariant = gtRussian;
    SetEndgameDatabaseBaseDir("");
    CloseEndgameDatabase();
}
