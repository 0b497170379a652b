#include "app/core/engine_state.h"

TEngineSettings EngineSettings;
TEngineInfoBox EngineInfo;

void ApplyLevel(TEngineSettings& s) {
    const TLevelRow& row = LevelTable[s.Level > 4 ? 4 : s.Level];
    s.MaxDepth = row.maxDepth;
    s.ScoreMargin = row.scoreMargin;
}
