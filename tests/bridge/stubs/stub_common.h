#pragma once
// What both stand-in engine libraries share: their lock, call log, release and stop counts and the
// count of calls inside, and the control exports of stub_control.h over a stub's own script
// struct. Each stub is a library of its own, so each has its own copy of this state.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

#define STUB_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
std::mutex g_mutex;
std::condition_variable g_changed;
std::string g_log;
std::uint64_t g_releases = 0;
std::uint64_t g_stops = 0; // EI_Stop calls (Oskeen)
std::atomic<int> g_inside{0};

// A call inside the library, counted while it runs. The releases and stops from the moment it
// began end its waits: a test that releases or stops the call as soon as it sees it inside is never
// too early for it.
struct TInside {
    TInside() {
        std::lock_guard lock(g_mutex);
        releases = g_releases;
        stops = g_stops;
        ++g_inside;
    }
    ~TInside() { --g_inside; }
    std::uint64_t releases, stops;
};

void Log(const std::string& line) {
    std::lock_guard lock(g_mutex);
    g_log += line + "\n";
}
} // namespace

// stub_set_script, stub_release, stub_log, stub_reset and stub_calls_inside over `script`, a
// variable of type `Script` guarded by g_mutex.
#define STUB_CONTROL_EXPORTS(Script, script)                                                                 \
    STUB_EXPORT void stub_set_script(const void* s) {                                                        \
        std::lock_guard lock(g_mutex);                                                                       \
        script = *static_cast<const Script*>(s);                                                             \
    }                                                                                                        \
    STUB_EXPORT void stub_release(void) {                                                                    \
        std::lock_guard lock(g_mutex);                                                                       \
        ++g_releases;                                                                                        \
        g_changed.notify_all();                                                                              \
    }                                                                                                        \
    STUB_EXPORT int stub_log(char* out, int size) {                                                          \
        std::lock_guard lock(g_mutex);                                                                       \
        if (out && size > 0) std::snprintf(out, static_cast<std::size_t>(size), "%s", g_log.c_str());        \
        return static_cast<int>(g_log.size());                                                               \
    }                                                                                                        \
    STUB_EXPORT void stub_reset(void) {                                                                      \
        std::lock_guard lock(g_mutex);                                                                       \
        g_log.clear();                                                                                       \
        script = Script{};                                                                                   \
        ++g_releases;                                                                                        \
        g_changed.notify_all();                                                                              \
    }                                                                                                        \
    STUB_EXPORT int stub_calls_inside(void) {                                                                \
        return g_inside.load();                                                                              \
    }
