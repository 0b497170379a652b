#include "app/core/eboard_framing.h"

#include "tests/support/eboard_packets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace eboard_test;

namespace {

using Bytes = std::vector<std::uint8_t>;

// What the line does: bytes arrive, or it stays silent for a packet gap.
struct TEvent {
    Bytes bytes;
    bool silence = false;
};

TEvent Send(const Bytes& b) {
    return {b, false};
}
TEvent Gap() {
    return {{}, true};
}

Bytes Of(const TBoardPacket& p) {
    return Bytes(p.begin(), p.end());
}
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}
Bytes Without(Bytes b, std::size_t at) {
    b.erase(b.begin() + static_cast<long>(at));
    return b;
}
Bytes Doubled(Bytes b, std::size_t at) {
    b.insert(b.begin() + static_cast<long>(at), b[at]);
    return b;
}

} // namespace

TEST(BoardPacketReader, FramingCases) {
    const TBoardPacket a = PacketOf(StartPosition64, false);
    const TBoardPacket b = PacketOf(Moved(StartPosition64, 9, 13), false);
    const TBoardPacket c = PacketOf(Moved(Moved(StartPosition64, 9, 13), 22, 18), false);
    const Bytes A = Of(a);
    TBoardPacket doubledBlock;
    const Bytes doubled = Doubled(Of(a), 4);
    std::copy(doubled.begin(), doubled.begin() + BoardPacketSize, doubledBlock.begin());
    const Bytes noise = {0xEE, 0x00, 0xFF, 0x13, 0x77, 0x21, 0xC6, 0x01, 0x99, 0x42, 0xAB};

    const struct {
        const char* name;
        std::vector<TEvent> line;
        std::vector<TBoardPacket> expected;
        int pending; // bytes of an unfinished packet at the end
    } cases[] = {
        {"clean stream, back to back", {Send(Cat({Of(a), Of(b), Of(c)}))}, {a, b, c}, 0},
        {"clean stream in odd pieces",
         {Send(Bytes(A.begin(), A.begin() + 3)), Send(Cat({Bytes(A.begin() + 3, A.end()), Of(b)}))},
         {a, b},
         0},
        {"a byte lost, then silence", {Send(Without(Of(a), 10)), Gap(), Send(Of(b))}, {b}, 0},
        // The doubled byte makes a 36th: the first 35 form a damaged block, the silence drops the last.
        {"a byte doubled, then silence", {Send(Doubled(Of(a), 4)), Gap(), Send(Of(b))}, {doubledBlock, b}, 0},
        {"a short packet, then silence",
         {Send(Bytes(A.begin(), A.begin() + 20)), Gap(), Send(Of(c))},
         {c},
         0},
        {"the writer stops mid-packet and goes on",
         {Send(Bytes(A.begin(), A.begin() + 20)), Send(Bytes(A.begin() + 20, A.end()))},
         {a},
         0},
        {"noise, then silence",
         {Send(noise), Gap(), Send(Of(b)), Send(noise)},
         {b},
         static_cast<int>(noise.size())},
        {"silence between whole packets changes nothing",
         {Gap(), Send(Of(a)), Gap(), Gap(), Send(Of(b))},
         {a, b},
         0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        TBoardPacketReader reader;
        std::vector<TBoardPacket> got;
        for (const TEvent& e : k.line) {
            if (e.silence)
                reader.Silence();
            else
                reader.Feed(e.bytes.data(), e.bytes.size(), [&](const TBoardPacket& p) { got.push_back(p); });
        }
        EXPECT_EQ(got, k.expected);
        EXPECT_EQ(reader.Pending(), k.pending);
    }
}

TEST(BoardPacketReader, ALostByteWithoutSilenceShiftsOnlyUntilTheNextPause) {
    const TBoardPacket a = PacketOf(StartPosition64, false);
    TBoardPacketReader reader;
    std::vector<TBoardPacket> got;
    const auto sink = [&](const TBoardPacket& p) { got.push_back(p); };
    const Bytes lost = Without(Of(a), 0);
    for (int i = 0; i < 3; ++i) // 34-byte blocks back to back: every block is shifted
        reader.Feed(lost.data(), lost.size(), sink);
    EXPECT_EQ(got.size(), 2u);
    for (const TBoardPacket& p : got)
        EXPECT_NE(p, a);
    got.clear();
    reader.Silence();
    reader.Feed(a.data(), a.size(), sink);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], a);
}
