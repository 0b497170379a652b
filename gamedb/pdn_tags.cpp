#include "gamedb/pdn_tags.h"

#include "gamedb/dos_cyrillic.h"
#include "gamedb/fen.h"
#include "platform/codepage.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

struct TResultText {
    std::string_view text;
    int code;
};
// Written without blanks; ResultCode removes blanks around the separator first.
constexpr TResultText kResults[] = {
    {"1-0", 1},       {"1:0", 1},     {"2-0", 1},
    {"2:0", 1},       {"1/2-1/2", 2}, {"1/2:1/2", 2},
    {"1-1", 2},       {"1:1", 2},     {"\xC2\xBD-\xC2\xBD", 2},
    {"\xBD-\xBD", 2}, // "½-½" in UTF-8, Latin-1
    {"0-1", 3},       {"0:1", 3},     {"0-2", 3},
    {"0:2", 3},       {"1-0t", 4},    {"1:0t", 4},
    {"0-1t", 5},      {"0:1t", 5},    {"*", 0},
    {"0-0", 0},       {"0:0", 0},
};

int ResultCodeOf(std::string_view s) {
    for (const TResultText& r : kResults)
        if (r.text == s) return r.code;
    return -1;
}

bool IsUnknownPart(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c == '?'; });
}

std::uint16_t WithMoveMark(std::uint16_t annotation, int mark) {
    return static_cast<std::uint16_t>((annotation & ~0x000F) | mark);
}
std::uint16_t WithPositionMark(std::uint16_t annotation, int mark) {
    return static_cast<std::uint16_t>((annotation & ~0x00F0) | mark << 4);
}

bool ContainsTime(std::string_view v) {
    std::string lower(v);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return lower.find("time") != std::string::npos;
}

} // namespace

int PdnResultCode(std::string_view value) {
    value = Trim(value);
    if (const int code = ResultCodeOf(value); code >= 0) return code;
    // "1 - 0", "1/2 : 1/2": blanks around the separator.
    std::string packed;
    for (char c : value)
        if (c != ' ' && c != '\t') packed += c;
    return packed.size() < value.size() ? ResultCodeOf(packed) : -1;
}

bool IsPdnResultToken(std::string_view token) {
    return ResultCodeOf(token) >= 0;
}

const char* PdnResultText(int result) {
    switch (result) {
    case grWhiteWins:
    case grWhiteOnTime:
        return "1-0";
    case grDraw:
        return "1/2-1/2";
    case grBlackWins:
    case grBlackOnTime:
        return "0-1";
    default:
        return "*";
    }
}

TGameType PdnGameTypeVariant(std::string_view value) {
    value = Trim(value);
    const std::size_t comma = value.find(',');
    const std::int64_t n = PdnNumber(value.substr(0, comma));
    for (int v = 1; v <= 7; ++v)
        if (VariantTraits(v).pdnGameType == n) return static_cast<TGameType>(v);
    return 0;
}

std::int64_t PdnNumber(std::string_view value) {
    value = Trim(value);
    if (value.empty()) return 0;
    std::int64_t n = 0;
    for (char c : value) {
        if (c < '0' || c > '9') return 0;
        n = std::min<std::int64_t>(n * 10 + (c - '0'), 1'000'000'000);
    }
    return n;
}

TPdnDate ParsePdnDate(std::string_view value) {
    value = Trim(value);
    const char sep = value.find('.') != std::string_view::npos ? '.' : '-';
    std::array<std::string_view, 3> parts;
    int count = 0;
    for (std::size_t start = 0; count < 3;) {
        const std::size_t p = value.find(sep, start);
        parts[count++] =
            Trim(value.substr(start, p == std::string_view::npos ? std::string_view::npos : p - start));
        if (p == std::string_view::npos) break;
        start = p + 1;
    }
    auto number = [&](int i) { return i < count && !IsUnknownPart(parts[i]) ? PdnNumber(parts[i]) : 0; };
    std::int64_t day = 0, month = 0, year = 0;
    if (count == 1) {
        year = number(0);
    } else {
        month = number(1);
        const std::int64_t a = number(0);
        if (parts[0].size() != 4 && a < 32) {
            day = a;
            year = number(2);
        } else {
            year = a;
            day = number(2);
        }
    }
    TPdnDate d;
    d.year = static_cast<int>(std::min<std::int64_t>(year, 2100));
    d.month = month <= 12 ? static_cast<int>(month) : 0;
    d.day = day <= 31 ? static_cast<int>(day) : 0;
    return d;
}

void ParsePdnRound(std::string_view value, std::uint8_t& round, std::uint8_t& subround) {
    value = Trim(value);
    const std::size_t dot = value.find('.');
    auto byte = [](std::string_view s) {
        const std::int64_t n = PdnNumber(s);
        return static_cast<std::uint8_t>(n <= 255 ? n : 0);
    };
    round = byte(value.substr(0, dot));
    if (dot != std::string_view::npos) subround = byte(value.substr(dot + 1));
}

std::string PdnDateText(int day, int month, int year) {
    auto part = [](int v, int width) {
        char s[16];
        if (v == 0) return std::string(static_cast<std::size_t>(width), '?');
        std::snprintf(s, sizeof s, "%0*d", width, v);
        return std::string(s);
    };
    // Joined as strings: a fixed buffer would cut an out-of-range year short.
    return part(year, 4) + "." + part(month, 2) + "." + part(day, 2);
}

void ApplyPdnGlyph(std::int64_t glyph, std::uint16_t& annotation) {
    static constexpr int moveMarks[] = {0, 2, 5, 1, 6, 3, 4}; // glyph 1..6 -> mark
    if (glyph >= 1 && glyph <= 6) {
        annotation = WithMoveMark(annotation, moveMarks[glyph]);
        return;
    }
    int mark = 0;
    switch (glyph) {
    case 10:
        mark = 3;
        break;
    case 13:
        mark = 7;
        break;
    case 14:
        mark = 2;
        break;
    case 15:
        mark = 4;
        break;
    case 16:
    case 18:
        mark = 1;
        break;
    case 17:
    case 19:
        mark = 5;
        break;
    default:
        return;
    }
    annotation = WithPositionMark(annotation, mark);
}

int MoveMarkGlyph(int mark) {
    static constexpr int glyphs[] = {0, 3, 1, 5, 6, 2, 4}; // mark 1..6 -> glyph
    return mark >= 1 && mark <= 6 ? glyphs[mark] : 0;
}

int PositionMarkGlyph(int mark) {
    static constexpr int glyphs[] = {0, 18, 14, 10, 15, 19, 0, 13};
    return mark >= 1 && mark <= 7 ? glyphs[mark] : 0;
}

int MoveMarkOfSigns(std::string_view signs) {
    static constexpr std::string_view texts[] = {"", "!!", "!", "!?", "?!", "?", "??"};
    int mark = 0;
    for (std::size_t i = 0; i < signs.size();) {
        int found = 0;
        for (std::size_t len : {2u, 1u}) {
            if (i + len > signs.size()) continue;
            for (int m = 1; m <= 6 && !found; ++m)
                if (texts[m] == signs.substr(i, len)) found = m;
            if (found) {
                i += len;
                break;
            }
        }
        if (!found) return 0;
        mark = found;
    }
    return mark;
}

std::string PdnTextToCp1251(std::string_view text) {
    if (std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
        return std::string(text);
    // Most such texts are CP1251 already: find out before converting.
    std::string out = IsWellFormedUtf8(text) ? Utf8ToCp1251BestFit(text) : std::string(text);
    DosToWinCyrillic(out);
    return out;
}

void ParsePdnHeader(const std::string& key, const std::string& value, TGame& g, TPdnHeaderState& state) {
    const TGameType variant = g.header.variant;
    TGameIndexRecord& h = g.header;
    const bool side0Black = !SideIsWhite(0, variant);
    if (key == "Event") {
        if (value != "?") g.tournament = value;
    } else if (key == "Site") {
        if (value != "?") g.site = value;
    } else if (key == "White") {
        (side0Black ? g.black : g.white) = value;
    } else if (key == "Black") {
        (side0Black ? g.white : g.black) = value;
    } else if (key == "Result") {
        int code = PdnResultCode(value);
        if (code < 0) code = grNone;
        if (state.timeLoss && code == grWhiteWins) code = grWhiteOnTime;
        if (state.timeLoss && code == grBlackWins) code = grBlackOnTime;
        h.result = static_cast<std::uint8_t>(code);
        state.resultTag = true;
    } else if (key == "Termination") {
        if (!state.resultTag && ContainsTime(value)) state.timeLoss = true;
    } else if (key == "Day") {
        const std::int64_t n = PdnNumber(value);
        h.day = static_cast<std::uint8_t>(n <= 31 ? n : 0);
    } else if (key == "Month") {
        const std::int64_t n = PdnNumber(value);
        h.month = static_cast<std::uint8_t>(n <= 12 ? n : 0);
    } else if (key == "Year") {
        h.year = static_cast<std::uint16_t>(std::min<std::int64_t>(PdnNumber(value), 2100));
    } else if (key == "Date") {
        const TPdnDate d = ParsePdnDate(value);
        h.day = static_cast<std::uint8_t>(d.day);
        h.month = static_cast<std::uint8_t>(d.month);
        h.year = static_cast<std::uint16_t>(d.year);
    } else if (key == "Round") {
        ParsePdnRound(value, h.round, h.subround);
    } else if (key == "FEN") {
        TBoard board;
        int side = 0;
        std::string why;
        if (ParseFen(value, board, side, variant, &why)) {
            state.start = board;
            state.startSide = side;
            state.fenError = false;
        } else {
            state.fenError = true;
            state.fenMessage = "FEN \"" + value + "\": " + why;
        }
    }
}

void ParsePdnHeader(const std::string& line, TGame& g, TPdnHeaderState& state) {
    std::string key, value;
    if (ParsePdnTag(line, key, value)) ParsePdnHeader(key, PdnTextToCp1251(value), g, state);
}
