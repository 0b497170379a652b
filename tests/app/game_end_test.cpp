#include "app/core/game_end.h"
#include "app/core/language.h"
#include "app/core/main_timer.h"
#include "session_fixture.h"

#include <random>
#include <set>

using namespace app_test;

namespace {
// Two kings each way: every move is a king move, so no move ends the count of the move limit.
struct TKingWalk {
    TBoard start;
    std::vector<TMove> moves;
};

// A walk of `plies` king moves without a capture and without a position standing twice, found by a
// seeded random walk that retries from the start when it runs into a corner.
TKingWalk KingWalk(TGameType v, int plies) {
    std::mt19937 rng(99);
    const TBoard start = Board({{1, sqKing0}, {3, sqKing0}, {30, sqKing1}, {32, sqKing1}});
    for (int attempt = 0; attempt < 500; ++attempt) {
        TKingWalk walk{start, {}};
        std::set<std::pair<std::vector<std::int8_t>, int>> seen;
        TBoard b = start;
        int side = 0;
        seen.insert({{b.sq.begin(), b.sq.end()}, side});
        while (static_cast<int>(walk.moves.size()) < plies) {
            TMoveList list;
            FindMoves(b, side, list, v);
            std::shuffle(list.begin(), list.end(), rng);
            bool moved = false;
            for (const TMove& m : list) {
                if (m.captures) break;
                TBoard next = b;
                MakeMove(m, next, v);
                TMoveList reply;
                FindMoves(next, 1 - side, reply, v);
                if (reply.empty() || reply[0].captures) continue;
                if (!seen.insert({{next.sq.begin(), next.sq.end()}, 1 - side}).second) continue;
                walk.moves.push_back(m);
                b = next;
                side = 1 - side;
                moved = true;
                break;
            }
            if (!moved) break;
        }
        if (static_cast<int>(walk.moves.size()) == plies) return walk;
    }
    ADD_FAILURE() << "no king walk found";
    return {};
}

// Kings that come back: side 0 on a cycle of `period0` moves, side 1 on a cycle of `period1`, both
// on free diagonals, found by search so the test does not depend on the square numbering.
std::optional<std::pair<TBoard, std::vector<TMove>>> Cycles(int period0, int period1, int plies) {
    for (int k = 1; k <= 32; ++k)
        for (int s = 1; s <= 32; ++s) {
            if (k == s) continue;
            const TBoard start = Board({{k, sqKing0}, {s, sqKing1}});
            // The squares each king visits: a straight shuttle for two, a back-and-forth along one
            // diagonal (k -> x -> y -> k) for three.
            TMoveList first0, first1;
            FindMoves(start, 0, first0, gtRussian);
            FindMoves(start, 1, first1, gtRussian);
            for (const TMove& a : first0)
                for (const TMove& a2 : first0)
                    for (const TMove& c : first1) {
                        if (a.captures || c.captures) continue;
                        std::vector<int> cyc0 = {k, a.To()};
                        if (period0 == 3) {
                            if (a2.To() == a.To() || a2.captures) continue;
                            cyc0 = {k, a.To(), a2.To()};
                        } else if (&a2 != &first0[0]) {
                            continue;
                        }
                        const std::vector<int> cyc1 = {s, c.To()};
                        TBoard b = start;
                        std::vector<TMove> moves;
                        bool ok = true;
                        for (int p = 0; p < plies && ok; ++p) {
                            const int side = p % 2;
                            const int i = p / 2;
                            const std::vector<int>& cyc = side ? cyc1 : cyc0;
                            const int period = side ? period1 : period0;
                            const auto m =
                                FindMove(b, side, cyc[i % period], cyc[(i + 1) % period], gtRussian);
                            ok = m && !m->captures;
                            if (ok) {
                                moves.push_back(*m);
                                MakeMove(*m, b, gtRussian);
                            }
                        }
                        if (ok) return std::pair{start, moves};
                    }
        }
    return std::nullopt;
}

class GameEnd : public testing::Test {
  protected:
    // Plays `n` of `moves` from `start` into the game session and tests for its end.
    bool OverAfter(const TBoard& start, const std::vector<TMove>& moves, int n, TGameType v) {
        ResetGame(start, 0, v, true);
        for (int i = 0; i < n; ++i)
            PlayInGame(moves[i]);
        return CheckGameOver();
    }
};
} // namespace

TEST_F(GameEnd, NoLegalMoveLosesForTheSideToMove) {
    struct Row {
        TGameType variant;
        int side;
        std::uint8_t result;
        int phrase;
    } rows[] = {
        {gtRussian, 0, grBlackWins, 54}, // side 0 is White
        {gtRussian, 1, grWhiteWins, 55},
        {gtEnglish, 0, grWhiteWins, 55}, // side 0 is Black
        {gtPool, 1, grBlackWins, 54},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << int(r.variant) << " side " << r.side);
        // Only the other side has a piece.
        const TBoard b = Board({{r.side == 0 ? 30 : 3, r.side == 0 ? sqKing1 : sqKing0}});
        ResetGame(b, r.side, r.variant, true);
        ClockRunning = 1;
        EXPECT_TRUE(CheckGameOver());
        EXPECT_EQ(CurrentGame().header.result, r.result);
        EXPECT_EQ(ClockRunning.load(), 0);
        const auto message = TakeGameMessage();
        ASSERT_TRUE(message);
        EXPECT_EQ(message->text, Phrase(r.phrase));
        EXPECT_TRUE(TakeFlag(PanelRefreshPending));
    }
}

TEST_F(GameEnd, AResultIsNeverReplacedAndAnalysisSetsNone) {
    const TBoard lost = Board({{30, sqKing1}});
    ResetGame(lost, 0, gtRussian, false);
    EXPECT_TRUE(CheckGameOver()); // over, but analysis mode records nothing
    EXPECT_EQ(CurrentGame().header.result, grNone);
    EXPECT_FALSE(TakeGameMessage());

    ResetGame(StartPosition64, 0, gtRussian, true);
    EditGame().header.result = grWhiteOnTime;
    EXPECT_FALSE(CheckGameOver());
    EXPECT_EQ(CurrentGame().header.result, grWhiteOnTime);
    AutoPlayActive = 1; // an engine match ends a game that has a result
    EXPECT_TRUE(CheckGameOver());
    AutoPlayActive = 0;
}

TEST_F(GameEnd, ThirdRepetitionWithTheSameSideToMoveDraws) {
    // Both kings shuttle: the start position with side 0 to move returns every four plies.
    const auto shuttle = Cycles(2, 2, 8);
    ASSERT_TRUE(shuttle);
    EXPECT_FALSE(OverAfter(shuttle->first, shuttle->second, 4, gtRussian));
    EXPECT_FALSE(OverAfter(shuttle->first, shuttle->second, 7, gtRussian));
    EXPECT_TRUE(OverAfter(shuttle->first, shuttle->second, 8, gtRussian));
    EXPECT_EQ(CurrentGame().header.result, grDraw);
    EXPECT_EQ(TakeGameMessage()->text, Phrase(147));
}

TEST_F(GameEnd, ThePositionWithTheOtherSideToMoveDoesNotCount) {
    // Side 0 goes round three squares, side 1 shuttles between two: the start board stands with
    // side 1 to move after 5 and 17 plies and with side 0 to move after 12 and 24.
    const auto cycles = Cycles(3, 2, 24);
    ASSERT_TRUE(cycles);
    const auto& [start, moves] = *cycles;
    TBoard b = start;
    for (int i = 0; i < 17; ++i)
        MakeMove(moves[i], b, gtRussian);
    ASSERT_EQ(b, start); // the fourth time the board stands, the second with side 1 to move
    EXPECT_FALSE(OverAfter(start, moves, 17, gtRussian));
    EXPECT_FALSE(OverAfter(start, moves, 23, gtRussian));
    EXPECT_TRUE(OverAfter(start, moves, 24, gtRussian));
}

TEST_F(GameEnd, MoveLimitsCountKingMovesSinceTheLastCaptureOrManMove) {
    struct Row {
        TGameType variant;
        int plies;
        bool over;
    } rows[] = {
        {gtRussian, 29, false}, {gtRussian, 30, true},  {gtEnglish, 99, false},
        {gtEnglish, 100, true}, {gtItalian, 99, false}, {gtCzech, 30, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << int(r.variant) << ": " << r.plies);
        const TKingWalk walk = KingWalk(r.variant, r.plies);
        ASSERT_EQ(static_cast<int>(walk.moves.size()), r.plies);
        EXPECT_EQ(OverAfter(walk.start, walk.moves, r.plies, r.variant), r.over);
        EXPECT_EQ(CurrentGame().header.result, r.over ? grDraw : grNone);
    }
}

TEST_F(GameEnd, AManMoveRestartsTheCount) {
    const TKingWalk walk = KingWalk(gtRussian, 40);
    ResetGame(walk.start, 0, gtRussian, true);
    for (int i = 0; i < 40; ++i)
        PlayInGame(walk.moves[i]);
    EXPECT_EQ(PliesSinceProgress(CurrentGame(), CurrentNode(), gtRussian), 40);
    EXPECT_EQ(PliesSinceProgress(CurrentGame(), CurrentGame().nodes[CurrentNode()].parent, gtRussian), 39);

    ResetGame(StartPosition64, 0, gtRussian, true);
    TMoveList list;
    FindMoves(StartPosition64, 0, list, gtRussian);
    PlayInGame(list[0]);
    EXPECT_EQ(PliesSinceProgress(CurrentGame(), CurrentNode(), gtRussian), 0);
}

TEST_F(GameEnd, DrawOfferIsAcceptedOnlyInAQuietEndgame) {
    std::mt19937 coin(3);
    const TBoard few = Board({{1, sqKing0}, {32, sqKing1}});
    int accepted = 0;
    for (int i = 0; i < 20; ++i) {
        ResetGame(few, 0, gtRussian, true);
        EngineInfo.Update([](TEngineInfo& info) { info.Bound = 4; });
        accepted += OfferDraw(coin);
    }
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, 20);
    for (int i = 0; i < 20; ++i) {
        ResetGame(StartPosition64, 0, gtRussian, true); // 24 pieces
        EXPECT_FALSE(OfferDraw(coin));
        ResetGame(few, 0, gtRussian, true);
        EngineInfo.Update([](TEngineInfo& info) { info.Bound = 5; });
        EXPECT_FALSE(OfferDraw(coin));
        EngineInfo.Update([](TEngineInfo& info) { info.Bound = -100; });
        EditGame().header.result = grWhiteWins;
        EXPECT_FALSE(OfferDraw(coin));
        EXPECT_EQ(CurrentGame().header.result, grWhiteWins);
    }
}
