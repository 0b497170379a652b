#pragma once
// One rule set's half of engine_bench: the signature positions searched and printed.

#include <cstdint>

namespace engine_bench {

struct totals {
    std::uint64_t nodes = 0;
    std::int64_t milliseconds = 0;
};

totals run_english(int depth);
totals run_italian(int depth);

} // namespace engine_bench
