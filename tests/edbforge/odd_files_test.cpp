// The generator's readers of a file by name (the outside engine's file it reads at start, and the
// table files already present): each refuses at once a FIFO nobody writes to, a folder and
// /dev/zero, before anything is read.

#include "edbforge/generator.h"
#include "edbforge/tables.h"
#include "tests/support/odd_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

TEST(GeneratorReaders, RefuseWhatIsNotARegularFile) {
    test_support::TTempDir dir("edbforge_odd");
    const edb::material cls{1, 1, 0, 0};
    struct TReader {
        const char* name;
        std::function<bool(const std::string& path)> read;
    };
    const TReader readers[] = {
        {"read_engine_file", [](const std::string& p) { return forge::read_engine_file(p) >= 0; }},
        {"read_table_file",
         [&](const std::string& p) {
             edb::table t;
             return edb::read_table_file(p, edb::table_bytes(cls), t) != edb::load_result::unreadable;
         }},
    };
    for (const TReader& r : readers) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(test_support::OddFilesTaken(dir.File(edb::file_name(cls)), r.read),
                  std::vector<std::string>{});
    }
}

} // namespace
