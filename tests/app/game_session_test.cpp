// The game session: its operations keep the position at the node shown, refuse what would break
// that, and hand workers consistent copies.

#include "app/core/game_session.h"
#include "rules/notation.h"
#include "session_fixture.h"

#include <future>
#include <thread>

using namespace app_test;

namespace {
class GameSessionTest : public testing::Test {
  protected:
    void SetUp() override { ResetGame(StartPosition64, 0, gtRussian, false); }
    TGameSession& s = GameSession();

    static TMoveList Legal(const TBoard& b, int side, TGameType v = gtRussian) {
        TMoveList list;
        FindMoves(b, side, list, v);
        return list;
    }
    // The session's invariant: the board and side are those of replaying the game to the node.
    static void ExpectConsistent(const TSessionSnapshot& at) {
        ASSERT_TRUE(at.game);
        TBoard board;
        int side = -1;
        ASSERT_TRUE(PositionAtNode(*at.game, at.node, at.variant, board, side)) << "node " << at.node;
        EXPECT_EQ(board, at.board) << "node " << at.node;
        EXPECT_EQ(side, at.side) << "node " << at.node;
    }
};

TNewMoveQuestion Answer(int result, int selected, int* asked) {
    return [=](const std::vector<std::string>&) {
        ++*asked;
        return TNewMoveAnswer{result, selected};
    };
}
} // namespace

TEST_F(GameSessionTest, PlayMoveGoesToTheNewNodeAndRefusesWhatIsNotLegalThere) {
    const TMoveList first = Legal(StartPosition64, 0);
    const TAddMoveResult r = s.PlayMove(first[0], true);
    ASSERT_EQ(r.node, 1);
    EXPECT_EQ(s.CurrentNode(), 1);
    EXPECT_EQ(s.SideToMove(), 1);
    TBoard after = StartPosition64;
    MakeMove(first[0], after, gtRussian);
    EXPECT_EQ(s.CurrentBoard(), after);
    ExpectConsistent(s.SnapshotWithGame());

    // Side 0's move again, now that side 1 is to move; and a move that is nobody's.
    EXPECT_EQ(s.PlayMove(first[1], true).node, 0);
    TMove nonsense;
    nonsense.from = 1;
    nonsense.squares[0] = 32;
    EXPECT_EQ(s.PlayMove(nonsense, true).node, 0);
    EXPECT_EQ(s.CurrentNode(), 1);
    EXPECT_EQ(CurrentGame().header.nodeCount, 1);
}

TEST_F(GameSessionTest, TheNewMoveQuestionIsAskedOnlyWhenAnotherMoveFollows) {
    const TMoveList first = Legal(StartPosition64, 0);
    int asked = 0;
    ASSERT_EQ(s.PlayMove(first[0], false, Answer(nmCancel, -1, &asked)).node, 1);
    EXPECT_EQ(asked, 0) << "nothing followed yet";
    ASSERT_TRUE(s.GoToNode(0));
    EXPECT_EQ(s.PlayMove(first[0], false, Answer(nmCancel, -1, &asked)).node, 1) << "already there";
    EXPECT_EQ(asked, 0);
    ASSERT_TRUE(s.GoToNode(0));
    EXPECT_EQ(s.PlayMove(first[1], false, Answer(nmCancel, -1, &asked)).node, 0);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(s.CurrentNode(), 0);
    const TAddMoveResult r = s.PlayMove(first[1], false, Answer(nmNewVariation, -1, &asked));
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(r.node, 2);
    EXPECT_EQ(CurrentGame().nodes[2].mainLine, 0);
    ExpectConsistent(s.SnapshotWithGame());
}

TEST_F(GameSessionTest, AGameChangedWhileTheQuestionIsOpenCancelsTheMove) {
    const TMoveList first = Legal(StartPosition64, 0);
    ASSERT_NE(s.PlayMove(first[0], true).node, 0);
    ASSERT_TRUE(s.GoToNode(0));
    // The question runs without the lock: meanwhile another move joins the tree here.
    const TNewMoveQuestion meanwhile = [&](const std::vector<std::string>&) {
        EXPECT_TRUE(s.GoToNode(0));
        EXPECT_NE(s.PlayMove(first[2], true).node, 0);
        EXPECT_TRUE(s.GoToNode(0));
        return TNewMoveAnswer{nmReplace, 0};
    };
    EXPECT_EQ(s.PlayMove(first[1], false, meanwhile).node, 0);
    EXPECT_EQ(s.CurrentNode(), 0);
    EXPECT_EQ(ListChildNodes(0, CurrentGame()).size(), 2u) << "the first move was not replaced";
}

TEST_F(GameSessionTest, TheQuestionIsAskedWithoutTheLock) {
    const TMoveList first = Legal(StartPosition64, 0);
    ASSERT_NE(s.PlayMove(first[0], true).node, 0);
    ASSERT_TRUE(s.GoToNode(0));
    // Another thread reads the session while the question is open, as the engine thread may.
    bool read = false;
    const TNewMoveQuestion ask = [&](const std::vector<std::string>&) {
        auto other = std::async(std::launch::async, [&] { return s.Snapshot().node; });
        read = other.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
        EXPECT_TRUE(read) << "the lock was held across the question";
        if (!read) std::abort(); // the reader would never finish
        return TNewMoveAnswer{nmNewVariation, -1};
    };
    EXPECT_NE(s.PlayMove(first[1], false, ask).node, 0);
    EXPECT_TRUE(read);
}

TEST_F(GameSessionTest, GoToNodeRefusesNodesThatAreNotInUseOrDoNotReachTheRoot) {
    const TMoveList first = Legal(StartPosition64, 0);
    ASSERT_EQ(s.PlayMove(first[0], true).node, 1);
    for (const int bad : {-1, 2, 500, MaxNodes + 1}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(s.GoToNode(bad));
        EXPECT_EQ(s.CurrentNode(), 1);
    }
    EditGame().nodes[1].parent = 1; // a damaged chain
    EXPECT_FALSE(s.GoToNode(1));
    EXPECT_TRUE(s.GoToNode(0));
    EXPECT_EQ(s.CurrentBoard(), StartPosition64);
}

TEST_F(GameSessionTest, NewGameStartsFromTheGivenPositionAndSide) {
    ASSERT_NE(s.PlayMove(Legal(StartPosition64, 0)[0], true).node, 0);
    EditGame().white = "Someone";
    const TBoard b = Board({{1, sqKing0}, {32, sqMan1}});
    s.NewGame(b, 1);
    EXPECT_EQ(s.CurrentNode(), 0);
    EXPECT_EQ(s.SideToMove(), 1);
    EXPECT_EQ(s.CurrentBoard(), b);
    EXPECT_EQ(CurrentGame().header.nodeCount, 0);
    EXPECT_EQ(CurrentGame().header.startSide, 1);
    EXPECT_EQ(CurrentGame().header.variant, gtRussian);
    EXPECT_EQ(CurrentGame().white, "");
    TBoard start;
    KeyToPosition(CurrentGame().startKey, start);
    EXPECT_EQ(start, b);
}

TEST_F(GameSessionTest, LoadGameShowsItsNodeOrTheRootAndRefusesAnotherVariant) {
    auto g = std::make_unique<TGame>();
    InitGame(*g, gtRussian);
    PositionToKey(StartPosition64, g->startKey);
    const TMoveList first = Legal(StartPosition64, 0);
    TBoard b = StartPosition64;
    ASSERT_EQ(AddMoveToTree(*g, 0, first[3], true, gtRussian, {}).node, 1);
    MakeMove(first[3], b, gtRussian);
    ASSERT_EQ(AddMoveToTree(*g, 1, Legal(b, 1)[0], true, gtRussian, {}).node, 2);
    g->white = "Loaded";

    g->header.nodeToShow = 1;
    ASSERT_TRUE(s.LoadGame(*g));
    EXPECT_EQ(s.CurrentNode(), 1);
    EXPECT_EQ(s.CurrentBoard(), b);
    EXPECT_EQ(CurrentGame().white, "Loaded");
    ExpectConsistent(s.SnapshotWithGame());

    g->header.nodeToShow = 700; // not a node of the game
    ASSERT_TRUE(s.LoadGame(*g));
    EXPECT_EQ(s.CurrentNode(), 0);
    EXPECT_EQ(s.CurrentBoard(), StartPosition64);

    g->header.variant = gtEnglish;
    g->white = "Other";
    EXPECT_FALSE(s.LoadGame(*g));
    EXPECT_EQ(CurrentGame().white, "Loaded");
}

TEST_F(GameSessionTest, SetVariantSetsTheProcessVariantAndTheGamesByteAndKeepsTheGame) {
    ASSERT_NE(s.PlayMove(Legal(StartPosition64, 0)[0], true).node, 0);
    s.SetVariant(gtCzech);
    EXPECT_EQ(s.CurrentVariant(), gtCzech);
    EXPECT_EQ(CurrentVariant.load(), gtCzech);
    EXPECT_EQ(CurrentGame().header.variant, gtCzech);
    EXPECT_EQ(s.CurrentNode(), 1);
    s.SetVariant(0); // not a variant
    EXPECT_EQ(s.CurrentVariant(), gtCzech);
    s.SetVariant(gtRussian);
}

TEST_F(GameSessionTest, TheEngineMovePlaysOnlyWhereItsSnapshotWasTaken) {
    const TMoveList first = Legal(StartPosition64, 0);
    const TSessionSnapshot root = s.Snapshot();
    EXPECT_EQ(root.node, 0);
    EXPECT_EQ(root.board, StartPosition64);
    EXPECT_FALSE(root.game);
    ASSERT_EQ(s.PlayEngineMove(root, first[0]).node, 1);
    EXPECT_EQ(s.PlayEngineMove(root, first[1]).node, 0) << "the game moved on";
    // The same node with another position (a new game set up meanwhile) is not the same place.
    s.NewGame(Board({{5, sqMan0}, {28, sqMan1}}), 0);
    EXPECT_EQ(s.PlayEngineMove(root, first[1]).node, 0);
    EXPECT_EQ(s.CurrentNode(), 0);
}

// A worker's snapshots are always a position of the game at its node, while the interface thread
// plays, walks back and starts new games.
TEST_F(GameSessionTest, SnapshotsAreConsistentWhileTheGameChanges) {
    std::atomic<bool> done{false};
    std::atomic<int> taken{0};
    std::thread worker([&] {
        while (!done.load()) {
            ExpectConsistent(s.SnapshotWithGame());
            ++taken;
        }
    });
    std::mt19937 rng(5);
    while (taken.load() < 200) {
        for (int i = 0; i < 50; ++i) {
            const TSessionSnapshot at = s.Snapshot();
            const TMoveList moves = Legal(at.board, at.side);
            if (moves.empty() || CurrentGame().header.nodeCount > 600) {
                s.NewGame(StartPosition64, 0);
                continue;
            }
            if (rng() % 5 == 0 && at.node != 0)
                s.GoToNode(0);
            else
                s.PlayMove(moves[rng() % moves.size()], true);
        }
    }
    done = true;
    worker.join();
}
