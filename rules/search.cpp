#include "rules/search.h"

#include "rules/endgame_db.h"
#include "rules/evaluation.h"
#include "rules/movegen.h"

#include <cassert>

TEdbProbe SearchEdbProbe() {
    return {EndgameDatabaseOpen,
            static_cast<std::optional<std::int16_t> (*)(const TBoard&, int, int, int, TGameType)>(
                ProbeEndgameDatabase)};
}

bool EdbApplicable(int limit, const TBoard& board, int squares) {
    int n = 0;
    for (int s = 1; s <= squares; ++s)
        if (board[s] != 0 && ++n > limit) return false;
    return true;
}

TSearcher::TSearcher(THashTable& table, TGameType variant, TEdbProbe edb, const TStopWord* stop) {
    Reset(table, variant, edb, stop);
}

void TSearcher::Reset(THashTable& table, TGameType variant, TEdbProbe edb, const TStopWord* stop) {
    m_table = &table;
    m_variant = variant;
    m_squares = SquaresOf(variant);
    m_edb = edb;
    m_stop = stop ? stop : &m_neverStop;
}

TSearcher::TPlyLists& TSearcher::ListsAt(int ply) {
    while (static_cast<int>(m_plies.size()) <= ply)
        m_plies.emplace_back();
    return m_plies[ply];
}

// The database answers when both sides have a piece, at most five are left and neither side
// has a capture. `lists.moves` receives the moves of `side` either way.
bool TSearcher::EdbProbeTaken(const TBoard& board, int side, int ply, TPlyLists& lists, int& score) {
    FindMoves(board, side, lists.moves, m_variant);
    // The database index covers the 8x8 board only.
    if (m_squares != EdbSquares || !m_edb.probe || !m_edb.isOpen) return false;
    if (!EdbApplicable(EdbPieceLimit, board, m_squares) || !m_edb.isOpen()) return false;
    TPieceCount count;
    CountPieces(board, count);
    if (count.pieces0 == 0 || count.pieces1 == 0) return false;
    if (!lists.moves.empty() && lists.moves[0].captures) return false;
    FindMoves(board, 1 - side, lists.other, m_variant);
    if (!lists.other.empty() && lists.other[0].captures) return false;
    // flip = side: the database is seen from side 0 to move.
    ++m_edbProbes;
    const std::optional<std::int16_t> value = m_edb.probe(board, count.all, side, ply - 1, m_variant);
    if (!value) return false;
    score = *value;
    return true;
}

int TSearcher::Search(const TBoard& board, int alpha, int beta, int ply, int depth, int side, int countFlag) {
    return Node(board, m_table->RawHash(board, m_squares), alpha, beta, ply, depth, side, countFlag);
}

std::uint32_t TSearcher::MakeChild(const TBoard& board, std::uint32_t hash, const TMove& m,
                                   TBoard& child) const {
    child = board;
    MakeMove(m, child, m_variant);
    // The mover leaves its square and stands on its last one (perhaps crowned); the taken pieces go.
    const int to = m.To();
    hash ^= m_table->SquareKey(m.from, board[m.from]) ^ m_table->SquareKey(to, child[to]);
    for (int k = 1; k <= m.captures; ++k)
        hash ^= m_table->SquareKey(m.Captured(k), board[m.Captured(k)]);
    assert(hash == m_table->RawHash(child, m_squares));
    return hash;
}

int TSearcher::Node(const TBoard& board, std::uint32_t hash, int alpha, int beta, int ply, int depth,
                    int side, int countFlag) {
    THashProbe probe;
    m_table->ProbeRaw(board, side, hash, probe);
    const int remaining = depth - ply;
    // Beyond the horizon remaining is negative, so every entry found serves.
    if (probe.found && remaining <= probe.entry.depth) {
        if (probe.entry.lower >= beta) return probe.entry.lower;
        if (probe.entry.upper <= alpha) return probe.entry.upper;
    }

    TPlyLists& lists = ListsAt(ply);
    int edbScore = 0;
    if (EdbProbeTaken(board, side, ply, lists, edbScore)) return edbScore;
    TMoveList& moves = lists.moves;
    if (moves.empty()) return ply - LossScoreBase;

    const int count = static_cast<int>(moves.size());
    const int opponent = 1 - side;
    int best = alpha;
    int bestNumber = 1;
    // Children are made one ahead of their search, so the table slot of the next one is on its way
    // into the cache while this one is searched.
    TBoard children[2];
    std::uint32_t hashes[2];
    auto makeAhead = [&](int i) {
        if (i >= count) return;
        hashes[i & 1] = MakeChild(board, hash, moves[i], children[i & 1]);
        m_table->Prefetch(hashes[i & 1]);
    };

    if (depth > ply + 3) {
        // Order by a one-ply search of each move with its captures resolved.
        std::vector<int>& scores = lists.scores;
        scores.resize(count);
        makeAhead(0);
        for (int i = 0; i < count; ++i) {
            makeAhead(i + 1);
            scores[i] =
                -Node(children[i & 1], hashes[i & 1], -FullWindow, FullWindow, ply + 1, ply + 1, opponent, 1);
            if (m_stop->Requested()) return best;
        }
        SortMovesByScore(count, moves, scores);
    }

    // Captures are compulsory, so either every move of the node is a capture or none is.
    const bool captures = moves[0].captures != 0;
    if (ply >= depth && !captures) {
        // The children lie on the horizon: their value is the evaluation.
        TBoard child;
        for (int i = 0; i < count; ++i) {
            child = board;
            MakeMove(moves[i], child, m_variant);
            m_evaluations += CountsAsEvaluation(m_variant, countFlag);
            const int value = -Evaluate(opponent, child, ply, m_variant);
            if (m_stop->Requested()) return best;
            if (value > best) {
                best = value;
                bestNumber = i + 1;
            }
            if (best >= beta) break;
        }
    } else {
        makeAhead(0);
        for (int i = 0; i < count; ++i) {
            makeAhead(i + 1);
            const int value =
                -Node(children[i & 1], hashes[i & 1], -beta, -best, ply + 1, depth, opponent, countFlag);
            if (m_stop->Requested()) return best;
            if (value > best) {
                best = value;
                bestNumber = i + 1;
            }
            if (best >= beta) break;
        }
    }

    if (ply > depth) return best; // beyond the horizon nothing is stored
    m_table->StoreResult(probe, side, remaining, best, bestNumber, alpha, beta);
    return best;
}
