// Game blocks of the move file (".vqm"): start position, node slots, marks, comments, parents.
// Input: the variant byte and the node count (two bytes, little-endian) that the game's index
// record would give, then the block.
#include "gamedb/game_block.h"
#include "gamedb/game_database.h"
#include "platform/byte_codec.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    static const auto game = std::make_unique<TGame>();
    TGame& g = *game;
    InitGame(g, static_cast<TGameType>(data[0] % 9));
    g.header.nodeCount = static_cast<std::uint16_t>(GetLe16(data + 1) % 1100);
    TMoveBytes mb;
    mb.bytes.assign(data + 3, data + size);
    if (DecodeGameMoves(mb, g) != TDecodeResult::Ok) {
        if (g.header.nodeCount != 0) std::abort(); // a damaged block leaves an empty tree
        return 0;
    }
    // An accepted tree is one every caller can walk: each move in use is reached from the start
    // position through moves in use, and the game can be stored again as it is.
    if (!CheckGameForStore(g)) std::abort();
    TBoard board;
    for (int n = 0; n <= g.header.nodeCount; ++n)
        if (g.InUse(n) && !PositionAtNode(n, g, board)) std::abort();
    MainLineLength(g);
    ComputeGameFlags(g);
    TMoveBytes again;
    EncodeGameMoves(g, again);
    static const auto copy = std::make_unique<TGame>();
    InitGame(*copy, g.header.variant);
    copy->header.nodeCount = g.header.nodeCount;
    if (DecodeGameMoves(again, *copy) != TDecodeResult::Ok || copy->startKey != g.startKey) std::abort();
    for (int n = 1; n <= g.header.nodeCount; ++n) {
        const TMove &a = g.nodes[n], &b = copy->nodes[n];
        if (a.free != b.free || a.parent != b.parent || a.mainLine != b.mainLine || !a.SameMove(b) ||
            a.annotation != b.annotation || g.commentBefore[n] != copy->commentBefore[n] ||
            g.commentAfter[n] != copy->commentAfter[n])
            std::abort();
    }
    return 0;
}
