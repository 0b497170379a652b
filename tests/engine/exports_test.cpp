// The engine libraries as the host sees them: loaded with dlopen, driven through build_movelist.

#include "engine_test_util.h"

#include <cstdio>
#include <memory>
#include <set>

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
