#include "platform/shell_open.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>
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
    const test_support::TTempDir dir("shell_open");
    const std::string file = dir.File("started");
    const std::string written = dir.File("written");
    // Written whole, then renamed: seeing the name means the program ran to its end.
    ASSERT_TRUE(
        RunDetached({"sh", "-c", "echo started > '" + written + "' && mv '" + written + "' '" + file + "'"}));
    // The program runs detached: wait for its file, however loaded the machine; the watchdog only
    // turns a program that never runs into a failure.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!std::filesystem::exists(file) && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(test_support::ReadText(file), "started\n");

    EXPECT_FALSE(RunDetached({"/nonexistent/program-that-is-not-there"}));
    EXPECT_FALSE(RunDetached({}));
}
