// Time control with an injected clock: which iterations run, what a stop plays, and that a stopped
// search leaves the table as it was at the stop.

#include "search_fixture.h"

#include <atomic>
#include <cstdlib>
#include <random>
#include <regex>
#include <thread>

using namespace search_test;
using engine_test::diagram;

namespace {

// The depth and move of each completed iteration, from the log's result lines.
std::vector<std::pair<int, std::string>> iterations(const fixture& f) {
    std::vector<std::pair<int, std::string>> out;
    const std::regex line("best (\\S+), value -?\\d+, depth (\\d+)/.*");
    for (const auto& l : f.log_lines("best ")) {
        std::smatch m;
        if (std::regex_match(l, m, line)) out.emplace_back(std::stoi(m[2]), m[1]);
    }
    return out;
}

std::vector<int> depths(const fixture& f) {
    std::vector<int> d;
    for (const auto& [depth, move] : iterations(f))
        d.push_back(depth);
    return d;
}

// Positions of games of random moves from the start, one every few plies.
std::vector<engine_position> middle_games(unsigned seed, int count) {
    std::mt19937 rng(seed);
    std::vector<engine_position> out;
    while (static_cast<int>(out.size()) < count) {
        engine_position p = start_position;
        int side = 0;
        for (int ply = 0; ply < 24; ++ply, side = 1 - side) {
            const auto moves = legal_moves(p, side);
            if (moves.empty()) break;
            p = moves[rng() % moves.size()];
            if (ply >= 10 && ply % 4 == 1 && side == 1) out.push_back(p); // colour 2 (side 0) to move
        }
    }
    out.resize(count);
    return out;
}

} // namespace

TEST(TimeControl, SingleMoveRunsIterationsOneThreeFive) {
    fixture f;
    // Colour 2's one man must take: the only legal move.
    const auto p = diagram(
        {"........", "........", "........", "......w.", "........", "....w...", "...b....", "........"});
    ASSERT_EQ(legal_moves(p, 0).size(), 1u);
    engine_position chosen;
    marrak::search::driver_result r;
    f.choose(p, 0, marrak::search::max_iteration, chosen, r);
    EXPECT_EQ(depths(f), (std::vector<int>{1, 3, 5}));
    EXPECT_TRUE(engine_test::same(chosen, legal_moves(p, 0)[0]));
    // The judgement's flag: the last iteration counter (7) is not above 7.
    const auto& newest = f.ctx->game().ring((f.ctx->game().index() + 31) % 32);
    EXPECT_EQ(newest.flag, 0);
    EXPECT_EQ(f.playnow, 0);
}

TEST(TimeControl, SoftLimitStopsBeforeIterationSeven) {
    fixture f;
    marrak::search::set_request(*f.ctx, &f.playnow, 0.5, 0.5, 1e9);
    f.ctx->set_clock([&f] { return f.now += 400; }); // every look at the clock costs 0.4 s
    engine_position chosen;
    marrak::search::driver_result r;
    f.choose(start_position, 0, marrak::search::max_iteration, chosen, r);
    EXPECT_EQ(depths(f), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(r.depth, 7);

    // Without the clock running, iteration 7 follows.
    fixture g;
    g.choose(start_position, 0, 7, chosen, r);
    EXPECT_EQ(depths(g), (std::vector<int>{1, 3, 5, 7}));
}

// A stop asked for during iteration 3 is honoured from iteration 5 on: the move of iteration 3 is
// played, in positions where iteration 5 would choose another.
TEST(TimeControl, PlayNowInIterationThreePlaysItsMove) {
    int tried = 0;
    for (const engine_position& p : middle_games(11, 40)) {
        fixture deep;
        engine_position five;
        marrak::search::driver_result r;
        deep.choose(p, 0, 5, five, r);
        const auto deep_iterations = iterations(deep);
        ASSERT_EQ(deep_iterations.size(), 3u);
        if (deep_iterations[1].second == deep_iterations[2].second) continue;
        ++tried;

        fixture f;
        f.ctx->set_clock([&f] {
            if (f.ctx->control().iteration == 3) f.playnow = 1;
            return f.now;
        });
        engine_position chosen;
        f.choose(p, 0, marrak::search::max_iteration, chosen, r);
        const auto done = iterations(f);
        ASSERT_EQ(depths(f), (std::vector<int>{1, 3}));
        EXPECT_EQ(marrak::text::move_to_text(p, chosen), done.back().second);
        EXPECT_NE(marrak::text::move_to_text(p, chosen), deep_iterations[2].second);
        EXPECT_EQ(f.playnow, 0);
        if (tried == 3) break;
    }
    EXPECT_EQ(tried, 3) << "too few positions where iterations 3 and 5 disagree";
}

// The hard limit is looked at every 131,072 nodes: the search writes 1 into the play-now word
// there, plays the last completed iteration's move, leaves the word 0, and has stored nothing
// since the stop.
TEST(TimeControl, HardLimitStopsAtTheClockTestAndStoresNothingAfter) {
    fixture f;
    marrak::search::set_request(*f.ctx, &f.playnow, 1e9, 1e9, 1.0);
    const std::int64_t start = f.now;
    std::vector<marrak::tt::hash_entry> at_stop;
    // After the clock test that stops the search nothing looks at the clock again.
    std::uint32_t last_nodes = 0;
    auto& table = f.ctx->hash();
    f.ctx->set_clock([&] {
        const std::uint32_t nodes = f.ctx->control().nodes;
        last_nodes = nodes;
        if (nodes < 100000) return start;
        if (!f.playnow) at_stop.assign(table.entries(), table.entries() + table.size_with_spares());
        return start + 5000;
    });
    engine_position chosen;
    marrak::search::driver_result r;
    f.choose(start_position, 0, marrak::search::max_iteration, chosen, r);
    EXPECT_TRUE(f.ctx->control().stopped);
    EXPECT_GE(last_nodes, 131072u);
    EXPECT_EQ(last_nodes & 0x1FFFEu, 0u) << last_nodes;
    EXPECT_EQ(f.playnow, 0);
    ASSERT_FALSE(iterations(f).empty());
    EXPECT_EQ(marrak::text::move_to_text(start_position, chosen), iterations(f).back().second);
    ASSERT_EQ(at_stop.size(), table.size_with_spares());
    std::size_t differ = 0;
    for (std::size_t i = 0; i < at_stop.size(); ++i)
        if (at_stop[i].lock != table.entries()[i].lock || at_stop[i].data != table.entries()[i].data)
            ++differ;
    EXPECT_EQ(differ, 0u);
}

// The host's side of a search on another thread: it reads the status buffer while the engine
// writes it (both byte-wise atomic), and its play-now word ends the search from iteration 5 on.
TEST(TimeControl, HostThreadReadsTheStatusAndStopsTheSearch) {
    fixture f;
    f.ctx->set_clock(marrak::search::steady_milliseconds);
    std::atomic<bool> done{false};
    engine_position chosen;
    marrak::search::driver_result r;
    std::thread engine([&] {
        f.choose(start_position, 0, marrak::search::max_iteration, chosen, r);
        done = true;
    });
    std::string seen;
    bool asked = false;
    while (!done) {
        char copy[ENGINE_STATUS_TEXT_SIZE];
        for (int i = 0; i < ENGINE_STATUS_TEXT_SIZE; ++i)
            copy[i] = std::atomic_ref<char>(f.status[i]).load(std::memory_order_relaxed);
        copy[ENGINE_STATUS_TEXT_SIZE - 1] = '\0';
        seen = copy;
        // Once iteration 7 or a later one is under way, ask for the move, once: the engine clears
        // the word. A loaded machine may let this thread see a later iteration first.
        const std::size_t at = seen.find("depth ");
        const int depth = at == std::string::npos ? 0 : std::atoi(seen.c_str() + at + 6);
        if (!asked && depth >= 7) {
            std::atomic_ref<int>(f.playnow).store(1);
            asked = true;
        }
        std::this_thread::yield();
    }
    engine.join();
    EXPECT_TRUE(asked);
    EXPECT_EQ(std::atomic_ref<int>(f.playnow).load(), 0);
    EXPECT_TRUE(contains(legal_moves(start_position, 0), chosen));
    EXPECT_GE(r.depth, 7);
    EXPECT_EQ(seen.rfind("value", 0), 0u) << seen;
}
