#pragma once
// Retrograde solution of one material class together with its colour mirror.
//
// Passes run on the threads of one pool; the result does not depend on how many. An entry is resolved
// only when its successors justify it, so the set of wins and losses reached when a pass changes
// nothing is the least fixpoint, whatever the visiting order.
//
// The first pass settles what the finished tables decide and counts, for every other position,
// its quiet moves into the class being solved. Each later pass takes the positions resolved by the
// pass before (a bitmap per table) back to their predecessors: a loss makes them won, a win or a
// draw takes one from their count, and a count that reaches zero settles a loss or a draw.

#include "edbforge/tables.h"
#include "edbforge/thread_pool.h"

#include <cstdint>
#include <functional>
#include <string>

namespace solve {

using edb::material;

struct pass_report {
    int pass;
    std::uint64_t resolved;
    std::uint64_t entries;
    bool last; // the final line of the class
};

class class_solver {
  public:
    // Both tables of the class (and of its mirror, when different) must be in `tables`.
    class_solver(edb::table_set& tables, const material& cls, thread_pool& pool);

    // Runs passes until one changes nothing; `progress` is called before each pass and once at the end.
    void iterate_class(const std::function<void(const pass_report&)>& progress);
    // Every entry still unknown becomes a draw.
    void settle_draws();
    // Checks every entry against its successors; `report` gets the diagram and message of each fault.
    // Returns the number of faults.
    std::uint64_t verify(const std::function<void(const std::string&)>& report);

  private:
    friend struct worker;
    void run_pass(int pass, bool verifying);

    edb::table_set& m_tables;
    thread_pool& m_pool;
    std::uint32_t m_chunk = 0; // entries a thread takes at a time: a multiple of 64
    int m_sides;
    material m_cls[2];
    edb::table* m_tab[2];
    std::uint32_t m_size[2];
    bool m_open[2] = {false, false};        // the table is being generated (holds unknown entries)
    std::vector<std::uint8_t> m_pending[2]; // quiet moves still open, 0x80 once one reached a draw
    std::vector<std::uint64_t> m_front[2], m_next[2];
    std::uint64_t m_resolved = 0;
    bool m_changed = false;
    std::uint64_t m_faults = 0;
    const std::function<void(const std::string&)>* m_report = nullptr;
};

} // namespace solve
