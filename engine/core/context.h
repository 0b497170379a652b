#pragma once
// All mutable state of one engine library lives in its one context object, made on first use and
// kept until the library is unloaded. Only the thread inside an export touches it; the engine mutex
// keeps two requests apart. The read-only evaluation and ordering tables are process-wide.
//
// Seams for the exports and for tests: the settings (their defaults until the registry and the
// text commands change them), the log sink (empty: nothing is logged), the millisecond clock, the
// endgame database (its driver handle and piece limits; none until one is opened; the driver's
// entry points and the pause after a database failure) and the book (none until one is loaded).

#include "book.h"
#include "endgame_db.h"
#include "hash_table.h"
#include "history.h"
#include "registry.h"
#include "search_state.h"
#include "settings.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace marrak::inline MARRAK_RULES_NS {

constexpr int default_hash_megabytes = 16;

using log_function = std::function<void(const char* text)>;

class engine_context {
  public:
    engine_context();

    // The one-time set-up the exports run first; later calls do nothing. With files (the
    // library's own context): notes the current folder and the engine folder ("engines" when an
    // entry of that name, in any case, is there), starts the log empty, reads the database
    // settings, identifies the database, loads the book; then builds the bit tables, reads the
    // table size and allocates the table, reads the book and all-scores settings, writes the
    // version, and builds the evaluation and move-ordering tables. Without files only the tables.
    // Safe from any thread: the host may list moves while another thread's request is the first.
    void init();
    // The library's context keeps a log file and reads its settings; a context of a test does
    // neither unless it asks before the set-up.
    void use_files(bool on) { m_use_files = on; }
    // The log file ("" before the set-up or without files).
    const std::string& log_path() const { return m_log_path; }
    // "engines/" or "", as found at the set-up.
    const std::string& engine_prefix() const { return m_engine_prefix; }
    bool initialised() const { return m_initialised.load(std::memory_order_acquire); }

    engine_settings& settings() { return m_settings; }
    tt::hash_table& hash() { return m_hash; }
    history::game_history& game() { return m_history; }
    endgame_db& db() { return m_db; }
    egdb_entry_points& egdb() { return m_egdb; }
    void set_pause(std::function<void(int seconds)> pause) { m_pause = std::move(pause); }
    void pause_seconds(int seconds) const {
        if (m_pause) m_pause(seconds);
    }
    opening_book& book() { return m_book; }
    search::search_control& control() { return m_control; }
    search::search_tables& tables() { return *m_tables; }
    // The persistent settings; tests point it elsewhere.
    registry_store& registry() { return m_registry; }
    // A relative path taken against the folder that was current at the set-up (the host changes
    // folders later); absolute paths and a context not yet set up leave it as it is.
    std::string resolve_path(const std::string& path) const;
    const std::string& base_directory() const { return m_base_directory; }
    // Held by every move request for its whole run.
    std::mutex& engine_mutex() { return m_mutex; }

    void set_log(log_function log) { m_log = std::move(log); }
    void log(const char* text) const {
        if (m_log) m_log(text);
    }
    void set_clock(search::clock_function clock) { m_clock = std::move(clock); }
    std::int64_t now_ms() const { return m_clock(); }
    void set_root_observer(search::root_observer observer) { m_root_observer = std::move(observer); }
    const search::root_observer& root_observer() const { return m_root_observer; }

    // The caller's status buffer (ENGINE_STATUS_TEXT_SIZE bytes) for this request, or null.
    void set_status_buffer(char* buffer) { m_status = buffer; }
    char* status_buffer() const { return m_status; }
    // The current principal-variation text ("pv" and the moves).
    std::string& pv_text() { return m_pv; }

    // The word a search polls when the caller gives none.
    int* own_playnow() { return &m_own_playnow; }

  private:
    void set_up_files();
    std::once_flag m_init_once;
    std::atomic<bool> m_initialised{false};
    engine_settings m_settings;
    tt::hash_table m_hash;
    history::game_history m_history;
    endgame_db m_db;
    egdb_entry_points m_egdb;
    std::function<void(int seconds)> m_pause;
    opening_book m_book;
    search::search_control m_control;
    std::unique_ptr<search::search_tables> m_tables;
    std::mutex m_mutex;
    registry_store m_registry;
    std::string m_base_directory;
    std::string m_engine_prefix;
    std::string m_log_path;
    bool m_use_files = false;
    log_function m_log;
    search::clock_function m_clock;
    search::root_observer m_root_observer;
    char* m_status = nullptr;
    std::string m_pv;
    int m_own_playnow = 0;
};

// The library's context.
engine_context& context();

} // namespace marrak::inline MARRAK_RULES_NS
