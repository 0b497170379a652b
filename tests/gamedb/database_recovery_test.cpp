// What an open finds of a replacement that was cut short (its journal, staged and temporary files,
// the sets of earlier versions) and of files it cannot use as they are (a partial index record, a
// folder it cannot write, names that are not files).

#include "gamedb/chb_import.h"
#include "gamedb/database_commands.h"
#include "gamedb/db_file.h"
#include "gamedb/pdn_export.h"
#include "gamedb/pdn_import.h"
#include "gamedb/progress.h"
#include "gamedb_test_util.h"
#include "tests/gamedb/chb_test_file.h"

#include <cstring>
#include <functional>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace gamedb_test;

namespace {

namespace fs = std::filesystem;

// Above the system's largest process id: never a running process.
constexpr long GonePid = 99999999;

// The three files of a database as bytes, nullopt where absent.
using TSet = std::array<std::optional<Bytes>, 3>;

TSet SetOf(const std::string& base) {
    TSet s;
    int i = 0;
    for (const char* ext : {".vqb", ".vqn", ".vqm"}) {
        const std::string f = base + ext;
        if (fs::is_regular_file(f)) s[std::size_t(i)] = ReadBytes(f);
        ++i;
    }
    return s;
}

void SetMtime(const std::string& path, std::time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// A folder with an old database "t" and, beside it, the files of a new one ("new.*") to arrange
// as a cut-short replacement would have left them.
class Recovery : public TDbTest {
  protected:
    void SetUp() override {
        TDbTest::SetUp();
        // Made once: every case starts from the same two databases.
        static const std::pair<TSet, TSet> made = [] {
            test_support::TTempDir once("recovery");
            test_support::TRandomGameOptions o;
            o.moves = 10;
            EXPECT_TRUE(test_support::WriteRandomDatabase(once.File("old.vqb"), 6, 21, o));
            EXPECT_TRUE(test_support::WriteRandomDatabase(once.File("new.vqb"), 4, 22, o));
            return std::pair{SetOf(once.File("old")), SetOf(once.File("new"))};
        }();
        oldSet = made.first;
        newSet = made.second;
        int i = 0;
        for (const char* ext : {".vqb", ".vqn", ".vqm"}) {
            WriteBytes(Path(std::string("t") + ext), *oldSet[std::size_t(i)]);
            WriteBytes(Path(std::string("new") + ext), *newSet[std::size_t(i++)]);
        }
    }
    // Moves new.<ext> to `name`.
    void Place(const char* ext, const std::string& name) {
        fs::rename(Path(std::string("new") + ext), Path(name));
    }
    // Opens t, reads every game and closes it; the number of games read whole.
    int OpenAndRead(TOpenMode mode = TOpenMode::ReadWrite) {
        TGameDatabase db;
        db.prompt = &prompt;
        OpenDatabase(Path("t.vqb"), db, mode);
        if (!db.open) return -1;
        readOnly = db.readOnly;
        int whole = 0;
        auto g = NewGame(gtRussian);
        for (int n = 1; n <= db.gameCount; ++n)
            whole += ReadGame(db, n, false, *g) == TDbStatus::Ok;
        CloseDatabase(db);
        return whole;
    }
    // The names in the folder that belong to neither database's three files.
    std::vector<std::string> Others() const {
        std::vector<std::string> out;
        for (const std::string& n : tempDir.List())
            if (n != "t.vqb" && n != "t.vqn" && n != "t.vqm" && !n.starts_with("new.")) out.push_back(n);
        return out;
    }

    TSet oldSet, newSet;
    bool readOnly = false;
};

std::string Legacy(long pid, const char* ext) {
    return "t~import" + std::to_string(pid) + ext;
}

} // namespace

// The earlier version built an import under "t~import<pid>.*" and renamed the move file, the name
// file and the index one after the other. A set caught between those renames is finished (its
// index is the newest file of it); any other set of a process that is gone is removed; a running
// process's set is left alone.
TEST_F(Recovery, SetsOfTheEarlierImportAreFinishedOrRemoved) {
    struct TCase {
        const char* name;
        std::function<void()> arrange;
        bool finished; // the new database stands afterwards
        std::vector<std::string> left;
    };
    const std::time_t now = std::time(nullptr);
    const TCase cases[] = {
        {"after the move file was renamed",
         [&] {
             Place(".vqm", "t.vqm");
             Place(".vqn", Legacy(GonePid, ".vqn"));
             Place(".vqb", Legacy(GonePid, ".vqb"));
             SetMtime(Path("t.vqm"), now - 10);
         },
         true,
         {}},
        {"after the name file was renamed",
         [&] {
             Place(".vqm", "t.vqm");
             Place(".vqn", "t.vqn");
             Place(".vqb", Legacy(GonePid, ".vqb"));
             SetMtime(Path("t.vqm"), now - 10);
         },
         true,
         {}},
        {"killed while building",
         [&] {
             Place(".vqm", Legacy(GonePid, ".vqm"));
             Place(".vqn", Legacy(GonePid, ".vqn"));
             Place(".vqb", Legacy(GonePid, ".vqb"));
             WriteText(Path(Legacy(GonePid, ".vqn.tmp-ab12cd")), "half");
         },
         false,
         {}},
        {"killed right after making the empty index",
         [&] { WriteBytes(Path(Legacy(GonePid, ".vqb")), {}); },
         false,
         {}},
        {"killed after making the move file",
         [&] {
             WriteBytes(Path(Legacy(GonePid, ".vqb")), {});
             WriteBytes(Path(Legacy(GonePid, ".vqm")), {20});
         },
         false,
         {}},
        {"a set older than the move file in place (a later import ran through)",
         [&] {
             Place(".vqn", Legacy(GonePid, ".vqn"));
             Place(".vqb", Legacy(GonePid, ".vqb"));
             SetMtime(Path(Legacy(GonePid, ".vqb")), now - 100);
         },
         false,
         {}},
        {"a set of a process that still runs",
         [&] {
             Place(".vqm", Legacy(::getpid(), ".vqm"));
             Place(".vqn", Legacy(::getpid(), ".vqn"));
             Place(".vqb", Legacy(::getpid(), ".vqb"));
         },
         false,
         {Legacy(::getpid(), ".vqb"), Legacy(::getpid(), ".vqm"), Legacy(::getpid(), ".vqn")}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        fs::remove_all(dir);
        fs::create_directories(dir);
        SetUp();
        c.arrange();
        prompt.messages.clear();
        const int whole = OpenAndRead();
        EXPECT_FALSE(readOnly);
        if (c.finished) {
            EXPECT_EQ(SetOf(Path("t")), newSet);
            EXPECT_EQ(whole, 4);
            ASSERT_EQ(prompt.messages.size(), 1u);
            EXPECT_NE(prompt.messages[0].find("now in place"), std::string::npos) << prompt.messages[0];
        } else {
            EXPECT_EQ(SetOf(Path("t")), oldSet);
            EXPECT_EQ(whole, 6);
            EXPECT_EQ(prompt.messages, std::vector<std::string>{});
        }
        EXPECT_EQ(Others(), c.left);
    }
}

// Staged files of a process that is gone, and the temporary files of rewrites and of the log, are
// removed by the next open; a running process's, and other databases' files, are not.
TEST_F(Recovery, LeftoversOfThisVersionAreRemoved) {
    const std::string running = std::to_string(::getpid()), gone = std::to_string(GonePid);
    for (const std::string& name :
         {"t.vqb~new" + gone, "t.vqn~new" + gone, "t.vqm~new" + gone, "t.vqn~new" + gone + ".tmp-x1y2z3",
          std::string("t.vqn.tmp-abc123"), std::string("t.vqb.tmp-0z9y8x"),
          std::string("t.vqb~journal.tmp-q1w2e3"), std::string("t.log.tmp-aaaaaa")})
        WriteText(Path(name), "left by a kill");
    const std::vector<std::string> kept = {"t.vqb.tmp-toolongsuffix", "t.vqb~new" + running, "t2.vqb",
                                           "t2.vqn.tmp-abc123"};
    for (const std::string& name : kept)
        WriteText(Path(name), "not ours to remove");
    EXPECT_EQ(OpenAndRead(), 6);
    EXPECT_EQ(SetOf(Path("t")), oldSet);
    std::vector<std::string> sorted = kept;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(Others(), sorted);
    EXPECT_TRUE(prompt.messages.empty());
}

// The journal names the staged files: the next open renames what is still staged, however far the
// replacement got, and says so; nothing of the replacement is left.
TEST_F(Recovery, AJournalIsRolledForwardFromWhereverItStopped) {
    for (int renamed = 0; renamed <= 3; ++renamed) {
        SCOPED_TRACE(renamed);
        TearDown();
        fs::remove_all(dir);
        fs::create_directories(dir);
        SetUp();
        const TDbFileNames target = DatabaseFileNames(Path("t.vqb"));
        const TDbFileNames staged = StagedFileNames(target, GonePid);
        const std::pair<const char*, const std::string*> files[] = {
            {".vqm", &staged.moves}, {".vqn", &staged.names}, {".vqb", &staged.index}};
        std::vector<TJournalEntry> entries;
        for (const auto& [ext, name] : files) {
            entries.push_back({*name, "", fs::file_size(Path(std::string("new") + ext))});
            Place(ext, *name);
        }
        WriteText(JournalFileName(target), FormatDatabaseJournal(entries));
        const std::string* targets[] = {&target.moves, &target.names, &target.index};
        for (int i = 0; i < renamed; ++i)
            fs::rename(entries[std::size_t(i)].staged, *targets[i]);
        prompt.messages.clear();
        EXPECT_EQ(OpenAndRead(), 4);
        EXPECT_FALSE(readOnly);
        EXPECT_EQ(SetOf(Path("t")), newSet);
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_NE(prompt.messages[0].find("now in place"), std::string::npos);
        EXPECT_EQ(Others(), std::vector<std::string>{});
    }
}

// A journal this program did not write as it stands, or one that does not fit the files, is never
// acted on: the database opens read-only as its files are, and says why.
TEST_F(Recovery, AJournalThatCannotBeUsedChangesNothing) {
    const TDbFileNames target = DatabaseFileNames(Path("t.vqb"));
    const TDbFileNames staged = StagedFileNames(target, GonePid);
    const std::string header = "Vantor Quillan database journal 1\n";
    const std::string size = std::to_string(fs::file_size(Path("new.vqm")));
    const std::string good = header + size + " t.vqm~new" + std::to_string(GonePid) + "\n" +
                             std::to_string(fs::file_size(Path("new.vqn"))) + " t.vqn~new" +
                             std::to_string(GonePid) + "\n" + std::to_string(fs::file_size(Path("new.vqb"))) +
                             " t.vqb~new" + std::to_string(GonePid) + "\nend\n";
    struct TCase {
        const char* name;
        std::string journal;
    };
    const TCase cases[] = {
        {"garbage", "\x01\x02not a journal"},
        {"cut short", good.substr(0, good.size() - 3)},
        {"a size that is not the file's",
         header + "1 t.vqm~new" + std::to_string(GonePid) + good.substr(good.find('\n', header.size()))},
        {"a file outside the set",
         header + size + " ../elsewhere.vqm~new1" + good.substr(good.find('\n', header.size()))},
    };
    Place(".vqm", staged.moves);
    Place(".vqn", staged.names);
    Place(".vqb", staged.index);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteText(JournalFileName(target), c.journal);
        prompt.messages.clear();
        EXPECT_EQ(OpenAndRead(), 6);
        EXPECT_TRUE(readOnly);
        EXPECT_EQ(SetOf(Path("t")), oldSet);
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_NE(prompt.messages[0].find("cannot be used"), std::string::npos) << prompt.messages[0];
        EXPECT_NE(prompt.messages[0].find("read-only"), std::string::npos);
        EXPECT_TRUE(fs::exists(JournalFileName(target)));
        EXPECT_TRUE(fs::exists(staged.index));
    }
}

TEST(DatabaseJournal, ParsesOnlyItsOwnThreeFiles) {
    const TDbFileNames target = DatabaseFileNames("/b/t.vqb");
    const std::string head = "Vantor Quillan database journal 1\n";
    struct TCase {
        const char* name;
        std::string text;
        bool ok;
    };
    const TCase cases[] = {
        {"as written", head + "5 t.vqm~new12\n0 t.vqn~new12\n104 t.vqb~new12\nend\n", true},
        {"files of two replacements", head + "5 t.vqm~new12\n0 t.vqn~new13\n104 t.vqb~new12\nend\n", false},
        {"another database's file", head + "5 u.vqm~new12\n0 t.vqn~new12\n104 t.vqb~new12\nend\n", false},
        {"a path", head + "5 x/t.vqm~new12\n0 t.vqn~new12\n104 t.vqb~new12\nend\n", false},
        {"the files out of order", head + "0 t.vqn~new12\n5 t.vqm~new12\n104 t.vqb~new12\nend\n", false},
        {"no pid", head + "5 t.vqm~new\n0 t.vqn~new\n104 t.vqb~new\nend\n", false},
        {"a size past 18 digits", head + "1234567890123456789 t.vqm~new1\n0 t.vqn~new1\n0 t.vqb~new1\nend\n",
         false},
        {"a line too many", head + "5 t.vqm~new12\n0 t.vqn~new12\n104 t.vqb~new12\nend\nend\n", false},
        {"no end of line", head + "5 t.vqm~new12\n0 t.vqn~new12\n104 t.vqb~new12\nend", false},
        {"empty", "", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<TJournalEntry> entries;
        EXPECT_EQ(ParseDatabaseJournal(c.text, target, entries).Ok(), c.ok);
        if (!c.ok) continue;
        ASSERT_EQ(entries.size(), 3u);
        EXPECT_EQ(entries[0].staged, "/b/t.vqm~new12");
        EXPECT_EQ(entries[0].target, "/b/t.vqm");
        EXPECT_EQ(entries[0].size, 5u);
        EXPECT_EQ(entries[2].target, "/b/t.vqb");
        EXPECT_EQ(entries[2].size, 104u);
        EXPECT_EQ(FormatDatabaseJournal(entries), c.text);
    }
}

// A cut index (10 bytes short of a whole record) opens read-only and says so, instead of silently
// dropping the last game and letting new games be written after the cut.
TEST_F(Recovery, AnIndexThatEndsInAPartialRecordOpensReadOnly) {
    const Bytes index = ReadBytes(Path("t.vqb"));
    const Bytes cut(index.begin(), index.end() - 10);
    WriteBytes(Path("t.vqb"), cut);
    TGameDatabase db;
    db.prompt = &prompt;
    OpenDatabase(Path("t.vqb"), db);
    ASSERT_TRUE(db.open);
    EXPECT_TRUE(db.readOnly);
    EXPECT_EQ(db.gameCount, 5);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find("partial record"), std::string::npos) << prompt.messages[0];
    EXPECT_NE(prompt.messages[0].find("read-only"), std::string::npos);
    auto g = NewGame(gtRussian);
    EXPECT_EQ(ReadGame(db, 5, false, *g), TDbStatus::Ok);
    EXPECT_EQ(WriteGame(*g, 0, db, true), TDbStatus::ReadOnly);
    CloseDatabase(db);
    EXPECT_EQ(ReadBytes(Path("t.vqb")), cut);
}

// Names that are not regular files are refused with a reason at once: nothing waits on a pipe,
// nothing is created, and the question "Create new?" is not asked.
TEST_F(Recovery, NamesThatAreNoFilesAreRefusedWithoutWaiting) {
    struct TCase {
        const char* name;
        const char* file; // what becomes a pipe or a folder
        bool folder;
    };
    const TCase cases[] = {
        {"index a pipe", "t.vqb", false},  {"moves a pipe", "t.vqm", false},
        {"names a pipe", "t.vqn", false},  {"index a folder", "t.vqb", true},
        {"names a folder", "t.vqn", true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::rename(Path(c.file), Path("saved"));
        if (c.folder)
            fs::create_directory(Path(c.file));
        else
            ASSERT_EQ(::mkfifo(Path(c.file).c_str(), 0644), 0);
        for (const std::string& name : {Path("t.vqb"), Path("t.vqb/")}) {
            prompt.messages.clear();
            prompt.questions.clear();
            prompt.answers = {true};
            TGameDatabase db;
            db.prompt = &prompt;
            EXPECT_EQ(OpenOrCreateDatabase(name, db), TOpenResult::Failed);
            EXPECT_FALSE(db.open);
            EXPECT_TRUE(prompt.questions.empty());
            ASSERT_EQ(prompt.messages.size(), 1u);
            EXPECT_TRUE(
                prompt.messages[0].starts_with("Error Opening database: " + Path(c.file) + " is not a file"))
                << prompt.messages[0];
        }
        fs::remove(Path(c.file));
        fs::rename(Path("saved"), Path(c.file));
    }
    EXPECT_EQ(SetOf(Path("t")), oldSet);
}

// An import whose output name is a folder ("d.vqb") writes nothing and says so.
TEST_F(Recovery, AnImportIntoAFolderNameWritesNothing) {
    fs::create_directory(Path("d.vqb"));
    WriteText(Path("d.pdn"), "[GameType \"25\"]\n\nc3-d4 *\n");
    chb_test::WriteRecords(Path("d.chb"), {chb_test::JunkRecord(), chb_test::JunkRecord()});
    class TYes final : public IUserPrompt {
      public:
        std::vector<std::string> messages;
        void ShowMessage(const std::string& text) override { messages.push_back(text); }
        bool Confirm(const std::string&) override { return true; }
    } yes;
    struct : IProgress {
        void BeginProgress(const std::string&, const std::string&, std::int64_t, std::int64_t) override {}
        void StepProgress(std::int64_t, std::int64_t) override {}
        void EndProgress() override {}
    } progress;
    const TPdnImportResult pdn = ImportPdnDatabase(Path("d.pdn"), Path("d.vqb"), gtItalian, yes, progress);
    EXPECT_EQ(pdn.status, TPdnImportStatus::CannotCreate);
    ASSERT_EQ(yes.messages.size(), 1u);
    EXPECT_NE(yes.messages[0].find("nothing imported"), std::string::npos) << yes.messages[0];
    const TChbImportResult chb = ImportChbFile(Path("d.chb"), Path("d.vqb/"), gtRussian, prompt);
    EXPECT_EQ(chb.status, TChbImportStatus::NothingImported);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find("Nothing imported"), std::string::npos) << prompt.messages[0];
    for (const char* f : {"d.vqm", "d.vqn", "d.log"})
        EXPECT_FALSE(fs::exists(Path(f))) << f;
    EXPECT_TRUE(fs::is_directory(Path("d.vqb")));
    EXPECT_TRUE(fs::is_empty(Path("d.vqb")));
}

namespace {

// Runs `check` in a child process as an unprivileged user when the test runs as root (whom file
// permissions do not stop), else here; `check` returns "" when all was as expected, else what was
// not.
std::string AsUnprivileged(const std::function<std::string()>& check) {
    if (::geteuid() != 0) return check();
    int fds[2];
    if (::pipe(fds) != 0) return "no pipe";
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::string out = ::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0
                                    ? std::string("cannot become an unprivileged user")
                                    : check();
        (void)!::write(fds[1], out.data(), out.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        out.append(buf, std::size_t(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? out : "the check ended abnormally";
}

} // namespace

// A database in a folder that cannot be written, or whose files cannot be opened for writing, opens
// read-only and says why; browsing, exporting and copying from it work, and nothing of it changes.
TEST_F(Recovery, AFolderThatCannotBeWrittenOpensReadOnly) {
    struct TCase {
        const char* name;
        bool folderWritable, filesWritable;
        const char* says;
    };
    const TCase cases[] = {
        {"neither the folder nor the files", false, false, "folder of"},
        {"the files only", false, true, "folder of"},
        {"the folder only", true, false, "cannot be opened for writing"},
    };
    fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
    fs::create_directory(Path("out"));
    fs::permissions(Path("out"), fs::perms::all);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::create_directory(Path("ro"));
        for (const char* ext : {".vqb", ".vqn", ".vqm"}) {
            const std::string f = Path(std::string("ro/t") + ext);
            fs::copy_file(Path(std::string("t") + ext), f);
            if (c.filesWritable && ::geteuid() == 0) {
                ASSERT_EQ(::chown(f.c_str(), 65534, 65534), 0);
            }
            fs::permissions(f, c.filesWritable || ::geteuid() == 0 ? fs::perms(0644) : fs::perms(0444));
        }
        fs::permissions(Path("ro"),
                        c.folderWritable ? fs::perms(::geteuid() == 0 ? 0777 : 0755) : fs::perms(0555));
        const std::string failed = AsUnprivileged([&]() -> std::string {
            prompt.messages.clear();
            TGameDatabase db;
            db.prompt = &prompt;
            if (OpenDatabase(Path("ro/t.vqb"), db) != TOpenResult::Opened) return "not opened";
            std::string bad;
            if (!db.readOnly) bad += "writable; ";
            if (prompt.messages.size() != 1 || prompt.messages[0].find(c.says) == std::string::npos ||
                prompt.messages[0].find("read-only") == std::string::npos ||
                prompt.messages[0].find(std::strerror(EACCES)) == std::string::npos)
                bad +=
                    "said: " + (prompt.messages.empty() ? std::string("nothing") : prompt.messages[0]) + "; ";
            auto g = NewGame(gtRussian);
            for (int n = 1; n <= 6; ++n)
                if (ReadGame(db, n, false, *g) != TDbStatus::Ok)
                    bad += "game " + std::to_string(n) + " unread; ";
            if (WriteGame(*g, 0, db, true) != TDbStatus::ReadOnly) bad += "a game was written; ";
            struct : IProgress {
                void BeginProgress(const std::string&, const std::string&, std::int64_t,
                                   std::int64_t) override {}
                void StepProgress(std::int64_t, std::int64_t) override {}
                void EndProgress() override {}
            } progress;
            if (ExportPdnGames(db, {1, 2, 3}, Path("out/e.pdn"), progress).written != 3)
                bad += "not exported; ";
            TGameList list;
            list.Reset(db.gameCount);
            prompt.answers = {true};
            if (CopyListedGames(db, list, 4, Path("out/copy.vqb")).copied != 1) bad += "not copied; ";
            CloseDatabase(db);
            return bad;
        });
        EXPECT_EQ(failed, "");
        EXPECT_EQ(SetOf(Path("ro/t")), oldSet);
        fs::permissions(Path("ro"), fs::perms::owner_all);
        fs::remove_all(Path("ro"));
    }
}

// Where the folder cannot be written an interrupted replacement cannot be finished: the open says
// what it found and reads the old set while it is whole, else the new one from its staged files;
// it renames and removes nothing.
TEST_F(Recovery, AReplacementThatCannotBeFinishedIsReadAsItStands) {
    for (const bool movesRenamed : {false, true}) {
        SCOPED_TRACE(movesRenamed);
        TearDown();
        fs::remove_all(dir);
        fs::create_directories(dir);
        SetUp();
        fs::permissions(dir, fs::perms(0755));
        const TDbFileNames target = DatabaseFileNames(Path("t.vqb"));
        const TDbFileNames staged = StagedFileNames(target, GonePid);
        std::vector<TJournalEntry> entries;
        for (const auto& [ext, name] : {std::pair{".vqm", &staged.moves}, std::pair{".vqn", &staged.names},
                                        std::pair{".vqb", &staged.index}}) {
            entries.push_back({*name, "", fs::file_size(Path(std::string("new") + ext))});
            Place(ext, *name);
        }
        WriteText(JournalFileName(target), FormatDatabaseJournal(entries));
        if (movesRenamed) fs::rename(staged.moves, target.moves);
        const std::vector<std::string> before = tempDir.List();
        fs::permissions(dir, fs::perms(0555));
        const std::string failed = AsUnprivileged([&]() -> std::string {
            prompt.messages.clear();
            TGameDatabase db;
            db.prompt = &prompt;
            if (OpenDatabase(Path("t.vqb"), db) != TOpenResult::Opened) return "not opened";
            std::string bad;
            if (!db.readOnly) bad += "writable; ";
            const std::string expected = movesRenamed ? "the new database is opened read-only"
                                                      : "the database as it was is opened read-only";
            if (prompt.messages.size() != 1 || prompt.messages[0].find(expected) == std::string::npos)
                bad +=
                    "said: " + (prompt.messages.empty() ? std::string("nothing") : prompt.messages[0]) + "; ";
            if (db.gameCount != (movesRenamed ? 4 : 6))
                bad += "games: " + std::to_string(db.gameCount) + "; ";
            auto g = NewGame(gtRussian);
            for (int n = 1; n <= db.gameCount; ++n)
                if (ReadGame(db, n, false, *g) != TDbStatus::Ok)
                    bad += "game " + std::to_string(n) + " unread; ";
            CloseDatabase(db);
            return bad;
        });
        fs::permissions(dir, fs::perms(0755));
        EXPECT_EQ(failed, "");
        EXPECT_EQ(tempDir.List(), before);
        if (!movesRenamed) {
            EXPECT_EQ(SetOf(Path("t")), oldSet);
        }
    }
}
