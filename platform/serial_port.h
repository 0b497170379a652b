#pragma once
// A serial line opened for reading only, the way a draughts board talks: raw mode, 19200 baud both
// ways, 8 data bits, no parity, one stop bit, no flow control, modem lines ignored, and nobody else
// may open it while it is ours. Reads wait at most a given time, so a reader can always be told to
// end. One thread uses a port at a time; moving it hands it over. Not copyable.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

// Wakes a reader that waits on a serial port, from any thread. Not copyable.
class TSerialWake {
  public:
    TSerialWake();
    ~TSerialWake();
    TSerialWake(const TSerialWake&) = delete;
    TSerialWake& operator=(const TSerialWake&) = delete;
    // Wakes the waiting reader, and every later wait until Clear.
    void Signal();
    void Clear();
    bool Signalled() const { return m_signalled.load(); }
    // The descriptor a reader polls; -1 when none could be had (no descriptors left), and then a
    // reader looks at Signalled now and then instead.
    int Handle() const { return m_fd; }

  private:
    int m_fd = -1;
    std::atomic<bool> m_signalled{false};
};

class TSerialPort {
  public:
    TSerialPort() = default;
    ~TSerialPort();
    TSerialPort(TSerialPort&& other) noexcept;
    TSerialPort& operator=(TSerialPort&& other) noexcept;
    TSerialPort(const TSerialPort&) = delete;
    TSerialPort& operator=(const TSerialPort&) = delete;

    // Opens the existing device `path` and sets the line; any input already waiting is dropped.
    // False (the port stays closed) when it cannot be opened or is not a terminal; `error` then
    // names the reason, such as "Permission denied" for a user outside the dialout group.
    bool Open(const std::string& path, std::string* error = nullptr);
    bool IsOpen() const { return m_fd >= 0; }
    void Close();
    // The descriptor, for reading the line settings back; -1 when closed.
    int Handle() const { return m_fd; }

    enum class TReadStatus {
        Data,    // `count` bytes were read (possibly 0 after a spurious wake-up)
        Timeout, // nothing arrived within the timeout
        Woken,   // the wake was signalled
        Lost,    // the line is gone: hang-up, end of file or a read error; the port should be closed
    };
    struct TReadResult {
        TReadStatus status = TReadStatus::Timeout;
        std::size_t count = 0;
    };
    // Waits up to `timeout` (a negative one: without limit) for bytes or for `wake`, and reads what
    // has arrived, at most `size` bytes.
    TReadResult Read(std::uint8_t* buffer, std::size_t size, std::chrono::milliseconds timeout,
                     const TSerialWake* wake = nullptr);

  private:
    int m_fd = -1;
};
