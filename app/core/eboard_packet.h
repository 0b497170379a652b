#pragma once
// The state packet of the electronic board: 35 bytes, each playable square a 4-bit piece code in
// one half of one byte, placed by EBoardSquareMap (one map for the 8x8 board, one for 10x10).
// Plain values; any thread.

#include "rules/board.h"

#include <array>
#include <cstdint>

constexpr int BoardPacketSize = 35;
using TBoardPacket = std::array<std::uint8_t, BoardPacketSize>;

// Where a square's code lies: the byte index from 0 and the half (low = bits 0-3).
struct TEBoardPlace {
    std::uint8_t byte;
    bool high;
};
// Indexed by square - 1: 32 places for the 8x8 board (every variant but International), 50 for 10x10.
extern const std::array<TEBoardPlace, 32> EBoardSquareMap64;
extern const std::array<TEBoardPlace, 50> EBoardSquareMap100;

// The board's piece codes; any other code reads as an empty square.
enum : std::uint8_t { ebEmpty = 0, ebMan1 = 1, ebKing1 = 6, ebMan0 = 7, ebKing0 = 12 };

// The position a packet shows, read with the map of `variant`'s board.
TBoard PacketToBoard(const TBoardPacket& packet, TGameType variant);
inline bool SameBoardPacket(const TBoardPacket& a, const TBoardPacket& b) {
    return a == b;
}
