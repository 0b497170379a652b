#pragma once
// Binary PPM (P6) pictures for vqgif: reading into the codec's 24-bit bitmap, writing RGB rows.
// Errors are thrown as std::runtime_error with a message that names the file.

#include "gif/gif_bitmap.h"

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

// A decimal of 1 to 9 digits and nothing else (header fields and command-line numbers).
bool ParseDecimal(const std::string& text, long long& value);

// A P6 picture with a maxval up to 255. The header is checked against the bytes that follow it
// before anything is allocated, so a short file never asks for the memory its header names.
TBitmap ReadPPM(std::istream& in, const std::string& name);
// Only a regular file is opened.
TBitmap ReadPPM(const std::string& fileName);

// "P6 w h 255" and w x h red, green, blue triplets, row by row.
std::vector<std::uint8_t> EncodePPM(int width, int height, const std::vector<std::uint8_t>& rgb);
