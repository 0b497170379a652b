#pragma once
// The book moves of a position: every legal move whose resulting position the book holds, with
// the games behind it, rated and ranked best first.
//
// Threads: re-entrant. Each caller passes its own TBookMoveList, so the interface thread's book
// list and the engine thread's book move never share rows or a comment.

#include "gamedb/book_file.h"
#include "rules/board.h"
#include "rules/move.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int MaxBookMoveRows = 20;

struct TBookMoveRow {
    int moveNumber = 0; // from 1, into the lookup's legalMoves
    TMove move;
    // The record's counters as stored, whatever the side to move: "1-0", "0-1", draws.
    std::uint16_t result1 = 0, result3 = 0, draws = 0;
    std::uint8_t mark = 0;        // book mark; an unmarked move (0) ranks as 4 but keeps its "#"
    std::string text;             // "c3-d4! +5-2=3": move, mark symbol, and the games when there are any
    std::uint8_t share = 0;       // percent of the listed moves' games that went this way
    std::uint8_t score = 0;       // percent of this move's games not lost by the side to move
    std::uint8_t recommended = 0; // 1: a good book move, the engine may play it
};

// What one caller keeps between lookups.
struct TBookMoveList {
    std::vector<TBookMoveRow> rows; // ranked, at most MaxBookMoveRows
    std::string positionComment;    // the comment of the last looked-up position
    TMoveList legalMoves;           // the legal moves as the last lookup left them
};

// Lists the book moves of `board` with `side` to move under `variant`. With no book (nullptr), or
// one cut short since it was opened (Whole()), the rows are emptied and nothing else changes. The
// position's comment: empty when the book lacks the position, line c of `comments` when its record
// has comment c > 0 (empty when there is no such line), unchanged when its record has none. Legal
// moves that lead to one position count once; the first 20 book moves found in the legal-move order
// are kept.
void ListBookMoves(const TBookFile* book, const std::vector<std::string>& comments, const TBoard& board,
                   int side, TGameType variant, const std::string& takeSeparator, TBookMoveList& out);

// Rates rows filled with move, counters, mark and the move's text: statistics, recommended flag,
// the mark 0 -> 4 rule and the ranking (a selection that is not stable: equal rows may swap).
void RateBookMoves(std::vector<TBookMoveRow>& rows, int side, TGameType variant);

// n / d rounded to the nearest whole number, halves to the even one (d > 0).
constexpr std::uint32_t RoundHalfEven(std::uint64_t n, std::uint64_t d) {
    const std::uint64_t q = n / d, r = n % d;
    return static_cast<std::uint32_t>(2 * r > d || (2 * r == d && (q & 1)) ? q + 1 : q);
}
