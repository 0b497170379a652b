#include "platform/shell_open.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace {
TShellRunner& Runner() {
    static TShellRunner runner;
    return runner;
}
} // namespace

TOpenState TOpenJob::Poll() {
    if (m_state == TOpenState::Running && m_poll) m_state = m_poll();
    return m_state;
}

TOpenJob RunProgram(const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0].empty()) return TOpenJob();
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t child = fork();
    if (child < 0) return TOpenJob();
    if (child == 0) {
        setsid(); // a terminal's hang-up or Ctrl+C does not reach it
        const int devnull = open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            dup2(devnull, 0);
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        execvp(args[0], args.data());
        _exit(127); // as a shell reports a program it cannot find
    }
    // The opener may run as long as the program it starts (xdg-open without a desktop waits for the
    // browser): its status is collected without waiting, at each poll.
    return TOpenJob([child]() {
        int status = 0;
        pid_t r;
        while ((r = waitpid(child, &status, WNOHANG)) < 0 && errno == EINTR) {
        }
        if (r == 0) return TOpenState::Running;
        // Collected elsewhere (SIGCHLD ignored): nothing says it failed.
        if (r < 0) return TOpenState::Opened;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? TOpenState::Opened : TOpenState::Failed;
    });
}

TOpenJob ShellOpen(const std::string& target) {
    const std::vector<std::string> argv{"xdg-open", target};
    if (Runner()) return Runner()(argv);
    return RunProgram(argv);
}

void SetShellRunner(TShellRunner runner) {
    Runner() = std::move(runner);
}
