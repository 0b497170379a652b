#include "platform/serial_port.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr std::chrono::milliseconds WakeSlice{20};

// The board's line: raw bytes at 19200 baud, 8N1, no flow control of any kind.
bool SetBoardLine(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return false;
    cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    t.c_iflag |= IGNPAR | IGNBRK; // damaged characters are dropped, not passed on as marks
    // One byte satisfies a read; with O_NONBLOCK an empty line answers EAGAIN, so 0 means hang-up.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (cfsetispeed(&t, B19200) != 0 || cfsetospeed(&t, B19200) != 0) return false;
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

} // namespace

TSerialWake::TSerialWake() : m_fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

TSerialWake::~TSerialWake() {
    if (m_fd >= 0) ::close(m_fd);
}

void TSerialWake::Signal() {
    m_signalled = true;
    const std::uint64_t one = 1;
    if (m_fd >= 0 && ::write(m_fd, &one, sizeof one) < 0) {
        // The counter is full: it is signalled already.
    }
}

void TSerialWake::Clear() {
    m_signalled = false;
    std::uint64_t count = 0;
    if (m_fd >= 0 && ::read(m_fd, &count, sizeof count) < 0) {
        // Not signalled: nothing to clear.
    }
}

TSerialPort::~TSerialPort() {
    Close();
}

TSerialPort::TSerialPort(TSerialPort&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

TSerialPort& TSerialPort::operator=(TSerialPort&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool TSerialPort::Open(const std::string& path, std::string* error) {
    Close();
    auto fail = [&](int fd, int code) {
        if (fd >= 0) ::close(fd);
        if (error) *error = std::strerror(code);
        return false;
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(-1, errno);
    if (!isatty(fd)) return fail(fd, ENOTTY);
    if (ioctl(fd, TIOCEXCL) != 0) return fail(fd, errno);
    if (!SetBoardLine(fd)) return fail(fd, errno);
    tcflush(fd, TCIFLUSH);
    m_fd = fd;
    return true;
}

void TSerialPort::Close() {
    if (m_fd < 0) return;
    ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
}

TSerialPort::TReadResult TSerialPort::Read(std::uint8_t* buffer, std::size_t size,
                                           std::chrono::milliseconds timeout, const TSerialWake* wake) {
    TReadResult r;
    if (m_fd < 0) {
        r.status = TReadStatus::Lost;
        return r;
    }
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {wake ? wake->Handle() : -1, POLLIN, 0}};
    // A wake without a descriptor cannot end the poll: wait in short slices and look at it between.
    const bool sliced = wake && wake->Handle() < 0;
    long long left = timeout.count() < 0 ? -1 : timeout.count();
    int ready = 0;
    for (;;) {
        if (wake && wake->Signalled()) {
            r.status = TReadStatus::Woken;
            return r;
        }
        long long wait = left;
        if (sliced && (wait < 0 || wait > WakeSlice.count())) wait = WakeSlice.count();
        ready = ::poll(fds, 2, static_cast<int>(wait));
        if (ready != 0) break;
        if (left >= 0 && (left -= wait) <= 0) return r; // Timeout
    }
    const pollfd& p = fds[0];
    if (ready > 0 && (fds[1].revents & POLLIN)) {
        r.status = TReadStatus::Woken;
        return r;
    }
    if (ready < 0) {
        r.status = errno == EINTR ? TReadStatus::Data : TReadStatus::Lost;
        return r;
    }
    if (p.revents & POLLNVAL) {
        r.status = TReadStatus::Lost;
        return r;
    }
    // Bytes that arrived before a hang-up are still read; the hang-up shows as end of file or EIO.
    const ssize_t n = ::read(m_fd, buffer, size);
    if (n > 0) {
        r.status = TReadStatus::Data;
        r.count = static_cast<std::size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR) && !(p.revents & (POLLHUP | POLLERR))) {
        r.status = TReadStatus::Data;
    } else {
        r.status = TReadStatus::Lost;
    }
    return r;
}
