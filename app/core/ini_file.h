#pragma once
// The settings-file codec: a sectioned text file ("[Section]", then "Key=Value" lines).
// Section and key names compare without regard to letter case; values are kept as they stand
// (no escapes, no splitting at commas). A missing or unreadable file reads as empty, so every
// read returns its default; so does a name that is not a regular file (a FIFO, a folder, a
// device), which is also never written over. Single-threaded: the user-interface thread owns the
// one instance.

#include <optional>
#include <string>
#include <vector>

class TIniFile {
  public:
    TIniFile() = default;
    // Reads `path`; a missing or unreadable file leaves the object empty (not an error). A name
    // that is there but is no regular file is not read either (nothing waits on it) and is kept:
    // Refused() says why, and Save() leaves it alone.
    explicit TIniFile(std::string path);

    const std::string& Path() const { return m_path; }
    // Why the file was ignored, naming it: "... is not a regular file", or empty when it was read
    // or is missing.
    const std::string& Refused() const { return m_refused; }

    std::optional<std::string> Find(const std::string& section, const std::string& key) const;
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    // Decimal with an optional sign; anything else (or out of the 32-bit range) gives `def`.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    // Any non-zero integer reads as true.
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;

    // Values are single lines: line breaks are written as blanks.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // Writes the whole file through a temporary file in the same folder and a rename, so a
    // failure leaves the old file whole. Returns false (with `error` set) when that fails, and
    // without writing anything when the file was refused.
    bool Save(std::string* error = nullptr) const;

    // Parses text in the file's format; used by the constructor and by tests.
    void Parse(const std::string& text);
    std::string Serialize() const;

  private:
    struct Entry {
        std::string key, value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    Section* FindSection(const std::string& name);
    const Section* FindSection(const std::string& name) const;

    std::string m_path;
    std::string m_refused;
    std::vector<Section> m_sections;
};
