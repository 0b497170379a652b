#pragma once
// CP1251 text at the database forms' widgets: the conversions both ways and a name list as the
// sorted items of a combo box. Interface thread.

#include "gamedb/name_list.h"

#include <QString>
#include <QStringList>

#include <string>

QString FromCp1251(const std::string& text);
// Letters CP1251 cannot hold become their best fit.
std::string ToCp1251(const QString& text);
// The names of a list sorted ignoring letter case (Latin and Cyrillic).
QStringList SortedNames(const TNameList& list);
