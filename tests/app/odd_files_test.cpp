// The shell's readers of a file by name (piece pictures, the about picture, the move sound, the
// endgame tools' input): each refuses at once a FIFO nobody writes to, a folder and /dev/zero,
// before anything is read. The settings file has its own test beside the settings.

#include "app/core/edb_experiments.h"
#include "app/core/move_sound.h"
#include "app/ui/board_picture.h"
#include "app/ui/jpeg_image.h"
#include "tests/support/odd_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(ShellReaders, RefuseWhatIsNotARegularFile) {
    test_support::TTempDir dir("shell_odd");
    struct TReader {
        const char* name;
        std::function<bool(const std::string& path)> read;
    };
    const TReader readers[] = {
        {"LoadPictureFile", [](const std::string& p) { return !LoadPictureFile(p).isNull(); }},
        {"LoadPieceBitmaps",
         [](const std::string& p) {
             TBoardPicture picture;
             return picture.LoadPieceBitmaps({p, p, p, p}) != 0;
         }},
        {"LoadJpegFile",
         [](const std::string& p) {
             QString error;
             const bool read = !LoadJpegFile(QString::fromStdString(p), &error).isNull();
             return read || error.isEmpty();
         }},
        {"LoadMoveSound", [](const std::string& p) { return LoadMoveSound(p) || !MoveSoundData.empty(); }},
        {"CheckToolInput", [](const std::string& p) { return CheckToolInput(p).empty(); }},
    };
    const std::vector<std::uint8_t> sound = MoveSoundData; // the program's, kept for later tests
    for (const TReader& r : readers) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(test_support::OddFilesTaken(dir.File("file.bmp"), r.read), std::vector<std::string>{});
    }
    MoveSoundData = sound;
}

} // namespace
