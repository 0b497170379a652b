#pragma once
// The process-wide user-interface language and phrase lookup in it. Qt-free.
// CurrentLanguage may be read from any thread (the analysis thread posts phrase texts);
// SetCurrentLanguage is called by the user-interface thread.

#include "app/core/phrase_table.h"

#include <string>
#include <string_view>

// 1 English, 2 Russian, 3 Portuguese, 4 French, 5 Italian. Saved as the settings key "Language".
int CurrentLanguage();
// Stores the language, a value outside 1..5 as English; returns what was stored.
int SetCurrentLanguage(int language);

// Phrase k in the current language: UTF-8 for widgets, CP1251 for models and files.
std::string_view Phrase(int phrase);
std::string PhraseCp1251(int phrase);
