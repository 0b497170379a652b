// The engine's readers of a file by name (its opening book and its settings store): each refuses at
// once a FIFO nobody writes to, a folder and /dev/zero, before anything is read, and the store
// never writes over one.

#include "book.h"
#include "platform/file_io.h"
#include "registry.h"
#include "tests/support/odd_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

TEST(EngineReaders, RefuseWhatIsNotARegularFile) {
    test_support::TTempDir dir("engine_odd");
    struct TReader {
        const char* name;
        std::function<bool(const std::string& path)> read;
    };
    std::string log;
    const TReader readers[] = {
        {"load_book_file",
         [&](const std::string& p) {
             marrak::opening_book book;
             return marrak::load_book_file(book, p, [&](const char* text) { log += text; });
         }},
        {"registry_store read",
         [](const std::string& p) {
             int value = 0;
             return marrak::registry_store(p).read_dword("HashSize", value);
         }},
        {"registry_store write",
         [](const std::string& p) {
             return marrak::registry_store(p).write_dword("HashSize", 64) || RegularFileExists(p);
         }},
    };
    for (const TReader& r : readers) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(test_support::OddFilesTaken(dir.File("Marrak.odb"), r.read), std::vector<std::string>{});
    }
    EXPECT_NE(log.find("not a regular file"), std::string::npos) << log;
}

} // namespace
