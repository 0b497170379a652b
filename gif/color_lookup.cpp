#include "gif/color_lookup.h"

#include <cstdlib>

TFastColorLookup::TFastColorLookup(const TPalette& palette)
    : TColorLookup(static_cast<int>(std::min<std::size_t>(palette.size(), 256))),
      m_Palette(palette.begin(), palette.begin() + m_Colors) {
    m_Cache.fill(Empty);
    for (int i = 0; i < m_Colors; ++i) {
        const TPaletteEntry& e = m_Palette[static_cast<std::size_t>(i)];
        m_Reds[static_cast<std::size_t>(i)] = e.Red;
        m_Greens[static_cast<std::size_t>(i)] = e.Green;
        m_Blues[static_cast<std::size_t>(i)] = e.Blue;
        const int key = KeyOf(e.Red, e.Green, e.Blue);
        const TColor colour = RGBColor(e.Red, e.Green, e.Blue);
        m_Exact.try_emplace(colour, i);
        if (m_Cache[key] == Empty) {
            m_Cache[key] = static_cast<std::uint16_t>(i);
        } else {
            const TPaletteEntry& owner = m_Palette[m_Cache[key]];
            if (RGBColor(owner.Red, owner.Green, owner.Blue) != colour)
                m_Shared.set(static_cast<std::size_t>(key));
        }
    }
    // Only keys that are shared need the exact table.
    if (m_Shared.none()) m_Exact.clear();
}

int TFastColorLookup::Lookup(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& outRed,
                             std::uint8_t& outGreen, std::uint8_t& outBlue) {
    const int key = KeyOf(red, green, blue);
    int index = -1;
    if (m_Shared.test(static_cast<std::size_t>(key))) {
        const auto it = m_Exact.find(RGBColor(red, green, blue));
        if (it != m_Exact.end()) index = it->second;
    }
    if (index < 0) {
        if (m_Cache[key] == Empty) {
            // Distances first (a loop the compiler vectorises), then the first smallest.
            std::array<int, 256> distance;
            for (int i = 0; i < m_Colors; ++i)
                distance[static_cast<std::size_t>(i)] =
                    std::abs(m_Reds[static_cast<std::size_t>(i)] - red) +
                    std::abs(m_Greens[static_cast<std::size_t>(i)] - green) +
                    std::abs(m_Blues[static_cast<std::size_t>(i)] - blue);
            int best = 0, bestDistance = 196608;
            for (int i = 0; i < m_Colors; ++i) {
                if (distance[static_cast<std::size_t>(i)] < bestDistance) {
                    bestDistance = distance[static_cast<std::size_t>(i)];
                    best = i;
                }
            }
            m_Cache[key] = static_cast<std::uint16_t>(best);
        }
        index = m_Cache[key];
    }
    const TPaletteEntry& e = m_Palette[static_cast<std::size_t>(index)];
    outRed = e.Red;
    outGreen = e.Green;
    outBlue = e.Blue;
    return index;
}

int TNetscapeColorLookup::Lookup(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                 std::uint8_t& outRed, std::uint8_t& outGreen, std::uint8_t& outBlue) {
    const int r = (red + 3) / 51, g = (green + 3) / 51, b = (blue + 3) / 51;
    outRed = static_cast<std::uint8_t>(r * 51);
    outGreen = static_cast<std::uint8_t>(g * 51);
    outBlue = static_cast<std::uint8_t>(b * 51);
    return 36 * r + 6 * g + b;
}

int TGrayScaleLookup::Lookup(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& outRed,
                             std::uint8_t& outGreen, std::uint8_t& outBlue) {
    const auto grey = static_cast<std::uint8_t>((77 * red + 150 * green + 29 * blue) / 256);
    outRed = outGreen = outBlue = grey;
    return grey;
}

int TMonochromeLookup::Lookup(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& outRed,
                              std::uint8_t& outGreen, std::uint8_t& outBlue) {
    const bool white = 77 * red + 150 * green + 29 * blue >= 32513;
    outRed = outGreen = outBlue = white ? 255 : 0;
    return white ? 1 : 0;
}
