// The Italian evaluation: its material table, side to move, symmetry and breakthrough tables.

#include "evaluation_cases.h"

TEST(ItalianEvaluation, MaterialTable) {
    marrak::eval::init_eval_tables();
    using evaluation_cases::material;
    EXPECT_EQ(material(0, 0, 0, 0), 0);
    EXPECT_EQ(material(2, 1, 0, 0), 148); // 100 + (64 - 16)
    EXPECT_EQ(material(0, 1, 1, 0), 84);  // 60 + (40 - 16)
    EXPECT_EQ(material(1, 2, 0, 0), -148);
    EXPECT_EQ(material(1, 1, 0, 0), 0);
}

TEST(ItalianEvaluation, SideToMoveCountsTwo) {
    evaluation_cases::side_to_move_counts_two();
}

TEST(ItalianEvaluation, TurnedBoardNegatesValueAndKeepsMargin) {
    evaluation_cases::turned_board_negates();
}

TEST(ItalianEvaluation, BreakthroughTablesFollowTheRace) {
    evaluation_cases::breakthrough_tables_follow_the_race();
}

TEST(ItalianEvaluation, TermsOfSmallPositions) {
    evaluation_cases::terms_follow_the_rules();
}
