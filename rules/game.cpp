#include "rules/game.h"

#include <array>

const char* GameResultText(int result) {
    static const char* const texts[] = {"*", "1-0", "=", "0-1", "1-0t", "0-1t"};
    return result >= 0 && result <= 5 ? texts[result] : "*";
}

void InitGame(TGame& g, TGameType variant) {
    const TGameIndexRecord old = g.header;
    g.header = {};
    g.header.white = old.white;
    g.header.black = old.black;
    g.header.fullMoves = old.fullMoves;
    g.header.offset = old.offset;
    g.header.length = old.length;
    g.header.variant = variant;
    g.white.clear();
    g.black.clear();
    g.annotator.clear();
    g.tournament.clear();
    g.site.clear();
    for (int n = 0; n < NodeSlots; ++n)
        ClearNode(g, n);
    g.nodes[0].free = 0;
}

void ClearNode(TGame& g, int node) {
    g.nodes[node].annotation = 0;
    g.nodes[node].free = 1;
    g.commentBefore[node].clear();
    g.commentAfter[node].clear();
}

TNodeList ListChildNodes(int node, const TGame& g) {
    TNodeList list;
    const int count = g.header.nodeCount < MaxNodes ? g.header.nodeCount : MaxNodes;
    for (int n = 1; n <= count; ++n)
        if (!g.nodes[n].free && g.nodes[n].parent == node) list.push_back(static_cast<std::uint16_t>(n));
    for (std::size_t i = 1; i < list.size(); ++i)
        if (g.nodes[list[i]].mainLine) std::swap(list[0], list[i]);
    return list;
}

int MainLineLength(const TGame& g) {
    // The first child of each node as ListChildNodes orders them, in one pass rather than one scan of
    // the tree per ply (every stored game computes this): the last main-line child after the lowest
    // one, else the lowest child.
    std::array<std::uint16_t, NodeSlots> lowest{}, flagged{};
    const int count = g.header.nodeCount < MaxNodes ? g.header.nodeCount : MaxNodes;
    for (int n = 1; n <= count; ++n) {
        const TMove& m = g.nodes[n];
        if (m.free || m.parent > MaxNodes) continue;
        if (lowest[m.parent] == 0)
            lowest[m.parent] = static_cast<std::uint16_t>(n);
        else if (m.mainLine)
            flagged[m.parent] = static_cast<std::uint16_t>(n);
    }
    int plies = 0;
    int node = 0;
    // A damaged tree could hold a cycle; a main line never has more plies than nodes.
    while (plies <= MaxNodes) {
        const int next = flagged[node] ? flagged[node] : lowest[node];
        if (next == 0) break;
        node = next;
        ++plies;
    }
    return plies;
}
