#include "app/core/eboard_packet.h"

#include "tests/support/eboard_packets.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

using namespace eboard_test;

namespace {

template <std::size_t N> std::set<int> BytesUsed(const std::array<TEBoardPlace, N>& map) {
    std::set<int> used;
    for (const TEBoardPlace& p : map)
        used.insert(p.byte);
    return used;
}

} // namespace

TEST(EBoardSquareMap, EachSquareHasAHalfOfItsOwnInsideThePacket) {
    auto check = [](const auto& map) {
        std::set<std::pair<int, bool>> places;
        for (const TEBoardPlace& p : map) {
            EXPECT_LT(p.byte, BoardPacketSize);
            EXPECT_TRUE(places.insert({p.byte, p.high}).second) << "byte " << int(p.byte) << " twice";
        }
    };
    check(EBoardSquareMap64);
    check(EBoardSquareMap100);
}

TEST(EBoardSquareMap, BytesThatCarryNoSquare) {
    const std::set<int> used64 = BytesUsed(EBoardSquareMap64);
    const std::set<int> used100 = BytesUsed(EBoardSquareMap100);
    for (int b : {0, 7, 33, 34}) {
        EXPECT_FALSE(used64.count(b)) << b;
        EXPECT_FALSE(used100.count(b)) << b;
    }
    // Byte 21 is free on the 10x10 board only: the 8x8 board keeps squares 21 and 23 there.
    EXPECT_FALSE(used100.count(21));
    EXPECT_TRUE(used64.count(21));
    EXPECT_EQ(used100.size(), 30u);
    EXPECT_EQ(used64.size(), 16u);
}

TEST(PacketToBoard, BoardToPacketAndBackIsTheSamePosition) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 500; ++round) {
        for (TGameType v : {gtRussian, gtItalian, gtEnglish, gtInternational}) {
            const bool big = v == gtInternational;
            const TBoard b = RandomBoard(rng, big ? 50 : 32);
            // Whatever the free bytes hold, they change nothing.
            const std::uint8_t filler = static_cast<std::uint8_t>(rng());
            ASSERT_EQ(PacketToBoard(PacketOf(b, big, filler), v), b) << "variant " << int(v);
        }
    }
}

TEST(PacketToBoard, PieceCodesAndUnknownCodes) {
    const struct {
        int code;
        int value;
    } rows[] = {{0, 0}, {1, -1}, {6, -2}, {7, 1},  {12, 2}, {2, 0},
                {3, 0}, {5, 0},  {8, 0},  {11, 0}, {13, 0}, {15, 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.code);
        TBoardPacket p{};
        p[1] = static_cast<std::uint8_t>(r.code);       // 8x8 square 1, low half
        p[1] |= static_cast<std::uint8_t>(r.code << 4); // and square 3 in the high half
        const TBoard b = PacketToBoard(p, gtRussian);
        EXPECT_EQ(b[1], r.value);
        EXPECT_EQ(b[3], r.value);
        // 10x10: byte 1 holds squares 6 (low) and 11 (high).
        const TBoard big = PacketToBoard(p, gtInternational);
        EXPECT_EQ(big[6], r.value);
        EXPECT_EQ(big[11], r.value);
    }
}

TEST(PacketToBoard, StartPositionsAndSquaresBeyondTheBoardStayEmpty) {
    EXPECT_EQ(PacketToBoard(PacketOf(StartPosition64, false), gtRussian), StartPosition64);
    EXPECT_EQ(PacketToBoard(PacketOf(StartPosition100, true), gtInternational), StartPosition100);
    TBoardPacket full;
    full.fill(0x77);
    const TBoard b = PacketToBoard(full, gtCzech);
    for (int s = 33; s <= MaxSquares; ++s)
        EXPECT_EQ(b[s], 0) << s;
}

TEST(SameBoardPacket, AnyByteCounts) {
    TBoardPacket a{}, b{};
    EXPECT_TRUE(SameBoardPacket(a, b));
    b[34] = 1; // a byte that carries no square still makes another packet
    EXPECT_FALSE(SameBoardPacket(a, b));
}
