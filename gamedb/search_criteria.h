#pragma once
// What a database search looks for: header conditions and, optionally, a position pattern that may
// occur anywhere in a game's move tree. The search dialog and the main window's quick search fill one
// of these and pass it to RunGameSearch (gamedb/game_search.h); nothing here depends on a window.
// Plain values; the database window's (its TDatabaseSession's SearchCriteria) is the interface
// thread's.

#include <array>
#include <cstdint>
#include <string>

// A pattern square: a board value (-2..2, rules/board.h) or "any piece or none".
constexpr std::int8_t sqAny = 3;

// How the pattern board is drawn and which squares are compared: b100 compares squares 1..50 of
// 10x10 games, the others squares 1..32 of 8x8 games. b64i mirrors the columns (Italian), b64e swaps
// the colours shown (English); neither changes the values compared.
enum class TSearchBoard : std::uint8_t { b64 = 0, b100 = 1, b64i = 2, b64e = 3 };

// Squares 1..50 (index 0 unused), each -2..3.
using TSearchPattern = std::array<std::int8_t, 51>;

// A pattern with every square "any".
TSearchPattern AnyPattern();

struct TSearchCriteria {
    // Contained (as substrings) in the names, CP1251 lower case; empty = no condition. The search
    // lower-cases them again, so text as typed works too.
    std::string whiteText, blackText, tournamentText;
    std::uint16_t yearFrom = 0, yearTo = 2100;
    // Full moves, compared with the stored count's low byte (both bounds inclusive).
    std::uint16_t movesFrom = 0, movesTo = 255;
    // Accepted result codes 0..5: "*", "1-0", "=", "0-1", "1-0t", "0-1t".
    std::array<std::uint8_t, 6> results{1, 1, 1, 1, 1, 1};
    bool ignoreColours = false;

    // The dialog's check boxes.
    bool deleted = false;    // only games marked deleted
    bool comments = false;   // only games with comments
    bool variations = false; // only games with variations
    bool position = false;   // search by the pattern
    bool whiteMoves = true;  // positions with side 0 to move
    bool blackMoves = true;  // positions with side 1 to move
    bool reversed = false;   // also the colour-reversed pattern, with the other side to move

    TSearchBoard board = TSearchBoard::b64;
    TSearchPattern pattern = AnyPattern();
};

// Squares compared: 50 with b100, else 32.
inline int SearchSquareCount(const TSearchCriteria& c) {
    return c.board == TSearchBoard::b100 ? 50 : 32;
}
