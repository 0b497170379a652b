#include "app/core/ini_file.h"

#include "platform/atomic_file.h"
#include "platform/file_io.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <sys/stat.h>

namespace {
bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = x - 'A' + 'a';
        if (y >= 'A' && y <= 'Z') y = y - 'A' + 'a';
        if (x != y) return false;
    }
    return true;
}

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r'))
        --e;
    return s.substr(b, e - b);
}

std::string OneLine(std::string s) {
    for (char& c : s)
        if (c == '\n' || c == '\r') c = ' ';
    return s;
}
} // namespace

TIniFile::TIniFile(std::string path) : m_path(std::move(path)) {
    std::string text;
    // A settings file is small; anything this large is not one.
    if (ReadWholeFile(m_path, text, 16 << 20)) {
        Parse(text);
        return;
    }
    // There but not a file (a FIFO, a folder, a device): the user's, not ours to replace.
    struct stat st {};
    if (::stat(m_path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        m_refused = m_path + " is not a regular file: the settings file is ignored";
}

void TIniFile::Parse(const std::string& text) {
    m_sections.clear();
    Section* current = nullptr;
    // A line ends at LF, CR LF or a lone CR: the writer turns both into blanks inside a value, so
    // no value read here can hold one either and every value read is written back as it was.
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string t = Trim(text.substr(start, end - start));
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        if (t.front() == '[') {
            const std::size_t close = t.find(']');
            const std::string name =
                Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            current = FindSection(name);
            if (!current) {
                m_sections.push_back({name, {}});
                current = &m_sections.back();
            }
            continue;
        }
        const std::size_t eq = t.find('=');
        if (!current || eq == std::string::npos)
            continue; // lines outside a section or without "=" carry nothing
        const std::string key = Trim(t.substr(0, eq));
        if (key.empty()) continue;
        const std::string value = Trim(t.substr(eq + 1));
        bool found = false;
        for (Entry& e : current->entries)
            if (SameName(e.key, key)) {
                found = true; // the first occurrence wins, as the profile functions read it
                break;
            }
        if (!found) current->entries.push_back({key, value});
    }
}

TIniFile::Section* TIniFile::FindSection(const std::string& name) {
    for (Section& s : m_sections)
        if (SameName(s.name, name)) return &s;
    return nullptr;
}

const TIniFile::Section* TIniFile::FindSection(const std::string& name) const {
    for (const Section& s : m_sections)
        if (SameName(s.name, name)) return &s;
    return nullptr;
}

std::optional<std::string> TIniFile::Find(const std::string& section, const std::string& key) const {
    const Section* s = FindSection(section);
    if (!s) return std::nullopt;
    for (const Entry& e : s->entries)
        if (SameName(e.key, key)) return e.value;
    return std::nullopt;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const {
    return Find(section, key).value_or(def);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    const auto v = Find(section, key);
    if (!v || v->empty()) return def;
    const char* begin = v->c_str();
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(begin, &end, 10);
    if (end == begin || *end != '\0' || errno == ERANGE || n < INT_MIN || n > INT_MAX) return def;
    // strtol also skips leading blanks; Trim already removed them, so "  5" cannot reach here
    return static_cast<int>(n);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    Section* s = FindSection(section);
    if (!s) {
        m_sections.push_back({section, {}});
        s = &m_sections.back();
    }
    const std::string v = Trim(OneLine(value));
    for (Entry& e : s->entries)
        if (SameName(e.key, key)) {
            e.value = v;
            return;
        }
    s->entries.push_back({key, v});
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::string TIniFile::Serialize() const {
    std::string out;
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        if (i) out += "\n";
        out += "[" + m_sections[i].name + "]\n";
        for (const Entry& e : m_sections[i].entries)
            out += e.key + "=" + e.value + "\n";
    }
    return out;
}

bool TIniFile::Save(std::string* error) const {
    if (!m_refused.empty()) {
        if (error) *error = m_path + " is not a regular file: not written over";
        return false;
    }
    const TIoStatus s = AtomicWriteFile(m_path, Serialize());
    if (!s && error) *error = s.Message();
    return s.Ok();
}
