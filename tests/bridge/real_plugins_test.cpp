// The bridge's orientation against the real plug-ins of the run directory: the positions after the
// program's legal moves, sent as the bridge sends them, are the positions the engines list; and
// their start-up, moves and stops through the bridge. How fast they start and stop is measured in
// bench/app/bridge_bench.cpp.

#include "bridge_test_util.h"
#include "tests/app/session_fixture.h"
#include "tests/support/positions.h"
#include "tests/support/random_games.h"

#include "rules/movegen.h"

#include <array>
#include <set>
#include <tuple>

using namespace bridge_test;

namespace {

using TKey = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>;

// The engines' bit rule: cell (x, y) is bit 4y + 3 - x div 2.
TKey EngineKey(const host_board& hb) {
    std::array<std::uint32_t, 3> w{}; // colour 2, colour 1, kings
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y) {
            const std::uint32_t bit = 1u << (4 * y + 3 - x / 2);
            switch (hb.cells[x][y]) {
            case PIECE_MAN2:
                w[0] |= bit;
                break;
            case PIECE_KING2:
                w[0] |= bit, w[2] |= bit;
                break;
            case PIECE_MAN1:
                w[1] |= bit;
                break;
            case PIECE_KING1:
                w[1] |= bit, w[2] |= bit;
                break;
            default:
                break;
            }
        }
    return {w[0], w[1], w[2]};
}

engine_position PositionOf(const TKey& k) {
    return {{std::get<0>(k), std::get<1>(k)}, std::get<2>(k)};
}

// The board as the bridge sends it to plug-in `kind`.
TKey SentKey(int kind, TBoard b) {
    if (kind == ekMarrakItalian) FlipBoard(b, 32);
    host_board hb;
    BoardToHostBoard(b, hb);
    return EngineKey(hb);
}

// 1-based capture step of the first king taken, 30 when none.
int FirstKingStep(const TMove& m, const TBoard& b) {
    for (int k = 1; k <= m.captures; ++k)
        if (IsKing(b[m.Captured(k)])) return k;
    return 30;
}

class RealPlugins : public testing::Test {
  protected:
    void SetUp() override {
        const std::string dir = RunDirectory() + "/";
        for (int kind : {ekMarrak, ekMarrakItalian}) {
            TDynamicLibrary& lib = m_libs[kind - ekMarrak];
            std::string error;
            lib = TDynamicLibrary::Load(dir + (kind == ekMarrak ? "libMarrak.so" : "libmarrak_italian.so"),
                                        &error);
            ASSERT_TRUE(lib.Loaded()) << error;
            m_build[kind - ekMarrak] = lib.Function<build_movelist_fn>("build_movelist");
            ASSERT_NE(m_build[kind - ekMarrak], nullptr);
        }
    }
    std::set<TKey> EngineMoves(int kind, const TBoard& b, int side) const {
        const TKey sent = SentKey(kind, b);
        const engine_position p = PositionOf(sent);
        static move_list list;
        const int colour = PluginColour(kind, side);
        const int n = m_build[kind - ekMarrak](&p, colour == 1 ? 1 : 0, &list);
        std::set<TKey> out;
        for (int i = 0; i < n; ++i)
            out.insert({list.moves[i].pieces[0], list.moves[i].pieces[1], list.moves[i].kings});
        return out;
    }
    static std::set<TKey> ProgramMoves(int kind, const TBoard& b, int side) {
        const TGameType v = kind == ekMarrak ? gtEnglish : gtItalian;
        TMoveList list;
        FindMoves(b, side, list, v);
        // Italian: among captures alike in size, capturer and kings taken, the engine keeps those
        // that take a king earliest.
        int earliest = 30;
        if (v == gtItalian)
            for (const TMove& m : list)
                earliest = std::min(earliest, FirstKingStep(m, b));
        std::set<TKey> out;
        for (const TMove& m : list) {
            if (v == gtItalian && FirstKingStep(m, b) != earliest) continue;
            TBoard after = b;
            MakeMove(m, after, v);
            out.insert(SentKey(kind, after));
        }
        return out;
    }
    bool HasExport(int kind, const char* name) const {
        return m_libs[kind - ekMarrak].Symbol(name) != nullptr;
    }

    std::array<TDynamicLibrary, 2> m_libs;
    std::array<build_movelist_fn, 2> m_build{};
};

std::uint64_t Perft(const build_movelist_fn build, const engine_position& p, int engineSide, int depth) {
    move_list list;
    const int n = build(&p, engineSide, &list);
    if (depth == 1) return static_cast<std::uint64_t>(n);
    std::uint64_t leaves = 0;
    const std::vector<engine_position> next(list.moves, list.moves + n);
    for (const engine_position& q : next)
        leaves += Perft(build, q, 1 - engineSide, depth - 1);
    return leaves;
}

std::uint64_t Perft(const TBoard& b, int side, int depth) {
    TMoveList list;
    FindMoves(b, side, list, gtEnglish);
    if (depth == 1) return list.size();
    std::uint64_t leaves = 0;
    for (const TMove& m : list) {
        TBoard after = b;
        MakeMove(m, after, gtEnglish);
        leaves += Perft(after, 1 - side, depth - 1);
    }
    return leaves;
}

} // namespace

TEST_F(RealPlugins, RandomPositionsLookTheSameToBothSides) {
    test_support::TRandom random(27);
    for (int kind : {ekMarrak, ekMarrakItalian}) {
        SCOPED_TRACE(kind);
        int compared = 0;
        for (int game = 0; compared < 300; ++game) {
            test_support::TRandomGameOptions o;
            o.variant = kind == ekMarrak ? gtEnglish : gtItalian;
            o.moves = 80;
            o.variationPercent = 0;
            const auto g = test_support::RandomGame(random, o);
            for (int n = 0; n <= g.game->header.nodeCount; n += 4) {
                for (int side : {0, 1}) {
                    const TBoard& b = g.boards[n];
                    ASSERT_EQ(EngineMoves(kind, b, side), ProgramMoves(kind, b, side))
                        << test_support::SquaresOf(b) << " side " << side;
                    ++compared;
                }
            }
        }
    }
}

TEST_F(RealPlugins, EnglishPerftThroughBoth) {
    const std::uint64_t published[] = {7, 49, 302, 1469, 7361};
    const TKey start = SentKey(ekMarrak, StartPosition64);
    for (int depth = 1; depth <= 5; ++depth) {
        SCOPED_TRACE(depth);
        EXPECT_EQ(Perft(StartPosition64, 0, depth), published[depth - 1]);
        // Side 0 moves colour 2: the engine's side flag 0.
        EXPECT_EQ(Perft(m_build[0], PositionOf(start), 0, depth), published[depth - 1]);
    }
}

// ---- requests through the bridge ---------------------------------------------------------------

class RealPluginRequests : public RealPlugins {
  protected:
    void SetUp() override {
        RealPlugins::SetUp();
        if (HasFatalFailure()) return;
        for (int kind : {ekMarrak, ekMarrakItalian})
            for (const char* name : {"getmove", "enginecommand"})
                ASSERT_TRUE(HasExport(kind, name)) << "plug-in " << kind << " does not export " << name;
        app_test::UseSmallHashTable();
        m_bridge.Bind(EngineFilesIn(RunDirectory() + "/"), [](const std::string&) {});
        // However slow the machine, a plug-in is never given up: every call must end by itself.
        m_bridge.SetAbandonGrace(NoAbandonGrace);
        SetEngineBridge(&m_bridge);
    }
    void TearDown() override {
        StopAndWaitUnderWatchdog("the stop of a plug-in request");
        SetEngineBridge(nullptr);
        WaitForLibraryCalls(WatchdogLimit);
    }
    TEngineBridge m_bridge;
};

TEST_F(RealPluginRequests, StartUpOnBothLibraries) {
    MustEnd("the start-up of both plug-ins", [&] { m_bridge.InitEngines({}); });
    EXPECT_TRUE(m_bridge.Available(ekMarrak));
    EXPECT_TRUE(m_bridge.Available(ekMarrakItalian));
}

TEST_F(RealPluginRequests, MovesInPlayModeAreLegalForEitherSide) {
    m_bridge.InitEngines({});
    test_support::TRandom random(31);
    for (int kind : {ekMarrak, ekMarrakItalian}) {
        SCOPED_TRACE(kind);
        const TGameType v = kind == ekMarrak ? gtEnglish : gtItalian;
        for (int game = 0; game < 3; ++game) {
            test_support::TRandomGameOptions o;
            o.variant = v;
            o.moves = 30;
            o.variationPercent = 0;
            const auto g = test_support::RandomGame(random, o);
            const int n = g.game->header.nodeCount;
            TMoveList legal;
            FindMoves(g.boards[n], g.sides[n], legal, v);
            if (legal.empty()) continue;
            app_test::ResetGame(g.boards[n], g.sides[n], v, true);
            SetClocks(3000, 3000); // one second a move
            EngineSettings.Kind = static_cast<std::uint8_t>(kind);
            StartEngine();
            ASSERT_TRUE(EngineIdleEvent.Wait(WatchdogLimit));
            StopEngineAndWait();
            EXPECT_EQ(CurrentNode(), 1) << test_support::SquaresOf(g.boards[n]) << " side " << g.sides[n];
        }
    }
    EngineSettings = TEngineSettings{};
}

TEST_F(RealPluginRequests, StopEndsAnAnalysisAtOnce) {
    m_bridge.InitEngines({});
    for (int kind : {ekMarrak, ekMarrakItalian}) {
        SCOPED_TRACE(kind);
        app_test::ResetGame(StartPosition64, 0, kind == ekMarrak ? gtEnglish : gtItalian, false);
        EngineSettings.Kind = static_cast<std::uint8_t>(kind);
        // Stopped while it searches: once a progress line of this request comes (the text of the
        // one before stays until the request begins).
        const auto status = [&] { return std::string(m_bridge.StatusText().data()); };
        const std::string before = status();
        StartEngine();
        ASSERT_TRUE(WaitUntil([&] {
            const std::string now = status();
            return now != before && now.rfind("value", 0) == 0;
        })) << status();
        // Never given up: ending at all is the engine's answer to its stop.
        StopAndWaitUnderWatchdog("the stop of an analysis");
        EXPECT_TRUE(m_bridge.Available(kind));
    }
    EngineSettings = TEngineSettings{};
}
