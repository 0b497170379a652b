#include "gamedb/pdn_move_text.h"

#include "gamedb/pdn_moves.h"
#include "gamedb/pdn_tags.h"
#include "rules/movegen.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

void AppendText(std::string& to, std::string_view text) {
    if (text.empty()) return;
    if (!to.empty()) to += ' ';
    to += text;
}

enum class TTok { End, Comment, Open, Close, Glyph, Marks, Result, Word };

struct TLexeme {
    TTok kind = TTok::End;
    std::size_t start = 0;  // where it begins in the text
    std::string_view text;  // Comment: its text; Word: the move; Marks: the signs
    std::int64_t glyph = 0; // Glyph: its number
    int mark = 0;           // Word: signs glued to the move; Marks: their mark
    int result = -1;        // Result: its code
};

// Walks the move text by index. Words that need mending (a blank after the separator, a move number
// in front) are built in a buffer of the lexer, valid until the next call.
class TLexer {
  public:
    explicit TLexer(std::string_view text) : m_text(text) {}
    std::size_t Pos() const { return m_pos; }
    void Seek(std::size_t pos) { m_pos = pos; }

    TLexeme Next() {
        for (;;) {
            while (m_pos < m_text.size() && IsBlank(m_text[m_pos]))
                ++m_pos;
            TLexeme l;
            l.start = m_pos;
            if (m_pos >= m_text.size()) return l;
            const char c = m_text[m_pos];
            if (c == '{') return Comment(l);
            if (c == '(') return Open(l);
            if (c == ')') {
                ++m_pos;
                l.kind = TTok::Close;
                return l;
            }
            if (c == '$') return Glyph(l);
            if (Word(l)) return l;
        }
    }

    // The text from `pos` to the ")" that closes the "(" at `pos`, both included (or to the end).
    std::size_t SkipGroup(std::size_t pos) {
        m_pos = pos + 1;
        for (std::int64_t depth = 1; depth > 0;) {
            const TLexeme l = Next();
            if (l.kind == TTok::End) break;
            if (l.kind == TTok::Open) ++depth;
            if (l.kind == TTok::Close) --depth;
        }
        return m_pos;
    }

  private:
    TLexeme Comment(TLexeme& l) {
        std::size_t i = m_pos + 1;
        for (std::int64_t depth = 1; i < m_text.size(); ++i) {
            if (m_text[i] == '{') ++depth;
            if (m_text[i] == '}' && --depth == 0) break;
        }
        l.kind = TTok::Comment;
        l.text = Trim(m_text.substr(m_pos + 1, i - m_pos - 1));
        m_pos = std::min(i + 1, m_text.size());
        return l;
    }

    // "(!?)": strength signs in parentheses; otherwise a variation opens.
    TLexeme Open(TLexeme& l) {
        std::size_t j = m_pos + 1;
        while (j < m_text.size() && (m_text[j] == '!' || m_text[j] == '?' || IsBlank(m_text[j])))
            ++j;
        if (j < m_text.size() && m_text[j] == ')') {
            m_word.clear();
            for (std::size_t k = m_pos + 1; k < j; ++k)
                if (!IsBlank(m_text[k])) m_word += m_text[k];
            if (!m_word.empty()) {
                l.kind = TTok::Marks;
                l.text = m_word;
                l.mark = MoveMarkOfSigns(m_word);
                m_pos = j + 1;
                return l;
            }
        }
        ++m_pos;
        l.kind = TTok::Open;
        return l;
    }

    TLexeme Glyph(TLexeme& l) {
        std::size_t i = m_pos + 1;
        l.glyph = 0;
        for (; i < m_text.size() && m_text[i] >= '0' && m_text[i] <= '9'; ++i)
            l.glyph = std::min<std::int64_t>(l.glyph * 10 + (m_text[i] - '0'), 1'000'000);
        while (i < m_text.size() && !IsBlank(m_text[i]) && m_text[i] != '(' && m_text[i] != ')' &&
               m_text[i] != '{')
            ++i;
        l.kind = TTok::Glyph;
        m_pos = i;
        return l;
    }

    std::size_t WordEnd(std::size_t i) const {
        while (i < m_text.size() && !IsBlank(m_text[i]) && m_text[i] != '(' && m_text[i] != ')' &&
               m_text[i] != '{')
            ++i;
        return i;
    }

    // False for a move number, which is skipped.
    bool Word(TLexeme& l) {
        std::size_t end = WordEnd(m_pos);
        std::string_view w = m_text.substr(m_pos, end - m_pos);
        // "35x 4": a line wrapped after the separator.
        if (!w.empty() && (w.back() == '-' || w.back() == 'x' || w.back() == ':')) {
            std::size_t j = end;
            while (j < m_text.size() && IsBlank(m_text[j]))
                ++j;
            if (j < m_text.size() && j > end && std::isalnum(static_cast<unsigned char>(m_text[j]))) {
                const std::size_t end2 = WordEnd(j);
                m_word.assign(w);
                m_word.append(m_text.substr(j, end2 - j));
                w = m_word;
                end = end2;
            }
        }
        m_pos = end;
        l.kind = TTok::Word;
        if (IsPdnResultToken(w)) {
            l.kind = TTok::Result;
            l.result = PdnResultCode(w);
            return true;
        }
        // A move number in front: "12.", "12...", "12...19-23", "1.32-28".
        std::size_t digits = 0;
        while (digits < w.size() && w[digits] >= '0' && w[digits] <= '9')
            ++digits;
        if (digits < w.size() && w[digits] == '.') {
            std::size_t dots = digits;
            while (dots < w.size() && w[dots] == '.')
                ++dots;
            w.remove_prefix(dots);
            if (w.empty()) return false;
        }
        // Strength signs glued to the move, or standing alone.
        std::size_t signs = w.size();
        while (signs > 0 && (w[signs - 1] == '!' || w[signs - 1] == '?'))
            --signs;
        l.mark = MoveMarkOfSigns(w.substr(signs));
        l.text = w.substr(0, signs);
        if (l.text.empty()) {
            l.kind = TTok::Marks;
            l.text = w;
        }
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::string m_word;
};

// One line of moves: the main line or a variation.
struct TLine {
    int start = 0;  // the node the line hangs below
    int last = -1;  // the last node read in the line, -1 before its first move
    TBoard board{}; // the position after `last` (at `start` before the first move)
    int side = 0;
    TBoard before{}; // the position before `last`
    int beforeSide = 0;
    std::string pending; // a comment waiting for the line's first move
    std::size_t pendingFrom = 0;

    int Current() const { return last >= 0 ? last : start; }
};

class TMoveTextParser {
  public:
    TMoveTextParser(std::string_view text, TGame& g) : m_text(text), m_game(g), m_lexer(text) {
        m_variant = g.header.variant;
        for (int n = 1; n <= std::min<int>(g.header.nodeCount, MaxNodes); ++n)
            if (!g.nodes[n].free) m_hasChild[g.nodes[n].parent] = 1;
    }

    TPdnMoveTextResult Run(const TBoard& start, int side) {
        std::vector<TLine> lines(1);
        lines[0].board = start;
        lines[0].side = side;
        for (;;) {
            TLine& line = lines.back();
            const TLexeme l = m_lexer.Next();
            switch (l.kind) {
            case TTok::End:
                for (TLine& open : lines)
                    Leftover(open, lines.front());
                return m_result;
            case TTok::Comment: {
                const std::string text = PdnTextToCp1251(l.text);
                if (line.last >= 0) {
                    AppendText(m_game.commentAfter[line.last], text);
                } else if (!text.empty()) {
                    if (line.pending.empty()) line.pendingFrom = l.start;
                    AppendText(line.pending, text);
                }
                break;
            }
            case TTok::Glyph:
                if (line.last >= 0) ApplyPdnGlyph(l.glyph, m_game.nodes[line.last].annotation);
                break;
            case TTok::Marks:
                if (line.last >= 0 && l.mark) SetMoveMark(line.last, l.mark);
                break;
            case TTok::Result:
                if (lines.size() == 1) m_result.resultCode = l.result;
                break;
            case TTok::Open:
                if (line.last >= 0) {
                    TLine v;
                    v.start = m_game.nodes[line.last].parent;
                    v.board = line.before;
                    v.side = line.beforeSide;
                    lines.push_back(std::move(v));
                } else {
                    // No move to be a variation of: the text stays as a comment.
                    const std::size_t end = m_lexer.SkipGroup(l.start);
                    if (line.pending.empty()) line.pendingFrom = l.start;
                    AppendText(line.pending, Trim(m_text.substr(l.start, end - l.start)));
                    Report("a variation before the first move of a line: kept as a comment");
                }
                break;
            case TTok::Close:
                if (lines.size() > 1) {
                    Leftover(lines.back(), lines[lines.size() - 2]);
                    lines.pop_back();
                }
                break;
            case TTok::Word:
                if (!Move(line, l)) return m_result;
                break;
            }
        }
    }

  private:
    void Report(const std::string& why) {
        if (m_result.reason.find(why) == std::string::npos) AppendReason(why);
    }
    void AppendReason(const std::string& why) {
        if (!m_result.reason.empty()) m_result.reason += "; ";
        m_result.reason += why;
    }

    void SetMoveMark(int node, int mark) {
        std::uint16_t& a = m_game.nodes[node].annotation;
        a = static_cast<std::uint16_t>((a & ~0x000F) | mark);
    }

    // A comment still waiting at the end of a line goes after the move the line hangs from (or
    // the enclosing line's last move).
    void Leftover(TLine& line, const TLine& outer) {
        if (line.pending.empty()) return;
        const int node = &line == &outer ? line.Current() : outer.Current();
        if (node == 0) {
            m_result.unread = line.pending;
            Report("a comment with no move after it: not kept");
        } else {
            AppendText(m_game.commentAfter[node], line.pending);
        }
        line.pending.clear();
    }

    // Stops the reading at `from`: the rest goes into the comment after the line's current node.
    void Stop(TLine& line, std::size_t from, const std::string& why) {
        if (!line.pending.empty()) from = std::min(from, line.pendingFrom);
        m_result.stopped = true;
        m_result.unread = PdnTextToCp1251(Trim(m_text.substr(from)));
        AppendText(m_game.commentAfter[line.Current()], "* " + m_result.unread);
        AppendReason(why);
    }

    bool Move(TLine& line, const TLexeme& l) {
        FindMoves(line.board, line.side, m_list, m_variant);
        int k = MatchPdnMove(l.text, m_list, m_variant, &m_candidates);
        if (!k) k = MatchPdnMove(ShortenMoveToken(l.text), m_list, m_variant, &m_candidates);
        if (!k) {
            m_result.unmatched = true;
            Stop(line, l.start, "move \"" + std::string(l.text) + "\" is not legal here");
            return false;
        }
        if (m_candidates.size() > 1) k = Choose(line);
        const TMove move = m_list[static_cast<std::size_t>(k - 1)];
        const int parent = line.Current();
        const int node = AddNode(move, parent);
        if (!node) {
            Stop(line, l.start, "more than 1,024 moves: the rest is kept as a comment");
            return false;
        }
        line.before = line.board;
        line.beforeSide = line.side;
        MakeMove(move, line.board, m_variant);
        line.side ^= 1;
        line.last = node;
        m_game.commentBefore[node] = std::move(line.pending);
        line.pending.clear();
        if (l.mark) SetMoveMark(node, l.mark);
        return true;
    }

    int AddNode(const TMove& move, int parent) {
        const int node = m_game.header.nodeCount + 1;
        if (node > MaxNodes) return 0;
        TMove& n = m_game.nodes[node];
        n = move;
        n.parent = static_cast<std::uint16_t>(parent);
        n.annotation = 0;
        n.free = 0;
        n.mainLine = m_hasChild[parent] ? 0 : 1;
        m_hasChild[parent] = 1;
        m_game.header.nodeCount = static_cast<std::uint16_t>(node);
        return node;
    }

    // Several legal moves fit the move's text: the one under which the line's following moves stay
    // legal longest (the first of those that go furthest).
    int Choose(const TLine& line) {
        const std::vector<int> candidates = m_candidates;
        const TMoveList list = m_list;
        const std::size_t resume = m_lexer.Pos();
        std::vector<TBoard> seen;
        int best = candidates[0], bestCount = -1;
        for (int k : candidates) {
            TBoard b = line.board;
            MakeMove(list[static_cast<std::size_t>(k - 1)], b, m_variant);
            if (std::find(seen.begin(), seen.end(), b) != seen.end()) continue; // the same position
            seen.push_back(b);
            bool reachedEnd = false;
            const int count = LookAhead(b, line.side ^ 1, resume, reachedEnd);
            if (count > bestCount) {
                best = k;
                bestCount = count;
            }
            if (reachedEnd) break;
        }
        m_lexer.Seek(resume);
        m_list = list;
        return best;
    }

    // The number of the line's following moves that match from `b`.
    int LookAhead(TBoard b, int side, std::size_t pos, bool& reachedEnd) {
        constexpr int Limit = 200;
        m_lexer.Seek(pos);
        TMoveList list;
        int count = 0;
        while (count < Limit) {
            const TLexeme l = m_lexer.Next();
            if (l.kind == TTok::End || l.kind == TTok::Close || l.kind == TTok::Result) {
                reachedEnd = true;
                return count;
            }
            if (l.kind == TTok::Open) {
                m_lexer.SkipGroup(l.start);
                continue;
            }
            if (l.kind != TTok::Word) continue;
            FindMoves(b, side, list, m_variant);
            int k = MatchPdnMove(l.text, list, m_variant);
            if (!k) k = MatchPdnMove(ShortenMoveToken(l.text), list, m_variant);
            if (!k) return count;
            MakeMove(list[static_cast<std::size_t>(k - 1)], b, m_variant);
            side ^= 1;
            ++count;
        }
        reachedEnd = true;
        return count;
    }

    std::string_view m_text;
    TGame& m_game;
    TLexer m_lexer;
    TGameType m_variant;
    TMoveList m_list;
    std::vector<int> m_candidates;
    std::array<std::uint8_t, NodeSlots> m_hasChild{};
    TPdnMoveTextResult m_result;
};

} // namespace

int AddPdnNode(TGame& g, const TMove& move, int parent) {
    const int node = g.header.nodeCount + 1;
    if (node > MaxNodes || !g.InUse(parent)) return 0;
    bool hasChild = false;
    for (int n = 1; n < node && !hasChild; ++n)
        hasChild = !g.nodes[n].free && g.nodes[n].parent == parent;
    TMove& n = g.nodes[node];
    n = move;
    n.parent = static_cast<std::uint16_t>(parent);
    n.annotation = 0;
    n.free = 0;
    n.mainLine = hasChild ? 0 : 1;
    g.header.nodeCount = static_cast<std::uint16_t>(node);
    return node;
}

TPdnMoveTextResult ParseMoveLine(std::string_view text, TGame& g, const TBoard& start, int side) {
    return TMoveTextParser(text, g).Run(start, side);
}
