#include "app/core/eboard_move.h"

#include "app/core/game_tree_edit.h"
#include "rules/movegen.h"
#include "tests/support/eboard_packets.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

using eboard_test::Lifted;
using eboard_test::Moved;

namespace {

TMove Find(const TBoard& b, int side, int from, int to, TGameType v) {
    TMoveList list;
    FindMoves(b, side, list, v);
    for (const TMove& m : list)
        if (m.from == from && m.To() == to) return m;
    ADD_FAILURE() << "no move " << from << "-" << to;
    return {};
}

// A game built move by move; Play adds after `parent` and returns the node.
struct TTestGame {
    std::unique_ptr<TGame> g = std::make_unique<TGame>();
    TGameType v;
    explicit TTestGame(TGameType variant, const TBoard& start) : v(variant) {
        InitGame(*g, v);
        PositionToKey(start, g->startKey);
    }
    int Play(int parent, int from, int to) {
        TBoard b;
        int side = 0;
        EXPECT_TRUE(PositionAtNode(*g, parent, v, b, side));
        const TAddMoveResult r = AddMoveToTree(*g, parent, Find(b, side, from, to, v), true, v, {});
        EXPECT_NE(r.node, 0);
        return r.node;
    }
    TBoard At(int node) const {
        TBoard b;
        int side = 0;
        EXPECT_TRUE(PositionAtNode(*g, node, v, b, side));
        return b;
    }
    TEBoardContext Shown(int node) const {
        TEBoardContext c;
        c.variant = v;
        int side = 0;
        PositionAtNode(*g, node, v, c.current, side);
        c.side = side;
        return c;
    }
};

} // namespace

TEST(DecideEBoardMove, Cases) {
    // Russian: white 9-12 on the third row, black 21-24 on the sixth.
    TTestGame line(gtRussian, StartPosition64);
    const int n1 = line.Play(0, 9, 13);
    const int n2 = line.Play(n1, 24, 20);
    const int n3 = line.Play(n2, 12, 16);

    // A transposition whose first node in node order hangs below a node of a higher number: slot 1
    // is freed and taken again by the last move of the other line.
    TTestGame trans(gtRussian, StartPosition64);
    const int t1 = trans.Play(0, 11, 15);
    const int t2 = trans.Play(0, 12, 16);
    const int t3 = trans.Play(t2, 24, 20);
    DeleteSubtree(*trans.g, t1);
    const int t4 = trans.Play(t3, 9, 13);
    ASSERT_EQ(t4, 1);
    const int t5 = trans.Play(0, 9, 13);
    const int t6 = trans.Play(t5, 24, 20);
    const int t7 = trans.Play(t6, 12, 16);
    ASSERT_EQ(trans.At(t4), trans.At(t7));

    // White 13 can take 18 (landing on 22 after black 22 was moved away) in this composed position.
    TBoard capture = EmptyBoard;
    capture[13] = 1;
    capture[18] = -1;
    capture[5] = 1;
    capture[30] = -1;
    TTestGame cap(gtRussian, capture);

    TTestGame intl(gtInternational, StartPosition100);

    TEBoardContext busyPlay = line.Shown(n3);
    busyPlay.engineBusy = true;
    TEBoardContext busyAnalysis = line.Shown(n3);
    busyAnalysis.engineBusy = busyAnalysis.analysisMode = true;
    TEBoardContext stoppedAnalysis = line.Shown(n3);
    stoppedAnalysis.analysisMode = stoppedAnalysis.stopRequested = true;
    TEBoardContext blackToMove = line.Shown(n1);

    const TBoard afterN3 = line.At(n3);
    const struct {
        const char* name;
        const TTestGame& game;
        TEBoardContext context;
        TBoard board;
        TEBoardStep step;
        int node;     // GoToNode
        int from, to; // AddMove
        bool stopFirst, startAfter;
    } rows[] = {
        {"one legal move adds it and the engine answers", line, line.Shown(n3), Moved(afterN3, 23, 19),
         TEBoardStep::AddMove, 0, 23, 19, false, true},
        {"a take-back goes to the node", line, line.Shown(n3), line.At(n1), TEBoardStep::GoToNode, n1, 0, 0,
         false, false},
        {"the start position goes to the root", line, line.Shown(n3), StartPosition64, TEBoardStep::GoToNode,
         0, 0, 0, false, false},
        {"the position shown goes to its own node", line, line.Shown(n3), afterN3, TEBoardStep::GoToNode, n3,
         0, 0, false, false},
        {"a transposition goes to the first node in node order", trans, trans.Shown(t7), trans.At(t7),
         TEBoardStep::GoToNode, t4, 0, 0, false, false},
        {"a lifted piece is ignored", line, line.Shown(n3), Lifted(afterN3, 23), TEBoardStep::Ignore, 0, 0, 0,
         false, false},
        {"two moves at once are ignored", line, line.Shown(n3), Moved(Moved(afterN3, 23, 19), 10, 14),
         TEBoardStep::Ignore, 0, 0, 0, false, false},
        {"a move of the side not to move is ignored", line, blackToMove, Moved(line.At(n1), 10, 14),
         TEBoardStep::Ignore, 0, 0, 0, false, false},
        {"a capture is found", cap, cap.Shown(0),
         [&] {
             TBoard b = capture;
             b[13] = 0;
             b[18] = 0;
             b[22] = 1;
             return b;
         }(),
         TEBoardStep::AddMove, 0, 13, 22, false, true},
        {"a quiet move while a capture is due is ignored", cap, cap.Shown(0), Moved(capture, 5, 9),
         TEBoardStep::Ignore, 0, 0, 0, false, false},
        {"a change during a play-mode request is dropped", line, busyPlay, Moved(afterN3, 23, 19),
         TEBoardStep::Ignore, 0, 0, 0, false, false},
        {"a move during analysis stops it first and restarts it", line, busyAnalysis, Moved(afterN3, 23, 19),
         TEBoardStep::AddMove, 0, 23, 19, true, true},
        {"navigation during analysis restarts it", line, busyAnalysis, line.At(n1), TEBoardStep::GoToNode, n1,
         0, 0, true, true},
        {"a stopped analysis stays stopped", line, stoppedAnalysis, Moved(afterN3, 23, 19),
         TEBoardStep::AddMove, 0, 23, 19, false, false},
        {"International uses the 10x10 board", intl, intl.Shown(0), Moved(StartPosition100, 16, 21),
         TEBoardStep::AddMove, 0, 16, 21, false, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const TEBoardDecision d = DecideEBoardMove(*r.game.g, r.context, r.board);
        ASSERT_EQ(d.step, r.step);
        if (r.step == TEBoardStep::GoToNode) {
            EXPECT_EQ(d.node, r.node);
        }
        if (r.step == TEBoardStep::AddMove) {
            EXPECT_EQ(d.move.from, r.from);
            EXPECT_EQ(d.move.To(), r.to);
        }
        EXPECT_EQ(d.stopEngineFirst, r.stopFirst);
        EXPECT_EQ(d.startEngineAfter, r.startAfter);
    }
}

TEST(FirstNodeWithPosition, MatchesTheSlowWalkOnRandomTrees) {
    // Every node's position as PositionAtNode builds it from the root must be found at that node or
    // at an earlier one with the same position.
    std::mt19937 rng(7);
    for (TGameType v : {gtRussian, gtItalian, gtInternational}) {
        TTestGame t(v, StartPositionOf(v));
        for (int i = 0; i < 300; ++i) {
            const int parent = std::uniform_int_distribution<int>(0, t.g->header.nodeCount)(rng);
            if (!t.g->InUse(parent)) continue;
            TBoard b;
            int side = 0;
            PositionAtNode(*t.g, parent, v, b, side);
            TMoveList list;
            FindMoves(b, side, list, v);
            if (list.empty()) continue;
            const TMove m = list[std::uniform_int_distribution<std::size_t>(0, list.size() - 1)(rng)];
            AddMoveToTree(*t.g, parent, m, true, v, {});
            if (i % 37 == 36) {
                const int victim = std::uniform_int_distribution<int>(1, t.g->header.nodeCount)(rng);
                if (t.g->InUse(victim)) DeleteSubtree(*t.g, victim);
            }
        }
        for (int n = 0; n <= t.g->header.nodeCount; ++n) {
            if (!t.g->InUse(n)) continue;
            const TBoard b = t.At(n);
            const int found = FirstNodeWithPosition(*t.g, v, b);
            ASSERT_GE(found, 0);
            ASSERT_LE(found, n);
            EXPECT_EQ(t.At(found), b);
        }
        EXPECT_EQ(FirstNodeWithPosition(*t.g, v, EmptyBoard), -1);
    }
}

TEST(FirstNodeWithPosition, DamagedTreesAreWalkedSafely) {
    TTestGame t(gtRussian, StartPosition64);
    const int a = t.Play(0, 9, 13);
    const int b = t.Play(a, 24, 20);
    const TBoard atB = t.At(b);
    // A loop that does not reach the root, and a parent beyond the node count.
    t.g->nodes[a].parent = static_cast<std::uint16_t>(b);
    EXPECT_EQ(FirstNodeWithPosition(*t.g, gtRussian, atB), -1);
    t.g->nodes[a].parent = 900;
    EXPECT_EQ(FirstNodeWithPosition(*t.g, gtRussian, atB), -1);
    EXPECT_EQ(FirstNodeWithPosition(*t.g, gtRussian, StartPosition64), 0);
}
