// Game history and the result judgement of the engine's move.

#include "history.h"

#include <gtest/gtest.h>

#include <vector>

namespace history = marrak::history;

namespace {

// A position of six pieces, three a side, told apart by `n` (0..15).
engine_position six(int n) {
    return engine_position{{0x7u << n, 0x7u << 24}, 0};
}

struct earlier {
    engine_position position;
    int score;
    int flag;
};

struct result_case {
    const char* name;
    std::vector<earlier> before; // pushed through game_result first, oldest first
    engine_position position;
    int side, score, flag, expected;
};

// Distinct positions of 13 (or 14) pieces.
engine_position pieces13(int n) {
    return engine_position{{0x3Fu << n, 0x7Fu << 24}, 0};
}
engine_position pieces14(int n) {
    return engine_position{{0x7Fu << n, 0x7Fu << 24}, 0};
}
// Distinct positions without colour-2 pieces.
engine_position colour1_only(int n) {
    return engine_position{{0, 0xFu << (4 * n)}, 0};
}

std::vector<earlier> series(engine_position (*make)(int), int count, int score) {
    std::vector<earlier> v;
    for (int i = 0; i < count; ++i)
        v.push_back({make(i + 1), score, 0});
    return v;
}

std::vector<earlier> repeat(int count, int score, int flag) {
    std::vector<earlier> v;
    for (int i = 0; i < count; ++i)
        v.push_back({six(i + 1), score, flag});
    return v;
}

} // namespace

TEST(GameResult, JudgesScoreFlagAndHistory) {
    const result_case cases[] = {
        {"above 2000 wins for side 0", {}, six(0), 0, 2001, 0, ENGINE_WIN},
        {"above 2000 loses for side 1", {}, six(0), 1, 2001, 0, ENGINE_LOSS},
        {"below -2000 loses for side 0", {}, six(0), 0, -2001, 0, ENGINE_LOSS},
        {"exactly 2000 is not decided without the flag", {}, six(0), 0, 2000, 0, ENGINE_UNKNOWN},
        {"exactly 2000 with the flag wins", {}, six(0), 0, 2000, 1, ENGINE_WIN},
        {"-150 with the flag is decisive", {}, six(0), 0, -150, 1, ENGINE_LOSS},
        {"-149 with the flag is not", {}, six(0), 0, -149, 1, ENGINE_UNKNOWN},
        {"150 with the flag loses for side 1", {}, six(0), 1, 150, 1, ENGINE_LOSS},
        {"500 without the flag and only 7 decisive scores", repeat(6, 500, 0), six(0), 0, 500, 0,
         ENGINE_UNKNOWN},
        {"500 without the flag after 8 decisive scores", repeat(7, 500, 0), six(0), 0, 500, 0, ENGINE_WIN},
        {"a decisive run is broken by one small score",
         [] {
             auto v = repeat(7, 500, 0);
             v[2].score = 149;
             return v;
         }(),
         six(0), 0, 500, 0, ENGINE_UNKNOWN},
        {"a third repetition draws",
         {{six(3), 0, 0}, {six(4), 0, 0}, {six(3), 0, 0}},
         six(3),
         0,
         0,
         0,
         ENGINE_DRAW},
        {"a second one does not", {{six(3), 0, 0}, {six(4), 0, 0}}, six(3), 0, 0, 0, ENGINE_UNKNOWN},
        {"a repetition draws also with the flag and a small score",
         {{six(3), 20, 1}, {six(3), 20, 1}},
         six(3),
         0,
         20,
         1,
         ENGINE_DRAW},
        {"six quiet draw scores", repeat(5, 3, 0), six(0), 0, -1, 0, ENGINE_DRAW},
        {"five are not enough", repeat(4, 3, 0), six(0), 0, -1, 0, ENGINE_UNKNOWN},
        {"a score of 2 is not a quiet draw", repeat(5, 2, 0), six(0), 0, 1, 0, ENGINE_UNKNOWN},
        {"13 pieces may draw quietly", series(pieces13, 5, 1), pieces13(0), 0, 1, 0, ENGINE_DRAW},
        {"14 pieces may not",
         [] {
             auto v = series(pieces13, 5, 1);
             v[0].position = pieces14(1);
             return v;
         }(),
         pieces13(0), 0, 1, 0, ENGINE_UNKNOWN},
        {"no colour-2 piece: no quiet draw", series(colour1_only, 5, 1), colour1_only(0), 0, 1, 0,
         ENGINE_UNKNOWN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        history::game_history h;
        for (const auto& e : c.before)
            h.game_result(e.position, 0, e.score, e.flag);
        EXPECT_EQ(h.game_result(c.position, c.side, c.score, c.flag), c.expected);
    }
}

TEST(GameHistory, ClearEmptiesRingAndPlayedList) {
    history::game_history h;
    h.push(six(1), 10, 1);
    h.clear();
    EXPECT_EQ(h.index(), 0);
    for (int i = 0; i < history::ring_size; ++i) {
        EXPECT_EQ(h.ring(i).position.pieces[0], 0u);
        EXPECT_EQ(h.ring(i).score, 0);
    }
    for (const auto& p : h.played()) {
        EXPECT_EQ(p.pieces[0], 0xFFFFFFFFu);
        EXPECT_EQ(p.pieces[1], 0u);
    }
}

TEST(GameHistory, MorePiecesThanBeforeStartsAnotherGame) {
    history::game_history h;
    for (int i = 0; i < 5; ++i)
        h.push(six(i), 0, 0);
    EXPECT_TRUE(h.contains(six(2)));
    const engine_position seven{{0x7u, 0xFu << 24}, 0};
    h.push(seven, 0, 0);
    EXPECT_EQ(h.index(), 1);
    EXPECT_FALSE(h.contains(six(2)));
    EXPECT_TRUE(h.contains(seven));
    EXPECT_EQ(h.played()[history::played_size - 1].pieces[1], seven.pieces[1]);
    EXPECT_EQ(h.played()[history::played_size - 2].pieces[0], 0xFFFFFFFFu);
}

TEST(GameHistory, RingWrapsAndPlayedListKeepsTheLast98) {
    history::game_history h;
    for (int i = 0; i < 100; ++i)
        h.push(six(i % 16), i, 0);
    EXPECT_EQ(h.index(), 100 % history::ring_size);
    EXPECT_EQ(h.ring((h.index() + history::ring_size - 1) % history::ring_size).score, 99);
    // Oldest first: entry 0 is the third position pushed.
    EXPECT_EQ(h.played()[0].pieces[0], six(2).pieces[0]);
    EXPECT_EQ(h.played()[history::played_size - 1].pieces[0], six(99 % 16).pieces[0]);
    history::game_history fresh;
    fresh.record_played_position(six(5));
    EXPECT_EQ(fresh.played()[history::played_size - 1].pieces[0], six(5).pieces[0]);
    EXPECT_EQ(fresh.played()[history::played_size - 2].pieces[0], 0xFFFFFFFFu);
}
