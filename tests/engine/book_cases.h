#pragma once
// The book's move choice over one rule set's move lists. Included by the Italian and the English
// sources; each sees its own core.

#include "book_writer.h"
#include "search_fixture.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <tuple>

namespace book_cases {
namespace {

using book_test::book_writer;
using search_test::start_position;
namespace core = marrak;

move_list moves_of(const engine_position& p, int side) {
    move_list list;
    core::gen::generate_legal(p, list, side);
    return list;
}

core::opening_book load(const book_writer& w) {
    core::opening_book book;
    const auto bytes = w.bytes();
    EXPECT_TRUE(core::load_book_image(book, bytes.data(), bytes.size(), "test.odb"));
    return book;
}

// The root (side 0 at the start) lists moves 0, 1 and 2 with score 0; below them the book holds
// lines of score 0, 0 and -4, and below the unlisted move 3 one of score 0. Moves 4.. are not in
// the book. Every child entry lists only index 31, a move no position here has: lines of depth 1.
book_writer fork_book(int root_score = 0) {
    book_writer w(64);
    const move_list root = moves_of(start_position, 0);
    w.add(start_position, 0, {0, 1, 2}, root_score);
    const int child_scores[] = {0, 0, -4, 0};
    for (int i = 0; i < 4; ++i)
        w.add(root.moves[i], 1, {31}, child_scores[i]);
    return w;
}

int choose(core::opening_book& book, int kind, const engine_position& p, int side, std::string& text,
           int& score, const core::history::game_history& history = {}) {
    const move_list moves = moves_of(p, side);
    int index = -1;
    score = 99;
    return core::choose_book_move(book, kind, p, side, moves, history, index, score, text) ? index : -1;
}

void kind_three_takes_only_the_best_lines() {
    core::opening_book book = load(fork_book());
    std::set<int> chosen;
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        book.random.seed(seed);
        std::string text;
        int score = 0;
        const int index = choose(book, 3, start_position, 0, text, score);
        chosen.insert(index);
        EXPECT_EQ(score, 0);
    }
    // Move 2's line is 4 worse (weight 0.01, listed); moves 0, 1 and the unlisted 3 weigh 1.
    EXPECT_EQ(chosen, (std::set<int>{0, 1, 3}));
}

void choice_text_lists_the_weighed_moves() {
    core::opening_book book = load(fork_book());
    const move_list root = moves_of(start_position, 0);
    const auto name = [&](int i) { return core::text::move_to_text(start_position, root.moves[i]); };
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        book.random.seed(seed);
        std::string text;
        int score = 0;
        const int index = choose(book, 1, start_position, 0, text, score);
        SCOPED_TRACE(text);
        // Kind 1: weights 1, 1, 1.04^-4 (listed) and 1 (unlisted); F = 0.1 takes all four.
        ASSERT_GE(index, 0);
        ASSERT_LE(index, 3);
        EXPECT_EQ(text.rfind(name(index) + "(0/1)*", 0), 0u);
        // The others in sorted order: listed before unlisted on equal weight, then the lighter.
        std::string rest;
        for (int i : {0, 1, 3, 2})
            if (i != index) rest += "  " + name(i) + (i == 3 ? "(0/1)?" : i == 2 ? "(0/1)*" : "(0/1)*");
        EXPECT_EQ(text.substr(text.find("  ") == std::string::npos ? text.size() : text.find("  ")), rest);
    }
}

void refuses_a_repetition_that_claims_a_win() {
    // One listed move whose line is the root's own score; the position after it is in the history.
    struct row {
        int side, score;
        bool played;
    } rows[] = {{0, 2, false}, {0, 1, true}, {0, -5, true}, {1, -2, false}, {1, -1, true}, {1, 5, true}};
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << "side " << r.side << " score " << r.score);
        const move_list root = moves_of(start_position, r.side);
        book_writer w;
        w.add(start_position, r.side, {0}, r.score);
        core::opening_book book = load(w);
        core::history::game_history history;
        std::string text;
        int score = 0;
        EXPECT_EQ(choose(book, 2, start_position, r.side, text, score, history), 0);
        history.push(root.moves[0], 0, 0);
        EXPECT_EQ(choose(book, 2, start_position, r.side, text, score, history), r.played ? 0 : -1);
    }
}

void no_candidates_no_move() {
    core::history::game_history history;
    std::string text;
    int score = 0;
    // The entry lists only a move index past the list, and no move leads into the book.
    book_writer w;
    w.add(start_position, 0, {31}, 7);
    core::opening_book book = load(w);
    EXPECT_EQ(choose(book, 1, start_position, 0, text, score), -1);
    // A position in the book with no legal move at all.
    move_list none{};
    int index = -1;
    EXPECT_EQ(core::choose_book_move(book, 1, start_position, 0, none, history, index, score, text), 0);
    // Book kinds without parameters never give a move, "off" neither.
    core::opening_book fork = load(fork_book());
    for (int kind : {0, 4, 7, -1}) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(choose(fork, kind, start_position, 0, text, score), -1);
    }
    // Not in the book: the other side to move.
    EXPECT_EQ(choose(fork, 1, start_position, 1, text, score), -1);
}

// A chain of 300 king positions, each listing the one move to the next, none repeated: a walk
// that picks its moves at random, tried again from the start when it runs into a dead end.
bool build_chain(std::uint32_t seed, book_writer& w, std::vector<std::pair<engine_position, int>>& chain) {
    engine_position p{{0x00000003u, 0xC0000000u}, 0xC0000003u};
    w = book_writer(1024);
    w.probe_limit = 1024;
    chain.clear();
    std::mt19937 random(seed);
    std::set<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, int>> seen;
    const auto key = [](const engine_position& q, int side) {
        return std::tuple(q.pieces[0], q.pieces[1], q.kings, side);
    };
    int side = 0;
    for (int ply = 0; ply < 300; ++ply) {
        seen.insert(key(p, side));
        const move_list moves = moves_of(p, side);
        std::vector<int> fresh;
        for (int i = 0; i < int(moves.count) && i < 31; ++i) {
            const engine_position& q = moves.moves[i];
            // No capture anywhere, so the chain never thins out.
            if (!seen.count(key(q, 1 - side)) && __builtin_popcount(q.pieces[0] | q.pieces[1]) == 4 &&
                !core::gen::has_capture(q, 1 - side))
                fresh.push_back(i);
        }
        if (fresh.empty()) return false;
        const int next = fresh[random() % fresh.size()];
        w.add(p, side, {next}, 3);
        chain.emplace_back(p, side);
        p = moves.moves[next];
        side = 1 - side;
    }
    return true;
}

void long_chain_is_cut() {
    book_writer w;
    std::vector<std::pair<engine_position, int>> chain;
    bool built = false;
    for (std::uint32_t seed = 1; seed < 100 && !built; ++seed)
        built = build_chain(seed, w, chain);
    ASSERT_TRUE(built);
    core::opening_book book = load(w);
    for (const auto& [q, s] : chain)
        ASSERT_TRUE(core::book_probe(book, q, s).has_value());
    // The walk follows the line 128 plies deep and no further.
    const auto line = core::walk_book(book, 1, chain[0].first, 0);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->depth, core::book_walk_limit + 1);
    EXPECT_EQ(line->score, 3);
    std::string text;
    int score = 0;
    book.random.seed(5);
    EXPECT_GE(choose(book, 1, chain[0].first, 0, text, score), 0);
    EXPECT_NE(text.find("(3/129)*"), std::string::npos) << text;
    // A line kept from a choice near the chain's end is 60 plies deep: met 90 plies down, it is
    // cut again at the limit.
    EXPECT_GE(choose(book, 1, chain[239].first, 1, text, score), 0);
    EXPECT_NE(text.find("(3/60)*"), std::string::npos) << text;
    EXPECT_GE(choose(book, 1, chain[150].first, 0, text, score), 0);
    EXPECT_NE(text.find("(3/129)*"), std::string::npos) << text;
}

// A book of random games from `start`: each position lists the moves played there (as many as
// its entry holds), with a random score. King games come back to their positions: cycles.
book_writer games_book(const engine_position& start, int games, int plies, std::uint32_t width,
                       std::uint32_t seed, std::vector<std::pair<engine_position, int>>& positions) {
    using key = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, int>;
    std::map<key, std::vector<int>> played;
    std::mt19937 random(seed);
    for (int g = 0; g < games; ++g) {
        engine_position p = start;
        int side = 0;
        for (int ply = 0; ply < plies; ++ply) {
            const move_list moves = moves_of(p, side);
            if (moves.count == 0) break;
            const int pick = int(random() % std::min<std::uint32_t>(moves.count, ply < 4 ? 3 : width));
            std::vector<int>& listed = played[{p.pieces[0], p.pieces[1], p.kings, side}];
            if (std::find(listed.begin(), listed.end(), pick) == listed.end() &&
                listed.size() < (p.kings ? 2u : 6u))
                listed.push_back(pick);
            p = moves.moves[pick];
            side = 1 - side;
        }
    }
    book_writer w(4096);
    w.probe_limit = 4096;
    for (const auto& [k, listed] : played) {
        const engine_position p{{std::get<0>(k), std::get<1>(k)}, std::get<2>(k)};
        w.add(p, std::get<3>(k), listed, int(random() % 9) - 4);
        positions.emplace_back(p, std::get<3>(k));
    }
    return w;
}

// Four king positions in a ring, each listing the move to the next; the first also lists a move
// out of the ring to a position of score -5. What a walk finds in the ring depends on where it
// entered it.
std::vector<std::pair<engine_position, int>> ring_book(book_writer& w) {
    const engine_position a{{1u << 5, 1u << 26}, 1u << 5 | 1u << 26};
    std::vector<std::pair<engine_position, int>> ring{{a, 0}};
    std::vector<int> to_next;
    for (int step = 0; step < 4; ++step) {
        const auto& [p, side] = ring.back();
        const move_list moves = moves_of(p, side);
        // Out and on for the first two steps, back for the last two.
        const engine_position& back_to = ring[std::size_t(step) - 2 * (step >= 2)].first;
        int next = step < 2 ? 0 : -1;
        for (int i = 0; step >= 2 && i < int(moves.count); ++i)
            if (moves.moves[i].pieces[side] == back_to.pieces[side]) next = i;
        EXPECT_GE(next, 0);
        to_next.push_back(next);
        if (step < 3) ring.emplace_back(moves.moves[next], 1 - side);
    }
    const engine_position out = moves_of(a, 0).moves[1];
    for (int i = 0; i < 4; ++i) {
        const auto& [p, side] = ring[std::size_t(i)];
        w.add(p, side, i == 0 ? std::vector<int>{to_next[0], 1} : std::vector<int>{to_next[std::size_t(i)]},
              i - 1);
    }
    w.add(out, 1, {31}, -5);
    return ring;
}

// Lines kept from earlier choices give the very choice a fresh book gives, also where lines
// come back to their positions.
void kept_lines_choose_as_a_fresh_book() {
    struct row {
        const char* name;
        engine_position start;
        int games, plies;
        std::uint32_t width;
    } rows[] = {
        {"men", start_position, 40, 30, 7},
        {"four kings", {{0x00000003u, 0xC0000000u}, 0xC0000003u}, 40, 30, 7},
        // Two kings on few squares: many lines come back to their positions.
        {"two kings", {{0x00000001u, 0x80000000u}, 0x80000001u}, 60, 40, 2},
        {"ring", {}, 0, 0, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        std::vector<std::pair<engine_position, int>> positions;
        book_writer w =
            r.games ? games_book(r.start, r.games, r.plies, r.width, 17, positions) : book_writer();
        if (!r.games) {
            positions = ring_book(w);
            // Every entry point twice, in two orders.
            const auto once = positions;
            positions.insert(positions.end(), once.rbegin(), once.rend());
        }
        const auto bytes = w.bytes();
        core::opening_book warm, cold;
        core::load_book_image(warm, bytes.data(), bytes.size(), "warm.odb");
        core::load_book_image(cold, bytes.data(), bytes.size(), "cold.odb");
        int chosen = 0;
        for (int kind = 1; kind <= 3; ++kind) {
            for (std::size_t i = 0; i < positions.size(); i += r.games ? 3 : 1) {
                const auto& [p, side] = positions[i];
                // Nothing kept: as freshly loaded.
                cold.lasting.clear();
                cold.random.seed(std::uint32_t(i));
                warm.random.seed(std::uint32_t(i));
                std::string warm_text, cold_text;
                int warm_score = 0, cold_score = 0;
                const int a = choose(warm, kind, p, side, warm_text, warm_score);
                const int b = choose(cold, kind, p, side, cold_text, cold_score);
                ASSERT_EQ(a, b) << "kind " << kind << " position " << i;
                ASSERT_EQ(warm_text, cold_text) << "kind " << kind << " position " << i;
                chosen += a >= 0;
            }
        }
        EXPECT_GT(chosen, 0);
    }
}

// The move driver plays the book's move, with its text in the status line and the log.
void driver_plays_the_book_move() {
    search_test::fixture f;
    f.ctx->book() = load(fork_book());
    f.ctx->book().random.seed(3);
    f.ctx->settings().book = 3;
    engine_position chosen{};
    core::search::driver_result result{};
    f.ctx->game().clear();
    core::search::set_request(*f.ctx, &f.playnow, 1e9, 1e9, 1e9);
    const int code = core::search::choose_move(*f.ctx, start_position, 0, chosen, &result);
    EXPECT_EQ(code, ENGINE_UNKNOWN);
    const move_list root = moves_of(start_position, 0);
    bool from_book = false;
    for (int i : {0, 1, 3})
        from_book |= engine_test::same(chosen, root.moves[i]);
    EXPECT_TRUE(from_book);
    const std::string status = f.status;
    EXPECT_NE(status.find("(0/1)*"), std::string::npos) << status;
    EXPECT_NE(f.log.find(status), std::string::npos);
    // With the book off the search chooses.
    f.ctx->settings().book = 0;
    f.status[0] = 0;
    f.ctx->control().depth_cap = 1;
    core::search::choose_move(*f.ctx, start_position, 0, chosen, &result);
    EXPECT_EQ(std::string(f.status).find("(0/1)*"), std::string::npos);
}

} // namespace
} // namespace book_cases
