#pragma once
// FEN values and PDN tag lines: the start position of an imported game and of a pasted position.
// Re-entrant; any thread. Text is untrusted (files, the clipboard): every square number is checked.

#include "rules/board.h"

#include <string>

// Splits one tag line such as [FEN "W:W21,22:B1,2"] into key and value. Returns false for a line
// with neither a double quote nor a blank (the line is ignored). Key and value lose their outer
// blanks; a key ending in "=" loses it. The line's last character (normally "]") is never part of
// the value. Inside the value \" stands for a double quote and \\ for a backslash (as the export
// writes them); any other backslash is kept. Code page conversion of the value is the caller's.
bool ParsePdnTag(const std::string& line, std::string& key, std::string& value);
// A tag value as written between the double quotes: '"' and '\' escaped with a backslash.
std::string EscapePdnTagValue(const std::string& value);

// Fills `board` from a FEN value in `variant`'s numbering and sets `side` to 1 when the second side
// moves first ("B:" in variants other than English and Pool, "W:" in those two); otherwise `side`
// is left as it is, so callers set it to 0 first. An entry is a square number, a range of them
// ("31-50": every square from 31 to 50) or, in Russian, Brazilian and Czech, an algebraic square
// ("c3"); "K" before it makes the pieces kings. A square outside the board (1..32, or 1..50 on
// 10x10), a light algebraic square or an entry that is none of these rejects the whole text: the
// result is false, `error` (if given) says why, and `board` and `side` are unchanged.
bool ParseFen(const std::string& text, TBoard& board, int& side, TGameType variant,
              std::string* error = nullptr);

// The internal square of FEN square number `n` (1..32 or 1..50) in `variant`; 0 when out of range.
int FenSquareToInternal(int n, TGameType variant);
// The FEN square number of internal square `square` in `variant`, in decimal without leading
// zeros: the inverse of FenSquareToInternal.
std::string FenSquareNumber(int square, TGameType variant);
// The FEN value of a position: "W:" or "B:" for the colour to move (`side` 0 or 1 in the
// variant's sense), then White's and Black's pieces ("K" before a king) in increasing square order
// of the board, side 0's colour first, and a closing ".": "W:W29:BK4." A side without pieces keeps
// its letter.
std::string FenValue(const TBoard& board, int side, TGameType variant);
