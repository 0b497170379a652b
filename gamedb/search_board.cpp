#include "gamedb/search_board.h"

namespace {

struct TKindGeometry {
    int rows, cell, inset;
};

TKindGeometry GeometryOf(TSearchBoard kind) {
    return IsBoard100(kind) ? TKindGeometry{10, 16, 1} : TKindGeometry{8, 20, 3};
}

} // namespace

int PatternSquareAt(TSearchBoard kind, int x, int y) {
    x -= SearchBoardMargin;
    y -= SearchBoardMargin;
    if (x < 0 || y < 0 || x >= SearchBoardExtent || y >= SearchBoardExtent) return 0;
    const TKindGeometry g = GeometryOf(kind);
    const int c = x / g.cell;
    const int r = g.rows - 1 - y / g.cell;
    const bool mirrored = kind == TSearchBoard::b64i;
    // Mirrored columns put the dark squares where (r + c) is odd.
    if ((r + c) % 2 != (mirrored ? 1 : 0)) return 0;
    const int perRow = g.rows / 2;
    return r * perRow + (mirrored ? 7 - c : c) / 2 + 1;
}

std::int8_t NextPatternValue(std::int8_t value, TPatternButton button) {
    int v = value;
    switch (button) {
    case TPatternButton::Left:
        v = v == sqAny ? 1 : v + 1;
        break;
    case TPatternButton::Right:
        v = v == sqAny ? -1 : v - 1;
        break;
    case TPatternButton::Middle:
        v = v == sqAny ? 0 : sqAny;
        break;
    }
    if (v > sqAny) v = -2;
    if (v < -2) v = sqAny;
    return static_cast<std::int8_t>(v);
}

TPatternCells PatternSquareCells(TSearchBoard kind, int square) {
    const TKindGeometry g = GeometryOf(kind);
    const int perRow = g.rows / 2;
    const int r = (square - 1) / perRow;
    const int half = (square - 1) % perRow;
    int dark = 2 * half + r % 2;
    int light = 2 * half + 1 - r % 2;
    if (kind == TSearchBoard::b64i) {
        dark = 7 - dark;
        light = 7 - light;
    }
    TPatternCells c;
    c.darkX = SearchBoardMargin + dark * g.cell;
    c.lightX = SearchBoardMargin + light * g.cell;
    c.y = SearchBoardMargin + (g.rows - 1 - r) * g.cell;
    c.cell = g.cell;
    c.inset = g.inset;
    return c;
}

std::int8_t ShownPatternValue(TSearchBoard kind, std::int8_t value) {
    if (kind != TSearchBoard::b64e || value == sqAny) return value;
    return static_cast<std::int8_t>(-value);
}

TSidePhrases SideCaptionPhrases(TSearchBoard kind) {
    return kind == TSearchBoard::b64e ? TSidePhrases{129, 128} : TSidePhrases{128, 129};
}
