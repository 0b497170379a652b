// The transposition table: sizes, keys, replacement, the principal-variation flag, ageing, and
// allocation failures.

#include "hash_table.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace tt = marrak::tt;

namespace {

constexpr std::size_t megabyte_entries = 131072;

// An allocator that refuses every request above a limit, and counts the requests.
std::size_t g_limit = ~std::size_t{0};
int g_requests = 0;
void* limited_allocate(std::size_t bytes) {
    ++g_requests;
    return bytes > g_limit ? nullptr : std::calloc(bytes, 1);
}

std::vector<std::string> g_log;
void collect(const char* text) {
    g_log.emplace_back(text);
}

class HashTable : public testing::Test {
  protected:
    void SetUp() override {
        g_limit = ~std::size_t{0};
        g_requests = 0;
        g_log.clear();
        ASSERT_TRUE(table.alloc(8, collect));
    }
    tt::hash_table table{limited_allocate, std::free};
};

} // namespace

TEST(HashSize, MegabytesGiveAPowerOfTwoTable) {
    const struct {
        int megabytes;
        std::size_t table_megabytes;
    } rows[] = {{0, 8},   {1, 8},   {15, 8},    {16, 16},   {24, 16},
                {31, 16}, {32, 32}, {200, 128}, {256, 256}, {300, 256}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.megabytes);
        EXPECT_EQ(tt::entries_for_megabytes(r.megabytes), r.table_megabytes * megabyte_entries);
    }
    EXPECT_EQ(tt::entries_for_megabytes(16), 2097152u);
}

TEST(HashKey, SideToMoveChangesTheKey) {
    const engine_position p{{0x00000FFFu, 0xFFF00000u}, 0};
    const tt::hash_key a = tt::make_key(p, 0), b = tt::make_key(p, 1);
    EXPECT_NE(a.lock, b.lock);
    EXPECT_NE(a.index, b.index);
    const tt::hash_key again = tt::make_key(p, 0);
    EXPECT_EQ(a.lock, again.lock);
    EXPECT_EQ(a.index, again.index);
    // Any side flag other than 0 is the same side.
    EXPECT_EQ(tt::make_key(p, 7).lock, b.lock);
}

TEST_F(HashTable, StoresAndFindsEveryField) {
    EXPECT_EQ(table.size(), 8 * megabyte_entries);
    const engine_position p{{0x00000FFFu, 0xFFF00000u}, 0};
    tt::hash_key key;
    EXPECT_EQ(table.probe(p, 0, key), nullptr);
    const struct {
        int value, depth, bound, best, best_stored;
    } rows[] = {{-4000, 0, tt::bound_upper, 0, 0},
                {4000, 2047, tt::bound_lower, 31, 31},
                {-1, 96 * 8, tt::bound_exact, 33, 1},
                {0, 8, tt::bound_lower, 5, 5}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.value);
        tt::hash_entry* e = table.probe(p, 0, key);
        table.store(e, key, r.value, r.depth, r.bound, r.best);
        e = table.probe(p, 0, key);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(tt::entry_value(*e), r.value);
        EXPECT_EQ(tt::entry_depth(*e), r.depth);
        EXPECT_EQ(tt::entry_bound(*e), r.bound);
        EXPECT_EQ(tt::entry_best(*e), r.best_stored);
        EXPECT_FALSE(tt::entry_pv(*e));
    }
    EXPECT_EQ(table.probe(p, 1, key), nullptr);
}

TEST_F(HashTable, LockZeroIsNeverFound) {
    const tt::hash_key zero{1234, 0};
    table.store(nullptr, zero, 50, 16, tt::bound_exact, 2);
    EXPECT_EQ(table.find(zero), nullptr);
    // Its slot still counts as empty: the next position of the bucket takes it.
    const tt::hash_key other{1234, 77};
    table.store(nullptr, other, 10, 8, tt::bound_exact, 0);
    EXPECT_EQ(table.find(other), &table.entries()[1234]);
}

TEST_F(HashTable, FullBucketLosesItsShallowestEntry) {
    const std::uint32_t index = 4096;
    const tt::hash_key a{index, 11}, b{index, 12}, c{index, 13}, d{index, 14}, e{index, 15};
    table.store(nullptr, a, 1, 80, tt::bound_exact, 0);
    table.store(nullptr, b, 2, 40, tt::bound_exact, 0);
    table.store(nullptr, c, 3, 40, tt::bound_exact, 0);
    table.store(nullptr, d, 4, 56, tt::bound_exact, 0);
    // b and c have the same depth: the earlier one goes.
    EXPECT_EQ(table.find(b), nullptr);
    EXPECT_NE(table.find(c), nullptr);
    EXPECT_EQ(table.find(d), &table.entries()[index + 1]);

    // After ageing every entry has depth 0, so the first of the bucket is replaced.
    table.new_search();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(tt::entry_depth(table.entries()[index + i]), 0);
    EXPECT_EQ(tt::entry_value(*table.find(a)), 1);
    table.store(nullptr, e, 5, 8, tt::bound_exact, 0);
    EXPECT_EQ(table.find(a), nullptr);
    EXPECT_EQ(table.find(e), &table.entries()[index]);
}

TEST_F(HashTable, BucketAtTheLastIndexUsesTheSpareEntries) {
    const std::uint32_t last = static_cast<std::uint32_t>(table.size() - 1);
    for (std::uint32_t lock = 1; lock <= 3; ++lock)
        table.store(nullptr, tt::hash_key{last, lock}, 7, 8, tt::bound_exact, 0);
    EXPECT_EQ(table.find(tt::hash_key{last, 3}), &table.entries()[last + 2]);
    table.new_search();
    EXPECT_EQ(tt::entry_value(*table.find(tt::hash_key{last, 3})), 7);
}

TEST_F(HashTable, PrincipalVariationFlagSurvivesUpdatesButNotReplacement) {
    const std::uint32_t index = 99;
    const tt::hash_key a{index, 21}, b{index, 22}, c{index, 23}, d{index, 24};
    table.store(nullptr, a, 1, 8, tt::bound_exact, 0);
    table.store(nullptr, b, 2, 80, tt::bound_exact, 0);
    table.store(nullptr, c, 3, 80, tt::bound_exact, 0);
    tt::hash_entry* e = table.find(a);
    e->data |= tt::pv_flag;
    table.store(e, a, -5, 16, tt::bound_lower, 3);
    EXPECT_TRUE(tt::entry_pv(*table.find(a)));
    table.store(nullptr, a, -6, 16, tt::bound_lower, 3); // found again by walking the bucket
    EXPECT_TRUE(tt::entry_pv(*table.find(a)));
    EXPECT_EQ(tt::entry_value(*table.find(a)), -6);

    table.store(nullptr, d, 4, 24, tt::bound_exact, 1); // replaces a, the shallowest
    ASSERT_EQ(table.find(a), nullptr);
    EXPECT_FALSE(tt::entry_pv(*table.find(d)));

    // Ageing clears the flag and the depth and keeps value, best index, bound and lock.
    tt::hash_entry* f = table.find(b);
    f->data |= tt::pv_flag;
    table.new_search();
    EXPECT_FALSE(tt::entry_pv(*f));
    EXPECT_EQ(tt::entry_depth(*f), 0);
    EXPECT_EQ(tt::entry_value(*f), 2);
    EXPECT_EQ(f->lock, 22u);
}

TEST_F(HashTable, StaleEntryFromTheProbeIsNotOverwritten) {
    // The probe's entry was taken over by another position before the store.
    const tt::hash_key mine{500, 31}, other{500, 32};
    table.store(nullptr, mine, 1, 8, tt::bound_exact, 0);
    tt::hash_entry* probed = table.find(mine);
    probed->lock = other.lock;
    table.store(probed, mine, 9, 8, tt::bound_exact, 0);
    EXPECT_EQ(tt::entry_value(*table.find(other)), 1);
    EXPECT_EQ(tt::entry_value(*table.find(mine)), 9);
}

TEST_F(HashTable, SameRequestDoesNothingAndANewSizeStartsEmpty) {
    const tt::hash_key k{7, 5};
    table.store(nullptr, k, 3, 8, tt::bound_exact, 0);
    const int before = g_requests;
    EXPECT_TRUE(table.alloc(8, collect));
    EXPECT_EQ(g_requests, before);
    EXPECT_NE(table.find(k), nullptr);
    EXPECT_TRUE(table.alloc(10, collect)); // another request of the same table size: a new table
    EXPECT_EQ(table.size(), 8 * megabyte_entries);
    EXPECT_EQ(table.find(k), nullptr);
}

TEST_F(HashTable, FailedAllocationKeepsTheOldTable) {
    const tt::hash_key k{7, 5};
    table.store(nullptr, k, 3, 8, tt::bound_exact, 0);
    g_limit = 9 << 20;
    EXPECT_FALSE(table.alloc(64, collect));
    ASSERT_TRUE(table.has_table());
    EXPECT_EQ(table.megabytes(), 8);
    EXPECT_EQ(table.requested_megabytes(), 8);
    EXPECT_EQ(tt::entry_value(*table.find(k)), 3);
    ASSERT_EQ(g_log.size(), 2u);
    EXPECT_EQ(g_log[0], "Cannot allocate hashtable\n");
    EXPECT_EQ(g_log[1].rfind("There are ", 0), 0u);
    EXPECT_NE(g_log[1].find(" kbytes of ram available.\n"), std::string::npos);
    // The failed request is not remembered: asking again tries again.
    const int before = g_requests;
    g_limit = ~std::size_t{0};
    EXPECT_TRUE(table.alloc(64, collect));
    EXPECT_GT(g_requests, before);
    EXPECT_EQ(table.megabytes(), 64);
}

TEST(HashTableFirstAllocation, FallsBackToTheSmallestTableThenToNone) {
    g_requests = 0;
    g_limit = 9 << 20;
    tt::hash_table fallback{limited_allocate, std::free};
    EXPECT_FALSE(fallback.alloc(16, nullptr));
    ASSERT_TRUE(fallback.has_table());
    EXPECT_EQ(fallback.megabytes(), 8);

    g_limit = 0;
    tt::hash_table none{limited_allocate, std::free};
    EXPECT_FALSE(none.alloc(16, nullptr));
    EXPECT_FALSE(none.has_table());
    // Without a table every use is harmless.
    const engine_position p{{1, 2}, 0};
    tt::hash_key key;
    EXPECT_EQ(none.probe(p, 0, key), nullptr);
    none.store(nullptr, key, 1, 8, tt::bound_exact, 0);
    none.new_search();
    EXPECT_EQ(none.probe(p, 0, key), nullptr);
    g_limit = ~std::size_t{0};
    EXPECT_TRUE(none.alloc(16, nullptr));
    EXPECT_EQ(none.megabytes(), 16);
}
