#pragma once
// Helpers for the PDN tests: every game of a PDN text read as the import reads it, a game's moves
// written back as move texts, and the fixture files.

#include "gamedb/pdn_import.h"
#include "platform/file_io.h"
#include "rules/notation.h"

#include <gtest/gtest.h>

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

// The texts of the moves below `node`, in list order (the main-line child first), joined by blanks.
inline std::string ChildMoves(const TGame& g, int node) {
    std::string s;
    for (int child : ListChildNodes(node, g))
        s += (s.empty() ? "" : " ") + MoveToText(g.nodes[child], g.header.variant, true, "x");
    return s;
}

// A file of tests/gamedb/pdn_fixtures.
inline std::string Fixture(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(std::string(VQ_PDN_FIXTURES) + "/" + name, bytes).Ok()) << name;
    return bytes;
}

} // namespace pdn_test
