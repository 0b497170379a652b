#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>
#include <locale.h>
#include <optional>
#include <string>
#include <wctype.h>

namespace {

// A UTF-8 text, its CP1251 conversion, and whether that conversion is exact.
struct TUtf8Row {
    const char* name;
    std::string utf8;
    std::string cp1251;
    bool exact;
};

// The C library's converter, our independent reference. nullopt when it rejects the input, or
// (when `strict`) substitutes anything.
std::optional<std::string> Iconv(const char* from, const char* to, const std::string& in,
                                 bool strict = true) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "iconv cannot convert " << from << " to " << to;
        return std::nullopt;
    }
    std::string src = in;
    std::string out(in.size() * 8 + 16, '\0');
    char* inp = src.data();
    std::size_t inLeft = src.size();
    char* outp = out.data();
    std::size_t outLeft = out.size();
    const std::size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
    // Counted irreversible conversions mean iconv substituted something: treat as "not representable".
    if (strict && r != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::optional<char32_t> IconvToCodePoint(const char* from, unsigned char byte) {
    const auto utf32 = Iconv(from, "UTF-32LE", std::string(1, static_cast<char>(byte)));
    if (!utf32 || utf32->size() != 4) return std::nullopt;
    const auto* p = reinterpret_cast<const unsigned char*>(utf32->data());
    return char32_t(p[0]) | char32_t(p[1]) << 8 | char32_t(p[2]) << 16 | char32_t(p[3]) << 24;
}

std::optional<unsigned char> IconvCodePointToCp1251(char32_t u) {
    std::string utf32(4, '\0');
    for (int k = 0; k < 4; ++k)
        utf32[k] = static_cast<char>((u >> (8 * k)) & 0xFF);
    const auto b = Iconv("UTF-32LE", "CP1251", utf32);
    if (!b || b->size() != 1) return std::nullopt;
    return static_cast<unsigned char>((*b)[0]);
}

std::string Byte(int b) {
    return std::string(1, static_cast<char>(b));
}

} // namespace

TEST(CodePage, Cp1251ToUnicodeMatchesIconvForEveryByte) {
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const auto ref = IconvToCodePoint("CP1251", static_cast<unsigned char>(b));
        // iconv leaves the one unassigned byte undefined; we show it as the replacement character.
        const char32_t expected = ref ? *ref : char32_t(0xFFFD);
        if (!ref) {
            EXPECT_EQ(b, 0x98);
        }
        EXPECT_EQ(Cp1251ToUnicode(static_cast<unsigned char>(b)), expected);
        const auto utf8 = Iconv("CP1251", "UTF-8", Byte(b));
        EXPECT_EQ(Cp1251ToUtf8(Byte(b)), utf8 ? *utf8 : std::string("\xEF\xBF\xBD"));
    }
}

TEST(CodePage, Utf8RoundTripsEveryAssignedByte) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != 0x98) all += static_cast<char>(b);
    const std::string utf8 = Cp1251ToUtf8(all);
    EXPECT_EQ(Iconv("CP1251", "UTF-8", all), utf8);
    bool ok = false;
    EXPECT_EQ(Utf8ToCp1251(utf8, &ok), all);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Iconv("UTF-8", "CP1251", utf8), all);
}

TEST(CodePage, Utf8ToCp1251MarksWhatItCannotConvert) {
    const TUtf8Row rows[] = {
        {"empty", "", "", true},
        {"russian", "Шашки ёЁ", "\xD8\xE0\xF8\xEA\xE8 \xB8\xA8", true},
        {"euro and numero", "€№", "\x88\xB9", true},
        {"cjk", "a中b", "a?b", false},
        {"replacement char is not byte 0x98", "\xEF\xBF\xBD", "?", false},
        {"overlong slash", "\xC0\xAF", "??", false},
        {"surrogate", "\xED\xA0\x80", "???", false},
        {"truncated at end", "x\xE2\x82", "x??", false},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "????", false},
        {"stray continuation", "\x80z", "?z", false},
        {"four-byte emoji", "\xF0\x9F\x98\x80!", "?!", false},
    };
    for (const TUtf8Row& r : rows) {
        SCOPED_TRACE(r.name);
        bool ok = !r.exact;
        EXPECT_EQ(Utf8ToCp1251(r.utf8, &ok), r.cp1251);
        EXPECT_EQ(ok, r.exact);
        EXPECT_EQ(Utf8ToCp1251(r.utf8), r.cp1251); // ok is optional
        EXPECT_EQ(IsWellFormedUtf8(r.utf8), Iconv("UTF-8", "UTF-32LE", r.utf8).has_value());
    }
}

TEST(CodePage, CaseFoldingMatchesTheCLibraryForEveryByte) {
    locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    ASSERT_NE(loc, static_cast<locale_t>(0));
    int folded = 0;
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const auto c = static_cast<unsigned char>(b);
        const auto u = IconvToCodePoint("CP1251", c);
        if (!u) {
            EXPECT_EQ(Cp1251Lower(c), c);
            EXPECT_EQ(Cp1251Upper(c), c);
            continue;
        }
        // A partner outside CP1251 (such as the capital of the micro sign) leaves the byte unchanged.
        const auto lower = IconvCodePointToCp1251(static_cast<char32_t>(towlower_l(*u, loc)));
        const auto upper = IconvCodePointToCp1251(static_cast<char32_t>(towupper_l(*u, loc)));
        EXPECT_EQ(Cp1251Lower(c), lower.value_or(c));
        EXPECT_EQ(Cp1251Upper(c), upper.value_or(c));
        if (Cp1251Lower(c) != c) ++folded;
    }
    freelocale(loc);
    // 26 Latin, 32 Russian and 15 capitals of the 0x80..0xBF rows.
    EXPECT_EQ(folded, 26 + 32 + 15);
}

TEST(CodePage, CompareNoCaseFoldsLatinAndCyrillic) {
    struct Row {
        std::string a, b;
        int sign;
    };
    const Row rows[] = {
        {"", "", 0},
        {"Petrov", "PETROV", 0},
        {Utf8ToCp1251("Пётр Ёлкин"), Utf8ToCp1251("пЁТР ёЛКИН"), 0},
        {"abc", "abd", -1},
        {"abc", "ab", 1},
        {"ab", "ABC", -1},
        {Utf8ToCp1251("Я"), Utf8ToCp1251("а"), 1},
        {"Z", "a", 1}, // folded, not raw byte order
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.a + " / " + r.b);
        const int c = Cp1251CompareNoCase(r.a, r.b);
        EXPECT_EQ((c > 0) - (c < 0), r.sign);
        const int d = Cp1251CompareNoCase(r.b, r.a);
        EXPECT_EQ((d > 0) - (d < 0), -r.sign);
    }
    EXPECT_EQ(Cp1251LowerString(Utf8ToCp1251("ШАШКИ Draughts Ё")), Utf8ToCp1251("шашки draughts ё"));
}

namespace {

// UTF-8 of one code point.
std::string Utf8Of(char32_t u) {
    std::string s;
    if (u < 0x80) {
        s += static_cast<char>(u);
    } else if (u < 0x800) {
        s += static_cast<char>(0xC0 | (u >> 6));
        s += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (u >> 12));
        s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (u & 0x3F));
    }
    return s;
}

} // namespace

// Every character of Latin-1 and Latin Extended-A against the C library's transliteration.
TEST(CodePageBestFit, MatchesIconvTranslitOverLatin1AndExtendedA) {
    const char* const old = setlocale(LC_CTYPE, nullptr);
    const std::string saved = old ? old : "C";
    if (!setlocale(LC_CTYPE, "C.UTF-8")) GTEST_SKIP() << "no C.UTF-8 locale for iconv's tables";
    for (char32_t u = 0x20; u <= 0x17F; ++u) {
        if (u >= 0x7F && u < 0xA0) continue; // control characters
        SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<unsigned>(u));
        // Its transliteration tables come with the C.UTF-8 locale.
        const auto ref = Iconv("UTF-8", "CP1251//TRANSLIT", Utf8Of(u), false);
        ASSERT_TRUE(ref.has_value());
        bool exact = false;
        const std::string ours = Utf8ToCp1251BestFit(Utf8Of(u), &exact);
        EXPECT_EQ(ours, *ref);
        // Only a sign with no plain spelling becomes '?'.
        const bool noFit = u == 0xA8 || u == 0xAF || u == 0xBF || u == U'?';
        EXPECT_EQ(ours == "?", noFit);
        bool plain = false;
        Utf8ToCp1251(Utf8Of(u), &plain);
        EXPECT_EQ(exact, plain);
    }
    setlocale(LC_CTYPE, saved.c_str());
}

TEST(CodePageBestFit, KeepsWhatCp1251HasAndSpellsTheRestPlainly) {
    const TUtf8Row rows[] = {
        {"french", "très élevé", "tres eleve", false},
        {"spanish", "niño", "nino", false},
        {"german", "Straße Öl", "Strasse Ol", false},
        {"polish", "Łódź", "Lodz", false},
        {"ligature", "cœur Æsop", "coeur AEsop", false},
        {"decomposed e + acute", "e\xCC\x81t\xC3\xA9", "ete", false},
        {"cyrillic stays", "Ёлкина ход", "\xA8\xEB\xEA\xE8\xED\xE0 \xF5\xEE\xE4", true},
        {"cp1251 quotes and dashes stay", "«x» “y” – —", "\xABx\xBB \x93y\x94 \x96 \x97", true},
        {"typographic forms cp1251 lacks", "‐‑‒―−′″‟‛", "-----'\"\"'", false},
        {"no plain form", "a中b", "a?b", false},
        {"ill-formed", "x\xC0\xAFy", "x??y", false},
        {"empty", "", "", true},
    };
    for (const TUtf8Row& r : rows) {
        SCOPED_TRACE(r.name);
        bool exact = !r.exact, wellFormed = false;
        EXPECT_EQ(Utf8ToCp1251BestFit(r.utf8, &exact, &wellFormed), r.cp1251);
        EXPECT_EQ(exact, r.exact);
        EXPECT_EQ(wellFormed, IsWellFormedUtf8(r.utf8));
    }
}
