// Conversions between the program's boards and moves and the engines' boards, move records and
// texts, each checked against cells and texts written out by hand.

#include "app/core/engine_convert.h"
#include "rules/movegen.h"
#include "tests/support/positions.h"
#include "tests/support/random_games.h"

#include <gtest/gtest.h>

#include <cstring>

using test_support::BoardFromSquares;

namespace {
board_coord C(int x, int y) {
    return {x, y};
}

TMove Capture(int from, std::initializer_list<std::pair<int, int>> pairs) {
    TMove m;
    m.from = static_cast<std::uint8_t>(from);
    int k = 0;
    for (auto [taken, landing] : pairs) {
        m.squares[k++] = static_cast<std::uint8_t>(taken);
        m.squares[k++] = static_cast<std::uint8_t>(landing);
    }
    m.captures = static_cast<std::uint8_t>(pairs.size());
    return m;
}

TMove Plain(int from, int to) {
    TMove m;
    m.from = static_cast<std::uint8_t>(from);
    m.squares[0] = static_cast<std::uint8_t>(to);
    return m;
}
} // namespace

TEST(HostSquares, TheTableAndItsInverse) {
    struct Row {
        int square, column, row;
    } rows[] = {{1, 0, 0}, {2, 2, 0}, {4, 6, 0}, {5, 1, 1}, {8, 7, 1}, {9, 0, 2}, {29, 1, 7}, {32, 7, 7}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.square);
        EXPECT_EQ(HostSquareCoords[r.square - 1].column, r.column);
        EXPECT_EQ(HostSquareCoords[r.square - 1].row, r.row);
        EXPECT_EQ(CoordToSquare(r.column, r.row), r.square);
        EXPECT_EQ(CoordToSquare(r.column, r.row, true), 33 - r.square);
    }
    for (int n = 1; n <= 32; ++n)
        EXPECT_EQ(CoordToSquare(HostSquareCoords[n - 1].column, HostSquareCoords[n - 1].row), n);
    // Light cells and cells off the board are no square, mirrored or not.
    for (auto [x, y] : {std::pair{1, 0}, {0, 1}, {7, 6}, {-1, 0}, {8, 0}, {0, 8}, {2147483647, 0}})
        for (bool mirrored : {false, true})
            EXPECT_EQ(CoordToSquare(x, y, mirrored), 0) << x << "," << y;
}

TEST(HostBoard, PieceCodesBothWays) {
    const TBoard b = BoardFromSquares("w1 W2 b31 B32");
    host_board hb;
    std::memset(&hb, 0x7f, sizeof hb);
    BoardToHostBoard(b, hb);
    int occupied = 0;
    for (auto& column : hb.cells)
        for (std::int32_t cell : column)
            occupied += cell != 0;
    EXPECT_EQ(occupied, 4); // every other cell cleared
    EXPECT_EQ(hb.cells[0][0], PIECE_MAN2);
    EXPECT_EQ(hb.cells[2][0], PIECE_KING2);
    EXPECT_EQ(hb.cells[5][7], PIECE_MAN1);
    EXPECT_EQ(hb.cells[7][7], PIECE_KING1);
    TBoard back;
    HostBoardToBoard(hb, back);
    EXPECT_EQ(back, b);
}

TEST(HostBoard, RandomPositionsSurviveTheRoundTrip) {
    test_support::TRandom random(7);
    for (int game = 0; game < 20; ++game) {
        test_support::TRandomGameOptions o;
        o.variant = game % 2 ? gtEnglish : gtItalian;
        o.moves = 60;
        const auto g = test_support::RandomGame(random, o);
        for (const TBoard& b : g.boards) {
            host_board hb;
            BoardToHostBoard(b, hb);
            TBoard back;
            HostBoardToBoard(hb, back);
            ASSERT_EQ(back, b);
        }
    }
}

TEST(HostBoard, LightCellsAndUnknownCodesAreSkipped) {
    host_board hb{};
    hb.cells[1][0] = PIECE_MAN1; // light: would be "square 0"
    hb.cells[0][1] = PIECE_KING2;
    hb.cells[0][0] = 7;  // no piece
    hb.cells[2][0] = -1; // no piece
    hb.cells[4][0] = 1000;
    hb.cells[6][0] = PIECE_MAN1;
    TBoard b;
    HostBoardToBoard(hb, b);
    EXPECT_EQ(b, BoardFromSquares("b4"));
    EXPECT_EQ(b[0], 0);
}

TEST(HostMove, TripleCaptureAndKingMoveInBothNumberings) {
    host_move triple{};
    triple.jumps = 3;
    triple.from = C(0, 0);
    triple.to = C(6, 6);
    triple.path[1] = C(2, 2);
    triple.path[2] = C(4, 4);
    triple.path[3] = C(6, 6);
    triple.del[0] = C(1, 1);
    triple.del[1] = C(3, 3);
    triple.del[2] = C(5, 5);
    TMove m;
    ASSERT_TRUE(HostMoveToMove(triple, m, false));
    EXPECT_TRUE(m.SameMove(Capture(1, {{5, 10}, {14, 19}, {23, 28}})));
    ASSERT_TRUE(HostMoveToMove(triple, m, true));
    EXPECT_TRUE(m.SameMove(Capture(32, {{28, 23}, {19, 14}, {10, 5}})));
    // The same capture is legal for a man of side 0 in English.
    TMove legal;
    ASSERT_TRUE(MatchLegalMove(BoardFromSquares("w1 b5 b14 b23"), 0, gtEnglish,
                               Capture(1, {{5, 10}, {14, 19}, {23, 28}}), legal));

    host_move king{};
    king.from = C(2, 2);
    king.to = C(3, 1);
    king.oldpiece = king.newpiece = PIECE_KING2;
    ASSERT_TRUE(HostMoveToMove(king, m, false));
    EXPECT_TRUE(m.SameMove(Plain(10, 6)));
    ASSERT_TRUE(HostMoveToMove(king, m, true));
    EXPECT_TRUE(m.SameMove(Plain(23, 27)));
}

TEST(HostMove, RecordsThatAreNoMoveGiveNone) {
    host_move ok{};
    ok.jumps = 1;
    ok.from = C(0, 0);
    ok.path[1] = C(2, 2);
    ok.del[0] = C(1, 1);
    struct Row {
        const char* name;
        void (*damage)(host_move&);
    } rows[] = {
        {"12 jumps", [](host_move& h) { h.jumps = 12; }},
        {"negative jumps", [](host_move& h) { h.jumps = -1; }},
        {"huge jumps", [](host_move& h) { h.jumps = 0x7fffffff; }},
        {"from off the board", [](host_move& h) { h.from = C(8, 0); }},
        {"from a light cell", [](host_move& h) { h.from = C(1, 0); }},
        {"landing off the board", [](host_move& h) { h.path[1] = C(2, -1); }},
        {"captured on a light cell", [](host_move& h) { h.del[0] = C(2, 1); }},
        {"plain move to a light cell",
         [](host_move& h) {
             h.jumps = 0;
             h.to = C(0, 1);
         }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        host_move h = ok;
        r.damage(h);
        TMove m = Plain(3, 4);
        EXPECT_FALSE(HostMoveToMove(h, m, false));
        EXPECT_TRUE(m.SameMove(TMove{}));
    }
    // Eleven jumps fill the record's twelve path entries: still a move.
    host_move eleven{};
    eleven.jumps = 11;
    eleven.from = C(0, 0);
    for (int k = 0; k < 12; ++k) {
        eleven.path[k] = C(2, 2);
        eleven.del[k] = C(1, 1);
    }
    TMove m;
    EXPECT_TRUE(HostMoveToMove(eleven, m, false));
    EXPECT_EQ(m.captures, 11);
}

TEST(MatchMoveByResult, FindsTheMoveThatLeadsToThePosition) {
    struct Row {
        const char* name;
        const char* before;
        int side;
        const char* after; // nullptr: no legal move leads there
        TMove expected;
    } rows[] = {
        {"plain", "w9 b30", 0, "w13 b30", Plain(9, 13)},
        {"capture", "w9 b13 b30", 0, "w18 b30", Capture(9, {{13, 18}})},
        {"side 1", "w9 b30", 1, "w9 b26", Plain(30, 26)},
        {"crowning", "w26 b1", 0, "W30 b1", Plain(26, 30)},
        {"unreachable", "w9 b30", 0, "w17 b30", TMove{}},
        {"no pieces move", "w9 b30", 0, "w9 b30", TMove{}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TMove m = Plain(1, 2);
        const bool found =
            MatchMoveByResult(BoardFromSquares(r.before), BoardFromSquares(r.after), r.side, gtEnglish, m);
        EXPECT_EQ(found, r.after && r.expected.from != 0);
        EXPECT_TRUE(m.SameMove(r.expected));
    }
}

TEST(MatchMoveByResult, TwoMovesToOnePositionGiveTheFirstAndNoMovesGiveNone) {
    // An English king takes the four men around it either way round and comes back home.
    const TBoard before = BoardFromSquares("W24 b19 b20 b27 b28");
    TMoveList moves;
    FindMoves(before, 0, moves, gtEnglish);
    ASSERT_GE(moves.size(), 2u);
    ASSERT_FALSE(moves[0].SameMove(moves[1]));
    TBoard after = before;
    MakeMove(moves[1], after, gtEnglish);
    ASSERT_EQ(after, BoardFromSquares("W24"));
    TMove m;
    ASSERT_TRUE(MatchMoveByResult(before, after, 0, gtEnglish, m));
    EXPECT_TRUE(m.SameMove(moves[0]));
    // A side without a move: no answer, whatever the board.
    const TBoard stuck = BoardFromSquares("b1");
    EXPECT_FALSE(MatchMoveByResult(stuck, stuck, 1, gtEnglish, m));
    EXPECT_TRUE(m.SameMove(TMove{}));
}

TEST(EngineTexts, PositionAndMoveTexts) {
    EXPECT_EQ(BoardToEngineText(StartPosition64, 0), "bbbbbbbbbbbb........wwwwwwwwwwwww");
    EXPECT_EQ(BoardToEngineText(StartPosition64, 1), "bbbbbbbbbbbb........wwwwwwwwwwwwb");
    // Square 1 stands at position 28, square 32 at 3; kings in capitals.
    EXPECT_EQ(BoardToEngineText(BoardFromSquares("W1 B32 w4"), 0), "...B........................W..ww");
    EXPECT_EQ(MoveToEngineText(Plain(10, 14)), "c3d4");
    EXPECT_EQ(MoveToEngineText(Capture(10, {{14, 19}})), "c3:d4:e5");
    EXPECT_EQ(MoveToEngineText(Capture(1, {{5, 10}, {14, 19}})), "a1:b2:d4:e5");
    TMove m;
    EXPECT_TRUE(MatchEngineMoveText(StartPosition64, 0, gtRussian, "c3d4", m));
    EXPECT_TRUE(m.SameMove(Plain(10, 14)));
    for (const char* bad : {"", "c3d5", "c3-d4", "C3D4", "c3d4 ", "zz"}) {
        EXPECT_FALSE(MatchEngineMoveText(StartPosition64, 0, gtRussian, bad, m)) << bad;
        EXPECT_TRUE(m.SameMove(TMove{}));
    }
}

TEST(EngineTexts, CommandsAreCutTo255AndTerminated) {
    TCommandText buffer;
    buffer.fill('z');
    ShortToCString("set hashsize 8 ", buffer);
    EXPECT_STREQ(buffer.data(), "set hashsize 8 ");
    ShortToCString(std::string(300, 'a'), buffer);
    EXPECT_EQ(std::strlen(buffer.data()), 255u);
    EXPECT_EQ(EngineCString(nullptr, 30), "");
    EXPECT_EQ(EngineCString("0123456789012345678901234567890123456789", 30).size(), 30u);
}

TEST(PluginColour, ItalianIsTurned) {
    EXPECT_EQ(PluginColour(2, 0), 2);
    EXPECT_EQ(PluginColour(3, 0), 2);
    EXPECT_EQ(PluginColour(3, 1), 1);
    EXPECT_EQ(PluginColour(4, 0), 1);
    EXPECT_EQ(PluginColour(4, 1), 2);
}
