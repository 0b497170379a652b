#include "rules/evaluation.h"

#include "rules/square_sets.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::int16_t ManTable64[33] = {0,  4,  28, 24, 27, 8,  31, 17, 7,  8,  21, 26, 12, 14, 13, 17, 5,
                                         15, 30, 28, 26, 40, 32, 30, 30, 61, 64, 70, 87, 0,  0,  0,  0};
constexpr std::int16_t KingTable64[33] = {0, 80, 20, 0,  40, 83, 20, 40, 40, 20, 85, 45, 40, 20, 90, 45, 0,
                                          0, 45, 90, 20, 40, 45, 85, 20, 40, 40, 20, 83, 40, 0,  20, 80};
constexpr std::int16_t ManTable100[51] = {0,  0,  17, 15, 15, 16, 5,  15, 20, 8,  5,  3,  9,  10, 10, 8,  13,
                                          10, 13, 12, -5, 5,  10, 10, 7,  5,  10, 21, 20, 18, 0,  13, 16, 17,
                                          19, 20, 23, 25, 28, 30, 28, 30, 33, 35, 38, 8,  0,  0,  0,  0,  0};
constexpr std::int16_t KingTable100[51] = {
    0,  70, 30, 0,  10, 50, 70, 30, 10, 50, 55, 35, 70, 35, 50, 55, 35, 75, 55, 55, 10, 0,  40, 80, 60, 10,
    10, 55, 80, 35, 0,  10, 50, 60, 75, 30, 50, 55, 40, 70, 30, 50, 55, 10, 35, 70, 55, 10, 0,  35, 70};

// Material of a piece on each square, [side][square]: side 1 reads the tables from the other end.
struct TMaterialTable {
    std::array<std::array<std::int16_t, MaxSquares + 1>, 2> man{}, king{};
};

constexpr TMaterialTable MakeMaterial(const std::int16_t* men, const std::int16_t* kings, int squares,
                                      int kingBase) {
    TMaterialTable t;
    for (int s = 1; s <= squares; ++s) {
        t.man[0][s] = static_cast<std::int16_t>(100 + men[s]);
        t.man[1][s] = static_cast<std::int16_t>(100 + men[squares + 1 - s]);
        t.king[0][s] = static_cast<std::int16_t>(kingBase + (kings ? kings[s] : 0));
        t.king[1][s] = static_cast<std::int16_t>(kingBase + (kings ? kings[squares + 1 - s] : 0));
    }
    return t;
}

constexpr TMaterialTable FlyingKings64 = MakeMaterial(ManTable64, KingTable64, 32, 300);
constexpr TMaterialTable ShortKings64 = MakeMaterial(ManTable64, nullptr, 32, 200);
constexpr TMaterialTable Material100 = MakeMaterial(ManTable100, KingTable100, 50, 300);

// S0 and S1 of a table, and the number of pieces.
struct TMaterial {
    int s0 = 0, s1 = 0, pieces = 0;
};

void AddOver(TSquareSet set, const std::array<std::int16_t, MaxSquares + 1>& values, int& sum, int& pieces) {
    for (; set; set &= set - 1) {
        sum += values[LowestSquare(set)];
        ++pieces;
    }
}

TMaterial MaterialOf(const TPieceSets& p, const TMaterialTable& t) {
    TMaterial m;
    AddOver(p.men[0], t.man[0], m.s0, m.pieces);
    AddOver(p.kings[0], t.king[0], m.s0, m.pieces);
    AddOver(p.men[1], t.man[1], m.s1, m.pieces);
    AddOver(p.kings[1], t.king[1], m.s1, m.pieces);
    return m;
}

std::int16_t Clamp(std::int64_t v) {
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(v, -MaxStaticScore, MaxStaticScore));
}

// (S0 - S1) / (S0 + S1) x scale x 100 from the view of `side`, rounded; 0 for an empty board.
std::int16_t MaterialShare(int side, int s0, int s1, int scale) {
    if (s0 + s1 <= 0) return 0;
    const std::int64_t diff = side == 0 ? s0 - s1 : s1 - s0;
    return Clamp(RoundRatioHalfEven(diff * scale * 100, s0 + s1));
}

} // namespace

std::int64_t RoundRatioHalfEven(std::int64_t num, std::int64_t den) {
    std::int64_t q = num / den;
    std::int64_t r = num % den;
    if (r < 0) { // floor division
        --q;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q & 1) != 0)) ++q;
    return q;
}

std::int16_t EvaluateFlyingKings(int side, const TBoard& b) {
    const TMaterial m = MaterialOf(PieceSetsOf(b, 32), FlyingKings64);
    int s0 = m.s0, s1 = m.s1;
    if (b[25] == sqMan0 && b[29] == sqEmpty) s0 += 100;
    if (b[8] == sqMan1 && b[4] == sqEmpty) s1 += 100;
    if (b[17] == -1 && (b[21] == -1 || b[18] == -1) && b[9] == 1 && b[13] == 1 && b[10] == 1)
        s1 += b[1] == 0 ? 45 : 30;
    if (b[16] == 1 && (b[12] == 1 || b[15] == 1) && b[24] == -1 && b[20] == -1 && b[23] == -1)
        s0 += b[32] == 0 ? 45 : 30;
    if (b[16] == -1 && b[20] == -1 && b[24] == -1 && b[15] == 1 && b[12] == 1 && b[11] == 1 && b[7] == 1)
        s1 += b[4] == 0 ? 45 : 30;
    if (b[17] == 1 && b[13] == 1 && b[9] == 1 && b[18] == -1 && b[21] == -1 && b[26] == -1 && b[22] == -1)
        s0 += b[29] == 0 ? 45 : 30;
    return Clamp(side == 0 ? s0 - s1 : s1 - s0);
}

std::int16_t EvaluateShortKings(int side, const TBoard& b) {
    const TMaterial m = MaterialOf(PieceSetsOf(b, 32), ShortKings64);
    return MaterialShare(side, m.s0, m.s1, m.pieces);
}

std::int16_t EvaluateInternational(int side, const TBoard& b) {
    const TMaterial m = MaterialOf(PieceSetsOf(b, 50), Material100);
    // Each piece counts twice in the multiplier.
    return MaterialShare(side, m.s0, m.s1, 2 * m.pieces);
}

std::int16_t Evaluate(int side, const TBoard& board, int /*ply*/, TGameType variant) {
    switch (variant) {
    case gtEnglish:
    case gtItalian:
        return EvaluateShortKings(side, board);
    case gtInternational:
        return EvaluateInternational(side, board);
    default:
        return EvaluateFlyingKings(side, board);
    }
}
