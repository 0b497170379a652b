#include "app/core/language.h"

#include <atomic>

namespace {
std::atomic<int> g_language{langEnglish};
}

int CurrentLanguage() {
    return g_language.load(std::memory_order_relaxed);
}

int SetCurrentLanguage(int language) {
    const int valid = ValidLanguage(language);
    g_language.store(valid, std::memory_order_relaxed);
    return valid;
}

std::string_view Phrase(int phrase) {
    return PhraseText(phrase, CurrentLanguage());
}

std::string PhraseCp1251(int phrase) {
    return PhraseTextCp1251(phrase, CurrentLanguage());
}
