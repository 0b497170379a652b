// The text commands of the Italian library's core: the command table, hostile input, the about
// text and the position text; both libraries loaded together keep their settings apart.

#include "command_cases.h"
#include "engine_test_util.h"
#include "registry.h"

#include <filesystem>
#include <unistd.h>

using command_cases::fixture;

TEST(EngineCommand, Table) {
    command_cases::run_table("22", "Marrak Italian");
}

TEST(EngineCommand, HostileInputChangesNothing) {
    fixture f;
    std::string reply;
    f.run("set dbpath db", reply);
    f.run("set book 3", reply);
    const std::string store = f.store();
    const std::string names[] = {"hashsize", "book",   "allscores", "dbmbytes",
                                 "cl",       "dbpath", "mtcpath",   "bookfile"};
    std::vector<std::string> before;
    for (const auto& n : names)
        before.push_back(f.get(n));

    std::string all_bytes;
    for (int c = 1; c < 256; ++c)
        all_bytes += static_cast<char>(c);
    struct hostile {
        std::string command;
        int result;
        std::string reply; // empty: only its length is checked
    };
    const std::string w79(79, '1'), w80(80, 'a'), w88(88, 'b'), w100(100, 'c'), w104(104, 'd'),
        huge(100000, 'e');
    const hostile rows[] = {
        {"set hashsize " + w80, 1, "Unrecognized set command 'hashsize', ignored"},
        {"set dbpath " + w80, 1, "Unrecognized set command 'dbpath', ignored"},
        {"set mtcpath " + w104, 1, "Unrecognized set command 'mtcpath', ignored"},
        {"set bookfile " + w88, 1, "Unrecognized set command 'bookfile', ignored"},
        {"set dbpath " + huge, 1, "Unrecognized set command 'dbpath', ignored"},
        {"set " + w100 + " 5", 1, "Unrecognized set command '" + std::string(79, 'c') + "', ignored"},
        {"get " + huge, 1, "Unrecognized get command '" + std::string(79, 'e') + "', ignored"},
        {huge, 0, "Unrecognized command '" + std::string(79, 'e') + "', ignored"},
        {"set hashsize " + w79 + "1", 1, "Unrecognized set command 'hashsize', ignored"},
        {"set hashsize", 1, "Unrecognized set command 'hashsize', ignored"},
        {"set hashsize 12x", 1, "Unrecognized set command 'hashsize', ignored"},
        {"set book 0x10", 1, "Unrecognized set command 'book', ignored"},
        {"set cl 2147483648", 1, "Unrecognized set command 'cl', ignored"},
        {"set allscores -2147483649", 1, "Unrecognized set command 'allscores', ignored"},
        {"set dbmbytes 99999999999999999999", 1, "Unrecognized set command 'dbmbytes', ignored"},
        {"set book -", 1, "Unrecognized set command 'book', ignored"},
        {"set dbpath", 1, "Unrecognized set command 'dbpath', ignored"},
        {"\t set\tbook\n\n12a", 1, "Unrecognized set command 'book', ignored"},
        {all_bytes, 0, ""},
        {"staticevaluation W:W99999999999999999999,K0,33:B" + huge, 1,
         "This engine does not use static evaluation\n"},
    };
    for (const hostile& r : rows) {
        SCOPED_TRACE(r.command.substr(0, 40));
        EXPECT_EQ(f.run(r.command, reply), r.result);
        if (!r.reply.empty()) {
            EXPECT_EQ(reply, r.reply);
        }
    }
    EXPECT_EQ(f.store(), store);
    for (std::size_t i = 0; i < std::size(names); ++i)
        EXPECT_EQ(f.get(names[i]), before[i]) << names[i];
    // Null pointers: no crash, and nothing written.
    EXPECT_EQ(marrak::run_engine_command(*f.ctx, nullptr, nullptr), 0);
    EXPECT_EQ(marrak::run_engine_command(*f.ctx, "get book", nullptr), 1);
    char buffer[ENGINE_STATUS_TEXT_SIZE];
    EXPECT_EQ(marrak::run_engine_command(*f.ctx, nullptr, buffer), 0);
    EXPECT_STREQ(buffer, "Unrecognized command '', ignored");
}

TEST(EngineCommand, AboutText) {
    fixture f;
    std::string reply;
    f.run("about", reply);
    EXPECT_EQ(
        reply,
        "Marrak Italian 1.15v -- March 14, 2006\nby Fenwold <marrak@fenwold.example>\n\n"
        "Not using an endgame database.\nNot using an opening book database\nUsing 16mb for hashtable.\n");
    f.ctx->db().usable_pieces = 8;
    f.ctx->db().kind_name = "WTD";
    f.ctx->settings().db_megabytes = 64;
    f.ctx->book().loaded = true;
    f.ctx->book().version = "2.10";
    f.ctx->book().positions = 1234;
    egdb_driver mtc{};
    f.ctx->db().mtc = &mtc;
    EXPECT_EQ(marrak::format_about_text(*f.ctx),
              "Marrak Italian 1.15v -- March 14, 2006\nby Fenwold <marrak@fenwold.example>\n\n"
              "Using the WTD 8-piece endgame database and 64mb for database buffers.\n"
              "Opening book database version 2.10 with 1234 positions\nUsing 16mb for hashtable.\n"
              "Using the mtc database\n");
    f.ctx->db().mtc = nullptr;
}

TEST(EngineCommand, PositionText) {
    struct row {
        const char* text;
        int side;
        engine_position expected;
    };
    // Italian numbering: square n is bit (n - 1) ^ 3.
    const auto bit = [](int n) { return 1u << ((n - 1) ^ 3); };
    const row rows[] = {
        {"B:W21,K22:B1,2", 0, {{bit(1) | bit(2), bit(21) | bit(22)}, bit(22)}},
        {"W:WK32.B1", 1, {{bit(1), bit(32)}, bit(32)}},
        {"W:W0,33,999999999999,5:B", 1, {{0, bit(5)}, 0}},
        {"", 1, {{0, 0}, 0}},
        {"B", 0, {{0, 0}, 0}},
        {"W:7,8", 1, {{0, 0}, 0}}, // numbers before a colour belong to none
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.text);
        int side = -1;
        const engine_position p = marrak::parse_fen_position(r.text, side);
        EXPECT_EQ(side, r.side);
        EXPECT_TRUE(engine_test::same(p, r.expected));
    }
}

TEST(Registry, ReadsWritesAndKeepsOtherLines) {
    test_support::TTempDir dir("engine_registry");
    const std::string path = dir.File("Fenwold/Marrak.reg");
    marrak::registry_store reg(path);
    int n = 5;
    std::string s = "keep";
    EXPECT_FALSE(reg.read_dword("HashSize", n));
    EXPECT_FALSE(reg.read_string("DBPath", s, 99));
    EXPECT_EQ(n, 5);
    EXPECT_EQ(s, "keep");
    std::filesystem::create_directories(dir.Path() / "Fenwold");
    ASSERT_TRUE(
        test_support::WriteText(path, "Other=sz:value\nbroken line\nhashsize=dword:12x\nDBPath=dword:3\n"
                                      "MtcPath=sz:" +
                                          std::string(104, 'm') + "\nUseBook=dword:2"));
    EXPECT_FALSE(reg.read_dword("HashSize", n));      // not a whole number
    EXPECT_FALSE(reg.read_string("DBPath", s, 99));   // the wrong kind
    EXPECT_FALSE(reg.read_string("MtcPath", s, 103)); // too long
    EXPECT_TRUE(reg.read_string("MtcPath", s, 104));
    EXPECT_EQ(s.size(), 104u);
    EXPECT_TRUE(reg.read_dword("UseBook", n));
    EXPECT_EQ(n, 2);
    EXPECT_TRUE(reg.write_dword("HashSize", 64));
    EXPECT_TRUE(reg.write_string("DBPath", "db"));
    EXPECT_TRUE(reg.write_dword("AllScores", 1));
    EXPECT_FALSE(reg.write_string("DBPath", "two\nlines"));
    EXPECT_EQ(test_support::ReadText(path),
              "Other=sz:value\nbroken line\nHashSize=dword:64\nDBPath=sz:db\nMtcPath=sz:" +
                  std::string(104, 'm') + "\nUseBook=dword:2\nAllScores=dword:1\n");
    // No store at all: reads fail, writes do nothing.
    marrak::registry_store none;
    EXPECT_FALSE(none.write_dword("HashSize", 1));
    EXPECT_FALSE(none.read_dword("HashSize", n));
}

TEST(EngineCommand, RelativeBookPathFollowsTheFirstFolder) {
    test_support::TTempDir dir("engine_cwd");
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    fixture f;
    std::string reply;
    f.run("get book", reply); // the set-up notes this folder
    std::filesystem::create_directories(dir.Path() / "Bases");
    std::filesystem::current_path(dir.Path() / "Bases");
    EXPECT_EQ(f.ctx->resolve_path("book.odb"), dir.Path().string() + "/book.odb");
    EXPECT_EQ(f.ctx->resolve_path("/abs/book.odb"), "/abs/book.odb");
    std::filesystem::current_path(saved);
}

TEST(EngineLibraries, CommandsKeepEachLibrarysSettings) {
    engine_test::library english("libMarrak.so"), italian("libmarrak_italian.so");
    ASSERT_TRUE(english.loaded() && italian.loaded());
    const auto en = english.function<enginecommand_fn>("enginecommand");
    const auto it = italian.function<enginecommand_fn>("enginecommand");
    ASSERT_TRUE(en && it);
    char reply[ENGINE_STATUS_TEXT_SIZE];
    EXPECT_EQ(en("set hashsize 32", reply), 1);
    EXPECT_STREQ(reply, "hashsize set to 32mb");
    it("get hashsize", reply);
    EXPECT_STREQ(reply, "16");
    en("get hashsize", reply);
    EXPECT_STREQ(reply, "32");
    it("get gametype", reply);
    EXPECT_STREQ(reply, "22");
    en("get gametype", reply);
    EXPECT_STREQ(reply, "21");
    // Each library writes its own store, below the folder this test program set.
    const std::string config = std::getenv("XDG_CONFIG_HOME");
    EXPECT_NE(test_support::ReadText(config + "/Fenwold/Marrak.reg").find("HashSize=dword:32\n"),
              std::string::npos);
    EXPECT_EQ(test_support::ReadText(config + "/Fenwold/MarrakItalian.reg").find("HashSize"),
              std::string::npos);
    en("set hashsize 16", reply);
}

TEST(EngineSetUp, ReadsTheStoreStartsTheLogAndWritesTheVersion) {
    test_support::TTempDir dir("engine_setup");
    std::filesystem::create_directories(dir.Path() / "Engines");
    const std::string store = dir.File("Fenwold/MarrakItalian.reg");
    std::filesystem::create_directories(dir.Path() / "Fenwold");
    ASSERT_TRUE(test_support::WriteText(store, "HashSize=dword:32\nUseBook=dword:3\nAllScores=dword:1\n"
                                               "DBPath=sz:mydb\nMtcPath=sz:" +
                                                   std::string(104, 'm') + "\nOther=sz:kept\n"));
    const std::string log_file = dir.File("Engines/marrak_italian.log");
    ASSERT_TRUE(test_support::WriteText(log_file, "an earlier process\n"));
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    {
        marrak::engine_context ctx;
        ctx.use_files(true);
        ctx.registry().set_path(store);
        ctx.init();
        std::filesystem::current_path(saved); // the host moves on; the log stays where it was
        EXPECT_EQ(ctx.engine_prefix(), "Engines/");
        EXPECT_EQ(ctx.log_path(), log_file);
        EXPECT_EQ(ctx.hash().megabytes(), 32);
        EXPECT_EQ(ctx.settings().book, 3);
        EXPECT_EQ(ctx.settings().allscores, 1);
        EXPECT_EQ(ctx.settings().db_path, "mydb");
        EXPECT_EQ(ctx.settings().mtc_path, ""); // stored over its limit: missing
        ctx.log("after the move\n");
        EXPECT_EQ(test_support::ReadText(log_file),
                  "Marrak Italian 1.15v\ndbmbytes 0\ndbpath \"mydb\"\nmtcpath \"\"\n"
                  "hashsize 32\nafter the move\n");
        EXPECT_NE(test_support::ReadText(store).find("Other=sz:kept\nVersion=sz:1.15v\n"), std::string::npos);
    }
    // Without a store: the defaults, and no log prefix without the folder.
    test_support::TTempDir empty("engine_setup_empty");
    std::filesystem::current_path(empty.Path());
    {
        marrak::engine_context ctx;
        ctx.use_files(true);
        ctx.init();
        EXPECT_EQ(ctx.engine_prefix(), "");
        EXPECT_EQ(ctx.log_path(), empty.File("marrak_italian.log"));
        EXPECT_EQ(ctx.hash().megabytes(), 16);
        EXPECT_EQ(ctx.settings().book, 1);
        EXPECT_EQ(ctx.settings().db_path, "db");
    }
    std::filesystem::current_path(saved);
}
