#include "pair_tables.h"

#include "eval_tables.h"

#include <mutex>

namespace marrak::inline MARRAK_RULES_NS::order {

pair_tables tables{};

void fill_pair_table(pair_table& table, std::span<const triplet> list) {
    // The square index of bit a - 1: reversed within its row in the Italian numbering.
    auto index = [](int a) { return italian_rules ? ((a - 1) & ~3) + 3 - ((a - 1) & 3) : a - 1; };
    for (const triplet& t : list)
        if (t.a >= 1 && t.a <= 32 && t.b >= 1 && t.b <= 32) table[index(t.a)][index(t.b)] = t.v;
}

void init_pair_tables() {
    static std::once_flag once;
    std::call_once(once, [] {
        const pair_lists lists = generated_lists();
        for (int s = 0; s < stages; ++s) {
            fill_pair_table(tables.men[s], lists.men[s]);
            fill_pair_table(tables.kings[s], lists.kings[s]);
        }
    });
}

} // namespace marrak::inline MARRAK_RULES_NS::order
