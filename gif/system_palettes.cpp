#include "gif/system_palettes.h"

const TPalette& StockDefaultPalette() {
    static const TPalette palette = {
        {0x00, 0x00, 0x00, 0}, {0x80, 0x00, 0x00, 0}, {0x00, 0x80, 0x00, 0}, {0x80, 0x80, 0x00, 0},
        {0x00, 0x00, 0x80, 0}, {0x80, 0x00, 0x80, 0}, {0x00, 0x80, 0x80, 0}, {0xC0, 0xC0, 0xC0, 0},
        {0xC0, 0xDC, 0xC0, 0}, {0xA6, 0xCA, 0xF0, 0}, {0xFF, 0xFB, 0xF0, 0}, {0xA0, 0xA0, 0xA4, 0},
        {0x80, 0x80, 0x80, 0}, {0xFF, 0x00, 0x00, 0}, {0x00, 0xFF, 0x00, 0}, {0xFF, 0xFF, 0x00, 0},
        {0x00, 0x00, 0xFF, 0}, {0xFF, 0x00, 0xFF, 0}, {0x00, 0xFF, 0xFF, 0}, {0xFF, 0xFF, 0xFF, 0},
    };
    return palette;
}

// The system colours at both ends are the display's; the cube is the usual web cube.
// HACK: the order within the cube and the 20 greys between it and the last system colours
// are our own choice, as no fixed table for them is at hand; a halftone palette only has to
// spread its colours evenly, and nothing stored depends on the order.
const TPalette& HalftonePalette() {
    static const TPalette palette = [] {
        const TPalette& system = StockDefaultPalette();
        TPalette p(system.begin(), system.begin() + 10);
        const TPalette cube = NetscapePalette();
        p.insert(p.end(), cube.begin(), cube.end());
        for (int i = 1; i <= 20; ++i) {
            // Greys between the cube's levels: 12, 24, ..., 243 (none equal to a cube level).
            const auto v = static_cast<std::uint8_t>((i * 255 + 10) / 21);
            p.push_back({v, v, v, 0});
        }
        p.insert(p.end(), system.begin() + 10, system.end());
        return p;
    }();
    return palette;
}

TPalette NetscapePalette(std::uint8_t flags) {
    TPalette p;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back({static_cast<std::uint8_t>(51 * r), static_cast<std::uint8_t>(51 * g),
                             static_cast<std::uint8_t>(51 * b), flags});
    return p;
}
