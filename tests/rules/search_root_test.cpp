// The request's root search: iterations, windows and margins against the plain minimax, time,
// random choice, and a stop from another thread.
#include "movegen_test_util.h"
#include "search_test_util.h"

#include "platform/steady_clock.h"
#include "rules/engine_stop.h"
#include "rules/search_root.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <set>
#include <thread>

using movegen_test::BoardFromSquares;
using namespace search_test;

namespace {

// Freezes the steady clock for the life of the object.
struct TFrozenClock {
    TFrozenClock() {
        SetSteadyClockSource([] { return std::chrono::nanoseconds(1'000'000'000); });
    }
    ~TFrozenClock() { SetSteadyClockSource(nullptr); }
};

struct TRootCase {
    const char* name;
    TGameType variant;
    int side;
    const char* position;
    int maxDepth, margin;
};

const TRootCase RootCases[] = {
    {"RussianLevel0", gtRussian, 0, "w9 w10 w11 w14 b19 b22 b23 b27", 7, 0},
    {"RussianMargin", gtRussian, 0, "w9 w10 w11 w14 b19 b22 b23 b27", 6, 35},
    {"EnglishMargin", gtEnglish, 0, "w5 w6 w10 w11 b19 b22 b23 b28", 7, 15},
    {"EnglishKings", gtEnglish, 0, "W2 w9 w14 b19 b23 B31", 7, 5},
    {"ItalianMargin", gtItalian, 0, "w5 w9 w10 w14 b19 b23 b26 b27", 7, 25},
    {"CzechKings", gtCzech, 0, "W5 w10 w11 b22 b23 b27", 6, 0},
    {"PoolMargin", gtPool, 0, "w6 w10 w15 b18 b19 b22 b27", 7, 35},
    {"InternationalMargin", gtInternational, 0, "w31 w32 w33 w37 b17 b18 b19 b23", 6, 25},
};

// Over the iterations up to the deepest one, with the table kept from one to the next: the best
// score is the minimax value, every move within the margin carries its exact value, every other
// move is worse than best - margin.
TEST(VantorRootSearch, ScoresAgreeWithPlainMinimax) {
    THashTable table;
    table.Allocate(1 << 12);
    TEngineRandom rng(5);
    table.InitKeys(rng);
    TFrozenClock clock;
    for (const TRootCase& c : RootCases) {
        SCOPED_TRACE(c.name);
        const TBoard b = BoardFromSquares(c.position);
        const TRootSearchResult r =
            RunRootSearch(b, c.side, c.variant, {c.maxDepth, c.margin, 100000}, {&table, {}, &rng});
        ASSERT_GT(r.moves.size(), 1u);
        EXPECT_EQ(r.completedDepth, c.maxDepth);
        EXPECT_FALSE(r.stopped);
        const int best = Minimax(b, 1, c.maxDepth, c.side, c.variant, false);
        EXPECT_EQ(r.scores[0].score, best);
        int marked = 0;
        for (std::size_t i = 0; i < r.moves.size(); ++i) {
            SCOPED_TRACE(i);
            TBoard child = b;
            MakeMove(r.moves[i], child, c.variant);
            const int value = -Minimax(child, 2, c.maxDepth, 1 - c.side, c.variant, false);
            if (r.marks[i]) {
                ++marked;
                EXPECT_EQ(r.scores[i].score, value);
                EXPECT_EQ(r.scores[i].bound, value);
                EXPECT_GE(value + c.margin, best);
            } else {
                EXPECT_LE(value, best - c.margin);
            }
            if (i > 0) {
                EXPECT_LE(r.scores[i].score, r.scores[i - 1].score); // sorted
            }
        }
        EXPECT_EQ(marked, r.candidates);
        EXPECT_GE(r.chosen, 1);
        EXPECT_LE(r.chosen, r.candidates);
    }
}

TEST(VantorRootSearch, IterationsEndOnOneMoveDepthOrTime) {
    THashTable table;
    table.Allocate(1 << 12);
    TFrozenClock clock; // every iteration takes the minimum of 1 centisecond
    const struct {
        const char* name;
        const char* position;
        TRootSearchLimits limits;
        int depth;
    } cases[] = {
        {"OneLegalMove", "w1 b5 w9 b28", {98, 0, 100000000}, 5},     // 1-5 is the only move
        {"BudgetBelow3", "w9 w10 b22 b23", {98, 0, 2}, 5},           // target 1: one iteration
        {"BudgetAllowsMore", "w9 w10 b22 b23", {8, 0, 3}, 8},        // target 2: elapsed 1 goes on
        {"MaxDepthBelowFirst", "w9 w10 b22 b23", {2, 0, 100000}, 5}, // depth 5 is always searched
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> depths;
        TRootSearchEvents events;
        events.iterationDone = [&](const TRootSearchResult& r) { depths.push_back(r.completedDepth); };
        const TRootSearchResult r = RunRootSearch(BoardFromSquares(c.position), 0, gtEnglish, c.limits,
                                                  {&table, {}, nullptr}, events);
        EXPECT_EQ(r.completedDepth, c.depth);
        EXPECT_EQ(depths.size(), static_cast<std::size_t>(c.depth - 4));
        EXPECT_EQ(r.elapsed, 1);
        EXPECT_EQ(r.chosen, 1);
    }
}

TEST(VantorRootSearch, NoLegalMoveGivesNoMove) {
    THashTable table;
    table.Allocate(64);
    const TRootSearchResult r =
        RunRootSearch(BoardFromSquares("w1 b5 b10"), 0, gtEnglish, {}, {&table, {}, nullptr});
    EXPECT_TRUE(r.moves.empty());
    EXPECT_EQ(r.chosen, 0);
    EXPECT_EQ(r.completedDepth, 0);
}

TEST(VantorRootSearch, RandomChoiceAmongCandidatesRepeatsWithItsSeed) {
    THashTable table;
    table.Allocate(1 << 12);
    TFrozenClock clock;
    const TRootSearchLimits limits{5, 35, 100000};
    std::set<int> chosen;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        TEngineRandom a(seed), b(seed);
        const TRootSearchResult first =
            RunRootSearch(StartPosition64, 0, gtRussian, limits, {&table, {}, &a});
        const TRootSearchResult again =
            RunRootSearch(StartPosition64, 0, gtRussian, limits, {&table, {}, &b});
        ASSERT_GT(first.candidates, 1);
        EXPECT_EQ(first.chosen, again.chosen);
        EXPECT_TRUE(first.moves[first.chosen - 1].SameMove(again.moves[again.chosen - 1]));
        chosen.insert(first.chosen);
    }
    EXPECT_GT(chosen.size(), 1u);
}

// The stop word, set from another thread while a search of a budget of days runs, ends it. No
// bound on how fast: a loaded or instrumented build may take its time; the watchdog only turns a
// search that never stops into a failure instead of a hang.
TEST(VantorRootSearch, StopWordFromAnotherThreadEndsADeepSearch) {
    THashTable table;
    table.Allocate(1 << 16);
    std::promise<void> deepEnough;
    std::atomic<bool> signalled{false};
    TRootSearchEvents events;
    events.rootMove = [&](int depth, int, int) {
        if (depth >= 6 && !signalled.exchange(true)) deepEnough.set_value();
    };
    TRootSearchResult result;
    TStopWord stop;
    stop.Set(1); // a word left raised by an earlier request: the search clears it first
    std::thread worker([&] {
        result = RunRootSearch(StartPosition100, 0, gtInternational, {98, 0, 100000000},
                               {&table, {}, nullptr, &stop}, events);
    });
    deepEnough.get_future().wait();
    stop.Set(1);
    // Unstopped, the search to depth 98 would outlast any run: ending at all is the stop's work.
    test_support::MustEnd("a stopped root search", [&] { worker.join(); });
    EXPECT_TRUE(result.stopped);
    EXPECT_GE(result.completedDepth, 5);
    EXPECT_LT(result.completedDepth, 98);
}

} // namespace
