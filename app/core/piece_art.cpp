#include "app/core/piece_art.h"

#include "platform/byte_codec.h"

#include <algorithm>
#include <cmath>

namespace {
void Put(std::vector<std::uint8_t>& img, int x, int y, int r, int g, int b) {
    if (x < 0 || y < 0 || x >= PieceArtSize || y >= PieceArtSize) return;
    std::uint8_t* p = &img[3 * (y * PieceArtSize + x)];
    p[0] = static_cast<std::uint8_t>(r);
    p[1] = static_cast<std::uint8_t>(g);
    p[2] = static_cast<std::uint8_t>(b);
}

// Point inside the triangle (a, b, c)?
bool InTriangle(double px, double py, double ax, double ay, double bx, double by, double cx, double cy) {
    auto side = [](double x1, double y1, double x2, double y2, double x3, double y3) {
        return (x1 - x3) * (y2 - y3) - (x2 - x3) * (y1 - y3);
    };
    const double d1 = side(px, py, ax, ay, bx, by), d2 = side(px, py, bx, by, cx, cy),
                 d3 = side(px, py, cx, cy, ax, ay);
    const bool neg = d1 < 0 || d2 < 0 || d3<0, pos = d1> 0 || d2 > 0 || d3 > 0;
    return !(neg && pos);
}

} // namespace

std::vector<std::uint8_t> RenderPieceArt(int index) {
    std::vector<std::uint8_t> img(3 * PieceArtSize * PieceArtSize);
    for (int i = 0; i < PieceArtSize * PieceArtSize; ++i)
        for (int k = 0; k < 3; ++k)
            img[3 * i + k] = PieceArtKey[k];
    const bool black = index == 0 || index == 1;
    const bool king = index == 0 || index == 3;
    const double c = (PieceArtSize - 1) / 2.0;
    for (int y = 0; y < PieceArtSize; ++y)
        for (int x = 0; x < PieceArtSize; ++x) {
            const double d = std::hypot(x - c, y - c);
            if (d > 33.0) continue;
            // A rim, a groove and a face lit from the upper left.
            const double light = 1.0 - 0.25 * ((x - c) + (y - c)) / 33.0;
            int base = black ? 52 : 232;
            if (d > 30.0)
                base = black ? 20 : 150;
            else if (d > 22.0 && d < 24.0)
                base = black ? 90 : 190;
            const int v = std::min(255, static_cast<int>(base * light));
            if (black)
                Put(img, x, y, v, v, v + (v < 235 ? 12 : 0));
            else
                Put(img, x, y, v, v, std::max(0, v - 18));
        }
    if (king) {
        // A gold crown: three spikes on a band.
        for (int y = 20; y <= 50; ++y)
            for (int x = 17; x <= 52; ++x) {
                const bool band = y >= 42 && y <= 48;
                const bool spikes = y < 42 && (InTriangle(x, y, 17, 41, 29, 41, 20, 22) ||
                                               InTriangle(x, y, 27, 41, 42, 41, 34.5, 18) ||
                                               InTriangle(x, y, 40, 41, 52, 41, 49, 22));
                if (band || spikes) Put(img, x, y, 236, 184 - (y - 18), 40);
            }
    }
    return img;
}

std::string EncodeBmp24(int width, int height, const std::vector<std::uint8_t>& rgb) {
    const int stride = (3 * width + 3) / 4 * 4;
    const unsigned imageBytes = static_cast<unsigned>(stride * height);
    std::string s = "BM";
    AppendLe32(s, 54 + imageBytes);
    AppendLe32(s, 0);
    AppendLe32(s, 54);
    AppendLe32(s, 40);
    AppendLe32(s, static_cast<unsigned>(width));
    AppendLe32(s, static_cast<unsigned>(height)); // positive: rows from the bottom
    AppendLe16(s, 1);
    AppendLe16(s, 24);
    AppendLe32(s, 0);
    AppendLe32(s, imageBytes);
    AppendLe32(s, 3780); // 96 dpi
    AppendLe32(s, 3780);
    AppendLe32(s, 0);
    AppendLe32(s, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = &rgb[3 * (y * width + x)];
            s += static_cast<char>(p[2]);
            s += static_cast<char>(p[1]);
            s += static_cast<char>(p[0]);
        }
        s.append(static_cast<std::size_t>(stride - 3 * width), '\0');
    }
    return s;
}
