#include "context.h"

namespace marrak::inline MARRAK_RULES_NS {

void engine_context::init() {
    if (m_initialised) return;
    m_initialised = true;
    // A failed allocation leaves the smallest table (or none, which the table's users tolerate).
    m_hash.alloc(default_hash_megabytes, nullptr);
}

engine_context& context() {
    static engine_context instance;
    return instance;
}

} // namespace marrak::inline MARRAK_RULES_NS
