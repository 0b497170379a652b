#include "checks.h"

#include "edbforge/tables.h"
#include "host_bridge.h"
#include "naive_solver.h"
#include "rules/movegen.h"
#include "table_files.h"

#include <gtest/gtest.h>

using edb::material;

namespace check {

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

namespace {

// Win or loss for the side to move when the search proves it within `depth` plies, else draw (open).
int prove(const TBoard& b, int side, int depth) {
    TMoveList list;
    FindMoves(b, side, list, gtRussian);
    if (list.empty()) return edb::loss;
    if (depth == 0) return edb::draw;
    bool all_won = true;
    for (const TMove& m : list) {
        TBoard next = b;
        MakeMove(m, next, gtRussian);
        bool opponent = false;
        for (int s = 1; s <= 32 && !opponent; ++s)
            opponent = next[s] != 0 && PieceSide(next[s]) != side;
        if (!opponent) return edb::win;
        const int r = prove(next, 1 - side, depth - 1);
        if (r == edb::loss) return edb::win;
        if (r != edb::win) all_won = false;
    }
    return all_won ? edb::loss : edb::draw;
}

} // namespace

int compare_with_search(const std::string& dir, int pieces, int per_class, int depth) {
    idx::build_rank_table();
    edb::table_set tables;
    tables::load_all(dir, pieces, tables);
    std::mt19937 rng(static_cast<unsigned>(pieces * 1000 + depth));
    gen::board b;
    int proven = 0;
    for (int w = 1; w < pieces; ++w)
        for (int wm = 0; wm <= w; ++wm)
            for (int bm = 0; bm <= pieces - w; ++bm) {
                const material m{w - wm, pieces - w - bm, wm, bm};
                SCOPED_TRACE(edb::file_name(m));
                const edb::table* t = tables.get(m);
                EXPECT_TRUE(t);
                if (!t) continue;
                for (int n = 0; n < per_class; ++n) {
                    bridge::random_position(m, rng, b);
                    const std::uint32_t i = idx::position_index(b);
                    const int r = prove(bridge::to_host(b), 0, depth);
                    if (r == edb::draw) continue;
                    ++proven;
                    EXPECT_EQ(edb::load_entry(*t, i), r) << b.print_board();
                }
            }
    return proven;
}

} // namespace check
