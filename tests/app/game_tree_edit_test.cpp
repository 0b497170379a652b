// Tree editing without a window: adding moves with the new-variation question, deleting and
// promoting lines, marks and comments, and positions at nodes.
#include "app/core/game_tree_edit.h"
#include "tree_test_util.h"

#include <gtest/gtest.h>

#include <random>

using namespace tree_test;

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
