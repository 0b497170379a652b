#pragma once
// Move tokens of PDN text: which legal move a token names, in any of the notations the program
// itself and other programs write, and the token the export writes for a move.
// Re-entrant; any thread. Tokens are untrusted text.

#include "rules/movegen.h"

#include <string>
#include <string_view>
#include <vector>

// The number (1-based, in list order) of the legal move that `token` names, 0 if none. The token is
// compared with these texts of every move, pass by pass, the first equal text winning (the forms of
// rules/notation.h, "x" as the take character unless named):
//   1. the standard full form ("c3-d4", "09-14", "c3xe5");
//   2. the standard short form ("cd4", "9-14", "cxe5");
//   3. every landing square, short form ("c3xe5xc7", "9x18x27");
//   4. for each move in turn, any of: from, final and captured squares ("22x15x18"); every landing
//      square, full form; the standard full form with "-", ":" or nothing between the squares; every
//      landing square, full form, with ":"; the standard short form with ":", "-" or nothing; every
//      landing square, short form, with ":". Plain moves too: "c3:d4", "c3d4", "c-d4", "09:13",
//      "0913", "913" (their capture and every-landing texts are the standard full form).
// The token is read once into squares and compared as numbers, never as built texts; a number with
// more digits than a square (or than two squares written together) names none, however long.
// `candidates` (if given) receives every move (1-based) that the winning pass matches, in list order:
// a flying king's capture written with its origin and final square only may name several.
int MatchPdnMove(std::string_view token, const TMoveList& moves, TGameType variant,
                 std::vector<int>* candidates = nullptr);
// The same over the legal moves of `side` on `board`.
int MatchPdnMove(std::string_view token, const TBoard& board, int side, TGameType variant);

// A token with "-", "x" or ":" becomes its text before the first of them, "-", and its text after
// the last of them ("11x18x25" -> "11-25"); other tokens stay as they are.
std::string ShortenMoveToken(std::string_view token);

// The token the export writes for `move`, one of `legal` (the moves of its position): the standard
// full form with "x" ("c3-d4", "09x14"), unless an earlier move of the list has the same origin and
// final square (a capture by another route, taking other pieces): then every landing square
// ("c3xe5xc7"), so the token names this move and no other.
std::string PdnMoveToken(const TMove& move, const TMoveList& legal, TGameType variant);
