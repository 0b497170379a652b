#include "gamedb/name_list.h"

#include "platform/codepage.h"

std::string StorableName(std::string_view name) {
    std::string s(name.substr(0, MaxNameLength));
    for (char& c : s)
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    return s;
}

std::uint32_t TNameList::Find(std::string_view name) const {
    const auto it = m_index.find(Cp1251LowerString(name));
    return it == m_index.end() ? NoName : it->second;
}

void TNameList::Append(std::string name) {
    const std::size_t i = m_names.size();
    if (i < MaxNamesPerList) m_index.emplace(Cp1251LowerString(name), static_cast<std::uint32_t>(i));
    m_names.push_back(std::move(name));
}

void TNameList::Clear() {
    m_names.clear();
    m_index.clear();
}
