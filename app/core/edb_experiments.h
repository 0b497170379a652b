#pragma once
// The endgame-database experiments of the test window: statistics over random positions of a
// few men probed in the database. Positions of `men0` men of side 0 against `men1` of side 1
// (at most five pieces, which the database holds), side 0 to move, without a capture for side 0.
// A probe is sorted by the sign of its score: below 0 a loss for side 0, 0 a draw, above 0 a
// win; a position without a value is skipped and counted apart.
//
// Plain functions with no shared state: they run on a worker thread and stop when `cancel`
// turns true. The probe is the caller's (the open database in the program, a fixture in tests).

#include "rules/board.h"
#include "rules/edb_index.h"
#include "rules/edb_positions.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

enum class TEdbOutcome { Loss, Draw, Win, NoValue };
TEdbOutcome ClassifyEdbScore(std::optional<std::int16_t> score);

// Score of a position with side 0 to move, or nothing.
using TEdbProbeFn = std::function<std::optional<std::int16_t>(const TBoard&)>;

struct TEdbExperimentSettings {
    int men0 = 3;
    int men1 = 2;
    int positions = 1000;
    TGameType variant = gtRussian; // whose capture rules decide "quiet"
};
// Empty when the settings can be run, else why not.
std::string CheckEdbExperimentSettings(const TEdbExperimentSettings& s);

// "gettable": per square and side, the men of positions weighted by their outcome (a loss for
// side 0 takes 10 from each square of a side-0 man and gives 10 to each square of a side-1 man;
// a draw 2; a win the reverse of a loss), and per men advancement the same with 3 and 1.
struct TEdbTable {
    std::array<std::array<std::int64_t, 32>, 2> squares{}; // [side][square - 1]
    std::vector<std::int64_t> advancement = std::vector<std::int64_t>(AdvancementSlots);
    std::array<int, 4> outcomes{}; // positions by TEdbOutcome
    int positions = 0;             // drawn so far, skipped ones included
};
void TallyEdbTable(TEdbTable& table, const TBoard& board, TEdbOutcome outcome);

// "make test": the advancement counter of each position (from a gettable run), gathered in three
// groups by outcome.
struct TEdbTestGroup {
    int count = 0;
    std::int64_t sum = 0, min = 0, max = 0;
};
struct TEdbTest {
    std::array<TEdbTestGroup, 3> groups{}; // Loss, Draw, Win
    int skipped = 0;
    int positions = 0;
};
void TallyEdbTest(TEdbTest& test, std::int64_t counter, TEdbOutcome outcome);

// The runs. `shown` is called after every 100 positions and at the end. An empty error when the
// run ended or was cancelled; otherwise why it stopped.
struct TEdbRunEnd {
    std::string error;
    bool cancelled = false;
};
TEdbRunEnd RunEdbTable(const TEdbExperimentSettings& s, const TEdbProbeFn& probe, std::mt19937& rng,
                       const std::atomic<bool>& cancel, const std::function<void(const TEdbTable&)>& shown);
TEdbRunEnd RunEdbTest(const TEdbExperimentSettings& s, const std::vector<std::int64_t>& advancement,
                      const TEdbProbeFn& probe, std::mt19937& rng, const std::atomic<bool>& cancel,
                      const std::function<void(const TEdbTest&)>& shown);

// Why a tool input cannot be used (missing, not a regular file, unreadable, empty), or empty.
std::string CheckToolInput(const std::string& path);
