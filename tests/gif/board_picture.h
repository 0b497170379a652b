#pragma once
// A board-like test picture: 8 x 8 wooden squares with grain, shaded men on the dark squares of
// the first and last three rows. Deterministic; 24 bits; well over 236 colours.

#include "gif/gif_bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

// grain adds up to 7 levels of noise to every pixel, the worst case for colour reduction and LZW.
inline TBitmap MakeBoardPicture(int size, bool grain = true) {
    TBitmap bitmap(size, size, pf24bit);
    const double cell = size / 8.0;
    std::uint32_t seed = 12345;
    auto noise = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>(seed >> 29); // 0..7
    };
    for (int y = 0; y < size; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < size; ++x) {
            const int cx = std::min(7, static_cast<int>(x / cell)),
                      cy = std::min(7, static_cast<int>(y / cell));
            const bool dark = (cx + cy) % 2 == 1;
            const double wood = 6 * std::sin((x + 3 * y) * 0.07 + cy);
            double r = dark ? 150 + wood : 232 + wood, g = dark ? 104 + wood : 205 + wood,
                   b = dark ? 64 + wood / 2 : 160 + wood / 2;
            const bool piece = dark && (cy < 3 || cy > 4);
            if (piece) {
                const double px = (cx + 0.5) * cell, py = (cy + 0.5) * cell;
                const double d = std::hypot(x - px, y - py) / (0.4 * cell);
                if (d < 1.0) {
                    const double light = 1.0 - 0.5 * d * d - 0.25 * ((x - px) + (y - py)) / cell;
                    const double base = cy < 3 ? 60 : 235;
                    r = g = b = std::clamp(base * light + (cy < 3 ? 30 : 0), 0.0, 255.0);
                    b = std::min(255.0, b + 10);
                }
            }
            const int n = grain ? noise() : 0;
            row[3 * x] = static_cast<std::uint8_t>(std::clamp(b + n, 0.0, 255.0));
            row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(g + n, 0.0, 255.0));
            row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(r + n, 0.0, 255.0));
        }
    }
    return bitmap;
}
