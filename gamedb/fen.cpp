#include "gamedb/fen.h"

#include <algorithm>
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

bool ReadNumber(const std::string& s, int& n);

// Removes the backslash of \" and \\; other backslashes stay, as other programs write them.
std::string UnescapeTagValue(const std::string& v) {
    if (v.find('\\') == std::string::npos) return v;
    std::string out;
    out.reserve(v.size());
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\\' && i + 1 < v.size() && (v[i + 1] == '"' || v[i + 1] == '\\')) ++i;
        out += v[i];
    }
    return out;
}

// The internal squares an entry names (a number, a range "31-50", or an algebraic square in
// variants 1, 3 and 7); false with `why` for anything else.
bool EntrySquares(const std::string& entry, TGameType variant, std::vector<int>& squares, std::string& why) {
    squares.clear();
    const bool algebraic = variant == gtRussian || variant == gtBrazilian || variant == gtCzech;
    if (algebraic && entry.size() == 2 && entry[0] >= 'a' && entry[0] <= 'h' && entry[1] >= '1' &&
        entry[1] <= '8') {
        const int sq = XYToSquare(entry[0] - 'a', entry[1] - '1', 1);
        if (sq == 0) {
            why = "\"" + entry + "\" is a light square";
            return false;
        }
        squares.push_back(sq);
        return true;
    }
    const std::size_t dash = entry.find('-');
    int first = 0, last = 0;
    if (dash == std::string::npos) {
        if (!ReadNumber(entry, first)) {
            why = "not a square number: \"" + entry + "\"";
            return false;
        }
        last = first;
    } else if (!ReadNumber(Trim(entry.substr(0, dash)), first) ||
               !ReadNumber(Trim(entry.substr(dash + 1)), last) || last < first) {
        why = "not a range of squares: \"" + entry + "\"";
        return false;
    }
    for (int n = first; n <= last; ++n) {
        const int sq = FenSquareToInternal(n, variant);
        if (sq == 0) {
            why = "square " + std::to_string(n) + " is not on the board";
            return false;
        }
        squares.push_back(sq);
    }
    return true;
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
    value = UnescapeTagValue(Trim(value));
    if (!key.empty() && key.back() == '=') key.pop_back();
    key = Trim(key);
    return true;
}

std::string EscapePdnTagValue(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out;
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
    std::vector<int> squares;
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
            std::string why;
            if (!EntrySquares(entry, variant, squares, why)) return fail(why);
            for (int sq : squares)
                b[sq] = static_cast<std::int8_t>(value);
        }
    }
    board = b;
    side = s;
    return true;
}

std::string FenSquareNumber(int square, TGameType variant) {
    const int r = square - 1;
    switch (variant) {
    case gtEnglish:
    case gtPool:
        return std::to_string(4 * (r / 4) + 4 - r % 4);
    case gtItalian:
        return std::to_string(33 - square);
    case gtInternational:
        return std::to_string((9 - r / 5) * 5 + r % 5 + 1);
    default:
        return std::to_string((7 - r / 4) * 4 + r % 4 + 1);
    }
}

std::string FenValue(const TBoard& board, int side, TGameType variant) {
    std::string text = SideIsWhite(side, variant) ? "W:" : "B:";
    for (int s = 0; s < 2; ++s) {
        // In the order of the FEN numbers: n for a man, n + 100 for a king after the men.
        std::vector<int> pieces;
        for (int sq = 1; sq <= SquaresOf(variant); ++sq) {
            const int v = board[sq];
            if (v != 0 && PieceSide(v) == s)
                pieces.push_back(std::stoi(FenSquareNumber(sq, variant)) + (IsKing(v) ? 100 : 0));
        }
        std::sort(pieces.begin(), pieces.end());
        if (s == 1) text += ':';
        text += SideIsWhite(s, variant) ? 'W' : 'B';
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (i) text += ',';
            if (pieces[i] > 100) text += 'K';
            text += std::to_string(pieces[i] % 100);
        }
    }
    return text + '.';
}
