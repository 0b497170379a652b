// DOS Cyrillic detection and conversion; the conversion is checked byte for byte against the C
// library's own CP866 and CP1251 converters (iconv).

#include "gamedb/dos_cyrillic.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

namespace {

// The CP1251 byte of one CP866 byte as iconv converts it, or '?' where CP1251 has no such character.
char IconvCp866ToCp1251(unsigned char c) {
    iconv_t cd = iconv_open("CP1251", "CP866");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "iconv has no CP866 to CP1251 converter";
        return 0;
    }
    char in[1] = {static_cast<char>(c)}, out[8] = {};
    char* ip = in;
    char* op = out;
    std::size_t il = 1, ol = sizeof out;
    const std::size_t n = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    return n == static_cast<std::size_t>(-1) || op - out != 1 ? '?' : out[0];
}

// The conversion rule for Cyrillic letters: 128..175 + 64, 224..239 + 16, 240 -> 168, 241 -> 184.
int LetterRule(int c) {
    if (c >= 128 && c <= 175) return c + 64;
    if (c >= 224 && c <= 239) return c + 16;
    if (c == 240) return 168;
    if (c == 241) return 184;
    return -1;
}

TEST(DosToWinCyrillic, EveryByteAsIconvConvertsIt) {
    int letters = 0;
    for (int c = 0; c < 256; ++c) {
        SCOPED_TRACE(c);
        // Forty CP866 letters and then the byte, so the text counts as CP866 whatever the byte is.
        std::string text(40, '\xA0');
        text += static_cast<char>(c);
        ASSERT_TRUE(IsDosCyrillic(text));
        DosToWinCyrillic(text);
        ASSERT_EQ(text.size(), 41u);
        EXPECT_EQ(text.back(), IconvCp866ToCp1251(static_cast<unsigned char>(c)));
        if (LetterRule(c) >= 0) {
            EXPECT_EQ(static_cast<unsigned char>(text.back()), LetterRule(c));
            ++letters;
        }
    }
    EXPECT_EQ(letters, 66);
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
