#include "registry.h"

#include "platform/atomic_file.h"
#include "platform/file_io.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <strings.h>
#include <sys/file.h>
#include <unistd.h>

namespace marrak::inline MARRAK_RULES_NS {

namespace {

// A store larger than this is not ours.
constexpr std::size_t max_file_size = 1 << 20;

// The value part of the line for `name`, or npos.
std::size_t find_value(const std::string& content, const char* name, std::size_t& line_end) {
    const std::size_t name_length = std::strlen(name);
    std::size_t at = 0;
    while (at < content.size()) {
        std::size_t end = content.find('\n', at);
        if (end == std::string::npos) end = content.size();
        if (end - at > name_length && content[at + name_length] == '=' &&
            strncasecmp(content.data() + at, name, name_length) == 0) {
            line_end = end;
            return at;
        }
        at = end + 1;
    }
    return std::string::npos;
}

// Holds an exclusive lock on the store's lock file while it lives.
class store_lock {
  public:
    explicit store_lock(const std::string& path) {
        m_fd = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (m_fd < 0) return;
        while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~store_lock() {
        if (m_fd >= 0) ::close(m_fd); // closing releases the lock
    }
    store_lock(const store_lock&) = delete;
    store_lock& operator=(const store_lock&) = delete;
    bool held() const { return m_fd >= 0; }

  private:
    int m_fd = -1;
};

} // namespace

bool parse_int(const std::string& text, int& value) {
    if (text.empty() || text.size() > 12) return false;
    std::size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
    if (i == text.size()) return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
    }
    if (text[0] == '-') v = -v;
    if (v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

std::string registry_store::default_path(const char* key) {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.config";
    else
        return {};
    return base + "/Fenwold/" + key + ".reg";
}

bool registry_store::read_raw(const char* name, std::string& kind_and_value) const {
    if (m_path.empty()) return false;
    std::string content;
    if (!ReadWholeFile(m_path, content, max_file_size)) return false;
    std::size_t end = 0;
    const std::size_t at = find_value(content, name, end);
    if (at == std::string::npos) return false;
    const std::size_t value_at = at + std::strlen(name) + 1;
    kind_and_value = content.substr(value_at, end - value_at);
    return true;
}

bool registry_store::read_dword(const char* name, int& value) const {
    std::string raw;
    if (!read_raw(name, raw) || raw.rfind("dword:", 0) != 0) return false;
    return parse_int(raw.substr(6), value);
}

bool registry_store::read_string(const char* name, std::string& text, std::size_t max_length) const {
    std::string raw;
    if (!read_raw(name, raw) || raw.rfind("sz:", 0) != 0 || raw.size() - 3 > max_length) return false;
    text = raw.substr(3);
    return true;
}

bool registry_store::write_raw(const char* name, const std::string& kind_and_value) const {
    if (m_path.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), ec);
    store_lock lock(m_path);
    if (!lock.held()) return false;
    std::string content;
    if (RegularFileExists(m_path) && !ReadWholeFile(m_path, content, max_file_size)) return false;
    if (!content.empty() && content.back() != '\n') content += '\n';
    const std::string line = std::string(name) + "=" + kind_and_value;
    std::size_t end = 0;
    const std::size_t at = find_value(content, name, end);
    if (at == std::string::npos)
        content += line + "\n";
    else
        content.replace(at, end - at, line);
    return AtomicWriteFile(m_path, content).Ok();
}

bool registry_store::write_dword(const char* name, int value) const {
    return write_raw(name, "dword:" + std::to_string(value));
}

bool registry_store::write_string(const char* name, const std::string& text) const {
    // A line break would split the value's line.
    if (text.find_first_of("\r\n") != std::string::npos) return false;
    return write_raw(name, "sz:" + text);
}

} // namespace marrak::inline MARRAK_RULES_NS
