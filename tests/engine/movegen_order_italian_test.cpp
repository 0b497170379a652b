// The order of the Italian core's capture list after the precedence filter: the survivors keep
// their generation order, with a shorter capture found first dropped.

#include "engine_test_util.h"
#include "movegen.h"

using namespace engine_test;
namespace gen = marrak::gen;

TEST(ItalianCaptureOrder, SurvivorsKeepGenerationOrder) {
    struct {
        const char* name;
        std::vector<std::string> rows;
        int side;
        std::vector<std::string> moves;
    } const cases[] = {
        // Raw order c3-a5 x1, c3-c7 x2, c3-g7 x2, h6-f4 x1 (by a king): the two-piece captures
        // of the man win and stay in that order.
        {"colour 2",
         {"........", "........", "...w.w.B", "......w.", ".w.w....", "..b.....", "........", "........"},
         0,
         {"c3-c7 x2", "c3-g7 x2"}},
        // Turned round: the odd-row man's continuation to b2 comes before f2.
        {"colour 1",
         {"........", "........", ".....w..", "....b.b.", ".b......", "W.b.b...", "........", "........"},
         1,
         {"f6-b2 x2", "f6-f2 x2"}},
    };
    static gen::capture_path paths[gen::max_moves];
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto p = diagram(c.rows);
        move_list list, with_paths;
        ASSERT_EQ(gen::generate_captures(p, list, c.side), static_cast<int>(c.moves.size()));
        EXPECT_EQ(describe_all(p, list, c.side), c.moves);
        ASSERT_EQ(gen::generate_capture_paths(p, with_paths, c.side, paths),
                  static_cast<int>(c.moves.size()));
        EXPECT_EQ(describe_all(p, with_paths, c.side), c.moves);
    }
}
