#pragma once
// The project's own piece pictures: 70 x 70 pixels, RGB bytes row by row from the top, with the
// transparent colour in the corners (the lower-left pixel names it). Used for the built-in
// pictures and by the asset generator that writes Pics/default/*.bmp.

#include <cstdint>
#include <string>
#include <vector>

constexpr int PieceArtSize = 70;
// Magenta: appears nowhere in a piece.
constexpr std::uint8_t PieceArtKey[3] = {255, 0, 255};

// index: 0 black king, 1 black man, 2 white man, 3 white king.
std::vector<std::uint8_t> RenderPieceArt(int index);

// A 24-bit uncompressed BMP file of `rgb` (rows from the top).
std::string EncodeBmp24(int width, int height, const std::vector<std::uint8_t>& rgb);
