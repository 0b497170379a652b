// The texts of the English search: its numbering (square n is bit n - 1) and its board.

#include "search_fixture.h"

using namespace search_test;
using engine_test::diagram;
namespace text = marrak::text;

TEST(EnglishSearchText, MoveTextsInTheEnglishNumbering) {
    const auto before = diagram(
        {"........", "........", "........", "....w...", "...b....", "......b.", "........", "........"});
    EXPECT_EQ(text::move_to_text(before, diagram({"........", "........", "........", "....w...", "...b.b..",
                                                  "........", "........", "........"})),
              "9-14");
    EXPECT_EQ(text::move_to_text(before, diagram({"........", "........", "........", "........", "........",
                                                  "..w...b.", "........", "........"})),
              "18-11");
}

TEST(EnglishSearchText, BoardInTheEnglishLog) {
    const engine_position p{{1u << 0, 1u << 31}, 1u << 0};
    EXPECT_EQ(text::board_diagram(p), "\n\n"
                                      " w - - - \n"
                                      "- - - - \n"
                                      " - - - - \n"
                                      "- - - - \n"
                                      " - - - - \n"
                                      "- - - - \n"
                                      " - - - - \n"
                                      "- - - B \n");
}

TEST(EnglishSearchText, OpeningLineReadsInEnglishSquares) {
    fixture f;
    engine_position chosen;
    marrak::search::driver_result r;
    f.choose(start_position, 0, 5, chosen, r);
    // A first move from squares 9-12 to squares 13-16.
    const std::string move = text::move_to_text(start_position, chosen);
    const int from = std::stoi(move), to = std::stoi(move.substr(move.find('-') + 1));
    EXPECT_GE(from, 9);
    EXPECT_LE(from, 12);
    EXPECT_GE(to, 13);
    EXPECT_LE(to, 16);
}
