// The book's move choice on English move lists.

#include "book_cases.h"

TEST(EngineBookEnglish, KindThreeTakesOnlyTheBestLines) {
    book_cases::kind_three_takes_only_the_best_lines();
}
TEST(EngineBookEnglish, ChoiceTextListsTheWeighedMoves) {
    book_cases::choice_text_lists_the_weighed_moves();
}
TEST(EngineBookEnglish, RefusesARepetitionThatClaimsAWin) {
    book_cases::refuses_a_repetition_that_claims_a_win();
}
TEST(EngineBookEnglish, NoCandidatesNoMove) {
    book_cases::no_candidates_no_move();
}
TEST(EngineBookEnglish, LongChainIsCut) {
    book_cases::long_chain_is_cut();
}
TEST(EngineBookEnglish, DriverPlaysTheBookMove) {
    book_cases::driver_plays_the_book_move();
}
TEST(EngineBookEnglish, KeptLinesChooseAsAFreshBook) {
    book_cases::kept_lines_choose_as_a_fresh_book();
}
