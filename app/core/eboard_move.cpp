#include "app/core/eboard_move.h"

#include "rules/movegen.h"

#include <array>
#include <cstdint>
#include <memory>

namespace {

// Children as first-child and next-sibling links, so the walk needs no list per node.
struct TWalk {
    std::array<std::int16_t, NodeSlots> firstChild;
    std::array<std::int16_t, NodeSlots> nextSibling;
    std::array<TBoard, NodeSlots> position;
    std::array<bool, NodeSlots> reached;
};

} // namespace

int FirstNodeWithPosition(const TGame& game, TGameType variant, const TBoard& board) {
    thread_local std::unique_ptr<TWalk> scratch = std::make_unique<TWalk>();
    TWalk& w = *scratch;
    const int last = game.header.nodeCount < MaxNodes ? game.header.nodeCount : MaxNodes;
    w.firstChild.fill(-1);
    w.reached.fill(false);
    // Linked from the highest number down, so each sibling list runs in node order.
    for (int n = last; n >= 1; --n) {
        if (!game.InUse(n)) continue;
        const int parent = game.nodes[n].parent;
        if (parent < 0 || parent > last || parent == n) continue;
        w.nextSibling[n] = w.firstChild[parent];
        w.firstChild[parent] = static_cast<std::int16_t>(n);
    }
    KeyToPosition(game.startKey, w.position[0]);
    w.reached[0] = true;
    // Depth first from the root; every node has one parent, so each is reached at most once.
    std::array<std::int16_t, NodeSlots> stack;
    int top = 0;
    stack[top++] = 0;
    while (top > 0) {
        const int n = stack[--top];
        for (int c = w.firstChild[n]; c >= 0; c = w.nextSibling[c]) {
            w.position[c] = w.position[n];
            MakeMove(game.nodes[c], w.position[c], variant);
            w.reached[c] = true;
            stack[top++] = static_cast<std::int16_t>(c);
        }
    }
    for (int n = 0; n <= last; ++n)
        if (w.reached[n] && w.position[n] == board) return n;
    return -1;
}

TEBoardDecision DecideEBoardMove(const TGame& game, const TEBoardContext& context, const TBoard& board) {
    TEBoardDecision d;
    if (context.engineBusy && !context.analysisMode) return d;
    const int node = FirstNodeWithPosition(game, context.variant, board);
    if (node >= 0) {
        d.step = TEBoardStep::GoToNode;
        d.node = node;
        // As a navigation step: analysis goes on at the new place unless it was stopped.
        d.startEngineAfter = context.analysisMode && !context.stopRequested;
    } else {
        TMoveList legal;
        FindMoves(context.current, context.side, legal, context.variant);
        for (const TMove& m : legal) {
            TBoard after = context.current;
            MakeMove(m, after, context.variant);
            if (after == board) {
                d.step = TEBoardStep::AddMove;
                d.move = m;
                // As a move entered with the mouse: the engine answers, or analyses the new position.
                d.startEngineAfter = !(context.analysisMode && context.stopRequested);
                break;
            }
        }
        if (d.step == TEBoardStep::Ignore) return d;
    }
    d.stopEngineFirst = context.analysisMode && context.engineBusy;
    return d;
}
