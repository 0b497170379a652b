#pragma once
// The move record: a legal move as the generator lists it, and a node of a game tree.

#include <array>
#include <cstdint>
#include <vector>

constexpr int MaxCapturePairs = 20;

// In memory a plain struct with the fields of the stored 48-byte record, in its order.
struct TMove {
    std::uint16_t annotation = 0; // tree nodes: low 4 bits move mark, bits 4-7 position mark
    std::uint16_t parent = 0;     // tree nodes: parent node number, 0 = the root
    std::uint8_t mainLine = 0;    // tree nodes: 1 for the main-line child of its parent
    std::uint8_t free = 0;        // tree nodes: 1 when the slot is unused
    std::uint8_t captures = 0;    // pieces captured, 0 for a plain move
    std::uint8_t from = 0;
    // Plain move: squares[0] is the target. Capture: pairs (captured, landing), k = 1..captures.
    std::array<std::uint8_t, 2 * MaxCapturePairs> squares{};

    // The square the moving piece ends on.
    // A damaged stored record may claim more pairs than it holds: read no further than the last.
    int To() const {
        const int n = captures < MaxCapturePairs ? captures : MaxCapturePairs;
        return n ? squares[2 * n - 1] : squares[0];
    }
    // Pair k = 1..captures.
    int Captured(int k) const { return squares[2 * k - 2]; }
    int Landing(int k) const { return squares[2 * k - 1]; }
    // Equal as moves (captures, from and squares); the tree fields are ignored.
    bool SameMove(const TMove& o) const {
        return captures == o.captures && from == o.from && squares == o.squares;
    }
};
static_assert(sizeof(TMove) == 48, "TMove keeps the 48-byte record size");

// Move mark codes (low 4 bits of the annotation word) and position mark codes (bits 4-7).
constexpr int MoveMarkOf(std::uint16_t annotation) {
    return annotation & 0x0F;
}
constexpr int PositionMarkOf(std::uint16_t annotation) {
    return (annotation >> 4) & 0x0F;
}
const char* MoveMarkText(int code);     // "", "!!", "!", "!?", "?!", "?", "??"
const char* PositionMarkText(int code); // "", "+-", "+=", "=", "=+", "-+", "x", "~"

// The legal moves of a position, in generation order. Grows as needed: positions with several
// flying kings have many more moves than a fixed list would hold.
using TMoveList = std::vector<TMove>;
