#include "gamedb/import_log.h"

#include "platform/atomic_file.h"
#include "rules/file_names.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

TImportLog::TImportLog(const std::string& databaseFileName)
    : m_path(StripExtension(databaseFileName) + ".log") {}

void TImportLog::Add(std::string entry) {
    std::replace_if(
        entry.begin(), entry.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    m_entries.push_back(std::move(entry));
}

bool TImportLog::Write() const {
    if (m_entries.empty()) return std::remove(m_path.c_str()) == 0 || errno == ENOENT;
    std::string text;
    if (!m_title.empty()) text += m_title + '\n';
    for (const std::string& e : m_entries)
        text += e + '\n';
    return AtomicWriteFile(m_path, text).Ok();
}
