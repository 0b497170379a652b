// The order of the English core's capture list, on positions whose expected order is worked out
// square by square: first jumps by direction in table order (forward for every piece, then
// backward for kings), landing bits increasing within a direction, each first jump followed
// depth first by all of its continuations (men x - 1 before x + 1) before the next first jump.
// Books and hash entries store move indices, so the order is part of the contract.

#include "engine_test_util.h"
#include "movegen.h"

using namespace engine_test;
namespace gen = marrak::gen;

namespace {

struct order_case {
    const char* name;
    std::vector<std::string> rows;
    int side;
    std::vector<std::string> moves;
};

} // namespace

TEST(EnglishCaptureOrder, DirectionsThenDepthFirst) {
    const order_case cases[] = {
        // c3 jumps to a5 (even rows to x - 1) before e5 (x + 1); from e5 it goes on to c7 before
        // g7; only then the king's backward jump h6-f4.
        {"colour 2",
         {"........", "........", "...w.w.B", "......w.", ".w.w....", "..b.....", "........", "........"},
         0,
         {"c3-a5 x1", "c3-c7 x2", "c3-g7 x2", "h6-f4 x1"}},
        // The same position turned round: now the odd-row man's jumps come first (f6-d4 before
        // f6-h4), its continuation to b2 before f2, and the king's backward jump last.
        {"colour 1",
         {"........", "........", ".....w..", "....b.b.", ".b......", "W.b.b...", "........", "........"},
         1,
         {"f6-b2 x2", "f6-f2 x2", "f6-h4 x1", "a3-c5 x1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto p = diagram(c.rows);
        move_list list;
        ASSERT_EQ(gen::generate_captures(p, list, c.side), static_cast<int>(c.moves.size()));
        EXPECT_EQ(describe_all(p, list, c.side), c.moves);
    }
}
