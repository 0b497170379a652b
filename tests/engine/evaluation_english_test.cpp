// The English evaluation: kings are worth 130; otherwise the same checks as the Italian one.

#include "evaluation_cases.h"

TEST(EnglishEvaluation, MaterialTable) {
    marrak::eval::init_eval_tables();
    using evaluation_cases::material;
    EXPECT_EQ(material(0, 0, 0, 0), 0);
    EXPECT_EQ(material(2, 1, 0, 0), 148);
    EXPECT_EQ(material(0, 1, 1, 0), 35);  // 30 + (21 - 16)
    EXPECT_EQ(material(0, 0, 2, 1), 188); // 130 + (74 - 16)
}

TEST(EnglishEvaluation, SideToMoveCountsTwo) {
    evaluation_cases::side_to_move_counts_two();
}

TEST(EnglishEvaluation, TurnedBoardNegatesValueAndKeepsMargin) {
    evaluation_cases::turned_board_negates();
}

TEST(EnglishEvaluation, BreakthroughTablesFollowTheRace) {
    evaluation_cases::breakthrough_tables_follow_the_race();
}

TEST(EnglishEvaluation, TermsOfSmallPositions) {
    evaluation_cases::terms_follow_the_rules();
}
