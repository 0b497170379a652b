// Move entry and tree editing without a window: the click map, the click ring, adding moves with
// the new-variation question, deleting and promoting lines, and positions at nodes.
#include "app/core/board_geometry.h"
#include "app/core/game_tree_edit.h"
#include "app/core/move_entry.h"
#include "rules/movegen.h"
#include "rules/notation.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

TMoveList Legal(const TBoard& b, int side, TGameType v) {
    TMoveList l;
    FindMoves(b, side, l, v);
    RemoveDuplicateMoves(l, b, v);
    return l;
}

int Sq(int x, int y) {
    return XYToSquare(x, y, 1);
}

// A white man on c3 takes d4 and then either f6 (ending on g7) or d6 (ending on c7).
TBoard ForkedCapture() {
    TBoard b = EmptyBoard;
    b[Sq(2, 2)] = sqMan0;
    b[Sq(3, 3)] = sqMan1;
    b[Sq(5, 5)] = sqMan1;
    b[Sq(3, 5)] = sqMan1;
    b[Sq(7, 7)] = sqMan1; // keeps the position from being a won game; not reachable
    return b;
}

std::unique_ptr<TGame> NewGame(TGameType v = gtRussian) {
    auto g = std::make_unique<TGame>();
    InitGame(*g, v);
    PositionToKey(StartPositionOf(v), g->startKey);
    return g;
}

TMove MoveByText(const TBoard& b, int side, const std::string& text, TGameType v = gtRussian) {
    for (const TMove& m : Legal(b, side, v))
        if (MoveToText(m, v, true, ":") == text) return m;
    ADD_FAILURE() << "no move " << text;
    return {};
}

} // namespace

TEST(BoardClick, TheCentreOfEverySquareMapsBackToItInEveryVariantAndOrientation) {
    for (TGameType v = gtRussian; v <= gtCzech; ++v)
        for (bool reversed : {false, true})
            for (int size : {880, 440, 617, 200}) {
                SCOPED_TRACE(testing::Message()
                             << "variant " << int(v) << " reversed " << reversed << " size " << size);
                for (int sq = 1; sq <= SquaresOf(v); ++sq) {
                    // The drawing's own arithmetic says where the square is.
                    const TSquareCells c = SquareCells(sq, v, reversed);
                    const double k = size / 880.0;
                    const int x = static_cast<int>((c.darkX + c.size / 2) * k);
                    const int y = static_cast<int>((c.y + c.size / 2) * k);
                    EXPECT_EQ(BoardClickToSquare(x, y, size, v, reversed), sq) << sq;
                    const int lx = static_cast<int>((c.lightX + c.size / 2) * k);
                    EXPECT_EQ(BoardClickToSquare(lx, y, size, v, reversed), 0) << "light cell of " << sq;
                }
                // The margin and outside the picture.
                EXPECT_EQ(BoardClickToSquare(size * 10 / 880, size / 2, size, v, reversed), 0);
                EXPECT_EQ(BoardClickToSquare(size / 2, size - 1, size, v, reversed), 0);
                EXPECT_EQ(BoardClickToSquare(-5, -5, size, v, reversed), 0);
            }
    EXPECT_EQ(BoardClickToSquare(100, 100, 0, gtRussian, false), 0);
}

TEST(MoveTouchesSquare, FromToAndEveryCapturedAndLandingSquare) {
    const TBoard b = ForkedCapture();
    const TMoveList l = Legal(b, 0, gtRussian);
    ASSERT_EQ(l.size(), 2u);
    for (const TMove& m : l) {
        EXPECT_TRUE(MoveTouchesSquare(Sq(2, 2), m));
        EXPECT_TRUE(MoveTouchesSquare(Sq(3, 3), m)); // captured
        EXPECT_TRUE(MoveTouchesSquare(Sq(4, 4), m)); // first landing
        EXPECT_FALSE(MoveTouchesSquare(0, m));
        EXPECT_FALSE(MoveTouchesSquare(Sq(7, 7), m));
    }
    TMove plain;
    plain.from = 9;
    plain.squares[0] = 13;
    plain.squares[2] = 20; // stale bytes beyond a plain move do not count
    EXPECT_TRUE(MoveTouchesSquare(13, plain));
    EXPECT_FALSE(MoveTouchesSquare(20, plain));
}

TEST(ClickRing, ScriptsOfClicks) {
    const TBoard fork = ForkedCapture();
    const TMoveList forkMoves = Legal(fork, 0, gtRussian);
    const TBoard start = StartPosition64;
    const TMoveList startMoves = Legal(start, 0, gtRussian);
    struct Script {
        const char* name;
        const TBoard* board;
        const TMoveList* legal;
        std::vector<int> clicks;
        std::string entered; // full text of the move entered by the last click, "" for none
    } scripts[] = {
        {"a shared capture path is narrowed by a later landing square",
         &fork,
         &forkMoves,
         {Sq(2, 2), Sq(4, 4), Sq(6, 6)},
         "c3:g7"},
        {"the captured piece's square narrows", &fork, &forkMoves, {Sq(2, 2), Sq(3, 5)}, "c3:c7"},
        {"shared squares alone leave the choice open", &fork, &forkMoves, {Sq(2, 2), Sq(3, 3), Sq(4, 4)}, ""},
        {"a click no candidate shares leaves nothing", &start, &startMoves, {Sq(2, 2), Sq(4, 2)}, ""},
        {"then a click that is unique by itself enters its move",
         &start,
         &startMoves,
         {Sq(2, 2), Sq(4, 2), Sq(7, 3)},
         "g3-h4"},
        {"from and to", &start, &startMoves, {Sq(2, 2), Sq(1, 3)}, "c3-b4"},
        {"from and to in the other order", &start, &startMoves, {Sq(1, 3), Sq(2, 2)}, "c3-b4"},
    };
    for (const Script& s : scripts) {
        SCOPED_TRACE(s.name);
        TClickRing ring;
        TClickRing::TResult r;
        for (int sq : s.clicks) {
            r = ring.Click(sq, *s.legal, *s.board, 0, 0);
            EXPECT_TRUE(r.stored);
        }
        EXPECT_EQ(r.candidates == 1, !s.entered.empty());
        if (s.entered.empty()) {
            EXPECT_NE(ring.Squares()[(ring.Pos() + TClickRing::Slots - 1) % TClickRing::Slots], 0)
                << "an open choice keeps its clicks";
        } else {
            EXPECT_EQ(MoveToText(r.move, gtRussian, true, ":"), s.entered);
            for (std::uint8_t q : ring.Squares())
                EXPECT_EQ(q, 0) << "an entered move clears the ring";
        }
    }
}

TEST(ClickRing, UntouchedSquaresAreNotStoredAndANewPositionStartsAfresh) {
    const TMoveList legal = Legal(StartPosition64, 0, gtRussian);
    TClickRing ring;
    EXPECT_FALSE(
        ring.Click(Sq(4, 4), legal, StartPosition64, 0, 0).stored); // an empty square no move reaches
    EXPECT_FALSE(ring.Click(Sq(1, 5), legal, StartPosition64, 0, 0).stored); // a piece of the other side
    EXPECT_EQ(ring.Pos(), 0);
    EXPECT_NE(ring.Click(Sq(2, 2), legal, StartPosition64, 0, 0).candidates, 1);

    // After a move was made elsewhere (an engine move, navigation) the old c3 click must not narrow:
    // b4 alone is then touched by a3-b4 and c3-b4 again.
    TBoard after = StartPosition64;
    MakeMove(MoveByText(after, 0, "g3-h4"), after, gtRussian);
    MakeMove(MoveByText(after, 1, "b6-a5"), after, gtRussian);
    const TMoveList later = Legal(after, 0, gtRussian);
    EXPECT_NE(ring.Click(Sq(1, 3), later, after, 0, 2).candidates, 1);
    int stored = 0;
    for (std::uint8_t q : ring.Squares())
        stored += q != 0;
    EXPECT_EQ(stored, 1);
    // The same position at another node, or with the other side to move, is another position too.
    EXPECT_EQ(ring.Click(Sq(0, 2), later, after, 0, 3).candidates, 1);
}

TEST(ClickRing, AWrappedRingStillNarrowsByRecentClicksOnly) {
    const TMoveList legal = Legal(StartPosition64, 0, gtRussian);
    TClickRing ring;
    // 60 clicks that keep the choice open (c3 has two moves) wrap the ring of 41 slots.
    for (int i = 0; i < 60; ++i)
        EXPECT_NE(ring.Click(Sq(2, 2), legal, StartPosition64, 0, 0).candidates, 1);
    EXPECT_EQ(ring.Pos(), 60 % TClickRing::Slots);
    const TClickRing::TResult r = ring.Click(Sq(3, 3), legal, StartPosition64, 0, 0);
    EXPECT_EQ(r.candidates, 1);
    EXPECT_EQ(MoveToText(r.move, gtRussian, true, ":"), "c3-d4");
}

TEST(AddMoveToTree, ScriptedAnswersToTheNewMoveQuestion) {
    const TBoard b = StartPosition64;
    const TMove c3d4 = MoveByText(b, 0, "c3-d4"), c3b4 = MoveByText(b, 0, "c3-b4"),
                g3h4 = MoveByText(b, 0, "g3-h4");
    int asked = 0;
    std::vector<std::string> listed;
    TNewMoveAnswer answer;
    const TNewMoveQuestion ask = [&](const std::vector<std::string>& texts) {
        ++asked;
        listed = texts;
        return answer;
    };

    auto g = NewGame();
    const TAddMoveResult first = AddMoveToTree(*g, 0, c3d4, false, gtRussian, ask);
    EXPECT_EQ(first.node, 1);
    EXPECT_EQ(g->nodes[1].mainLine, 1);
    EXPECT_EQ(asked, 0) << "no question without other moves";

    // The same move again: reused, no question.
    EXPECT_EQ(AddMoveToTree(*g, 0, c3d4, false, gtRussian, ask).node, 1);
    EXPECT_TRUE(AddMoveToTree(*g, 0, c3d4, false, gtRussian, ask).existed);
    EXPECT_EQ(asked, 0);

    answer = {nmCancel, -1};
    EXPECT_EQ(AddMoveToTree(*g, 0, c3b4, false, gtRussian, ask).node, 0);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(listed, std::vector<std::string>{"cd4"});
    EXPECT_EQ(g->header.nodeCount, 1);

    answer = {nmNewVariation, 0};
    const int side = AddMoveToTree(*g, 0, c3b4, false, gtRussian, ask).node;
    EXPECT_EQ(side, 2);
    EXPECT_EQ(g->nodes[2].mainLine, 0);
    EXPECT_EQ(g->nodes[1].mainLine, 1);

    // Replace the side line: the new move takes its place off the main line, so the parent keeps
    // exactly one main-line child.
    answer = {nmReplace, 1};
    const int replaced = AddMoveToTree(*g, 0, g3h4, false, gtRussian, ask).node;
    EXPECT_EQ(replaced, 2) << "the freed slot is reused";
    EXPECT_EQ(g->nodes[2].mainLine, 0);
    EXPECT_EQ(g->nodes[1].mainLine, 1);
    EXPECT_EQ(MoveToText(g->nodes[2], gtRussian, true, ":"), "g3-h4");

    // Replace the main line with everything below it.
    TBoard after = b;
    MakeMove(c3d4, after, gtRussian);
    ASSERT_EQ(AddMoveToTree(*g, 1, MoveByText(after, 1, "b6-a5"), false, gtRussian, ask).node, 3);
    answer = {nmReplace, 0};
    EXPECT_EQ(AddMoveToTree(*g, 0, c3b4, false, gtRussian, ask).node, 1);
    EXPECT_EQ(g->nodes[1].mainLine, 1);
    EXPECT_FALSE(g->InUse(3));

    // Replace with nothing selected acts as a new variation.
    answer = {nmReplace, -1};
    const int extra = AddMoveToTree(*g, 0, c3d4, false, gtRussian, ask).node;
    EXPECT_EQ(extra, 3);
    EXPECT_EQ(g->nodes[extra].mainLine, 0);
    EXPECT_EQ(ListChildNodes(0, *g).size(), 3u);

    // Silent calls add a variation without asking.
    const int before = asked;
    EXPECT_GT(AddMoveToTree(*g, 0, MoveByText(b, 0, "a3-b4"), true, gtRussian, ask).node, 0);
    EXPECT_EQ(asked, before);
}

TEST(AddMoveToTree, AFullTreeAddsNothing) {
    auto g = NewGame();
    // Every slot in use: 1,024 siblings of the first move.
    const TMove m = MoveByText(StartPosition64, 0, "c3-d4");
    for (int n = 1; n <= MaxNodes; ++n) {
        g->nodes[n] = m;
        g->nodes[n].free = 0;
        g->nodes[n].parent = static_cast<std::uint16_t>(n == 1 ? 0 : n - 1);
    }
    g->header.nodeCount = MaxNodes;
    const TAddMoveResult r =
        AddMoveToTree(*g, 5, MoveByText(StartPosition64, 0, "a3-b4"), true, gtRussian, {});
    EXPECT_EQ(r.node, 0);
    EXPECT_TRUE(r.treeFull);
    EXPECT_EQ(ListChildNodes(5, *g).size(), 1u);
}

TEST(PositionAtNode, RandomTreesGiveThePositionOfReplayingTheMoves) {
    std::mt19937 rng(11);
    for (TGameType v : {gtRussian, gtItalian, gtInternational, gtEnglish}) {
        SCOPED_TRACE(int(v));
        auto g = NewGame(v);
        struct Known {
            TBoard board;
            int side;
        };
        std::vector<Known> known(NodeSlots);
        known[0] = {StartPositionOf(v), 0};
        std::vector<int> nodes{0};
        for (int i = 0; i < 400; ++i) {
            // Grow from a random node: mostly the newest, sometimes an older one (a variation).
            const int at = rng() % 4 ? nodes.back() : nodes[rng() % nodes.size()];
            const TMoveList l = Legal(known[at].board, known[at].side, v);
            if (l.empty()) continue;
            const TMove m = l[rng() % l.size()];
            const TAddMoveResult r = AddMoveToTree(*g, at, m, true, v, {});
            ASSERT_GT(r.node, 0);
            if (r.existed) continue;
            TBoard b = known[at].board;
            MakeMove(m, b, v);
            known[r.node] = {b, 1 - known[at].side};
            nodes.push_back(r.node);
        }
        for (int n : nodes) {
            TBoard b;
            int side = -1;
            ASSERT_TRUE(PositionAtNode(*g, n, v, b, side));
            EXPECT_EQ(b, known[n].board) << n;
            EXPECT_EQ(side, known[n].side) << n;
        }
    }
}

TEST(PositionAtNode, RefusesNodesNotInUseAndPathsThatNeverReachTheRoot) {
    auto g = NewGame();
    const TMove m = MoveByText(StartPosition64, 0, "c3-d4");
    ASSERT_EQ(AddMoveToTree(*g, 0, m, true, gtRussian, {}).node, 1);
    TBoard b = EmptyBoard;
    int side = 7;
    EXPECT_FALSE(PositionAtNode(*g, 2, gtRussian, b, side));
    EXPECT_FALSE(PositionAtNode(*g, 5000, gtRussian, b, side));
    EXPECT_FALSE(PositionAtNode(*g, -1, gtRussian, b, side));
    // A damaged stored game whose parents form a loop.
    g->nodes[2] = m;
    g->nodes[2].free = 0;
    g->nodes[2].parent = 3;
    g->nodes[3] = m;
    g->nodes[3].free = 0;
    g->nodes[3].parent = 2;
    g->header.nodeCount = 3;
    EXPECT_FALSE(PositionAtNode(*g, 3, gtRussian, b, side));
    EXPECT_EQ(b, EmptyBoard);
    EXPECT_EQ(side, 7);
    // A start with the second side to move.
    g->header.startSide = 1;
    ASSERT_TRUE(PositionAtNode(*g, 0, gtRussian, b, side));
    EXPECT_EQ(side, 1);
}

namespace {
// Main line 1-2-3-4; at node 2 a side line 5-6 with its own branch 7 at 5; at the root a second
// first move 8.
//   0 - 1 - 2 - 3 - 4
//   |       +- 5 - 6
//   8          +- 7
std::unique_ptr<TGame> NestedTree() {
    auto g = NewGame();
    const struct {
        int node, parent, mainLine;
    } shape[] = {{1, 0, 1}, {2, 1, 1}, {3, 2, 1}, {4, 3, 1}, {5, 2, 0}, {6, 5, 1}, {7, 5, 0}, {8, 0, 0}};
    for (const auto& s : shape) {
        g->nodes[s.node] = MoveByText(StartPosition64, 0, "c3-d4"); // the moves do not matter here
        g->nodes[s.node].free = 0;
        g->nodes[s.node].parent = static_cast<std::uint16_t>(s.parent);
        g->nodes[s.node].mainLine = static_cast<std::uint8_t>(s.mainLine);
        g->commentAfter[s.node] = "c" + std::to_string(s.node);
    }
    g->header.nodeCount = 8;
    return g;
}
std::vector<int> MainLine(const TGame& g) {
    std::vector<int> line;
    for (int n = MainLineEnd(g); n != 0; n = g.nodes[n].parent)
        line.insert(line.begin(), n);
    return line;
}
} // namespace

TEST(PromoteLine, PromotesAtTheNearestBranchPoint) {
    const struct {
        int node;
        bool changed;
        std::vector<int> mainLine;
    } rows[] = {
        {4, false, {1, 2, 3, 4}}, // already the main line
        {6, false, {1, 2, 3, 4}}, // 6 is already the main line at its own branch point, 5
        {5, true, {1, 2, 5, 6}},  // the branch at 2
        {7, true, {1, 2, 3, 4}},  // promoted within its side line only
        {8, true, {8}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.node);
        auto g = NestedTree();
        EXPECT_EQ(PromoteLine(*g, r.node), r.changed);
        EXPECT_EQ(MainLine(*g), r.mainLine);
        for (int parent = 0; parent <= 8; ++parent) {
            int mains = 0;
            for (std::uint16_t c : ListChildNodes(parent, *g))
                mains += g->nodes[c].mainLine;
            EXPECT_LE(mains, 1) << "parent " << parent;
        }
    }
    auto g = NestedTree();
    ASSERT_TRUE(PromoteLine(*g, 7));
    EXPECT_EQ(ListChildNodes(5, *g).front(), 7);
    EXPECT_FALSE(PromoteLine(*g, 0));
}

TEST(DeleteLine, FreesTheNodeAndEverythingBelowAndLowersTheCount) {
    const struct {
        int node;
        int parent;
        std::vector<int> left;
        int count;
    } rows[] = {
        {5, 2, {1, 2, 3, 4, 8}, 8},    {8, 0, {1, 2, 3, 4, 5, 6, 7}, 7}, {1, 0, {8}, 8},
        {3, 2, {1, 2, 5, 6, 7, 8}, 8}, {7, 5, {1, 2, 3, 4, 5, 6, 8}, 8},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.node);
        auto g = NestedTree();
        EXPECT_EQ(DeleteLine(*g, r.node), r.parent);
        std::vector<int> left;
        for (int n = 1; n <= MaxNodes; ++n)
            if (g->InUse(n)) left.push_back(n);
        EXPECT_EQ(left, r.left);
        EXPECT_EQ(g->header.nodeCount, r.count);
        for (int n = 1; n <= 8; ++n) {
            if (!g->InUse(n)) {
                EXPECT_TRUE(g->commentAfter[n].empty());
            }
        }
    }
    auto g = NestedTree();
    EXPECT_EQ(DeleteLine(*g, 0), -1) << "the root is not deleted";
    EXPECT_EQ(DeleteLine(*g, 9), -1);
    EXPECT_EQ(HighestNodeInUse(*g), 8);
}

TEST(GameTreeEdit, MarksCommentsAndListSteps) {
    auto g = NestedTree();
    SetNodeAnnotation(*g, 3, 1, 5);
    SetNodeAnnotation(*g, 3, 2, 7);
    SetNodeAnnotation(*g, 3, 1, 2);
    SetNodeAnnotation(*g, 3, 3, 1); // no such kind
    EXPECT_EQ(MoveMarkOf(g->nodes[3].annotation), 2);
    EXPECT_EQ(PositionMarkOf(g->nodes[3].annotation), 7);
    g->nodes[4].annotation = 0xAB00;
    SetNodeAnnotation(*g, 4, 2, 1);
    EXPECT_EQ(g->nodes[4].annotation, 0xAB10) << "the other bits are kept";

    g->commentBefore[MaxNodes] = "last";
    ClearAllComments(*g);
    for (int n = 1; n <= MaxNodes; ++n)
        EXPECT_TRUE(g->commentAfter[n].empty() && g->commentBefore[n].empty());

    EXPECT_EQ(StepListPosition(0, 0, 1), 0) << "an empty list does nothing";
    EXPECT_EQ(StepListPosition(3, 0, -1), 0);
    EXPECT_EQ(StepListPosition(5, 5, 1), 1);
    EXPECT_EQ(StepListPosition(1, 5, -1), 5);
    EXPECT_EQ(StepListPosition(2, 5, 1), 3);
}
