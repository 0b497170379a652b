#include "platform/codepage.h"

#include <array>
#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// CP1251 bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
constexpr std::array<char32_t, 64> kCp1251High = {
    0x0402,       0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC,       0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452,       0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    kReplacement, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0,       0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401,       0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0,       0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451,       0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

// CP1251 byte of a code point, or -1 when CP1251 has none.
int UnicodeToCp1251(char32_t u) {
    if (u < 0x80) return static_cast<int>(u);
    if (u >= 0x0410 && u <= 0x044F) return static_cast<int>(0xC0 + (u - 0x0410));
    if (u == kReplacement) return -1; // 0x98 is unassigned, never its target
    for (std::size_t i = 0; i < kCp1251High.size(); ++i)
        if (kCp1251High[i] == u) return static_cast<int>(0x80 + i);
    return -1;
}

void AppendUtf8(std::string& out, char32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

// Decodes one UTF-8 character at s[i], advancing i. Returns false for an ill-formed sequence
// (overlong, surrogate, beyond U+10FFFF, truncated), consuming one byte so decoding resynchronises.
bool DecodeUtf8(std::string_view s, std::size_t& i, char32_t& u) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    ++i;
    if (b0 < 0x80) {
        u = b0;
        return true;
    }
    int extra;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        extra = 1, min = 0x80, u = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        extra = 2, min = 0x800, u = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        extra = 3, min = 0x10000, u = b0 & 0x07;
    } else {
        return false;
    }
    std::size_t j = i;
    for (int k = 0; k < extra; ++k, ++j) {
        if (j >= s.size()) return false;
        const auto b = static_cast<unsigned char>(s[j]);
        if ((b & 0xC0) != 0x80) return false;
        u = (u << 6) | (b & 0x3F);
    }
    if (u < min || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return false;
    i = j;
    return true;
}

// Best-fit spellings of the Latin-1 signs and letters CP1251 lacks, and of Latin Extended-A:
// U+00C0..U+017F one character each, '*' where the spelling is longer (kLongFits).
constexpr std::string_view kLatinFits = "AAAAAA*CEEEEIIIIDNOOOOOxOUUUUY**"
                                        "aaaaaa*ceeeeiiiidnooooo/ouuuuy*y"
                                        "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGg"
                                        "GgGgHhHhIiIiIiIiIi**JjKkqLlLlLlL"
                                        "lLlNnNnNn*NnOoOoOo**RrRrRrSsSsSs"
                                        "SsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";

struct TFit {
    char32_t u;
    const char* text;
};
constexpr TFit kLongFits[] = {
    {0x00C6, "AE"}, {0x00DE, "TH"}, {0x00DF, "ss"}, {0x00E6, "ae"}, {0x00FE, "th"},
    {0x0132, "IJ"}, {0x0133, "ij"}, {0x0149, "'n"}, {0x0152, "OE"}, {0x0153, "oe"},
};
// Signs of U+00A0..U+00BF without a CP1251 byte, and the typographic punctuation of U+2010..U+2212
// that CP1251 lacks (it has the en and em dash, the curly quotes and the low quotes).
constexpr TFit kSignFits[] = {
    {0x00A1, "!"},     {0x00A2, "c"},     {0x00A3, "GBP"}, {0x00A5, "JPY"}, {0x00AA, "a"}, {0x00B2, "2"},
    {0x00B3, "3"},     {0x00B4, "'"},     {0x00B8, ","},   {0x00B9, "1"},   {0x00BA, "o"}, {0x00BC, " 1/4 "},
    {0x00BD, " 1/2 "}, {0x00BE, " 3/4 "}, {0x2010, "-"},   {0x2011, "-"},   {0x2012, "-"}, {0x2015, "-"},
    {0x201B, "'"},     {0x201F, "\""},    {0x2032, "'"},   {0x2033, "\""},  {0x2035, "'"}, {0x2036, "\""},
    {0x2044, "/"},     {0x2212, "-"},     {0x2215, "/"},   {0x2236, ":"},   {0x02BC, "'"}, {0x02C6, "^"},
    {0x02DC, "~"},     {0x2002, " "},     {0x2003, " "},   {0x2009, " "},   {0x200A, " "}, {0x202F, " "},
    {0x2007, " "},     {0x2008, " "},     {0x3000, " "},
};

// The best-fit spelling of a code point CP1251 lacks, or nullptr; "" for a combining mark.
const char* BestFit(char32_t u, char& single) {
    if (u >= 0x00C0 && u <= 0x017F) {
        single = kLatinFits[u - 0x00C0];
        if (single != '*') return &single;
        for (const TFit& f : kLongFits)
            if (f.u == u) return f.text;
        return nullptr;
    }
    if (u >= 0x0300 && u <= 0x036F) return ""; // combining diacritical marks
    for (const TFit& f : kSignFits)
        if (f.u == u) return f.text;
    return nullptr;
}

constexpr std::array<unsigned char, 256> MakeLowerTable() {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = static_cast<unsigned char>(c);
    for (int c = 'A'; c <= 'Z'; ++c)
        t[c] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDF; ++c)
        t[c] = static_cast<unsigned char>(c + 32);
    // Capital and small letters of the 0x80..0xBF rows (Serbian, Macedonian, Ukrainian, Belarusian, Ё).
    constexpr unsigned char pairs[][2] = {
        {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D},
        {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4},
        {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
    };
    for (const auto& p : pairs)
        t[p[0]] = p[1];
    return t;
}

constexpr std::array<unsigned char, 256> MakeUpperTable() {
    const auto lower = MakeLowerTable();
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = static_cast<unsigned char>(c);
    for (int c = 0; c < 256; ++c)
        if (lower[c] != c) t[lower[c]] = static_cast<unsigned char>(c);
    return t;
}

constexpr auto kLower = MakeLowerTable();
constexpr auto kUpper = MakeUpperTable();

} // namespace

char32_t Cp1251ToUnicode(unsigned char c) {
    if (c < 0x80) return c;
    if (c < 0xC0) return kCp1251High[c - 0x80];
    return 0x0410 + (c - 0xC0);
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
    std::string out;
    out.reserve(cp1251.size() * 2);
    for (char ch : cp1251)
        AppendUtf8(out, Cp1251ToUnicode(static_cast<unsigned char>(ch)));
    return out;
}

std::string Utf8ToCp1251(std::string_view utf8, bool* ok) {
    std::string out;
    out.reserve(utf8.size());
    bool all = true;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t u;
        int b = -1;
        if (DecodeUtf8(utf8, i, u)) b = UnicodeToCp1251(u);
        if (b < 0) {
            all = false;
            out += '?';
        } else {
            out += static_cast<char>(b);
        }
    }
    if (ok) *ok = all;
    return out;
}

bool IsWellFormedUtf8(std::string_view text) {
    char32_t u;
    for (std::size_t i = 0; i < text.size();)
        if (!DecodeUtf8(text, i, u)) return false;
    return true;
}

std::string Utf8ToCp1251BestFit(std::string_view utf8, bool* exact, bool* wellFormed) {
    std::string out;
    out.reserve(utf8.size());
    bool all = true, valid = true;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t u;
        if (!DecodeUtf8(utf8, i, u)) {
            all = valid = false;
            out += '?';
            continue;
        }
        if (const int b = UnicodeToCp1251(u); b >= 0) {
            out += static_cast<char>(b);
            continue;
        }
        all = false;
        char single = 0;
        const char* fit = BestFit(u, single);
        if (fit == &single)
            out += single;
        else
            out += fit ? fit : "?";
    }
    if (exact) *exact = all;
    if (wellFormed) *wellFormed = valid;
    return out;
}

unsigned char Cp1251Lower(unsigned char c) {
    return kLower[c];
}
unsigned char Cp1251Upper(unsigned char c) {
    return kUpper[c];
}

std::string Cp1251LowerString(std::string_view s) {
    std::string out(s);
    for (char& ch : out)
        ch = static_cast<char>(kLower[static_cast<unsigned char>(ch)]);
    return out;
}

int Cp1251CompareNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int x = kLower[static_cast<unsigned char>(a[i])];
        const int y = kLower[static_cast<unsigned char>(b[i])];
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}
