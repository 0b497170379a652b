#include "gamedb/fen.h"

#include <cctype>
#include <vector>

namespace {

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.substr(b, e - b);
}

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t p = s.find(sep, start);
        parts.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) return parts;
        start = p + 1;
    }
}

// Mirror within a row of four: 1 <-> 4, 2 <-> 3.
int MirrorInRow(int n) {
    switch ((n - 1) % 4) {
    case 0:
        return n + 3;
    case 1:
        return n + 1;
    case 2:
        return n - 1;
    default:
        return n - 3;
    }
}

// A decimal number of at most four digits; false for anything else.
bool ReadNumber(const std::string& s, int& n) {
    if (s.empty() || s.size() > 4) return false;
    n = 0;
    for (char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        n = n * 10 + (c - '0');
    }
    return true;
}

} // namespace

bool ParsePdnTag(const std::string& rawLine, std::string& key, std::string& value) {
    const std::string line = Trim(rawLine);
    key.clear();
    value.clear();
    const std::size_t quote = line.find('"');
    if (quote != std::string::npos) {
        key = line.substr(1 < quote ? 1 : quote, quote > 1 ? quote - 1 : 0);
        // The last quote before the line's last character closes the value.
        const std::size_t limit = line.size() >= 1 ? line.size() - 1 : 0;
        std::size_t close = std::string::npos;
        for (std::size_t i = limit; i-- > quote + 1;)
            if (line[i] == '"') {
                close = i;
                break;
            }
        if (close != std::string::npos) value = line.substr(quote + 1, close - quote - 1);
    } else {
        const std::size_t blank = line.find(' ');
        if (blank == std::string::npos) return false;
        key = line.substr(1 < blank ? 1 : blank, blank > 1 ? blank - 1 : 0);
        value = blank + 1 < line.size() ? line.substr(blank + 1, line.size() - 1 - (blank + 1)) : "";
    }
    key = Trim(key);
    value = Trim(value);
    if (!key.empty() && key.back() == '=') key.pop_back();
    key = Trim(key);
    return true;
}

int FenSquareToInternal(int n, TGameType variant) {
    if (n < 1 || n > SquaresOf(variant)) return 0;
    switch (variant) {
    case gtInternational:
        switch ((50 - n) % 5) {
        case 0:
            return 55 - n;
        case 1:
            return 53 - n;
        case 2:
            return 51 - n;
        case 3:
            return 49 - n;
        default:
            return 47 - n;
        }
    case gtItalian:
        return 33 - n;
    case gtEnglish:
    case gtPool:
        return MirrorInRow(n);
    default:
        return MirrorInRow(33 - n);
    }
}

bool ParseFen(const std::string& text, TBoard& board, int& side, TGameType variant, std::string* error) {
    const auto fail = [error](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (!IsValidVariant(variant)) return fail("unknown variant");
    const bool whiteIsSide1 = !SideIsWhite(0, variant);
    TBoard b = EmptyBoard;
    int s = side;
    if (text.compare(0, 2, whiteIsSide1 ? "W:" : "B:") == 0) s = 1;
    const std::string rest = text.size() > 2 ? text.substr(2) : std::string();
    for (std::string part : Split(rest, ':')) {
        if (!part.empty() && part.back() == '.') part.pop_back();
        if (part.empty() || (part[0] != 'W' && part[0] != 'B')) continue;
        const bool white = part[0] == 'W';
        const int man = (white != whiteIsSide1) ? sqMan0 : sqMan1;
        for (std::string entry : Split(part.substr(1), ',')) {
            entry = Trim(entry);
            if (entry.empty()) continue; // an empty list, or a trailing comma
            int value = man;
            if (entry[0] == 'K') {
                value = 2 * man;
                entry = Trim(entry.substr(1));
            }
            int n = 0;
            if (!ReadNumber(entry, n)) return fail("not a square number: \"" + entry + "\"");
            const int sq = FenSquareToInternal(n, variant);
            if (sq == 0) return fail("square " + std::to_string(n) + " is not on the board");
            b[sq] = static_cast<std::int8_t>(value);
        }
    }
    board = b;
    side = s;
    return true;
}
