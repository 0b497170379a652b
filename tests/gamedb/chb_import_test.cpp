// The CHB import as a whole: files without games, partial and unreadable records, the ply cap, the
// variant check, a database that refuses a game, the progress it reports and its log.

#include "gamedb/chb_import.h"
#include "gamedb/import_log.h"
#include "gamedb/progress.h"
#include "gamedb_test_util.h"
#include "tests/gamedb/chb_test_file.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace gamedb_test;
using chb_test::Record;

// Records every call.
class TRecordingProgress : public IProgress {
  public:
    struct TCall {
        char op; // 'B', 'S', 'E'
        std::string caption, text;
        std::int64_t a = 0, b = 0;
    };
    std::vector<TCall> calls;
    void BeginProgress(const std::string& caption, const std::string& text, std::int64_t maximum,
                       std::int64_t count) override {
        calls.push_back({'B', caption, text, maximum, count});
    }
    void StepProgress(std::int64_t position, std::int64_t count) override {
        calls.push_back({'S', "", "", position, count});
    }
    void EndProgress() override { calls.push_back({'E', "", "", 0, 0}); }
};

// The c3-d4 f6-e5 d4:f6 g7:e5 game of the standard start.
chb_test::TGameRecord FourPlies() {
    chb_test::TGameRecord g;
    g.codes = {0x049B, 0x0B64, 0x06ED, 0x0DA4};
    return g;
}

class ChbImport : public TDbTest {
  protected:
    TGameDatabase db;
    TRecordingProgress progress;
    IProgress* shown = &progress; // what the imports show their progress on

    void SetUp() override {
        TDbTest::SetUp();
        db.prompt = &prompt;
        ASSERT_TRUE(CreateDatabase(Path("out.vqb"), db));
    }
    void TearDown() override {
        CloseDatabase(db);
        TDbTest::TearDown();
    }
    TChbImportResult Import(const std::vector<Record>& records, std::size_t extraBytes = 0,
                            TGameType v = gtRussian) {
        chb_test::WriteRecords(Path("in.chb"), records, extraBytes);
        return ImportChbDatabase(Path("in.chb"), db, v, *shown);
    }
    std::string LogText() const {
        const Bytes b = ReadBytes(Path("out.log"));
        return std::string(b.begin(), b.end());
    }
};

TEST_F(ChbImport, FilesWithoutGamesImportNone) {
    struct Row {
        const char* name;
        int records;
        std::size_t extra;
        const char* logs;
    } rows[] = {
        {"empty", 0, 0, "holds no games (0 bytes)"},
        {"one record", 1, 0, "holds no games (700 bytes)"},
        {"part of record 0", 0, 300, "partial record of 300 bytes"},
        {"record 0 and part of record 1", 1, 699, "partial record of 699 bytes"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        prompt.messages.clear();
        progress.calls.clear();
        const TChbImportResult res = Import(std::vector<Record>(r.records, chb_test::JunkRecord()), r.extra);
        EXPECT_EQ(res.status, TChbImportStatus::Done);
        EXPECT_EQ(res.records, 0);
        EXPECT_EQ(res.stored, 0);
        EXPECT_EQ(IndexRecordCount(db), 0);
        EXPECT_NE(LogText().find(r.logs), std::string::npos) << LogText();
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_NE(prompt.messages[0].find("See "), std::string::npos);
        // Never a negative maximum, and the window always goes away.
        ASSERT_FALSE(progress.calls.empty());
        EXPECT_EQ(progress.calls.front().a, 0);
        EXPECT_EQ(progress.calls.back().op, 'E');
    }
}

TEST_F(ChbImport, APartialLastRecordIsLoggedAndTheWholeOnesStay) {
    const TChbImportResult res =
        Import({chb_test::JunkRecord(), MakeRecord(FourPlies()), MakeRecord(FourPlies())}, 420);
    EXPECT_EQ(res.status, TChbImportStatus::Done);
    EXPECT_EQ(res.stored, 2);
    EXPECT_EQ(res.whole, 2);
    EXPECT_EQ(IndexRecordCount(db), 2);
    EXPECT_NE(LogText().find("partial record of 420 bytes"), std::string::npos);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find("partial record"), std::string::npos);
}

TEST_F(ChbImport, AWholeFileGivesNoMessageAndRemovesAnOldLog) {
    WriteText(Path("out.log"), "from an earlier import\n");
    const TChbImportResult res = Import({chb_test::JunkRecord(), MakeRecord(FourPlies())});
    EXPECT_EQ(res.whole, 1);
    EXPECT_EQ(res.logPath, "");
    EXPECT_EQ(res.message, "");
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(Path("out.log")));
}

// Two kings shuffling where neither can ever take the other: a legal game of any length.
TEST_F(ChbImport, ARecordOf200PliesImports170) {
    chb_test::TGameRecord g;
    g.start = EmptyBoard;
    g.start[1] = 2;   // white king a1
    g.start[29] = -2; // black king b8
    for (int k = 0; k < 100; ++k) {
        g.codes.push_back(k % 2 ? chb_test::CodeOf(5, 1) : chb_test::CodeOf(1, 5));     // a1-b2, b2-a1
        g.codes.push_back(k % 2 ? chb_test::CodeOf(25, 29) : chb_test::CodeOf(29, 25)); // b8-a7, a7-b8
    }
    const TChbImportResult res = Import({chb_test::JunkRecord(), MakeRecord(g)});
    EXPECT_EQ(res.stored, 1);
    EXPECT_EQ(res.whole, 0);
    auto game = std::make_unique<TGame>();
    ASSERT_EQ(ReadGame(db, 1, false, *game), TDbStatus::Ok);
    EXPECT_EQ(game->header.nodeCount, 170);
    EXPECT_EQ(game->header.flags & 128, 0); // cut, not damaged
    EXPECT_NE(LogText().find("Record 1 (White - Black): 200 moves: the first 170 stored"), std::string::npos)
        << LogText();
}

TEST_F(ChbImport, International10x10IsRefusedBeforeAnythingIsWritten) {
    const TChbImportResult res =
        Import({chb_test::JunkRecord(), MakeRecord(FourPlies())}, 0, gtInternational);
    EXPECT_EQ(res.status, TChbImportStatus::Refused);
    EXPECT_EQ(res.stored, 0);
    EXPECT_EQ(IndexRecordCount(db), 0);
    EXPECT_EQ(ReadBytes(Path("out.vqm")), Bytes{20});
    EXPECT_TRUE(progress.calls.empty());
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find("8x8"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Path("out.log")));
}

TEST_F(ChbImport, AMissingFileIsReported) {
    const TChbImportResult res = ImportChbDatabase(Path("none.chb"), db, gtRussian, *shown);
    EXPECT_EQ(res.status, TChbImportStatus::CannotOpen);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find("none.chb"), std::string::npos);
}

// The player list reaches its 65,536 names with the first game; the second is refused.
TEST_F(ChbImport, ARefusedGameStopsTheImportAndKeepsWhatWasStored) {
    for (int i = 0; i < 65533; ++i) // the first game adds White, Black and the empty annotator
        db.players.Append("P" + std::to_string(i));
    db.namesChanged = true;
    std::vector<Record> records{chb_test::JunkRecord()};
    for (int i = 0; i < 3; ++i) {
        chb_test::TGameRecord g = FourPlies();
        g.white = "New white " + std::to_string(i);
        g.black = "New black " + std::to_string(i);
        records.push_back(MakeRecord(g));
    }
    const TChbImportResult res = Import(records);
    EXPECT_EQ(res.status, TChbImportStatus::WriteFailed);
    EXPECT_EQ(res.stored, 1);
    EXPECT_EQ(IndexRecordCount(db), 1);
    EXPECT_EQ(progress.calls.back().op, 'E');
    EXPECT_NE(LogText().find("Record 2: the database refused the game (name list full)"), std::string::npos);
    ASSERT_FALSE(prompt.messages.empty());
    EXPECT_NE(prompt.messages.back().find("stopped at record 2"), std::string::npos)
        << prompt.messages.back();
    EXPECT_NE(prompt.messages.back().find("1 of 3 games were stored"), std::string::npos);
    // The names of the stored game were saved.
    CloseDatabase(db);
    OpenDatabase(Path("out.vqb"), db);
    auto game = std::make_unique<TGame>();
    ASSERT_EQ(ReadGame(db, 1, false, *game), TDbStatus::Ok);
    EXPECT_EQ(game->white, "New white 0");
    EXPECT_EQ(game->black, "New black 0");
}

// A full disk: the index file cannot grow past 20,000 bytes, so game 385 (52 bytes a record) is
// refused; the import stops there with the games before it and its names saved.
TEST_F(ChbImport, AFullDiskStopsTheImportAndKeepsWhatWasStored) {
    chb_test::WriteRecords(Path("in.chb"), std::vector<Record>(1001, MakeRecord(FourPlies())));
    TChbImportResult res;
    {
        test_support::TFileSizeLimit full(20000);
        res = ImportChbDatabase(Path("in.chb"), db, gtRussian, *shown);
    }
    EXPECT_EQ(res.status, TChbImportStatus::WriteFailed);
    EXPECT_EQ(res.stored, 384);
    EXPECT_EQ(IndexRecordCount(db), 384);
    EXPECT_EQ(progress.calls.back().op, 'E');
    EXPECT_NE(LogText().find("Record 385: the database refused the game (file error)"), std::string::npos)
        << LogText();
    ASSERT_FALSE(prompt.messages.empty());
    EXPECT_NE(prompt.messages.back().find("384 of 1000 games were stored"), std::string::npos);
    CloseDatabase(db);
    OpenDatabase(Path("out.vqb"), db);
    auto game = std::make_unique<TGame>();
    ASSERT_EQ(ReadGame(db, 384, false, *game), TDbStatus::Ok);
    EXPECT_EQ(game->white, "White");
    EXPECT_EQ(game->header.nodeCount, 4);
}

// Cuts the file short while the import runs, as a failing disk would.
class TTruncatingProgress : public TRecordingProgress {
  public:
    std::string path;
    void StepProgress(std::int64_t position, std::int64_t count) override {
        TRecordingProgress::StepProgress(position, count);
        if (position == 100) std::filesystem::resize_file(path, 150 * 700);
    }
};

TEST_F(ChbImport, AReadErrorMidFileStopsWithTheGamesBeforeIt) {
    TTruncatingProgress cutter;
    cutter.path = Path("in.chb");
    shown = &cutter;
    const TChbImportResult res = Import(std::vector<Record>(301, MakeRecord(FourPlies())));
    EXPECT_EQ(res.status, TChbImportStatus::ReadFailed);
    EXPECT_EQ(res.records, 300);
    EXPECT_EQ(res.stored, 149);
    EXPECT_EQ(IndexRecordCount(db), 149);
    EXPECT_NE(LogText().find("Record 150: the file could not be read"), std::string::npos);
    EXPECT_EQ(cutter.calls.back().op, 'E');
}

TEST_F(ChbImport, ProgressShowsTheFileAndStepsEveryHundredRecords) {
    chb_test::WriteRecords(Path("\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B.chb"), // "Игры.chb" in UTF-8
                           std::vector<Record>(251, MakeRecord(FourPlies())));
    const TChbImportResult res =
        ImportChbDatabase(Path("\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B.chb"), db, gtRussian, progress);
    EXPECT_EQ(res.stored, 250);
    ASSERT_EQ(progress.calls.size(), 4u);
    EXPECT_EQ(progress.calls[0].op, 'B');
    EXPECT_EQ(progress.calls[0].caption, "Import CHB Database");
    EXPECT_NE(progress.calls[0].text.find("\xC8\xE3\xF0\xFB.chb"), std::string::npos); // CP1251
    EXPECT_EQ(progress.calls[0].a, 250);
    EXPECT_EQ(progress.calls[0].b, 250);
    EXPECT_EQ(progress.calls[1].op, 'S');
    EXPECT_EQ(progress.calls[1].a, 100);
    EXPECT_EQ(progress.calls[1].b, 0);
    EXPECT_EQ(progress.calls[2].a, 200);
    EXPECT_EQ(progress.calls[3].op, 'E');
}

TEST(ImportLog, PathEntriesAndFile) {
    const auto dir = std::filesystem::temp_directory_path() / ("vq_import_log_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    TImportLog log((dir / "games.vqb").string());
    EXPECT_EQ(log.Path(), (dir / "games.log").string());
    log.SetTitle("Import of x.chb");
    log.Add("Record 7: one\r\ntwo");
    EXPECT_EQ(log.Entries()[0], "Record 7: one  two");
    ASSERT_TRUE(log.Write());
    const Bytes b = ReadBytes(log.Path());
    EXPECT_EQ(std::string(b.begin(), b.end()), "Import of x.chb\nRecord 7: one  two\n");
    EXPECT_TRUE(TImportLog((dir / "games.vqb").string()).Write()); // nothing to log: the old log goes
    EXPECT_FALSE(std::filesystem::exists(log.Path()));
    std::filesystem::remove_all(dir);
}

} // namespace

// Into a database by name: an existing one is replaced as a whole when the file is read through,
// and left byte for byte as it was (with "Nothing imported") when the file cannot be read to its
// end; no staged file stays behind either way.
TEST_F(ChbImport, AFileImportReplacesTheDatabaseOnlyWhenItRunsThrough) {
    CloseDatabase(db);
    ASSERT_TRUE(test_support::WriteRandomDatabase(Path("old.vqb"), 5, 8));
    const auto files = [&] { return ReadBytes(Path("old.vqb")); };
    const Bytes index = files(), names = ReadBytes(Path("old.vqn")), moves = ReadBytes(Path("old.vqm"));
    chb_test::WriteRecords(Path("in.chb"), std::vector<Record>(301, MakeRecord(FourPlies())));
    const std::vector<std::string> listed = tempDir.List();

    TTruncatingProgress cutter;
    cutter.path = Path("in.chb");
    shown = &cutter;
    TChbImportResult res = ImportChbFile(Path("in.chb"), Path("old.vqb"), gtRussian, prompt, *shown);
    EXPECT_EQ(res.status, TChbImportStatus::NothingImported);
    EXPECT_EQ(res.stored, 0);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find("stopped at record 150"), std::string::npos) << prompt.messages[0];
    EXPECT_NE(prompt.messages[0].find("Nothing imported: the database " + Path("old.vqb") + " is as it was"),
              std::string::npos)
        << prompt.messages[0];
    EXPECT_EQ(files(), index);
    EXPECT_EQ(ReadBytes(Path("old.vqn")), names);
    EXPECT_EQ(ReadBytes(Path("old.vqm")), moves);
    EXPECT_EQ(tempDir.List(), listed);

    shown = &progress;
    chb_test::WriteRecords(Path("in.chb"), std::vector<Record>(3, MakeRecord(FourPlies())));
    res = ImportChbFile(Path("in.chb"), Path("old.vqb"), gtRussian, prompt, *shown);
    EXPECT_EQ(res.status, TChbImportStatus::Done);
    EXPECT_EQ(res.stored, 2);
    OpenDatabase(Path("old.vqb"), db);
    EXPECT_EQ(db.gameCount, 2);
    CloseDatabase(db);
    EXPECT_EQ(tempDir.List(), listed);
}
