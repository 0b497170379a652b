#pragma once
// Texts of engine evaluations: hundredths as "1.25", wins as "x" and the moves to the win.
// The limits of a win depend on the engine's scale, so the engine kind goes in. Any thread.

#include <cstdint>
#include <string>

std::string ScoreToText(int score, int engineKind);
// "1.25" when exact, ">1.25" a lower bound only, "<1.25" an upper bound only, "0.10..0.20" a range.
std::string ScoreRangeText(int score, int bound, int engineKind);
