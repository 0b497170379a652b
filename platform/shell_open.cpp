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

bool RunDetached(const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0].empty()) return false;
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    // The grandchild reports a failed exec through this pipe (closed on a successful exec).
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (child == 0) {
        close(fds[0]);
        setsid();
        const pid_t grandchild = fork();
        if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
        const int devnull = open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            dup2(devnull, 0);
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        execvp(args[0], args.data());
        const char failed = 1;
        [[maybe_unused]] const ssize_t w = write(fds[1], &failed, 1);
        _exit(127);
    }
    close(fds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    char failed = 0;
    ssize_t n;
    while ((n = read(fds[0], &failed, 1)) < 0 && errno == EINTR) {
    }
    close(fds[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

bool ShellOpen(const std::string& target) {
    const std::vector<std::string> argv{"xdg-open", target};
    if (Runner()) return Runner()(argv);
    return RunDetached(argv);
}

void SetShellRunner(TShellRunner runner) {
    Runner() = std::move(runner);
}
