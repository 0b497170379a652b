#pragma once
// Which engine plays the current variant: the options dialog's list of each variant, and the
// choice it makes with the checked level (SelectEngineForVariant); the memory limit of the
// engines' settings. Qt-free, any thread.

#include "app/core/engine_state.h"
#include "app/core/settings.h"
#include "rules/board.h"
#include "rules/game.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One entry of a variant's engine list.
struct TEngineListItem {
    std::string text;     // as the list shows it
    std::uint8_t kind;    // the engine it stands for
    std::string longName; // what SelectEngineForVariant writes
    std::string shortName;
};

// The engines the libraries offer: kind 0 always; Oskeen's name as it gave it.
struct TEngineAvailability {
    std::array<bool, 5> available{true, false, false, false, false};
    std::string oskeenName;
};

// The list of `variant`: item 0 the built-in engine, then the engines of that variant (Oskeen for
// Russian, Trevalo and Marrak for English, Marrak Italian for Italian). The Oskeen item shows the
// engine's own name once it is available.
std::vector<TEngineListItem> EngineListItems(TGameType variant, const TEngineAvailability& engines);

struct TEngineChoice {
    TEngineSettings settings;
    bool levelsEnabled = true; // levels apply to the built-in engine alone
};

// The engine of `variant`'s selected item at `level` (0 "Master" .. 4 "3"). Any other item, an
// engine that is unavailable, and every variant without engines of its own give the built-in
// engine. MaxDepth is left at 255: a request sets it from the level when it starts.
TEngineChoice SelectEngineForVariant(const TEngineOptionSettings& options, TGameType variant, int level,
                                     const TEngineAvailability& engines);

// A game without moves names the engine that will play it: a side named after the engine chosen
// before (`before`, a new game's Black, or White after "Compute!") is renamed `after`. A game with
// moves keeps the names of those who played them. True when a name changed.
bool FollowEngineChoice(TGame& game, const std::string& before, const std::string& after);

// Half the physical memory in megabytes: the limit of each memory setting and of their sum.
int FreeMemoryMB(std::uint64_t totalPhysicalBytes);
// The five memory settings together stay within `freeMB`.
bool MemoryFits(const TEngineOptionSettings& options, int freeMB);
