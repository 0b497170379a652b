// The electronic board's byte stream: framing with pauses, the packet codec of both boards, and the
// decision on a small game, for whatever the line carries.
//
// Input: a run of chunks, each a control byte and up to 63 bytes of line data; bit 7 of the control
// byte puts a pause before the chunk, bit 6 reads its packets on the 10x10 board.
#include "app/core/eboard_framing.h"
#include "app/core/eboard_move.h"
#include "app/core/eboard_packet.h"
#include "rules/movegen.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

struct TGames {
    std::unique_ptr<TGame> small = std::make_unique<TGame>();
    std::unique_ptr<TGame> big = std::make_unique<TGame>();
    TGames() {
        Init(*small, gtRussian, StartPosition64);
        Init(*big, gtInternational, StartPosition100);
    }
    static void Init(TGame& g, TGameType v, const TBoard& start) {
        InitGame(g, v);
        PositionToKey(start, g.startKey);
        TMoveList moves;
        FindMoves(start, 0, moves, v);
        g.nodes[1] = moves[0];
        g.nodes[1].parent = 0;
        g.nodes[1].mainLine = 1;
        g.nodes[1].free = 0;
        g.header.nodeCount = 1;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TGames games;
    TBoardPacketReader reader;
    bool big = false;
    const auto take = [&](const TBoardPacket& packet) {
        const TGameType v = big ? gtInternational : gtRussian;
        const TBoard board = PacketToBoard(packet, v);
        for (int s = 0; s <= MaxSquares; ++s)
            if (board[s] < -2 || board[s] > 2 || (s == 0 && board[s] != 0) ||
                (s > SquaresOf(v) && board[s] != 0))
                std::abort();
        TEBoardContext context;
        context.variant = v;
        context.current = StartPositionOf(v);
        DecideEBoardMove(big ? *games.big : *games.small, context, board);
    };
    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t control = data[i++];
        if (control & 0x80) reader.Silence();
        big = (control & 0x40) != 0;
        std::size_t n = control & 0x3F;
        if (n > size - i) n = size - i;
        reader.Feed(data + i, n, take);
        i += n;
        if (reader.Pending() < 0 || reader.Pending() >= BoardPacketSize) std::abort();
    }
    return 0;
}
