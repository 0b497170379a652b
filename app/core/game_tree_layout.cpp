#include "app/core/game_tree_layout.h"

#include "rules/notation.h"

#include <algorithm>
#include <cstdio>

namespace {
const char* PanelMoveMark(int code) {
    static const char* const texts[] = {"", "!!", "!", "!?", "?!", "?", "??", ""};
    return code >= 0 && code <= 7 ? texts[code] : "";
}

const char* PanelPositionMark(int code) {
    static const char* const texts[] = {"", "+-", "+=", "=", "=+", "-+", " x", "~"};
    return code >= 0 && code <= 7 ? texts[code] : "";
}

std::string TwoDigits(int v) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", v);
    return text;
}
} // namespace

std::string HeaderNames(const TGame& g) {
    return g.white + " - " + g.black;
}

std::string HeaderTournament(const TGame& g) {
    const TGameIndexRecord& h = g.header;
    std::string text = g.tournament;
    if (!g.site.empty()) text += ", " + g.site;
    if (h.round != 0) {
        text += " [" + std::to_string(h.round);
        if (h.subround != 0) text += "." + std::to_string(h.subround);
        text += "]";
    }
    if (h.year != 0) {
        if (!text.empty()) text += ", ";
        if (h.month != 0 && h.day != 0) text += TwoDigits(h.day) + ".";
        if (h.month != 0) text += TwoDigits(h.month) + ".";
        char year[8];
        std::snprintf(year, sizeof year, "%04d", h.year);
        text += year;
    }
    if (!g.annotator.empty()) text += " (" + g.annotator + ")";
    return text;
}

std::string MoveNumberText(const TGame& g, int ply, bool numberFlag) {
    const int n = ply + (g.header.startSide == 1 ? 1 : 0) + g.header.moveNumberOffset;
    if (n % 2 == 1) return std::to_string((n + 1) / 2) + ".";
    return numberFlag ? std::to_string((n + 1) / 2) + "..." : std::string();
}

std::string SanitizeCommentText(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    return text;
}

bool LineHasNoBranch(const TGame& g, int node) {
    // Follows the line down; a damaged tree cannot hold it longer than the node store.
    for (int steps = 0; steps <= MaxNodes; ++steps) {
        const TNodeList children = ListChildNodes(node, g);
        if (children.size() > 1) return false;
        if (children.empty()) return true;
        node = children[0];
    }
    return true;
}

std::string ResultItemText(std::uint8_t result) {
    static const char* const texts[] = {"*", "1-0", "=", "0-1", "1-0t", "0-1t"};
    return std::string(" ") + (result <= 5 ? texts[result] : "*");
}

void TGameTreeLayout::Build(const TGame& g, const TTextMetrics& metrics, const TNotationStyle& style,
                            int wrapLimit) {
    m_items.clear();
    m_game = &g;
    m_metrics = &metrics;
    m_style = style;
    m_wrapLimit = wrapLimit;
    m_line = 0;
    m_x = 0;
    LayoutVariation(0, 0, ikMainMove, 1);
    AddItem(ResultItemText(g.header.result), ikMainMove, 0, 0);
    m_game = nullptr;
    m_metrics = nullptr;
}

int TGameTreeLayout::CapIndent(int indent) const {
    // Deeply nested variations would otherwise indent past the wrap limit and leave no room.
    return std::min(indent, std::max(0, m_wrapLimit / 2));
}

void TGameTreeLayout::NewLine(int x) {
    ++m_line;
    m_x = CapIndent(x);
}

void TGameTreeLayout::LayoutVariation(int node, int indent, std::uint8_t kind, int ply) {
    const TGame& g = *m_game;
    bool numberFlag = node == 0;
    // Plies of one line cannot outnumber the nodes of the tree.
    for (int steps = 0; steps <= MaxNodes; ++steps) {
        const TNodeList children = ListChildNodes(node, g);
        if (children.empty()) return;
        AddMoveItem(children[0], kind, indent, numberFlag, ply);
        if (children.size() >= 2) {
            bool simple = true;
            for (std::size_t i = 1; i < children.size() && simple; ++i)
                simple = LineHasNoBranch(g, children[i]);
            if (simple && kind == ikRegular) {
                AddItem("(", ikItalic, 0, indent);
                for (std::size_t i = 1; i < children.size(); ++i) {
                    if (i > 1) AddItem(";", ikItalic, 0, indent);
                    AddMoveItem(children[i], ikItalic, indent, true, ply);
                    LayoutVariation(children[i], indent, ikItalic, ply + 1);
                }
                AddItem(")", ikItalic, 0, indent);
            } else {
                NewLine(indent);
                for (std::size_t i = 1; i < children.size(); ++i) {
                    m_x = CapIndent(indent + 15);
                    AddItem("[", ikRegular, 0, indent);
                    AddMoveItem(children[i], ikRegular, indent, true, ply);
                    LayoutVariation(children[i], indent + 15, ikRegular, ply + 1);
                    AddItem("]", ikRegular, 0, indent);
                    NewLine(indent);
                }
            }
            numberFlag = true;
        } else {
            numberFlag = false;
        }
        node = children[0];
        ++ply;
    }
}

void TGameTreeLayout::AddMoveItem(int node, std::uint8_t kind, int wrapIndent, bool numberFlag, int ply) {
    const TGame& g = *m_game;
    if (!g.commentBefore[node].empty()) AddCommentItems(g.commentBefore[node], wrapIndent);
    std::string text;
    if (ply != 0) text = MoveNumberText(g, ply, numberFlag);
    text += MoveToText(g.nodes[node], m_style.variant, m_style.fullNotation, m_style.captureSeparator);
    if (node != 0) {
        text += PanelMoveMark(MoveMarkOf(g.nodes[node].annotation));
        text += PanelPositionMark(PositionMarkOf(g.nodes[node].annotation));
    }
    AddItem(text, kind, node, wrapIndent);
    if (!g.commentAfter[node].empty()) AddCommentItems(g.commentAfter[node], wrapIndent);
}

void TGameTreeLayout::AddItem(const std::string& text, std::uint8_t kind, int node, int wrapIndent) {
    const int width = m_metrics->TextWidth(text, kind);
    const int blank = m_metrics->TextWidth(" ", kind);
    if (m_x + width + blank > m_wrapLimit) NewLine(wrapIndent);
    m_items.push_back({text, m_x, m_x + width, m_line, node, kind});
    m_x += width + blank;
}

void TGameTreeLayout::AddCommentItems(const std::string& comment, int wrapIndent) {
    std::string rest = SanitizeCommentText(comment);
    const int blank = m_metrics->TextWidth(" ", ikComment);
    while (!rest.empty()) {
        // The longest head that still ends before the wrap limit (widths grow with length).
        std::size_t len = 0;
        int width = 0;
        if (m_x + m_metrics->TextWidth(rest, ikComment) < m_wrapLimit) {
            len = rest.size();
            width = m_metrics->TextWidth(rest, ikComment);
        } else {
            std::size_t lo = 0, hi = rest.size(); // head lo fits, head hi does not
            while (hi - lo > 1) {
                const std::size_t mid = (lo + hi) / 2;
                if (m_x + m_metrics->TextWidth(rest.substr(0, mid), ikComment) < m_wrapLimit)
                    lo = mid;
                else
                    hi = mid;
            }
            len = lo;
            width = len ? m_metrics->TextWidth(rest.substr(0, len), ikComment) : 0;
        }
        if (len == 0) {
            if (m_x > CapIndent(wrapIndent)) {
                NewLine(wrapIndent); // try again on a fresh line
                continue;
            }
            len = 1; // not even one character fits: take it anyway, so the text always shrinks
            width = m_metrics->TextWidth(rest.substr(0, 1), ikComment);
        }
        m_items.push_back({rest.substr(0, len), m_x, m_x + width, m_line, 0, ikComment});
        m_x += width + blank;
        rest.erase(0, len);
        if (!rest.empty()) NewLine(wrapIndent);
    }
}

std::size_t TGameTreeLayout::FirstItemOnLine(int line) const {
    const auto it = std::lower_bound(m_items.begin(), m_items.end(), line,
                                     [](const TDisplayItem& item, int l) { return item.line < l; });
    return static_cast<std::size_t>(it - m_items.begin());
}

int TGameTreeLayout::NodeAt(int x, int line) const {
    int node = 0;
    for (std::size_t i = FirstItemOnLine(line); i < m_items.size() && m_items[i].line == line; ++i)
        if (m_items[i].xStart <= x && x <= m_items[i].xEnd) node = m_items[i].node;
    return node;
}
