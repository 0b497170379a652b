#include "app/core/status_parsers.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace {
// The integer at the start of `s` (optional sign, decimal digits), clamped to the 16-bit range of
// the display; nothing when there is no digit.
std::optional<std::int16_t> LeadingInt(std::string_view s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    long long v = 0;
    const std::size_t first = i;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        v = std::min<long long>(v * 10 + (s[i] - '0'), 1000000);
    if (i == first) return std::nullopt;
    if (negative) v = -v;
    return static_cast<std::int16_t>(std::clamp<long long>(v, -32700, 32700));
}

void SetBounds(char mark, std::int16_t v, TEngineInfo& info) {
    info.Score = -32000;
    info.Bound = 32000;
    if (mark == '<')
        info.Bound = v;
    else if (mark == '=')
        info.Score = info.Bound = v;
    else if (mark == '>')
        info.Score = v;
}

// Drops `s` through the next "," and `extra` characters more; empty when there is no ",".
std::string_view DropThroughComma(std::string_view s, std::size_t extra) {
    const std::size_t c = s.find(',');
    if (c == std::string_view::npos) return {};
    const std::size_t from = std::min(s.size(), c + 1 + extra);
    return s.substr(from);
}

std::string UpToComma(std::string_view s) {
    return std::string(s.substr(0, s.find(',')));
}
} // namespace

std::string StatusLine(const TStatusText& text) {
    const auto end = std::find(text.begin(), text.begin() + 255, '\0');
    return std::string(text.begin(), end);
}

bool TSavedStatusText::Changed(const TStatusText& text) {
    if (text == m_saved) return false;
    m_saved = text;
    return true;
}

bool ParseMarrakStatus(std::string_view line, TGameType variant, int side, TEngineInfo& info) {
    if (!line.starts_with("value") || line.size() < 6) return false;
    const char mark = line[5];
    if (const auto v = LeadingInt(line.substr(6))) {
        SetBounds(mark, *v, info);
        if ((variant == gtItalian && side == 0) || (variant == gtEnglish && side == 1)) {
            const std::int16_t score = info.Score;
            info.Score = static_cast<std::int16_t>(-info.Bound);
            info.Bound = static_cast<std::int16_t>(-score);
        }
    }
    std::string_view rest = DropThroughComma(line, 2);
    // "depth " is six characters.
    info.Depth = rest.size() > 6 ? UpToComma(rest.substr(6)) : std::string();
    rest = DropThroughComma(rest, 2);
    info.Time = UpToComma(rest);
    rest = DropThroughComma(rest, 2);
    info.Speed = UpToComma(rest);
    rest = DropThroughComma(rest, 2);
    info.BestLine = std::string(rest);
    return true;
}

bool ParseTrevaloStatus(std::string_view line, TEngineInfo& info) {
    if (!line.starts_with("d")) return false;
    std::string s(line.substr(std::min<std::size_t>(6, line.size())));
    if (const std::size_t slash = s.find('/'); slash != std::string::npos) s[slash] = '-';
    info.Depth = s.substr(0, s.find('/'));

    const std::string_view all(line);
    if (const std::size_t t = all.find("time"); t != std::string_view::npos) {
        const std::string_view from = all.substr(std::min(all.size(), t + 5));
        info.Time = std::string(from.substr(0, from.find('s')));
    }
    if (const std::size_t v = all.find("value"); v != std::string_view::npos && v + 5 < all.size()) {
        const char mark = all[v + 5];
        const std::string_view number = all.substr(v + 6);
        if (const auto value = LeadingInt(number.substr(0, number.find(' ')))) SetBounds(mark, *value, info);
    }
    if (const std::size_t n = all.find("nodes"); n != std::string_view::npos) {
        const std::string_view rest = all.substr(std::min(all.size(), n + 6));
        const std::size_t blank = rest.find(' ');
        const std::size_t unit = rest.find("kN/s");
        if (blank != std::string_view::npos && unit != std::string_view::npos && unit > blank)
            info.Speed =
                std::string(rest.substr(std::min(unit, blank + 2), unit + 4 - std::min(unit, blank + 2)));
    }
    if (const std::size_t p = all.find("pv"); p != std::string_view::npos)
        info.BestLine = std::string(all.substr(std::min(all.size(), p + 3)));
    return true;
}
