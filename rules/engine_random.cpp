#include "rules/engine_random.h"

#include "platform/steady_clock.h"

TEngineRandom& EngineRandom() {
    static TEngineRandom rng;
    return rng;
}

void SeedEngineRandomFromClock() {
    EngineRandom().seed(static_cast<std::uint32_t>(SteadyNow().count()));
}
