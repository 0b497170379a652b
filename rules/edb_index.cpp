#include "rules/edb_index.h"

#include "rules/square_sets.h"

#include <array>

namespace {

constexpr int MaxTableK = 8;

// T[k][r][c] for k = 1..8, r = 1..k + 1, c = 0..32 - k: T[k][r][c] = C(c + r - 2, r - 1) for
// c >= 1 and 0 for c = 0.
struct TRankTables {
    std::array<std::array<std::array<std::uint32_t, EdbSquares + 1>, MaxTableK + 2>, MaxTableK + 1> t{};

    TRankTables() {
        for (int k = 1; k <= MaxTableK; ++k) {
            auto& tk = t[k];
            for (int c = 1; c <= EdbSquares - k; ++c)
                tk[1][c] = 1;
            for (int r = 2; r <= k + 1; ++r)
                for (int c = 1; c <= EdbSquares - k; ++c)
                    tk[r][c] = tk[r][c - 1] + tk[r - 1][c];
        }
    }
};

const TRankTables& Tables() {
    static const TRankTables tables;
    return tables;
}

// Base(n) = number of values of all positions with fewer pieces, from 2 up.
constexpr std::array<std::uint32_t, EdbMaxPieces + 1> Base{0, 0, 0, 7936, 325376, 9531136};
// C(32, n).
constexpr std::array<std::uint32_t, EdbMaxPieces + 1> SquareSets{1, 32, 496, 4960, 35960, 201376};

} // namespace

void InitIndexTables() {
    (void)Tables();
}

std::uint32_t CombinationRank(int k, const int* s) {
    if (k < 1 || k > MaxTableK) return 0;
    const auto& tk = Tables().t[k];
    std::uint32_t rank = 1;
    for (int m = 2; m <= k + 1; ++m)
        rank += tk[m][EdbSquares - k] - tk[m][EdbSquares - (s[m - 2] + m - 2)];
    return rank;
}

std::uint32_t SquareSetIndex(int n, const int* squaresDecreasing) {
    return CombinationRank(n, squaresDecreasing);
}

TEdbPositionIndex EdbPositionIndex(const TBoard& board) {
    TEdbPositionIndex index;
    std::array<int, MaxTableK> squares{};
    std::uint32_t digits = 0;
    // The occupied squares from 32 down; king of side 1 -> 0, man of side 1 -> 1, man of side 0
    // -> 2, king of side 0 -> 3.
    const TPieceSets p = PieceSetsOf(board, EdbSquares);
    const TSquareSet occupied = p.men[0] | p.men[1] | p.kings[0] | p.kings[1];
    for (TSquareSet rest = occupied; rest; rest &= ~SquareBit(HighestSquare(rest))) {
        const int s = HighestSquare(rest);
        if (index.n < MaxTableK) {
            squares[index.n] = s;
            const TSquareSet bit = SquareBit(s);
            const std::uint32_t digit = (p.kings[1] & bit) ? 0
                                        : (p.men[1] & bit) ? 1
                                        : (p.men[0] & bit) ? 2
                                                           : 3;
            digits = digits * 4 + digit;
        }
        ++index.n;
    }
    if (index.n == 0 || index.n > MaxTableK) return {0, 0, index.n};
    index.K = digits + 1;
    index.I = SquareSetIndex(static_cast<int>(index.n), squares.data());
    return index;
}

std::optional<std::uint32_t> EdbValueNumber(const TEdbPositionIndex& index) {
    if (index.n < 2 || index.n > EdbMaxPieces) return std::nullopt;
    return Base[index.n] + (index.K - 1) * SquareSets[index.n] + (index.I - 1);
}

std::uint64_t Binomial(int n, int k) {
    if (k < 0 || k > n) return 0;
    std::uint64_t r = 1;
    for (int i = 1; i <= k; ++i)
        r = r * static_cast<std::uint64_t>(n - k + i) / static_cast<std::uint64_t>(i);
    return r;
}
