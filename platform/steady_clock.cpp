#include "platform/steady_clock.h"

namespace {
std::function<std::chrono::nanoseconds()>& Source() {
    static std::function<std::chrono::nanoseconds()> source;
    return source;
}
} // namespace

std::chrono::nanoseconds SteadyNow() {
    if (const auto& source = Source()) return source();
    return std::chrono::steady_clock::now().time_since_epoch();
}

void SetSteadyClockSource(std::function<std::chrono::nanoseconds()> source) {
    Source() = std::move(source);
}
