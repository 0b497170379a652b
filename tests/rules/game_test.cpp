#include "rules/game.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {
std::unique_ptr<TGame> FreshGame() {
    auto g = std::make_unique<TGame>();
    InitGame(*g, gtRussian);
    return g;
}

// Adds node `n` as a child of `parent`.
void AddNode(TGame& g, int n, int parent, bool mainLine) {
    g.nodes[n].free = 0;
    g.nodes[n].parent = static_cast<std::uint16_t>(parent);
    g.nodes[n].mainLine = mainLine;
    if (n > g.header.nodeCount) g.header.nodeCount = static_cast<std::uint16_t>(n);
}
} // namespace

TEST(Game, InitGameKeepsNamesAndPlaceButClearsTheRest) {
    auto g = std::make_unique<TGame>();
    g->header.white = 5;
    g->header.black = 6;
    g->header.fullMoves = 30;
    g->header.offset = 1000;
    g->header.length = 77;
    g->header.result = 2;
    g->header.nodeCount = 40;
    g->header.year = 1999;
    g->white = "A";
    g->commentAfter[3] = "c";
    g->nodes[3].annotation = 0x21;
    g->startKey[0] = 9;
    InitGame(*g, gtItalian);
    EXPECT_EQ(g->header.white, 5);
    EXPECT_EQ(g->header.black, 6);
    EXPECT_EQ(g->header.fullMoves, 30);
    EXPECT_EQ(g->header.offset, 1000u);
    EXPECT_EQ(g->header.length, 77u);
    EXPECT_EQ(g->header.result, 0);
    EXPECT_EQ(g->header.nodeCount, 0);
    EXPECT_EQ(g->header.year, 0);
    EXPECT_EQ(g->header.variant, gtItalian);
    EXPECT_TRUE(g->white.empty());
    EXPECT_TRUE(g->commentAfter[3].empty());
    EXPECT_EQ(g->nodes[3].annotation, 0);
    EXPECT_EQ(g->nodes[3].free, 1);
    EXPECT_EQ(g->nodes[0].free, 0);
    EXPECT_EQ(g->startKey[0], 9) << "the start key is the caller's";
    EXPECT_EQ(MainLineLength(*g), 0);
}

TEST(Game, ListChildNodesPutsTheMainLineChildFirst) {
    auto g = FreshGame();
    AddNode(*g, 2, 0, false);
    AddNode(*g, 3, 0, false);
    AddNode(*g, 5, 0, false);
    AddNode(*g, 9, 0, true); // main-line child with the highest number
    AddNode(*g, 4, 2, true); // a grandchild, not listed
    const TNodeList list = ListChildNodes(0, *g);
    EXPECT_EQ(list, (TNodeList{9, 3, 5, 2}));
    g->nodes[3].free = 1;
    EXPECT_EQ(ListChildNodes(0, *g), (TNodeList{9, 5, 2}));
    EXPECT_EQ(ListChildNodes(2, *g), (TNodeList{4}));
    EXPECT_TRUE(ListChildNodes(4, *g).empty());
}

TEST(Game, ListChildNodesHoldsMoreThan255Children) {
    auto g = FreshGame();
    for (int n = 1; n <= 600; ++n)
        AddNode(*g, n, 0, n == 600);
    const TNodeList list = ListChildNodes(0, *g);
    ASSERT_EQ(list.size(), 600u);
    EXPECT_EQ(list[0], 600);
    EXPECT_EQ(list[599], 1);
}

TEST(Game, MainLineLengthFollowsMainLineChildren) {
    auto g = FreshGame();
    AddNode(*g, 1, 0, true);
    AddNode(*g, 2, 1, true);
    AddNode(*g, 3, 2, true);
    AddNode(*g, 4, 2, false); // a side line of the third ply
    AddNode(*g, 5, 4, true);
    AddNode(*g, 6, 5, true);
    EXPECT_EQ(MainLineLength(*g), 3);
    // A parent with a higher number than its child: slot reuse.
    AddNode(*g, 8, 3, true);
    AddNode(*g, 7, 8, true);
    EXPECT_EQ(MainLineLength(*g), 5);
}

// The main line as the plain walk over ListChildNodes finds it, on random trees with several
// main-line flags under one parent, free slots, parents above their children and cycles.
TEST(Game, MainLineLengthAgreesWithTheChildListWalk) {
    std::mt19937 rng(11);
    auto g = FreshGame();
    for (int round = 0; round < 300; ++round) {
        InitGame(*g, gtRussian);
        const int count = 1 + static_cast<int>(rng() % 60);
        for (int n = 1; n <= count; ++n)
            AddNode(*g, n, static_cast<int>(rng() % (round % 3 == 0 ? count + 1 : n)), rng() % 3 == 0);
        for (int n = 1; n <= count; ++n)
            if (rng() % 8 == 0) g->nodes[n].free = 1;
        int walk = 0;
        for (int node = 0; walk <= MaxNodes; ++walk) {
            const TNodeList children = ListChildNodes(node, *g);
            if (children.empty()) break;
            node = children[0];
        }
        ASSERT_EQ(MainLineLength(*g), walk) << "round " << round;
    }
}

TEST(Move, ToStaysInsideADamagedRecord) {
    TMove m;
    m.captures = 200; // claims more pairs than a record holds
    m.squares[39] = 17;
    EXPECT_EQ(m.To(), 17);
    m.captures = 0;
    m.squares[0] = 5;
    EXPECT_EQ(m.To(), 5);
}
