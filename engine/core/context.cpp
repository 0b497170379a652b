#include "context.h"

#include "eval_tables.h"
#include "pair_tables.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <strings.h>
#include <thread>

namespace marrak::inline MARRAK_RULES_NS {

namespace {
constexpr const char* engine_version_text = "1.15v";
} // namespace

namespace search {
std::int64_t steady_milliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace search

engine_context::engine_context()
    : m_egdb(default_egdb_entry_points()),
      m_pause([](int seconds) { std::this_thread::sleep_for(std::chrono::seconds(seconds)); }),
      m_tables(std::make_unique<search::search_tables>()), m_clock(search::steady_milliseconds) {
    m_control.playnow = &m_own_playnow;
}

std::string engine_context::resolve_path(const std::string& path) const {
    if (path.empty() || path[0] == '/' || m_base_directory.empty()) return path;
    return m_base_directory + "/" + path;
}

void engine_context::init() {
    std::call_once(m_init_once, [this] {
        std::error_code ec;
        m_base_directory = std::filesystem::current_path(ec).string();
        if (m_use_files) set_up_files();
        eval::init_bit_tables();
        if (m_use_files) m_registry.read_dword("HashSize", m_settings.hash_megabytes);
        // A failed allocation leaves the smallest table (or none, which the table's users tolerate).
        m_hash.alloc(m_settings.hash_megabytes, [this](const char* text) { log(text); });
        if (m_use_files) {
            char line[64];
            std::snprintf(line, sizeof line, "hashsize %d\n", m_settings.hash_megabytes);
            log(line);
            m_registry.read_dword("AllScores", m_settings.allscores);
            m_registry.read_dword("UseBook", m_settings.book);
            m_registry.write_string("Version", engine_version_text);
        }
        eval::init_eval_tables();
        order::init_pair_tables();
        m_initialised.store(true, std::memory_order_release);
    });
}

void engine_context::set_up_files() {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(m_base_directory, ec)) {
        const std::string name = entry.path().filename().string();
        if (strcasecmp(name.c_str(), "engines") == 0) {
            m_engine_prefix = name + "/";
            break;
        }
    }
    m_log_path = resolve_path(m_engine_prefix + (italian_rules ? "marrak_italian.log" : "Marrak.log"));
    // The log starts empty once per process; a test's own sink stays.
    if (FILE* f = std::fopen(m_log_path.c_str(), "w")) std::fclose(f);
    if (!m_log) {
        m_log = [path = m_log_path](const char* text) {
            if (FILE* f = std::fopen(path.c_str(), "a")) {
                std::fputs(text, f);
                std::fclose(f);
            }
        };
    }
    // Stored paths over their limits count as missing.
    if (!m_registry.read_string("DBPath", m_settings.db_path, 99)) m_settings.db_path = "db";
    if (!m_registry.read_dword("DBMbytes", m_settings.db_megabytes)) m_settings.db_megabytes = 0;
    m_registry.read_string("MtcPath", m_settings.mtc_path, 103);
    identify_endgame_db(*this);
    load_book_file(m_book, resolve_path(m_engine_prefix + m_settings.book_file));
}

engine_context& context() {
    static engine_context instance;
    // The library's own context keeps its settings in the user's store and writes a log.
    static const bool configured = [] {
        instance.use_files(true);
        instance.registry().set_path(
            registry_store::default_path(italian_rules ? "MarrakItalian" : "Marrak"));
        return true;
    }();
    (void)configured;
    return instance;
}

} // namespace marrak::inline MARRAK_RULES_NS
