// The Italian search and the endgame database; repetitions.

#include "db_probe_cases.h"

TEST(ItalianDatabaseProbes, NeverAtTenPiecesWithATwoKingSide) {
    EXPECT_EQ(db_probe_cases::ten_piece_two_king_lookups(), 0);
}

TEST(ItalianDatabaseProbes, HorizonResultsMapToValues) {
    db_probe_cases::horizon_results_map();
}

TEST(ItalianDatabaseProbes, DepthFlagWordWraps) {
    db_probe_cases::depth_flag_word_wraps();
}

TEST(ItalianRepetition, FoundAtFourPlyStepsWithKingsOnBothSides) {
    db_probe_cases::repetitions_at_four_ply_steps();
}

TEST(ItalianRepetition, PathHoldsTheLineToEveryNode) {
    db_probe_cases::path_holds_the_line_to_every_node();
}
