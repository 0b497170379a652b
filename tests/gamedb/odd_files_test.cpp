// The database side's readers of a file by name (opening books, the book rebuilt over an old one,
// CHB and PDN imports): each refuses at once a FIFO nobody writes to, a folder and /dev/zero,
// before anything is read, and tells why.

#include "gamedb/book_builder.h"
#include "gamedb/book_file.h"
#include "gamedb/chb_import.h"
#include "gamedb/pdn_import.h"
#include "gamedb/progress.h"
#include "gamedb_test_util.h"
#include "tests/support/odd_files.h"

#include <functional>

using namespace gamedb_test;

namespace {

class OddFiles : public TDbTest {};

TEST_F(OddFiles, EveryReaderRefusesWhatIsNotARegularFile) {
    TGameDatabase db;
    ASSERT_TRUE(CreateDatabase(Path("target.vqb"), db));
    struct TReader {
        const char* name;
        const char* fileName;
        std::function<bool(const std::string& path, std::string& error)> read;
    };
    const TReader readers[] = {
        {"TBookFile::Open", "Russian.cbk",
         [](const std::string& p, std::string& error) { return TBookFile::Open(p, &error) != nullptr; }},
        {"BuildBook over an old book", "tree.cbk",
         [&](const std::string& p, std::string& error) {
             const TBookBuildReport r = BuildBook(p, db, {}, nullptr);
             error = r.error;
             return r.ok;
         }},
        {"TChbFile::Open", "games.chb",
         [](const std::string& p, std::string&) {
             TChbFile file; // says nothing: its callers do
             return file.Open(p);
         }},
        {"ImportChbDatabase", "import.chb",
         [&](const std::string& p, std::string& error) {
             const TChbImportResult r = ImportChbDatabase(p, db, gtRussian);
             error = r.message;
             return r.status != TChbImportStatus::CannotOpen;
         }},
        {"ImportPdnDatabase", "games.pdn",
         [&](const std::string& p, std::string& error) {
             const TPdnImportResult r =
                 ImportPdnDatabase(p, Path("pdn.vqb"), gtRussian, prompt, SilentProgress());
             error = r.message;
             return r.status != TPdnImportStatus::CannotOpen;
         }},
    };
    for (const TReader& r : readers) {
        SCOPED_TRACE(r.name);
        std::vector<std::string> errors;
        EXPECT_EQ(test_support::OddFilesTaken(Path(r.fileName),
                                              [&](const std::string& p) {
                                                  std::string error;
                                                  const bool read = r.read(p, error);
                                                  errors.push_back(error);
                                                  return read;
                                              }),
                  std::vector<std::string>{});
        if (std::string(r.name) != "TChbFile::Open") {
            for (const std::string& e : errors)
                EXPECT_FALSE(e.empty());
        }
    }
    EXPECT_EQ(IndexRecordCount(db), 0) << "nothing was imported";
    CloseDatabase(db);
}

} // namespace
