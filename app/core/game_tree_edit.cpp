#include "app/core/game_tree_edit.h"

#include "rules/movegen.h"
#include "rules/notation.h"

#include <algorithm>

TAddMoveResult AddMoveToTree(TGame& g, int parent, const TMove& move, bool silent, TGameType variant,
                             const TNewMoveQuestion& ask) {
    TAddMoveResult r;
    if (!g.InUse(parent)) return r;
    TMove m = move;
    m.annotation = 0;
    m.parent = static_cast<std::uint16_t>(parent);
    m.mainLine = 1;
    m.free = 0;

    const TNodeList children = ListChildNodes(parent, g);
    const std::string text = MoveToFullText(m, variant, false, ":");
    for (std::uint16_t c : children)
        if (MoveToFullText(g.nodes[c], variant, false, ":") == text) {
            r.node = c;
            r.existed = true;
            return r;
        }

    if (!children.empty()) {
        TNewMoveAnswer a;
        if (!silent && ask) a = ask(ChildMoveTexts(g, parent, variant));
        if (a.result == nmCancel) return r;
        if (a.result == nmReplace && a.selected >= 0 && a.selected < static_cast<int>(children.size())) {
            const int replaced = children[a.selected];
            // The new move takes the replaced line's place, so a parent never gets two main lines.
            m.mainLine = g.nodes[replaced].mainLine;
            DeleteSubtree(g, replaced);
        } else {
            m.mainLine = 0;
        }
    }

    int slot = 0;
    for (int n = 1; n <= MaxNodes && !slot; ++n)
        if (!g.InUse(n)) slot = n;
    if (!slot) {
        r.treeFull = true;
        return r;
    }
    if (g.header.nodeCount < slot) {
        // Slots between the old count and this one come into range: keep them free.
        for (int n = g.header.nodeCount + 1; n < slot; ++n)
            g.nodes[n].free = 1;
        g.header.nodeCount = static_cast<std::uint16_t>(slot);
    }
    g.nodes[slot] = m;
    g.commentBefore[slot].clear();
    g.commentAfter[slot].clear();
    r.node = slot;
    return r;
}

void DeleteSubtree(TGame& g, int node) {
    if (node <= 0 || node > MaxNodes) return;
    // Depth first with a stack of our own; a visited mark guards against damaged parent links.
    std::vector<bool> seen(NodeSlots, false);
    std::vector<int> stack{node};
    while (!stack.empty()) {
        const int n = stack.back();
        stack.pop_back();
        if (seen[n]) continue;
        seen[n] = true;
        for (std::uint16_t c : ListChildNodes(n, g))
            if (c != 0 && !seen[c]) stack.push_back(c);
        ClearNode(g, n);
    }
}

int HighestNodeInUse(const TGame& g) {
    for (int n = std::min<int>(MaxNodes, g.header.nodeCount); n >= 1; --n)
        if (!g.nodes[n].free) return n;
    return 0;
}

int DeleteLine(TGame& g, int node) {
    if (node <= 0 || !g.InUse(node)) return -1;
    const int parent = g.nodes[node].parent;
    DeleteSubtree(g, node);
    g.header.nodeCount = static_cast<std::uint16_t>(HighestNodeInUse(g));
    return g.InUse(parent) ? parent : 0;
}

bool PromoteLine(TGame& g, int node) {
    if (node <= 0 || !g.InUse(node)) return false;
    for (int steps = 0; steps <= MaxNodes; ++steps) {
        const int parent = g.nodes[node].parent;
        if (!g.InUse(parent)) return false;
        const TNodeList siblings = ListChildNodes(parent, g);
        if (siblings.size() >= 2) {
            if (g.nodes[node].mainLine) return false;
            for (std::uint16_t s : siblings)
                g.nodes[s].mainLine = 0;
            g.nodes[node].mainLine = 1;
            return true;
        }
        if (parent == 0) return false; // the whole way up is the main line
        node = parent;
    }
    return false;
}

void SetNodeAnnotation(TGame& g, int node, int kind, int code) {
    if (node < 0 || node > MaxNodes) return;
    std::uint16_t& a = g.nodes[node].annotation;
    if (kind == 1) a = static_cast<std::uint16_t>((a & ~0x000F) | (code & 0x0F));
    if (kind == 2) a = static_cast<std::uint16_t>((a & ~0x00F0) | ((code & 0x0F) << 4));
}

void ClearAllComments(TGame& g) {
    for (int n = 1; n <= MaxNodes; ++n) {
        g.commentBefore[n].clear();
        g.commentAfter[n].clear();
    }
}

bool PositionAtNode(const TGame& g, int node, TGameType variant, TBoard& board, int& side) {
    if (!g.InUse(node)) return false;
    std::vector<int> path;
    for (int n = node; n != 0; n = g.nodes[n].parent) {
        if (!g.InUse(n) || static_cast<int>(path.size()) >= MaxNodes) return false;
        path.push_back(n);
    }
    TBoard b;
    KeyToPosition(g.startKey, b);
    int s = g.header.startSide ? 1 : 0;
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        s = 1 - s;
        MakeMove(g.nodes[*it], b, variant);
    }
    board = b;
    side = s;
    return true;
}

int MainLineEnd(const TGame& g) {
    int node = 0;
    for (int steps = 0; steps < MaxNodes; ++steps) {
        const TNodeList children = ListChildNodes(node, g);
        if (children.empty()) break;
        node = children.front();
    }
    return node;
}

std::vector<std::string> ChildMoveTexts(const TGame& g, int node, TGameType variant) {
    std::vector<std::string> texts;
    for (std::uint16_t c : ListChildNodes(node, g))
        texts.push_back(MoveToText(g.nodes[c], variant, false, ":"));
    return texts;
}

int StepListPosition(int current, int count, int step) {
    if (count <= 0) return 0;
    int p = current + step;
    if (p > count) p = 1;
    if (p < 1) p = count;
    return p;
}
