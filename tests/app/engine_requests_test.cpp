#include "app/core/game_end.h"
#include "fake_engine_bridge.h"
#include "session_fixture.h"

using namespace app_test;

namespace {
class EngineRequests : public testing::Test {
  protected:
    void SetUp() override {
        UseSmallHashTable();
        SetEngineBridge(&m_bridge);
        ResetGame(StartPosition64, 0, gtRussian, true);
        EngineSettings = TEngineSettings{};
    }
    void TearDown() override {
        StopEngineAndWait();
        SetEngineBridge(nullptr);
        EngineSettings = TEngineSettings{};
        EngineRequestHooks() = {};
    }
    static void WaitIdle() {
        ASSERT_TRUE(EngineIdleEvent.Wait(std::chrono::seconds(30))) << "the request did not end";
    }
    TFakeBridge m_bridge;
};
} // namespace

TEST_F(EngineRequests, TheBuiltInEngineAnswersInPlayMode) {
    EngineSettings.Level = 4;
    SetClocks(2000, 2000); // a budget of one second
    StartEngine();
    EXPECT_EQ(EngineSettings.MaxDepth, 8); // the level table is applied
    WaitIdle();
    TGameLock lock = GameSession().Lock();
    ASSERT_NE(CurrentNode(), 0);
    EXPECT_EQ(SideToMove(), 1);
    TMoveList legal;
    FindMoves(StartPosition64, 0, legal, gtRussian);
    const TMove& played = CurrentGame().nodes[CurrentNode()];
    EXPECT_TRUE(std::any_of(legal.begin(), legal.end(), [&](const TMove& m) { return m.SameMove(played); }));
    TBoard after = StartPosition64;
    MakeMove(played, after, gtRussian);
    EXPECT_EQ(CurrentBoard(), after);
    EXPECT_EQ(EngineDone.load(), 1);
    EXPECT_TRUE(TakeFlag(RedrawPending));
    EXPECT_TRUE(TakeFlag(PanelRefreshPending));
    EXPECT_TRUE(TakeFlag(BookRefreshPending));
    EXPECT_EQ(EngineInfo.Snapshot().Name, "Vantor 2.0");
}

TEST_F(EngineRequests, AGameAlreadyOverEndsTheRequestAtOnce) {
    ResetGame(Board({{30, sqKing1}}), 0, gtRussian, true);
    m_bridge.delay = std::chrono::seconds(5);
    EngineSettings.Kind = ekMarrak;
    StartEngine();
    WaitIdle();
    EXPECT_EQ(m_bridge.calls.load(), 0);
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_EQ(EngineDone.load(), 1);
    EXPECT_EQ(CurrentGame().header.result, grBlackWins);
}

TEST_F(EngineRequests, EachKindGetsItsEngineAndBudget) {
    struct Row {
        std::uint8_t kind;
        TGameType variant;
        double seconds;
        std::int32_t milliseconds;
    } rows[] = {
        {ekMarrak, gtEnglish, 60000 / 30.0 / 100, 0},
        {ekMarrakItalian, gtItalian, 60000 / 30.0 / 100, 0},
        {ekTrevalo, gtRussian, 60000 / 20.0 / 100, 0},
        {ekOskeen, gtRussian, 0, 600000},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(int(r.kind));
        ResetGame(StartPosition64, 1, r.variant, true);
        SetClocks(1, 60000);
        EngineSettings.Kind = r.kind;
        StartEngine();
        WaitIdle();
        std::lock_guard lock(m_bridge.m_mutex);
        EXPECT_EQ(m_bridge.lastKind, r.kind);
        if (r.kind == ekOskeen)
            EXPECT_EQ(m_bridge.lastMilliseconds, r.milliseconds);
        else
            EXPECT_DOUBLE_EQ(m_bridge.lastSeconds, r.seconds);
        EXPECT_NE(CurrentNode(), 0);
    }
    EXPECT_EQ(BudgetDivisor(gtInternational), 40);
}

TEST_F(EngineRequests, AStoppedRequestMakesNoMoveWhateverTheEngineLeavesInTheWord) {
    EngineSettings.Kind = ekMarrak;
    m_bridge.hold = true; // thinks until stopped
    m_bridge.clearWordOnReturn = true;
    StartEngine();
    ASSERT_TRUE(WaitUntil([&] { return m_bridge.calls.load() > 0; })) << "the engine was never called";
    StopEngineAndWait();
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_EQ(CurrentBoard(), StartPosition64);
    EXPECT_FALSE(IsEngineBusy());
}

TEST_F(EngineRequests, AStopRightAfterTheStartIsNotLost) {
    // An analysis has no end of its own: a lost stop would hang here.
    Shell.AnalysisMode = 1;
    for (const std::uint8_t kind : {ekVantor, ekMarrak, ekOskeen}) {
        EngineSettings.Kind = kind;
        for (int i = 0; i < 20; ++i) {
            StartEngine();
            StopEngine();
            WaitIdle();
        }
    }
    EXPECT_GT(m_bridge.outsideStops.load(), 0);
}

TEST_F(EngineRequests, OnlyALegalMoveOfTheStartPositionIsMade) {
    EngineSettings.Kind = ekMarrak;
    m_bridge.answer = TMove{};
    m_bridge.answer->from = 1;
    m_bridge.answer->squares[0] = 32; // no such move
    StartEngine();
    WaitIdle();
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_EQ(CurrentBoard(), StartPosition64);
    EXPECT_TRUE(TakeFlag(BookRefreshPending));
}

TEST_F(EngineRequests, AMoveArrivingAfterTheGameMovedOnIsDropped) {
    EngineSettings.Kind = ekMarrak;
    m_bridge.hold = true;
    StartEngine();
    ASSERT_TRUE(WaitUntil([&] { return m_bridge.calls.load() > 0; })) << "the engine was never called";
    TMoveList list;
    FindMoves(StartPosition64, 0, list, gtRussian);
    // As the electronic board or an analysis-mode entry could: the user's move comes first.
    PlayInGame(list.back());
    m_bridge.hold = false; // now the engine answers, for the position it was given
    WaitIdle();
    TGameLock lock = GameSession().Lock();
    EXPECT_EQ(CurrentGame().header.nodeCount, 1);            // nothing was added ...
    EXPECT_EQ(CurrentGame().nodes[CurrentNode()].parent, 0); // ... but the user's move
    EXPECT_EQ(SideToMove(), 1);
}

TEST_F(EngineRequests, AnalysisRunsUntilStoppedAndMakesNoMove) {
    Shell.AnalysisMode = 1;
    EngineInfo.Update([](TEngineInfo& info) { info = {}; });
    StartEngine();
    // The search shows its depth once it runs.
    ASSERT_TRUE(WaitUntil([] { return !EngineInfo.Snapshot().Depth.empty(); })) << "the search never ran";
    EXPECT_TRUE(IsEngineBusy());
    StopEngineAndWait();
    EXPECT_FALSE(IsEngineBusy());
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_NE(EngineInfo.Snapshot().Depth, "");
}

TEST_F(EngineRequests, TheSilentAddReusesAnEqualMoveAndKeepsTheMainLine) {
    TMoveList list;
    FindMoves(StartPosition64, 0, list, gtRussian);
    TGameSession& session = GameSession();
    const TSessionSnapshot root = session.Snapshot();
    const int a = session.PlayEngineMove(root, list[0]).node;
    EXPECT_EQ(session.PlayEngineMove(root, list[1]).node, 0) << "the game moved on";
    ASSERT_TRUE(session.GoToNode(0));
    const int b = session.PlayEngineMove(root, list[1]).node;
    ASSERT_TRUE(session.GoToNode(0));
    EXPECT_EQ(session.PlayEngineMove(root, list[0]).node, a);
    EXPECT_EQ(CurrentGame().nodes[a].mainLine, 1);
    EXPECT_EQ(CurrentGame().nodes[b].mainLine, 0);
    EXPECT_EQ(CurrentGame().header.nodeCount, 2);

    // A full tree: the request's move is not made, and the message says why.
    ASSERT_TRUE(session.GoToNode(0));
    for (int n = 1; n <= MaxNodes; ++n)
        EditGame().nodes[n].free = 0;
    EditGame().header.nodeCount = MaxNodes; // every slot in use
    EngineSettings.Kind = ekMarrak;
    m_bridge.answer = list[2];
    StartEngine();
    WaitIdle();
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_EQ(CurrentBoard(), StartPosition64);
    EXPECT_TRUE(TakeGameMessage());
}

TEST_F(EngineRequests, ARequestShowsItsOwnEngineNotWhatAnEarlierOneLeft) {
    // What a finished built-in search leaves behind.
    const TEngineInfo earlier{"Vantor 2.0", "9 (3/7)", "900kN/s", "c3d4 0.25, ", "120", "n/a", "100% of 7 Mb",
                              "12%",        25,        25};
    for (bool play : {true, false}) {
        SCOPED_TRACE(play ? "play mode" : "analysis mode");
        ResetGame(StartPosition64, 0, gtEnglish, play);
        EngineInfo.Update([&](TEngineInfo& info) { info = earlier; });
        EngineSettings.Kind = ekMarrak;
        EngineSettings.ShortName = "Marrak 1.15";
        m_bridge.hold = true; // the plug-in thinks, reporting nothing yet
        StartEngine();
        ASSERT_TRUE(WaitUntil([&] { return m_bridge.calls.load() > 0; })) << "the engine was never called";
        const TEngineInfo now = EngineInfo.Snapshot();
        EXPECT_EQ(now.Name, "Marrak 1.15");
        for (const std::string* text :
             {&now.Depth, &now.Speed, &now.BestLine, &now.Time, &now.EdbProbes, &now.HashFill, &now.HashHits})
            EXPECT_EQ(*text, "");
        EXPECT_EQ(now.Score, 0);
        EXPECT_EQ(now.Bound, 0);
        m_bridge.hold = false;
        StopEngineAndWait();
        m_bridge.calls = 0;
    }
}
