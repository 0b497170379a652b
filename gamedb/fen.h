#pragma once
// FEN values and PDN tag lines: the start position of an imported game and of a pasted position.
// Re-entrant; any thread. Text is untrusted (files, the clipboard): every square number is checked.

#include "rules/board.h"

#include <string>

// Splits one tag line such as [FEN "W:W21,22:B1,2"] into key and value. Returns false for a line
// with neither a double quote nor a blank (the line is ignored). Key and value lose their outer
// blanks; a key ending in "=" loses it. The line's last character (normally "]") is never part of
// the value. Code page conversion of the value is the caller's.
bool ParsePdnTag(const std::string& line, std::string& key, std::string& value);

// Fills `board` from a FEN value in `variant`'s numbering and sets `side` to 1 when the second side
// moves first ("B:" in variants other than English and Pool, "W:" in those two); otherwise `side`
// is left as it is, so callers set it to 0 first. A square number outside the board (1..32, or
// 1..50 on 10x10) or an entry that is not a number rejects the whole text: the result is false,
// `error` (if given) says why, and `board` and `side` are unchanged.
bool ParseFen(const std::string& text, TBoard& board, int& side, TGameType variant,
              std::string* error = nullptr);

// The internal square of FEN square number `n` (1..32 or 1..50) in `variant`; 0 when out of range.
int FenSquareToInternal(int n, TGameType variant);
