#pragma once
// The electronic board's reader: a thread of its own reads the board's packets from the serial port
// and hands the newest changed one to the main timer, which turns it into a move, a jump to a
// position of the game or, in position set-up, the position being set up.
//
// Threads: Start and Stop on the user-interface thread; the reader thread only reads the port and
// writes the mailbox; the timer takes from the mailbox. Nothing queues: a board that floods the line
// costs one packet copy per packet, and the timer serves at most one packet a tick.

#include "app/core/eboard_framing.h"
#include "app/core/eboard_packet.h"
#include "platform/serial_port.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// Opens the board's port by its name (a device path): an open port, or a closed one with `error` set.
TSerialPort OpenBoardPort(const std::string& name, std::string* error = nullptr);

class TBoardThread {
  public:
    TBoardThread() = default;
    ~TBoardThread() { Stop(); }
    TBoardThread(const TBoardThread&) = delete;
    TBoardThread& operator=(const TBoardThread&) = delete;

    // Starts reading `port`, which the thread then owns; `name` is the port's name for the message
    // when the line is lost. False, and the port is closed, while a reader already runs or when the
    // port is not open.
    bool Start(TSerialPort port, const std::string& name = {});
    // The name of the port last started (user-interface thread).
    const std::string& PortName() const { return m_portName; }
    // Tells the reader to end, waits for it (it wakes at once) and closes the port. Safe when none
    // runs.
    void Stop();

    // The reader runs (EBoardConnected). It clears itself when the line is lost.
    bool EBoardConnected() const { return m_connected.load() != 0; }
    // The newest packet that differed from the one before it, when one waits (EBoardChanged),
    // clearing the flag. A copy taken under the lock, never a packet half written.
    std::optional<TBoardPacket> TakeEBoardPacket();
    // True once after the reader ended by itself: the board was unplugged or the line failed.
    bool TakeLineLost() { return m_lost.exchange(0) != 0; }

    // For tests, which wait for the reader instead of for time: the gap after which an unfinished
    // packet is dropped (BoardSilence unless set; any thread), the bytes read since Start, and whether
    // the reader waits on a quiet line with nothing unfinished. Bytes read and then a quiet wait mean
    // that everything read so far has been handled.
    void SetSilence(std::chrono::milliseconds gap) { m_silence = gap.count(); }
    std::uint64_t BytesRead() const { return m_bytesRead.load(); }
    bool WaitsOnAQuietLine() const { return m_quiet.load(); }

  private:
    void Execute(TSerialPort port);
    void Publish(const TBoardPacket& packet);

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    TSerialWake m_wake; // ends the reader's wait at once
    std::atomic<std::uint8_t> m_connected{0};
    std::atomic<std::uint8_t> m_lost{0};
    std::atomic<std::chrono::milliseconds::rep> m_silence{BoardSilence.count()};
    std::atomic<std::uint64_t> m_bytesRead{0};
    std::atomic<bool> m_quiet{false};
    std::string m_portName; // user-interface thread only
    std::mutex m_mutex;     // guards the two below
    TBoardPacket m_packet{};
    bool m_changed = false;
};

// The board reader of the program. Stopped when the process ends.
TBoardThread& BoardThread();

// The main timer's board step: takes a changed packet and reads it with `variant`'s map; in set-up
// mode its position becomes the position being set up, else TakeMoveFromEBoard handles it. A lost
// line posts "Error" with the port's name to the information panel. User-interface thread.
class IEBoardTarget {
  public:
    virtual ~IEBoardTarget() = default;
    virtual void SetupPosition(const TBoard& board) = 0;
    virtual void TakeMoveFromEBoard(const TBoard& board) = 0;
};
void ServeEBoard(TBoardThread& thread, bool setupMode, TGameType variant, IEBoardTarget& target);
