#include "app/core/eboard_thread.h"

#include "app/core/language.h"
#include "app/core/request_flags.h"

TSerialPort OpenBoardPort(const std::string& name, std::string* error) {
    TSerialPort port;
    port.Open(name, error);
    return port;
}

bool TBoardThread::Start(TSerialPort port, const std::string& name) {
    if (EBoardConnected() || !port.IsOpen()) return false;
    m_portName = name;
    if (m_thread.joinable()) m_thread.join(); // a reader that ended by itself
    m_stop = false;
    m_wake.Clear();
    m_lost = 0;
    m_bytesRead = 0;
    m_quiet = false;
    {
        std::lock_guard lock(m_mutex);
        m_packet = {};
        m_changed = false;
    }
    m_connected = 1;
    m_thread = std::thread(&TBoardThread::Execute, this, std::move(port));
    return true;
}

void TBoardThread::Stop() {
    m_stop = true;
    m_wake.Signal();
    if (m_thread.joinable()) m_thread.join();
    m_connected = 0;
}

std::optional<TBoardPacket> TBoardThread::TakeEBoardPacket() {
    std::lock_guard lock(m_mutex);
    if (!m_changed) return std::nullopt;
    m_changed = false;
    return m_packet;
}

void TBoardThread::Publish(const TBoardPacket& packet) {
    std::lock_guard lock(m_mutex);
    m_packet = packet;
    m_changed = true;
}

void TBoardThread::Execute(TSerialPort port) {
    TBoardPacketReader reader;
    // The last packet handed over; a new connection reports the board's first packet whatever it is.
    TBoardPacket last{};
    bool any = false;
    const auto take = [&](const TBoardPacket& packet) {
        if (any && SameBoardPacket(packet, last)) return;
        last = packet;
        any = true;
        Publish(packet);
    };
    std::uint8_t buffer[512];
    bool lost = false;
    while (!m_stop.load()) {
        // ReadBoardPacket. A quiet line between packets costs no wake-up at all; inside a packet the
        // wait is the gap after which the unfinished packet is dropped.
        const bool quiet = reader.Pending() == 0;
        const auto wait = quiet ? std::chrono::milliseconds(-1) : std::chrono::milliseconds(m_silence.load());
        m_quiet = quiet;
        const TSerialPort::TReadResult r = port.Read(buffer, sizeof buffer, wait, &m_wake);
        m_quiet = false;
        m_bytesRead += r.count;
        if (r.status == TSerialPort::TReadStatus::Timeout) {
            reader.Silence();
        } else if (r.status == TSerialPort::TReadStatus::Data) {
            reader.Feed(buffer, r.count, take);
        } else if (r.status == TSerialPort::TReadStatus::Lost) {
            lost = true;
            break;
        }
    }
    port.Close();
    m_connected = 0;
    // Said last: whoever hears of the loss may connect again at once.
    if (lost) m_lost = 1;
}

TBoardThread& BoardThread() {
    static TBoardThread thread;
    return thread;
}

void ServeEBoard(TBoardThread& thread, bool setupMode, TGameType variant, IEBoardTarget& target) {
    // A packet completed before the line went is still served.
    if (const std::optional<TBoardPacket> packet = thread.TakeEBoardPacket()) {
        const TBoard board = PacketToBoard(*packet, variant);
        if (setupMode)
            target.SetupPosition(board);
        else
            target.TakeMoveFromEBoard(board);
    }
    if (thread.TakeLineLost()) {
        // Which port went, so that the user knows what to plug in again.
        std::string text(Phrase(61));
        if (!thread.PortName().empty()) text += ": " + thread.PortName();
        PostGameMessage(text, 1);
    }
}
