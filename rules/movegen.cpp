#include "rules/movegen.h"

#include "rules/square_sets.h"
#include "rules/variant_state.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// What sets the variants apart, as the generator applies it: the variant's traits with its
// neighbour tables.
struct TRules {
    const TSquareSetTables* sets;
    bool flyingKings;
    bool menCaptureBackward;
    bool menTakeKings;
    bool promoteDuringCapture;
    TCaptureChoice filter;
};

constexpr TRules MakeRules(int v) {
    const TVariantTraits& t = VariantTraits(v);
    return {&SquareSetTablesOf(t.geometry), t.flyingKings,  t.menCaptureBackward, t.menTakeKings,
            t.promoteDuringCapture,         t.captureChoice};
}

// Entry 0 answers for a number outside 1..7, as the traits table does.
constexpr TRules AllRules[8] = {MakeRules(0), MakeRules(1), MakeRules(2), MakeRules(3),
                                MakeRules(4), MakeRules(5), MakeRules(6), MakeRules(7)};

const TRules& RulesOf(TGameType v) {
    return AllRules[IsValidVariant(v) ? v : 0];
}

// A piece of side 0 on the far row, or of side 1 on the first row, becomes a king.
inline void Promote(std::int8_t& piece, int square, int squares, int perRow) {
    if (piece == sqMan0 && square > squares - perRow)
        piece = sqKing0;
    else if (piece == sqMan1 && square <= perRow)
        piece = sqKing1;
}

// The pieces of a board as sets, seen from the side to move.
struct TPieces {
    TSquareSet ownMen = 0, ownKings = 0, oppMen = 0, oppKings = 0;
};

TPieces PiecesOf(const TBoard& board, int side, int squares) {
    const TPieceSets p = PieceSetsOf(board, squares);
    return {p.men[side], p.kings[side], p.men[1 - side], p.kings[1 - side]};
}

// The squares from which a piece of `movers` can jump over a piece of `victims` in direction d
// onto an empty square.
TSquareSet JumpersInDirection(const TSquareSetTables& t, int d, TSquareSet movers, TSquareSet victims,
                              TSquareSet empty) {
    const TSetStep& back = t.step[OppositeDirection(d)];
    return StepAll(StepAll(empty, back) & victims, back) & movers;
}

// Collects moves on the stack and hands them to the list in blocks: the list's growth is paid once
// a block, not once a move. The block is raw storage, so a generation does not clear it first.
class TMoveSink {
  public:
    explicit TMoveSink(TMoveList& list) : m_list(list) {}
    TMoveSink(const TMoveSink&) = delete;
    TMoveSink& operator=(const TMoveSink&) = delete;

    void Add(const TMove& m) {
        if (m_count == Block) Flush();
        std::memcpy(m_block + m_count * sizeof(TMove), &m, sizeof(TMove));
        ++m_count;
    }
    // A plain move, written in place: a zero record, then its two squares. (Filling a record on the
    // stack first and copying it would read back bytes just written one at a time.)
    void AddPlain(int from, int to) {
        if (m_count == Block) Flush();
        unsigned char* at = m_block + m_count * sizeof(TMove);
        std::memset(at, 0, sizeof(TMove));
        at[offsetof(TMove, from)] = static_cast<unsigned char>(from);
        at[offsetof(TMove, squares)] = static_cast<unsigned char>(to);
        ++m_count;
    }
    // Every move added so far is in the list.
    void Flush() {
        const TMove* first = reinterpret_cast<const TMove*>(m_block);
        m_list.insert(m_list.end(), first, first + m_count);
        m_count = 0;
    }
    bool Empty() const { return m_count == 0 && m_list.empty(); }

  private:
    static constexpr int Block = 96;
    TMoveList& m_list;
    int m_count = 0;
    alignas(TMove) unsigned char m_block[Block * sizeof(TMove)];
};

struct TCandidate {
    std::uint8_t jumped, landing, direction;
};

// The recursive capture search over sets. The moving piece has left its square; pieces taken on
// the way stay on the board until the move ends (they block rays and cannot be taken twice), so
// they count with the mover's own pieces as `blockers`. The move under construction keeps zeros
// beyond the pair being sought, so every listed record has a clean tail.
class TCaptureSearch {
  public:
    TCaptureSearch(const TRules& rules, int side, int maxPairs, TMoveSink& out)
        : m_r(rules), m_t(*rules.sets), m_side(side), m_maxPairs(maxPairs), m_out(out) {}

    void Run(int from, bool king, TSquareSet blockers, TSquareSet opp, TSquareSet oppKings) {
        m_oppKings = oppKings;
        m_move.from = static_cast<std::uint8_t>(from);
        Search(from, king, blockers, opp, 0, 1);
    }

  private:
    // True when at least one capture was possible from s.
    bool Search(int s, bool king, TSquareSet blockers, TSquareSet opp, int forbidden, int depth) {
        // A king finds at most 8 landing squares in each direction.
        std::array<TCandidate, 4 * 9> cands;
        int n = 0;
        const TSquareSet occupied = blockers | opp;
        const TSquareSet empty = m_t.all & ~occupied;
        if (king && m_r.flyingKings) {
            for (int d = 1; d <= 4; ++d) {
                const TSquareSet ray = m_t.ray[s][d];
                const TSquareSet hit = ray & occupied;
                if (!hit) continue;
                const int j = NearestSquare(hit, d);
                if (!(opp & SquareBit(j))) continue;
                // The empty squares beyond the taken piece, up to the next piece or the edge.
                TSquareSet run = m_t.ray[j][d];
                if (const TSquareSet next = run & occupied) {
                    const int stop = NearestSquare(next, d);
                    run &= ~(SquareBit(stop) | m_t.ray[stop][d]);
                }
                while (run) {
                    const int l = NearestSquare(run, d);
                    run &= ~SquareBit(l);
                    cands[n++] = {static_cast<std::uint8_t>(j), static_cast<std::uint8_t>(l),
                                  static_cast<std::uint8_t>(d)};
                }
            }
        } else {
            const TSquareSet victims = king || m_r.menTakeKings ? opp : opp & ~m_oppKings;
            for (int d = 1; d <= 4; ++d) {
                if (!king && (d == forbidden || (!m_r.menCaptureBackward && !IsForwardDirection(d, m_side))))
                    continue;
                const int j = m_t.next[s][d];
                if (j == 0 || !(victims & SquareBit(j))) continue;
                const int l = m_t.next[j][d];
                if (l == 0 || !(empty & SquareBit(l))) continue;
                cands[n++] = {static_cast<std::uint8_t>(j), static_cast<std::uint8_t>(l),
                              static_cast<std::uint8_t>(d)};
            }
        }
        if (n == 0) return false;

        bool continuing[5] = {};
        const int pair = 2 * depth - 2;
        for (int c = 0; c < n; ++c) {
            const TCandidate& cd = cands[c];
            m_move.squares[pair] = cd.jumped;
            m_move.squares[pair + 1] = cd.landing;
            // A move holds at most 20 pairs: a set-up with more pieces stops deepening there.
            if (depth >= m_maxPairs) continue;
            const TSquareSet taken = SquareBit(cd.jumped);
            const bool crowned =
                king || (m_r.promoteDuringCapture && (m_t.farRow[m_side] & SquareBit(cd.landing)));
            if (Search(cd.landing, crowned, blockers | taken, opp & ~taken, OppositeDirection(cd.direction),
                       depth + 1))
                continuing[cd.direction] = true;
        }
        for (int c = 0; c < n; ++c) {
            const TCandidate& cd = cands[c];
            if (continuing[cd.direction]) continue;
            m_move.captures = static_cast<std::uint8_t>(depth);
            m_move.squares[pair] = cd.jumped;
            m_move.squares[pair + 1] = cd.landing;
            m_out.Add(m_move);
        }
        m_move.squares[pair] = 0;
        m_move.squares[pair + 1] = 0;
        m_move.captures = 0;
        return true;
    }

    const TRules& m_r;
    const TSquareSetTables& m_t;
    int m_side;
    int m_maxPairs;
    TMoveSink& m_out;
    TSquareSet m_oppKings = 0;
    TMove m_move; // zero apart from `from` between searches
};

// Every capture sequence, by from square.
void AddCaptures(const TRules& r, const TPieces& p, int side, int maxPairs, TMoveSink& out) {
    const TSquareSetTables& t = *r.sets;
    const TSquareSet own = p.ownMen | p.ownKings, opp = p.oppMen | p.oppKings;
    const TSquareSet empty = t.all & ~(own | opp);
    // Pieces that can take at once: men (and one-step kings) by whole-board steps; flying kings
    // are few and searched each.
    const TSquareSet menVictims = r.menTakeKings ? opp : p.oppMen;
    TSquareSet from = r.flyingKings ? p.ownKings : 0;
    for (int d = 1; d <= 4; ++d) {
        if (r.menCaptureBackward || IsForwardDirection(d, side))
            from |= JumpersInDirection(t, d, p.ownMen, menVictims, empty);
        if (!r.flyingKings) from |= JumpersInDirection(t, d, p.ownKings, opp, empty);
    }
    if (!from) return;
    TCaptureSearch search(r, side, maxPairs, out);
    while (from) {
        const int s = LowestSquare(from);
        from &= from - 1;
        const TSquareSet bit = SquareBit(s);
        search.Run(s, (p.ownKings & bit) != 0, own & ~bit, opp, p.oppKings);
    }
}

void ApplyFilter(const TRules& r, const TBoard& board, TMoveList& list) {
    switch (r.filter) {
    case TCaptureChoice::Any:
        return;
    case TCaptureChoice::Majority:
    case TCaptureChoice::MajorityThenKings: {
        int most = 0;
        for (const TMove& m : list)
            most = std::max<int>(most, m.captures);
        std::erase_if(list, [&](const TMove& m) { return m.captures != most; });
        if (r.filter == TCaptureChoice::MajorityThenKings) {
            int heaviest = 0;
            for (const TMove& m : list)
                heaviest = std::max(heaviest, KingCaptureWeight(m, board));
            std::erase_if(list, [&](const TMove& m) { return KingCaptureWeight(m, board) != heaviest; });
        }
        return;
    }
    case TCaptureChoice::KingsFirst: {
        const bool anyKing =
            std::any_of(list.begin(), list.end(), [&](const TMove& m) { return IsKing(board[m.from]); });
        if (anyKing) std::erase_if(list, [&](const TMove& m) { return !IsKing(board[m.from]); });
        return;
    }
    }
}

// Plain moves by from square: a man's forward steps in increasing square order; a king's
// directions 1..4, each from near to far (one square for a one-step king).
void AddPlainMoves(const TRules& r, const TPieces& p, int side, TMoveSink& out) {
    const TSquareSetTables& t = *r.sets;
    const TSquareSet empty = t.all & ~(p.ownMen | p.ownKings | p.oppMen | p.oppKings);
    for (TSquareSet pieces = p.ownMen | p.ownKings; pieces; pieces &= pieces - 1) {
        const int s = LowestSquare(pieces);
        if (p.ownMen & SquareBit(s)) {
            for (TSquareSet to = t.forward[s][side] & empty; to; to &= to - 1)
                out.AddPlain(s, LowestSquare(to));
            continue;
        }
        for (int d = 1; d <= 4; ++d) {
            if (!r.flyingKings) {
                const int to = t.next[s][d];
                if (to != 0 && (empty & SquareBit(to))) out.AddPlain(s, to);
                continue;
            }
            TSquareSet run = t.ray[s][d];
            if (const TSquareSet hit = run & ~empty) {
                const int stop = NearestSquare(hit, d);
                run &= ~(SquareBit(stop) | t.ray[stop][d]);
            }
            while (run) {
                const int to = NearestSquare(run, d);
                run &= ~SquareBit(to);
                out.AddPlain(s, to);
            }
        }
    }
}

} // namespace

void FindMoves(const TBoard& board, int side, TMoveList& list, TGameType variant) {
    FindMovesWithPairLimit(board, side, list, variant, MaxCapturePairs);
}

void FindMovesWithPairLimit(const TBoard& board, int side, TMoveList& list, TGameType variant, int maxPairs) {
    list.clear();
    maxPairs = std::clamp(maxPairs, 1, MaxCapturePairs);
    const TRules& r = RulesOf(variant);
    const TPieces pieces = PiecesOf(board, side, r.sets->squares);
    TMoveSink out(list);
    AddCaptures(r, pieces, side, maxPairs, out);
    if (!out.Empty()) {
        out.Flush();
        ApplyFilter(r, board, list);
        return;
    }
    AddPlainMoves(r, pieces, side, out);
    out.Flush();
}

void FindMoves(const TBoard& board, int side, TMoveList& list) {
    FindMoves(board, side, list, CurrentVariant);
}

void FindUniqueMoves(const TBoard& board, int side, TMoveList& list, TGameType variant) {
    FindMoves(board, side, list, variant);
    // Plain moves never coincide, and a list holds either plain moves or captures.
    if (list.size() > 1 && list[0].captures != 0) RemoveDuplicateMoves(list, board, variant);
}

// Every square of the record lies on the board: a damaged stored node may not write outside it.
bool FitsBoard(const TMove& m, int squares) {
    auto on = [&](int s) { return s >= 1 && s <= squares; };
    if (!on(m.from) || m.captures > MaxCapturePairs) return false;
    const int used = m.captures ? 2 * m.captures : 1;
    for (int i = 0; i < used; ++i)
        if (!on(m.squares[i])) return false;
    return true;
}

void MakeMove(const TMove& m, TBoard& board, TGameType variant) {
    const int squares = SquaresOf(variant);
    const int perRow = SquaresPerRow(variant);
    const bool promoteOnTheWay = VariantTraits(variant).promoteDuringCapture;
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
        if (promoteOnTheWay || k == n) Promote(board[l], l, squares, perRow);
        prev = l;
    }
}

void RemoveDuplicateMoves(TMoveList& list, const TBoard& board, TGameType variant) {
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

void RemoveDuplicateMoves(TMoveList& list, const TBoard& board) {
    RemoveDuplicateMoves(list, board, CurrentVariant);
}

int KingCaptureWeight(const TMove& m, const TBoard& board) {
    // A damaged stored node may name squares off the board: those are not read.
    int weight = m.from <= MaxSquares && IsKing(board[m.from]) ? 1 : 0;
    const int n = std::min<int>(m.captures, MaxCapturePairs);
    for (int k = 1; k <= n; ++k)
        weight += m.Captured(k) <= MaxSquares && IsKing(board[m.Captured(k)]) ? 1 : 0;
    return weight;
}
