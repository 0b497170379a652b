#pragma once
// The user-interface phrases in five languages. Qt-free, constant, safe from any thread.
//
// Storage: the table is written in UTF-8 in the source, so the translations can be read and
// reviewed as text, and a widget takes it as Unicode directly: a phrase shown in a widget never
// passes through CP1251. Where a phrase becomes model or file text (a game's name, a side's name),
// PhraseTextCp1251 converts it through our own CP1251 table. Every Russian text, and the phrases
// that may enter models in every language, are representable in CP1251 (tested); accented Latin
// letters of the Portuguese, French and Italian texts are not, which is why the table is not kept
// in CP1251.

#include <array>
#include <string>
#include <string_view>

constexpr int kPhraseCount = 160;
constexpr int kPhraseColumns = 6; // English, Russian, Portuguese, French, Italian, empty
constexpr int kLanguageCount = 5;

enum TLanguage : int {
    langEnglish = 1,
    langRussian = 2,
    langPortuguese = 3,
    langFrench = 4,
    langItalian = 5,
};

// Phrase k in language L (1..5) is entry 6k + L - 1; column 6 and phrases 41, 52, 66, 67, 132-134,
// 158 and 159 are empty.
extern const std::array<std::string_view, kPhraseCount * kPhraseColumns> PhraseTable;

// A language outside 1..5 (an old or damaged settings file) is English.
int ValidLanguage(int language);

// UTF-8 text of phrase k; a phrase number outside 0..159 gives an empty text.
std::string_view PhraseText(int phrase, int language);
// The same as CP1251 bytes, for text that goes into models and files; a letter CP1251 lacks
// becomes its base letter.
std::string PhraseTextCp1251(int phrase, int language);
