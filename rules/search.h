#pragma once
// The built-in engine's alpha-beta search: hash table, captures searched past the horizon, a
// shallow pre-search to order the moves where enough depth is left, endgame-database probes with
// at most five pieces and no capture pending, and the stop word polled after every child.
//
// Scores are from the view of the side to move; a full window is -2000..2000, and a side without
// moves at ply p scores p - 2001. A search that returns because of a stop returns a meaningless
// value. A searcher is given everything it works on (table, variant, database probe, stop word)
// and keeps its own counters; one search per searcher and per table at a time.

#include "rules/board.h"
#include "rules/engine_stop.h"
#include "rules/evaluation.h"
#include "rules/hash_table.h"
#include "rules/move.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

constexpr int FullWindow = 2000;
constexpr int LossScoreBase = 2001; // a side without moves at ply p scores p - LossScoreBase
constexpr int EdbPieceLimit = 5;
// Deepest ply the search supports (the stored remaining depth is one byte).
constexpr int MaxSearchPly = 250;

// How the search reaches the endgame database: `isOpen` tells whether a database is open;
// `probe` answers (board, piece count, flip, ply, the searcher's variant) with a score, or nothing
// when the value cannot be read or belongs to another variant (the search then goes on as if
// there were no database).
struct TEdbProbe {
    bool (*isOpen)() = nullptr;
    std::optional<std::int16_t> (*probe)(const TBoard& board, int pieces, int flip, int ply,
                                         TGameType variant) = nullptr;
};
// The probe of the program's endgame database (the one SetGameVariant opens for the current
// variant).
TEdbProbe SearchEdbProbe();

// True when the board holds at most `limit` pieces on squares 1..squares.
bool EdbApplicable(int limit, const TBoard& board, int squares);

// Selection sort by descending score of the first `count` moves and their scores: place i takes
// the first greatest score among i..count, with its move. `scoreOf` reads the score of an element.
template <class TScore, class TScoreOf>
void SortMovesByScore(int count, TMoveList& moves, std::vector<TScore>& scores, TScoreOf scoreOf) {
    for (int i = 0; i + 1 < count; ++i) {
        int top = i;
        for (int j = i + 1; j < count; ++j)
            if (scoreOf(scores[j]) > scoreOf(scores[top])) top = j;
        if (top != i) {
            std::swap(moves[top], moves[i]);
            std::swap(scores[top], scores[i]);
        }
    }
}
inline void SortMovesByScore(int count, TMoveList& moves, std::vector<int>& scores) {
    SortMovesByScore(count, moves, scores, [](int s) { return s; });
}

// One searcher: its table, variant, probe and stop word, its evaluation and database-probe
// counters, and its own per-ply move and score lists, which it keeps from one search to the next so
// the search does not allocate once they have grown. Without a stop word it searches to the end.
class TSearcher {
  public:
    TSearcher(THashTable& table, TGameType variant, TEdbProbe edb = {}, const TStopWord* stop = nullptr);
    TSearcher(const TSearcher&) = delete; // it may point at its own stop word
    TSearcher& operator=(const TSearcher&) = delete;
    // A new table, variant, probe and stop word; the counters are kept.
    void Reset(THashTable& table, TGameType variant, TEdbProbe edb, const TStopWord* stop = nullptr);

    // The search of `board` with `side` to move, window (alpha, beta), at `ply` of a search to
    // `depth`. Expects 1 <= ply and depth < MaxSearchPly.
    int Search(const TBoard& board, int alpha, int beta, int ply, int depth, int side, int countFlag);

    TGameType Variant() const { return m_variant; }
    THashTable& Table() { return *m_table; }

    // Evaluations made (as CountsAsEvaluation counts them) since the last reset. Written by the
    // searching thread; others read it only between searches or through what the search reports.
    std::uint64_t Evaluations() const { return m_evaluations; }
    void ResetEvaluations() { m_evaluations = 0; }
    void CountEvaluation(int countFlag) { m_evaluations += CountsAsEvaluation(m_variant, countFlag); }
    // Database probes asked of the probe since the last reset, also those that gave no value.
    std::uint32_t EdbProbes() const { return m_edbProbes; }
    void ResetEdbProbes() { m_edbProbes = 0; }

  private:
    struct TPlyLists {
        TMoveList moves;
        TMoveList other; // the opponent's moves, for the database's capture test
        std::vector<int> scores;
    };
    // The search with the table hash of the board (before the modulo), kept move by move.
    int Node(const TBoard& board, std::uint32_t hash, int alpha, int beta, int ply, int depth, int side,
             int countFlag);
    // The board after move m, and its hash.
    std::uint32_t MakeChild(const TBoard& board, std::uint32_t hash, const TMove& m, TBoard& child) const;
    TPlyLists& ListsAt(int ply);
    bool EdbProbeTaken(const TBoard& board, int side, int ply, TPlyLists& lists, int& score);

    THashTable* m_table;
    TGameType m_variant;
    int m_squares;
    TEdbProbe m_edb;
    const TStopWord* m_stop;
    TStopWord m_neverStop; // the word of a searcher given none: nobody sets it
    std::uint64_t m_evaluations = 0;
    std::uint32_t m_edbProbes = 0;
    std::deque<TPlyLists> m_plies; // deque: growing it keeps the lists of the plies above valid
};
