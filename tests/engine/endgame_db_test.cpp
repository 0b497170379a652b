// The Italian library's endgame databases through a scripted driver.

#include "endgame_db_cases.h"

TEST(ItalianEndgameDb, KindsPerLibrary) {
    endgame_db_cases::kinds_per_library();
}

TEST(ItalianEndgameDb, SarnothSideLimitProbe) {
    endgame_db_cases::sarnoth_side_limit_probe();
}

TEST(ItalianEndgameDb, Identification) {
    endgame_db_cases::identification();
}

TEST(ItalianEndgameDb, OpenFailureAndMtc) {
    endgame_db_cases::open_failure_and_mtc();
}

TEST(ItalianEndgameDb, SettingsCloseAndReopen) {
    endgame_db_cases::settings_close_and_reopen();
}

TEST(ItalianEndgameDb, AboutTextInEachState) {
    endgame_db_cases::about_text_in_each_state();
}

TEST(ItalianEndgameDb, CombineTable) {
    endgame_db_cases::combine_table();
}

TEST(ItalianEndgameDb, ValueSearchPaths) {
    endgame_db_cases::value_search_paths();
}

TEST(ItalianEndgameDb, MoveCheck) {
    endgame_db_cases::move_check();
}

TEST(ItalianEndgameDb, SearchMoveCorrected) {
    endgame_db_cases::search_move_corrected();
}

TEST(ItalianEndgameDb, ListingWon) {
    endgame_db_cases::listing_won();
}

TEST(ItalianEndgameDb, ListingLost) {
    endgame_db_cases::listing_lost();
}

TEST(ItalianEndgameDb, ListingNeedsBothAndNeverTen) {
    endgame_db_cases::listing_needs_both_and_never_ten();
}

TEST(ItalianEndgameDb, DatabaseMoveResultCode) {
    endgame_db_cases::database_move_result_code();
}

TEST(ItalianEndgameDb, RequestPlaysTheDatabaseMove) {
    endgame_db_cases::request_plays_the_database_move();
}
