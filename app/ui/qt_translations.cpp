#include "app/ui/qt_translations.h"

#include "app/core/phrase_table.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
// The toolkit's catalogue of the language, parented to the application; null before the first
// language that has one.
QTranslator* g_translator = nullptr;

// The catalogue of each language; the Portuguese of the phrase table is Brazil's.
const char* CatalogueOf(int language) {
    switch (language) {
    case langRussian:
        return "qtbase_ru";
    case langPortuguese:
        return "qtbase_pt_BR";
    case langFrench:
        return "qtbase_fr";
    case langItalian:
        return "qtbase_it";
    default:
        return nullptr;
    }
}
} // namespace

bool LoadQtTranslations(int language) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    if (g_translator) {
        QCoreApplication::removeTranslator(g_translator);
        delete g_translator;
        g_translator = nullptr;
    }
    const char* catalogue = CatalogueOf(ValidLanguage(language));
    if (!catalogue) return true; // the toolkit speaks English by itself
    auto* t = new QTranslator(app);
    if (!t->load(catalogue, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    g_translator = t;
    return true;
}
