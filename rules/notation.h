#pragma once
// Square names and move texts in each variant's own notation.

#include "rules/board.h"
#include "rules/move.h"

#include <string>

// Algebraic names ("a1".."h8") in variants 1, 3 and 7; numbers in the others, with a leading "0"
// below 10 when `full` is set.
std::string SquareToText(int square, TGameType variant, bool full);
// The displayed number of a square in the numbering variants (2, 4, 5, 6).
int DisplayedSquareNumber(int square, TGameType variant);
// From and final square: "c3-d4", "cd4", "c:e5", "9-14", "09x14".
std::string MoveToText(const TMove& m, TGameType variant, bool full, const std::string& takeSeparator);
// Every stop of a capture: "c3:e5:c7"; a plain move as MoveToText.
std::string MoveToFullText(const TMove& m, TGameType variant, bool full, const std::string& takeSeparator);
// From x final x each captured square, short numbers: "22x15x18".
std::string MoveToCaptureText(const TMove& m, TGameType variant);
// The same with the main window's variant.
std::string MoveToCaptureText(const TMove& m);
