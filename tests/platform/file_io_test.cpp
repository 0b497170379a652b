#include "platform/file_io.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

using test_support::TTempDir;

namespace {

// A descriptor that closes itself.
struct TFd {
    int fd;
    explicit TFd(int f) : fd(f) {}
    ~TFd() {
        if (fd >= 0) ::close(fd);
    }
};

void OnAlarm(int) {}

} // namespace

TEST(FileIo, PositionedReadsAndWrites) {
    TTempDir dir;
    TFd f(::open(dir.File("data").c_str(), O_RDWR | O_CREAT, 0644));
    ASSERT_GE(f.fd, 0);
    ASSERT_TRUE(PwriteAll(f.fd, "0123456789", 10, 0));
    ASSERT_TRUE(PwriteAll(f.fd, "ab", 2, 4));
    ASSERT_TRUE(PwriteAll(f.fd, "", 0, 50)); // nothing to write is no error
    char buf[16] = {};
    ASSERT_TRUE(PreadAll(f.fd, buf, 10, 0));
    EXPECT_EQ(std::string(buf, 10), "0123ab6789");

    // Past the end: the whole read fails (errno 0, no error of the system), the bounded one counts.
    errno = EBADF;
    EXPECT_FALSE(PreadAll(f.fd, buf, 4, 8));
    EXPECT_EQ(errno, 0);
    EXPECT_EQ(PreadUpTo(f.fd, buf, 16, 8), 2);
    EXPECT_EQ(PreadUpTo(f.fd, buf, 16, 100), 0);
    EXPECT_EQ(PreadUpTo(-1, buf, 4, 0), -1);
    EXPECT_FALSE(PreadAll(-1, buf, 4, 0));
    EXPECT_EQ(errno, EBADF);
}

// A full device reports its error: nothing loops and nothing claims success.
TEST(FileIo, WritesToAFullDeviceFail) {
    TFd f(::open("/dev/full", O_WRONLY));
    ASSERT_GE(f.fd, 0);
    const std::uint8_t data[64] = {};
    EXPECT_FALSE(WriteAll(f.fd, data, sizeof data));
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_FALSE(PwriteAll(f.fd, data, sizeof data, 0));
    EXPECT_EQ(errno, ENOSPC);
}

// A pipe that a slow reader empties takes a large write in short pieces, and a timer signal
// without restart interrupts the blocked writes: every byte still arrives once and in order.
TEST(FileIo, WriteAllSurvivesShortCountsAndInterruptions) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    TFd readEnd(fds[0]), writeEnd(fds[1]);
    std::string sent(3 << 20, '\0');
    for (std::size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<char>(i * 7 + i / 251);

    struct sigaction action {
    }, saved{};
    action.sa_handler = OnAlarm; // no SA_RESTART: blocked calls return EINTR
    ASSERT_EQ(::sigaction(SIGALRM, &action, &saved), 0);
    itimerval timer{{0, 200}, {0, 200}}, stopped{};
    ASSERT_EQ(::setitimer(ITIMER_REAL, &timer, nullptr), 0);

    std::string received;
    std::thread reader([&] {
        // The reader thread must not take the signal: block it there.
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGALRM);
        pthread_sigmask(SIG_BLOCK, &set, nullptr);
        char chunk[1000];
        for (;;) {
            const ssize_t n = ::read(readEnd.fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            received.append(chunk, static_cast<std::size_t>(n));
        }
    });
    const bool ok = WriteAll(writeEnd.fd, sent.data(), sent.size());
    ::setitimer(ITIMER_REAL, &stopped, nullptr);
    ::close(writeEnd.fd);
    writeEnd.fd = -1;
    reader.join();
    ::sigaction(SIGALRM, &saved, nullptr);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(received == sent) << received.size() << " of " << sent.size() << " bytes";
}

TEST(FileIo, ReadWholeFile) {
    TTempDir dir;
    const std::string path = dir.File("whole");
    std::string big(200000, 'q');
    big[123456] = '\0';
    ASSERT_TRUE(test_support::WriteText(path, big));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, text));
    EXPECT_EQ(text, big);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes.size(), big.size());

    // A file the system reports as empty still has its content read.
    ASSERT_TRUE(ReadWholeFile("/proc/self/status", text));
    EXPECT_NE(text.find("Name:"), std::string::npos);

    const TIoStatus tooLong = ReadWholeFile(path, text, 1000);
    EXPECT_FALSE(tooLong);
    EXPECT_TRUE(text.empty());
    EXPECT_NE(tooLong.Message().find("larger than 1000 bytes"), std::string::npos) << tooLong.Message();

    const TIoStatus missing = ReadWholeFile(dir.File("missing"), text);
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.Message().find(dir.File("missing")), std::string::npos);
    EXPECT_NE(missing.Message().find(std::strerror(ENOENT)), std::string::npos);
    const TIoStatus folder = ReadWholeFile(dir.Dir(), text);
    EXPECT_FALSE(folder);
    EXPECT_NE(folder.Message().find(std::strerror(EISDIR)), std::string::npos) << folder.Message();

    EXPECT_TRUE(RegularFileExists(path));
    EXPECT_FALSE(RegularFileExists(dir.Dir()));
    EXPECT_FALSE(RegularFileExists(dir.File("missing")));
    EXPECT_FALSE(RegularFileExists("/dev/null"));
}
