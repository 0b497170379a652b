#include "app/core/eboard_packet.h"

namespace {
constexpr bool L = false;
constexpr bool H = true;
} // namespace

// Squares 1-32. Every 8 squares the pattern repeats 8 bytes further on.
const std::array<TEBoardPlace, 32> EBoardSquareMap64 = {{
    {1, L},  {2, L},  {1, H},  {2, H},  {5, H},  {6, H},  {5, L},  {6, L},  //  1- 8
    {9, L},  {10, L}, {9, H},  {10, H}, {13, H}, {14, H}, {13, L}, {14, L}, //  9-16
    {17, L}, {18, L}, {17, H}, {18, H}, {21, H}, {22, H}, {21, L}, {22, L}, // 17-24
    {25, L}, {26, L}, {25, H}, {26, H}, {29, H}, {30, H}, {29, L}, {30, L}, // 25-32
}};

// Squares 1-50.
const std::array<TEBoardPlace, 50> EBoardSquareMap100 = {{
    {5, L},  {2, H},  {6, H},  {3, H},  {8, H},  {1, L},  {6, L},  {3, L},  {8, L},  {4, L},  //  1-10
    {1, H},  {5, H},  {10, H}, {15, H}, {12, H}, {13, L}, {10, L}, {15, L}, {12, L}, {16, L}, // 11-20
    {13, H}, {9, H},  {14, H}, {11, H}, {16, H}, {17, L}, {22, L}, {19, L}, {23, L}, {20, L}, // 21-30
    {17, H}, {22, H}, {18, H}, {23, H}, {20, H}, {29, L}, {26, L}, {31, L}, {28, L}, {24, L}, // 31-40
    {29, H}, {26, H}, {30, H}, {27, H}, {32, H}, {25, L}, {30, L}, {27, L}, {32, L}, {28, H}, // 41-50
}};

namespace {

std::int8_t SquareValue(int code) {
    switch (code) {
    case ebMan1:
        return sqMan1;
    case ebKing1:
        return sqKing1;
    case ebMan0:
        return sqMan0;
    case ebKing0:
        return sqKing0;
    default:
        return sqEmpty;
    }
}

template <std::size_t N> TBoard Read(const TBoardPacket& packet, const std::array<TEBoardPlace, N>& map) {
    TBoard b = EmptyBoard;
    for (std::size_t i = 0; i < N; ++i) {
        const std::uint8_t byte = packet[map[i].byte];
        b[static_cast<int>(i) + 1] = SquareValue(map[i].high ? byte >> 4 : byte & 0x0F);
    }
    return b;
}

} // namespace

TBoard PacketToBoard(const TBoardPacket& packet, TGameType variant) {
    return SquaresOf(variant) == 50 ? Read(packet, EBoardSquareMap100) : Read(packet, EBoardSquareMap64);
}
