// The English core's move generator: plain moves, captures with every sequence kept.

#include "engine_test_util.h"
#include "movegen.h"

#include <set>

using namespace engine_test;
namespace gen = marrak::gen;

namespace {

struct plain_case {
    const char* name;
    std::vector<std::string> rows;
    int side;
    std::vector<std::string> moves;  // in generation order
    std::uint32_t kings_after_first; // kings word after the first move
};

} // namespace

TEST(EnglishMoves, PlainMovesInTableOrderWithCrowning) {
    const plain_case cases[] = {
        {"colour-2 man crowns on row 7",
         {"........", "..b.....", "........", "........", "........", "........", "........", "........"},
         0,
         {"c7-b8", "c7-d8"},
         1u << bit_of(1, 7)},
        {"colour-1 man crowns on row 0",
         {"........", "........", "........", "........", "........", "........", "...w....", "........"},
         1,
         {"d2-c1", "d2-e1"},
         1u << bit_of(2, 0)},
        {"a king moves forward first, then backward",
         {"........", "........", "........", "........", "...B....", "........", "........", "........"},
         0,
         {"d4-c5", "d4-e5", "d4-c3", "d4-e3"},
         1u << bit_of(2, 4)},
        {"even-row pieces before odd-row ones, lowest destination bit first",
         {"........", "........", "........", "........", "........", "b...b...", "...b....", "........"},
         0,
         {"e3-d4", "e3-f4", "a3-b4", "d2-c3"},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto p = diagram(c.rows);
        move_list list;
        ASSERT_EQ(gen::generate_moves(p, list, c.side), static_cast<int>(c.moves.size()));
        EXPECT_EQ(describe_all(p, list, c.side), c.moves);
        EXPECT_EQ(list.moves[0].kings, c.kings_after_first);
    }
}

TEST(EnglishMoves, ManyKingsFillMoreThanThirtyEntries) {
    // Twelve kings with free neighbours: 42 plain moves, more than a 30-move list holds.
    const auto p = diagram({
        ".B.B.B.B",
        "........",
        ".W.W.W.W",
        "........",
        ".W.W.W.W",
        "........",
        ".W.W.W.W",
        "........",
    });
    move_list list;
    ASSERT_FALSE(gen::has_capture(p, 1));
    ASSERT_EQ(gen::generate_moves(p, list, 1), 42);
    std::set<std::uint64_t> distinct;
    for (std::uint32_t i = 0; i < list.count; ++i)
        distinct.insert(key_of(list.moves[i]));
    EXPECT_EQ(distinct.size(), 42u);
}

TEST(EnglishCaptures, CrownedManStopsEvenWhenItCouldTakeOnAsAKing) {
    const auto p = diagram({
        "........",
        "..w.w...",
        ".b......",
        "........",
        "........",
        "........",
        "........",
        "........",
    });
    move_list list;
    ASSERT_EQ(gen::generate_captures(p, list, 0), 1);
    EXPECT_EQ(describe(p, list.moves[0], 0), "b6-d8 x1");
    EXPECT_EQ(list.moves[0].kings, 1u << bit_of(3, 7));
}

TEST(EnglishCaptures, KingRoundTripIsListedOnceEachWay) {
    // The king takes the four men round c3 clockwise and anticlockwise: two sequences, one
    // position, both kept.
    const auto p = diagram({
        ".......w",
        "........",
        ".w.w....",
        "........",
        ".w.w....",
        "..B.....",
        "........",
        "........",
    });
    move_list list;
    ASSERT_EQ(gen::generate_captures(p, list, 0), 2);
    EXPECT_TRUE(same(list.moves[0], list.moves[1]));
    EXPECT_EQ(list.moves[0].pieces[0], p.pieces[0]);
    EXPECT_EQ(list.moves[0].kings, p.kings);
    EXPECT_EQ(list.moves[0].pieces[1], 1u << bit_of(7, 7));
}

TEST(EnglishCaptures, HasCaptureAgreesWithTheGenerator) {
    std::mt19937 rng(12);
    int with_capture = 0;
    for (int i = 0; i < 20000; ++i) {
        const auto p = random_position(rng, 12, 30);
        for (int side = 0; side < 2; ++side) {
            move_list captures, plain;
            const int n = gen::generate_captures(p, captures, side);
            ASSERT_EQ(gen::has_capture(p, side), n > 0);
            with_capture += n > 0;
            // The plain generator still answers when captures exist; compulsion is the caller's.
            gen::generate_moves(p, plain, side);
            for (std::uint32_t k = 0; k < plain.count; ++k)
                ASSERT_EQ(plain.moves[k].pieces[1 - side], p.pieces[1 - side]);
        }
    }
    EXPECT_GT(with_capture, 1000);
}
