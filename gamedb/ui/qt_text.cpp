#include "gamedb/ui/qt_text.h"

#include "platform/codepage.h"

#include <algorithm>
#include <vector>

QString FromCp1251(const std::string& text) {
    return QString::fromStdString(Cp1251ToUtf8(text));
}

std::string ToCp1251(const QString& text) {
    return Utf8ToCp1251BestFit(text.toStdString());
}

QStringList SortedNames(const TNameList& list) {
    std::vector<const std::string*> names;
    names.reserve(list.Size());
    for (const std::string& n : list.Names())
        names.push_back(&n);
    std::stable_sort(names.begin(), names.end(), [](const std::string* a, const std::string* b) {
        return Cp1251CompareNoCase(*a, *b) < 0;
    });
    QStringList out;
    out.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string* n : names)
        out << FromCp1251(*n);
    return out;
}
