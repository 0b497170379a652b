#pragma once
// Opening a file or address with the desktop's default program (xdg-open). The call returns at
// once; the opener runs on, and its caller polls what became of it: an opener that exists but
// cannot open the target (no browser on the machine) exits non-zero, and the caller then shows the
// target itself. User-interface thread.

#include <functional>
#include <string>
#include <vector>

// What became of a started opener.
enum class TOpenState { Running, Opened, Failed };

// A started opener. Poll it until it is no longer Running: each poll of a program that has ended
// collects its exit status, so no finished program is left behind. A job that was never started
// is Failed. Poll one copy only.
class TOpenJob {
  public:
    using TPoll = std::function<TOpenState()>;
    TOpenJob() = default;
    explicit TOpenJob(TOpenState known) : m_state(known) {}
    explicit TOpenJob(TPoll poll) : m_state(TOpenState::Running), m_poll(std::move(poll)) {}

    // Running until the program has ended; then Opened when it exited with status 0, else Failed.
    // A final answer stays.
    TOpenState Poll();

  private:
    TOpenState m_state = TOpenState::Failed;
    TPoll m_poll;
};

// Starts a command line. Replaced by tests.
using TShellRunner = std::function<TOpenJob(const std::vector<std::string>& argv)>;

// Starts `xdg-open target`.
TOpenJob ShellOpen(const std::string& target);
// Installs a runner (an empty one restores the real start of the program).
void SetShellRunner(TShellRunner runner);
// The real runner: execs argv[0] from PATH in a session of its own, without our standard streams.
// A program that cannot be started is Failed at the first poll; one still running when this
// process ends is left to run.
TOpenJob RunProgram(const std::vector<std::string>& argv);
