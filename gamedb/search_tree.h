#pragma once
// A game's move tree in the compact form the database search walks: the start position, and for each
// node its parent, main-line and free marks and its move squares, decoded straight from a stored game
// block without comments or a 115 KB TGame. The walk compares each position with a pattern as bit
// masks. Decoding accepts exactly the blocks the store's own reader accepts, so a search finds only
// games that the store can read.
// Re-entrant: each caller owns its trees.

#include "gamedb/search_criteria.h"
#include "rules/game.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct TSearchTree {
    TBoard start;
    int nodeCount = 0;
    // Node n's move: from square, then the target (plain move) or the captured and landing pairs.
    std::array<const std::uint8_t*, NodeSlots> move{};
    std::array<std::uint8_t, NodeSlots> captures{};
    std::array<std::uint16_t, NodeSlots> parent{};
    std::array<std::uint8_t, NodeSlots> mainLine{}, free{};
    // Children of node n: children[childStart[n] .. childStart[n + 1]), in the order the game's
    // tree lists them (main-line child first, then the others in node order).
    std::array<std::uint16_t, NodeSlots + 1> childStart{};
    std::array<std::uint16_t, NodeSlots> children{};
    std::vector<std::uint8_t> ownBytes; // move squares of a tree taken from a TGame
};

// Decodes a stored block of a game of `variant` with `nodeCount` nodes. False exactly when the store
// would call the block damaged. The tree points into `block`, which must outlive it.
bool DecodeSearchTree(const std::uint8_t* block, std::size_t size, TGameType variant, int nodeCount,
                      TSearchTree& tree);
// The tree of a game in memory (nodes 1..node count; a move that does not fit the board changes
// nothing, as when it is made).
void SearchTreeFromGame(const TGame& g, TSearchTree& tree);

// The pattern as masks over squares 1..S (bit n = square n): the squares it fixes and, per piece
// kind (man and king of side 0, man and king of side 1), where it wants that kind.
struct TPatternMasks {
    std::uint64_t fixed = 0;
    std::array<std::uint64_t, 4> kinds{};
};
TPatternMasks PatternMasks(const TSearchPattern& pattern, int squares);

// What one search asks of every position: the pattern and its reversed form, and for each side to
// move whether each is tested.
struct TPositionQuery {
    int squares = 32;
    TPatternMasks pattern, reversed;
    std::array<bool, 2> testPattern{}, testReversed{};
};
// The query of the criteria: S squares, the reversed pattern built over S.
TPositionQuery MakePositionQuery(const TSearchCriteria& criteria);

// Walks the tree from node 0 (the start, side `startSide` to move) in depth-first order, children in
// list order, making moves under `variant`. A matching node is not looked below. Returns the last
// matching node in that order, or -1.
int WalkSearchTree(const TSearchTree& tree, TGameType variant, int startSide, const TPositionQuery& query);
