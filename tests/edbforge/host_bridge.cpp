#include "host_bridge.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <sys/wait.h>

namespace bridge {

namespace {
int run_command(const std::string& cmd, std::string& output) {
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    output.clear();
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0)
        output.append(buf.data(), n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

int run_program(const std::string& dir, const std::string& input, const std::string& args,
                std::string& output) {
    return run_command("cd '" + dir + "' && printf '" + input + "' | '" EDBFORGE_PATH "' " + args + " 2>&1",
                       output);
}

int run_program_to(const std::string& dir, const std::string& input, const std::string& args,
                   const std::string& stdout_path, std::string& output) {
    return run_command("cd '" + dir + "' && printf '" + input + "' | '" EDBFORGE_PATH "' " + args +
                           " 2>&1 >'" + stdout_path + "'",
                       output);
}

} // namespace bridge
