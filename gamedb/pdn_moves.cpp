#include "gamedb/pdn_moves.h"

#include "rules/notation.h"

#include <array>
#include <cstdint>

namespace {

bool IsAlgebraic(TGameType v) {
    return v == gtRussian || v == gtBrazilian || v == gtCzech;
}

// The most digits a number of a move text has: two from and two final digits written together.
constexpr std::size_t MaxJoinedDigits = 4;

// One square of a token: an algebraic name ("c3"), a lone file letter (the short form's "c"), or a
// number with the digits it was written with.
struct TItem {
    enum Kind : std::uint8_t { Name, File, Num } kind = Num;
    std::uint8_t square = 0; // internal square; 0 when the text names none on the board
    std::uint8_t file = 0;   // Name and File: the column 0..7
    std::size_t digits = 0;  // Num: digits written, however many
    bool leadingZero = false;
    int value = -1; // Num: the number, -1 when it has more than MaxJoinedDigits digits

    bool Full() const { return kind == Num && digits == 2; }   // "09", "14"
    bool Short() const { return kind == Num && !leadingZero; } // "9", "14"
};

constexpr int MaxItems = 2 * MaxCapturePairs + 2;

// A token read once: squares and the separators between them ('-', 'x', ':' or 0 for none).
struct TToken {
    std::array<TItem, MaxItems> items;
    std::array<char, MaxItems> seps{};
    int count = 0;
    bool valid = false;

    // All separators equal to `sep`.
    bool SepsAre(char sep) const {
        for (int i = 0; i + 1 < count; ++i)
            if (seps[i] != sep) return false;
        return true;
    }
};

// Internal square of each displayed number of a numbering variant (0 where none).
struct TNumberTable {
    std::array<std::array<std::uint8_t, 51>, 8> square{};
    TNumberTable() {
        for (int v = 1; v <= 7; ++v)
            for (int s = 1; s <= SquaresOf(static_cast<TGameType>(v)); ++s)
                square[v][DisplayedSquareNumber(s, static_cast<TGameType>(v))] = static_cast<std::uint8_t>(s);
    }
};
const TNumberTable& Numbers() {
    static const TNumberTable table;
    return table;
}

bool IsSep(char c) {
    return c == '-' || c == 'x' || c == ':';
}

TToken ReadToken(std::string_view t, TGameType variant) {
    TToken tok;
    const bool alg = IsAlgebraic(variant);
    std::size_t i = 0;
    bool wantItem = true; // at the start and after a separator
    while (i < t.size()) {
        const char c = t[i];
        if (IsSep(c)) {
            if (wantItem || tok.count == 0) return tok; // a separator with no square before it
            tok.seps[tok.count - 1] = c;
            wantItem = true;
            ++i;
            continue;
        }
        if (tok.count == MaxItems) return tok;
        TItem item;
        if (alg) {
            if (c < 'a' || c > 'h') return tok;
            item.file = static_cast<std::uint8_t>(c - 'a');
            if (i + 1 < t.size() && t[i + 1] >= '1' && t[i + 1] <= '8') {
                item.kind = TItem::Name;
                item.square = static_cast<std::uint8_t>(XYToSquare(c - 'a', t[i + 1] - '1', 1));
                i += 2;
            } else {
                item.kind = TItem::File;
                ++i;
            }
        } else {
            if (c < '0' || c > '9') return tok;
            item.kind = TItem::Num;
            item.leadingZero = c == '0';
            const std::size_t start = i;
            while (i < t.size() && t[i] >= '0' && t[i] <= '9')
                ++i;
            item.digits = i - start;
            // A longer number is no square and no pair of them, whatever its digits.
            if (item.digits <= MaxJoinedDigits) {
                item.value = 0;
                for (std::size_t k = start; k < i; ++k)
                    item.value = item.value * 10 + (t[k] - '0');
            }
            if (item.digits <= 2 && item.value >= 1 && item.value <= 50)
                item.square = Numbers().square[variant][static_cast<std::size_t>(item.value)];
        }
        tok.items[tok.count] = item;
        tok.seps[tok.count] = 0;
        ++tok.count;
        wantItem = false;
    }
    tok.valid = tok.count > 0 && !wantItem;
    return tok;
}

int DecimalDigits(int n) {
    return n >= 10 ? 2 : 1;
}

// The token's squares are the move's from square, then `squares` in order.
template <typename F> bool SquaresMatch(const TToken& t, const TMove& m, int n, F square) {
    if (t.items[0].square != m.from) return false;
    for (int k = 1; k <= n; ++k)
        if (t.items[k].square != square(k)) return false;
    return true;
}

bool FromFinal(const TToken& t, const TMove& m) {
    return t.count == 2 && t.items[0].square == m.from && t.items[1].square == m.To();
}

bool AllItems(const TToken& t, bool (TItem::*test)() const) {
    for (int i = 0; i < t.count; ++i)
        if (!(t.items[i].*test)()) return false;
    return true;
}

bool AllNames(const TToken& t) {
    for (int i = 0; i < t.count; ++i)
        if (t.items[i].kind != TItem::Name) return false;
    return true;
}

// Every landing square after the from square, separated by `sep`.
bool Landings(const TToken& t, const TMove& m, char sep) {
    return t.count == m.captures + 1 && t.SepsAre(sep) &&
           SquaresMatch(t, m, m.captures, [&](int k) { return m.Landing(k); });
}

// From, final, then every captured square, separated by "x".
bool CaptureList(const TToken& t, const TMove& m) {
    if (t.count != m.captures + 2 || !t.SepsAre('x')) return false;
    if (t.items[0].square != m.from || t.items[1].square != m.To()) return false;
    for (int k = 1; k <= m.captures; ++k)
        if (t.items[k + 1].square != m.Captured(k)) return false;
    return true;
}

// The short file-letter form of variants 1, 3, 7: "cd4", "c:e5".
bool FileForm(const TToken& t, const TMove& m, char sep) {
    return t.count == 2 && t.items[0].kind == TItem::File && t.items[1].kind == TItem::Name &&
           t.seps[0] == sep && t.items[0].file == SquareToXY(m.from, 1).x && t.items[1].square == m.To();
}

bool NameForm(const TToken& t, const TMove& m, char sep) {
    return t.count == 2 && AllNames(t) && t.seps[0] == sep && FromFinal(t, m);
}

bool AlgebraicPass(int pass, const TToken& t, const TMove& m) {
    const char take = m.captures ? 'x' : '-';
    switch (pass) {
    case 1:
        return NameForm(t, m, take);
    case 2:
        return FileForm(t, m, m.captures ? 'x' : 0);
    case 3:
        return m.captures ? AllNames(t) && Landings(t, m, 'x') : FileForm(t, m, 0);
    default:
        // A plain move's capture text and every-landing texts are its standard full form; the
        // forms with a named separator have it between the squares, plain moves too ("c3:d4",
        // "c3d4", "c-d4").
        return (m.captures && AllNames(t) &&
                (CaptureList(t, m) || Landings(t, m, 'x') || Landings(t, m, ':'))) ||
               NameForm(t, m, '-') || NameForm(t, m, ':') || NameForm(t, m, 0) || FileForm(t, m, ':') ||
               FileForm(t, m, '-') || FileForm(t, m, 0);
    }
}

bool NumberForm(const TToken& t, const TMove& m, char sep, bool full) {
    return t.count == 2 && t.seps[0] == sep &&
           (full ? AllItems(t, &TItem::Full) : AllItems(t, &TItem::Short)) && FromFinal(t, m);
}

// The from and final numbers written together without a separator ("0914" full, "914" short).
bool Joined(const TToken& t, const TMove& m, TGameType v, bool full) {
    if (t.count != 1 || t.items[0].kind != TItem::Num) return false;
    const int from = DisplayedSquareNumber(m.from, v), to = DisplayedSquareNumber(m.To(), v);
    const TItem& item = t.items[0];
    if (full) return item.digits == 4 && item.value == from * 100 + to;
    return !item.leadingZero &&
           item.digits == static_cast<std::size_t>(DecimalDigits(from) + DecimalDigits(to)) &&
           item.value == from * (to >= 10 ? 100 : 10) + to;
}

bool NumberPass(int pass, const TToken& t, const TMove& m, TGameType v) {
    const char take = m.captures ? 'x' : '-';
    switch (pass) {
    case 1:
        return NumberForm(t, m, take, true);
    case 2:
        return NumberForm(t, m, take, false);
    case 3:
        return m.captures ? AllItems(t, &TItem::Short) && Landings(t, m, 'x') : NumberForm(t, m, '-', false);
    default:
        // As for the algebraic forms: plain moves too ("09:13", "0913", "913").
        return (m.captures && AllItems(t, &TItem::Short) && (CaptureList(t, m) || Landings(t, m, ':'))) ||
               (m.captures && AllItems(t, &TItem::Full) && (Landings(t, m, 'x') || Landings(t, m, ':'))) ||
               NumberForm(t, m, '-', true) || NumberForm(t, m, ':', true) || Joined(t, m, v, true) ||
               NumberForm(t, m, ':', false) || NumberForm(t, m, '-', false) || Joined(t, m, v, false);
    }
}

} // namespace

int MatchPdnMove(std::string_view token, const TMoveList& moves, TGameType variant,
                 std::vector<int>* candidates) {
    if (candidates) candidates->clear();
    if (!IsValidVariant(variant) || token.empty()) return 0;
    const TToken t = ReadToken(token, variant);
    if (!t.valid) return 0;
    const bool alg = IsAlgebraic(variant);
    for (int pass = 1; pass <= 4; ++pass) {
        int first = 0;
        for (std::size_t i = 0; i < moves.size(); ++i) {
            const bool match =
                alg ? AlgebraicPass(pass, t, moves[i]) : NumberPass(pass, t, moves[i], variant);
            if (!match) continue;
            if (!first) first = static_cast<int>(i) + 1;
            if (!candidates) break;
            candidates->push_back(static_cast<int>(i) + 1);
        }
        if (first) return first;
    }
    return 0;
}

int MatchPdnMove(std::string_view token, const TBoard& board, int side, TGameType variant) {
    if (!IsValidVariant(variant)) return 0;
    TMoveList moves;
    FindMoves(board, side, moves, variant);
    return MatchPdnMove(token, moves, variant);
}

std::string ShortenMoveToken(std::string_view token) {
    const std::size_t first = token.find_first_of("-x:");
    if (first == std::string_view::npos) return std::string(token);
    const std::size_t last = token.find_last_of("-x:");
    return std::string(token.substr(0, first)) + "-" + std::string(token.substr(last + 1));
}

std::string PdnMoveToken(const TMove& move, const TMoveList& legal, TGameType variant) {
    for (const TMove& m : legal) {
        if (m.from != move.from || m.To() != move.To()) continue;
        if (m.SameMove(move)) break;
        return MoveToFullText(move, variant, true, "x");
    }
    return MoveToText(move, variant, true, "x");
}
