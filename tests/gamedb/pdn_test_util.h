#pragma once
// Helpers for the PDN tests: every game of a PDN text read as the import reads it, and a game's main
// line written back as move texts.

#include "gamedb/pdn_import.h"
#include "rules/notation.h"

#include <memory>
#include <string>
#include <vector>

namespace pdn_test {

// One game read from PDN text.
struct TRead {
    std::unique_ptr<TGame> game = std::make_unique<TGame>();
    TPdnGameReport report;
};

inline std::vector<TRead> ReadAll(const std::string& text, TGameType current = gtRussian) {
    TPdnReader reader(text, current);
    std::vector<TRead> games;
    for (TRead r; reader.Next(*r.game, r.report); r = TRead())
        games.push_back(std::move(r));
    return games;
}

// The main line as full texts with "x".
inline std::string MainLine(const TGame& g) {
    std::string s;
    for (int node = 0;;) {
        const TNodeList c = ListChildNodes(node, g);
        if (c.empty()) return s;
        node = c[0];
        s += (s.empty() ? "" : " ") + MoveToText(g.nodes[node], g.header.variant, true, "x");
    }
}

} // namespace pdn_test
