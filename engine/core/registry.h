#pragma once
// The engine's persistent settings: a small text file of named values, one a line, "Name=dword:N"
// or "Name=sz:text". Every access opens and closes the file; a write rewrites it whole (other
// lines kept) through a temporary file, under an exclusive lock so that two processes never lose
// each other's values. An empty path means no store: reads fail and writes do nothing.

#include "rules.h"

#include <string>

namespace marrak::inline MARRAK_RULES_NS {

class registry_store {
  public:
    registry_store() = default;
    explicit registry_store(std::string path) : m_path(std::move(path)) {}

    // ${XDG_CONFIG_HOME:-$HOME/.config}/Fenwold/<key>.reg; empty when neither variable is set.
    static std::string default_path(const char* key);

    const std::string& path() const { return m_path; }
    void set_path(std::string path) { m_path = std::move(path); }

    // False when the file, the value or its kind is missing, or the stored text is not a whole
    // number within int (dword) or longer than `max_length` (sz): the caller keeps its default.
    bool read_dword(const char* name, int& value) const;
    bool read_string(const char* name, std::string& text, std::size_t max_length) const;
    // False when the file cannot be rewritten; the old file stays.
    bool write_dword(const char* name, int value) const;
    bool write_string(const char* name, const std::string& text) const;

  private:
    bool read_raw(const char* name, std::string& kind_and_value) const;
    bool write_raw(const char* name, const std::string& kind_and_value) const;

    std::string m_path;
};

// A signed decimal number, wholly, within int.
bool parse_int(const std::string& text, int& value);

} // namespace marrak::inline MARRAK_RULES_NS
