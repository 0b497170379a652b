#include "app/core/score_text.h"

#include "app/core/engine_state.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
// Distance to the win from the scale's top value (2000, 4000 or 10000).
std::string MateText(int a, int top) {
    return "x" + std::to_string((top + 1 - std::min(a, top)) / 2);
}
} // namespace

std::string ScoreToText(int score, int engineKind) {
    const int a = std::abs(score);
    std::string text;
    if ((engineKind == ekMarrak || engineKind == ekMarrakItalian) && a >= 3800) {
        text = MateText(a, 4000);
    } else if (engineKind == ekOskeen && a >= 4900) {
        const int n = (10001 - std::min(a, 10000)) / 2;
        text = n >= 2500 ? "xN" : "x" + std::to_string(n);
    } else if (a >= 1900) {
        text = MateText(a, 2000);
    } else {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%d.%02d", a / 100, a % 100);
        text = buf;
    }
    return score < 0 ? "-" + text : text;
}

std::string ScoreRangeText(int score, int bound, int engineKind) {
    if (score == bound) return ScoreToText(score, engineKind);
    if (bound == 32000) return ">" + ScoreToText(score, engineKind);
    if (score == -32000) return "<" + ScoreToText(bound, engineKind);
    return ScoreToText(score, engineKind) + ".." + ScoreToText(bound, engineKind);
}
