#pragma once
// Reads GIF bytes with netpbm's giftopnm, a second independent decoder beside giflib: here its
// alpha output, which says which pixels a GIF's transparent colour leaves clear.

#include <cstdint>
#include <string>
#include <vector>

struct TNetpbmAlpha {
    bool Ok = false;
    std::string Error;
    int Width = 0, Height = 0;
    std::vector<std::uint8_t> Transparent; // one byte a pixel, rows top down: 1 clear, 0 opaque
};

// Runs giftopnm -alphaout on the bytes, in a file below folder.
TNetpbmAlpha AlphaByGiftopnm(const std::vector<std::uint8_t>& gif, const std::string& folder);
