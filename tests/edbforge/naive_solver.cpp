#include "naive_solver.h"

#include "rules/movegen.h"

namespace naive {

namespace {

std::uint64_t choose(int n, int k) {
    if (k < 0 || k > n) return 0;
    std::uint64_t r = 1;
    for (int i = 1; i <= k; ++i)
        r = r * static_cast<std::uint64_t>(n - k + i) / static_cast<std::uint64_t>(i);
    return r;
}

int kind_of(int v) {
    return v == sqMan0 ? 0 : v == sqKing0 ? 1 : v == sqMan1 ? 2 : 3;
}
const std::int8_t values[4] = {sqMan0, sqKing0, sqMan1, sqKing1};

} // namespace

// Index: colex rank of the occupied squares, then two bits of kind per piece, then the side.
std::uint64_t solver::index_of(const TBoard& b, int side, int& pieces) const {
    std::uint64_t rank = 0, kinds = 0;
    pieces = 0;
    for (int n = 1; n <= 32; ++n)
        if (b[n] != 0) {
            ++pieces;
            rank += choose(n - 1, pieces);
            kinds = kinds * 4 + static_cast<std::uint64_t>(kind_of(b[n]));
        }
    return ((rank << (2 * pieces)) + kinds) * 2 + static_cast<std::uint64_t>(side);
}

bool solver::decode(int pieces, std::uint64_t index, TBoard& b, int& side) const {
    b = EmptyBoard;
    side = static_cast<int>(index % 2);
    index /= 2;
    std::uint64_t kinds = index & ((std::uint64_t{1} << (2 * pieces)) - 1);
    std::uint64_t rank = index >> (2 * pieces);
    int count[2] = {0, 0};
    int c = 32;
    for (int i = pieces; i >= 1; --i) {
        do
            --c;
        while (choose(c, i) > rank);
        rank -= choose(c, i);
        const int v = values[kinds & 3];
        kinds >>= 2;
        const int sq = c + 1;
        // Men never stand on their own last row.
        if ((v == sqMan0 && sq >= 29) || (v == sqMan1 && sq <= 4)) return false;
        b[sq] = static_cast<std::int8_t>(v);
        ++count[v > 0 ? 0 : 1];
    }
    return count[0] > 0 && count[1] > 0;
}

int solver::value(const TBoard& b, int side) const {
    int pieces = 0;
    const std::uint64_t i = index_of(b, side, pieces);
    const std::uint8_t v = m_values[pieces][i];
    return v == open ? 0 : v;
}

solver::solver(int max_pieces) {
    TMoveList list;
    for (int k = 2; k <= max_pieces; ++k) {
        auto& vals = m_values[k];
        vals.assign(choose(32, k) * (std::uint64_t{1} << (2 * k)) * 2, invalid);
        TBoard b;
        int side;
        for (std::uint64_t i = 0; i < vals.size(); ++i)
            if (decode(k, i, b, side)) vals[i] = open;
        for (bool changed = true; changed;) {
            changed = false;
            for (std::uint64_t i = 0; i < vals.size(); ++i) {
                if (vals[i] != open) continue;
                decode(k, i, b, side);
                FindMoves(b, side, list, gtRussian);
                bool all_won = true, won = false;
                for (const TMove& m : list) {
                    TBoard next = b;
                    MakeMove(m, next, gtRussian);
                    int n = 0, opp = 0;
                    for (int s = 1; s <= 32; ++s)
                        if (next[s] != 0) {
                            ++n;
                            opp += (next[s] > 0 ? 0 : 1) != side;
                        }
                    if (opp == 0) {
                        won = true;
                        break;
                    }
                    int pieces = 0;
                    const std::uint8_t v = m_values[n][index_of(next, 1 - side, pieces)];
                    if (v == loss) {
                        won = true;
                        break;
                    }
                    if (v != win) all_won = false;
                }
                if (won || all_won) {
                    vals[i] = won ? win : loss;
                    changed = true;
                }
            }
        }
    }
}

} // namespace naive
