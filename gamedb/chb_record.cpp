#include "gamedb/chb_record.h"

#include "rules/board.h"

#include <algorithm>

namespace {

using TBytes = std::span<const std::uint8_t, ChbRecordSize>;

std::uint16_t U16(TBytes b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// A length byte and up to `width` characters.
std::string Text(TBytes b, std::size_t at, std::size_t width, bool& cut) {
    std::size_t n = b[at];
    if (n > width) {
        n = width;
        cut = true;
    }
    return std::string(reinterpret_cast<const char*>(b.data() + at + 1), n);
}

} // namespace

void DecodeChbRecord(TBytes b, TChbRecord& r) {
    r.lengthCut = false;
    r.name0First = Text(b, 0, 20, r.lengthCut);
    r.name0Second = Text(b, 21, 20, r.lengthCut);
    r.rating0 = U16(b, 42);
    r.title0 = b[44];
    r.name1First = Text(b, 49, 20, r.lengthCut);
    r.name1Second = Text(b, 70, 20, r.lengthCut);
    r.rating1 = U16(b, 91);
    r.title1 = b[93];
    r.tournament = Text(b, 98, 50, r.lengthCut);
    r.round = b[149];
    r.subround = b[150];
    r.day = b[151];
    r.month = b[153];
    r.year = U16(b, 155);
    r.startSide = b[157];
    r.plies = b[158];
    std::copy_n(b.begin() + 159, ChbKeyBytes, r.key.begin());
    for (int k = 0; k < ChbMoveCodes; ++k)
        r.codes[k] = U16(b, 170 + 2 * std::size_t(k));
    r.result = b[680];
    r.deleted = b[685];
    r.byte686 = b[686];
}

TChbMoveCoords DecodeChbMove(std::uint16_t code) {
    return {((code >> 9) & 15) + 1, ((code >> 6) & 7) + 1, ((code >> 3) & 7) + 1, (code & 7) + 1};
}

int ChbSquareAt(int row, int col) {
    return XYToSquare(col - 1, row - 1, 1);
}

int FindMoveByCoords(const TMoveList& list, int fromRow, int fromCol, int toRow, int toCol) {
    const int from = ChbSquareAt(fromRow, fromCol);
    const int to = ChbSquareAt(toRow, toCol);
    if (from == 0 || to == 0) return 0;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].from == from && list[i].To() == to) return static_cast<int>(i) + 1;
    return 0;
}

std::uint8_t ChbTitleIndex(int code) {
    static constexpr std::uint8_t map[8] = {0, 9, 8, 7, 6, 5, 4, 2};
    return code >= 0 && code < 8 ? map[code] : 0;
}
