// Order of the generated captures where a capture branches into a direction that ends and one
// that goes on: the deeper sequences of every candidate come before the candidates of the same
// level that end there, even when the ending direction is tried first. Stored games and books
// refer to moves by their place in this list.
#include "movegen_test_util.h"

#include "rules/movegen.h"

#include <gtest/gtest.h>

using namespace movegen_test;

TEST(MovegenOrder, DeeperSequencesBeforeSameLevelEndings) {
    // The king on 10 takes 14 up-right (direction 1) and can only stop behind it; it takes 6
    // down-right (direction 2) and goes on from 3 over 7.
    const char* king = "W10 b14 b6 b7";
    // The man from 1 lands on 10 and branches the same way one level deeper.
    const char* man = "w1 b5 b14 b6 b7";
    const std::vector<std::string> kingAll = {"10(6)3(7)12", "10(6)3(7)16", "10(14)19",
                                              "10(14)23",    "10(14)28",    "10(14)32"};
    struct {
        TGameType variant;
        const char* position;
        std::vector<std::string> moves;
    } const cases[] = {
        {gtRussian, king, kingAll},
        {gtPool, king, kingAll},
        {gtCzech, king, kingAll},
        {gtBrazilian, king, {"10(6)3(7)12", "10(6)3(7)16"}},
        {gtEnglish, king, {"10(6)3(7)12", "10(14)19"}},
        {gtItalian, king, {"10(6)3(7)12"}},
        {gtRussian, man, {"1(5)10(6)3(7)12", "1(5)10(14)19"}},
        {gtPool, man, {"1(5)10(6)3(7)12", "1(5)10(14)19"}},
        {gtBrazilian, man, {"1(5)10(6)3(7)12"}},
        // Men that take forwards only never turn down to 3.
        {gtEnglish, man, {"1(5)10(14)19"}},
        {gtCzech, man, {"1(5)10(14)19"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.position << " variant " << int(c.variant));
        TMoveList list;
        FindMoves(BoardFromSquares(c.position), 0, list, c.variant);
        EXPECT_EQ(Texts(list), c.moves);
    }
}
