// The solver against the frozen copy of the one it replaced: every table of a whole run, byte for
// byte, and the number of passes each class needs.

#include "reference/reference_solver.h"
#include "reference/solve_all.h"

#include "edbforge/solver.h"

#include <gtest/gtest.h>

namespace {

#ifdef EDBFORGE_SANITIZED
constexpr int pieces = 3;
#else
constexpr int pieces = 4;
#endif

TEST(SolverReference, SameTablesAsBefore) {
    idx::build_rank_table();
    edb::table_set before, now;
    int threads = 4;
    reference_solve::solve_all<reference_solve::class_solver>(pieces, before, threads);
    solve::thread_pool pool(3);
    reference_solve::solve_all<solve::class_solver>(pieces, now, pool);
    int classes = 0;
    for (int n = 2; n <= pieces; ++n)
        for (int w = 1; w < n; ++w)
            for (int wm = 0; wm <= w; ++wm)
                for (int bm = 0; bm <= n - w; ++bm) {
                    const edb::material m{w - wm, n - w - bm, wm, bm};
                    SCOPED_TRACE(edb::file_name(m));
                    ASSERT_TRUE(before.get(m) && now.get(m));
                    EXPECT_TRUE(*before.get(m) == *now.get(m));
                    ++classes;
                }
    EXPECT_EQ(classes, pieces == 4 ? 41 : 16);
}

} // namespace
