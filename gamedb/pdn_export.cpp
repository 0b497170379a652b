#include "gamedb/pdn_export.h"

#include "gamedb/fen.h"
#include "gamedb/pdn_moves.h"
#include "gamedb/pdn_tags.h"
#include "gamedb/progress.h"
#include "platform/codepage.h"
#include "rules/file_names.h"
#include "rules/movegen.h"
#include "rules/notation.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <memory>

namespace {

constexpr const char* Eol = "\r\n";

// A line break would end the tag or the move line.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

void Tag(std::string& out, const char* key, const std::string& value) {
    out += '[';
    out += key;
    out += " \"";
    out += EscapePdnTagValue(OneLine(value));
    out += "\"]";
    out += Eol;
}

// Braces would end the comment for other readers: they become parentheses.
void Comment(std::string& out, const std::string& text) {
    if (text.empty()) return;
    out += "{ ";
    for (char c : text)
        out += c == '{' ? '(' : c == '}' ? ')' : c == '\r' || c == '\n' ? ' ' : c;
    out += " } ";
}

void Glyph(std::string& out, int glyph) {
    if (!glyph) return;
    out += '$';
    out += std::to_string(glyph);
    out += ' ';
}

class TMoveWriter {
  public:
    TMoveWriter(const TGame& g, std::string& out) : m_game(g), m_out(out), m_variant(g.header.variant) {
        const int count = std::min<int>(g.header.nodeCount, MaxNodes);
        for (int n = 1; n <= count; ++n)
            if (!g.nodes[n].free && g.nodes[n].parent <= MaxNodes) m_children[g.nodes[n].parent].push_back(n);
        // The main-line child first, as the tree lists children.
        for (auto& list : m_children)
            for (std::size_t i = 1; i < list.size(); ++i)
                if (g.nodes[list[i]].mainLine) std::swap(list[0], list[i]);
    }

    void Write(const TBoard& start, int side) { Line(0, start, side, 0); }

  private:
    // The line from `node` on, `board` being the position at `node`.
    void Line(int node, TBoard board, int side, int depth) {
        // A damaged tree could loop; a tree of 1,024 moves has no deeper line.
        while (depth <= MaxNodes) {
            const std::vector<int>& children = m_children[node];
            if (children.empty()) return;
            TBoard after = board;
            Node(children[0], board, side, after);
            for (std::size_t i = 1; i < children.size(); ++i) {
                m_out += "( ";
                TBoard v = board;
                Node(children[i], board, side, v);
                Line(children[i], v, side ^ 1, depth + 1);
                m_out += ") ";
            }
            node = children[0];
            board = after;
            side ^= 1;
            ++depth;
        }
    }

    // Writes the move of `node` played on `board`; `after` receives the position after it.
    void Node(int node, const TBoard& board, int side, TBoard& after) {
        const TMove& m = m_game.nodes[node];
        Comment(m_out, m_game.commentBefore[node]);
        if (m.captures) {
            // A capture may share its origin and final square with another route.
            FindMoves(board, side, m_list, m_variant);
            m_out += PdnMoveToken(m, m_list, m_variant);
        } else {
            m_out += MoveToText(m, m_variant, true, "x");
        }
        m_out += ' ';
        Comment(m_out, m_game.commentAfter[node]);
        Glyph(m_out, MoveMarkGlyph(MoveMarkOf(m.annotation)));
        Glyph(m_out, PositionMarkGlyph(PositionMarkOf(m.annotation)));
        after = board;
        MakeMove(m, after, m_variant);
    }

    const TGame& m_game;
    std::string& m_out;
    TGameType m_variant;
    TMoveList m_list;
    std::array<std::vector<int>, NodeSlots> m_children;
};

} // namespace

std::string WritePdnFen(const TGame& g) {
    const TGameType v = g.header.variant;
    TPositionKey standard;
    PositionToKey(StartPositionOf(v), standard);
    if (g.startKey == standard && g.header.startSide == 0) return {};
    TBoard board;
    KeyToPosition(g.startKey, board);
    std::string out;
    Tag(out, "FEN", FenValue(board, g.header.startSide ? 1 : 0, v));
    return out;
}

std::string PdnGameText(const TGame& g) {
    const TGameType v = IsValidVariant(g.header.variant) ? g.header.variant : TGameType(gtRussian);
    const TGameIndexRecord& h = g.header;
    std::string out;
    const bool side0White = SideIsWhite(0, v);
    Tag(out, side0White ? "White" : "Black", g.white);
    Tag(out, side0White ? "Black" : "White", g.black);
    Tag(out, "Event", g.tournament);
    Tag(out, "Site", g.site);
    std::string round = h.round ? std::to_string(h.round) : std::string();
    if (h.subround) round += "." + std::to_string(h.subround);
    Tag(out, "Round", round);
    Tag(out, "Date", PdnDateText(h.day, h.month, h.year));
    // A loss on time is no PDN result: the Termination tag before Result tells it.
    if (h.result == grWhiteOnTime || h.result == grBlackOnTime) Tag(out, "Termination", "time forfeit");
    Tag(out, "Result", PdnResultText(h.result));
    Tag(out, "GameType", std::to_string(VariantTraits(v).pdnGameType));
    out += WritePdnFen(g);
    out += Eol;

    TBoard start;
    KeyToPosition(g.startKey, start);
    auto writer = std::make_unique<TMoveWriter>(g, out);
    writer->Write(start, h.startSide ? 1 : 0);
    out += PdnResultText(h.result);
    out += Eol;
    out += Eol;
    return out;
}

bool WritePdnGame(const TGame& g, std::ostream& out) {
    const std::string text = PdnGameText(g);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(out);
}

std::string PdnExportFileName(const std::string& chosen) {
    return StripExtension(chosen) + ".pdn";
}

TPdnExportResult ExportPdnGames(const TGameDatabase& db, const std::vector<std::int32_t>& games,
                                const std::string& pdnFileName, IProgress& progress) {
    TPdnExportResult result;
    const std::string shown = Utf8ToCp1251(pdnFileName);
    std::ofstream out(pdnFileName, std::ios::binary | std::ios::app);
    if (!out) {
        result.ok = false;
        result.message = "Cannot write " + shown;
        return result;
    }
    {
        TProgressScope scope(progress, "Export to PDN", shown, static_cast<std::int64_t>(games.size()), 0);
        auto game = std::make_unique<TGame>();
        for (std::size_t i = 0; i < games.size(); ++i) {
            if ((i + 1) % 100 == 0) scope.Step(static_cast<std::int64_t>(i + 1), 0);
            if (ReadGame(db, games[i], false, *game) != TDbStatus::Ok) {
                ++result.damaged;
                continue;
            }
            if (!WritePdnGame(*game, out)) break;
            ++result.written;
        }
    }
    out.flush();
    out.close();
    if (out.fail()) {
        result.ok = false;
        result.message = "Cannot write " + shown + ": the export stopped after " +
                         std::to_string(result.written) + " games.";
    } else if (result.damaged > 0) {
        result.message =
            std::to_string(result.damaged) + " damaged games could not be read and were not exported.";
    }
    return result;
}
