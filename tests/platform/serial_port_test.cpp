#include "platform/serial_port.h"

#include "tests/support/pty_board.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;
using eboard_test::TPtyBoard;

namespace {

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[512];
        while (std::size_t n = std::fread(buf, 1, sizeof buf, p))
            out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

// Holds every free descriptor below a lowered limit while it lives, so that nothing new can be opened.
class TNoDescriptorsLeft {
  public:
    TNoDescriptorsLeft() {
        getrlimit(RLIMIT_NOFILE, &m_old);
        rlimit low = m_old;
        low.rlim_cur = std::min<rlim_t>(low.rlim_cur, 256);
        setrlimit(RLIMIT_NOFILE, &low);
        for (int fd; (fd = ::dup(0)) >= 0;)
            m_held.push_back(fd);
    }
    ~TNoDescriptorsLeft() {
        for (int fd : m_held)
            ::close(fd);
        setrlimit(RLIMIT_NOFILE, &m_old);
    }

  private:
    rlimit m_old{};
    std::vector<int> m_held;
};

} // namespace

TEST(SerialPort, LineSettingsReadBack) {
    TPtyBoard board;
    TSerialPort port;
    std::string error;
    ASSERT_TRUE(port.Open(board.Path(), &error)) << error;
    termios t{};
    ASSERT_EQ(tcgetattr(port.Handle(), &t), 0);
    EXPECT_EQ(cfgetispeed(&t), speed_t(B19200));
    EXPECT_EQ(cfgetospeed(&t), speed_t(B19200));
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_FALSE(t.c_cflag & PARENB);
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    EXPECT_FALSE(t.c_cflag & CRTSCTS);
    EXPECT_TRUE(t.c_cflag & CLOCAL);
    EXPECT_TRUE(t.c_cflag & CREAD);
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP));
    int exclusive = 0;
    ASSERT_EQ(ioctl(port.Handle(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    port.Close();
    // The settings stay on the line: stty, an independent reader, sees them too.
    const std::string stty = Output("stty -F " + board.Path() + " -a 2>&1");
    for (const char* word : {"speed 19200", " cs8", "-parenb", "-cstopb", "-crtscts", "-icanon", "-echo "})
        EXPECT_NE(stty.find(word), std::string::npos) << word << " in\n" << stty;
}

TEST(SerialPort, ReadsWaitsAndNoticesTheHangUp) {
    TPtyBoard board;
    TSerialPort port;
    ASSERT_TRUE(port.Open(board.Path()));
    std::uint8_t buf[64];
    EXPECT_EQ(port.Read(buf, sizeof buf, 20ms).status, TSerialPort::TReadStatus::Timeout);
    // A wait without limit ends when woken, from another thread, while it sleeps.
    TSerialWake wake;
    std::atomic<int> reader{0};
    std::thread waker([&] {
        test_support::WaitUntil([&] { return reader != 0; });
        test_support::WaitUntilAsleep(reader);
        wake.Signal();
    });
    test_support::MustEnd("a woken read without limit", [&] {
        reader = test_support::KernelThreadId();
        EXPECT_EQ(port.Read(buf, sizeof buf, -1ms, &wake).status, TSerialPort::TReadStatus::Woken);
    });
    waker.join();
    wake.Clear();
    EXPECT_EQ(port.Read(buf, sizeof buf, 10ms, &wake).status, TSerialPort::TReadStatus::Timeout);
    const std::uint8_t bytes[] = {0xEE, 0x00, 0x0D, 0x0A, 0x11, 0x13, 0x7F};
    board.Write(bytes, sizeof bytes);
    std::string got;
    while (got.size() < sizeof bytes) {
        const auto r = port.Read(buf, sizeof buf, test_support::WatchdogLimit);
        ASSERT_EQ(r.status, TSerialPort::TReadStatus::Data);
        got.append(reinterpret_cast<const char*>(buf), r.count);
    }
    // Raw: no byte is changed, swallowed or taken as flow control.
    EXPECT_EQ(got, std::string(reinterpret_cast<const char*>(bytes), sizeof bytes));
    board.Unplug();
    EXPECT_EQ(port.Read(buf, sizeof buf, test_support::WatchdogLimit).status, TSerialPort::TReadStatus::Lost);
    port.Close();
    EXPECT_EQ(port.Read(buf, sizeof buf, 10ms).status, TSerialPort::TReadStatus::Lost);
}

// A wake made when no descriptor was left (a reader started at the limit) still ends a read without
// limit: a stop of the board's reader must never hang.
TEST(SerialPort, AWakeWithoutADescriptorStillEndsTheRead) {
    TPtyBoard board;
    TSerialPort port;
    ASSERT_TRUE(port.Open(board.Path()));
    std::optional<TSerialWake> wake;
    {
        TNoDescriptorsLeft full;
        wake.emplace();
    }
    ASSERT_LT(wake->Handle(), 0);
    std::uint8_t buf[64];
    std::atomic<int> reader{0};
    std::thread waker([&] {
        test_support::WaitUntil([&] { return reader != 0; });
        test_support::WaitUntilAsleep(reader);
        wake->Signal();
    });
    test_support::MustEnd("a read woken by a wake without a descriptor", [&] {
        reader = test_support::KernelThreadId();
        EXPECT_EQ(port.Read(buf, sizeof buf, -1ms, &*wake).status, TSerialPort::TReadStatus::Woken);
    });
    waker.join();
    wake->Clear();
    // Cleared, it waits out a timeout and still takes bytes.
    EXPECT_EQ(port.Read(buf, sizeof buf, 50ms, &*wake).status, TSerialPort::TReadStatus::Timeout);
    const std::uint8_t byte = 0x5A;
    board.Write(&byte, 1);
    const auto r = port.Read(buf, sizeof buf, test_support::WatchdogLimit, &*wake);
    ASSERT_EQ(r.status, TSerialPort::TReadStatus::Data);
    EXPECT_EQ(r.count, 1u);
}

TEST(SerialPort, OpenFailuresSayWhy) {
    TSerialPort port;
    std::string error;
    EXPECT_FALSE(port.Open("/nonexistent/ttyUSB9", &error));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(error.empty());
    const std::string file = ::testing::TempDir() + "vq_not_a_tty";
    std::ofstream(file) << "x";
    error.clear();
    EXPECT_FALSE(port.Open(file, &error));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(error.empty());
    std::remove(file.c_str());
}

TEST(SerialPort, MovingHandsTheLineOver) {
    TPtyBoard board;
    TSerialPort a;
    ASSERT_TRUE(a.Open(board.Path()));
    const int fd = a.Handle();
    TSerialPort b(std::move(a));
    EXPECT_FALSE(a.IsOpen());
    EXPECT_EQ(b.Handle(), fd);
    TSerialPort c;
    c = std::move(b);
    EXPECT_EQ(c.Handle(), fd);
}
