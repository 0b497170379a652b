#pragma once
// The process-wide variant.
// Written by SetGameVariant on the user-interface thread while no engine request runs; worker
// threads read the variant while they search.

#include "rules/game.h"

#include <atomic>
#include <functional>

extern std::atomic<TGameType> CurrentVariant;
extern std::atomic<int> SquareCount;   // 32, or 50 for variant 6
extern std::atomic<int> BoardGeometry; // 1 for 8x8, 2 for 10x10

// Work that changing the variant sets off in a higher layer, registered at start-up by the layer
// that owns it (the rules layer never includes it). An empty hook is skipped.
struct TVariantHooks {
    std::function<void()> clearHashTable;    // the built-in engine's table
    std::function<void(TGameType)> openBook; // the variant's opening book
};
TVariantHooks& VariantHooks();

// Sets the variant globals, clears the built-in engine's hash table and reopens the variant's
// opening book and endgame database. The shell's game session calls it and sets its game's variant
// byte.
void SetGameVariant(TGameType v);
