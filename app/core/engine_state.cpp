#include "app/core/engine_state.h"

TEngineSettings EngineSettings;
TEngineInfoBox EngineInfo;
std::atomic<std::uint8_t> EngineDone{0};
std::atomic<std::uint8_t> StopRequested{1};

void ApplyLevel(TEngineSettings& s) {
    const TLevelRow& row = LevelTable[s.Level > 4 ? 4 : s.Level];
    s.MaxDepth = row.maxDepth;
    s.ScoreMargin = row.scoreMargin;
}
