#pragma once
// A position written one character per internal square from square 1, as the developer tools
// take it: '.' empty, 'w'/'W' man/king of side 0, 'b'/'B' man/king of side 1.

#include "rules/board.h"

#include <string>

// False (and `b` unspecified) when the length is not `squares` or a character is unknown.
bool SquaresFromText(const std::string& text, int squares, TBoard& b);
