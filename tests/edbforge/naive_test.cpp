// The tables against a naive solver on the host's rules, and against known endgame facts.

#include "edbforge/tables.h"
#include "host_bridge.h"
#include "naive_solver.h"
#include "table_files.h"

#include <gtest/gtest.h>

namespace {

using edb::material;

// Every entry of every table of 2 to `pieces` pieces, and the Black-to-move view of each
// position through the reversed class, against the naive solver.
void compare_with_naive(const std::string& dir, int pieces) {
    idx::build_rank_table();
    edb::table_set tables;
    tables::load_all(dir, pieces, tables);
    const naive::solver naive(pieces);
    gen::board b;
    for (int n = 2; n <= pieces; ++n)
        for (int w = 1; w < n; ++w)
            for (int wm = 0; wm <= w; ++wm)
                for (int bm = 0; bm <= n - w; ++bm) {
                    const material m{w - wm, n - w - bm, wm, bm};
                    SCOPED_TRACE(edb::file_name(m));
                    const edb::table* t = tables.get(m);
                    const edb::table* r = tables.get(m.mirror());
                    ASSERT_TRUE(t && r);
                    for (std::uint32_t i = 0; i < idx::class_size(m); ++i) {
                        const int v = edb::load_entry(*t, i);
                        if (!idx::decode_position(m, i, b)) {
                            ASSERT_EQ(v, edb::draw);
                            continue;
                        }
                        const TBoard host = bridge::to_host(b);
                        ASSERT_EQ(v, naive.value(host, 0)) << "White to move\n" << b.print_board();
                        ASSERT_EQ(edb::load_entry(*r, idx::mirrored_position_index(b)), naive.value(host, 1))
                            << "Black to move\n"
                            << b.print_board();
                    }
                }
}

#ifdef EDBFORGE_SANITIZED
constexpr int naive_pieces = 2;
#else
constexpr int naive_pieces = 3;
#endif

TEST(GeneratedTables, AgreeWithANaiveSolverOfTheHostRules) {
    const std::string dir = bridge::make_temp_dir("naive");
    std::string out;
    ASSERT_EQ(bridge::run_program(dir, std::to_string(naive_pieces) + "\\n", "", out), 0) << out;
    compare_with_naive(dir, naive_pieces);
}

// With one king each, the side to move loses exactly when the kings hold a1 and h8: every move
// stays on the long diagonal and is taken.
TEST(GeneratedTables, KingAgainstKingIsLostOnlyOnTheTwoCorners) {
    const std::string dir = bridge::make_temp_dir("kk");
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
