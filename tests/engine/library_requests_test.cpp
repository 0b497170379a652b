// The engine libraries as tavrix drives them, loaded with dlopen: the move records of captures,
// whole games checked move by move against the host's rules, and tavrix's start-up commands with
// the warm-up searches.

#include "app/core/engine_convert.h"
#include "app/core/status_parsers.h"
#include "host_board_util.h"
#include "rules/movegen.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <random>
#include <vector>

using namespace engine_test;

namespace {

// One plug-in as tavrix binds it.
struct plugin {
    explicit plugin(int kind_)
        : kind(kind_), italian(kind_ == ekMarrakItalian),
          lib(italian ? "libmarrak_italian.so" : "libMarrak.so") {
        getmove = lib.function<getmove_fn>("getmove");
        command = lib.function<enginecommand_fn>("enginecommand");
    }
    bool ready() const { return lib.loaded() && getmove && command; }
    TGameType rules() const { return italian ? gtItalian : gtEnglish; }

    int kind;
    bool italian;
    library lib;
    getmove_fn getmove = nullptr;
    enginecommand_fn command = nullptr;
};

// The board a plug-in is sent: turned for the Italian one, so that the host's side 0 has colour 1.
host_board sent_board(const plugin& p, const TBoard& board) {
    TBoard sent = board;
    if (p.italian) FlipBoard(sent, 32);
    host_board out;
    BoardToHostBoard(sent, out);
    return out;
}

// The board a plug-in left, in the host's orientation.
TBoard received_board(const plugin& p, const host_board& board) {
    TBoard out;
    HostBoardToBoard(board, out);
    if (p.italian) FlipBoard(out, 32);
    return out;
}

struct reply {
    int code = -1;
    bool matched = false; // the reply is one of the host's legal moves
    TMove move{};
    std::string status;
};

// A move request as tavrix makes it, and its check: the English plug-in's board after the move,
// the Italian one's record, which must also agree with the board it left.
reply request_move(const plugin& p, const TBoard& board, int side, double seconds, int info) {
    host_board b = sent_board(p, board);
    host_move record{};
    TStatusText status{};
    int playnow = 0;
    reply r;
    r.code = p.getmove(&b, PluginColour(p.kind, side), seconds, status.data(), &playnow, info, 0, &record);
    r.status = StatusLine(status);
    if (p.italian) {
        TMove described;
        r.matched = HostMoveToMove(record, described, true) &&
                    MatchLegalMove(board, side, gtItalian, described, r.move);
        if (r.matched) {
            TBoard expected = board;
            MakeMove(r.move, expected, gtItalian);
            EXPECT_TRUE(SamePosition(expected, received_board(p, b))) << "the record and the board disagree";
        }
    } else {
        r.matched = MatchMoveByResult(board, received_board(p, b), side, gtEnglish, r.move);
    }
    EXPECT_EQ(playnow, 0);
    return r;
}

// The positions after each move, as the plug-in's build_movelist and the host's generator give them.
std::vector<TBoard> engine_results(const plugin& p, const TBoard& board, int side) {
    const engine_position position = marrak::host::board_to_position(sent_board(p, board));
    move_list list;
    p.lib.build(position, PluginColour(p.kind, side) == 1 ? 1 : 0, list);
    std::vector<TBoard> out;
    for (std::uint32_t i = 0; i < list.count; ++i) {
        host_board b{};
        marrak::host::position_to_board(list.moves[i], b);
        out.push_back(received_board(p, b));
    }
    return out;
}

std::vector<TBoard> host_results(const TBoard& board, int side, TGameType rules) {
    TMoveList list;
    FindMoves(board, side, list, rules);
    std::vector<TBoard> out;
    for (const TMove& m : list) {
        TBoard after = board;
        MakeMove(m, after, rules);
        out.push_back(after);
    }
    return out;
}

bool contains(const std::vector<TBoard>& list, const TBoard& b) {
    return std::find(list.begin(), list.end(), b) != list.end();
}

// Games per library; the sanitizer trees, many times slower, play one.
#ifdef ENGINE_SANITIZED
constexpr unsigned game_count = 1;
#else
constexpr unsigned game_count = 3;
#endif

bool operator==(const board_coord& a, const board_coord& b) {
    return a.x == b.x && a.y == b.y;
}

} // namespace

// The records of getmove's forced captures in the Italian library, and the board it leaves.
TEST(LibraryRequests, ItalianRecordsOfCaptures) {
    struct row {
        const char* name;
        const engine_position* position;
        int color, oldpiece, newpiece;
        board_coord from, to;
        std::vector<board_coord> path; // landing cells after captures 1, 2, ...
        std::vector<board_coord> del;
        std::vector<int> delpiece;
    };
    const row rows[] = {
        {"a man takes three and is crowned",
         &crowning_capture,
         1,
         PIECE_MAN1,
         PIECE_KING1,
         {0, 6},
         {6, 0},
         {{2, 4}, {4, 2}, {6, 0}},
         {{1, 5}, {3, 3}, {5, 1}},
         {PIECE_MAN2, PIECE_MAN2, PIECE_MAN2}},
        // Of the two ways round, the one that takes the king earlier.
        {"a king goes round and back",
         &round_trip,
         2,
         PIECE_KING2,
         PIECE_KING2,
         {2, 2},
         {2, 2},
         {{4, 4}, {6, 2}, {4, 0}, {2, 2}},
         {{3, 3}, {5, 3}, {5, 1}, {3, 1}},
         {PIECE_MAN1, PIECE_KING1, PIECE_MAN1, PIECE_MAN1}},
    };
    plugin italian(ekMarrakItalian);
    ASSERT_TRUE(italian.ready()) << italian.lib.error();
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        host_board b = board_of(*r.position);
        host_move m = filled_record();
        char status[ENGINE_STATUS_TEXT_SIZE] = {};
        int playnow = 0;
        EXPECT_NE(italian.getmove(&b, r.color, 0.05, status, &playnow, 1, 0, &m), ENGINE_LOSS) << status;
        const int jumps = static_cast<int>(r.path.size());
        EXPECT_EQ(m.jumps, jumps);
        EXPECT_EQ(m.oldpiece, r.oldpiece);
        EXPECT_EQ(m.newpiece, r.newpiece);
        EXPECT_TRUE(m.from == r.from);
        EXPECT_TRUE(m.to == r.to);
        for (int k = 0; k < jumps; ++k) {
            EXPECT_TRUE(m.path[k + 1] == r.path[k]) << "path " << k + 1;
            EXPECT_TRUE(m.del[k] == r.del[k]) << "del " << k;
            EXPECT_EQ(m.delpiece[k], r.delpiece[k]) << "delpiece " << k;
        }
        // Nothing past the capture carries a value.
        for (int k = jumps; k < HOST_MOVE_MAX_JUMPS; ++k) {
            EXPECT_EQ(m.del[k].x, 0);
            EXPECT_EQ(m.delpiece[k], 0);
        }
        // The board: the captured pieces gone, the mover on its final cell, light cells untouched.
        for (const board_coord& d : r.del)
            EXPECT_EQ(b.cells[d.x][d.y], PIECE_EMPTY);
        EXPECT_EQ(b.cells[r.to.x][r.to.y], r.newpiece);
        if (!(r.from == r.to)) {
            EXPECT_EQ(b.cells[r.from.x][r.from.y], PIECE_EMPTY);
        }
        EXPECT_EQ(b.cells[1][0], 77);
    }
}

// Games from random openings, each move of the plug-in checked the way tavrix checks it, and the
// moves it lists at every position against the host's: the same for English (duplicate captures
// included), a part of them for Italian, whose engine keeps only the captures that take a king
// earliest.
TEST(LibraryRequests, GamesAgreeWithTheHostsRules) {
    for (const int kind : {ekMarrak, ekMarrakItalian}) {
        plugin p(kind);
        SCOPED_TRACE(p.lib.path());
        ASSERT_TRUE(p.ready()) << p.lib.error();
        for (unsigned seed = 1; seed <= game_count; ++seed) {
            SCOPED_TRACE(seed);
            std::mt19937 rng(seed);
            TBoard board = StartPosition64;
            int side = 0;
            const int random_plies = 2 + static_cast<int>(rng() % 6);
            for (int ply = 0; ply < 70; ++ply, side = 1 - side) {
                SCOPED_TRACE(ply);
                const std::vector<TBoard> host = host_results(board, side, p.rules());
                const std::vector<TBoard> engine = engine_results(p, board, side);
                if (p.italian) {
                    EXPECT_EQ(engine.empty(), host.empty());
                    for (const TBoard& b : engine)
                        EXPECT_TRUE(contains(host, b));
                } else {
                    EXPECT_TRUE(std::is_permutation(engine.begin(), engine.end(), host.begin(), host.end()));
                }
                if (host.empty()) break;
                if (ply < random_plies) {
                    board = host[rng() % host.size()];
                    continue;
                }
                const reply r = request_move(p, board, side, 0.01, ply == random_plies ? 1 : 0);
                // A lost position still gets a move; the code only judges the game.
                ASSERT_TRUE(r.matched) << r.status;
                EXPECT_TRUE(r.code >= ENGINE_DRAW && r.code <= ENGINE_UNKNOWN) << r.code;
                MakeMove(r.move, board, p.rules());
            }
        }
    }
}

// Boards no game reaches: any cell value, men on their own crowning row, more than twelve pieces
// a side. Each request gives a result code, and the board it leaves is the position after one of
// the engine's own legal moves (or the board unchanged when there is none), light cells untouched.
TEST(LibraryRequests, GetmoveOnArbitraryBoards) {
    const int codes[] = {PIECE_EMPTY, PIECE_MAN1, PIECE_MAN2, PIECE_KING1, PIECE_KING2, 7, -6, 1 << 30};
    for (const char* file : {"libMarrak.so", "libmarrak_italian.so"}) {
        library lib(file);
        SCOPED_TRACE(file);
        ASSERT_TRUE(lib.loaded()) << lib.error();
        const auto getmove = lib.function<getmove_fn>("getmove");
        std::mt19937 rng(7);
        for (int round = 0; round < 40; ++round) {
            SCOPED_TRACE(round);
            host_board b;
            // Sparse boards mostly, some crowded ones.
            const int density = round % 4 == 3 ? 90 : 30;
            for (int x = 0; x < 8; ++x)
                for (int y = 0; y < 8; ++y)
                    b.cells[x][y] = (x + y) % 2 ? 77
                                    : static_cast<int>(rng() % 100) < density
                                        ? codes[1 + rng() % (std::size(codes) - 1)]
                                        : PIECE_EMPTY;
            const engine_position before = marrak::host::board_to_position(b);
            const int color = 1 + round % 2;
            const int side = color == 1 ? 1 : 0;
            move_list legal;
            lib.build(before, side, legal);
            host_move record = filled_record();
            char status[ENGINE_STATUS_TEXT_SIZE];
            int playnow = 0;
            const int code = getmove(&b, color, 0.01, status, &playnow, round == 0 ? 1 : 0, 0, &record);
            EXPECT_TRUE(code >= ENGINE_DRAW && code <= ENGINE_UNKNOWN) << code;
            EXPECT_NE(std::memchr(status, 0, sizeof status), nullptr);
            const engine_position after = marrak::host::board_to_position(b);
            if (legal.count == 0) {
                EXPECT_EQ(code, ENGINE_LOSS);
                EXPECT_TRUE(same(after, before));
                continue;
            }
            bool found = false;
            for (std::uint32_t i = 0; i < legal.count; ++i)
                found |= same(legal.moves[i], after);
            EXPECT_TRUE(found) << status;
            for (int x = 0; x < 8; ++x)
                for (int y = (x + 1) % 2; y < 8; y += 2)
                    EXPECT_EQ(b.cells[x][y], 77);
        }
    }
}

// What tavrix sends each plug-in at start, in its spelling, then its 0.1 s warm-up request on the
// start position; both libraries in one process, each with its own store, log and book name.
TEST(LibraryRequests, StartUpCommandsAndWarmUpOfBothLibraries) {
    test_support::TTempDir dir("engine_start_up");
    std::filesystem::create_directories(dir.Path() / "engines");
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    struct exchange {
        const char* command;
        const char* reply;
    };
    struct library_case {
        int kind;
        std::vector<exchange> start_up;
        std::vector<exchange> read_back;
        const char* log_file;
        const char* log_name;
        const char* store;
        std::vector<std::string> stored;
    };
    const library_case cases[] = {
        {ekMarrak,
         {{"set hashsize 8 ", "hashsize set to 8mb"},
          {"set dbmbytes 1", "dbmbytes set to 1"},
          {"set allscores 0", "allscores set to 0"}},
         {{"get hashsize", "8"},
          {"get dbmbytes", "1"},
          {"get allscores", "0"},
          {"get dbpath", "db"},
          {"get bookfile", "Marrak.odb"},
          {"get gametype", "21"}},
         "engines/Marrak.log",
         "Marrak",
         "Fenwold/Marrak.reg",
         {"HashSize=dword:8\n", "DBMbytes=dword:1\n", "Version=sz:1.15v\n"}},
        {ekMarrakItalian,
         {{"set dbpath db_it ", "dbpath set to db_it"},
          {"set hashsize 8 ", "hashsize set to 8mb"},
          {"set dbmbytes 1", "dbmbytes set to 1"},
          {"set allscores 0", "allscores set to 0"}},
         {{"get hashsize", "8"},
          {"get dbmbytes", "1"},
          {"get allscores", "0"},
          {"get dbpath", "db_it"},
          {"get bookfile", "marrak_italian.odb"},
          {"get gametype", "22"}},
         "engines/marrak_italian.log",
         "Marrak Italian",
         "Fenwold/MarrakItalian.reg",
         {"DBPath=sz:db_it\n", "HashSize=dword:8\n", "DBMbytes=dword:1\n", "Version=sz:1.15v\n"}},
    };
    std::vector<std::unique_ptr<plugin>> plugins;
    for (const library_case& c : cases) {
        plugins.push_back(std::make_unique<plugin>(c.kind));
        const plugin& p = *plugins.back();
        SCOPED_TRACE(p.lib.path());
        ASSERT_TRUE(p.ready()) << p.lib.error();
        char text[ENGINE_STATUS_TEXT_SIZE];
        p.command("name", text);
        // The folder is taken at a library's first call in the process; CTest runs each test alone.
        if (!std::filesystem::exists(dir.File(c.log_file))) {
            std::filesystem::current_path(saved);
            GTEST_SKIP() << "the library was set up earlier in this process";
        }
        for (const exchange& e : c.start_up) {
            EXPECT_EQ(p.command(e.command, text), 1);
            EXPECT_STREQ(text, e.reply) << e.command;
        }
        const reply r = request_move(p, StartPosition64, 0, 0.1, 0);
        EXPECT_TRUE(r.matched) << r.status;
        EXPECT_EQ(r.code, ENGINE_UNKNOWN) << r.status;
        TEngineInfo info;
        EXPECT_TRUE(ParseMarrakStatus(r.status, p.rules(), 0, info)) << r.status;
    }
    // Read back once both have run: neither changed the other.
    const std::string config = std::getenv("XDG_CONFIG_HOME");
    for (std::size_t i = 0; i < plugins.size(); ++i) {
        const library_case& c = cases[i];
        const plugin& p = *plugins[i];
        SCOPED_TRACE(p.lib.path());
        char text[ENGINE_STATUS_TEXT_SIZE];
        for (const exchange& e : c.read_back) {
            EXPECT_EQ(p.command(e.command, text), 1);
            EXPECT_STREQ(text, e.reply) << e.command;
        }
        const std::string store = test_support::ReadText(config + "/" + c.store);
        for (const std::string& line : c.stored)
            EXPECT_NE(store.find(line), std::string::npos) << line << " in\n" << store;
        // The default all-scores setting was not changed, so not written.
        EXPECT_EQ(store.find("AllScores"), std::string::npos) << store;
        if (!p.italian) {
            EXPECT_EQ(store.find("DBPath"), std::string::npos) << store;
        }
        // The log in the engines folder, its own: the engine's name first, the table size and the
        // warm-up's search.
        const std::string log = test_support::ReadText(dir.File(c.log_file));
        EXPECT_EQ(log.rfind(std::string(c.log_name) + " 1.15v\n", 0), 0u) << log;
        EXPECT_NE(log.find("\nhashsize 16\n"), std::string::npos) << log;
        EXPECT_NE(log.find("\nbest "), std::string::npos) << log;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "Marrak.log"));
    std::filesystem::current_path(saved);
}
