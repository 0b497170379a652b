#pragma once
// The book's random numbers: MT19937 with its original (1998) seeding, in which every state word
// after the first is 69069 times the one before. A generator never seeded seeds itself with 4357 on
// its first draw. One generator per library context; one thread at a time.

#include "rules.h"

#include <array>
#include <cstdint>

namespace marrak::inline MARRAK_RULES_NS {

class mt_random {
  public:
    static constexpr int state_size = 624;

    void seed(std::uint32_t seed);
    std::uint32_t next();

    // The state words and the index of the next word to temper (state_size: regenerate first).
    const std::array<std::uint32_t, state_size>& state() const { return m_state; }
    int index() const { return m_index; }

  private:
    void regenerate();
    std::array<std::uint32_t, state_size> m_state{};
    int m_index = state_size + 1; // above state_size: never seeded
};

} // namespace marrak::inline MARRAK_RULES_NS
