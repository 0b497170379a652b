#include "rules/notation.h"

#include <gtest/gtest.h>

namespace {
TMove Plain(int from, int to) {
    TMove m;
    m.from = static_cast<std::uint8_t>(from);
    m.squares[0] = static_cast<std::uint8_t>(to);
    return m;
}

TMove Capture(int from, std::initializer_list<std::pair<int, int>> pairs) {
    TMove m;
    m.from = static_cast<std::uint8_t>(from);
    int k = 0;
    for (auto [c, l] : pairs) {
        m.squares[2 * k] = static_cast<std::uint8_t>(c);
        m.squares[2 * k + 1] = static_cast<std::uint8_t>(l);
        ++k;
    }
    m.captures = static_cast<std::uint8_t>(k);
    return m;
}
} // namespace

TEST(Notation, SquareNames) {
    struct Row {
        int square;
        TGameType variant;
        bool full;
        const char* text;
    } rows[] = {
        {1, gtRussian, false, "a1"},       {1, gtRussian, true, "a1"},
        {5, gtBrazilian, false, "b2"},     {32, gtCzech, false, "h8"},
        {1, gtEnglish, false, "4"},        {1, gtEnglish, true, "04"},
        {32, gtEnglish, false, "29"},      {32, gtPool, false, "29"},
        {5, gtPool, false, "8"},           {1, gtItalian, false, "32"},
        {32, gtItalian, false, "1"},       {32, gtItalian, true, "01"},
        {1, gtInternational, false, "46"}, {50, gtInternational, false, "5"},
        {50, gtInternational, true, "05"}, {6, gtInternational, false, "41"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.square << " in variant " << int(r.variant));
        EXPECT_EQ(SquareToText(r.square, r.variant, r.full), r.text);
    }
}

TEST(Notation, MoveTexts) {
    // c3 is internal 10 on 8x8 (row 2, column 2); d4 is 14; e5 is 19; c7 is 26.
    const TMove plain = Plain(10, 14);
    const TMove jump = Capture(10, {{14, 19}});
    const TMove jump2 = Capture(10, {{14, 19}, {23, 26}});
    struct Row {
        const TMove* move;
        TGameType variant;
        bool full;
        const char* sep;
        const char* text;
        const char* fullText;
    } rows[] = {
        {&plain, gtRussian, true, ":", "c3-d4", "c3-d4"},
        {&plain, gtRussian, false, ":", "cd4", "cd4"},
        {&jump, gtRussian, true, ":", "c3:e5", "c3:e5"},
        {&jump, gtCzech, false, ":", "c:e5", "c3:e5"},
        {&jump, gtBrazilian, false, "x", "cxe5", "c3xe5"},
        {&jump2, gtRussian, true, ":", "c3:c7", "c3:e5:c7"},
        {&jump2, gtRussian, false, "x", "cxc7", "c3xe5xc7"},
        {&plain, gtEnglish, false, "x", "11-15", "11-15"},
        {&plain, gtItalian, true, "x", "23-19", "23-19"},
        {&jump2, gtEnglish, false, "x", "11x27", "11x18x27"},
        {&jump2, gtPool, false, ":", "11:27", "11:18:27"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "variant " << int(r.variant) << " " << r.text);
        EXPECT_EQ(MoveToText(*r.move, r.variant, r.full, r.sep), r.text);
        EXPECT_EQ(MoveToFullText(*r.move, r.variant, r.full, r.sep), r.fullText);
    }
    // Leading zeros in the full form of the numbering variants.
    const TMove low = Plain(1, 6); // English 4-7
    EXPECT_EQ(MoveToText(low, gtEnglish, false, "x"), "4-7");
    EXPECT_EQ(MoveToText(low, gtEnglish, true, "x"), "04-07");
    EXPECT_EQ(MoveToFullText(Capture(1, {{6, 10}}), gtEnglish, true, "x"), "04x11");
    // International reverses the rows: internal 16 is 31, internal 21 is 26.
    EXPECT_EQ(MoveToText(Plain(16, 21), gtInternational, false, "-"), "31-26");
}

TEST(Notation, CaptureTextListsCapturedSquares) {
    const TMove jump = Capture(22, {{18, 15}}); // internal 22 = 23, 18 = 19, 15 = 14
    EXPECT_EQ(MoveToCaptureText(jump, gtEnglish), "23x14x19");
    EXPECT_EQ(MoveToCaptureText(Plain(1, 6), gtEnglish), "04-07") << "plain moves use the full form";
    EXPECT_EQ(MoveToCaptureText(Capture(1, {{6, 10}, {15, 19}}), gtEnglish), "4x18x7x14");
    EXPECT_EQ(MoveToCaptureText(Capture(10, {{14, 19}}), gtRussian), "c3xe5xd4");
}
