#pragma once
// Every class of 2 to `pieces` pieces solved in memory, in the order the generator solves them,
// with either solver: no files, no output. For the comparison of the two and for the benchmark.

#include "edbforge/tables.h"

#include <string>

namespace reference_solve {

template <class TSolver, class TThreads>
void solve_all(int pieces, edb::table_set& tables, TThreads& threads) {
    for (int n = 2; n <= pieces; ++n)
        for (int b = 1; b <= n / 2; ++b)
            for (int wm = 0; wm <= b; ++wm)
                for (int bm = 0; bm <= n - b; ++bm) {
                    const edb::material cls{b - wm, n - b - bm, wm, bm};
                    if (tables.get(cls) && tables.get(cls.mirror())) continue;
                    for (const edb::material& m : {cls, cls.mirror()})
                        if (!tables.get(m)) tables.create(m, 0xFF);
                    TSolver solver(tables, cls, threads);
                    solver.iterate_class([](const auto&) {});
                    solver.settle_draws();
                    solver.verify([](const std::string&) {});
                }
}

} // namespace reference_solve
