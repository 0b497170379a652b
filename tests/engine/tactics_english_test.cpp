// The English engine finds what the reference player finds at 9 plies.

#include "tactics_cases.h"

#ifdef ENGINE_SANITIZED
constexpr int tactics = 4, positions = 20;
#else
constexpr int tactics = 30, positions = 300;
#endif

TEST(EnglishTactics, WinsWhatTheReferenceWins) {
    const auto o = tactics_cases::check_tactics(5, tactics);
    std::printf("English: %d tactics in %d positions\n", o.tactics, o.positions);
}

TEST(EnglishTactics, ChoosesALegalMoveWithKingsAbout) {
    tactics_cases::legal_choices(6, positions);
}
