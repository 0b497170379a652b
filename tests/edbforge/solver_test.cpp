// The tables against a naive solver on the host's rules, and against known endgame facts.

#include "checks.h"
#include "edbforge/tables.h"
#include "host_bridge.h"
#include "table_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

using edb::material;

namespace {

#ifdef EDBFORGE_SANITIZED
constexpr int naive_pieces = 2;
#else
constexpr int naive_pieces = 3;
#endif

TEST(GeneratedTables, AgreeWithANaiveSolverOfTheHostRules) {
    const test_support::TTempDir dirTemp("edbforge_naive");
    const std::string dir = dirTemp.Path().string();
    std::string out;
    ASSERT_EQ(bridge::run_program(dir, std::to_string(naive_pieces) + "\\n", "", out), 0) << out;
    check::compare_with_naive(dir, naive_pieces);
}

// With one king each, the side to move loses exactly when the kings hold a1 and h8: every move
// stays on the long diagonal and is taken.
TEST(GeneratedTables, KingAgainstKingIsLostOnlyOnTheTwoCorners) {
    const test_support::TTempDir dirTemp("edbforge_kk");
    const std::string dir = dirTemp.Path().string();
    std::string out;
    ASSERT_EQ(bridge::run_program(dir, "2\\n", "", out), 0) << out;
    idx::build_rank_table();
    edb::table t;
    const material kk{1, 1, 0, 0};
    ASSERT_EQ(edb::read_table_file(dir + "/21100.ed", edb::table_bytes(kk), t), edb::load_result::loaded);
    gen::board b;
    for (std::uint32_t i = 0; i < idx::class_size(kk); ++i) {
        ASSERT_TRUE(idx::decode_position(kk, i, b));
        const bool corners = (b.at_square(28) == gen::white_king && b.at_square(3) == gen::black_king) ||
                             (b.at_square(3) == gen::white_king && b.at_square(28) == gen::black_king);
        EXPECT_EQ(edb::load_entry(t, i) == edb::loss, corners) << b.print_board();
    }
}

} // namespace
