#include "rules/engine_random.h"

#include "platform/steady_clock.h"

void SeedEngineRandomFromClock(TEngineRandom& rng) {
    rng.seed(static_cast<std::uint32_t>(SteadyNow().count()));
}
