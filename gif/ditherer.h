#pragma once
// Dithering engines: walk each row in serpentine order and map pixels through a lookup,
// optionally spreading each pixel's mapping error to its not yet visited neighbours.
// Usage per row: while (0 <= Column() < width) out[Column()] = Dither(...); then NextLine().

#include "gif/color_lookup.h"

#include <array>
#include <memory>
#include <vector>

// Nearest colour, no diffusion.
class TDitherEngine {
  public:
    TDitherEngine(int width, TColorLookup& lookup) : m_Width(width), m_Lookup(lookup) {}
    virtual ~TDitherEngine() = default;

    // Maps the pixel at the current column and moves on one column.
    virtual int Dither(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& outRed,
                       std::uint8_t& outGreen, std::uint8_t& outBlue);
    // Reverses the direction and starts the next row at its first column in that direction.
    virtual void NextLine();
    // Moves on one column without mapping the pixel there: it takes no error and spreads none.
    void Skip() { m_Column += m_Direction; }

    int Column() const { return m_Column; }
    int Direction() const { return m_Direction; }

  protected:
    int m_Direction = 1;
    int m_Column = 0;
    int m_Width;
    TColorLookup& m_Lookup;
};

// One weight of a diffusion kernel: the error share that goes to (row ahead, column offset in
// the scan direction).
struct TDiffusion {
    int Row;
    int Offset;
    int Weight;
};

// Error diffusion by a fixed kernel; the value added to a pixel is (a + divisor/2) / divisor of
// its accumulated error a, truncated towards zero.
class TKernelDitherer : public TDitherEngine {
  public:
    TKernelDitherer(int width, TColorLookup& lookup, std::vector<TDiffusion> kernel, int divisor, int margin);
    int Dither(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& outRed,
               std::uint8_t& outGreen, std::uint8_t& outBlue) override;
    void NextLine() override;

  private:
    std::vector<TDiffusion> m_Kernel;
    int m_Divisor;
    int m_Margin;
    // Error rows: the current one first; each column holds red, green, blue.
    std::vector<std::vector<std::array<int, 3>>> m_Errors;
};

class TFloydSteinbergDitherer : public TKernelDitherer {
  public:
    TFloydSteinbergDitherer(int width, TColorLookup& lookup);
};

// Kernels of five columns and three rows.
class T5by3Ditherer : public TKernelDitherer {
  public:
    T5by3Ditherer(int width, TColorLookup& lookup, std::vector<TDiffusion> kernel, int divisor)
        : TKernelDitherer(width, lookup, std::move(kernel), divisor, 2) {}
};

class TStuckiDitherer : public T5by3Ditherer {
  public:
    TStuckiDitherer(int width, TColorLookup& lookup);
};

class TSierraDitherer : public T5by3Ditherer {
  public:
    TSierraDitherer(int width, TColorLookup& lookup);
};

class TJaJuNiDitherer : public T5by3Ditherer {
  public:
    TJaJuNiDitherer(int width, TColorLookup& lookup);
};

class TSteveArcheDitherer : public TKernelDitherer {
  public:
    TSteveArcheDitherer(int width, TColorLookup& lookup);
};

class TBurkesDitherer : public TKernelDitherer {
  public:
    TBurkesDitherer(int width, TColorLookup& lookup);
};

// The engine of a dither mode 0-6, or null for any other mode.
std::unique_ptr<TDitherEngine> CreateDitherer(int ditherMode, int width, TColorLookup& lookup);
