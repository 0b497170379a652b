// The English library's endgame databases through a scripted driver.

#include "endgame_db_cases.h"

TEST(EnglishEndgameDb, KindsPerLibrary) {
    endgame_db_cases::kinds_per_library();
}

TEST(EnglishEndgameDb, SarnothSideLimitProbe) {
    endgame_db_cases::sarnoth_side_limit_probe();
}

TEST(EnglishEndgameDb, Identification) {
    endgame_db_cases::identification();
}

TEST(EnglishEndgameDb, OpenFailureAndMtc) {
    endgame_db_cases::open_failure_and_mtc();
}

TEST(EnglishEndgameDb, SettingsCloseAndReopen) {
    endgame_db_cases::settings_close_and_reopen();
}

TEST(EnglishEndgameDb, AboutTextInEachState) {
    endgame_db_cases::about_text_in_each_state();
}

TEST(EnglishEndgameDb, CombineTable) {
    endgame_db_cases::combine_table();
}

TEST(EnglishEndgameDb, ValueSearchPaths) {
    endgame_db_cases::value_search_paths();
}

TEST(EnglishEndgameDb, MoveCheck) {
    endgame_db_cases::move_check();
}

TEST(EnglishEndgameDb, SearchMoveCorrected) {
    endgame_db_cases::search_move_corrected();
}

TEST(EnglishEndgameDb, ListingWon) {
    endgame_db_cases::listing_won();
}

TEST(EnglishEndgameDb, ListingLost) {
    endgame_db_cases::listing_lost();
}

TEST(EnglishEndgameDb, ListingNeedsBothAndNeverTen) {
    endgame_db_cases::listing_needs_both_and_never_ten();
}

TEST(EnglishEndgameDb, DatabaseMoveResultCode) {
    endgame_db_cases::database_move_result_code();
}

TEST(EnglishEndgameDb, RequestPlaysTheDatabaseMove) {
    endgame_db_cases::request_plays_the_database_move();
}
