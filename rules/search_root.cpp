#include "rules/search_root.h"

#include "rules/clock.h"
#include "rules/evaluation.h"
#include "rules/movegen.h"

#include <algorithm>
#include <cassert>
#include <optional>

TRootSearchResult RunRootSearch(const TBoard& board, int side, TGameType variant,
                                const TRootSearchLimits& limits, const TRootSearchSetup& setup,
                                const TRootSearchEvents& events) {
    assert(setup.table);
    THashTable& table = *setup.table;
    std::optional<TEngineRandom> ownRandom;
    TEngineRandom& rng = setup.random ? *setup.random : ownRandom.emplace();
    table.Clear();
    table.ResetProbeCounters();
    if (setup.stop) setup.stop->Set(0);

    const std::int64_t target = limits.budget * 2 / 3;
    const int margin = limits.scoreMargin;
    TRootSearchResult result;
    TMoveList& moves = result.moves;
    FindMoves(board, side, moves, variant);
    RemoveDuplicateMoves(moves, board, variant);
    const int n = static_cast<int>(moves.size());
    if (n == 0) return result;

    TSearcher searcher(table, variant, setup.edb, setup.stop);
    auto stopped = [&] { return setup.stop && setup.stop->Requested(); };
    // Scores of the running iteration; they replace the result's only when it finishes.
    std::vector<TRootScore> scores(n);
    const int maxDepth = std::min(limits.maxDepth, MaxRootDepth);
    const int opponent = 1 - side;
    const std::int64_t start = NowCentiseconds();
    int depth = FirstIterationDepth - 1;
    auto search = [&](const TBoard& child, int alpha, int beta) {
        return -searcher.Search(child, alpha, beta, 2, depth, opponent, 1);
    };
    auto setScore = [](TRootScore& r, int score, int bound) {
        r.score = static_cast<std::int16_t>(score);
        r.bound = static_cast<std::int16_t>(bound);
    };

    for (;;) {
        ++depth;
        int best = -32000;
        for (int i = 0; i < n; ++i) {
            if (events.rootMove) events.rootMove(depth, i + 1, n);
            TBoard child = board;
            MakeMove(moves[i], child, variant);
            if (i == 0) {
                const int s = search(child, -FullWindow, FullWindow);
                if (stopped()) break;
                setScore(scores[0], s, s);
                best = s;
                if (events.newBest) events.newBest(moves[0], best, best);
                continue;
            }
            // Window (best - margin, best + 1) seen from the root.
            int s = search(child, -best - 1, margin - best);
            if (stopped()) break;
            scores[i].bound = static_cast<std::int16_t>(s);
            if (s > best) {
                if (events.newBest) events.newBest(moves[i], s, RootOpenBound);
                s = search(child, -FullWindow, -best - 1);
                if (stopped()) break;
                setScore(scores[i], s, s);
                best = s;
                if (events.newBest) events.newBest(moves[i], best, best);
            } else if (s > best - margin) {
                scores[i].score = static_cast<std::int16_t>(s);
            } else {
                setScore(scores[i], RootOutScore, best - margin);
            }
        }
        if (stopped()) {
            result.stopped = true;
            break;
        }

        SortMovesByScore(n, moves, scores, [](const TRootScore& r) { return r.score; });
        result.scores = scores;
        result.marks.assign(n, 0);
        result.candidates = 0;
        for (int i = 0; i < n; ++i)
            if (scores[i].score + margin >= scores[0].score) {
                result.marks[i] = 1;
                ++result.candidates;
            }
        result.completedDepth = depth;
        result.evaluations = searcher.Evaluations();
        result.edbProbes = searcher.EdbProbes();
        result.elapsed = std::max<std::int64_t>(ElapsedCentiseconds(start), 1);
        if (events.iterationDone) events.iterationDone(result);
        if (n == 1 || depth >= maxDepth || result.elapsed >= target) break;
    }

    // The moves are sorted by the last finished iteration; none finished gives the first move.
    result.chosen = RandomBelow(rng, result.candidates) + 1;
    return result;
}
