#include "app/core/language.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace {
const std::set<int> kUnused = {41, 52, 66, 67, 132, 133, 134, 158, 159};

// Restores English so the order of tests does not matter.
struct LanguageTest : testing::Test {
    void TearDown() override { SetCurrentLanguage(langEnglish); }
};
} // namespace

TEST(PhraseTable, TellingRows) {
    struct Row {
        int phrase, language;
        std::string_view text;
    };
    const Row rows[] = {
        {8, langEnglish, "American Pool"},
        {8, langPortuguese, "American Pool"},
        {8, langFrench, "Polonais"},
        {8, langItalian, "American Pool"},
        {26, langEnglish, "minutes"},
        {42, langEnglish, "minutes"},
        {26, langRussian, "минут"},
        {42, langRussian, "минуты"},
        {54, langRussian, "Чёрные выиграли!"},
        {55, langRussian, "Белые выиграли!"},
        {143, langEnglish, "Replace game No "},
        {144, langEnglish, " with the current one?"},
        {143, langPortuguese, "Replace game No "},
        {144, langPortuguese, " with the current one?"},
        {147, langEnglish, "Draw"},
        {147, langRussian, "Ничья"},
        {147, langPortuguese, "Draw"},
        {147, langFrench, "Draw"},
        {147, langItalian, "Draw"},
        {86, langEnglish, "Database not opened."},
        {140, langEnglish, "Short (cd4; 4-8)"},
        {141, langEnglish, "Full (c3-d4; 04-08)"},
        {0, langEnglish, "Game"},
        {157, langEnglish, "Select colors"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.phrase) + "/" + std::to_string(r.language));
        EXPECT_EQ(PhraseText(r.phrase, r.language), r.text);
        EXPECT_EQ(PhraseTable[6 * r.phrase + r.language - 1], r.text);
    }
}

TEST(PhraseTable, BlanksOfTheSplitQuestionAreKeptInEveryLanguage) {
    for (int l = 1; l <= kLanguageCount; ++l) {
        SCOPED_TRACE(l);
        const std::string_view before = PhraseText(143, l), after = PhraseText(144, l);
        ASSERT_FALSE(before.empty());
        ASSERT_FALSE(after.empty());
        EXPECT_EQ(before.back(), ' ');
        EXPECT_EQ(after.front(), ' ');
    }
}

TEST(PhraseTable, UsedPhrasesHaveEveryLanguageAndTheRestIsEmpty) {
    for (int k = 0; k < kPhraseCount; ++k) {
        SCOPED_TRACE(k);
        EXPECT_TRUE(PhraseTable[6 * k + 5].empty()); // the sixth column
        for (int l = 1; l <= kLanguageCount; ++l) {
            const std::string_view s = PhraseTable[6 * k + l - 1];
            EXPECT_EQ(s.empty(), kUnused.count(k) == 1) << "language " << l;
            // No accidental surrounding blanks except the two halves of the question.
            if (!s.empty() && k != 143 && k != 144) {
                EXPECT_NE(s.front(), ' ');
                EXPECT_NE(s.back(), ' ');
            }
        }
    }
}

TEST(PhraseTable, TranslationsDifferFromEnglishExceptWhereMeant) {
    // Texts a language writes like English on purpose; any other equal text is a forgotten row.
    const std::set<std::pair<int, int>> same = {
        {langPortuguese, 8},  {langPortuguese, 143}, {langPortuguese, 144}, {langPortuguese, 147},
        {langPortuguese, 72}, {langPortuguese, 138}, {langFrench, 147},     {langFrench, 26},
        {langFrench, 42},     {langFrench, 32},      {langFrench, 120},     {langFrench, 127},
        {langFrench, 138},    {langFrench, 139},     {langItalian, 8},      {langItalian, 147},
        {langItalian, 36},    {langItalian, 43},     {langItalian, 60},
    };
    for (int k = 0; k < kPhraseCount; ++k) {
        if (kUnused.count(k)) continue;
        for (int l = langRussian; l <= kLanguageCount; ++l) {
            SCOPED_TRACE(std::to_string(k) + "/" + std::to_string(l));
            EXPECT_EQ(PhraseText(k, l) == PhraseText(k, langEnglish), same.count({l, k}) == 1);
        }
    }
}

TEST(PhraseTable, RussianRoundTripsThroughCp1251) {
    for (int k = 0; k < kPhraseCount; ++k) {
        SCOPED_TRACE(k);
        bool ok = false;
        const std::string cp = Utf8ToCp1251(PhraseText(k, langRussian), &ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(Cp1251ToUtf8(cp), PhraseText(k, langRussian));
        EXPECT_EQ(PhraseTextCp1251(k, langRussian), cp);
    }
    EXPECT_EQ(PhraseTextCp1251(147, langRussian), "\xCD\xE8\xF7\xFC\xFF");
}

TEST(PhraseTable, PhrasesThatBecomeModelTextFitCp1251InEveryLanguage) {
    // Side names and the name of a new game are stored in games and databases.
    for (int k : {56, 57, 58})
        for (int l = 1; l <= kLanguageCount; ++l) {
            SCOPED_TRACE(std::to_string(k) + "/" + std::to_string(l));
            bool ok = false;
            Utf8ToCp1251(PhraseText(k, l), &ok);
            EXPECT_TRUE(ok);
        }
}

TEST(PhraseTable, APhraseTurnedToCp1251LosesNoLetterOutright) {
    // French 86 is "Aucune base de données ouverte.": its accent is beyond CP1251, its letter is not.
    EXPECT_EQ(PhraseTextCp1251(86, langFrench), "Aucune base de donnees ouverte.");
    for (int k = 0; k < kPhraseCount; ++k)
        for (int l = 1; l <= kLanguageCount; ++l) {
            SCOPED_TRACE(std::to_string(k) + "/" + std::to_string(l));
            const std::string_view utf8 = PhraseText(k, l);
            const std::string cp = PhraseTextCp1251(k, l);
            EXPECT_EQ(std::count(cp.begin(), cp.end(), '?'), std::count(utf8.begin(), utf8.end(), '?'));
        }
}

TEST(PhraseTable, OutOfRangeNumbersGiveEnglishOrNothing) {
    for (int l : {0, 6, 9, -1, 255}) {
        SCOPED_TRACE(l);
        EXPECT_EQ(ValidLanguage(l), langEnglish);
        EXPECT_EQ(PhraseText(0, l), "Game");
        EXPECT_EQ(PhraseText(159, l), ""); // the last phrase, not a read past the table
    }
    EXPECT_EQ(PhraseText(-1, langEnglish), "");
    EXPECT_EQ(PhraseText(160, langItalian), "");
    EXPECT_EQ(PhraseTextCp1251(1000, langRussian), "");
}

TEST_F(LanguageTest, CurrentLanguageFallsBackToEnglish) {
    EXPECT_EQ(SetCurrentLanguage(langFrench), langFrench);
    EXPECT_EQ(Phrase(8), "Polonais");
    for (int l : {0, 9}) {
        SetCurrentLanguage(langRussian);
        EXPECT_EQ(SetCurrentLanguage(l), langEnglish);
        EXPECT_EQ(CurrentLanguage(), langEnglish);
        EXPECT_EQ(Phrase(147), "Draw");
    }
    SetCurrentLanguage(langRussian);
    EXPECT_EQ(Phrase(26), "минут");
    EXPECT_EQ(PhraseCp1251(42), Utf8ToCp1251("минуты"));
}
