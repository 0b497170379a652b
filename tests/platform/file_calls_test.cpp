#include "platform/atomic_file.h"
#include "platform/file_calls.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using test_support::ReadText;
using test_support::TTempDir;
using test_support::WriteText;

namespace {

// The exit status of `work` run in a child process.
int InChild(void (*work)(const std::string&), const std::string& arg) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        work(arg);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

// The seam counts each kind of call, fails the k-th with the errno given (once, without making
// the call), and stops the process at it when asked (the call not made, nothing after it run).
TEST(FileCalls, FailsOrStopsTheKthCallOfAKind) {
    TTempDir dir;
    const int fd = ::open(dir.File("f").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ResetFileCallCounts();
    ArmFileFault({TFileCall::Write, 2, TFileFault::Fail, ENOSPC});
    EXPECT_EQ(SysPwrite(fd, "a", 1, 0), 1);
    EXPECT_FALSE(FileFaultStruck());
    errno = 0;
    EXPECT_EQ(SysWrite(fd, "b", 1), -1); // pwrite and write are both writes
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_TRUE(FileFaultStruck());
    EXPECT_EQ(SysPwrite(fd, "c", 1, 1), 1);
    EXPECT_EQ(SysFsync(fd), 0);
    ::close(fd);
    EXPECT_EQ(ReadText(dir.File("f")), "ac");
    EXPECT_EQ(FileCallCount(TFileCall::Write), 3u);
    EXPECT_EQ(FileCallCount(TFileCall::Fsync), 1u);
    EXPECT_EQ(FileCallCount(TFileCall::Rename), 0u);

    ASSERT_TRUE(WriteText(dir.File("a"), "a"));
    const int stopped = InChild(
        [](const std::string& d) {
            ArmFileFault({TFileCall::Rename, 1, TFileFault::Stop, 0});
            SysRename((d + "a").c_str(), (d + "b").c_str());
            std::fputs("after the stop\n", stderr);
        },
        dir.Dir());
    EXPECT_EQ(stopped, FileFaultStopStatus);
    EXPECT_TRUE(std::filesystem::exists(dir.File("a")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("b")));
    DisarmFileFault();
}

// The atomic writer failed or stopped at each call a clean run makes: the file holds the old
// content or the new one, never anything else; a failed writer leaves no temporary file, and
// Replaced() tells which of the two stands.
TEST(AtomicWriteFile, OldOrNewAtEveryCall) {
    const std::string oldText = "old content", newText(70000, 'n');
    std::uint64_t calls[FileCallKinds];
    {
        TTempDir dir;
        ASSERT_TRUE(WriteText(dir.File("f"), oldText));
        ResetFileCallCounts();
        ASSERT_TRUE(AtomicWriteFile(dir.File("f"), newText));
        for (int k = 0; k < FileCallKinds; ++k)
            calls[k] = FileCallCount(static_cast<TFileCall>(k));
    }
    EXPECT_GT(calls[int(TFileCall::Rename)], 0u);
    for (int kind = 0; kind < FileCallKinds; ++kind)
        for (std::uint64_t k = 1; k <= calls[kind]; ++k) {
            SCOPED_TRACE(std::string(FileCallName(static_cast<TFileCall>(kind))) + " " + std::to_string(k));
            TTempDir dir;
            ASSERT_TRUE(WriteText(dir.File("f"), oldText));
            ArmFileFault({static_cast<TFileCall>(kind), k, TFileFault::Fail, EIO});
            bool replaced = false;
            const TIoStatus s = AtomicWriteFile(dir.File("f"), newText.data(), newText.size(), &replaced);
            DisarmFileFault();
            EXPECT_TRUE(FileFaultStruck());
            EXPECT_FALSE(s);
            EXPECT_EQ(ReadText(dir.File("f")), replaced ? newText : oldText);
            // Only a failed removal of the temporary file may leave it.
            if (static_cast<TFileCall>(kind) != TFileCall::Unlink) {
                EXPECT_EQ(dir.List(), std::vector<std::string>{"f"});
            }

            TTempDir stopDir;
            ASSERT_TRUE(WriteText(stopDir.File("f"), oldText));
            static std::string text;
            text = newText;
            static TFileFault fault;
            fault = {static_cast<TFileCall>(kind), k, TFileFault::Stop, 0};
            EXPECT_EQ(InChild(
                          [](const std::string& path) {
                              ArmFileFault(fault);
                              AtomicWriteFile(path, text);
                          },
                          stopDir.File("f")),
                      FileFaultStopStatus);
            const std::string after = ReadText(stopDir.File("f"));
            EXPECT_TRUE(after == oldText || after == newText);
        }
}
