#pragma once
// All mutable state of one engine library lives in its one context object, made on first use and
// kept until the library is unloaded. Only the thread inside an export touches it.

#include "hash_table.h"
#include "history.h"

namespace marrak::inline MARRAK_RULES_NS {

constexpr int default_hash_megabytes = 16;

class engine_context {
  public:
    // The one-time set-up the exports run first; later calls do nothing. Builds, in this order,
    // the bit tables, the transposition table, the evaluation tables and the move-ordering
    // tables (the move generator's tables are compile-time constants).
    void init();
    bool initialised() const { return m_initialised; }

    tt::hash_table& hash() { return m_hash; }
    history::game_history& game() { return m_history; }

  private:
    bool m_initialised = false;
    tt::hash_table m_hash;
    history::game_history m_history;
};

// The library's context.
engine_context& context();

} // namespace marrak::inline MARRAK_RULES_NS
