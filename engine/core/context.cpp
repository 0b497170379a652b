#include "context.h"

#include "eval_tables.h"
#include "pair_tables.h"

#include <chrono>
#include <filesystem>

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
    m_registry.set_path(registry_store::default_path(italian_rules ? "MarrakItalian" : "Marrak"));
}

std::string engine_context::resolve_path(const std::string& path) const {
    if (path.empty() || path[0] == '/' || m_base_directory.empty()) return path;
    return m_base_directory + "/" + path;
}

void engine_context::init() {
    std::call_once(m_init_once, [this] {
        std::error_code ec;
        m_base_directory = std::filesystem::current_path(ec).string();
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
