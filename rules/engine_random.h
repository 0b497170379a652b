#pragma once
// The built-in engine's random source: the hash keys and the choice among near-equal moves.
// Seeded from the clock in the program and with a fixed seed in tests, so searches repeat.
// The engine's owner keeps its generator; one generator per searching thread.

#include <cstdint>
#include <random>

using TEngineRandom = std::mt19937;

// Reseeds `rng` from the steady clock.
void SeedEngineRandomFromClock(TEngineRandom& rng);

// A uniform integer in 0..n - 1; 0 when n is below 1.
inline int RandomBelow(TEngineRandom& rng, int n) {
    if (n <= 1) return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(rng);
}
