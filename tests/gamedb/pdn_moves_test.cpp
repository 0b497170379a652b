// Move tokens of other programs' PDN: each text a pass compares, for a plain move and a capture in
// every variant, written by hand from the variants' numbering; a file of games written so; and
// tokens too long to be squares.
#include "gamedb/pdn_moves.h"
#include "tests/gamedb/pdn_test_util.h"
#include "tests/support/positions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using test_support::BoardFromSquares;

// One token per text the passes compare, in their order.
struct TForms {
    const char* full;          // 1: standard, full form, "x"
    const char* shortForm;     // 2: standard, short form, "x"
    const char* landingsShort; // 3: every landing square, short form, "x"
    // 4: capture text (from, final, captured squares); every landing square, full form, "x";
    // standard full form with "-", ":" and no separator; every landing square, full form, ":";
    // standard short form with ":", "-" and no separator; every landing square, short form, ":".
    const char* captureText;
    const char* landingsFull;
    const char* fullDash;
    const char* fullColon;
    const char* fullNone;
    const char* landingsFullColon;
    const char* shortColon;
    const char* shortDash;
    const char* shortNone;
    const char* landingsShortColon;
};

struct TFormRow {
    const char* name;
    TGameType variant;
    const char* squares; // internal squares, side 0 to move
    int from, to, captures;
    TForms forms;
};

// Internal squares: 8x8 row y = (n - 1) / 4, column 2 * ((n - 1) % 4) + y % 2, so 3 e1, 7 f2,
// 10 c3, 14 d4, 19 e5, 23 f6, 28 g7. Numbers: English and Pool 4 * ((n - 1) / 4) + 4 - (n - 1) % 4
// (12 is 9, 16 is 13, 15 is 14, 19 is 18, 22 is 23, 26 is 27), Italian 33 - n, International
// 5 * (9 - (n - 1) / 5) + (n - 1) % 5 + 1 (28 is 23, 33 is 18, 37 is 12, 42 is 7, 46 is 1, 38 is 13,
// 43 is 8). A plain move's text has "-" in the standard forms and the named separator in the
// forms of pass 4; the short algebraic form is the from square's letter.
const TFormRow kPlain[] = {
    // c3-d4 beside c3-b4.
    {"Russian c3-d4",
     gtRussian,
     "w10",
     10,
     14,
     0,
     {"c3-d4", "cd4", "cd4", "c3-d4", "c3-d4", "c3-d4", "c3:d4", "c3d4", "c3:d4", "c:d4", "c-d4", "cd4",
      "c3:d4"}},
    {"Brazilian c3-d4",
     gtBrazilian,
     "w10",
     10,
     14,
     0,
     {"c3-d4", "cd4", "cd4", "c3-d4", "c3-d4", "c3-d4", "c3:d4", "c3d4", "c3:d4", "c:d4", "c-d4", "cd4",
      "c3:d4"}},
    {"Czech c3-d4",
     gtCzech,
     "w10",
     10,
     14,
     0,
     {"c3-d4", "cd4", "cd4", "c3-d4", "c3-d4", "c3-d4", "c3:d4", "c3d4", "c3:d4", "c:d4", "c-d4", "cd4",
      "c3:d4"}},
    // 9-13 beside 9-14.
    {"English 9-13",
     gtEnglish,
     "w12",
     12,
     16,
     0,
     {"09-13", "9-13", "9-13", "09-13", "09-13", "09-13", "09:13", "0913", "09:13", "9:13", "9-13", "913",
      "9:13"}},
    {"Pool 9-13",
     gtPool,
     "w12",
     12,
     16,
     0,
     {"09-13", "9-13", "9-13", "09-13", "09-13", "09-13", "09:13", "0913", "09:13", "9:13", "9-13", "913",
      "9:13"}},
    // 9-5 beside 10-6 and 10-5.
    {"Italian 9-5",
     gtItalian,
     "w23 w24",
     24,
     28,
     0,
     {"09-05", "9-5", "9-5", "09-05", "09-05", "09-05", "09:05", "0905", "09:05", "9:5", "9-5", "95", "9:5"}},
    // 13-8 beside 13-9.
    {"International 13-8",
     gtInternational,
     "w38",
     38,
     43,
     0,
     {"13-08", "13-8", "13-8", "13-08", "13-08", "13-08", "13:08", "1308", "13:08", "13:8", "13-8", "138",
      "13:8"}},
};

// Captures of two pieces; in Russian, English, Pool and Czech beside a capture of one by another man.
const TFormRow kCaptures[] = {
    {"Russian c3xg7",
     gtRussian,
     "w3 w10 b7 b14 b23",
     10,
     28,
     2,
     {"c3xg7", "cxg7", "c3xe5xg7", "c3xg7xd4xf6", "c3xe5xg7", "c3-g7", "c3:g7", "c3g7", "c3:e5:g7", "c:g7",
      "c-g7", "cg7", "c3:e5:g7"}},
    {"Brazilian c3xg7",
     gtBrazilian,
     "w3 w10 b7 b14 b23",
     10,
     28,
     2,
     {"c3xg7", "cxg7", "c3xe5xg7", "c3xg7xd4xf6", "c3xe5xg7", "c3-g7", "c3:g7", "c3g7", "c3:e5:g7", "c:g7",
      "c-g7", "cg7", "c3:e5:g7"}},
    {"Czech c3xg7",
     gtCzech,
     "w3 w10 b7 b14 b23",
     10,
     28,
     2,
     {"c3xg7", "cxg7", "c3xe5xg7", "c3xg7xd4xf6", "c3xe5xg7", "c3-g7", "c3:g7", "c3g7", "c3:e5:g7", "c:g7",
      "c-g7", "cg7", "c3:e5:g7"}},
    {"English 9x27",
     gtEnglish,
     "w5 w12 b10 b15 b22",
     12,
     26,
     2,
     {"09x27", "9x27", "9x18x27", "9x27x14x23", "09x18x27", "09-27", "09:27", "0927", "09:18:27", "9:27",
      "9-27", "927", "9:18:27"}},
    {"Pool 9x27",
     gtPool,
     "w5 w12 b10 b15 b22",
     12,
     26,
     2,
     {"09x27", "9x27", "9x18x27", "9x27x14x23", "09x18x27", "09-27", "09:27", "0927", "09:18:27", "9:27",
      "9-27", "927", "9:18:27"}},
    // d4 over c5 and c7 to d8: 19x12x3 taking 15 and 7.
    {"Italian 19x3",
     gtItalian,
     "w14 b18 b26",
     14,
     30,
     2,
     {"19x03", "19x3", "19x12x3", "19x3x15x7", "19x12x03", "19-03", "19:03", "1903", "19:12:03", "19:3",
      "19-3", "193", "19:12:3"}},
    {"International 23x1",
     gtInternational,
     "w28 b33 b42",
     28,
     46,
     2,
     {"23x01", "23x1", "23x12x1", "23x1x18x7", "23x12x01", "23-01", "23:01", "2301", "23:12:01", "23:1",
      "23-1", "231", "23:12:1"}},
};

constexpr struct {
    const char* TForms::*form;
    const char* name;
} kFormNames[] = {
    {&TForms::full, "standard full"},
    {&TForms::shortForm, "standard short"},
    {&TForms::landingsShort, "landings short x"},
    {&TForms::captureText, "capture text"},
    {&TForms::landingsFull, "landings full x"},
    {&TForms::fullDash, "full -"},
    {&TForms::fullColon, "full :"},
    {&TForms::fullNone, "full, no separator"},
    {&TForms::landingsFullColon, "landings full :"},
    {&TForms::shortColon, "short :"},
    {&TForms::shortDash, "short -"},
    {&TForms::shortNone, "short, no separator"},
    {&TForms::landingsShortColon, "landings short :"},
};

void ExpectEveryFormNamesItsMove(const TFormRow& r) {
    SCOPED_TRACE(r.name);
    TMoveList moves;
    FindMoves(BoardFromSquares(r.squares), 0, moves, r.variant);
    for (const auto& f : kFormNames) {
        const char* token = r.forms.*f.form;
        SCOPED_TRACE(std::string(f.name) + " \"" + token + "\"");
        const int k = MatchPdnMove(token, moves, r.variant);
        if (k <= 0) {
            ADD_FAILURE() << "names no move";
            continue;
        }
        const TMove& m = moves[static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(m.from, r.from);
        EXPECT_EQ(m.To(), r.to);
        EXPECT_EQ(m.captures, r.captures);
    }
}

} // namespace

TEST(PdnMoveForms, EveryTextOfAPlainMoveNamesIt) {
    for (const TFormRow& r : kPlain)
        ExpectEveryFormNamesItsMove(r);
}

TEST(PdnMoveForms, EveryTextOfACaptureNamesIt) {
    for (const TFormRow& r : kCaptures)
        ExpectEveryFormNamesItsMove(r);
}

// Texts no pass gives for any legal move of the position.
TEST(PdnMoveForms, TextsOfNoLegalMoveNameNone) {
    const struct {
        TGameType variant;
        const char* squares;
        const char* token;
    } rows[] = {
        {gtRussian, "w10", "c3d5"},
        {gtRussian, "w10", "c:d5"},
        {gtRussian, "w10", "d4c3"},   // backwards
        {gtRussian, "w10", "c3-"},    // no final square
        {gtRussian, "w10", "c3d4e5"}, // a plain move has two squares
        {gtRussian, "w10", "14-18"},  // numbers in an algebraic variant
        {gtEnglish, "w12", "0915"},
        {gtEnglish, "w12", "915"},
        {gtEnglish, "w12", "9013"},  // neither two digits each nor none
        {gtEnglish, "w12", "9-013"}, // nor a leading zero on a three-digit number
        {gtEnglish, "w12", "009-13"},
        {gtEnglish, "w12", "09x13x13"},
        {gtEnglish, "w12", "a3b4"}, // algebraic in a numbering variant
        {gtItalian, "w23 w24", "0906"},
        {gtItalian, "w23 w24", "96"},
        {gtInternational, "w38", "1310"},
        {gtInternational, "w38", "13-9-4"},
        {gtEnglish, "w5 w12 b10 b15 b22", "927x14"}, // a joined number is no square of a capture list
        {gtEnglish, "w5 w12 b10 b15 b22", "0918:27"},
        {gtInternational, "w28 b33 b42", "23x1x18"}, // one captured square missing
        {gtInternational, "w28 b33 b42", "2312"},    // the capture goes on past 12
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.squares) + " \"" + r.token + "\"");
        TMoveList moves;
        FindMoves(BoardFromSquares(r.squares), 0, moves, r.variant);
        const int k = MatchPdnMove(r.token, moves, r.variant);
        EXPECT_EQ(k, 0) << (k > 0 ? "matched a move" : "");
    }
}

// A number longer than any square number (two digits, four for a joined pair) names no square,
// however many digits it has: a counter that wraps would read 256 zeros and "32" as 32.
TEST(PdnMoveForms, LongNumbersAreNeverSquares) {
    TMoveList moves;
    FindMoves(StartPositionOf(gtInternational), 0, moves, gtInternational);
    EXPECT_GT(MatchPdnMove("32-28", moves, gtInternational), 0);
    EXPECT_GT(MatchPdnMove("3228", moves, gtInternational), 0);
    for (std::size_t zeros : {1u, 2u, 254u, 255u, 256u, 257u, 512u, 100000u}) {
        SCOPED_TRACE(zeros);
        const std::string z(zeros, '0');
        EXPECT_EQ(MatchPdnMove(z + "32-28", moves, gtInternational), 0);
        EXPECT_EQ(MatchPdnMove("32-" + z + "28", moves, gtInternational), 0);
        EXPECT_EQ(MatchPdnMove(z + "3228", moves, gtInternational), 0);
        EXPECT_EQ(MatchPdnMove(ShortenMoveToken(z + "32x99x28"), moves, gtInternational), 0);
    }
    // Digits beyond what a 64-bit product holds, before and after a count of 256.
    for (std::size_t digits : {20u, 40u, 255u, 256u, 276u, 300u, 1000u}) {
        SCOPED_TRACE(digits);
        const std::string nines(digits, '9');
        EXPECT_EQ(MatchPdnMove(nines + "-28", moves, gtInternational), 0);
        EXPECT_EQ(MatchPdnMove("32-" + nines, moves, gtInternational), 0);
        EXPECT_EQ(MatchPdnMove(nines, moves, gtInternational), 0);
        EXPECT_EQ(MatchPdnMove(std::string(digits, '1') + "3228", moves, gtInternational), 0);
    }
}

// A file of every variant written in the forms of the fourth pass: a game from the start position
// with plain moves and captures, and a capture (or a plain move) in every form, each a variation
// of the first move after the capture text (or "138").
TEST(PdnMoveForms, AFileOfEveryVariantInTheseFormsReadsWhole) {
    const struct {
        TGameType variant;
        bool fromStart;
        const char* moves; // the main line of a game from the start; else the moves below the root
    } want[] = {
        {gtRussian, true, "c3-d4 f6-e5 d4xf6 g7xe5 b2-c3 h6-g5 c3-d4 e5xc3 d2xb4 g5-h4 g3-f4"},
        {gtRussian, false, "c3xg7 c3xg7 c3xg7 c3xg7 c3xg7 c3xg7 c3xg7 c3xg7 c3xg7 e1xg3"},
        {gtBrazilian, true, "c3-d4 f6-e5 d4xf6 g7xe5 b2-c3 h6-g5 c3-d4 e5xc3 d2xb4 g5-h4 g3-f4"},
        {gtBrazilian, false, "c3xg7 c3xg7 c3xg7 c3xg7 c3xg7 c3xg7 c3xg7 c3xg7 c3xg7"},
        {gtCzech, true, "c3-d4 f6-e5 d4xf6 g7xe5 b2-c3 h6-g5 c3-d4 e5xc3 d2xb4 g5-h4 g3-f4"},
        {gtCzech, false, "c3xg7 c3xg7 c3xg7 c3xg7 c3xg7 c3xg7 c3xg7 c3xg7 c3xg7 e1xg3"},
        {gtEnglish, true, "11-15 22-18 15x22 25x18 08-11 29-25 04-08 25-22 12-16 24-20"},
        {gtEnglish, false, "09x27 09x27 09x27 09x27 09x27 09x27 09x27 09x27 09x27 09x27 08x15"},
        {gtPool, true, "11-15 22-18 15x22 25x18 08-11 29-25 04-08 25-22 12-16 24-20"},
        {gtPool, false, "09x27 09x27 09x27 09x27 09x27 09x27 09x27 09x27 09x27 09x27 08x15"},
        {gtItalian, true, "23-19 10-14 19x10 05x14 21-17 09-13"},
        {gtItalian, false, "19x03 19x03 19x03 19x03 19x03 19x03 19x03 19x03 19x03 19x03"},
        {gtInternational, true, "32-28 19-23 28x19 14x23 37-32 10-14 32-28 23x32 38x27"},
        {gtInternational, false, "23x01 23x01 23x01 23x01 23x01 23x01 23x01 23x01 23x01 23x01"},
        {gtInternational, false, "13-08 13-08 13-08 13-08 13-08 13-09"},
    };
    const auto games = pdn_test::ReadAll(pdn_test::Fixture("separators.pdn"));
    ASSERT_EQ(games.size(), std::size(want));
    for (std::size_t i = 0; i < games.size(); ++i) {
        const TGame& g = *games[i].game;
        SCOPED_TRACE(g.tournament);
        EXPECT_TRUE(games[i].report.whole) << games[i].report.reason;
        EXPECT_EQ(g.header.variant, want[i].variant);
        EXPECT_EQ(want[i].fromStart ? pdn_test::MainLine(g) : pdn_test::ChildMoves(g, 0), want[i].moves);
    }
}
