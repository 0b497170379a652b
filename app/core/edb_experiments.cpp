#include "app/core/edb_experiments.h"

#include "platform/file_io.h"
#include "rules/variant_traits.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int ShowEvery = 100;

// Positive weights of a loss for side 0: per man on its square, and on the advancement.
struct TWeights {
    int square;
    int advancement;
};
TWeights WeightsOf(TEdbOutcome outcome) {
    switch (outcome) {
    case TEdbOutcome::Loss:
        return {-10, -3};
    case TEdbOutcome::Draw:
        return {-2, -1};
    case TEdbOutcome::Win:
        return {10, 3};
    case TEdbOutcome::NoValue:
        break;
    }
    return {0, 0};
}

// Draws a quiet position; an error when none turned up.
std::string DrawPosition(const TEdbExperimentSettings& s, std::mt19937& rng, TBoard& board) {
    if (RandomEndgamePosition(s.men0, s.men1, true, board, rng, s.variant)) return {};
    return "no position of " + std::to_string(s.men0) + " against " + std::to_string(s.men1) +
           " men without a capture for side 0 turned up";
}

// Draws s.positions quiet positions for `take`, calling `shown` after every 100 and at the end.
TEdbRunEnd ForEachPosition(const TEdbExperimentSettings& s, std::mt19937& rng,
                           const std::atomic<bool>& cancel, const std::function<void(const TBoard&)>& take,
                           const std::function<void()>& shown) {
    TEdbRunEnd end;
    if (end.error = CheckEdbExperimentSettings(s); !end.error.empty()) return end;
    TBoard board;
    for (int i = 1; i <= s.positions; ++i) {
        if (cancel) {
            end.cancelled = true;
            break;
        }
        if (end.error = DrawPosition(s, rng, board); !end.error.empty()) break;
        take(board);
        if (i % ShowEvery == 0) shown();
    }
    shown();
    return end;
}

} // namespace

TEdbOutcome ClassifyEdbScore(std::optional<std::int16_t> score) {
    if (!score) return TEdbOutcome::NoValue;
    if (*score < 0) return TEdbOutcome::Loss;
    return *score == 0 ? TEdbOutcome::Draw : TEdbOutcome::Win;
}

std::string CheckEdbExperimentSettings(const TEdbExperimentSettings& s) {
    if (s.men0 < 1 || s.men1 < 1) return "each side needs at least one man";
    if (s.men0 + s.men1 > EdbMaxPieces)
        return "the endgame database holds positions of at most " + std::to_string(EdbMaxPieces) + " pieces";
    if (s.positions < 1) return "at least one position";
    if (!IsValidVariant(s.variant) || SquaresOf(s.variant) != EdbSquares)
        return "the endgame database covers the 8x8 board only";
    return {};
}

void TallyEdbTable(TEdbTable& table, const TBoard& board, TEdbOutcome outcome) {
    ++table.positions;
    ++table.outcomes[static_cast<int>(outcome)];
    if (outcome == TEdbOutcome::NoValue) return;
    const TWeights w = WeightsOf(outcome);
    for (int s = 1; s <= EdbSquares; ++s) {
        if (board[s] == sqMan0)
            table.squares[0][s - 1] += w.square;
        else if (board[s] == sqMan1)
            table.squares[1][s - 1] -= w.square;
    }
    table.advancement[AdvancementSlot(MenAdvancement(board))] += w.advancement;
}

void TallyEdbTest(TEdbTest& test, std::int64_t counter, TEdbOutcome outcome) {
    ++test.positions;
    if (outcome == TEdbOutcome::NoValue) {
        ++test.skipped;
        return;
    }
    TEdbTestGroup& g = test.groups[static_cast<int>(outcome)];
    g.min = g.count == 0 ? counter : std::min(g.min, counter);
    g.max = g.count == 0 ? counter : std::max(g.max, counter);
    g.sum += counter;
    ++g.count;
}

TEdbRunEnd RunEdbTable(const TEdbExperimentSettings& s, const TEdbProbeFn& probe, std::mt19937& rng,
                       const std::atomic<bool>& cancel, const std::function<void(const TEdbTable&)>& shown) {
    TEdbTable table;
    return ForEachPosition(
        s, rng, cancel, [&](const TBoard& b) { TallyEdbTable(table, b, ClassifyEdbScore(probe(b))); },
        [&] {
            if (shown) shown(table);
        });
}

TEdbRunEnd RunEdbTest(const TEdbExperimentSettings& s, const std::vector<std::int64_t>& advancement,
                      const TEdbProbeFn& probe, std::mt19937& rng, const std::atomic<bool>& cancel,
                      const std::function<void(const TEdbTest&)>& shown) {
    if (advancement.size() != static_cast<std::size_t>(AdvancementSlots))
        return {"no advancement table: run \"gettable\" first", false};
    TEdbTest test;
    return ForEachPosition(
        s, rng, cancel,
        [&](const TBoard& b) {
            const std::int64_t counter = advancement[AdvancementSlot(MenAdvancement(b))];
            TallyEdbTest(test, counter, ClassifyEdbScore(probe(b)));
        },
        [&] {
            if (shown) shown(test);
        });
}

std::string CheckToolInput(const std::string& path) {
    if (path.empty()) return "no file chosen";
    TIoStatus opened;
    std::uint64_t size = 0;
    const int fd = OpenRegularFile(path, &opened, &size);
    if (fd < 0) return opened.Message();
    ::close(fd);
    if (size == 0) return path + " is empty";
    return {};
}
