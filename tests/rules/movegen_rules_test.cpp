// Capture rules and filters of each variant on hand-built positions.
#include "movegen_test_util.h"

#include "rules/movegen.h"

#include <gtest/gtest.h>

using namespace movegen_test;

namespace {
struct TCase {
    const char* name;
    TGameType variant;
    int side;
    const char* position;
    std::vector<std::string> moves; // in generation order
};

// Squares are internal numbers: 8x8 row 0 is 1-4 (columns 0, 2, 4, 6), row 1 is 5-8 (1, 3, 5, 7)
// and so on; 10x10 rows hold five squares.
const TCase Cases[] = {
    // A man that reaches the far row in a capture is a king at once in Russian and flies on.
    {"RussianPromotesMidCapture", gtRussian, 0, "w21 b26 b23", {"21(26)30(23)20", "21(26)30(23)16"}},
    {"RussianPromotedManTakesAsKing",
     gtRussian,
     0,
     "w21 b26 b27",
     {"21(26)30(27)23", "21(26)30(27)20", "21(26)30(27)16"}},
    {"RussianSide1PromotesMidCapture", gtRussian, 1, "b12 w7 w10", {"12(7)3(10)13", "12(7)3(10)17"}},
    // Elsewhere it stays a man until the move ends: it stops on the far row only when no man capture
    // goes on, and otherwise passes it.
    {"BrazilianStopsOnLastRow", gtBrazilian, 0, "w21 b26 b23", {"21(26)30"}},
    {"BrazilianPassesLastRowAsMan", gtBrazilian, 0, "w21 b26 b27", {"21(26)30(27)23"}},
    {"PoolPassesLastRowAsMan", gtPool, 0, "w21 b26 b27", {"21(26)30(27)23"}},
    {"InternationalPassesLastRowAsMan", gtInternational, 0, "w36 b42 b43", {"36(42)47(43)38"}},
    // A three-piece capture beside a two-piece one.
    {"RussianListsEveryCaptureSize",
     gtRussian,
     0,
     "w1 b5 b13 b21 w4 b7 b15",
     {"1(5)10(13)17(21)26", "4(7)11(15)20"}},
    {"PoolListsEveryCaptureSize",
     gtPool,
     0,
     "w1 b5 b13 b21 w4 b7 b15",
     {"1(5)10(13)17(21)26", "4(7)11(15)20"}},
    {"EnglishListsEveryCaptureSize",
     gtEnglish,
     0,
     "w1 b5 b13 b21 w4 b7 b15",
     {"1(5)10(13)17(21)26", "4(7)11(15)20"}},
    {"BrazilianKeepsTheMajority", gtBrazilian, 0, "w1 b5 b13 b21 w4 b7 b15", {"1(5)10(13)17(21)26"}},
    {"InternationalKeepsTheMajority", gtInternational, 0, "w1 b6 b17 b28 w5 b9 b19", {"1(6)12(17)23(28)34"}},
    // Italian: a man never takes a king; among equal captures the king's wins, then the one that
    // takes more kings.
    {"ItalianManPassesOverNoKing", gtItalian, 0, "w14 B19 b18", {"14(18)21"}},
    {"EnglishManTakesKing", gtEnglish, 0, "w14 B19 b18", {"14(19)23", "14(18)21"}},
    {"ItalianManCannotTakeKingAtAll", gtItalian, 0, "w14 B19", {"14-18"}},
    {"ItalianKingBeforeMan", gtItalian, 0, "W1 b5 b13 w4 b7 b15", {"1(5)10(13)17"}},
    {"EnglishKingAndManAlike", gtEnglish, 0, "W1 b5 b13 w4 b7 b15", {"1(5)10(13)17", "4(7)11(15)20"}},
    {"ItalianMoreKingsTaken", gtItalian, 0, "W1 b5 b13 W4 b7 B15", {"4(7)11(15)20"}},
    {"ItalianMajorityBeforeKings", gtItalian, 0, "W1 b5 w4 b7 b15", {"4(7)11(15)20"}},
    // Czech: when a king can capture, only kings' captures count, however small.
    {"CzechKingFirst", gtCzech, 0, "w1 b5 b14 W24 b28", {"24(28)31"}},
    {"CzechMenWhenNoKingCaptures", gtCzech, 0, "w1 b5 b14", {"1(5)10(14)19"}},
    {"RussianKingAndMan", gtRussian, 0, "w1 b5 b14 W24 b28", {"1(5)10(14)19", "24(28)31"}},
    // Men capture backwards only where the variant allows it; one-step kings do everywhere.
    {"EnglishManNoBackwardCapture", gtEnglish, 0, "w14 b10 b11", {"14-18", "14-19"}},
    {"ItalianManNoBackwardCapture", gtItalian, 0, "w14 b10 b11", {"14-18", "14-19"}},
    {"CzechManNoBackwardCapture", gtCzech, 0, "w14 b10 b11", {"14-18", "14-19"}},
    {"RussianManBackwardCapture", gtRussian, 0, "w14 b10 b11", {"14(11)7", "14(10)5"}},
    {"EnglishKingBackwardCapture", gtEnglish, 0, "W14 b10 b11", {"14(11)7", "14(10)5"}},
    {"EnglishSide1ManForwardOnly", gtEnglish, 1, "b14 w18 w19", {"14-10", "14-11"}},
    // Flying kings: every empty square behind the taken piece, unless some of them go on capturing.
    {"InternationalKingLandings",
     gtInternational,
     0,
     "W1 b17",
     {"1(17)23", "1(17)28", "1(17)34", "1(17)39", "1(17)45", "1(17)50"}},
    {"RussianKingMustLandWhereItGoesOn", gtRussian, 0, "W1 b5 w23 b11", {"1(5)14(11)7", "1(5)14(11)4"}},
    {"CzechKingMustLandWhereItGoesOn", gtCzech, 0, "W1 b5 w23 b11", {"1(5)14(11)7", "1(5)14(11)4"}},
    // The taken piece on 10 stays until the move ends and blocks the way from 3 to the man on 13.
    {"TakenPieceBlocksTheRay", gtRussian, 0, "W1 b10 b15 b7 b13 w23", {"1(10)14(7)4", "1(10)19(15)12(7)3"}},
    // One-step kings cannot fly.
    {"EnglishKingOneStep", gtEnglish, 0, "W1 b10", {"1-5"}},
    {"ItalianKingOneStep", gtItalian, 0, "W1 b10", {"1-5"}},
    {"RussianKingFlies", gtRussian, 0, "W1 w14", {"1-5", "1-10", "14-18", "14-19"}},
    // A capture that ends on its own start square, both ways round.
    {"EnglishKingRoundTrip",
     gtEnglish,
     0,
     "W10 b13 b14 b21 b22",
     {"10(14)19(22)26(21)17(13)10", "10(13)17(21)26(22)19(14)10"}},
    // Two pieces on one diagonal: each square between them may be the first landing.
    {"RussianKingBetweenTwoPieces",
     gtRussian,
     0,
     "W1 b10 b28",
     {"1(10)14(28)32", "1(10)19(28)32", "1(10)23(28)32"}},
    // No pieces, or no room: no moves.
    {"NoPieces", gtRussian, 0, "b14", {}},
    {"Blocked", gtRussian, 0, "w1 b5 b10", {}},
};
} // namespace

TEST(MovegenRules, HandBuiltPositions) {
    for (const TCase& c : Cases) {
        SCOPED_TRACE(c.name);
        const TBoard board = BoardFromSquares(c.position);
        TMoveList list;
        FindMoves(board, c.side, list, c.variant);
        EXPECT_EQ(Texts(list), c.moves);
    }
}
