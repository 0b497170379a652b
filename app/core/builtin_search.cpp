#include "app/core/builtin_search.h"

#include "app/core/engine_state.h"
#include "app/core/score_text.h"
#include "platform/steady_clock.h"
#include "rules/endgame_db.h"
#include "rules/evaluation.h"
#include "rules/notation.h"

#include <cassert>
#include <chrono>
#include <cmath>
#include <optional>
#include <thread>

namespace {
std::string Text(const TMove& m, const TBuiltinSearchRequest& r) {
    return MoveToText(m, r.variant, r.fullNotation, ":");
}

long Round(double v) {
    return std::lround(v);
}

void ShowIteration(const TRootSearchResult& it, const THashTable& table, const TBuiltinSearchRequest& r) {
    std::string line;
    for (std::size_t i = 0; i < it.moves.size(); ++i)
        if (it.marks[i]) {
            if (!line.empty()) line += ", "; // between moves, not after the last
            line +=
                Text(it.moves[i], r) + " " + ScoreRangeText(it.scores[i].score, it.scores[i].bound, ekVantor);
        }
    const double elapsed = static_cast<double>(it.elapsed);
    const double entries = static_cast<double>(table.Size());
    const double probes = table.ProbeCount() ? table.ProbeCount() : 1;
    EngineInfo.Update([&](TEngineInfo& info) {
        info.BestLine = line;
        info.Time = std::to_string(it.elapsed);
        info.Speed =
            std::to_string(Round(static_cast<double>(it.evaluations) / elapsed * 100 / 1000)) + "kN/s";
        info.EdbProbes = EndgameDatabaseOpen() ? std::to_string(it.edbProbes) : "n/a";
        info.HashFill = std::to_string(entries > 0 ? Round(table.StoredCount() / entries * 200) : 0) +
                        "% of " + std::to_string(table.Size() * 28 / 1048576) + " MB";
        // The table keeps no hit count of its own: the slots walked per probe stand for it.
        info.HashHits = std::to_string(Round(table.StepCount() / probes / 2 * 100)) + "%";
    });
}
} // namespace

TBuiltinSearchOutcome RunBuiltinSearch(const TBuiltinSearchRequest& r, int maxDepth, int scoreMargin,
                                       std::int64_t budget, const std::atomic<bool>& stop, IBookMoves& book,
                                       const TRootSearchSetup& setup) {
    TBuiltinSearchOutcome out;
    if (r.playMode && maxDepth == AnalysisDepth) {
        const std::vector<TMove> listed = book.PlayableBookMoves(r.board, r.side, r.variant);
        if (!listed.empty()) {
            std::optional<TEngineRandom> ownRandom;
            TEngineRandom& rng = setup.random ? *setup.random : ownRandom.emplace();
            out.move = listed[RandomBelow(rng, static_cast<int>(listed.size()))];
            out.hasMove = out.fromBook = true;
            // The pause of a book move, on the program's steady clock (tests drive it); a stop
            // ends it early (the move is then dropped anyway).
            const std::chrono::nanoseconds end = SteadyNow() + BookMovePause;
            while (!stop.load() && SteadyNow() < end)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return out;
        }
    }

    EngineInfo.Update([](TEngineInfo& info) { info.Score = info.Bound = 0; });
    assert(setup.table);
    const THashTable& table = *setup.table;
    TRootSearchEvents events;
    events.rootMove = [&](int depth, int i, int n) {
        // The search cleared the stop word at its start; a stop asked before that is kept here.
        if (stop.load() && setup.stop) setup.stop->Set(1);
        EngineInfo.Update([&](TEngineInfo& info) {
            info.Depth = std::to_string(depth) + " (" + std::to_string(i) + "/" + std::to_string(n) + ")";
        });
    };
    events.newBest = [&](const TMove& m, int score, int bound) {
        const std::string text = Text(m, r) + " ";
        EngineInfo.Update([&](TEngineInfo& info) {
            info.BestLine = text;
            if (bound == RootOpenBound) {
                info.Bound = RootOpenBound;
            } else {
                info.Score = static_cast<std::int16_t>(score);
                info.Bound = static_cast<std::int16_t>(score);
            }
        });
    };
    events.iterationDone = [&](const TRootSearchResult& it) { ShowIteration(it, table, r); };
    TRootSearchLimits limits;
    limits.maxDepth = maxDepth;
    limits.scoreMargin = scoreMargin;
    limits.budget = budget;
    out.root = RunRootSearch(r.board, r.side, r.variant, limits, setup, events);
    if (r.playMode && out.root.chosen >= 1 && out.root.chosen <= static_cast<int>(out.root.moves.size())) {
        out.move = out.root.moves[out.root.chosen - 1];
        out.hasMove = true;
    }
    return out;
}
