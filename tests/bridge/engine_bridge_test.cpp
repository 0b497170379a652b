// The engine bridge against the stand-in libraries: binding, the start-up commands, moves in every
// orientation, every hostile answer, and the Oskeen texts, analysis and search information.

#include "bridge_test_util.h"
#include "tests/app/session_fixture.h"
#include "tests/support/positions.h"
#include "tests/support/random_games.h"

#include "app/core/language.h"
#include "app/core/main_timer.h"
#include "rules/movegen.h"

#include <cstring>
#include <future>

using namespace bridge_test;
using test_support::BoardFromSquares;

namespace {

class Bridge : public StubBridgeTest {
  protected:
    void SetUp() override {
        StubBridgeTest::SetUp();
        app_test::ResetGame(StartPosition64, 0, gtRussian, true);
    }
    // A request made on the engine thread, as the analysis thread would make it.
    bool Move(int kind, const TBoard& board, int side, TMove& move, double seconds = 1) {
        bool got = false;
        OnEngineThread([&] { got = m_bridge.GetEngineMove(kind, board, side, move, seconds); });
        return got;
    }
    bool Think(const TBoard& board, int side, std::int32_t ms, TMove& move) {
        bool got = false;
        OnEngineThread([&] { got = m_bridge.ThinkOutsideEngine(board, side, ms, move); });
        return got;
    }
};

stub_plugin_script PluginScript(int mode, int variant = 2) {
    stub_plugin_script s{};
    s.mode = mode;
    s.variant = variant;
    return s;
}

stub_oskeen_script OskeenScript(int mode, const char* text = "") {
    stub_oskeen_script s{};
    s.mode = mode;
    std::snprintf(s.text, sizeof s.text, "%s", text);
    return s;
}

TMove FirstLegal(const TBoard& b, int side, TGameType v) {
    TMoveList list;
    FindMoves(b, side, list, v);
    return list.empty() ? TMove{} : list.front();
}

bool IsLegal(const TBoard& b, int side, TGameType v, const TMove& m) {
    TMoveList list;
    FindMoves(b, side, list, v);
    for (const TMove& l : list)
        if (l.SameMove(m)) return true;
    return false;
}

} // namespace

TEST_F(Bridge, StubsAreThere) {
    for (const TStub* s : {&trevalo, &marrak, &italian, &oskeen})
        ASSERT_TRUE(s->Loaded()) << s->Error();
    for (int kind = 0; kind <= 4; ++kind)
        EXPECT_TRUE(m_bridge.Available(kind)) << kind;
    EXPECT_TRUE(diagnostics.empty());
}

TEST_F(Bridge, StartUpSendsTheCommandsInOrderWithTheirBlanksAndTheWarmUps) {
    TEngineMemory memory;
    memory.trevaloMB = 3;
    memory.marrakMB = 16;
    memory.marrakItalianMB = 24;
    memory.oskeenMB = 5;
    m_bridge.InitEngines(memory);
    const std::string start = "wwwwwwwwwwww........bbbbbbbbbbbb";
    EXPECT_EQ(trevalo.LogLines(),
              (std::vector<std::string>{"enginecommand[set hashsize 3]", "enginecommand[set dbmbytes 1]",
                                        "enginecommand[set allscores 0]",
                                        "getmove colour=2 maxtime=0.1 info=0 moreinfo=0 board=" + start}));
    EXPECT_EQ(marrak.LogLines(),
              (std::vector<std::string>{"enginecommand[set hashsize 16 ]", "enginecommand[set dbmbytes 1]",
                                        "enginecommand[set allscores 0]",
                                        "getmove colour=2 maxtime=0.1 info=0 moreinfo=0 board=" + start}));
    // The Italian board is turned: the start position looks the same, the mover is colour 1.
    EXPECT_EQ(italian.LogLines(),
              (std::vector<std::string>{"enginecommand[set dbpath db_it ]", "enginecommand[set hashsize 24 ]",
                                        "enginecommand[set dbmbytes 1]", "enginecommand[set allscores 0]",
                                        "getmove colour=1 maxtime=0.1 info=0 moreinfo=0 board=" + start}));
    EXPECT_EQ(oskeen.LogLines(), (std::vector<std::string>{"EI_Initialization mb=5", "EI_GetName"}));
    EXPECT_EQ(m_bridge.OskeenEngineName(), "Oskeen Stub 2.0");
    // The callback the engine made during its initialisation came while no request ran.
    EXPECT_FALSE(EngineInfo.HasNewInfo());
}

TEST_F(Bridge, OskeenNamesAreCopiedAndCut) {
    struct Row {
        int nameMode;
        std::string name;
    } rows[] = {{0, "Oskeen Stub 2.0"}, {1, DefaultOskeenName}, {2, "Oskeen Stub with a name far to"}};
    for (const Row& r : rows) {
        stub_oskeen_script s{};
        s.name_mode = r.nameMode;
        oskeen.Script(s);
        m_bridge.Bind(StubFiles());
        m_bridge.InitEngines({});
        EXPECT_EQ(m_bridge.OskeenEngineName(), r.name);
        EXPECT_LE(m_bridge.OskeenEngineName().size(), 30u);
    }
}

TEST_F(Bridge, AMissingLibraryOrExportMakesOnlyThatEngineUnavailable) {
    struct Row {
        const char* name;
        TEngineFiles files;
        int unavailable;
        const char* mentions; // in the diagnostic line, beside the file
        std::string file;
    };
    const TEngineFiles stubs = StubFiles();
    std::vector<Row> rows;
    TEngineFiles f = stubs;
    f.trevalo = StubDir() + "/nocmd/libtrevaloD.so";
    rows.push_back({"no enginecommand", f, ekTrevalo, "enginecommand", f.trevalo});
    f = stubs;
    f.oskeen = StubDir() + "/nostop/libOskeen_2.so";
    rows.push_back({"no EI_Stop", f, ekOskeen, "EI_Stop", f.oskeen});
    f = stubs;
    f.marrak = StubDir() + "/app/libMissing.so";
    rows.push_back({"missing file", f, ekMarrak, "libMissing.so", f.marrak});
    f = stubs;
    f.marrakItalian = "libmarrak_italian.so"; // a bare name could be found anywhere: refused
    rows.push_back({"relative path", f, ekMarrakItalian, "absolute", f.marrakItalian});
    f = stubs;
    f.marrak = StubFiles().oskeen; // a library of the other interface
    rows.push_back({"wrong interface", f, ekMarrak, "getmove", f.marrak});
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        diagnostics.clear();
        m_bridge.Bind(r.files, [this](const std::string& line) { diagnostics.push_back(line); });
        for (int kind = 0; kind <= 4; ++kind)
            EXPECT_EQ(m_bridge.Available(kind), kind != r.unavailable) << kind;
        ASSERT_EQ(diagnostics.size(), 1u);
        EXPECT_NE(diagnostics[0].find(r.mentions), std::string::npos) << diagnostics[0];
        EXPECT_NE(diagnostics[0].find(r.file), std::string::npos) << diagnostics[0];
        // The set-up leaves it out, and a request for it gives no move.
        for (const TStub* s : {&trevalo, &marrak, &italian, &oskeen})
            s->Reset();
        m_bridge.InitEngines({});
        TMove m;
        if (r.unavailable == ekOskeen)
            EXPECT_FALSE(Think(StartPosition64, 0, 1000, m));
        else
            EXPECT_FALSE(Move(r.unavailable, StartPosition64, 0, m));
        const TStub* stub = r.unavailable == ekTrevalo         ? &trevalo
                            : r.unavailable == ekMarrak        ? &marrak
                            : r.unavailable == ekMarrakItalian ? &italian
                                                               : &oskeen;
        EXPECT_EQ(stub->Log(), "");
        const auto message = TakeGameMessage();
        ASSERT_TRUE(message);
        EXPECT_EQ(message->text, std::string(Phrase(61)));
        EXPECT_EQ(message->kind, 1);
    }
}

TEST_F(Bridge, WithoutTheOutsideEnginesTheRealRunDirectoryStillBinds) {
    m_bridge.Bind(EngineFilesIn(RunDirectory() + "/"),
                  [this](const std::string& line) { diagnostics.push_back(line); });
    EXPECT_FALSE(m_bridge.Available(ekTrevalo));
    EXPECT_FALSE(m_bridge.Available(ekOskeen));
    EXPECT_TRUE(m_bridge.Available(ekVantor));
    m_bridge.InitEngines({}); // the available plug-ins only
    EXPECT_EQ(m_bridge.OskeenEngineName(), DefaultOskeenName);
}

TEST_F(Bridge, PluginMovesComeBackInTheProgramsNumberingForEitherSide) {
    test_support::TRandom random(11);
    struct Row {
        int kind;
        TGameType variant;
        const TStub* stub;
    } rows[] = {{ekTrevalo, gtEnglish, &trevalo},
                {ekMarrak, gtEnglish, &marrak},
                {ekMarrakItalian, gtItalian, &italian}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.kind);
        r.stub->Script(PluginScript(STUB_FIRST_LEGAL, r.variant));
        int answered = 0;
        for (int game = 0; game < 6; ++game) {
            test_support::TRandomGameOptions o;
            o.variant = r.variant;
            o.moves = 40;
            o.variationPercent = 0;
            const auto g = test_support::RandomGame(random, o);
            for (int n = 0; n <= g.game->header.nodeCount; n += 2) {
                const TBoard& b = g.boards[n];
                const int side = g.sides[n];
                TMove m;
                const bool got = Move(r.kind, b, side, m);
                TMoveList legal;
                FindMoves(b, side, legal, r.variant);
                ASSERT_EQ(got, !legal.empty()) << test_support::SquaresOf(b) << " side " << side;
                if (!got) continue;
                EXPECT_TRUE(IsLegal(b, side, r.variant, m));
                ++answered;
            }
        }
        EXPECT_GT(answered, 50);
    }
    // The English stub plays the program's first move; its record is not read.
    TMove m;
    ASSERT_TRUE(Move(ekMarrak, StartPosition64, 0, m));
    EXPECT_TRUE(m.SameMove(FirstLegal(StartPosition64, 0, gtEnglish)));
}

TEST_F(Bridge, HostileAnswersGiveNoMove) {
    const TBoard b = BoardFromSquares("w9 w10 b22 b23");
    const TMove second = [&] {
        TMoveList l;
        FindMoves(b, 0, l, gtEnglish);
        return l.at(1);
    }();
    TBoard afterSecond = b;
    MakeMove(second, afterSecond, gtEnglish);
    host_board reachable{}, unreachable{};
    BoardToHostBoard(afterSecond, reachable);
    BoardToHostBoard(BoardFromSquares("w17 w10 b22 b23"), unreachable);

    struct Row {
        const char* name;
        stub_plugin_script script;
        bool moves;
    };
    std::vector<Row> rows;
    auto add = [&](const char* name, int mode, auto&& edit, bool moves) {
        stub_plugin_script s = PluginScript(mode);
        edit(s);
        rows.push_back({name, s, moves});
    };
    const auto none = [](stub_plugin_script&) {};
    add("first legal", STUB_FIRST_LEGAL, none, true);
    add(
        "reachable board", STUB_SCRIPTED_BOARD, [&](stub_plugin_script& s) { s.board = reachable; }, true);
    add(
        "unreachable board", STUB_SCRIPTED_BOARD, [&](stub_plugin_script& s) { s.board = unreachable; },
        false);
    add("garbage cells", STUB_GARBAGE, none, false);
    add("board unchanged", STUB_NO_MOVE, none, false);
    add("throws", STUB_THROW, none, false);
    add(
        "status without terminator", STUB_FIRST_LEGAL, [](stub_plugin_script& s) { s.flood_status = 1; },
        true);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        for (int kind : {ekTrevalo, ekMarrak}) {
            (kind == ekTrevalo ? trevalo : marrak).Script(r.script);
            TMove m = second;
            EXPECT_EQ(Move(kind, b, 0, m), r.moves);
            if (!r.moves) {
                EXPECT_TRUE(m.SameMove(TMove{}));
            }
            if (std::string(r.name) == "reachable board") {
                EXPECT_TRUE(m.SameMove(second));
            }
        }
    }
    // A position without moves gets none, whatever the engine does.
    marrak.Script(PluginScript(STUB_FIRST_LEGAL));
    TMove m;
    EXPECT_FALSE(Move(ekMarrak, BoardFromSquares("w29 b25"), 0, m));
    // The engine still answers after all that.
    EXPECT_TRUE(Move(ekMarrak, b, 0, m));
}

TEST_F(Bridge, ItalianRecordsAreReadCheckedAndMirrored) {
    // Side 0 to move on the turned board is colour 1; the record's cells are mirrored back.
    const TBoard b = BoardFromSquares("w9 w10 b14 b30");
    TMoveList legal;
    FindMoves(b, 0, legal, gtItalian);
    ASSERT_EQ(legal.size(), 1u); // the capture of 14
    italian.Script(PluginScript(STUB_FIRST_LEGAL, gtItalian));
    TMove m;
    ASSERT_TRUE(Move(ekMarrakItalian, b, 0, m));
    EXPECT_TRUE(m.SameMove(legal[0]));

    // Scripted records: a legal one in the turned numbering, one that is no move, one that is not legal.
    const auto cell = [](int square) {
        const THostSquare c = HostSquareCoords[square - 1];
        return board_coord{c.column, c.row};
    };
    host_move good{};
    good.jumps = 1;
    good.from = cell(33 - legal[0].from);
    good.path[1] = cell(33 - legal[0].Landing(1));
    good.del[0] = cell(33 - legal[0].Captured(1));
    host_move tooMany = good;
    tooMany.jumps = 12;
    host_move illegal{};
    illegal.from = cell(33 - 10);
    illegal.to = cell(33 - 15); // a plain move while a capture is due
    struct Row {
        const char* name;
        host_move record;
        bool moves;
    } rows[] = {{"legal", good, true}, {"12 jumps", tooMany, false}, {"not legal", illegal, false}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        stub_plugin_script s = PluginScript(STUB_SCRIPTED_MOVE, gtItalian);
        s.move = r.record;
        italian.Script(s);
        EXPECT_EQ(Move(ekMarrakItalian, b, 0, m), r.moves);
        if (r.moves) {
            EXPECT_TRUE(m.SameMove(legal[0]));
        }
    }
}

TEST_F(Bridge, TheStatusTextIsACopyWithItsTerminator) {
    stub_plugin_script s = PluginScript(STUB_FIRST_LEGAL);
    s.flood_status = 1;
    marrak.Script(s);
    TMove m;
    ASSERT_TRUE(Move(ekMarrak, StartPosition64, 0, m));
    const TStatusText text = m_bridge.StatusText();
    EXPECT_EQ(text.back(), '\0');
    EXPECT_EQ(std::string(text.data()).size(), 1023u);
    TEngineInfo info;
    EXPECT_TRUE(ParseMarrakStatus(StatusLine(text), gtEnglish, 0, info)); // read no further than the line
}

TEST_F(Bridge, AStopAskedBeforeTheEngineStartsIsNotLost) {
    // The engine clears its play-now word as it starts; the bridge raises it again.
    stub_plugin_script s = PluginScript(STUB_BLOCK);
    s.clear_playnow = 1;
    marrak.Script(s);
    // Never given up: only the engine's answer to its stop can end the call.
    m_bridge.SetAbandonGrace(NoAbandonGrace);
    StopEngine(); // no request runs: the host's stop stays up until the next one
    TMove m;
    MustEnd("a request stopped before it began",
            [&] { EXPECT_FALSE(m_bridge.GetEngineMove(ekMarrak, StartPosition64, 0, m, 1e8)); });
    EXPECT_TRUE(m_bridge.Available(ekMarrak)); // it answered its stop: not abandoned
}

TEST_F(Bridge, StopReachesAThinkingPluginThroughTheRequest) {
    // Never given up: only the engine's answer to its stop can end the request.
    m_bridge.SetAbandonGrace(NoAbandonGrace);
    for (int kind : {ekTrevalo, ekMarrak, ekMarrakItalian}) {
        SCOPED_TRACE(kind);
        const TStub& stub = kind == ekTrevalo ? trevalo : kind == ekMarrak ? marrak : italian;
        stub.Script(PluginScript(STUB_BLOCK, kind == ekMarrakItalian ? 5 : 2));
        app_test::ResetGame(StartPosition64, 0, kind == ekMarrakItalian ? gtItalian : gtEnglish, false);
        EngineSettings.Kind = static_cast<std::uint8_t>(kind);
        StartEngine(); // analysis: until stopped
        ASSERT_TRUE(WaitUntil([&] { return stub.Inside() == 1; }));
        StopAndWaitUnderWatchdog("a stop of a thinking plug-in");
        EXPECT_EQ(CurrentNode(), 0);
        EXPECT_TRUE(m_bridge.Available(kind));
    }
}

TEST_F(Bridge, OskeenTextsBothWays) {
    oskeen.Script(OskeenScript(OSK_FIRST_LEGAL));
    TMove m;
    ASSERT_TRUE(Think(StartPosition64, 0, 600000, m));
    EXPECT_TRUE(m.SameMove(FirstLegal(StartPosition64, 0, gtRussian)));
    EXPECT_EQ(oskeen.LogLines(),
              (std::vector<std::string>{"EI_SetTime 600000 600000",
                                        "EI_SetupBoard bbbbbbbbbbbb........wwwwwwwwwwwww", "EI_Think"}));
    struct Row {
        const char* name;
        stub_oskeen_script script;
        const char* before; // the position, side 0 to move
        bool moves;
        TMove expected;
    };
    TMove c3d4;
    c3d4.from = 10;
    c3d4.squares[0] = 14;
    TMove capture; // c3:d4:e5
    capture.from = 10;
    capture.captures = 1;
    capture.squares[0] = 14;
    capture.squares[1] = 19;
    const Row rows[] = {
        {"plain text", OskeenScript(OSK_SCRIPTED_TEXT, "c3d4"), nullptr, true, c3d4},
        {"capture text", OskeenScript(OSK_SCRIPTED_TEXT, "c3:d4:e5"), "w10 b14 b30", true, capture},
        {"unknown text", OskeenScript(OSK_SCRIPTED_TEXT, "c3e5"), nullptr, false, {}},
        {"legal elsewhere only", OskeenScript(OSK_SCRIPTED_TEXT, "c3d4"), "w10 b14 b30", false, {}},
        {"null text", OskeenScript(OSK_NULL), nullptr, false, {}},
        {"throws", OskeenScript(OSK_THROW), nullptr, false, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        oskeen.Script(r.script);
        const TBoard b = r.before ? BoardFromSquares(r.before) : StartPosition64;
        EXPECT_EQ(Think(b, 0, 1000, m), r.moves);
        EXPECT_TRUE(m.SameMove(r.expected));
    }
}

TEST_F(Bridge, OskeenAnalysesUntilStoppedAndNeverMoves) {
    for (int returnsEarly : {0, 1}) {
        SCOPED_TRACE(returnsEarly);
        oskeen.Reset();
        stub_oskeen_script s = OskeenScript(OSK_FIRST_LEGAL);
        s.analyse_returns = returnsEarly;
        oskeen.Script(s);
        app_test::ResetGame(StartPosition64, 0, gtRussian, false);
        EngineSettings.Kind = ekOskeen;
        StartEngine();
        ASSERT_TRUE(WaitUntil([&] { return oskeen.Log().find("EI_Analyse") != std::string::npos; }));
        // Returned or not, the analysis lasts: an engine that waits for EI_Stop holds the request,
        // and after an early return the request waits for its stop.
        if (returnsEarly) {
            ASSERT_TRUE(WaitUntil([] { return CallsWaitingForStop() == 1 || !IsEngineBusy(); }));
        }
        EXPECT_TRUE(IsEngineBusy());
        StopEngineAndWait();
        EXPECT_EQ(CurrentNode(), 0);
        EXPECT_EQ(oskeen.Log().find("EI_Stop") != std::string::npos, !returnsEarly);
        EXPECT_TRUE(m_bridge.Available(ekOskeen));
    }
}

TEST_F(Bridge, OskeenInformationArrivesFromTheEnginesThreadClampedAndOnlyDuringARequest) {
    m_bridge.InitEngines({});
    EngineInfo.ClearNewInfo();
    stub_oskeen_script s = OskeenScript(OSK_FIRST_LEGAL);
    s.callbacks = 1;
    oskeen.Script(s);
    TMove m;
    ASSERT_TRUE(Think(StartPosition64, 0, 1000, m));
    ASSERT_TRUE(EngineInfo.HasNewInfo());
    TEngineInfo info = EngineInfo.Snapshot();
    EXPECT_EQ(info.Score, 32700);
    EXPECT_EQ(info.Bound, 32700);
    EXPECT_EQ(info.BestLine, ""); // a null line
    EXPECT_EQ(info.Depth, "7");
    EXPECT_EQ(info.Speed, "1234kN/s");
    s.callbacks = 2;
    oskeen.Script(s);
    ASSERT_TRUE(Think(StartPosition64, 0, 1000, m));
    info = EngineInfo.Snapshot();
    EXPECT_EQ(info.Score, -50);
    EXPECT_EQ(info.BestLine, "c3d4 f6e5");
    // A callback after the request ended is not shown.
    EngineInfo.ClearNewInfo();
    oskeen.FireCallback();
    EXPECT_FALSE(EngineInfo.HasNewInfo());
}

TEST(OskeenInfo, TheFieldsAndTheClamp) {
    struct Row {
        std::int32_t evaluation;
        std::int16_t shown;
    } rows[] = {{0, 0},           {32700, 32700},      {32701, 32700},
                {-40000, -32700}, {INT32_MIN, -32700}, {INT32_MAX, 32700}};
    for (const Row& r : rows) {
        TEngineInfo info;
        info.EdbProbes = info.HashFill = info.HashHits = "old";
        ApplyOskeenInfo(info, r.evaluation, 12, 850, "a3b4 h6g5", 250);
        EXPECT_EQ(info.Score, r.shown);
        EXPECT_EQ(info.Bound, r.shown);
        EXPECT_EQ(info.Depth, "12");
        EXPECT_EQ(info.Speed, "850kN/s");
        EXPECT_EQ(info.Time, "250");
        EXPECT_EQ(info.BestLine, "a3b4 h6g5");
        EXPECT_EQ(info.EdbProbes + info.HashFill + info.HashHits, "");
    }
}
