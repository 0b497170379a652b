// The database search's own reader of game blocks: it must accept exactly the blocks the store
// accepts and, walking them, find the node a plain walk of the store's game finds.
// Input: the variant byte and the node count (two bytes, little-endian) that the game's index record
// would give, a byte of search options (bit 0 White moves, bit 1 Black moves, bit 2 Reversed, bits 3-4
// the pattern: any, a node's position, that position with every other square "any"), a byte choosing
// the node, then the block.
#include "gamedb/game_block.h"
#include "gamedb/game_database.h"
#include "gamedb/game_search.h"
#include "gamedb/search_tree.h"
#include "platform/byte_codec.h"
#include "tests/support/reference_game_search.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6) return 0;
    static const auto game = std::make_unique<TGame>();
    static const auto tree = std::make_unique<TSearchTree>();
    TGame& g = *game;
    const TGameType variant = static_cast<TGameType>(data[0] % 9);
    const int count = GetLe16(data + 1) % 1100;
    InitGame(g, variant);
    g.header.nodeCount = static_cast<std::uint16_t>(count);
    TMoveBytes mb;
    mb.bytes.assign(data + 5, data + size);
    const bool fast = DecodeSearchTree(mb.bytes.data(), mb.bytes.size(), variant, count, *tree);
    const bool store = DecodeGameMoves(mb, g) == TDecodeResult::Ok;
    if (fast != store) std::abort();
    if (!store) return 0;

    const int squares = SquaresOf(variant);
    TSearchCriteria c;
    c.position = true;
    c.board = squares == 50 ? TSearchBoard::b100 : TSearchBoard::b64;
    c.whiteMoves = data[3] & 1;
    c.blackMoves = data[3] & 2;
    c.reversed = data[3] & 4;
    const int kind = (data[3] >> 3) & 3;
    if (kind != 0) {
        TBoard b;
        PositionAtNode(data[4] % (count + 1), g, b);
        for (int i = 1; i <= squares; ++i)
            c.pattern[i] = (kind == 2 && i % 3 != 0) ? sqAny : b[i];
    }
    const int plain = test_support::ReferencePositionInTree(g, c);
    if (WalkSearchTree(*tree, variant, 0, MakePositionQuery(c)) != plain) std::abort();
    if (SearchPositionInTree(g, c) != plain) std::abort();
    return 0;
}
