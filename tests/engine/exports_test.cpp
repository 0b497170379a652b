// The engine libraries as the host sees them: loaded with dlopen, driven through build_movelist.

#include "engine_test_util.h"

#include <cstdio>
#include <memory>
#include <set>
#include <thread>

using namespace engine_test;

namespace {

const engine_position start_position{{0x00000FFFu, 0xFFF00000u}, 0};

std::uint64_t perft(const library& lib, const engine_position& p, int side, int depth) {
    move_list list;
    const int n = lib.build(p, side, list);
    if (depth == 1) return static_cast<std::uint64_t>(n);
    std::uint64_t leaves = 0;
    for (int i = 0; i < n; ++i)
        leaves += perft(lib, list.moves[i], 1 - side, depth - 1);
    return leaves;
}

// Names of the defined dynamic symbols of a shared library, as nm reports them.
std::set<std::string> dynamic_symbols(const std::string& path) {
    std::set<std::string> names;
    const std::string command = "nm -D --defined-only '" + path + "' 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe.get())) {
        char address[64], type[8], name[400];
        if (std::sscanf(line, "%63s %7s %399s", address, type, name) == 3) names.insert(name);
    }
    return names;
}

} // namespace

TEST(EngineLibraries, ExportOnlyTheInterface) {
    const std::set<std::string> contract = {
        "getmove",        "enginecommand",   "enginename",       "engineabout",    "engineoptions",
        "enginehelp",     "protocolversion", "staticevaluation", "build_movelist", "islegal",
        "get_best_moves", "DebugFunction1",  "DebugFunction2"};
    const char* env = std::getenv("VQ_RUN_DIR");
    const char* dir = env ? env : VQ_RUN_DIR_DEFAULT;
    for (const char* file : {"libMarrak.so", "libmarrak_italian.so"}) {
        SCOPED_TRACE(file);
        const auto names = dynamic_symbols(std::string(dir) + "/" + file);
        ASSERT_FALSE(names.empty()) << "nm found no symbols";
        EXPECT_TRUE(names.count("build_movelist"));
        for (const auto& n : names)
            EXPECT_TRUE(contract.count(n)) << "unexpected export " << n;
    }
    const auto egdb = dynamic_symbols(std::string(dir) + "/libegdb.so");
    EXPECT_EQ(egdb, (std::set<std::string>{"egdb_identify", "egdb_open", "egdb_bitcount_table"}));
}

TEST(EngineLibraries, BothLoadInOneProcessEachWithItsOwnRules) {
    library english("libMarrak.so"), italian("libmarrak_italian.so");
    ASSERT_TRUE(english.loaded()) << english.path() << ": " << english.error();
    ASSERT_TRUE(italian.loaded()) << italian.path() << ": " << italian.error();
    EXPECT_NE(english.handle(), italian.handle());
    EXPECT_NE(english.build_function(), italian.build_function());

    // A colour-2 man next to a colour-1 king with the square behind empty: only the English man
    // may take it. Alternate the calls so that neither library's set-up or state leaks.
    const auto p = diagram({
        "........",
        "........",
        "........",
        "........",
        "...W....",
        "..b.....",
        "........",
        "........",
    });
    for (int round = 0; round < 3; ++round) {
        move_list e, i;
        ASSERT_EQ(english.build(p, 0, e), 1);
        EXPECT_EQ(describe(p, e.moves[0], 0), "c3-e5 x1");
        ASSERT_EQ(italian.build(p, 0, i), 1);
        EXPECT_EQ(describe(p, i.moves[0], 0), "c3-b4");
    }
}

TEST(EngineLibraries, EnglishPerftFromTheStartKeepsDuplicateCaptures) {
    library english("libMarrak.so");
    ASSERT_TRUE(english.loaded());
    const std::uint64_t expected[] = {7, 49, 302, 1469, 7361, 36768, 179740, 845931};
    for (int depth = 1; depth <= 8; ++depth) {
        SCOPED_TRACE(depth);
        EXPECT_EQ(perft(english, start_position, 0, depth), expected[depth - 1]);
        // The start position is symmetric: colour 1 to move counts the same.
        if (depth <= 6) {
            EXPECT_EQ(perft(english, start_position, 1, depth), expected[depth - 1]);
        }
    }
}

TEST(EngineLibraries, BuildMovelistRefusesNullPointers) {
    library italian("libmarrak_italian.so");
    ASSERT_TRUE(italian.loaded());
    move_list list;
    list.count = 77;
    EXPECT_EQ(italian.build_function()(nullptr, 0, &list), 0);
    EXPECT_EQ(list.count, 77u);
    EXPECT_EQ(italian.build_function()(&start_position, 0, nullptr), 0);
}

TEST(EngineLibraries, SideFlagOneMovesColourOne) {
    library english("libMarrak.so");
    ASSERT_TRUE(english.loaded());
    move_list list;
    ASSERT_EQ(english.build(start_position, 1, list), 7);
    for (std::uint32_t i = 0; i < list.count; ++i) {
        EXPECT_EQ(list.moves[i].pieces[0], start_position.pieces[0]);
        EXPECT_NE(list.moves[i].pieces[1], start_position.pieces[1]);
    }
    // Any non-zero side flag is colour 1.
    move_list other;
    ASSERT_EQ(english.build(start_position, 5, other), 7);
}

// As a library's first call, get_best_moves sets the library up itself and scores every move of
// the start position, best first for colour 2, with the play-now word left 0.
TEST(EngineLibraries, GetBestMovesScoresTheStartAsFirstCall) {
    for (const char* file : {"libMarrak.so", "libmarrak_italian.so"}) {
        SCOPED_TRACE(file);
        library lib(file);
        ASSERT_TRUE(lib.loaded());
        auto best_moves = lib.function<get_best_moves_fn>("get_best_moves");
        ASSERT_NE(best_moves, nullptr);
        engine_position p = start_position;
        char status[ENGINE_STATUS_TEXT_SIZE] = {};
        int playnow = 0, margin = -1;
        static move_list moves;
        static int values[ENGINE_MAX_MOVES];
        ASSERT_EQ(best_moves(&p, 0, 0.05, status, &playnow, 0, 10, &moves, values, 5, &margin), 0) << status;
        ASSERT_EQ(moves.count, 7u);
        move_list legal;
        ASSERT_EQ(lib.build(start_position, 0, legal), 7);
        std::set<std::uint64_t> scored, expected;
        for (std::uint32_t i = 0; i < 7; ++i) {
            scored.insert(key_of(moves.moves[i]));
            expected.insert(key_of(legal.moves[i]));
            EXPECT_LT(std::abs(values[i]), 2000);
            if (i) {
                EXPECT_GE(values[i - 1], values[i]);
            }
        }
        EXPECT_EQ(scored, expected);
        EXPECT_GE(margin, 10);
        EXPECT_EQ(playnow, 0);
        EXPECT_NE(std::string(status).find(", D "), std::string::npos) << status;
    }
}

// A square that both colour words claim counts as empty; king bits on empty squares are ignored.
TEST(EngineLibraries, GetBestMovesTakesDoublyClaimedSquaresAsEmpty) {
    library lib("libMarrak.so");
    ASSERT_TRUE(lib.loaded());
    auto best_moves = lib.function<get_best_moves_fn>("get_best_moves");
    ASSERT_NE(best_moves, nullptr);
    engine_position claimed{{0x0f0f0f0fu, 0x00ff00ffu}, 0xf0f0f0f0u};
    const engine_position plain{{0x0f000f00u, 0x00f000f0u}, 0x00f000f0u};
    static move_list moves;
    static int values[ENGINE_MAX_MOVES];
    int playnow = 0, margin = 0;
    ASSERT_EQ(best_moves(&claimed, 1, 0.05, nullptr, &playnow, 0, 0, &moves, values, 3, &margin), 0);
    move_list legal;
    ASSERT_EQ(static_cast<std::uint32_t>(lib.build(plain, 1, legal)), moves.count);
    std::set<std::uint64_t> scored, expected;
    for (std::uint32_t i = 0; i < moves.count; ++i) {
        scored.insert(key_of(moves.moves[i]));
        expected.insert(key_of(legal.moves[i]));
    }
    EXPECT_EQ(scored, expected);
}

// Requests from two threads at once, each the library's first call: the set-up runs once, the
// engine mutex lets one search at a time, and each gets the scores of its own side's moves.
TEST(EngineLibraries, GetBestMovesFromTwoThreads) {
    library lib("libmarrak_italian.so");
    ASSERT_TRUE(lib.loaded());
    auto best_moves = lib.function<get_best_moves_fn>("get_best_moves");
    ASSERT_NE(best_moves, nullptr);
    struct request {
        engine_position p;
        int side;
        move_list moves;
        int values[ENGINE_MAX_MOVES];
        int result = -1;
    };
    static request requests[2];
    requests[0].p = start_position;
    requests[0].side = 0;
    requests[1].p = start_position;
    requests[1].side = 1;
    std::vector<std::thread> threads;
    for (auto& r : requests)
        threads.emplace_back([&r, best_moves] {
            int playnow = 0, margin = 0;
            r.result =
                best_moves(&r.p, r.side, 0.02, nullptr, &playnow, 0, 0, &r.moves, r.values, 3, &margin);
        });
    for (auto& t : threads)
        t.join();
    for (auto& r : requests) {
        SCOPED_TRACE(r.side);
        EXPECT_EQ(r.result, 0);
        move_list legal;
        ASSERT_EQ(lib.build(start_position, r.side, legal), 7);
        ASSERT_EQ(r.moves.count, 7u);
        std::set<std::uint64_t> scored, expected;
        for (std::uint32_t i = 0; i < 7; ++i) {
            scored.insert(key_of(r.moves.moves[i]));
            expected.insert(key_of(legal.moves[i]));
            // Best first for the mover.
            if (i) {
                EXPECT_TRUE(r.side == 0 ? r.values[i - 1] >= r.values[i] : r.values[i - 1] <= r.values[i]);
            }
        }
        EXPECT_EQ(scored, expected);
    }
}
