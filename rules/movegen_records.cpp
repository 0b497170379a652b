#include "rules/movegen_records.h"

#include "platform/byte_codec.h"
#include "rules/movegen.h"

#include <algorithm>

void EncodeMoveRecord(const TMove& m, std::uint8_t* out) {
    PutLe16(out, m.annotation);
    PutLe16(out + 2, m.parent);
    out[4] = m.mainLine;
    out[5] = m.free;
    out[6] = m.captures;
    out[7] = m.from;
    std::copy(m.squares.begin(), m.squares.end(), out + 8);
}

int FindMovesToRecords(const std::int8_t* board, int side, std::uint8_t* records, std::uint8_t* count,
                       TGameType variant) {
    if (count) *count = 0;
    if (!board || !records || !count || (side != 0 && side != 1) || !IsValidVariant(variant)) return -1;
    TBoard b;
    const int squares = SquaresOf(variant);
    for (int n = 1; n <= squares; ++n) {
        if (board[n - 1] < -2 || board[n - 1] > 2) return -1;
        b[n] = board[n - 1];
    }
    TMoveList list;
    FindMoves(b, side, list, variant);
    const int written = std::min<int>(static_cast<int>(list.size()), MaxMoveRecords);
    for (int i = 0; i < written; ++i)
        EncodeMoveRecord(list[i], records + i * MoveRecordSize);
    *count = static_cast<std::uint8_t>(written);
    return static_cast<int>(list.size());
}
