#pragma once
// Cuts the board's byte stream into 35-byte packets. Packets are taken as consecutive blocks, and
// the line's silence realigns them: a partial block followed by a gap of BoardSilence is dropped,
// and the next byte starts a packet. So a lost or doubled byte, a short packet or a burst of noise
// spoils only the packets until the board next pauses. One reader per line; not thread-safe.

#include "app/core/eboard_packet.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

// Five packet times at 19200 baud: a board that pauses this long has finished its packet.
constexpr std::chrono::milliseconds BoardSilence{100};

class TBoardPacketReader {
  public:
    using TSink = std::function<void(const TBoardPacket&)>;

    // Takes bytes as they came; `sink` gets each completed packet, in order.
    void Feed(const std::uint8_t* data, std::size_t size, const TSink& sink);
    // The line was silent for BoardSilence: an unfinished packet is dropped.
    void Silence() { m_have = 0; }
    // Bytes of the unfinished packet.
    int Pending() const { return m_have; }

  private:
    TBoardPacket m_block{};
    int m_have = 0;
};
