#include "rules/file_names.h"

namespace {
bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}
} // namespace

std::string StripExtension(const std::string& name) {
    for (std::size_t i = name.size(); i > 0; --i) {
        const char c = name[i - 1];
        if (IsSeparator(c)) break;
        if (c == '.') return name.substr(0, i - 1);
    }
    return name;
}

std::string ExtractDirectory(const std::string& path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsSeparator(path[i - 1])) return path.substr(0, i);
    }
    return {};
}
