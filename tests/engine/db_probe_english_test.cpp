// The English search and the endgame database: it probes ten-piece positions with two kings too.

#include "db_probe_cases.h"

TEST(EnglishDatabaseProbes, AlsoAtTenPiecesWithATwoKingSide) {
    EXPECT_GT(db_probe_cases::ten_piece_two_king_lookups(), 0);
}

TEST(EnglishDatabaseProbes, HorizonResultsMapToValues) {
    db_probe_cases::horizon_results_map();
}

TEST(EnglishRepetition, FoundAtFourPlyStepsWithKingsOnBothSides) {
    db_probe_cases::repetitions_at_four_ply_steps();
}

TEST(EnglishDatabaseProbes, DepthFlagWordWraps) {
    db_probe_cases::depth_flag_word_wraps();
}

TEST(EnglishRepetition, PathHoldsTheLineToEveryNode) {
    db_probe_cases::path_holds_the_line_to_every_node();
}
