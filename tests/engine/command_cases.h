#pragma once
// The text commands over one rule set's core: each row a command, its result, its reply, the
// store's content after it and a read-back. Included by the Italian and the English sources.

#include "commands.h"
#include "context.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace command_cases {
namespace {

// A context with its store in a private folder.
struct fixture {
    test_support::TTempDir dir{"engine_commands"};
    std::unique_ptr<marrak::engine_context> ctx = std::make_unique<marrak::engine_context>();
    std::string log;
    fixture() {
        ctx->registry().set_path(dir.File("Fenwold/Engine.reg"));
        ctx->set_log([this](const char* text) { log += text; });
    }
    std::string store() const { return test_support::ReadText(dir.File("Fenwold/Engine.reg")); }
    int run(const std::string& command, std::string& reply) {
        char buffer[ENGINE_STATUS_TEXT_SIZE + 16];
        std::memset(buffer, '#', sizeof buffer);
        const int result = marrak::run_engine_command(*ctx, command.c_str(), buffer);
        EXPECT_EQ(std::memcmp(buffer + ENGINE_STATUS_TEXT_SIZE, "################", 16), 0)
            << "reply overran";
        reply.assign(buffer, strnlen(buffer, ENGINE_STATUS_TEXT_SIZE));
        EXPECT_LT(reply.size(), static_cast<std::size_t>(ENGINE_STATUS_TEXT_SIZE));
        return result;
    }
    std::string get(const std::string& name) {
        std::string reply;
        run("get " + name, reply);
        return reply;
    }
};

struct row {
    const char* command;
    int result;
    const char* reply;
    const char* store_after; // the whole store after the command ("" none)
    const char* get;         // a "get" parameter to read back, or null
    const char* get_reply;
};

// Rows run in order on one context; `gametype` and `name` are the library's.
[[maybe_unused]] void run_table(const char* gametype, const char* name) {
    const std::string name_reply = std::string(name) + " 1.15v by Fenwold";
    const row rows[] = {
        // The host's start-up strings, verbatim.
        {"set hashsize 16 ", 1, "hashsize set to 16mb", "", "hashsize", "16"},
        {"set dbpath db_it ", 1, "dbpath set to db_it", "DBPath=sz:db_it\n", "dbpath", "db_it"},
        {"set hashsize 0", 1, "hashsize not changed, 0 rejected", "DBPath=sz:db_it\n", "hashsize", "16"},
        {"set hashsize 24", 1, "hashsize set to 24mb", "DBPath=sz:db_it\nHashSize=dword:24\n", "hashsize",
         "16"},
        {"set hashsize 24", 1, "hashsize set to 24mb", "DBPath=sz:db_it\nHashSize=dword:24\n", "hashsize",
         "16"},
        {"set p1 7", 1, "p1 set to 7", "DBPath=sz:db_it\nHashSize=dword:24\n", nullptr, nullptr},
        {"set p2 -3", 1, "p2 set to -3", "DBPath=sz:db_it\nHashSize=dword:24\n", nullptr, nullptr},
        {"set book 7", 1, "opening book set to unknown",
         "DBPath=sz:db_it\nHashSize=dword:24\nUseBook=dword:7\n", "book", "7"},
        {"set book 2", 1, "opening book set to good", "DBPath=sz:db_it\nHashSize=dword:24\nUseBook=dword:2\n",
         "book", "2"},
        {"set allscores 1", 1, "allscores set to 1",
         "DBPath=sz:db_it\nHashSize=dword:24\nUseBook=dword:2\nAllScores=dword:1\n", "allscores", "1"},
        {"set dbpieces 6", 1, "dbpieces set to 6",
         "DBPath=sz:db_it\nHashSize=dword:24\nUseBook=dword:2\nAllScores=dword:1\n", "dbpieces", "0"},
        {"set dbmbytes 0", 1, "dbmbytes not changed, 0 rejected",
         "DBPath=sz:db_it\nHashSize=dword:24\nUseBook=dword:2\nAllScores=dword:1\n", "dbmbytes", "0"},
        {"set dbmbytes 64", 1, "dbmbytes set to 64",
         "DBPath=sz:db_it\nHashSize=dword:24\nUseBook=dword:2\nAllScores=dword:1\nDBMbytes=dword:64\n",
         "dbmbytes", "64"},
        {"set dbpath db_it", 1, "dbpath set to db_it",
         "DBPath=sz:db_it\nHashSize=dword:24\nUseBook=dword:2\nAllScores=dword:1\nDBMbytes=dword:64\n",
         "dbpath", "db_it"},
        {"set mtcpath mtc", 1, "mtcpath set to mtc",
         "DBPath=sz:db_it\nHashSize=dword:24\nUseBook=dword:2\nAllScores=dword:1\nDBMbytes=dword:64\n"
         "MtcPath=sz:mtc\n",
         "mtcpath", "mtc"},
        {"set protocolversion", 1, "protocolversion set", nullptr, "protocolversion", "2"},
        {"set cl 9", 1, "cl set to 9", nullptr, "cl", "9"},
        {"set bookfile missing.odb", 1, "Cannot load missing.odb", nullptr, "bookfile", nullptr},
        {"set colour 3", 1, "Unrecognized set command 'colour', ignored", nullptr, nullptr, nullptr},
        {"set", 1, "Unrecognized set command '', ignored", nullptr, nullptr, nullptr},
        {"get gametype", 1, gametype, nullptr, nullptr, nullptr},
        {"get colour", 1, "Unrecognized get command 'colour', ignored", nullptr, nullptr, nullptr},
        {"get", 1, "Unrecognized get command '', ignored", nullptr, nullptr, nullptr},
        {"name", 1, name_reply.c_str(), nullptr, nullptr, nullptr},
        {"protocolversion", 1, "2", nullptr, nullptr, nullptr},
        {"help", 1, marrak::italian_rules ? "MarrakItalianHelp.htm" : "MarrakHelp.htm", nullptr, nullptr,
         nullptr},
        {"staticevaluation W:W21,K22:B1,2", 1, "This engine does not use static evaluation\n", nullptr,
         nullptr, nullptr},
        {"SET hashsize 32", 0, "Unrecognized command 'SET', ignored", nullptr, "hashsize", "16"},
        {"", 0, "Unrecognized command '', ignored", nullptr, nullptr, nullptr},
        {" \t\n", 0, "Unrecognized command '', ignored", nullptr, nullptr, nullptr},
    };
    fixture f;
    std::string last_store = f.store();
    for (const row& r : rows) {
        SCOPED_TRACE(r.command);
        std::string reply;
        EXPECT_EQ(f.run(r.command, reply), r.result);
        EXPECT_EQ(reply, r.reply);
        if (r.store_after) last_store = r.store_after;
        EXPECT_EQ(f.store(), last_store);
        if (r.get && r.get_reply) {
            EXPECT_EQ(f.get(r.get), r.get_reply);
        }
    }
    EXPECT_EQ(f.get("bookfile"), marrak::italian_rules ? "marrak_italian.odb" : "Marrak.odb");
}

} // namespace
} // namespace command_cases
