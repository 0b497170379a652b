#pragma once
// The 32-byte record of an opening book file (".cbk"): the position reached by a move, the side to
// move there, the games that passed through it by result, the mark of the move and a comment line.
// Explicit little-endian codec; pure functions, any thread.

#include "rules/board.h"

#include <cstdint>

constexpr int BookRecordSize = 32;
// Book marks 0..7; a stored byte above 7 reads as 0.
constexpr int MaxBookMark = 7;

struct TBookRecord {
    TPositionKey key{};        // 0: the position reached by the move
    std::uint8_t side = 0;     // 17: side to move there (0 the variant's first mover)
    std::uint16_t result1 = 0; // 18: games won by White ("1-0"), along main lines
    std::uint16_t draws = 0;   // 20: drawn games
    std::uint16_t result3 = 0; // 22: games won by Black ("0-1")
    std::int16_t low = -2000;  // 24: written, never read
    std::int16_t high = 2000;  // 26: written, never read
    std::uint8_t mark = 0;     // 28: book mark of the move (BookMarkSymbols)
    std::uint8_t reserved = 0; // 29
    std::uint16_t comment = 0; // 30: line of the ".cbn" file, 0 for none

    bool operator==(const TBookRecord&) const = default;
};

void EncodeBookRecord(const TBookRecord& r, std::uint8_t* out); // writes 32 bytes
void DecodeBookRecord(const std::uint8_t* in, TBookRecord& r);  // reads 32 bytes

// The file's order: the 17 key bytes as unsigned bytes from byte 0, then the side byte.
// <0, 0, >0.
int CompareBookPosition(const TPositionKey& a, int sideA, const TPositionKey& b, int sideB);
inline int CompareBookPosition(const TBookRecord& a, const TBookRecord& b) {
    return CompareBookPosition(a.key, a.side, b.key, b.side);
}

// The symbol shown after a book move: "#", "!!", "!", "!?", "", "?!", "?", "??" for marks 0..7.
extern const char* const BookMarkSymbols[MaxBookMark + 1];
// A stored mark byte as the lookup reads it: above 7 it counts as 0 (no mark).
constexpr int BookMarkOf(std::uint8_t stored) {
    return stored > MaxBookMark ? 0 : stored;
}
// The book mark the builder writes for a move mark (low 4 bits of a node's annotation word):
// "!!", "!", "!?" stay 1..3, "?!", "?", "??" become 5..7 (4 stays free); anything else is 0.
constexpr std::uint8_t BookMarkFromMoveMark(int moveMark) {
    return moveMark >= 0 && moveMark <= 3 ? static_cast<std::uint8_t>(moveMark)
           : moveMark <= 6                ? static_cast<std::uint8_t>(moveMark + 1)
                                          : 0;
}

// Adds without passing 65,535: a popular line keeps its top count rather than wrapping.
constexpr std::uint16_t AddCounter(std::uint16_t a, std::uint32_t b) {
    const std::uint32_t s = a + b;
    return static_cast<std::uint16_t>(s > 65535 ? 65535 : s);
}
