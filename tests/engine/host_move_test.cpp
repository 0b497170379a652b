// The host's board and move record (Italian library): conversions, the record of a move, islegal,
// and getmove's request through a context of its own and through the loaded library.

#include "host_board.h"
#include "host_board_util.h"
#include "requests.h"
#include "search_fixture.h"

#include <cmath>
#include <cstring>
#include <limits>

using namespace engine_test;
namespace host = marrak::host;

namespace {

bool operator==(const board_coord& a, const board_coord& b) {
    return a.x == b.x && a.y == b.y;
}

void expect_cell(const board_coord& c, int x, int y) {
    EXPECT_EQ(c.x, x);
    EXPECT_EQ(c.y, y);
}

} // namespace

TEST(HostBoard, ConversionsAndNumbering) {
    expect_cell(host::square_to_coord(1), 0, 0);
    expect_cell(host::square_to_coord(32), 7, 7);
    expect_cell(host::square_to_coord(25), 0, 6);
    for (int n : {0, 33, -1})
        expect_cell(host::square_to_coord(n), -1, -1);
    for (int b = 0; b < 32; ++b)
        expect_cell(host::bit_to_coord(b), x_of(b), y_of(b));

    const engine_position p = diagram({
        ".b.B....",
        "........",
        "........",
        "....w...",
        "........",
        "........",
        "........",
        "......W.",
    });
    host_board b = board_of(p);
    EXPECT_EQ(b.cells[1][7], PIECE_MAN2);
    EXPECT_EQ(b.cells[3][7], PIECE_KING2);
    EXPECT_EQ(b.cells[4][4], PIECE_MAN1);
    EXPECT_EQ(b.cells[6][0], PIECE_KING1);
    EXPECT_EQ(b.cells[1][0], 77);
    EXPECT_TRUE(same(host::board_to_position(b), p));
    // Codes outside the four count as empty, and light cells are never read.
    b.cells[2][2] = 7;
    b.cells[6][6] = -5;
    b.cells[1][2] = PIECE_KING1;
    EXPECT_TRUE(same(host::board_to_position(b), p));
    // Writing clears what the position does not hold.
    host::position_to_board(engine_position{{0, 0}, 0}, b);
    EXPECT_EQ(b.cells[2][2], 0);
    EXPECT_EQ(b.cells[1][2], PIECE_KING1);
}

TEST(HostBoard, RecordOfACrowningThreePieceCapture) {
    move_list list;
    ASSERT_EQ(marrak::gen::generate_legal(crowning_capture, list, 1), 1);
    host_move m = filled_record();
    ASSERT_TRUE(host::build_host_move(crowning_capture, list.moves[0], 1, m));
    EXPECT_EQ(m.jumps, 3);
    EXPECT_EQ(m.oldpiece, PIECE_MAN1);
    EXPECT_EQ(m.newpiece, PIECE_KING1);
    expect_cell(m.from, 0, 6);
    expect_cell(m.to, 6, 0);
    expect_cell(m.path[1], 2, 4);
    expect_cell(m.path[2], 4, 2);
    expect_cell(m.path[3], 6, 0);
    expect_cell(m.del[0], 1, 5);
    expect_cell(m.del[1], 3, 3);
    expect_cell(m.del[2], 5, 1);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(m.delpiece[k], PIECE_MAN2);
    // Entries past the capture and path[0] are not written.
    EXPECT_EQ(m.path[0].x, 0x5A5A5A5A);
    EXPECT_EQ(m.del[3].x, 0x5A5A5A5A);
}

TEST(HostBoard, RecordOfAKingsRoundTripAndOfCapturedKings) {
    const engine_position& p = round_trip;
    move_list list;
    ASSERT_GT(marrak::gen::generate_legal(p, list, 0), 0);
    host_move m = filled_record();
    ASSERT_TRUE(host::build_host_move(p, list.moves[0], 2, m));
    EXPECT_EQ(m.jumps, 4);
    EXPECT_EQ(m.oldpiece, PIECE_KING2);
    EXPECT_EQ(m.newpiece, PIECE_KING2);
    expect_cell(m.from, 2, 2);
    expect_cell(m.to, 2, 2);
    expect_cell(m.path[4], 2, 2);
    int kings = 0;
    for (int k = 0; k < 4; ++k) {
        const board_coord d = m.del[k];
        const bool was_king = d == board_coord{5, 3};
        EXPECT_EQ(m.delpiece[k], was_king ? PIECE_KING1 : PIECE_MAN1) << k;
        kings += was_king;
    }
    EXPECT_EQ(kings, 1);
    // A position no legal move reaches leaves the record alone.
    host_move untouched = filled_record();
    EXPECT_FALSE(host::build_host_move(p, p, 2, untouched));
    EXPECT_EQ(untouched.jumps, 0x5A5A5A5A);
}

TEST(HostBoard, IsLegalByStartAndFinalSquares) {
    struct row {
        int from, to, legal;
    };
    // 25 = (0,6), 4 = (6,0), 28 = (6,6), 23 = (5,5); 21 = (1,5) holds a man.
    const row rows[] = {
        {25, 4, 1},  // the capture
        {28, 23, 0}, // a plain move while a capture is on
        {25, 21, 0}, // onto an occupied square
        {4, 25, 0},  // backwards
        {0, 4, 0},   {25, 99, 0},
    };
    library lib("libmarrak_italian.so");
    ASSERT_TRUE(lib.loaded()) << lib.error();
    const auto islegal = lib.function<islegal_fn>("islegal");
    ASSERT_TRUE(islegal);
    for (const row& r : rows) {
        SCOPED_TRACE(std::to_string(r.from) + "-" + std::to_string(r.to));
        host_board b = board_of(crowning_capture);
        host_move m = filled_record();
        EXPECT_EQ(islegal(&b, 1, r.from, r.to, &m), r.legal);
        if (r.legal) {
            EXPECT_EQ(m.jumps, 3);
        } else {
            EXPECT_EQ(m.jumps, 0x5A5A5A5A);
        }
    }
    // With the capture gone the plain move is legal.
    engine_position quiet = crowning_capture;
    quiet.pieces[0] = 0x80000000u; // one colour-2 man far away
    host_board b = board_of(quiet);
    host_move m = filled_record();
    EXPECT_EQ(islegal(&b, 1, 28, 23, &m), 1);
    EXPECT_EQ(m.jumps, 0);
    expect_cell(m.from, 6, 6);
    expect_cell(m.to, 5, 5);
    EXPECT_EQ(m.oldpiece, PIECE_MAN1);
    EXPECT_EQ(m.newpiece, PIECE_MAN1);
    EXPECT_EQ(islegal(nullptr, 1, 28, 23, &m), 0);
    EXPECT_EQ(islegal(&b, 1, 28, 23, nullptr), 0);
}

TEST(MoveRequest, LimitsFromMaxtimeAndInfo) {
    struct row {
        double maxtime;
        int info;
        double soft, hard;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const row rows[] = {
        {10, 4, 0.5, 4}, {10, 6, 0.5, 1}, {2, 0, 1, 8}, {2, 2, 1, 2},
        {nan, 0, 0, 0},  {-3, 0, 0, 0},   {0, 0, 0, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.maxtime);
        SCOPED_TRACE(r.info);
        const marrak::request_limits l = marrak::limits_for(r.maxtime, r.info);
        EXPECT_DOUBLE_EQ(l.soft, r.soft);
        EXPECT_DOUBLE_EQ(l.step, r.soft);
        EXPECT_DOUBLE_EQ(l.hard, r.hard);
    }
}

TEST(MoveRequest, PlaysAMoveFillsTheRecordAndKeepsTheHistory) {
    search_test::fixture f;
    host_board b = board_of(crowning_capture);
    host_move m = filled_record();
    f.playnow = 1;
    char status[ENGINE_STATUS_TEXT_SIZE] = {};
    const int code = marrak::play_move_request(*f.ctx, &b, 1, 1.0, status, &f.playnow, 4, &m);
    EXPECT_NE(code, ENGINE_LOSS);
    EXPECT_EQ(f.playnow, 0);
    EXPECT_DOUBLE_EQ(f.ctx->control().soft_limit, 0.05);
    EXPECT_DOUBLE_EQ(f.ctx->control().hard_limit, 0.4);
    EXPECT_EQ(f.ctx->status_buffer(), nullptr);
    EXPECT_EQ(m.jumps, 3);
    EXPECT_EQ(b.cells[6][0], PIECE_KING1);
    EXPECT_EQ(b.cells[0][6], PIECE_EMPTY);
    EXPECT_EQ(b.cells[1][0], 77);
    const engine_position newest = f.ctx->game().played().back();
    EXPECT_FALSE(same(newest, engine_position{{~0u, 0}, 0}));

    // Info bit 0 starts a new game: the played list holds only this request's root.
    host_board again = board_of(crowning_capture);
    marrak::play_move_request(*f.ctx, &again, 1, 1.0, nullptr, nullptr, 1 | 4, nullptr);
    EXPECT_EQ(f.ctx->game().played()[marrak::history::played_size - 2].pieces[0], ~0u);
    EXPECT_EQ(marrak::play_move_request(*f.ctx, nullptr, 1, 1.0, status, nullptr, 0, &m), ENGINE_UNKNOWN);
}

TEST(MoveRequest, GetmoveWithoutALegalMoveThroughTheLibrary) {
    for (const char* file : {"libmarrak_italian.so", "libMarrak.so"}) {
        SCOPED_TRACE(file);
        library lib(file);
        ASSERT_TRUE(lib.loaded()) << lib.error();
        const auto getmove = lib.function<getmove_fn>("getmove");
        ASSERT_TRUE(getmove);
        const engine_position none{{0x1u, 0}, 0}; // colour 1 has no piece
        host_board b = board_of(none);
        const host_board before = b;
        host_move m = filled_record();
        char status[ENGINE_STATUS_TEXT_SIZE];
        std::memset(status, 'x', sizeof status);
        int playnow = 0;
        EXPECT_EQ(getmove(&b, 1, 0.1, status, &playnow, 0, 0, &m), ENGINE_LOSS);
        EXPECT_STREQ(status, "Lost game");
        EXPECT_EQ(std::memcmp(&b, &before, sizeof b), 0);
        if (std::string(file) == "libmarrak_italian.so") {
            EXPECT_EQ(m.jumps, 0);
            EXPECT_EQ(m.oldpiece, 0);
            EXPECT_EQ(m.newpiece, 0);
        } else {
            EXPECT_EQ(m.jumps, 0x5A5A5A5A); // the English library never writes the record
        }
        EXPECT_EQ(getmove(nullptr, 1, 0.1, status, &playnow, 0, 0, &m), ENGINE_UNKNOWN);
    }
}

TEST(MoveRequest, GetmovePlaysLegalMovesInBothLibraries) {
    for (const char* file : {"libmarrak_italian.so", "libMarrak.so"}) {
        SCOPED_TRACE(file);
        library lib(file);
        ASSERT_TRUE(lib.loaded()) << lib.error();
        const auto getmove = lib.function<getmove_fn>("getmove");
        const engine_position start{{0x00000FFFu, 0xFFF00000u}, 0};
        host_board b = board_of(start);
        engine_position p = start;
        char status[ENGINE_STATUS_TEXT_SIZE] = {};
        host_move m{};
        // A few plies each way, with a new game announced first and no time to think.
        for (int ply = 0; ply < 6; ++ply) {
            const int color = ply % 2 ? 2 : 1;
            const int side = color == 1 ? 1 : 0;
            move_list list;
            ASSERT_GT(lib.build(p, side, list), 0);
            const int code = getmove(&b, color, 0.01, status, nullptr, ply == 0 ? 1 : 0, 0, &m);
            EXPECT_NE(code, ENGINE_LOSS);
            const engine_position after = host::board_to_position(b);
            bool found = false;
            for (std::uint32_t i = 0; i < list.count; ++i)
                found |= same(list.moves[i], after);
            EXPECT_TRUE(found) << ply;
            p = after;
        }
    }
}
