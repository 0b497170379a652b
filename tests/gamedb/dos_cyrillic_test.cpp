// DOS Cyrillic detection and conversion: the conversion's byte table, the names it serves.

#include "gamedb/dos_cyrillic.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Byte by byte: the CP866 letters move to their CP1251 places and every other byte stays, so box
// drawing (176..223) and the last row (242..255) keep their bytes.
TEST(DosToWinCyrillic, EveryByteByTheTable) {
    const struct {
        int first, last, firstBecomes;
    } table[] = {
        {0, 127, 0},     {128, 159, 192}, {160, 175, 224}, {176, 223, 176},
        {224, 239, 240}, {240, 240, 168}, {241, 241, 184}, {242, 255, 242},
    };
    int covered = 0;
    for (const auto& row : table) {
        for (int c = row.first; c <= row.last; ++c) {
            SCOPED_TRACE(c);
            // Forty CP866 letters and then the byte, so the text counts as CP866 whatever the byte is.
            std::string text(40, '\xA0');
            text += static_cast<char>(c);
            ASSERT_TRUE(IsDosCyrillic(text));
            DosToWinCyrillic(text);
            EXPECT_EQ(text, std::string(40, '\xE0') + static_cast<char>(row.firstBecomes + c - row.first));
            ++covered;
        }
    }
    EXPECT_EQ(covered, 256);
}

// A CP1251 second name part inside a CP866 name: its letters outside the CP866 ranges stay ("Я"
// 223), those inside move as CP866 letters do (237 becomes 253).
TEST(DosToWinCyrillic, AMixedNameKeepsTheBytesOutsideTheRanges) {
    // "Александров" in CP866, then ", " and "Ян" in CP1251.
    std::string name = "\x80\xAB\xA5\xAA\xE1\xA0\xAD\xA4\xE0\xAE\xA2, \xDF\xED";
    ASSERT_TRUE(IsDosCyrillic(name));
    DosToWinCyrillic(name);
    EXPECT_EQ(name, "\xC0\xEB\xE5\xEA\xF1\xE0\xED\xE4\xF0\xEE\xE2, \xDF\xFD");
}

TEST(DosToWinCyrillic, DetectionTable) {
    struct Row {
        const char* name;
        const char* text;
        bool dos;
    } rows[] = {
        {"CP866 name", "\x88\xA2\xA0\xAD\xAE\xA2", true},         // Иванов
        {"CP866 with ё", "\x8F\xF1\xE2\xE0", true},               // Пётр
        {"CP866 capitals", "\x91\x91\x91\x90", true},             // СССР
        {"CP1251 name", "\xC8\xE2\xE0\xED\xEE\xE2", false},       // Иванов
        {"CP1251 with Ё", "\xA8\xEB\xEA\xE8\xED", false},         // Ёлкин
        {"CP1251 lower case", "\xEF\xE5\xF2\xF0\xEE\xE2", false}, // петров
        {"Latin-1", "M\xFCller, Fran\xE7ois", false},
        {"Latin-1 accents", "J\xF8rgensen \xC5se", false},
        {"ASCII", "Smith, John", false},
        {"empty", "", false},
        {"equal counts", "\xE0", false}, // 224 counts for both
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(IsDosCyrillic(r.text), r.dos);
        std::string s = r.text;
        DosToWinCyrillic(s);
        if (!r.dos) {
            EXPECT_EQ(s, r.text); // already CP1251, Latin or ASCII: left as it is
        }
    }
    std::string name = "\x88\xA2\xA0\xAD\xAE\xA2, \x8F\xF1\xE2\xE0";
    DosToWinCyrillic(name);
    EXPECT_EQ(name, "\xC8\xE2\xE0\xED\xEE\xE2, \xCF\xB8\xF2\xF0");
}

TEST(DosToWinCyrillic, DetectionCountsTheFirst255BytesOnly) {
    std::string text(255, 'a');
    text += std::string(10, '\x80');
    EXPECT_FALSE(IsDosCyrillic(text));
    text[0] = '\x80';
    EXPECT_TRUE(IsDosCyrillic(text));
    DosToWinCyrillic(text);
    EXPECT_EQ(text.substr(255), std::string(10, '\xC0')); // the whole text is converted
}

} // namespace
