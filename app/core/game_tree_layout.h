#pragma once
// The game panel's text: the header lines and the whole move tree laid out as lines of items.
// Qt-free: widths come from a metrics interface, so layouts are exact in tests. Texts are CP1251.

#include "rules/game.h"

#include <cstdint>
#include <string>
#include <vector>

// Item kinds: how an item is drawn.
enum : std::uint8_t {
    ikMainMove = 0, // main-line move, bold
    ikRegular = 1,  // move or bracket in regular type
    ikItalic = 2,   // move or bracket in italics
    ikComment = 3,  // comment text, regular, grey
};

// Text widths in pixels for the type style of an item kind.
class TTextMetrics {
public:
    virtual ~TTextMetrics() = default;
    virtual int TextWidth(const std::string& text, std::uint8_t kind) const = 0;
};

struct TDisplayItem {
    std::string text;
    int xStart = 0, xEnd = 0; // pixels from the left edge of the tree area
    int line = 0;             // from 0
    int node = 0;             // 0 for items that are not moves
    std::uint8_t kind = ikRegular;
};

// How moves are written: the main window's notation settings.
struct TNotationStyle {
    TGameType variant = gtRussian;
    bool fullNotation = false;
    std::string captureSeparator = ":";
};

// "White - Black".
std::string HeaderNames(const TGame& g);
// "Tournament, Site [round.subround], dd.mm.yyyy (Annotator)", each part only when present.
std::string HeaderTournament(const TGame& g);
// The number before a move at `ply` (1 = the first move of the game): "3." for side 0's moves,
// "3..." for side 1's when `numberFlag` is set, else "".
std::string MoveNumberText(const TGame& g, int ply, bool numberFlag);
// Control characters (below 32) become blanks.
std::string SanitizeCommentText(std::string text);
// True when no node below `node` (itself included) has more than one child.
bool LineHasNoBranch(const TGame& g, int node);
// " *", " 1-0", ... for the result byte.
std::string ResultItemText(std::uint8_t result);

class TGameTreeLayout {
public:
    // Lays out the whole tree. `wrapLimit` is the client width - 27.
    void Build(const TGame& g, const TTextMetrics& metrics, const TNotationStyle& style, int wrapLimit);

    const std::vector<TDisplayItem>& Items() const { return m_items; }
    int LastLine() const { return m_items.empty() ? 0 : m_items.back().line; }
    // The node of the last move item on `line` whose span holds x; 0 when there is none.
    int NodeAt(int x, int line) const;
    // Index of the first item on `line` (Items().size() when there is none).
    std::size_t FirstItemOnLine(int line) const;

private:
    void LayoutVariation(int node, int indent, std::uint8_t kind, int ply);
    void AddMoveItem(int node, std::uint8_t kind, int wrapIndent, bool numberFlag, int ply);
    void AddItem(const std::string& text, std::uint8_t kind, int node, int wrapIndent);
    void AddCommentItems(const std::string& comment, int wrapIndent);
    void NewLine(int x);
    int CapIndent(int indent) const;

    std::vector<TDisplayItem> m_items;
    const TGame* m_game = nullptr;
    const TTextMetrics* m_metrics = nullptr;
    TNotationStyle m_style;
    int m_wrapLimit = 0;
    int m_line = 0;
    int m_x = 0;
};
