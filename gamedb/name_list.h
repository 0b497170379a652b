#pragma once
// One name list of a database (players, tournaments or sites): names in index order and a
// case-insensitive lookup over CP1251, so appending stays fast with tens of thousands of names.
// Not thread-safe: one list belongs to one open database.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

constexpr std::size_t MaxNameLength = 254;
// Name indices are stored as 16 bits.
constexpr std::size_t MaxNamesPerList = 65536;
constexpr std::uint32_t NoName = 0xFFFFFFFFu;

// A name as it may be stored: CR, LF and NUL become blanks (the file is one name a line),
// and it is cut to 254 characters.
std::string StorableName(std::string_view name);

class TNameList {
  public:
    std::size_t Size() const { return m_names.size(); }
    bool Empty() const { return m_names.empty(); }
    const std::string& operator[](std::size_t i) const { return m_names[i]; }
    const std::vector<std::string>& Names() const { return m_names; }

    // Index of the first name equal to `name` ignoring CP1251 letter case, or NoName.
    // `name` should already be storable.
    std::uint32_t Find(std::string_view name) const;
    // Appends as read from a file (no check of the 16-bit limit: such names are kept but
    // never found, since their index could not be stored).
    void Append(std::string name);
    bool Full() const { return m_names.size() >= MaxNamesPerList; }
    void Clear();

  private:
    std::vector<std::string> m_names;
    std::unordered_map<std::string, std::uint32_t> m_index; // folded name -> first index
};
