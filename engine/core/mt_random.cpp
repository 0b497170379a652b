#include "mt_random.h"

namespace marrak::inline MARRAK_RULES_NS {

namespace {
constexpr int shift_size = 397;
constexpr std::uint32_t matrix_a = 0x9908b0dfu;
constexpr std::uint32_t upper_mask = 0x80000000u;
constexpr std::uint32_t lower_mask = 0x7fffffffu;
constexpr std::uint32_t unseeded_seed = 4357;
} // namespace

void mt_random::seed(std::uint32_t seed) {
    m_state[0] = seed;
    for (int i = 1; i < state_size; ++i)
        m_state[i] = 69069u * m_state[i - 1];
    m_index = state_size;
}

void mt_random::regenerate() {
    for (int i = 0; i < state_size; ++i) {
        const std::uint32_t y = (m_state[i] & upper_mask) | (m_state[(i + 1) % state_size] & lower_mask);
        m_state[i] = m_state[(i + shift_size) % state_size] ^ (y >> 1) ^ ((y & 1u) ? matrix_a : 0u);
    }
    m_index = 0;
}

std::uint32_t mt_random::next() {
    if (m_index > state_size) seed(unseeded_seed);
    if (m_index == state_size) regenerate();
    std::uint32_t y = m_state[m_index++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    return y;
}

} // namespace marrak::inline MARRAK_RULES_NS
