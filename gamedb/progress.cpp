#include "gamedb/progress.h"

#include "rules/clock.h"

#include <algorithm>

namespace {
class TSilentProgress final : public IProgress {
  public:
    void BeginProgress(const std::string&, const std::string&, std::int64_t, std::int64_t) override {}
    void StepProgress(std::int64_t, std::int64_t) override {}
    void EndProgress() override {}
};

} // namespace

IProgress& SilentProgress() {
    static TSilentProgress silent;
    return silent;
}

TProgressScope::TProgressScope(IProgress& progress, const std::string& caption, const std::string& text,
                               std::int64_t maximum, std::int64_t count)
    : m_progress(progress) {
    m_progress.BeginProgress(caption, text, maximum, count);
}

void TProgressScope::End() {
    if (!m_active) return;
    m_active = false;
    m_progress.EndProgress();
}

std::int64_t ClampProgress(std::int64_t position, std::int64_t maximum) {
    return std::clamp<std::int64_t>(position, 0, std::max<std::int64_t>(maximum, 0));
}

std::int64_t RemainingCentiseconds(std::int64_t elapsed, std::int64_t position, std::int64_t maximum) {
    if (position <= 0) return -1;
    if (position >= maximum) return 0;
    elapsed = std::max<std::int64_t>(elapsed, 0);
    // elapsed * maximum passes 2^63 only after centuries, but 2^32 within seconds once the maximum
    // is a file's size: the product is taken in 128 bits.
    const auto total = (static_cast<__int128>(elapsed) * maximum + position / 2) / position;
    const __int128 left = total - elapsed;
    return left > INT64_MAX ? INT64_MAX : static_cast<std::int64_t>(std::max<__int128>(left, 0));
}

std::string EstimateText(std::int64_t elapsed, std::int64_t position, std::int64_t maximum) {
    const std::int64_t left = RemainingCentiseconds(elapsed, position, maximum);
    return left < 0 ? std::string() : "Estimated time " + FormatClock(left);
}

void TProgressEstimate::Start(std::int64_t maximum) {
    m_start = NowCentiseconds();
    m_maximum = std::max<std::int64_t>(maximum, 0);
}

std::string TProgressEstimate::Text(std::int64_t position) const {
    return EstimateText(ElapsedCentiseconds(m_start), position, m_maximum);
}
