#pragma once
// The process-wide variant and game of the main window.
// Written by SetGameVariant on the user-interface thread while no engine request runs; worker
// threads read the variant while they search.

#include "rules/game.h"

#include <atomic>
#include <functional>

extern std::atomic<TGameType> CurrentVariant;
extern std::atomic<int> SquareCount;   // 32, or 50 for variant 6
extern std::atomic<int> BoardGeometry; // 1 for 8x8, 2 for 10x10

// The game of the main window.
extern TGame CurrentGame;

// Work that changing the variant sets off in a higher layer, registered at start-up by the layer
// that owns it (the rules layer never includes it). An empty hook is skipped.
struct TVariantHooks {
    std::function<void(TGameType)> openBook; // the variant's opening book
};
TVariantHooks& VariantHooks();

// Sets the variant globals and CurrentGame's variant byte, clears the hash table and reopens the
// variant's opening book and endgame database.
void SetGameVariant(TGameType v);
