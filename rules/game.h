#pragma once
// The game record: stored header, names, start position and a tree of up to 1,024 moves.

#include "rules/board.h"
#include "rules/move.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The result byte of a game (header offset 34).
using TGameResult = std::uint8_t;
enum : TGameResult {
    grNone = 0,        // "*": not finished or unknown
    grWhiteWins = 1,   // "1-0": side 0 wins
    grDraw = 2,        // "="
    grBlackWins = 3,   // "0-1": side 1 wins
    grWhiteOnTime = 4, // "1-0t": side 0 wins on time
    grBlackOnTime = 5, // "0-1t": side 1 wins on time
};
// "*", "1-0", "=", "0-1", "1-0t", "0-1t"; "*" for a byte outside 0..5.
const char* GameResultText(int result);

// The stored game header, field for field in the order of the 52-byte index record.
// In memory only: the file codec of the game database writes it byte by byte.
struct TGameIndexRecord {
    std::uint16_t white = 0; // index in the player list (side 0)
    std::uint8_t whiteTitle = 0;
    std::uint8_t reserved3 = 0;
    std::uint16_t whiteRating = 0;
    std::uint8_t whiteCountry = 0;
    std::uint8_t reserved7 = 0;
    std::uint16_t black = 0; // side 1
    std::uint8_t blackTitle = 0;
    std::uint8_t reserved11 = 0;
    std::uint16_t blackRating = 0;
    std::uint8_t blackCountry = 0;
    std::uint8_t reserved15 = 0;
    std::uint16_t annotator = 0;
    std::uint16_t tournament = 0;
    std::uint16_t site = 0;
    std::uint8_t round = 0;
    std::uint8_t subround = 0;
    std::uint8_t day = 0;
    std::uint8_t month = 0;
    std::uint16_t year = 0;
    std::uint8_t flags = 0;
    std::uint8_t reserved29 = 0;
    std::uint16_t nodeToShow = 0;
    std::uint8_t startSide = 0; // 0 when side 0 moves first from the start position
    std::uint8_t variant = gtRussian;
    std::uint8_t result = 0; // a TGameResult
    std::uint8_t moveNumberOffset = 0;
    std::uint16_t nodeCount = 0; // nodes 1..nodeCount are slots of the tree
    std::uint16_t fullMoves = 0;
    std::uint32_t offset = 0; // the game's block in the move file
    std::uint32_t length = 0;
    std::uint16_t reserved48 = 0;
    std::uint16_t reserved50 = 0;

    bool operator==(const TGameIndexRecord&) const = default;
};

constexpr int MaxNodes = 1024; // node 0 is the root, 1..1024 are moves
constexpr int NodeSlots = MaxNodes + 1;

// The children of one node; the main-line child, if any, first.
using TNodeList = std::vector<std::uint16_t>;

// Tree invariants: node n in 1..nodeCount is in use when its free flag is 0; its parent is in use;
// at most one child of a node carries the main-line flag. Slots may be reused in any order.
// About 115 KB: allocate on the heap where several are needed.
struct TGame {
    TGameIndexRecord header;
    std::string white, black, annotator, tournament, site;
    TPositionKey startKey{};
    std::array<TMove, NodeSlots> nodes{};
    std::array<std::string, NodeSlots> commentBefore;
    std::array<std::string, NodeSlots> commentAfter;

    bool InUse(int node) const {
        return node == 0 || (node >= 1 && node <= header.nodeCount && node <= MaxNodes && !nodes[node].free);
    }
};

// Clears the header except the White and Black numbers, the full-move count and the place in the
// move file; clears the strings and every node; node 0 becomes the root. The start key is kept.
void InitGame(TGame& g, TGameType variant);
void ClearNode(TGame& g, int node);
// Children of `node` in node-number order, with the main-line child swapped to the front.
// Holds every child, however many.
TNodeList ListChildNodes(int node, const TGame& g);
// Plies of the main line.
int MainLineLength(const TGame& g);
