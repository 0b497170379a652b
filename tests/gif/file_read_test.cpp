// Reading GIF files by name: only regular files are opened, and a file is read as far as its GIF
// stream goes, never the whole file first. What is read is counted through the codec's seam.

#include "gif_bytes.h"

#include "gif/gif_file_stream.h"
#include "gif/gif_image.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using test_support::MustEnd;
using test_support::TTempDir;

// bytes, then a sparse tail up to `size` bytes in all (nothing is written for it).
void WriteWithTail(const std::string& path, const Bytes& bytes, off_t size) {
    ASSERT_TRUE(test_support::WriteBytes(path, bytes));
    ASSERT_EQ(::truncate(path.c_str(), size), 0);
}

// The message of the exception `load` raises; empty when it raises none.
template <class Load> std::string ErrorOf(Load&& load) {
    try {
        load();
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

constexpr off_t Large = 100 << 20;
} // namespace

TEST(GIFFile, OnlyRegularFilesAreOpened) {
    TTempDir dir("gif_file");
    const std::string fifo = dir.File("pipe.gif");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = dir.File("folder.gif");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    // No writer ever opens the FIFO and /dev/zero never ends: a reader that opens or reads them
    // as files hangs, and the watchdog ends the run.
    for (const std::string& path : {fifo, folder, std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        std::string imageError, frameError;
        MustEnd("loading a file that is not a regular file", [&] {
            imageError = ErrorOf([&] {
                TGIFImage image;
                image.LoadFromFile(path);
            });
            frameError = ErrorOf([&] {
                TGIFImage image;
                TGIFSubImage frame(&image);
                frame.LoadFromFile(path);
            });
        });
        EXPECT_EQ(imageError, "cannot open " + path + ": not a regular file");
        EXPECT_EQ(frameError, imageError);
    }
    const std::string missing = dir.File("missing.gif");
    EXPECT_EQ(ErrorOf([&] { TGIFImage().LoadFromFile(missing); }),
              "cannot open " + missing + ": No such file or directory");
}

TEST(GIFFile, ReadingStopsWhereTheStreamDoes) {
    TTempDir dir("gif_file");
    const Bytes anim = ReadFixture("anim.gif");
    Bytes fault(anim.begin(), anim.end() - 1); // the trailer becomes a block that is not one
    fault.push_back('X');
    struct {
        const char* name;
        Bytes head; // followed by zeros up to 100 MB
        const char* error;
        int frames;
    } rows[] = {
        {"a bad signature", Text("NOT A GIF FILE, BUT LARGE"), "Invalid GIF signature", 0},
        {"data after the trailer", anim, "", 4},
        {"a block that is not one", fault, "", 4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = dir.File("large.gif");
        WriteWithTail(path, row.head, Large);
        TGIFImage image;
        const std::int64_t before = GIFFileBytesRead();
        EXPECT_EQ(ErrorOf([&] { image.LoadFromFile(path); }), row.error);
        const std::int64_t read = GIFFileBytesRead() - before;
        EXPECT_EQ(image.Images().Count(), row.frames);
        // What the stream needs and a little read-ahead; never the tail.
        EXPECT_LE(read, 64 + 2 * static_cast<std::int64_t>(row.head.size())) << read;
    }
}

TEST(GIFFile, FileReadsAsTheSameBytesInMemory) {
    TTempDir dir("gif_file");
    for (const char* name : {"anim.gif", "interlace.gif", "comment.gif", "noise.gif"}) {
        SCOPED_TRACE(name);
        const Bytes bytes = ReadFixture(name);
        // A file cut short reads as far as it goes, with the same warnings.
        for (const std::size_t size : {bytes.size(), bytes.size() * 2 / 3}) {
            const Bytes head(bytes.begin(), bytes.begin() + static_cast<long>(size));
            const std::string path = dir.File("copy.gif");
            ASSERT_TRUE(test_support::WriteBytes(path, head));
            TGIFImage fromFile, fromMemory;
            std::vector<std::string> fileWarnings, memoryWarnings;
            fromFile.OnWarning = [&](TGIFSeverity, const std::string& m) { fileWarnings.push_back(m); };
            fromMemory.OnWarning = [&](TGIFSeverity, const std::string& m) { memoryWarnings.push_back(m); };
            TMemoryStream stream(head);
            const std::string memoryError = ErrorOf([&] { fromMemory.LoadFromStream(stream); });
            EXPECT_EQ(ErrorOf([&] { fromFile.LoadFromFile(path); }), memoryError);
            EXPECT_EQ(fileWarnings, memoryWarnings);
            ASSERT_EQ(fromFile.Images().Count(), fromMemory.Images().Count());
            if (fromFile.Empty()) continue;
            TMemoryStream a, b;
            fromFile.SaveToStream(a);
            fromMemory.SaveToStream(b);
            EXPECT_EQ(a.Bytes(), b.Bytes());
        }
    }
}
