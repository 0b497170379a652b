#include "platform/shell_open.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

TEST(ShellOpen, PassesTheTargetToXdgOpenThroughTheRunner) {
    std::vector<std::string> seen;
    SetShellRunner([&seen](const std::vector<std::string>& argv) {
        seen = argv;
        return true;
    });
    EXPECT_TRUE(ShellOpen("/run dir/Docs/English.htm"));
    EXPECT_EQ(seen, (std::vector<std::string>{"xdg-open", "/run dir/Docs/English.htm"}));
    SetShellRunner([](const std::vector<std::string>&) { return false; });
    EXPECT_FALSE(ShellOpen("x"));
    SetShellRunner(nullptr);
}

TEST(ShellOpen, RunDetachedStartsTheProgramAndReportsOneThatCannotStart) {
    const auto file =
        std::filesystem::temp_directory_path() / ("vq_shell_open_" + std::to_string(::getpid()));
    std::filesystem::remove(file);
    ASSERT_TRUE(RunDetached({"sh", "-c", "echo started > '" + file.string() + "'"}));
    // The program runs detached: wait until it has written its file.
    EXPECT_TRUE(test_support::WaitUntil([&] { return std::filesystem::exists(file); }));
    std::filesystem::remove(file);

    EXPECT_FALSE(RunDetached({"/nonexistent/program-that-is-not-there"}));
    EXPECT_FALSE(RunDetached({}));
}
