// The cache of inflated endgame-database blocks: which block it gives up, that what it answers is
// what the file holds, that a block that did not inflate is never kept, and threads reading at once.
#include "rules/endgame_db.h"

#include "edb_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

namespace {

std::uint8_t Fill(std::uint32_t b, std::uint8_t (&values)[EdbBlockValues]) {
    for (std::uint32_t i = 0; i < EdbBlockValues; ++i)
        values[i] = static_cast<std::uint8_t>(b * 7 + i);
    return values[5];
}

TEST(EdbBlockCache, GivesUpTheLeastRecentlyUsedBlock) {
    TEdbBlockCache cache(3);
    std::uint8_t values[EdbBlockValues];
    EXPECT_FALSE(cache.Find(10, 5).has_value());
    for (std::uint32_t b : {10u, 20u, 30u}) {
        Fill(b, values);
        cache.Insert(b, values);
    }
    EXPECT_EQ(cache.Find(10, 5), Fill(10, values)); // 10 is now the most recently used
    Fill(40, values);
    cache.Insert(40, values); // full: 20 goes
    EXPECT_FALSE(cache.Find(20, 5).has_value());
    EXPECT_EQ(cache.Find(30, 5), Fill(30, values));
    EXPECT_EQ(cache.Find(40, 5), Fill(40, values));
    EXPECT_EQ(cache.Find(10, 1023), static_cast<std::uint8_t>(10 * 7 + 1023));
    // Use order now 10, 40, 30: 30 is the oldest. Inserting a kept block again changes nothing.
    Fill(40, values);
    cache.Insert(40, values);
    Fill(50, values);
    cache.Insert(50, values);
    EXPECT_FALSE(cache.Find(30, 5).has_value());
    EXPECT_TRUE(cache.Find(10, 5).has_value() && cache.Find(40, 5).has_value() &&
                cache.Find(50, 5).has_value());
    EXPECT_EQ(cache.Misses(), 3u);
    // The last block of the file has its slot too.
    Fill(EdbBlockCount - 1, values);
    cache.Insert(EdbBlockCount - 1, values);
    EXPECT_EQ(cache.Find(EdbBlockCount - 1, 5), Fill(EdbBlockCount - 1, values));
}

// A file of 40 synthetic blocks, block 13 damaged, opened with a cache of 8.
class EdbCachedFile : public testing::Test {
  protected:
    static constexpr std::uint32_t Blocks = 40, Damaged = 13;
    void SetUp() override {
        std::vector<std::vector<std::uint8_t>> blocks;
        for (std::uint32_t b = 0; b < Blocks; ++b)
            blocks.push_back(Deflate(SyntheticBlock(b)));
        blocks[Damaged].resize(blocks[Damaged].size() - 4);
        WriteBytes(dir.File("cached.edb"), AssembleDatabase(blocks));
        std::string error;
        db = TEndgameDatabaseFile::Open(dir.File("cached.edb"), &error, 8);
        ASSERT_TRUE(db) << error;
    }
    // What a read of value number k must give.
    static std::optional<std::uint8_t> Expected(std::uint32_t k) {
        const std::uint32_t b = k / EdbBlockValues;
        if (b >= Blocks || b == Damaged) return std::nullopt;
        return SyntheticValue(k);
    }

    TTempDir dir;
    std::shared_ptr<const TEndgameDatabaseFile> db;
};

TEST_F(EdbCachedFile, AnswersAsTheFileAndReadsNearbyBlocksOnce) {
    std::mt19937 rng(3);
    // A walk that stays near a few blocks, as a search's probes do, then jumps.
    std::uint32_t at = 0;
    for (int i = 0; i < 20000; ++i) {
        at = i % 500 == 0 ? rng() % (Blocks * EdbBlockValues) : (at + rng() % 2048) % (6 * EdbBlockValues);
        ASSERT_EQ(db->ReadValue(at), Expected(at)) << at;
    }
    // Six blocks in use fit in the cache: each is read about once per jump, the damaged one never kept.
    EXPECT_LT(db->BlocksRead(), 400u);
    EXPECT_EQ(db->ReadValue(Blocks * EdbBlockValues + 1), std::nullopt); // past the stored blocks
    EXPECT_EQ(db->ReadValue(EdbLastValueNumber + 300), std::nullopt);    // past the last block
    const std::uint64_t before = db->BlocksRead();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(db->ReadValue(Damaged * EdbBlockValues + 7).has_value());
    EXPECT_EQ(db->BlocksRead(), before + 3) << "a block that failed is read again, not kept";
}

// Four threads read everywhere at once through a cache far smaller than the file.
TEST_F(EdbCachedFile, ThreadsReadingAtOnceGetTheFilesValues) {
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            std::mt19937 rng(t);
            for (int i = 0; i < 4000; ++i) {
                const std::uint32_t k = rng() % (Blocks * EdbBlockValues);
                if (db->ReadValue(k) != Expected(k)) ++wrong;
            }
        });
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(wrong.load(), 0);
}

} // namespace
