#pragma once
// The log of an import: one line per game that could not be read whole (a move that matched no
// legal move, a damaged field, a game cut short) and the reasons an import stopped, written beside
// the target database as its base name + ".log". The log describes the last import into that
// database: Write replaces an older log, and removes it when this import had nothing to report.
// Lines are CP1251 text. One log belongs to one import on one thread.

#include <cstddef>
#include <string>
#include <vector>

class TImportLog {
  public:
    // `databaseFileName`: any of the target database's file names (the extension is replaced).
    explicit TImportLog(const std::string& databaseFileName);

    // The log file's path.
    const std::string& Path() const { return m_path; }
    // The first line of a written log: what was imported from where.
    void SetTitle(std::string title) { m_title = std::move(title); }
    // One entry; line breaks inside become blanks, so an entry stays one line.
    void Add(std::string entry);
    std::size_t EntryCount() const { return m_entries.size(); }
    const std::vector<std::string>& Entries() const { return m_entries; }

    // Writes the title and the entries through a temporary file; with no entry, removes a log
    // left by an earlier import. False when the file cannot be written or removed.
    bool Write() const;

  private:
    std::string m_path;
    std::string m_title;
    std::vector<std::string> m_entries;
};
