#pragma once
// Colour lookups: map a true colour to a palette index and the palette colour it stands for.

#include "gif/gif_bitmap.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <unordered_map>

class TColorLookup {
  public:
    explicit TColorLookup(int colors) : m_Colors(colors) {}
    virtual ~TColorLookup() = default;
    virtual int Lookup(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& outRed,
                       std::uint8_t& outGreen, std::uint8_t& outBlue) = 0;
    int Colors() const { return m_Colors; }

  protected:
    int m_Colors;
};

// Nearest palette colour (sum of absolute channel differences, lowest index on a tie), cached
// per 15-bit colour so the linear search runs once per cache key. A palette colour always maps
// to its own entry, also when another entry shares its cache key.
class TFastColorLookup : public TColorLookup {
  public:
    explicit TFastColorLookup(const TPalette& palette);
    int Lookup(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& outRed,
               std::uint8_t& outGreen, std::uint8_t& outBlue) override;

    static int KeyOf(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return (r >> 3) | (g >> 3) << 5 | (b >> 3) << 10;
    }

  private:
    static constexpr std::uint16_t Empty = 65535;
    TPalette m_Palette;
    std::array<int, 256> m_Reds{}, m_Greens{}, m_Blues{};
    std::array<std::uint16_t, 32768> m_Cache;
    // Keys claimed by more than one distinct palette colour, and the exact colours behind them.
    std::bitset<32768> m_Shared;
    std::unordered_map<TColor, int> m_Exact;
};

// The 216-colour cube: levels of 51.
class TNetscapeColorLookup : public TColorLookup {
  public:
    TNetscapeColorLookup() : TColorLookup(216) {}
    int Lookup(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& outRed,
               std::uint8_t& outGreen, std::uint8_t& outBlue) override;
};

// 256 greys by luminance.
class TGrayScaleLookup : public TColorLookup {
  public:
    TGrayScaleLookup() : TColorLookup(256) {}
    int Lookup(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& outRed,
               std::uint8_t& outGreen, std::uint8_t& outBlue) override;
};

// Black (0) or white (1) by luminance.
class TMonochromeLookup : public TColorLookup {
  public:
    TMonochromeLookup() : TColorLookup(2) {}
    int Lookup(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& outRed,
               std::uint8_t& outGreen, std::uint8_t& outBlue) override;
};
