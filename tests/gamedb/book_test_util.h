#pragma once
// Opening-book fixtures: records assembled byte by byte from the record table (offsets 0..31,
// little-endian), independently of the codec under test, and positions reached by move texts.

#include "gamedb_test_util.h"
#include "rules/movegen.h"
#include "rules/notation.h"

#include <algorithm>
#include <initializer_list>
#include <string>

namespace gamedb_test {

struct TRec {
    TPositionKey key{};
    int side = 0;
    int result1 = 0, draws = 0, result3 = 0;
    int mark = 0;
    int comment = 0;
    int low = -2000, high = 2000, reserved = 0;
};

inline void Put16(Bytes& b, int at, int v) {
    b[at] = static_cast<std::uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

// 17 key bytes, side, "1-0", draws, "0-1", -2000, 2000, mark, reserved, comment.
inline Bytes RecordBytes(const TRec& r) {
    Bytes b(32, 0);
    for (int i = 0; i < 17; ++i)
        b[i] = r.key[i];
    b[17] = static_cast<std::uint8_t>(r.side);
    Put16(b, 18, r.result1);
    Put16(b, 20, r.draws);
    Put16(b, 22, r.result3);
    Put16(b, 24, r.low);
    Put16(b, 26, r.high);
    b[28] = static_cast<std::uint8_t>(r.mark);
    b[29] = static_cast<std::uint8_t>(r.reserved);
    Put16(b, 30, r.comment);
    return b;
}

// Records in the file's order: key bytes, then side.
inline Bytes SortedBook(std::vector<TRec> recs) {
    std::sort(recs.begin(), recs.end(),
              [](const TRec& a, const TRec& b) { return a.key != b.key ? a.key < b.key : a.side < b.side; });
    Bytes all;
    for (const TRec& r : recs) {
        const Bytes b = RecordBytes(r);
        all.insert(all.end(), b.begin(), b.end());
    }
    return all;
}

inline Bytes BookBytes(std::initializer_list<TRec> records) {
    Bytes all;
    for (const TRec& r : records) {
        const Bytes b = RecordBytes(r);
        all.insert(all.end(), b.begin(), b.end());
    }
    return all;
}

// The legal move of `board` whose full text (":" for captures) is `text`.
inline TMove MoveByText(const TBoard& board, int side, TGameType variant, const std::string& text) {
    TMoveList list;
    FindMoves(board, side, list, variant);
    for (const TMove& m : list)
        if (MoveToText(m, variant, true, ":") == text) return m;
    ADD_FAILURE() << "no legal move " << text;
    return {};
}

// The position after playing `moves` from `start` with `side` to move first.
struct TLine {
    TBoard board;
    int side;
};
inline TLine Play(TGameType variant, const std::vector<const char*>& moves) {
    TLine l{StartPositionOf(variant), 0};
    for (const char* text : moves) {
        MakeMove(MoveByText(l.board, l.side, variant, text), l.board, variant);
        l.side ^= 1;
    }
    return l;
}

inline TPositionKey KeyOf(const TBoard& b) {
    TPositionKey k;
    PositionToKey(b, k);
    return k;
}

// The record key and side of a line.
inline TRec At(TGameType variant, const std::vector<const char*>& moves) {
    const TLine l = Play(variant, moves);
    TRec r;
    r.key = KeyOf(l.board);
    r.side = l.side;
    return r;
}

} // namespace gamedb_test
