// The endgame-database readers take a file by name: each refuses at once a FIFO nobody writes to, a
// folder and /dev/zero, before anything is read.

#include "rules/edb_tools.h"
#include "rules/endgame_db.h"
#include "tests/support/odd_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

TEST(EndgameDatabaseReaders, RefuseWhatIsNotARegularFile) {
    test_support::TTempDir dir("edb_odd");
    struct TReader {
        const char* name;
        std::function<bool(const std::string& path, std::string& error)> read;
    };
    const std::string out = dir.File("out.cpr");
    const TReader readers[] = {
        {"TEndgameDatabaseFile::Open",
         [](const std::string& p, std::string& error) {
             return TEndgameDatabaseFile::Open(p, &error) != nullptr;
         }},
        {"CompressEdb",
         [&](const std::string& p, std::string& error) {
             const TToolResult r = CompressEdb(p, out);
             error = r.error;
             return r.ok;
         }},
        {"ConvertEdb",
         [&](const std::string& p, std::string& error) {
             const TToolResult r = ConvertEdb(p, out);
             error = r.error;
             return r.ok;
         }},
    };
    const std::string path = dir.File("pos5rus.edb");
    for (const TReader& r : readers) {
        SCOPED_TRACE(r.name);
        std::vector<std::string> errors;
        EXPECT_EQ(test_support::OddFilesTaken(path,
                                              [&](const std::string& p) {
                                                  std::string error;
                                                  const bool read = r.read(p, error);
                                                  errors.push_back(error);
                                                  return read;
                                              }),
                  std::vector<std::string>{});
        for (const std::string& e : errors)
            EXPECT_NE(e.find(path), std::string::npos) << e;
        EXPECT_FALSE(std::filesystem::exists(out)) << "nothing is written from what was refused";
    }
}

} // namespace
