#include "gamedb/pdn_reader.h"

#include "gamedb/fen.h"
#include "gamedb/pdn_tags.h"

#include <algorithm>
#include <unordered_set>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view Trim(std::string_view s) {
    s = TrimLeft(s);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Splits a line that begins with "[" into its tags and the text after them. A tag is "[", the key,
// a value in double quotes (\" and \\ escaped) and "]"; one that does not close that way takes the
// rest of the line (the tag reader then finds its value up to the last quote).
void SplitTags(std::string_view line, std::vector<std::string_view>& tags, std::string_view& rest) {
    tags.clear();
    std::size_t i = 0;
    while (i < line.size() && line[i] == '[') {
        const std::size_t quote = line.find('"', i);
        const std::size_t bracket = line.find(']', i);
        std::size_t end = std::string_view::npos; // the tag's "]"
        if (quote != std::string_view::npos && (bracket == std::string_view::npos || quote < bracket)) {
            std::size_t j = quote + 1;
            while (j < line.size() && line[j] != '"')
                j += line[j] == '\\' ? 2 : 1;
            if (j < line.size()) {
                std::size_t k = j + 1;
                while (k < line.size() && IsBlank(line[k]))
                    ++k;
                if (k < line.size() && line[k] == ']') end = k;
            }
        } else {
            end = bracket;
        }
        if (end == std::string_view::npos) {
            tags.push_back(line.substr(i));
            i = line.size();
            break;
        }
        tags.push_back(line.substr(i, end + 1 - i));
        i = end + 1;
        while (i < line.size() && IsBlank(line[i]))
            ++i;
    }
    rest = Trim(line.substr(std::min(i, line.size())));
}

std::string TagKey(std::string_view tag) {
    std::string key, value;
    ParsePdnTag(std::string(tag), key, value);
    return key;
}

// Inside a comment left open, a line is still a tag when it is a well-formed tag of the standard's
// roster or of the position: a lost "}" must not swallow every game that follows.
bool IsTagInsideComment(std::string_view line) {
    static constexpr std::string_view keys[] = {"Event", "Site",   "Date",     "Round", "White",
                                                "Black", "Result", "GameType", "FEN"};
    std::vector<std::string_view> tags;
    std::string_view rest;
    SplitTags(line, tags, rest);
    if (tags.empty() || tags[0].find('"') == std::string_view::npos || tags[0].back() != ']') return false;
    const std::string key = TagKey(tags[0]);
    return std::find(std::begin(keys), std::end(keys), key) != std::end(keys);
}

} // namespace

TPdnTextReader::TPdnTextReader(std::string_view bytes) : m_bytes(bytes) {
    if (m_bytes.substr(0, 3) == "\xEF\xBB\xBF") m_pos = 3;
}

bool TPdnTextReader::ReadLine(std::string_view& line) {
    if (m_pending) {
        m_pending = false;
        line = m_pendingLine;
        m_lineNo = m_pendingLineNo;
        return true;
    }
    if (m_pos >= m_bytes.size()) return false;
    std::size_t stop = m_pos;
    while (stop < m_bytes.size() && m_bytes[stop] != '\n' && m_bytes[stop] != '\r')
        ++stop;
    line = m_bytes.substr(m_pos, stop - m_pos);
    m_pos = stop;
    if (m_pos < m_bytes.size()) m_pos += m_bytes.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
    m_lineNo = ++m_line;
    return true;
}

void TPdnTextReader::PushBack(std::string_view line, std::int64_t lineNo) {
    m_pending = true;
    m_pendingLine = line;
    m_pendingLineNo = lineNo;
}

bool TPdnTextReader::AddMoveLine(std::string_view line, std::string& out, bool& hasToken) {
    if (!out.empty()) out += ' ';
    std::size_t tokenStart = std::string::npos; // in `out`
    for (std::size_t i = 0; i <= line.size(); ++i) {
        const char c = i < line.size() ? line[i] : ' ';
        if (m_braceDepth > 0) {
            if (c == '{') ++m_braceDepth;
            if (c == '}') --m_braceDepth;
            if (i < line.size()) out += c;
            continue;
        }
        // A result glued to the next game's first tag ("0-1[Event ...]") ends at the "[".
        const bool boundary = IsBlank(c) || c == '{' || c == '(' || c == ')' || c == ';' ||
                              (c == '[' && tokenStart != std::string::npos &&
                               IsPdnResultToken(std::string_view(out).substr(tokenStart)));
        if (boundary && tokenStart != std::string::npos) {
            const std::string_view token = std::string_view(out).substr(tokenStart);
            tokenStart = std::string::npos;
            if (IsPdnResultToken(token)) {
                // The game ends here; what follows on the line is the next text.
                m_carry = Trim(line.substr(std::min(i, line.size())));
                m_carryLine = m_lineNo;
                return true;
            }
        }
        if (i == line.size()) break;
        if (c == ';') {
            // A comment to the end of the line.
            std::string text(Trim(line.substr(i + 1)));
            std::replace(text.begin(), text.end(), '{', '(');
            std::replace(text.begin(), text.end(), '}', ')');
            out += "{" + text + "}";
            break;
        }
        if (c == '{') {
            m_braceDepth = 1;
        } else if (!IsBlank(c)) {
            hasToken = true;
            if (tokenStart == std::string::npos && c != '(' && c != ')') tokenStart = out.size();
        }
        out += c;
    }
    return false;
}

void TPdnTextReader::BeginGame(TPdnGameText& game, std::int64_t line, std::string_view text) {
    game.firstLine = line;
    game.firstLineText = std::string(Trim(text.substr(0, 200)));
}

bool TPdnTextReader::Next(TPdnGameText& game) {
    game.tags.clear();
    game.moveText.clear();
    game.firstLine = 0;
    game.firstLineText.clear();
    m_braceDepth = 0;

    // Loose text: after a game that ended at its result token, or before the first tag. After a
    // result it is a game of its own; before the first tag only when a result token ends it (else
    // it is a note about the file).
    const bool looseIsGame = m_afterResult;
    m_afterResult = false;
    bool looseToken = false;
    if (!m_carry.empty() && m_carry[0] == '[') {
        // The next game's tags on the line of the last game's result: read as a line of its own.
        PushBack(m_carry, m_carryLine);
        m_carry = {};
    } else if (!m_carry.empty()) {
        const std::string_view carry = m_carry;
        m_carry = {};
        BeginGame(game, m_carryLine, carry);
        if (AddMoveLine(carry, game.moveText, looseToken)) {
            m_afterResult = true;
            return true;
        }
    }
    std::string_view line;
    std::int64_t lineNo = 0;
    for (;;) {
        if (!ReadLine(line)) {
            m_braceDepth = 0;
            // A file of move text without any tag is read as games all the same.
            return looseToken && (looseIsGame || !m_sawTag);
        }
        lineNo = m_lineNo;
        const std::string_view t = TrimLeft(line);
        if (t.empty()) continue;
        if (m_braceDepth == 0 && t[0] == '%') continue;
        if (t[0] == '[' && (m_braceDepth == 0 || IsTagInsideComment(t))) {
            m_braceDepth = 0;
            if (looseIsGame && looseToken) {
                PushBack(line, m_lineNo);
                return true;
            }
            break;
        }
        if (game.firstLine == 0) BeginGame(game, lineNo, t);
        if (AddMoveLine(t, game.moveText, looseToken)) {
            m_afterResult = true;
            return true;
        }
    }

    // The tag section.
    m_sawTag = true;
    game.moveText.clear();
    BeginGame(game, lineNo, TrimLeft(line));
    std::unordered_set<std::string> keys; // a list would make a line of many tags quadratic
    std::vector<std::string_view> tags;
    std::string_view rest;
    bool inTags = true;
    while (inTags) {
        const std::string_view t = TrimLeft(line);
        SplitTags(t, tags, rest);
        for (std::size_t k = 0; k < tags.size(); ++k) {
            std::string key = TagKey(tags[k]);
            if (!key.empty() && keys.count(key)) {
                // A key the game already has: the next game begins with this tag.
                PushBack(t.substr(static_cast<std::size_t>(tags[k].data() - t.data())), m_lineNo);
                return true;
            }
            keys.insert(std::move(key));
            game.tags.emplace_back(tags[k]);
        }
        if (!rest.empty()) break; // move text on the tag's line
        for (;;) {
            if (!ReadLine(line)) return true;
            const std::string_view u = TrimLeft(line);
            if (!u.empty() && u[0] == '%') continue;
            if (u.empty() || u[0] != '[') {
                inTags = false;
                rest = u;
            }
            break;
        }
    }

    // The move text.
    bool token = false;
    for (;;) {
        if (!rest.empty()) {
            if (AddMoveLine(rest, game.moveText, token)) {
                m_afterResult = true;
                return true;
            }
        }
        if (!ReadLine(line)) {
            m_braceDepth = 0;
            return true;
        }
        rest = Trim(line);
        if (rest.empty()) continue;
        if (m_braceDepth == 0 && rest[0] == '%') {
            rest = {};
            continue;
        }
        if (rest[0] == '[' && (m_braceDepth == 0 || IsTagInsideComment(rest))) {
            m_braceDepth = 0;
            PushBack(line, m_lineNo);
            return true;
        }
    }
}
