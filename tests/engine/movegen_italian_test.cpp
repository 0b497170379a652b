// The Italian core's captures: the precedence filter, the path-keeping generator.

#include "engine_test_util.h"
#include "movegen.h"

using namespace engine_test;
namespace gen = marrak::gen;

namespace {

struct precedence_case {
    const char* name;
    std::vector<std::string> rows;
    std::vector<std::string> moves; // colour 2 to move; in generation order
};

} // namespace

TEST(ItalianCaptures, PrecedenceFilter) {
    const precedence_case cases[] = {
        {"a man does not take a king",
         {"........", "........", "........", "........", "...W....", "..b.....", "........", "........"},
         {}},
        {"captures of equal size and capturer all stay, in generation order",
         {"........", "........", "........", "........", ".w...w..", "b...b...", "........", "........"},
         {"e3-g5 x1", "a3-c5 x1"}},
        {"a king's capture beats a man's of the same size",
         {"........", "........", "........", "........", ".....w..", "..w...B.", ".b......", "........"},
         {"g3-e5 x1"}},
        {"more pieces win over taking a king",
         {"........", "........", "........", "........", "...w....", "......W.", ".w.....B", "b......."},
         {"a1-e5 x2"}},
        {"among kings taking as many, more kings taken win",
         {"........", "........", "........", "....w...", ".w......", "......W.", ".w.....B", "B......."},
         {"h2-d6 x2"}},
        {"then the king taken earliest wins",
         {"........", "........", "........", "....w...", ".W......", "......W.", ".w.....B", "B......."},
         {"h2-d6 x2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto p = diagram(c.rows);
        move_list list;
        ASSERT_EQ(gen::generate_captures(p, list, 0), static_cast<int>(c.moves.size()));
        EXPECT_EQ(describe_all(p, list, 0), c.moves);
        EXPECT_EQ(gen::has_capture(p, 0), !c.moves.empty());
    }
}

TEST(ItalianCaptures, PathsFollowEveryStepOfTheSameList) {
    std::mt19937 rng(3);
    static gen::capture_path paths[gen::max_moves];
    int multi_step = 0;
    for (int i = 0; i < 20000; ++i) {
        const auto p = random_position(rng, 12, 40);
        for (int side = 0; side < 2; ++side) {
            move_list plain_list, path_list;
            const int n = gen::generate_captures(p, plain_list, side);
            ASSERT_EQ(gen::generate_capture_paths(p, path_list, side, paths), n);
            ASSERT_EQ(gen::has_capture(p, side), n > 0);
            for (int m = 0; m < n; ++m) {
                ASSERT_TRUE(same(plain_list.moves[m], path_list.moves[m]));
                const auto& path = paths[m];
                const int taken =
                    __builtin_popcount(p.pieces[1 - side] & ~path_list.moves[m].pieces[1 - side]);
                ASSERT_EQ(path.steps, taken);
                ASSERT_TRUE(same(path.after[path.steps - 1], path_list.moves[m]));
                multi_step += path.steps > 1;
                // Each step takes exactly one piece and moves the capturer by one jump.
                engine_position before = p;
                for (int k = 0; k < path.steps; ++k) {
                    const auto& after = path.after[k];
                    ASSERT_EQ(__builtin_popcount(before.pieces[1 - side] & ~after.pieces[1 - side]), 1);
                    ASSERT_EQ(after.pieces[1 - side] & ~before.pieces[1 - side], 0u);
                    const std::uint32_t moved = before.pieces[side] ^ after.pieces[side];
                    ASSERT_EQ(__builtin_popcount(moved), 2);
                    const int a = __builtin_ctz(moved), b = 31 - __builtin_clz(moved);
                    ASSERT_EQ(std::abs(x_of(a) - x_of(b)), 2);
                    ASSERT_EQ(std::abs(y_of(a) - y_of(b)), 2);
                    before = after;
                }
            }
        }
    }
    EXPECT_GT(multi_step, 100);
}

TEST(ItalianCaptures, KingRoundTripEndsOnItsOwnSquare) {
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
    static gen::capture_path paths[gen::max_moves];
    ASSERT_EQ(gen::generate_capture_paths(p, list, 0, paths), 2);
    for (int m = 0; m < 2; ++m) {
        EXPECT_EQ(list.moves[m].pieces[0], p.pieces[0]);
        EXPECT_EQ(list.moves[m].pieces[1], 1u << bit_of(7, 7));
        EXPECT_EQ(paths[m].steps, 4);
    }
    // Anticlockwise first: the jump towards higher rows and x - 1 is tried first.
    EXPECT_EQ(paths[0].after[0].pieces[0], 1u << bit_of(0, 4));
    EXPECT_EQ(paths[1].after[0].pieces[0], 1u << bit_of(4, 4));
}
