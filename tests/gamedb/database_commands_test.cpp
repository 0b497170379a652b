// The database window's commands without the window: deleted marks, clean-up, check, copy, and the
// player names.

#include "gamedb/database_commands.h"
#include "gamedb/game_index_record.h"
#include "gamedb/progress.h"
#include "gamedb_test_util.h"
#include "tests/support/deleted_marks.h"

using namespace gamedb_test;
using test_support::DeletedMarks;
using test_support::SetDeletedMarks;

namespace {

class DatabaseCommands : public TDbTest {
  protected:
    std::vector<std::unique_ptr<TGame>> written;

    void SetUp() override {
        TDbTest::SetUp();
        db.prompt = &prompt;
        test_support::TRandomGameOptions o;
        o.moves = 12;
        ASSERT_TRUE(test_support::WriteRandomDatabase(Path("db.vqb"), 12, 11, o, &written));
        OpenDatabase(Path("db.vqb"), db);
        ASSERT_TRUE(db.open);
        ASSERT_TRUE(SetDeletedMarks(db, {}));
        list.Reset(db.gameCount);
    }
    void TearDown() override {
        CloseDatabase(db);
        TDbTest::TearDown();
    }

    std::vector<TGameIndexRecord> Records() const {
        std::vector<TGameIndexRecord> out(std::size_t(IndexRecordCount(db)));
        for (int n = 1; n <= IndexRecordCount(db); ++n)
            EXPECT_EQ(ReadIndexRecord(db, n, out[std::size_t(n - 1)]), TDbStatus::Ok);
        return out;
    }

    TGameDatabase db;
    TGameList list;
};

TEST_F(DatabaseCommands, DeleteFollowsTheFirstSelectedGame) {
    // Three selected, the first of them already marked: all three are cleared.
    ASSERT_TRUE(SetDeletedMarks(db, {4, 9}));
    list[4].selected = list[7].selected = list[9].selected = 1;
    ASSERT_EQ(DeleteListedGames(db, list, 1), TDbStatus::Ok);
    EXPECT_EQ(DeletedMarks(db), std::vector<int>{});
    // The first not marked: all three are marked, whatever they were.
    ASSERT_TRUE(SetDeletedMarks(db, {9}));
    ASSERT_EQ(DeleteListedGames(db, list, 1), TDbStatus::Ok);
    EXPECT_EQ(DeletedMarks(db), (std::vector<int>{4, 7, 9}));
    // List order decides which is first, not game numbers.
    list.Clear();
    list.Append(9);
    list.Append(2);
    list[1].selected = list[2].selected = 1;
    ASSERT_TRUE(SetDeletedMarks(db, {2}));
    ASSERT_EQ(DeleteListedGames(db, list, 1), TDbStatus::Ok);
    EXPECT_EQ(DeletedMarks(db), (std::vector<int>{2, 9}));
    // No selection: the current game's mark flips; no current game: nothing.
    list.Reset(db.gameCount);
    ASSERT_TRUE(SetDeletedMarks(db, {}));
    ASSERT_EQ(DeleteListedGames(db, list, 5), TDbStatus::Ok);
    ASSERT_EQ(DeleteListedGames(db, list, 6), TDbStatus::Ok);
    ASSERT_EQ(DeleteListedGames(db, list, 5), TDbStatus::Ok);
    EXPECT_EQ(DeletedMarks(db), std::vector<int>{6});
    const std::vector<TGameIndexRecord> before = Records();
    EXPECT_EQ(DeleteListedGames(db, list, 0), TDbStatus::Ok);
    EXPECT_EQ(SetDeletedMark(db, list, 13, TMarkMode::Set), TDbStatus::NoSuchGame);
    EXPECT_EQ(Records(), before);
    // Only bit 128 changes.
    TGameIndexRecord r0, r1;
    ASSERT_EQ(ReadIndexRecord(db, 3, r0), TDbStatus::Ok);
    ASSERT_EQ(SetDeletedMark(db, list, 3, TMarkMode::Toggle), TDbStatus::Ok);
    ASSERT_EQ(ReadIndexRecord(db, 3, r1), TDbStatus::Ok);
    r1.flags ^= gfDeleted;
    EXPECT_EQ(r0, r1);
}

TEST_F(DatabaseCommands, CleanUpWithNothingDeletedChangesNoByte) {
    CloseDatabase(db);
    const Bytes vqb = ReadBytes(Path("db.vqb")), vqm = ReadBytes(Path("db.vqm")),
                vqn = ReadBytes(Path("db.vqn"));
    OpenDatabase(Path("db.vqb"), db);
    db.currentGame = 7;
    const TCleanUpResult r = CleanUpDatabase(db);
    EXPECT_EQ(r.status, TDbStatus::Ok);
    EXPECT_EQ(r.kept, 12);
    EXPECT_EQ(r.removed, 0);
    EXPECT_EQ(db.gameCount, 12);
    EXPECT_EQ(db.currentGame, 7);
    CloseDatabase(db);
    EXPECT_EQ(ReadBytes(Path("db.vqb")), vqb);
    EXPECT_EQ(ReadBytes(Path("db.vqm")), vqm);
    EXPECT_EQ(ReadBytes(Path("db.vqn")), vqn);
}

TEST_F(DatabaseCommands, CleanUpKeepsTheOrderOfTheRest) {
    ASSERT_TRUE(SetDeletedMarks(db, {1, 5, 6, 12}));
    const std::vector<TGameIndexRecord> before = Records();
    const Bytes vqm = ReadBytes(Path("db.vqm"));
    db.currentGame = 11;
    const TCleanUpResult r = CleanUpDatabase(db);
    EXPECT_EQ(r.status, TDbStatus::Ok);
    EXPECT_EQ(r.removed, 4);
    EXPECT_EQ(db.gameCount, 8);
    EXPECT_EQ(db.currentGame, 8);
    std::vector<TGameIndexRecord> expected;
    for (int n : {2, 3, 4, 7, 8, 9, 10, 11})
        expected.push_back(before[std::size_t(n - 1)]);
    EXPECT_EQ(Records(), expected);
    EXPECT_EQ(ReadBytes(Path("db.vqm")), vqm);
    // The games read back whole from their old blocks.
    auto g = std::make_unique<TGame>();
    ASSERT_EQ(ReadGame(db, 4, false, *g), TDbStatus::Ok);
    EXPECT_EQ(g->white, written[6]->white);
    EXPECT_EQ(g->header.nodeCount, written[6]->header.nodeCount);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 3); // no temporary file left
}

TEST_F(DatabaseCommands, CleanUpWithEveryGameDeleted) {
    std::vector<int> all;
    for (int n = 1; n <= 12; ++n)
        all.push_back(n);
    ASSERT_TRUE(SetDeletedMarks(db, all));
    db.currentGame = 3;
    EXPECT_EQ(CleanUpDatabase(db).status, TDbStatus::Ok);
    EXPECT_EQ(db.gameCount, 0);
    EXPECT_EQ(db.currentGame, 0);
    EXPECT_EQ(std::filesystem::file_size(Path("db.vqb")), 0u);
    // The database goes on working: a game appended lands as game 1.
    auto g = NewGame(gtRussian);
    EXPECT_EQ(WriteGame(*g, 0, db, true), TDbStatus::Ok);
    EXPECT_EQ(IndexRecordCount(db), 1);
}

TEST_F(DatabaseCommands, CleanUpThatCannotWriteLeavesTheIndexWhole) {
    ASSERT_TRUE(SetDeletedMarks(db, {2, 3}));
    const Bytes vqb = ReadBytes(Path("db.vqb"));
    TCleanUpResult r;
    {
        // The new index cannot be written past 100 bytes.
        test_support::TFileSizeLimit limit(100);
        r = CleanUpDatabase(db);
    }
    EXPECT_EQ(r.status, TDbStatus::IoError);
    EXPECT_FALSE(r.message.empty());
    EXPECT_EQ(ReadBytes(Path("db.vqb")), vqb);
    EXPECT_TRUE(db.open);
    EXPECT_EQ(db.gameCount, 12);
    EXPECT_EQ(DeletedMarks(db), (std::vector<int>{2, 3}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 3);
}

TEST_F(DatabaseCommands, CheckStopsAtTheFirstFaultyGame) {
    std::vector<std::int32_t> seen;
    EXPECT_EQ(CheckDatabase(db, [&](std::int32_t n) { seen.push_back(n); }).faultyGame, 0);
    EXPECT_EQ(seen.size(), 12u);

    // A name index beyond the player list reads "ERROR!!!".
    TGameIndexRecord r;
    ASSERT_EQ(ReadIndexRecord(db, 8, r), TDbStatus::Ok);
    r.black = static_cast<std::uint16_t>(db.players.Size());
    ASSERT_EQ(WriteIndexRecord(db, 8, r), TDbStatus::Ok);
    seen.clear();
    TCheckResult c = CheckDatabase(db, [&](std::int32_t n) { seen.push_back(n); });
    EXPECT_EQ(c.faultyGame, 8);
    EXPECT_NE(c.why.find("ERROR!!!"), std::string::npos);
    EXPECT_EQ(seen.back(), 8);

    // A game block damaged by hand, before it: found there.
    ASSERT_EQ(ReadIndexRecord(db, 5, r), TDbStatus::Ok);
    CloseDatabase(db);
    Bytes vqm = ReadBytes(Path("db.vqm"));
    // Every byte of its block overwritten.
    std::fill(vqm.begin() + r.offset, vqm.begin() + r.offset + r.length, std::uint8_t{0xFF});
    ASSERT_TRUE(WriteBytes(Path("db.vqm"), vqm));
    OpenDatabase(Path("db.vqb"), db);
    c = CheckDatabase(db);
    EXPECT_EQ(c.faultyGame, 5);
    EXPECT_NE(c.why.find("damaged"), std::string::npos);
}

// Steps of a task, recorded.
class TRecordingProgress final : public IProgress {
  public:
    void BeginProgress(const std::string& caption, const std::string& text, std::int64_t maximum,
                       std::int64_t) override {
        this->caption = caption;
        this->text = text;
        this->maximum = maximum;
    }
    void StepProgress(std::int64_t position, std::int64_t) override { steps.push_back(position); }
    void EndProgress() override { ended = true; }
    std::string caption, text;
    std::int64_t maximum = -1;
    std::vector<std::int64_t> steps;
    bool ended = false;
};

class CopyCommand : public DatabaseCommands {
  protected:
    // The games of a database, read back.
    std::vector<std::string> Whites(const std::string& name) {
        TGameDatabase t;
        t.prompt = &prompt;
        OpenDatabase(name, t);
        std::vector<std::string> out;
        auto g = std::make_unique<TGame>();
        for (int n = 1; n <= t.gameCount; ++n) {
            EXPECT_EQ(ReadGame(t, n, false, *g), TDbStatus::Ok);
            out.push_back(g->white + "/" + std::to_string(g->header.nodeCount));
        }
        CloseDatabase(t);
        return out;
    }
    std::string Key(int game) const {
        return written[std::size_t(game - 1)]->white + "/" +
               std::to_string(written[std::size_t(game - 1)]->header.nodeCount);
    }
    TRecordingProgress progress;
};

TEST_F(CopyCommand, SelectedGamesInListOrderIntoANewDatabase) {
    list.Clear();
    for (int n : {9, 2, 7, 4})
        list.Append(n);
    list[1].selected = list[2].selected = list[4].selected = 1;
    prompt.answers = {true}; // "Create new?"
    const TCopyResult r = CopyListedGames(db, list, 3, Path("copy.vqb"), progress);
    EXPECT_EQ(r.status, TCopyStatus::Copied);
    EXPECT_EQ(r.copied, 3);
    EXPECT_EQ(prompt.questions, std::vector<std::string>{CreateNewQuestion(Path("copy.vqb"))});
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(Whites(Path("copy.vqb")), (std::vector<std::string>{Key(9), Key(2), Key(4)}));
    EXPECT_EQ(progress.caption, "Copy games");
    EXPECT_EQ(progress.text, "Copying...");
    EXPECT_EQ(progress.maximum, 3);
    EXPECT_TRUE(progress.ended);

    // Into the database now there: appended after its games.
    list.Reset(db.gameCount);
    EXPECT_EQ(CopyListedGames(db, list, 6, Path("copy.vqb"), progress).copied, 1);
    EXPECT_EQ(Whites(Path("copy.vqb")), (std::vector<std::string>{Key(9), Key(2), Key(4), Key(6)}));
}

TEST_F(CopyCommand, NothingChosenOrCreationDeclined) {
    EXPECT_EQ(CopyListedGames(db, list, 0, Path("copy.vqb"), progress).status, TCopyStatus::NothingChosen);
    EXPECT_TRUE(prompt.questions.empty()); // nothing asked, nothing made
    EXPECT_EQ(CopyListedGames(db, list, 2, Path("copy.vqb"), progress).status,
              TCopyStatus::NotOpened); // Cancel
    EXPECT_FALSE(std::filesystem::exists(Path("copy.vqb")));
    // A target that did not open says so.
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Error Opening database"});
}

// Targets that do not open: each says "Error Opening database", nothing is copied, and nothing of
// the target is changed.
TEST_F(CopyCommand, ATargetThatDoesNotOpenSaysSo) {
    struct TCase {
        const char* name;
        std::function<void()> make;
    };
    const TCase cases[] = {
        {"a folder", [&] { std::filesystem::create_directory(Path("t.vqb")); }},
        {"the moves missing", [&] { WriteBytes(Path("t.vqb"), {}); }},
        {"a wrong type",
         [&] {
             WriteBytes(Path("t.vqb"), {});
             WriteBytes(Path("t.vqm"), {7});
             WriteText(Path("t.vqn"), "");
         }},
        {"the names missing (read-only)",
         [&] {
             WriteBytes(Path("t.vqb"), {});
             WriteBytes(Path("t.vqm"), {20});
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* f : {"t.vqb", "t.vqm", "t.vqn"})
            std::filesystem::remove_all(Path(f));
        c.make();
        const auto bytes = [&](const char* f) {
            return std::filesystem::is_regular_file(Path(f)) ? ReadBytes(Path(f)) : Bytes{};
        };
        const Bytes vqb = bytes("t.vqb"), vqm = bytes("t.vqm");
        prompt.messages.clear();
        prompt.answers = {true};
        const TCopyResult r = CopyListedGames(db, list, 1, Path("t.vqb"), progress);
        EXPECT_EQ(r.status, TCopyStatus::NotOpened);
        EXPECT_EQ(r.copied, 0);
        ASSERT_FALSE(prompt.messages.empty());
        const bool says =
            std::any_of(prompt.messages.begin(), prompt.messages.end(), [](const std::string& m) {
                return m.starts_with("Error Opening database") || m == "Wrong database type";
            });
        EXPECT_TRUE(says) << prompt.messages.back();
        EXPECT_EQ(bytes("t.vqb"), vqb);
        EXPECT_EQ(bytes("t.vqm"), vqm);
    }
}

TEST_F(CopyCommand, TheOpenDatabaseUnderAnotherNameIsRefused) {
    CloseDatabase(db);
    const Bytes vqb = ReadBytes(Path("db.vqb")), vqm = ReadBytes(Path("db.vqm"));
    OpenDatabase(Path("db.vqb"), db);
    std::filesystem::create_directory(dir / "sub");
    std::filesystem::create_directory_symlink(dir, dir / "link");
    for (const std::string& other :
         {Path("db.vqb"), Path("db.VQB"), Path("sub/../db.vqb"), Path("link/db.vqb"), Path("db.vqm")}) {
        SCOPED_TRACE(other);
        EXPECT_EQ(CopyListedGames(db, list, 1, other, progress).status, TCopyStatus::SameDatabase);
    }
    // A file linked to the open index under another base name.
    std::filesystem::create_hard_link(Path("db.vqb"), Path("twin.vqb"));
    EXPECT_EQ(CopyListedGames(db, list, 1, Path("twin.vqb"), progress).status, TCopyStatus::SameDatabase);
    CloseDatabase(db);
    EXPECT_EQ(ReadBytes(Path("db.vqb")), vqb);
    EXPECT_EQ(ReadBytes(Path("db.vqm")), vqm);
    EXPECT_TRUE(prompt.questions.empty());
    OpenDatabase(Path("db.vqb"), db);
}

TEST_F(CopyCommand, ProgressCountsGamesCopiedAndDamagedGamesAreLeftOut) {
    ASSERT_TRUE(test_support::WriteRandomDatabase(Path("big.vqb"), 250, 3));
    CloseDatabase(db);
    OpenDatabase(Path("big.vqb"), db);
    list.Reset(db.gameCount);
    // Every other game selected: 125 of 250 list positions.
    for (int p = 1; p <= 250; p += 2)
        list[p].selected = 1;
    // Game 5's block damaged.
    TGameIndexRecord r;
    ASSERT_EQ(ReadIndexRecord(db, 5, r), TDbStatus::Ok);
    r.offset = 0x7FFFFFFF;
    ASSERT_EQ(WriteIndexRecord(db, 5, r), TDbStatus::Ok);
    prompt.answers = {true};
    const TCopyResult c = CopyListedGames(db, list, 1, Path("half.vqb"), progress);
    EXPECT_EQ(c.status, TCopyStatus::Copied);
    EXPECT_EQ(c.copied, 124);
    EXPECT_EQ(c.unreadable, 1);
    EXPECT_EQ(progress.maximum, 125);
    EXPECT_EQ(progress.steps, (std::vector<std::int64_t>{100}));
    TGameDatabase half;
    half.prompt = &prompt;
    OpenDatabase(Path("half.vqb"), half);
    EXPECT_EQ(half.gameCount, 124);
    CloseDatabase(half);
}

TEST(SplitNameAtCapitals, Table) {
    const std::pair<const char*, const char*> cases[] = {
        {"JohnSmith", "John Smith"},
        {"John Smith", "John Smith"},
        {"JOHN", "J O H N"},
        {"vanDerBerg", "van Der Berg"},
        {"McDonald", "Mc Donald"},
        {"A", "A"},
        {"", ""},
        // Only a blank before it keeps a capital as it is.
        {"O'Brien", "O' Brien"},
        {"Anna-Maria", "Anna- Maria"},
        {"Ivan\xC8\xE2\xE0\xED\xEE\xE2", "Ivan\xC8\xE2\xE0\xED\xEE\xE2"}, // Cyrillic capitals do not count
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(SplitNameAtCapitals(in), out) << in;
    // Cut to the length a name may have.
    EXPECT_EQ(SplitNameAtCapitals(std::string(200, 'A')).size(), MaxNameLength);
}

TEST_F(DatabaseCommands, SavedNamesAreSortedIgnoringCase) {
    TGameDatabase names;
    names.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("names.vqb"), names));
    // "борис", "Анна", "carl", "Boris", "alex", "Ёлка" in CP1251.
    for (const char* n :
         {"\xE1\xEE\xF0\xE8\xF1", "\xC0\xED\xED\xE0", "carl", "Boris", "alex", "\xA8\xEB\xEA\xE0"})
        names.players.Append(n);
    ASSERT_TRUE(SavePlayerNames(names, Path("list.lst")));
    EXPECT_FALSE(std::filesystem::exists(Path("list.lst")));
    EXPECT_EQ(test_support::ReadText(Path("list.txt")),
              "alex\r\nBoris\r\ncarl\r\n\xA8\xEB\xEA\xE0\r\n\xC0\xED\xED\xE0\r\n\xE1\xEE\xF0\xE8\xF1\r\n");
    CloseDatabase(names);
}

TEST_F(DatabaseCommands, CorrectedNamesReachTheNameFile) {
    CloseDatabase(db);
    TGameDatabase t;
    t.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("c.vqb"), t));
    auto g = NewGame(gtRussian);
    g->white = "JohnSmith";
    g->black = "Anna Lee";
    ASSERT_EQ(WriteGame(*g, 0, t, true), TDbStatus::Ok);
    CorrectNames(t);
    EXPECT_EQ(PlayerName(0, t), "John Smith");
    EXPECT_EQ(PlayerName(1, t), "Anna Lee");
    CloseDatabase(t);
    OpenDatabase(Path("c.vqb"), t);
    TQuickGameHeader h;
    ASSERT_EQ(ReadQuickHeader(t, 1, h), TDbStatus::Ok);
    EXPECT_EQ(h.white, "John Smith");
    CloseDatabase(t);
    OpenDatabase(Path("db.vqb"), db);
}

} // namespace
