// The English engine at iteration depth 7 against the reference player at 4 plies.

#include "strength_cases.h"

#ifdef ENGINE_SANITIZED
constexpr int openings = 2; // the sanitizers make every game many times slower
#else
constexpr int openings = 12;
#endif

TEST(EnglishStrength, BeatsTheReferencePlayer) {
    const auto s = strength_cases::match(openings, 7, 1);
    RecordProperty("score", std::to_string(s.points()) + " of " + std::to_string(s.games()));
    std::printf("English: %d wins, %d draws, %d losses\n", s.wins, s.draws, s.losses);
    EXPECT_EQ(s.losses, 0);
    EXPECT_GE(s.points(), 0.75 * s.games());
}
