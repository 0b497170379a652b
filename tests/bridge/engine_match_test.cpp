// Engine matches: the built-in engine against the Oskeen stand-in on short games, each continued
// from a source game and stored with its comments and the score.

#include "bridge_test_util.h"
#include "tests/app/session_fixture.h"
#include "tests/support/positions.h"
#include "tests/support/temp_dir.h"

#include "app/core/engine_match.h"
#include "app/core/game_end.h"
#include "app/core/language.h"

using namespace bridge_test;
using test_support::BoardFromSquares;

namespace {

struct TSourceGame {
    const char* position;
    int side = 0;
    std::uint8_t result = grNone;
};

// A source database of set-up games without moves.
void WriteSource(const std::string& name, const std::vector<TSourceGame>& games) {
    TGameDatabase db;
    ASSERT_TRUE(CreateDatabase(name, db));
    for (const TSourceGame& s : games) {
        auto g = std::make_unique<TGame>();
        InitGame(*g, gtRussian);
        PositionToKey(BoardFromSquares(s.position), g->startKey);
        g->header.startSide = static_cast<std::uint8_t>(s.side);
        g->header.result = s.result;
        g->white = "Source White";
        g->black = "Source Black";
        ASSERT_EQ(WriteGame(*g, 0, db, true), TDbStatus::Ok);
    }
    CloseDatabase(db);
}

std::vector<std::unique_ptr<TGame>> ReadAll(const std::string& name) {
    TGameDatabase db;
    OpenDatabase(name, db, TOpenMode::ReadOnly);
    std::vector<std::unique_ptr<TGame>> games;
    for (int n = 1; db.open && n <= IndexRecordCount(db); ++n) {
        auto g = std::make_unique<TGame>();
        if (ReadGame(db, n, false, *g) == TDbStatus::Ok) games.push_back(std::move(g));
    }
    CloseDatabase(db);
    return games;
}

class Match : public testing::Test {
  protected:
    void SetUp() override {
        app_test::UseSmallHashTable();
        ReleaseAllStubs();
        m_bridge.Bind(StubFiles());
        m_bridge.InitEngines({});
        SetEngineBridge(&m_bridge);
        app_test::ResetGame(StartPosition64, 0, gtRussian, true);
        TakeGameMessage();
        oskeen.Reset();
    }
    void TearDown() override {
        StopEngineAndWait();
        ReleaseAllStubs();
        SetEngineBridge(nullptr);
        TakeGameMessage();
    }
    // Starts the match as the menu item does, on the engine worker.
    std::shared_ptr<TEngineMatch> Start(const std::vector<TSourceGame>& games, int count) {
        WriteSource(source, games);
        auto match = std::make_shared<TEngineMatch>();
        std::string why;
        EXPECT_TRUE(match->Prepare(source, destination, &why)) << why;
        TMatchOptions o;
        o.games = count;
        o.clock = 300; // a budget of 15 centiseconds a move
        const TEngineSettings a = MatchPlayerA(), b = MatchPlayerB(m_bridge.OskeenEngineName());
        StartEngineWorker([match, a, b, o] { match->Run(a, b, o); });
        return match;
    }
    void WaitForTheEnd() {
        ASSERT_TRUE(EngineIdleEvent.Wait(std::chrono::seconds(60))) << "the match did not end";
        StopEngineAndWait();
    }

    TEngineBridge m_bridge;
    TStub oskeen{StubFiles().oskeen};
    test_support::TTempDir dir{"match"};
    std::string source = dir.File("source"), destination = dir.File("games");
};

} // namespace

TEST_F(Match, TwoGamesAreStoredWithTheirCommentsAndTheScore) {
    // Either capture takes Black's last man: a choice, so the move gets its comment.
    auto match = Start({{"w9 w10 b13"}}, 1);
    WaitForTheEnd();
    const auto games = ReadAll(destination);
    ASSERT_EQ(games.size(), 2u);
    for (const auto& g : games) {
        EXPECT_EQ(g->header.result, grWhiteWins);
        EXPECT_EQ(g->header.nodeCount, 1);
        EXPECT_EQ(g->tournament, PhraseCp1251(58) + " 0 min");
        EXPECT_NE(g->header.year, 0);
        EXPECT_EQ(g->white, "Source White");
        // "score/depth - time"
        const std::string& c = g->commentAfter[1];
        EXPECT_NE(c.find('/'), std::string::npos) << c;
        EXPECT_NE(c.find(" - "), std::string::npos) << c;
    }
    // Game 1: the built-in engine had White and won; game 2: Oskeen had White and won.
    EXPECT_EQ(match->Tally(), (TMatchTally{1, 1, 0}));
    const auto message = TakeGameMessage();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, "+1-1=0");
    EXPECT_EQ(message->kind, 1);
    EXPECT_EQ(AutoPlayActive.load(), 0);
    EXPECT_EQ(ClockRunning.load(), 0);
}

TEST_F(Match, AForcedMoveGetsNoCommentAndAFinishedSourceGameIsPlayedOn) {
    // One legal move, and the source says the game was drawn already.
    auto match = Start({{"w9 b13", 0, grDraw}}, 5); // more asked than there are
    WaitForTheEnd();
    const auto games = ReadAll(destination);
    ASSERT_EQ(games.size(), 2u);
    for (const auto& g : games) {
        EXPECT_EQ(g->header.nodeCount, 1); // played on, not ended on the copied result
        EXPECT_EQ(g->header.result, grWhiteWins);
        EXPECT_EQ(g->commentAfter[1], "");
    }
    EXPECT_EQ(match->Tally(), (TMatchTally{1, 1, 0}));
}

TEST_F(Match, AStopInGameOneStoresItAndPlaysNoGameTwo) {
    stub_oskeen_script s{};
    s.mode = OSK_BLOCK; // thinks until EI_Stop
    oskeen.Script(s);
    // Black to move: Oskeen, the second player of game 1, moves first.
    auto match = Start({{"w9 w10 b30", 1}, {"w9 b13"}}, 2);
    ASSERT_TRUE(WaitUntil([&] { return oskeen.Inside() == 1; }));
    StopEngine();
    WaitForTheEnd();
    EXPECT_NE(oskeen.Log().find("EI_Stop"), std::string::npos); // the stop reached the engine that thought
    const auto games = ReadAll(destination);
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0]->header.nodeCount, 0);
    EXPECT_EQ(games[0]->header.result, grNone);
    EXPECT_EQ(match->Tally(), (TMatchTally{0, 0, 0}));
    EXPECT_EQ(match->GamesStored(), 1);
}

TEST_F(Match, AnEngineWithoutAMoveEndsTheMatchInsteadOfHandingItsTurnOver) {
    stub_oskeen_script s{};
    s.mode = OSK_SCRIPTED_TEXT;
    std::snprintf(s.text, sizeof s.text, "h8g7"); // no such move
    oskeen.Script(s);
    auto match = Start({{"w9 w10 b30", 1}, {"w9 b13"}}, 2);
    WaitForTheEnd();
    const auto games = ReadAll(destination);
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0]->header.nodeCount, 0);
}

TEST_F(Match, SourceAndDestinationAreChecked) {
    WriteSource(source, {{"w9 b13"}});
    const std::string before = test_support::ReadText(source + ".vqb");
    struct Row {
        const char* name;
        std::string source, destination;
    } rows[] = {
        {"missing source", dir.File("nothing"), destination},
        {"destination is the source", source, source},
        {"the same file by another path", source, dir.Dir() + "./source"},
        {"destination cannot be made", source, dir.File("no/such/folder/games")},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TEngineMatch match;
        std::string why;
        EXPECT_FALSE(match.Prepare(r.source, r.destination, &why));
        EXPECT_FALSE(why.empty());
    }
    EXPECT_EQ(test_support::ReadText(source + ".vqb"), before);
}

TEST(MatchTally, ResultsCountByColour) {
    struct Row {
        TGameType variant;
        int aSide;
        std::uint8_t result;
        TMatchTally expected;
    } rows[] = {
        {gtRussian, 0, grWhiteWins, {1, 0, 0}},   {gtRussian, 0, grWhiteOnTime, {1, 0, 0}},
        {gtRussian, 0, grBlackWins, {0, 1, 0}},   {gtRussian, 1, grWhiteWins, {0, 1, 0}},
        {gtRussian, 1, grBlackOnTime, {1, 0, 0}}, {gtRussian, 0, grDraw, {0, 0, 1}},
        {gtRussian, 0, grNone, {0, 0, 0}},        {gtEnglish, 0, grBlackWins, {1, 0, 0}},
        {gtEnglish, 0, grWhiteOnTime, {0, 1, 0}}, {gtPool, 1, grWhiteWins, {1, 0, 0}},
    };
    for (const Row& r : rows) {
        TMatchTally t;
        CountResult(t, r.result, r.aSide, r.variant);
        EXPECT_EQ(t, r.expected) << int(r.variant) << " side " << r.aSide << " result " << int(r.result);
    }
    EXPECT_EQ(TallyText({3, 1, 4}), "+3-1=4");
}
