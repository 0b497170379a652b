#pragma once
// Colour reduction of a bitmap to at most 256 colours and 8-bit indices.

#include "gif/gif_bitmap.h"

// Reduction modes.
enum : int {
    rmNone = 0,            // a 24-bit copy
    rmWindows20 = 1,       // the stock default palette
    rmWindows256 = 2,      // the halftone palette
    rmWindowsGray = 3,     // 4 greys
    rmMonochrome = 4,      // black and white
    rmGrayScale = 5,       // 256 greys
    rmNetscape = 6,        // the 216-colour cube
    rmQuantize = 7,        // octree to 2^bits colours
    rmQuantizeWindows = 8, // octree to 236 colours between the system colours
    rmPalette = 9,         // the caller's palette
};

// Dither modes.
enum : int {
    dmNearest = 0,
    dmFloydSteinberg = 1,
    dmStucki = 2,
    dmSierra = 3,
    dmJaJuNi = 4,
    dmSteveArche = 5,
    dmBurkes = 6,
};

// A new bitmap: 8-bit indices with a 256-entry palette, or a 24-bit copy in mode 0. A mode or
// dither mode out of range, a missing palette for mode 9 or a bits value outside 1-8 for mode 7
// gives an empty bitmap. palette may be null except in mode 9.
TBitmap ReduceColors(const TBitmap& bitmap, int reductionMode, int ditherMode, const TPalette* palette,
                     int bits);
