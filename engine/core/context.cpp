#include "context.h"

#include "eval_tables.h"
#include "pair_tables.h"

#include <chrono>

namespace marrak::inline MARRAK_RULES_NS {

namespace search {
std::int64_t steady_milliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace search

engine_context::engine_context()
    : m_tables(std::make_unique<search::search_tables>()), m_clock(search::steady_milliseconds) {
    m_control.playnow = &m_own_playnow;
}

void engine_context::init() {
    std::call_once(m_init_once, [this] {
        eval::init_bit_tables();
        // A failed allocation leaves the smallest table (or none, which the table's users tolerate).
        m_hash.alloc(m_settings.hash_megabytes, [this](const char* text) { log(text); });
        eval::init_eval_tables();
        order::init_pair_tables();
        m_initialised.store(true, std::memory_order_release);
    });
}

engine_context& context() {
    static engine_context instance;
    return instance;
}

} // namespace marrak::inline MARRAK_RULES_NS
