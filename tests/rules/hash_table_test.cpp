// The built-in engine's hash table: sizes, allocation failure, the probe walk and the storing rule,
// on tables of a few slots.
#include "movegen_test_util.h"

#include "rules/hash_table.h"
#include "rules/variant_state.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using movegen_test::BoardFromSquares;

namespace {

TEST(VantorHash, SetHashSizeRoundsTheSettingDown) {
    const struct {
        int setting, megabytes;
    } cases[] = {{-5, 7},    {0, 7},     {14, 7},    {15, 14},    {28, 14},      {29, 28},   {56, 28},
                 {57, 56},   {100, 56},  {112, 56},  {113, 112},  {224, 112},    {225, 224}, {448, 224},
                 {449, 448}, {896, 448}, {897, 896}, {1000, 896}, {1 << 30, 896}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        EXPECT_EQ(HashSizeMegabytes(c.setting), c.megabytes);
    }
    EXPECT_EQ(HashEntriesFor(7), 262144u);
    EXPECT_EQ(HashEntriesFor(HashSizeMegabytes(100)), 2097152u);
    EXPECT_EQ(HashEntriesFor(HashSizeMegabytes(1000)), 33554432u);
    // Entries x 28 is what the main window shows as megabytes.
    EXPECT_EQ(HashEntriesFor(896) * sizeof(THashEntry) / 1048576, 896u);
}

TEST(VantorHash, SetHashSizeAllocatesClearsAndDrawsKeysInRange) {
    THashTable table;
    TEngineRandom rng(7);
    const THashSizeResult r = SetHashSize(table, 20, rng);
    EXPECT_EQ(r.requestedMegabytes, 14);
    EXPECT_EQ(r.megabytes, 14);
    ASSERT_EQ(table.Size(), 524288u);
    EXPECT_EQ(r.entries, table.Size());
    EXPECT_EQ(table.StoredCount(), 0u);
    for (std::uint32_t s : {0u, 1000u, 524287u})
        EXPECT_EQ(table.EntryAt(s).key, TPositionKey{});
    // The start positions hash to different slots, within the table.
    const std::uint32_t a = table.Hash(StartPosition64, 32), b = table.Hash(BoardFromSquares("w1 b32"), 32);
    EXPECT_LT(a, table.Size());
    EXPECT_LT(b, table.Size());
    EXPECT_NE(a, b);
}

// Refuses every allocation above `Limit` entries.
std::vector<std::size_t> Requests;
std::size_t Limit = 0;
std::unique_ptr<THashEntry[]> LimitedAllocator(std::size_t entries) {
    Requests.push_back(entries);
    if (entries > Limit) return nullptr;
    return AllocateHashEntries(entries);
}

TEST(VantorHash, FailedAllocationIsRetriedSmallerAndReported) {
    THashTable table(LimitedAllocator);
    TEngineRandom rng(1);
    Requests.clear();
    Limit = HashEntriesFor(14);
    THashSizeResult r = SetHashSize(table, 100, rng);
    EXPECT_EQ(r.requestedMegabytes, 56);
    EXPECT_EQ(r.megabytes, 14);
    EXPECT_EQ(table.Size(), HashEntriesFor(14));
    EXPECT_EQ(Requests,
              (std::vector<std::size_t>{HashEntriesFor(56), HashEntriesFor(28), HashEntriesFor(14)}));

    // Not even the smallest table: no slots, reported as 0 megabytes; probing still works.
    Limit = 0;
    r = SetHashSize(table, 7, rng);
    EXPECT_EQ(r.megabytes, 0);
    EXPECT_EQ(table.Size(), 0u);
    THashProbe p;
    table.Probe(StartPosition64, 0, 32, p);
    EXPECT_FALSE(p.found);
    table.StoreResult(p, 0, 3, 10, 1, -2000, 2000);
    EXPECT_EQ(table.StoredCount(), 0u);
}

// A table of `size` slots with fixed keys, and boards sorted by the slot they hash to.
struct TinyTable {
    THashTable table;
    std::vector<std::vector<TBoard>> bySlot;

    explicit TinyTable(std::size_t size) : bySlot(size) {
        table.Allocate(size);
        TEngineRandom rng(12345);
        table.InitKeys(rng);
        for (int s = 1; s <= 32; ++s)
            for (const char* piece : {"w", "b", "W", "B"}) {
                const TBoard b = BoardFromSquares(piece + std::to_string(s));
                bySlot[table.Hash(b, 32)].push_back(b);
            }
    }
    const TBoard& BoardAt(std::uint32_t slot, std::size_t k = 0) {
        EXPECT_GT(bySlot[slot].size(), k) << "no board hashes to slot " << slot;
        return bySlot[slot].at(k);
    }
    // Stores a new entry for (board, side) with a result inside the full window.
    THashProbe Put(const TBoard& b, int side, int remaining = 2) {
        THashProbe p;
        table.Probe(b, side, 32, p);
        table.StoreResult(p, side, remaining, 0, 1, -2000, 2000);
        return p;
    }
};

TEST(VantorHash, ProbeWalksOnPastOtherPositionsAndWraps) {
    TinyTable t(8);
    const TBoard a = t.BoardAt(7, 0), b = t.BoardAt(7, 1);
    THashProbe p = t.Put(a, 0);
    EXPECT_FALSE(p.found);
    EXPECT_EQ(p.slot, 7u);
    // The same board with the other side to move is another position: it goes to slot 0.
    p = t.Put(a, 1);
    EXPECT_EQ(p.slot, 0u);
    p = t.Put(b, 0);
    EXPECT_EQ(p.slot, 1u);

    t.table.ResetProbeCounters();
    t.table.Probe(b, 0, 32, p);
    EXPECT_TRUE(p.found);
    EXPECT_EQ(p.slot, 1u);
    EXPECT_EQ(t.table.ProbeCount(), 1u);
    EXPECT_EQ(t.table.StepCount(), 3u); // slots 7, 0, 1
}

TEST(VantorHash, HitCountReachesTheTableOnlyWhenWrittenBack) {
    TinyTable t(8);
    const TBoard a = t.BoardAt(3);
    t.Put(a, 0);
    THashProbe p;
    t.table.Probe(a, 0, 32, p);
    ASSERT_TRUE(p.found);
    EXPECT_EQ(p.entry.hits, 1);
    EXPECT_EQ(t.table.EntryAt(p.slot).hits, 0);
    t.table.StoreResult(p, 0, 2, 0, 1, -2000, 2000);
    EXPECT_EQ(t.table.EntryAt(p.slot).hits, 1);
}

TEST(VantorHash, HalfFullTableStoresNoNewPositionButUpdatesOldOnes) {
    TinyTable t(8);
    std::vector<TBoard> stored;
    for (std::uint32_t slot = 0; stored.size() < 4; ++slot)
        if (!t.bySlot[slot].empty()) {
            stored.push_back(t.bySlot[slot][0]);
            t.Put(stored.back(), 0);
        }
    EXPECT_EQ(t.table.StoredCount(), 4u);

    // A fifth position is refused: its slot stays empty.
    THashProbe p = t.Put(t.BoardAt(7, 1), 1);
    EXPECT_FALSE(p.found);
    EXPECT_EQ(t.table.StoredCount(), 4u);
    EXPECT_EQ(t.table.EntryAt(p.slot).key, TPositionKey{});

    // A stored one still takes a result of a search at least as deep.
    t.table.Probe(stored[0], 0, 32, p);
    ASSERT_TRUE(p.found);
    t.table.StoreResult(p, 0, 5, 300, 2, -100, 200);
    EXPECT_EQ(t.table.EntryAt(p.slot).depth, 5);
    EXPECT_EQ(t.table.EntryAt(p.slot).lower, 200);
    EXPECT_EQ(t.table.EntryAt(p.slot).best, 2);

    t.table.Clear();
    EXPECT_EQ(t.table.StoredCount(), 0u);
    EXPECT_EQ(t.table.EntryAt(p.slot).key, TPositionKey{});
}

TEST(VantorHash, StoringRuleForBoundsAndDepths) {
    struct TStore {
        int remaining, best, alpha, beta;
    };
    struct TCase {
        const char* name;
        std::vector<TStore> stores;
        int depth, lower, upper;
    };
    const TCase cases[] = {
        // Fail-low keeps the window's alpha as the upper bound, not the lower score found.
        {"FailLowStoresAlpha", {{3, -50, -20, 40}}, 3, -2000, -20},
        {"FailHighStoresBeta", {{3, 90, -20, 40}}, 3, 40, 2000},
        {"InsideTheWindowLeavesBothBounds", {{3, 10, -20, 40}}, 3, -2000, 2000},
        {"EqualDepthCombinesBounds", {{3, 90, -20, 40}, {3, -50, -10, 60}}, 3, 40, -10},
        {"ShallowerResultIsDropped", {{3, 90, -20, 40}, {2, -50, -10, 60}}, 3, 40, 2000},
        {"DeeperResultStartsAfresh", {{3, 90, -20, 40}, {4, -50, -10, 60}}, 4, -2000, -10},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TinyTable t(8);
        const TBoard b = t.BoardAt(2);
        THashProbe p;
        for (const TStore& s : c.stores) {
            t.table.Probe(b, 1, 32, p);
            t.table.StoreResult(p, 1, s.remaining, s.best, 1, s.alpha, s.beta);
        }
        const THashEntry& e = t.table.EntryAt(p.slot);
        TPositionKey key;
        PositionToKey(b, key);
        EXPECT_EQ(e.key, key);
        EXPECT_EQ(e.side, 1);
        EXPECT_EQ(e.depth, c.depth);
        EXPECT_EQ(e.lower, c.lower);
        EXPECT_EQ(e.upper, c.upper);
        EXPECT_EQ(t.table.StoredCount(), 1u);
    }
}

// The table belongs to the engine's owner above this layer, which registers the clearing.
TEST(VantorHash, ChangingTheVariantClearsTheEngineTable) {
    THashTable table;
    table.Allocate(64);
    THashProbe p;
    table.Probe(StartPosition64, 0, SquareCount, p);
    table.StoreResult(p, 0, 1, 0, 1, -2000, 2000);
    ASSERT_EQ(table.StoredCount(), 1u);
    const TVariantHooks saved = VariantHooks();
    VariantHooks().clearHashTable = [&] { table.Clear(); };
    SetGameVariant(CurrentVariant);
    VariantHooks() = saved;
    EXPECT_EQ(table.StoredCount(), 0u);
    EXPECT_EQ(table.EntryAt(p.slot).key, TPositionKey{});
}

TEST(VantorHash, TotalPhysicalMemoryAgreesWithTheKernel) {
    std::ifstream meminfo("/proc/meminfo");
    std::string name;
    std::uint64_t kilobytes = 0;
    while (meminfo >> name && name != "MemTotal:")
        meminfo.ignore(256, '\n');
    ASSERT_TRUE(meminfo >> kilobytes);
    const double ratio = static_cast<double>(TotalPhysicalMemory()) / (static_cast<double>(kilobytes) * 1024);
    EXPECT_NEAR(ratio, 1.0, 0.01);
}

} // namespace
