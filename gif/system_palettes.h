#pragma once
// The fixed palettes a Windows display offers, as constants.

#include "gif/gif_bitmap.h"

// The 20 static system colours of the stock default palette, in their standard order:
// the first ten (dark colours, light grey, money green, sky blue), then the last ten
// (cream, medium grey, dark grey and the bright primaries up to white).
const TPalette& StockDefaultPalette();

// A 256-entry halftone palette: the first ten system colours, the 216-colour cube
// (levels 0, 51, ..., 255, red slowest) at entries 10-225, 20 extra greys at 226-245 and
// the last ten system colours at 246-255.
const TPalette& HalftonePalette();

// The 216-colour cube: entry 36 r + 6 g + b is (51 r, 51 g, 51 b), r, g, b = 0..5; every entry
// carries flags.
TPalette NetscapePalette(std::uint8_t flags = 0);
