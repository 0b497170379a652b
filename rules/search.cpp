#include "rules/search.h"

#include "rules/endgame_db.h"
#include "rules/engine_stop.h"
#include "rules/evaluation.h"
#include "rules/movegen.h"

TEdbProbe& SearchEdbProbe() {
    static TEdbProbe probe{
        EndgameDatabaseOpen,
        static_cast<std::optional<std::int16_t> (*)(const TBoard&, int, int, int, TGameType)>(
            ProbeEndgameDatabase)};
    return probe;
}

bool EdbApplicable(int limit, const TBoard& board, int squares) {
    int n = 0;
    for (int s = 1; s <= squares; ++s)
        if (board[s] != 0 && ++n > limit) return false;
    return true;
}

TSearcher::TSearcher(THashTable& table, TGameType variant, TEdbProbe edb) {
    Reset(table, variant, edb);
}

void TSearcher::Reset(THashTable& table, TGameType variant, TEdbProbe edb) {
    m_table = &table;
    m_variant = variant;
    m_squares = SquaresOf(variant);
    m_edb = edb;
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
    const std::optional<std::int16_t> value = m_edb.probe(board, count.all, side, ply - 1, m_variant);
    if (!value) return false;
    score = *value;
    return true;
}

int TSearcher::Search(const TBoard& board, int alpha, int beta, int ply, int depth, int side, int countFlag) {
    THashProbe probe;
    m_table->Probe(board, side, m_squares, probe);
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

    if (depth > ply + 3) {
        // Order by a one-ply search of each move with its captures resolved.
        std::vector<int>& scores = lists.scores;
        scores.resize(count);
        for (int i = 0; i < count; ++i) {
            TBoard child = board;
            MakeMove(moves[i], child, m_variant);
            scores[i] = -Search(child, -FullWindow, FullWindow, ply + 1, ply + 1, opponent, 1);
            if (EngineStopRequested()) return best;
        }
        SortMovesByScore(count, moves, scores);
    }

    // Captures are compulsory, so either every move of the node is a capture or none is.
    const bool captures = moves[0].captures != 0;
    for (int i = 0; i < count; ++i) {
        TBoard child = board;
        MakeMove(moves[i], child, m_variant);
        int value;
        if (ply >= depth && !captures)
            value = -Evaluate(opponent, child, ply, countFlag, m_variant);
        else
            value = -Search(child, -beta, -best, ply + 1, depth, opponent, countFlag);
        if (EngineStopRequested()) return best;
        if (value > best) {
            best = value;
            bestNumber = i + 1;
        }
        if (best >= beta) break;
    }

    if (ply > depth) return best; // beyond the horizon nothing is stored
    m_table->StoreResult(probe, side, remaining, best, bestNumber, alpha, beta);
    return best;
}

std::int16_t SearchPosition(const TBoard& board, int alpha, int beta, int ply, int depth, int side,
                            int countFlag, TGameType variant) {
    thread_local TSearcher searcher(HashTable, gtRussian);
    searcher.Reset(HashTable, variant, SearchEdbProbe());
    return static_cast<std::int16_t>(searcher.Search(board, alpha, beta, ply, depth, side, countFlag));
}
