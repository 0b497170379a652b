// Every command that replaces a database as a whole, made to fail (EIO) or stopped (as a kill
// would stop it) at each rename, fsync, ftruncate, write and unlink that a clean run makes. After
// each case, once the database is opened again, its three files are byte for byte the old ones or
// the new ones and nothing else of it is left in the folder; a command that reported that nothing
// was done changed nothing, and one that reported success left the new database.

#include "gamedb/chb_import.h"
#include "gamedb/database_commands.h"
#include "gamedb/game_list_sort.h"
#include "gamedb/pdn_import.h"
#include "gamedb/progress.h"
#include "gamedb/user_prompt.h"
#include "platform/file_calls.h"
#include "tests/gamedb/chb_test_file.h"
#include "tests/support/deleted_marks.h"
#include "tests/support/random_games.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using test_support::TBytes;

// Says yes to every question and keeps the messages.
class TYesPrompt final : public IUserPrompt {
  public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool Confirm(const std::string&) override { return true; }
    bool Says(const std::string& words) const {
        for (const std::string& m : messages)
            if (m.find(words) != std::string::npos) return true;
        return false;
    }
    std::vector<std::string> messages;
};

class TNoProgress final : public IProgress {
  public:
    void BeginProgress(const std::string&, const std::string&, std::int64_t, std::int64_t) override {}
    void StepProgress(std::int64_t, std::int64_t) override {}
    void EndProgress() override {}
};

// The folder of one case, in memory where the system offers it: syncing there costs nothing.
std::filesystem::path CaseBase() {
    return std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                     : std::filesystem::temp_directory_path();
}

const std::string Target = "target";

// One command over the files `prepare` makes in a folder. `run` returns true when what the
// command reported (its status and message) says that nothing was done.
struct TScenario {
    const char* name;
    std::function<void(const std::string& dir)> prepare;
    std::function<bool(const std::string& dir)> run;
};

void OldDatabase(const std::string& dir, int games, std::uint32_t seed) {
    test_support::TRandomGameOptions o;
    o.moves = 8;
    ASSERT_TRUE(test_support::WriteRandomDatabase(dir + Target + ".vqb", games, seed, o));
}

const std::string PdnGames =
    "[White \"Anna\"]\n[Black \"Boris\"]\n[Event \"Cup\"]\n\n1. c3-d4 f6-e5 2. d4xf6 g7xe5 1-0\n\n"
    "[White \"Clara\"]\n[Black \"Dmitri\"]\n\n1. c3-d4 b6-a5 *\n\n"
    "[White \"Eva\"]\n\n1. c3-d4 h6-h5 *\n"; // the last move is no move: logged

std::vector<TScenario> Scenarios() {
    return {
        {"PdnImportOverADatabase",
         [](const std::string& dir) {
             OldDatabase(dir, 5, 3);
             ASSERT_TRUE(test_support::WriteText(dir + "games.pdn", PdnGames));
         },
         [](const std::string& dir) {
             TYesPrompt prompt;
             TNoProgress progress;
             const TPdnImportResult r =
                 ImportPdnDatabase(dir + "games.pdn", dir + Target + ".vqb", gtRussian, prompt, progress);
             const bool nothing = r.status == TPdnImportStatus::CannotCreate;
             EXPECT_EQ(prompt.Says("nothing imported"), nothing) << r.message;
             return nothing;
         }},
        {"ChbImportOverADatabase",
         [](const std::string& dir) {
             OldDatabase(dir, 5, 4);
             chb_test::TGameRecord g;
             g.codes = {0x049B, 0x0B64}; // c3-d4 f6-e5
             chb_test::TGameRecord h = g;
             h.white = "Second";
             chb_test::WriteRecords(dir + "games.chb", {chb_test::JunkRecord(), chb_test::MakeRecord(g),
                                                        chb_test::MakeRecord(h)});
         },
         [](const std::string& dir) {
             TYesPrompt prompt;
             TNoProgress progress;
             const TChbImportResult r =
                 ImportChbFile(dir + "games.chb", dir + Target + ".vqb", gtRussian, prompt, progress);
             const bool nothing = r.status == TChbImportStatus::NothingImported;
             EXPECT_EQ(prompt.Says("Nothing imported"), nothing) << r.message;
             return nothing;
         }},
        {"CleanUp",
         [](const std::string& dir) {
             OldDatabase(dir, 8, 5);
             TGameDatabase db;
             OpenDatabase(dir + Target + ".vqb", db);
             ASSERT_TRUE(test_support::SetDeletedMarks(db, {2, 5, 6}));
             CloseDatabase(db);
         },
         [](const std::string& dir) {
             TYesPrompt prompt;
             TGameDatabase db;
             db.prompt = &prompt;
             OpenDatabase(dir + Target + ".vqb", db);
             const TCleanUpResult r = CleanUpDatabase(db);
             CloseDatabase(db);
             return r.status != TDbStatus::Ok;
         }},
        {"SortRewrite", [](const std::string& dir) { OldDatabase(dir, 8, 6); },
         [](const std::string& dir) {
             TYesPrompt prompt;
             TGameDatabase db;
             db.prompt = &prompt;
             OpenDatabase(dir + Target + ".vqb", db);
             TGameList list;
             list.Reset(db.gameCount);
             const TSortListResult r = SortListedGames(db, list, TSortKind::White);
             CloseDatabase(db);
             return !r.renumbered;
         }},
        {"CopyIntoANewDatabase",
         [](const std::string& dir) {
             test_support::TRandomGameOptions o;
             o.moves = 8;
             ASSERT_TRUE(test_support::WriteRandomDatabase(dir + "source.vqb", 6, 7, o));
         },
         [](const std::string& dir) {
             TYesPrompt prompt;
             TNoProgress progress;
             TGameDatabase from;
             from.prompt = &prompt;
             OpenDatabase(dir + "source.vqb", from, TOpenMode::ReadOnly);
             TGameList list;
             list.Reset(from.gameCount);
             list[2].selected = list[3].selected = list[6].selected = 1;
             const TCopyResult r = CopyListedGames(from, list, 1, dir + Target + ".vqb", progress);
             CloseDatabase(from);
             return r.copied == 0;
         }},
        {"CreateNew", [](const std::string&) {},
         [](const std::string& dir) {
             TYesPrompt prompt;
             TGameDatabase db;
             db.prompt = &prompt;
             OpenOrCreateDatabase(dir + Target + ".vqb", db);
             const bool made = db.open;
             CloseDatabase(db);
             return !made;
         }},
    };
}

// The three files of the target (nullopt where absent).
using TState = std::vector<std::optional<TBytes>>;

TState StateOf(const std::string& dir) {
    TState s;
    for (const char* ext : {".vqb", ".vqn", ".vqm"}) {
        const std::string f = dir + Target + ext;
        s.push_back(std::filesystem::exists(f) ? std::optional(test_support::ReadBytes(f)) : std::nullopt);
    }
    return s;
}

// What the folder holds of the target besides its three files and its import log.
std::vector<std::string> Strays(const test_support::TTempDir& dir) {
    std::vector<std::string> out;
    for (const std::string& name : dir.List())
        if (name.starts_with(Target) && name != Target + ".vqb" && name != Target + ".vqn" &&
            name != Target + ".vqm" && name != Target + ".log")
            out.push_back(name);
    return out;
}

// Opens the database again (which finishes an interrupted replacement) and closes it; the only
// message it may show is that it finished one.
void OpenAgain(const std::string& dir) {
    TYesPrompt prompt;
    TGameDatabase db;
    db.prompt = &prompt;
    OpenDatabase(dir + Target + ".vqb", db);
    EXPECT_TRUE(!db.open || !db.readOnly);
    for (const std::string& m : prompt.messages)
        EXPECT_NE(m.find("is now in place"), std::string::npos) << m;
    CloseDatabase(db);
}

// The files `prepare` makes, made once and written again for each case.
using TFolder = std::vector<std::pair<std::string, TBytes>>;

TFolder Prepared(const TScenario& s) {
    test_support::TTempDir dir("fault", CaseBase());
    s.prepare(dir.Dir());
    TFolder files;
    for (const std::string& name : dir.List())
        files.emplace_back(name, test_support::ReadBytes(dir.File(name)));
    return files;
}

void Lay(const TFolder& files, const test_support::TTempDir& dir) {
    for (const auto& [name, bytes] : files)
        ASSERT_TRUE(test_support::WriteBytes(dir.File(name), bytes));
}

// The number of calls of each kind a clean run makes, and its outcome.
struct TReference {
    TState before, after;
    std::array<std::uint64_t, FileCallKinds> calls{};
};

TReference CleanRun(const TScenario& s, const TFolder& prepared) {
    TReference ref;
    test_support::TTempDir dir("fault", CaseBase());
    Lay(prepared, dir);
    ref.before = StateOf(dir.Dir());
    ResetFileCallCounts();
    EXPECT_FALSE(s.run(dir.Dir()));
    for (int k = 0; k < FileCallKinds; ++k)
        ref.calls[std::size_t(k)] = FileCallCount(static_cast<TFileCall>(k));
    ref.after = StateOf(dir.Dir());
    EXPECT_TRUE(Strays(dir).empty());
    // The new database is whole: every game reads back.
    TGameDatabase db;
    OpenDatabase(dir.Dir() + Target + ".vqb", db, TOpenMode::ReadOnly);
    auto g = std::make_unique<TGame>();
    EXPECT_TRUE(db.open);
    for (int n = 1; n <= db.gameCount; ++n)
        EXPECT_EQ(ReadGame(db, n, false, *g), TDbStatus::Ok) << n;
    CloseDatabase(db);
    return ref;
}

// Runs `s` in a child process that stops at `fault`; the exit status of the child.
int RunStopped(const TScenario& s, const std::string& dir, TFileFault fault) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ArmFileFault(fault);
        s.run(dir);
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void PrintTo(const TScenario& s, std::ostream* out) {
    *out << s.name;
}

class ReplaceFaults : public ::testing::TestWithParam<TScenario> {};

TEST_P(ReplaceFaults, OldOrNewAtEveryCall) {
    const TScenario& s = GetParam();
    const TFolder prepared = Prepared(s);
    const TReference ref = CleanRun(s, prepared);
    ASSERT_NE(ref.before, ref.after);
    int cases = 0;
    for (int kind = 0; kind < FileCallKinds; ++kind)
        for (std::uint64_t k = 1; k <= ref.calls[std::size_t(kind)]; ++k)
            for (const TFileFault::TAction action : {TFileFault::Fail, TFileFault::Stop}) {
                const TFileFault fault{static_cast<TFileCall>(kind), k, action, EIO};
                SCOPED_TRACE(std::string(action == TFileFault::Fail ? "failing " : "stopping at ") +
                             FileCallName(fault.call) + " " + std::to_string(k));
                ++cases;
                test_support::TTempDir dir("fault", CaseBase());
                Lay(prepared, dir);
                if (action == TFileFault::Fail) {
                    ArmFileFault(fault);
                    const bool nothing = s.run(dir.Dir());
                    DisarmFileFault();
                    EXPECT_TRUE(FileFaultStruck());
                    // Said so, and so it is, before anything else looks at the files.
                    if (nothing) {
                        EXPECT_TRUE(StateOf(dir.Dir()) == ref.before);
                    }
                    OpenAgain(dir.Dir());
                    EXPECT_TRUE(StateOf(dir.Dir()) == (nothing ? ref.before : ref.after));
                } else {
                    ASSERT_EQ(RunStopped(s, dir.Dir(), fault), FileFaultStopStatus);
                    OpenAgain(dir.Dir());
                    const TState state = StateOf(dir.Dir());
                    EXPECT_TRUE(state == ref.before || state == ref.after);
                }
                EXPECT_EQ(Strays(dir), std::vector<std::string>{});
            }
    EXPECT_GT(ref.calls[std::size_t(TFileCall::Rename)], 0u);
    RecordProperty("cases", cases);
}

INSTANTIATE_TEST_SUITE_P(Commands, ReplaceFaults, ::testing::ValuesIn(Scenarios()),
                         [](const ::testing::TestParamInfo<TScenario>& info) { return info.param.name; });

} // namespace
