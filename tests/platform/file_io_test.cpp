#include "platform/file_io.h"
#include "tests/support/odd_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
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

// A reader by name takes nothing but a regular file and never waits to open or read one: a FIFO
// nobody writes to (a plain open() waits for a writer), a folder and /dev/zero (a read never
// ends) are refused before anything is read, with a message that names the file.
TEST(FileIo, ReadersRefuseWhatIsNotARegularFile) {
    TTempDir dir;
    const std::string path = dir.File("odd");
    struct TReader {
        const char* name;
        std::function<TIoStatus(const std::string&)> read;
    };
    const TReader readers[] = {
        {"ReadWholeFile into text",
         [](const std::string& p) {
             std::string text;
             return ReadWholeFile(p, text);
         }},
        {"ReadWholeFile into bytes",
         [](const std::string& p) {
             std::vector<std::uint8_t> bytes;
             return ReadWholeFile(p, bytes, 1 << 20);
         }},
        {"OpenRegularFile",
         [](const std::string& p) {
             TIoStatus s;
             const int fd = OpenRegularFile(p, &s);
             if (fd >= 0) ::close(fd);
             return s;
         }},
    };
    for (const TReader& r : readers) {
        SCOPED_TRACE(r.name);
        std::vector<std::string> messages;
        EXPECT_EQ(test_support::OddFilesTaken(path,
                                              [&](const std::string& p) {
                                                  const TIoStatus s = r.read(p);
                                                  messages.push_back(s.Message());
                                                  return s.Ok();
                                              }),
                  std::vector<std::string>{});
        ASSERT_EQ(messages.size(), 3u);
        for (const std::string& m : messages)
            EXPECT_NE(m.find(path), std::string::npos) << m;
        EXPECT_NE(messages[0].find("not a regular file"), std::string::npos) << messages[0];
        EXPECT_NE(messages[1].find(std::strerror(EISDIR)), std::string::npos) << messages[1];
        EXPECT_NE(messages[2].find("not a regular file"), std::string::npos) << messages[2];
    }

    // A FIFO that has a writer is refused too: nothing is read from it.
    ASSERT_TRUE(test_support::MakeOddFile(test_support::TOddFileKind::Fifo, path));
    TFd writer(::open(path.c_str(), O_RDWR)); // holds both ends, so nothing blocks
    ASSERT_GE(writer.fd, 0);
    ASSERT_EQ(::write(writer.fd, "x", 1), 1);
    std::string text;
    EXPECT_FALSE(ReadWholeFile(path, text));
    char c = 0;
    EXPECT_EQ(::read(writer.fd, &c, 1), 1) << "the reader took the byte";
}

TEST(FileIo, OpenRegularFileGivesABlockingDescriptorAndTheSize) {
    TTempDir dir;
    ASSERT_TRUE(test_support::WriteText(dir.File("file"), "twelve bytes"));
    std::filesystem::create_symlink(dir.File("file"), dir.File("link"));
    for (const char* name : {"file", "link"}) {
        SCOPED_TRACE(name);
        TIoStatus s = TIoStatus::Failure("unset");
        std::uint64_t size = 0;
        TFd f(OpenRegularFile(dir.File(name), &s, &size));
        ASSERT_GE(f.fd, 0) << s.Message();
        EXPECT_TRUE(s.Ok());
        EXPECT_EQ(size, 12u);
        const int flags = ::fcntl(f.fd, F_GETFL);
        EXPECT_EQ(flags & O_NONBLOCK, 0);
        EXPECT_EQ(flags & O_ACCMODE, O_RDONLY);
        EXPECT_NE(::fcntl(f.fd, F_GETFD) & FD_CLOEXEC, 0);
    }
    errno = 0;
    TIoStatus s;
    EXPECT_EQ(OpenRegularFile(dir.File("missing"), &s), -1);
    EXPECT_EQ(errno, ENOENT) << "a missing file stays told apart";
    EXPECT_NE(s.Message().find(std::strerror(ENOENT)), std::string::npos) << s.Message();
    EXPECT_EQ(OpenRegularFile(dir.Dir()), -1);
    EXPECT_EQ(errno, EISDIR);
}
