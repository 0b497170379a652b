#include "reference_movegen.h"

#include <algorithm>
#include <array>

namespace reference {

namespace {

// ---- the neighbour tables, as they were

// Diagonal directions: 1 up-right, 2 down-right, 3 down-left, 4 up-left ("up" is towards the row
// where side 1 starts). Index 0 of the per-direction arrays is unused.
constexpr int OppositeDirection(int d) {
    return d <= 2 ? d + 2 : d - 2;
}
// Side 0 moves up (directions 1 and 4), side 1 down (2 and 3).
constexpr bool IsForwardDirection(int d, int side) {
    return side == 0 ? (d == 1 || d == 4) : (d == 2 || d == 3);
}

struct TJumpPair {
    std::uint8_t jumped = 0; // 0 when the landing square is off the board
    std::uint8_t landing = 0;
};

struct TRay {
    std::uint8_t length = 0;
    std::array<std::uint8_t, 9> squares{}; // nearest first
};

struct TNeighbourTables {
    int size = 0;    // 8 or 10 squares a side
    int squares = 0; // 32 or 50
    // step[s][side]: the squares one step forward, increasing; 0 where the board ends.
    std::array<std::array<std::array<std::uint8_t, 2>, 2>, 51> step{};
    std::array<std::array<TJumpPair, 5>, 51> jump{};
    std::array<std::array<TRay, 5>, 51> ray{};
};

namespace neighbour_detail {
constexpr int DeltaX(int d) {
    return d == 1 || d == 2 ? 1 : -1;
}
constexpr int DeltaY(int d) {
    return d == 1 || d == 4 ? 1 : -1;
}

constexpr TNeighbourTables Build(int size) {
    TNeighbourTables t;
    const int perRow = size / 2;
    t.size = size;
    t.squares = size * perRow;
    auto square = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= size || y >= size) return 0;
        return y * perRow + x / 2 + 1;
    };
    for (int s = 1; s <= t.squares; ++s) {
        const int y = (s - 1) / perRow;
        const int x = 2 * ((s - 1) % perRow) + (y % 2);
        for (int d = 1; d <= 4; ++d) {
            TRay& r = t.ray[s][d];
            for (int k = 1;; ++k) {
                const int n = square(x + k * DeltaX(d), y + k * DeltaY(d));
                if (n == 0) break;
                r.squares[r.length++] = static_cast<std::uint8_t>(n);
            }
            if (r.length >= 2) t.jump[s][d] = {r.squares[0], r.squares[1]};
        }
        for (int side = 0; side < 2; ++side) {
            // Up-left / down-left comes first: its square number is the lower one.
            const int first = side == 0 ? 4 : 3, second = side == 0 ? 1 : 2;
            int k = 0;
            for (int d : {first, second})
                if (t.ray[s][d].length > 0) t.step[s][side][k++] = t.ray[s][d].squares[0];
        }
    }
    return t;
}
} // namespace neighbour_detail

inline constexpr TNeighbourTables NeighbourTables64 = neighbour_detail::Build(8);
inline constexpr TNeighbourTables NeighbourTables100 = neighbour_detail::Build(10);

// 1 for the 8x8 board, 2 for the 10x10 board.
constexpr const TNeighbourTables& NeighbourTablesOf(int geometry) {
    return geometry == 2 ? NeighbourTables100 : NeighbourTables64;
}

// ---- the variant rules, as they were

constexpr int SquaresOf(TGameType v) {
    return v == gtInternational ? 50 : 32;
}
constexpr int GeometryOf(TGameType v) {
    return v == gtInternational ? 2 : 1;
}
constexpr bool HasFlyingKings(TGameType v) {
    return v != gtEnglish && v != gtItalian;
}

// ---- the generator, as it was

enum class TCaptureFilter { None, Majority, MajorityThenKings, KingsFirst };

// What sets the variants apart, as the generator applies it.
struct TRules {
    const TNeighbourTables* nt;
    bool flyingKings;
    bool menCaptureBackward;
    bool menTakeKings;
    bool promoteDuringCapture;
    TCaptureFilter filter;
    int perRow; // squares in a row: the last rows are the first and last perRow squares
};

TRules RulesOf(TGameType v) {
    TRules r{};
    r.nt = &NeighbourTablesOf(GeometryOf(v));
    r.perRow = r.nt->size / 2;
    r.flyingKings = HasFlyingKings(v);
    r.menCaptureBackward = v != gtEnglish && v != gtItalian && v != gtCzech;
    r.menTakeKings = v != gtItalian;
    r.promoteDuringCapture = v == gtRussian;
    switch (v) {
    case gtBrazilian:
    case gtInternational:
        r.filter = TCaptureFilter::Majority;
        break;
    case gtItalian:
        r.filter = TCaptureFilter::MajorityThenKings;
        break;
    case gtCzech:
        r.filter = TCaptureFilter::KingsFirst;
        break;
    default:
        r.filter = TCaptureFilter::None;
        break;
    }
    return r;
}

// A piece of side 0 on the far row, or of side 1 on the first row, becomes a king.
inline void Promote(std::int8_t& piece, int square, int squares, int perRow) {
    if (piece == sqMan0 && square > squares - perRow)
        piece = sqKing0;
    else if (piece == sqMan1 && square <= perRow)
        piece = sqKing1;
}

struct TCandidate {
    std::uint8_t jumped, landing, direction;
};

// The recursive capture search. The move under construction keeps zeros beyond the pair being
// sought, so every listed record has a clean tail.
class TCaptureSearch {
  public:
    TCaptureSearch(const TRules& rules, int side, int maxPairs, TList& list)
        : m_r(rules), m_side(side), m_maxPairs(maxPairs), m_list(list) {}

    void Run(const TBoard& board, int from) {
        // Most men have nothing to take: test that before setting up the search.
        if (!IsKing(board[from])) {
            bool any = false;
            for (int d = 1; d <= 4 && !any; ++d)
                any = CanJump(board, from, d, false, 0);
            if (!any) return;
        }
        m_move.from = static_cast<std::uint8_t>(from);
        Search(board, from, 0, 1);
    }

  private:
    // A capture over the neighbour in direction d by a man or a one-step king on s.
    bool CanJump(const TBoard& w, int s, int d, bool king, int forbidden) const {
        if (!king && (d == forbidden || (!m_r.menCaptureBackward && !IsForwardDirection(d, m_side))))
            return false;
        const TJumpPair jp = m_r.nt->jump[s][d];
        if (jp.jumped == 0) return false;
        const int victim = w[jp.jumped];
        if (victim == 0 || PieceSide(victim) == m_side || w[jp.landing] != 0) return false;
        return king || m_r.menTakeKings || !IsKing(victim);
    }

    // True when at least one capture was possible from s.
    bool Search(const TBoard& w, int s, int forbidden, int depth) {
        // A king finds at most 8 landing squares in each direction.
        std::array<TCandidate, 4 * 9> cands;
        int n = 0;
        const TNeighbourTables& nt = *m_r.nt;
        const int piece = w[s];
        const bool king = IsKing(piece);
        if (king && m_r.flyingKings) {
            for (int d = 1; d <= 4; ++d) {
                const TRay& ray = nt.ray[s][d];
                int i = 0;
                while (i < ray.length && w[ray.squares[i]] == 0)
                    ++i;
                if (i >= ray.length || PieceSide(w[ray.squares[i]]) == m_side) continue;
                const std::uint8_t j = ray.squares[i];
                for (++i; i < ray.length && w[ray.squares[i]] == 0; ++i)
                    cands[n++] = {j, ray.squares[i], static_cast<std::uint8_t>(d)};
            }
        } else {
            for (int d = 1; d <= 4; ++d)
                if (CanJump(w, s, d, king, forbidden))
                    cands[n++] = {nt.jump[s][d].jumped, nt.jump[s][d].landing, static_cast<std::uint8_t>(d)};
        }
        if (n == 0) return false;

        bool continuing[5] = {};
        const int pair = 2 * depth - 2;
        for (int c = 0; c < n; ++c) {
            const TCandidate& cd = cands[c];
            TBoard next = w;
            // The taken piece stays until the move ends; reversed, it blocks rays and cannot be
            // taken twice.
            next[cd.jumped] = static_cast<std::int8_t>(-next[cd.jumped]);
            next[cd.landing] = next[s];
            next[s] = 0;
            if (m_r.promoteDuringCapture) Promote(next[cd.landing], cd.landing, nt.squares, m_r.perRow);
            m_move.squares[pair] = cd.jumped;
            m_move.squares[pair + 1] = cd.landing;
            // A move holds at most 20 pairs: a set-up with more pieces stops deepening there.
            if (depth < m_maxPairs && Search(next, cd.landing, OppositeDirection(cd.direction), depth + 1))
                continuing[cd.direction] = true;
        }
        for (int c = 0; c < n; ++c) {
            const TCandidate& cd = cands[c];
            if (continuing[cd.direction]) continue;
            m_move.captures = static_cast<std::uint8_t>(depth);
            m_move.squares[pair] = cd.jumped;
            m_move.squares[pair + 1] = cd.landing;
            m_list.push_back(m_move);
        }
        m_move.squares[pair] = 0;
        m_move.squares[pair + 1] = 0;
        m_move.captures = 0;
        return true;
    }

    const TRules& m_r;
    int m_side;
    int m_maxPairs;
    TList& m_list;
    TMove m_move; // zero apart from `from` between searches
};

void ApplyFilter(const TRules& r, const TBoard& board, TList& list) {
    switch (r.filter) {
    case TCaptureFilter::None:
        return;
    case TCaptureFilter::Majority:
    case TCaptureFilter::MajorityThenKings: {
        int most = 0;
        for (const TMove& m : list)
            most = std::max<int>(most, m.captures);
        std::erase_if(list, [&](const TMove& m) { return m.captures != most; });
        if (r.filter == TCaptureFilter::MajorityThenKings) {
            int heaviest = 0;
            for (const TMove& m : list)
                heaviest = std::max(heaviest, KingCaptureWeight(m, board));
            std::erase_if(list, [&](const TMove& m) { return KingCaptureWeight(m, board) != heaviest; });
        }
        return;
    }
    case TCaptureFilter::KingsFirst: {
        const bool anyKing =
            std::any_of(list.begin(), list.end(), [&](const TMove& m) { return IsKing(board[m.from]); });
        if (anyKing) std::erase_if(list, [&](const TMove& m) { return !IsKing(board[m.from]); });
        return;
    }
    }
}

void AddPlainMoves(const TRules& r, const TBoard& board, int side, TList& list) {
    const TNeighbourTables& nt = *r.nt;
    const int own = side == 0 ? 1 : -1;
    TMove m;
    for (int s = 1; s <= nt.squares; ++s) {
        const int piece = board[s] * own;
        if (piece <= 0) continue;
        m.from = static_cast<std::uint8_t>(s);
        if (piece == 1) {
            for (std::uint8_t t : nt.step[s][side]) {
                if (t != 0 && board[t] == 0) {
                    m.squares[0] = t;
                    list.push_back(m);
                }
            }
        } else {
            for (int d = 1; d <= 4; ++d) {
                const TRay& ray = nt.ray[s][d];
                const int reach = r.flyingKings ? ray.length : std::min<int>(ray.length, 1);
                for (int i = 0; i < reach && board[ray.squares[i]] == 0; ++i) {
                    m.squares[0] = ray.squares[i];
                    list.push_back(m);
                }
            }
        }
    }
}

} // namespace

void FindMoves(const TBoard& board, int side, TList& list, TGameType variant) {
    FindMovesWithPairLimit(board, side, list, variant, MaxCapturePairs);
}

void FindMovesWithPairLimit(const TBoard& board, int side, TList& list, TGameType variant, int maxPairs) {
    list.clear();
    maxPairs = std::clamp(maxPairs, 1, MaxCapturePairs);
    const TRules r = RulesOf(variant);
    // Only squares 1..r.nt->squares are ever read, so the caller's board needs no copy.
    const TBoard& work = board;
    TCaptureSearch search(r, side, maxPairs, list);
    for (int s = 1; s <= r.nt->squares; ++s)
        if (work[s] != 0 && PieceSide(work[s]) == side) search.Run(work, s);
    if (!list.empty())
        ApplyFilter(r, work, list);
    else
        AddPlainMoves(r, work, side, list);
}

namespace {
// Every square of the record lies on the board: a damaged stored node may not write outside it.
bool FitsBoard(const TMove& m, int squares) {
    auto on = [&](int s) { return s >= 1 && s <= squares; };
    if (!on(m.from) || m.captures > MaxCapturePairs) return false;
    const int used = m.captures ? 2 * m.captures : 1;
    for (int i = 0; i < used; ++i)
        if (!on(m.squares[i])) return false;
    return true;
}
} // namespace

void MakeMove(const TMove& m, TBoard& board, TGameType variant) {
    const int squares = SquaresOf(variant);
    const int perRow = variant == gtInternational ? 5 : 4;
    if (!FitsBoard(m, squares)) return;
    if (m.captures == 0) {
        const int to = m.squares[0];
        board[to] = board[m.from];
        board[m.from] = 0;
        Promote(board[to], to, squares, perRow);
        return;
    }
    const int n = m.captures;
    int prev = m.from;
    for (int k = 1; k <= n; ++k) {
        const int c = m.Captured(k), l = m.Landing(k);
        const std::int8_t piece = board[prev];
        board[c] = 0;
        board[prev] = 0;
        board[l] = piece;
        if (variant == gtRussian || k == n) Promote(board[l], l, squares, perRow);
        prev = l;
    }
}

void RemoveDuplicateMoves(TList& list, const TBoard& board, TGameType variant) {
    // Only captures can reach one position in two ways, and only with the same number taken.
    for (std::size_t i = 0; i + 1 < list.size(); ++i) {
        if (list[i].captures == 0) continue;
        TBoard after = board;
        MakeMove(list[i], after, variant);
        for (std::size_t j = i + 1; j < list.size();) {
            bool same = false;
            if (list[j].captures == list[i].captures) {
                TBoard other = board;
                MakeMove(list[j], other, variant);
                same = other == after;
            }
            if (same) {
                list[j] = list.back();
                list.pop_back();
            } else {
                ++j;
            }
        }
    }
}

int KingCaptureWeight(const TMove& m, const TBoard& board) {
    // A damaged stored node may name squares off the board: those are not read.
    int weight = m.from <= MaxSquares && IsKing(board[m.from]) ? 1 : 0;
    const int n = std::min<int>(m.captures, MaxCapturePairs);
    for (int k = 1; k <= n; ++k)
        weight += m.Captured(k) <= MaxSquares && IsKing(board[m.Captured(k)]) ? 1 : 0;
    return weight;
}

namespace {
std::uint64_t CountFrom(const TBoard& b, int side, int depth, TGameType variant, bool unique,
                        std::vector<TList>& lists) {
    if (depth == 0) return 1;
    TList& list = lists[depth - 1];
    FindMoves(b, side, list, variant);
    if (unique) RemoveDuplicateMoves(list, b, variant);
    if (depth == 1) return list.size();
    std::uint64_t total = 0;
    for (const TMove& m : list) {
        TBoard next = b;
        MakeMove(m, next, variant);
        total += CountFrom(next, 1 - side, depth - 1, variant, unique, lists);
    }
    return total;
}
} // namespace

std::uint64_t Perft(const TBoard& board, int side, int depth, TGameType variant, bool unique) {
    std::vector<TList> lists(depth > 0 ? depth : 0);
    return CountFrom(board, side, depth, variant, unique, lists);
}

} // namespace reference
