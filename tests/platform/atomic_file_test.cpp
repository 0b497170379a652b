#include "platform/atomic_file.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

using test_support::ReadText;
using test_support::TTempDir;
using test_support::WriteText;

namespace {

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

TEST(AtomicWriteFile, NewFileGetsTheUsualPermissionsAndNoTemporaryFileStays) {
    TTempDir dir;
    const std::string path = dir.File("new.bin");
    const TIoStatus s = AtomicWriteFile(path, std::string("abc\0def", 7));
    ASSERT_TRUE(s) << s.Message();
    EXPECT_EQ(ReadText(path), std::string("abc\0def", 7));
    EXPECT_EQ(ModeOf(path), 0666 & ~CurrentUmask());
    EXPECT_EQ(dir.List(), std::vector<std::string>{"new.bin"});

    ASSERT_TRUE(AtomicWriteFile(dir.File("empty"), ""));
    EXPECT_EQ(ReadText(dir.File("empty")), "");
}

TEST(AtomicWriteFile, ReplacingKeepsTheOldPermissions) {
    for (mode_t mode : {0600, 0640, 0755, 0604}) {
        SCOPED_TRACE(mode);
        TTempDir dir;
        const std::string path = dir.File("kept");
        ASSERT_TRUE(WriteText(path, "old content, longer than the new"));
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(AtomicWriteFile(path, "new"));
        EXPECT_EQ(ReadText(path), "new");
        EXPECT_EQ(ModeOf(path), mode);
        EXPECT_EQ(dir.List(), std::vector<std::string>{"kept"});
    }
}

TEST(AtomicFileWriter, PiecesAndOffsetsMakeTheFileOnlyAtCommit) {
    TTempDir dir;
    const std::string path = dir.File("index.dat");
    ASSERT_TRUE(WriteText(path, "old"));
    TAtomicFileWriter w;
    ASSERT_TRUE(w.Open(path));
    ASSERT_TRUE(w.Write("....")); // a provisional index, rewritten at the end
    ASSERT_TRUE(w.Write("body"));
    ASSERT_TRUE(w.Write(std::string_view("tail")));
    ASSERT_TRUE(w.WriteAt(0, "HEAD", 4));
    EXPECT_EQ(ReadText(path), "old"); // nothing visible before the commit
    EXPECT_EQ(dir.List().size(), 2u);
    ASSERT_TRUE(w.Commit());
    EXPECT_FALSE(w.IsOpen());
    EXPECT_EQ(ReadText(path), "HEADbodytail");
    EXPECT_EQ(dir.List(), std::vector<std::string>{"index.dat"});
}

TEST(AtomicFileWriter, DestroyedOrDiscardedWithoutCommitLeavesTheOldFile) {
    TTempDir dir;
    const std::string path = dir.File("settings.ini");
    ASSERT_TRUE(WriteText(path, "old"));
    {
        TAtomicFileWriter w;
        ASSERT_TRUE(w.Open(path));
        ASSERT_TRUE(w.Write("half of the new conte"));
        EXPECT_EQ(dir.List().size(), 2u);
    }
    EXPECT_EQ(ReadText(path), "old");
    EXPECT_EQ(dir.List(), std::vector<std::string>{"settings.ini"});

    TAtomicFileWriter w;
    ASSERT_TRUE(w.Open(path));
    ASSERT_TRUE(w.Write("x"));
    w.Discard();
    EXPECT_EQ(dir.List(), std::vector<std::string>{"settings.ini"});
    EXPECT_FALSE(w.Commit()); // nothing left to commit
    EXPECT_EQ(ReadText(path), "old");
}

TEST(AtomicFileWriter, AMovedWriterKeepsItsTemporaryFile) {
    TTempDir dir;
    const std::string path = dir.File("moved");
    TAtomicFileWriter a;
    ASSERT_TRUE(a.Open(path));
    ASSERT_TRUE(a.Write("moved"));
    TAtomicFileWriter b(std::move(a));
    a.Discard(); // the moved-from writer owns nothing
    TAtomicFileWriter c;
    c = std::move(b);
    ASSERT_TRUE(c.Commit());
    EXPECT_EQ(ReadText(path), "moved");
}

// Every write is checked: a write that fails (here past the process's file-size limit) is reported
// with the file's name and the system's reason, later writes do nothing, the commit refuses, the
// old file stays and the temporary file goes.
TEST(AtomicFileWriter, AFailedWriteIsReportedAndLosesNothing) {
    TTempDir dir;
    const std::string path = dir.File("names.vqn");
    ASSERT_TRUE(WriteText(path, "old"));
    TAtomicFileWriter w;
    ASSERT_TRUE(w.Open(path));
    TIoStatus failed;
    {
        test_support::TFileSizeLimit limit(1000);
        const std::string big(4000, 'n');
        failed = w.Write(big);
    }
    ASSERT_FALSE(failed);
    EXPECT_NE(failed.Message().find("names.vqn"), std::string::npos) << failed.Message();
    EXPECT_NE(failed.Message().find(std::strerror(EFBIG)), std::string::npos) << failed.Message();
    EXPECT_FALSE(w.Write("more"));
    EXPECT_EQ(w.Status().Message(), failed.Message());
    const TIoStatus committed = w.Commit();
    EXPECT_FALSE(committed);
    EXPECT_EQ(committed.Message(), failed.Message());
    EXPECT_EQ(ReadText(path), "old");
    EXPECT_EQ(dir.List(), std::vector<std::string>{"names.vqn"});

    test_support::TFileSizeLimit limit(10);
    EXPECT_FALSE(AtomicWriteFile(path, std::string(100, 'x')));
    EXPECT_EQ(ReadText(path), "old");
    EXPECT_EQ(dir.List(), std::vector<std::string>{"names.vqn"});
}

// A target that exists and is not a regular file is never replaced: run as root, a rename would
// otherwise put a plain file where a device node was.
TEST(AtomicWriteFile, RefusesTargetsThatAreNotRegularFiles) {
    TTempDir dir;
    ASSERT_EQ(::mkdir(dir.File("folder").c_str(), 0755), 0);
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/full", dir.File("link-to-device").c_str()), 0);
    struct TCase {
        std::string path;
        const char* says;
    };
    const TCase cases[] = {
        {"/dev/full", "not a regular file"},
        {"/dev/null", "not a regular file"},
        {dir.File("folder"), "is a folder"},
        {dir.File("pipe"), "not a regular file"},
        {dir.File("link-to-device"), "not a regular file"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.path);
        struct stat before {};
        ASSERT_EQ(::stat(c.path.c_str(), &before), 0);
        const TIoStatus s = AtomicWriteFile(c.path, "data");
        ASSERT_FALSE(s);
        EXPECT_NE(s.Message().find(c.path), std::string::npos) << s.Message();
        EXPECT_NE(s.Message().find(c.says), std::string::npos) << s.Message();
        struct stat after {};
        ASSERT_EQ(::stat(c.path.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_rdev, before.st_rdev);
        EXPECT_EQ(after.st_ino, before.st_ino);
    }
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"folder", "link-to-device", "pipe"}));
}

TEST(AtomicWriteFile, ALinkIsFollowedAndStays) {
    TTempDir dir;
    ASSERT_TRUE(WriteText(dir.File("real.ini"), "old"));
    ASSERT_EQ(::chmod(dir.File("real.ini").c_str(), 0640), 0);
    ASSERT_EQ(::symlink("real.ini", dir.File("link.ini").c_str()), 0);
    ASSERT_TRUE(AtomicWriteFile(dir.File("link.ini"), "new"));
    struct stat st {};
    ASSERT_EQ(::lstat(dir.File("link.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadText(dir.File("real.ini")), "new");
    EXPECT_EQ(ModeOf(dir.File("real.ini")), 0640u);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"link.ini", "real.ini"}));
}

// A name of the longest length the system allows still gets its temporary file beside it.
TEST(AtomicWriteFile, TheLongestNameIsWritten) {
    TTempDir dir;
    const std::string path = dir.File(std::string(255, 'n'));
    ASSERT_TRUE(AtomicWriteFile(path, "long"));
    EXPECT_EQ(ReadText(path), "long");
    EXPECT_EQ(dir.List(), std::vector<std::string>{std::string(255, 'n')});
}

TEST(AtomicWriteFile, AFolderThatIsNotThereIsReported) {
    TTempDir dir;
    const TIoStatus s = AtomicWriteFile(dir.File("no/such/folder/file"), "x");
    ASSERT_FALSE(s);
    EXPECT_NE(s.Message().find("no/such/folder/file"), std::string::npos) << s.Message();
    EXPECT_NE(s.Message().find(std::strerror(ENOENT)), std::string::npos) << s.Message();
    EXPECT_FALSE(AtomicWriteFile("", "x"));
}
