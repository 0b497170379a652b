#include "platform/shell_open.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {
// Polls until the program has ended.
TOpenState Outcome(TOpenJob& job) {
    EXPECT_TRUE(test_support::WaitUntil([&] { return job.Poll() != TOpenState::Running; }));
    return job.Poll();
}
} // namespace

TEST(ShellOpen, PassesTheTargetToXdgOpenThroughTheRunner) {
    std::vector<std::string> seen;
    SetShellRunner([&seen](const std::vector<std::string>& argv) {
        seen = argv;
        return TOpenJob(TOpenState::Opened);
    });
    EXPECT_EQ(ShellOpen("/run dir/Docs/English.htm").Poll(), TOpenState::Opened);
    EXPECT_EQ(seen, (std::vector<std::string>{"xdg-open", "/run dir/Docs/English.htm"}));
    SetShellRunner(nullptr);
    EXPECT_EQ(TOpenJob().Poll(), TOpenState::Failed) << "nothing started";
}

TEST(ShellOpen, RunProgramReportsHowTheProgramEnded) {
    const struct {
        std::vector<std::string> argv;
        TOpenState outcome;
    } rows[] = {
        {{"true"}, TOpenState::Opened},
        {{"sh", "-c", "exit 3"}, TOpenState::Failed}, // xdg-open without a program for the page
        {{"sh", "-c", "kill -9 $$"}, TOpenState::Failed},
        {{"/nonexistent/program-that-is-not-there"}, TOpenState::Failed},
        {{}, TOpenState::Failed},
        {{""}, TOpenState::Failed},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.argv.empty() ? std::string("(none)") : r.argv.back());
        TOpenJob job = RunProgram(r.argv);
        EXPECT_EQ(Outcome(job), r.outcome);
        EXPECT_EQ(job.Poll(), r.outcome) << "the answer stays";
    }
}

TEST(ShellOpen, AProgramThatRunsOnIsRunningUntilItEnds) {
    // An opener that waits for the browser it started, as xdg-open does without a desktop.
    const auto dir = std::filesystem::temp_directory_path() / ("vq_shell_open_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto started = dir / "started", release = dir / "release";
    TOpenJob job = RunProgram(
        {"sh", "-c",
         "touch '" + started.string() + "'; while [ ! -e '" + release.string() + "' ]; do sleep 0.01; done"});
    ASSERT_TRUE(test_support::WaitUntil([&] { return std::filesystem::exists(started); }));
    EXPECT_EQ(job.Poll(), TOpenState::Running);
    std::ofstream(release.string()).put('x');
    EXPECT_EQ(Outcome(job), TOpenState::Opened);
    std::filesystem::remove_all(dir);
}
