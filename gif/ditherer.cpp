#include "gif/ditherer.h"

#include <algorithm>

int TDitherEngine::Dither(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& outRed,
                          std::uint8_t& outGreen, std::uint8_t& outBlue) {
    const int index = m_Lookup.Lookup(red, green, blue, outRed, outGreen, outBlue);
    m_Column += m_Direction;
    return index;
}

void TDitherEngine::NextLine() {
    m_Direction = -m_Direction;
    m_Column = m_Direction > 0 ? 0 : m_Width - 1;
}

TKernelDitherer::TKernelDitherer(int width, TColorLookup& lookup, std::vector<TDiffusion> kernel, int divisor,
                                 int margin)
    : TDitherEngine(width, lookup), m_Kernel(std::move(kernel)), m_Divisor(divisor), m_Margin(margin) {
    int rows = 0;
    for (const TDiffusion& d : m_Kernel)
        rows = std::max(rows, d.Row);
    m_Errors.assign(static_cast<std::size_t>(rows + 1),
                    std::vector<std::array<int, 3>>(static_cast<std::size_t>(width + 2 * margin)));
}

namespace {
// a / divisor truncated towards zero; the kernels' divisors as constants, which the compiler
// turns into multiplications (three divisions a pixel by a variable cost more than the rest).
int Divide(int a, int divisor) {
    switch (divisor) {
    case 16:
        return a / 16;
    case 32:
        return a / 32;
    case 42:
        return a / 42;
    case 48:
        return a / 48;
    case 200:
        return a / 200;
    default:
        return a / divisor;
    }
}
} // namespace

int TKernelDitherer::Dither(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& outRed,
                            std::uint8_t& outGreen, std::uint8_t& outBlue) {
    const int x = m_Column + m_Margin;
    const std::array<int, 3>& a = m_Errors[0][static_cast<std::size_t>(x)];
    const int half = m_Divisor / 2;
    const int v[3] = {std::clamp(red + Divide(a[0] + half, m_Divisor), 0, 255),
                      std::clamp(green + Divide(a[1] + half, m_Divisor), 0, 255),
                      std::clamp(blue + Divide(a[2] + half, m_Divisor), 0, 255)};
    const int index = m_Lookup.Lookup(static_cast<std::uint8_t>(v[0]), static_cast<std::uint8_t>(v[1]),
                                      static_cast<std::uint8_t>(v[2]), outRed, outGreen, outBlue);
    const int e[3] = {v[0] - outRed, v[1] - outGreen, v[2] - outBlue};
    if (e[0] | e[1] | e[2]) {
        for (const TDiffusion& d : m_Kernel) {
            std::array<int, 3>& cell = m_Errors[static_cast<std::size_t>(d.Row)]
                                               [static_cast<std::size_t>(x + d.Offset * m_Direction)];
            for (int c = 0; c < 3; ++c)
                cell[c] += e[c] * d.Weight;
        }
    }
    m_Column += m_Direction;
    return index;
}

void TKernelDitherer::NextLine() {
    std::rotate(m_Errors.begin(), m_Errors.begin() + 1, m_Errors.end());
    std::fill(m_Errors.back().begin(), m_Errors.back().end(), std::array<int, 3>{});
    TDitherEngine::NextLine();
}

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup, {{0, 1, 7}, {1, -1, 3}, {1, 0, 5}, {1, 1, 1}}, 16, 1) {}

TStuckiDitherer::TStuckiDitherer(int width, TColorLookup& lookup)
    : T5by3Ditherer(width, lookup,
                    {{0, 1, 8},
                     {0, 2, 4},
                     {1, -2, 2},
                     {1, -1, 4},
                     {1, 0, 8},
                     {1, 1, 4},
                     {1, 2, 2},
                     {2, -2, 1},
                     {2, -1, 2},
                     {2, 0, 4},
                     {2, 1, 2},
                     {2, 2, 1}},
                    42) {}

TSierraDitherer::TSierraDitherer(int width, TColorLookup& lookup)
    : T5by3Ditherer(width, lookup,
                    {{0, 1, 5},
                     {0, 2, 3},
                     {1, -2, 2},
                     {1, -1, 4},
                     {1, 0, 5},
                     {1, 1, 4},
                     {1, 2, 2},
                     {2, -1, 2},
                     {2, 0, 3},
                     {2, 1, 2}},
                    32) {}

TJaJuNiDitherer::TJaJuNiDitherer(int width, TColorLookup& lookup)
    : T5by3Ditherer(width, lookup,
                    {{0, 1, 7},
                     {0, 2, 5},
                     {1, -2, 3},
                     {1, -1, 5},
                     {1, 0, 7},
                     {1, 1, 5},
                     {1, 2, 3},
                     {2, -2, 1},
                     {2, -1, 3},
                     {2, 0, 5},
                     {2, 1, 3},
                     {2, 2, 1}},
                    48) {}

TSteveArcheDitherer::TSteveArcheDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup,
                      {{0, 2, 32},
                       {1, -3, 12},
                       {1, -1, 26},
                       {1, 1, 30},
                       {1, 3, 16},
                       {2, -2, 12},
                       {2, 0, 26},
                       {2, 2, 12},
                       {3, -3, 5},
                       {3, -1, 12},
                       {3, 1, 12},
                       {3, 3, 5}},
                      200, 3) {}

TBurkesDitherer::TBurkesDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup,
                      {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}}, 32,
                      2) {}

std::unique_ptr<TDitherEngine> CreateDitherer(int ditherMode, int width, TColorLookup& lookup) {
    switch (ditherMode) {
    case 0:
        return std::make_unique<TDitherEngine>(width, lookup);
    case 1:
        return std::make_unique<TFloydSteinbergDitherer>(width, lookup);
    case 2:
        return std::make_unique<TStuckiDitherer>(width, lookup);
    case 3:
        return std::make_unique<TSierraDitherer>(width, lookup);
    case 4:
        return std::make_unique<TJaJuNiDitherer>(width, lookup);
    case 5:
        return std::make_unique<TSteveArcheDitherer>(width, lookup);
    case 6:
        return std::make_unique<TBurkesDitherer>(width, lookup);
    default:
        return nullptr;
    }
}
