#pragma once
// The board's side of the tests: packets built from the square tables read the other way round,
// byte by byte (which square sits in the low and in the high half), so that they do not share a
// mistake with the reader under test.

#include "app/core/eboard_packet.h"
#include "rules/board.h"

#include <array>
#include <cstdint>
#include <random>

namespace eboard_test {

// Per byte: the square in the low half and the square in the high half, 0 for none.
struct TByteSquares {
    int low, high;
};

constexpr std::array<TByteSquares, BoardPacketSize> Inverse64 = {{
    {0, 0},   {1, 3},   {2, 4},   {0, 0},   {0, 0},   {7, 5},   {8, 6}, {0, 0},   {0, 0},
    {9, 11},  {10, 12}, {0, 0},   {0, 0},   {15, 13}, {16, 14}, {0, 0}, {0, 0},   {17, 19},
    {18, 20}, {0, 0},   {0, 0},   {23, 21}, {24, 22}, {0, 0},   {0, 0}, {25, 27}, {26, 28},
    {0, 0},   {0, 0},   {31, 29}, {32, 30}, {0, 0},   {0, 0},   {0, 0}, {0, 0},
}};

constexpr std::array<TByteSquares, BoardPacketSize> Inverse100 = {{
    {0, 0},   {6, 11},  {0, 2},   {8, 4},   {10, 0},  {1, 12},  {7, 3},   {0, 0},   {9, 5},
    {0, 22},  {17, 13}, {0, 24},  {19, 15}, {16, 21}, {0, 23},  {18, 14}, {20, 25}, {26, 31},
    {0, 33},  {28, 0},  {30, 35}, {0, 0},   {27, 32}, {29, 34}, {40, 0},  {46, 0},  {37, 42},
    {48, 44}, {39, 50}, {36, 41}, {47, 43}, {38, 0},  {49, 45}, {0, 0},   {0, 0},
}};

// The board's code of a square value.
constexpr std::uint8_t CodeOf(int value) {
    switch (value) {
    case 1:
        return 7;
    case 2:
        return 12;
    case -1:
        return 1;
    case -2:
        return 6;
    default:
        return 0;
    }
}

// The packet a board sends for `b`; the bytes that carry no square hold `filler`.
inline TBoardPacket PacketOf(const TBoard& b, bool big, std::uint8_t filler = 0) {
    const auto& inverse = big ? Inverse100 : Inverse64;
    TBoardPacket p;
    for (int i = 0; i < BoardPacketSize; ++i) {
        const TByteSquares s = inverse[i];
        if (s.low == 0 && s.high == 0) {
            p[i] = filler;
            continue;
        }
        const std::uint8_t low = s.low ? CodeOf(b[s.low]) : (filler & 0x0F);
        const std::uint8_t high = s.high ? CodeOf(b[s.high]) : (filler >> 4);
        p[i] = static_cast<std::uint8_t>(low | (high << 4));
    }
    return p;
}

// What the board shows after a piece was moved from one square to another (by hand: no captures),
// and after a piece was lifted.
inline TBoard Moved(TBoard b, int from, int to) {
    b[to] = b[from];
    b[from] = 0;
    return b;
}
inline TBoard Lifted(TBoard b, int square) {
    b[square] = 0;
    return b;
}

inline TBoard RandomBoard(std::mt19937& rng, int squares) {
    std::uniform_int_distribution<int> value(-2, 2);
    TBoard b = EmptyBoard;
    for (int s = 1; s <= squares; ++s)
        b[s] = static_cast<std::int8_t>(value(rng));
    return b;
}

} // namespace eboard_test
