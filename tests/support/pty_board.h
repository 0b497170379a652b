#pragma once
// A pseudo-terminal that plays the board (a failure throws, which fails the test): the test writes the
// board's bytes into the master side, the program opens the slave side as its serial port. Closing the master
// is pulling the cable.

#include "tests/support/wait.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace eboard_test {

class TPtyBoard {
  public:
    TPtyBoard() {
        int slave = -1;
        char name[256] = {};
        if (openpty(&m_master, &slave, name, nullptr, nullptr) != 0) {
            throw std::runtime_error("openpty failed");
        }
        m_path = name;
        // The program opens its own descriptor by name; ours would only keep the line alive.
        ::close(slave);
    }
    ~TPtyBoard() { Unplug(); }
    TPtyBoard(const TPtyBoard&) = delete;
    TPtyBoard& operator=(const TPtyBoard&) = delete;

    const std::string& Path() const { return m_path; }

    // Writes everything, waiting while the line's buffer is full.
    void Write(const std::uint8_t* data, std::size_t size) {
        while (size > 0 && m_master >= 0) {
            const ssize_t n = ::write(m_master, data, size);
            if (n < 0) {
                if (errno == EINTR) continue;
                if (errno == EAGAIN) {
                    pollfd p{m_master, POLLOUT, 0};
                    ::poll(&p, 1, 50);
                    continue;
                }
                throw std::runtime_error("write to the pty master failed: " + std::to_string(errno));
            }
            data += n;
            size -= static_cast<std::size_t>(n);
            m_written += static_cast<std::uint64_t>(n);
        }
    }
    template <class Bytes> void Write(const Bytes& b) { Write(b.data(), b.size()); }
    // The bytes written so far, from the writing thread.
    std::uint64_t Written() const { return m_written; }

    // Pulls the cable.
    void Unplug() {
        if (m_master >= 0) ::close(m_master);
        m_master = -1;
    }

  private:
    int m_master = -1;
    std::string m_path;
    std::uint64_t m_written = 0;
};

using test_support::WaitUntil;

// Waits until `reader` (a TBoardThread) has read all that `board` was given and handled it: the
// partial packet it ended in dropped after the gap, and the reader waiting on a quiet line.
template <class Reader> bool WaitUntilHandled(const Reader& reader, const TPtyBoard& board) {
    return WaitUntil([&] { return reader.BytesRead() == board.Written() && reader.WaitsOnAQuietLine(); });
}

} // namespace eboard_test
