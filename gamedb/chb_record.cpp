#include "gamedb/chb_record.h"

#include "platform/byte_codec.h"
#include "rules/board.h"

#include <cassert>

namespace {

// A length byte and a field of `width` characters, of which the length says how many are the text.
std::string Text(TByteReader& in, std::size_t width, bool& cut) {
    std::size_t n = in.U8();
    std::string field = in.Text(width);
    if (n > width) {
        n = width;
        cut = true;
    }
    field.resize(n);
    return field;
}

} // namespace

// Field by field in the order of the record's offsets (in the comments); the bytes that are not
// read are skipped.
void DecodeChbRecord(std::span<const std::uint8_t, ChbRecordSize> bytes, TChbRecord& r) {
    TByteReader in(bytes.data(), bytes.size());
    r.lengthCut = false;
    r.name0First = Text(in, 20, r.lengthCut);  // 0
    r.name0Second = Text(in, 20, r.lengthCut); // 21
    r.rating0 = in.Le16();                     // 42
    r.title0 = in.U8();                        // 44
    in.Skip(4);
    r.name1First = Text(in, 20, r.lengthCut);  // 49
    r.name1Second = Text(in, 20, r.lengthCut); // 70
    r.rating1 = in.Le16();                     // 91
    r.title1 = in.U8();                        // 93
    in.Skip(4);
    r.tournament = Text(in, 50, r.lengthCut); // 98
    r.round = in.U8();                        // 149
    r.subround = in.U8();                     // 150
    r.day = in.U8();                          // 151
    in.Skip(1);
    r.month = in.U8(); // 153
    in.Skip(1);
    r.year = in.Le16();                   // 155
    r.startSide = in.U8();                // 157
    r.plies = in.U8();                    // 158
    in.Bytes(r.key.data(), r.key.size()); // 159
    for (std::uint16_t& code : r.codes)   // 170
        code = in.Le16();
    r.result = in.U8(); // 680
    in.Skip(4);
    r.deleted = in.U8(); // 685
    r.byte686 = in.U8(); // 686
    in.Skip(13);
    assert(in.AtEnd() && in.Ok());
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
