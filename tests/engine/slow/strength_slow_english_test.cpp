// The English engine at iteration 11: 200 games against the reference player at 4 plies (100
// seeded openings, each colour). Slow: run by hand (ctest -L slow).

#include "strength_cases.h"

TEST(EnglishStrengthSlow, TwoHundredGamesAtIterationEleven) {
    const auto s = strength_cases::match(100, 11, 1000);
    std::printf("English at iteration 11: %d wins, %d draws, %d losses, %.1f of %d points\n", s.wins, s.draws,
                s.losses, s.points(), s.games());
    EXPECT_EQ(s.losses, 0);
    EXPECT_GE(s.points(), 0.75 * s.games());
}
