#pragma once
// Helpers of the bridge tests: the stand-in libraries and their scripts, the real plug-ins of the
// run directory, and a bridge bound to either.

#include "app/core/engine_bridge.h"
#include "app/core/engine_requests.h"
#include "app/core/engine_state.h"
#include "app/core/game_session.h"
#include "app/core/library_call.h"
#include "app/core/request_flags.h"
#include "platform/library_loader.h"
#include "stub_control.h"
#include "tests/app/session_fixture.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace bridge_test {

inline std::string StubDir() {
    return VQ_BRIDGE_STUB_DIR;
}
// The stubs as a run directory: every engine a stub.
inline TEngineFiles StubFiles() {
    return EngineFilesIn(StubDir() + "/app/");
}
inline std::string RunDirectory() {
    const char* env = std::getenv("VQ_RUN_DIR");
    return env && *env ? env : VQ_RUN_DIR_DEFAULT;
}

// One stub library, opened as the bridge opens it (the same handle: the same state).
class TStub {
  public:
    explicit TStub(const std::string& path) : m_lib(TDynamicLibrary::Load(path, &m_error)) {
        if (!m_lib.Loaded()) return;
        m_set = m_lib.Function<stub_set_script_fn>("stub_set_script");
        m_release = m_lib.Function<stub_release_fn>("stub_release");
        m_log = m_lib.Function<stub_log_fn>("stub_log");
        m_reset = m_lib.Function<stub_reset_fn>("stub_reset");
        m_inside = m_lib.Function<stub_calls_inside_fn>("stub_calls_inside");
        m_fire = m_lib.Function<stub_fire_callback_fn>("stub_fire_callback");
    }
    bool Loaded() const { return m_lib.Loaded() && m_set; }
    const std::string& Error() const { return m_error; }
    template <class TScript> void Script(const TScript& s) const { m_set(&s); }
    void Release() const { m_release(); }
    void Reset() const { m_reset(); }
    int Inside() const { return m_inside(); }
    void FireCallback() const {
        if (m_fire) m_fire();
    }
    std::string Log() const {
        const int n = m_log(nullptr, 0);
        std::string s(static_cast<std::size_t>(n) + 1, '\0');
        m_log(s.data(), n + 1);
        s.resize(static_cast<std::size_t>(n));
        return s;
    }
    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        const std::string s = Log();
        std::size_t at = 0;
        while (at < s.size()) {
            const std::size_t end = s.find('\n', at);
            lines.push_back(s.substr(at, end - at));
            at = end == std::string::npos ? s.size() : end + 1;
        }
        return lines;
    }

  private:
    std::string m_error;
    TDynamicLibrary m_lib;
    stub_set_script_fn m_set = nullptr;
    stub_release_fn m_release = nullptr;
    stub_log_fn m_log = nullptr;
    stub_reset_fn m_reset = nullptr;
    stub_calls_inside_fn m_inside = nullptr;
    stub_fire_callback_fn m_fire = nullptr;
};

using test_support::MustEnd;
using test_support::WaitUntil;
using test_support::WatchdogLimit;

// A grace that no test outlasts: a call that ends under it has answered its stop, and one that does
// not is caught by the watchdog instead of being given up.
constexpr std::chrono::hours NoAbandonGrace{24};

// StopEngineAndWait, which must end by itself (the engine answers its stop, or is given up).
inline void StopAndWaitUnderWatchdog(const char* what) {
    MustEnd(what, [] { StopEngineAndWait(); });
}

// Runs `work` as the engine worker, as a request runs its engine call, and waits for it.
template <class F> void OnEngineThread(F&& work) {
    StartEngineWorker(std::forward<F>(work));
    EngineIdleEvent.Wait();
    StopEngineAndWait(); // joins the finished worker
}

// Releases every stub and waits until no library call runs, so that no test leaves a thread inside
// a stub behind.
inline void ReleaseAllStubs() {
    for (const std::string& file :
         {StubFiles().trevalo, StubFiles().marrak, StubFiles().marrakItalian, StubFiles().oskeen,
          StubDir() + "/nocmd/libtrevaloD.so", StubDir() + "/nostop/libOskeen_2.so"}) {
        TStub stub(file);
        if (stub.Loaded()) stub.Reset();
    }
    EXPECT_TRUE(WaitForLibraryCalls(WatchdogLimit)) << "a library call did not end";
}

// A bridge bound to the stubs and installed as the program's, with what it says on stderr kept;
// every stub released before and after each test.
class StubBridgeTest : public testing::Test {
  protected:
    void SetUp() override {
        app_test::UseSmallHashTable();
        ReleaseAllStubs();
        m_bridge.Bind(StubFiles(), [this](const std::string& line) { diagnostics.push_back(line); });
        SetEngineBridge(&m_bridge);
        EngineSettings = TEngineSettings{};
        TakeGameMessage();
    }
    void TearDown() override {
        StopEngineAndWait();
        ReleaseAllStubs();
        SetEngineBridge(nullptr);
        EngineSettings = TEngineSettings{};
        TakeGameMessage();
    }

    TEngineBridge m_bridge;
    std::vector<std::string> diagnostics;
    TStub trevalo{StubFiles().trevalo}, marrak{StubFiles().marrak}, italian{StubFiles().marrakItalian},
        oskeen{StubFiles().oskeen};
};

} // namespace bridge_test
