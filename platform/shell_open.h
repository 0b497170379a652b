#pragma once
// Opening a file or address with the desktop's default program (xdg-open), detached: the call
// returns at once and the program outlives nothing of ours. User-interface thread.

#include <functional>
#include <string>
#include <vector>

// Runs a command line detached; true when it could be started. Replaced by tests.
using TShellRunner = std::function<bool(const std::vector<std::string>& argv)>;

// Starts `xdg-open target`; false when the program could not be started.
bool ShellOpen(const std::string& target);
// Installs a runner (an empty one restores the real xdg-open start).
void SetShellRunner(TShellRunner runner);
// The real runner: forks twice so that no zombie is left, and execs argv[0] from PATH.
bool RunDetached(const std::vector<std::string>& argv);
