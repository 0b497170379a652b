// The command-line front end, run as a program on PPM files we write here.

#include "giflib_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

struct TToolRun : testing::Test {
    // One folder per test: CTest runs them side by side.
    fs::path dir =
        fs::path(testing::TempDir()) / (std::string("vqgif-tool-") + std::to_string(getpid()) + "-" +
                                        testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string WritePPM(const std::string& name, int w, int h, std::size_t cut = 0) {
        std::string bytes = "P6\n# test picture\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                bytes += static_cast<char>(x * 255 / w);
                bytes += static_cast<char>(y * 255 / h);
                bytes += static_cast<char>((x ^ y) & 0xFF);
            }
        bytes.resize(bytes.size() - cut);
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    int Run(const std::string& args) {
        const std::string command = std::string(VQGIF_PATH) + " " + args + " 2>" + (dir / "err.txt").string();
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::vector<std::uint8_t> Bytes(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};
} // namespace

TEST_F(TToolRun, OptionsReachTheFile) {
    const std::string in = WritePPM("in.ppm", 40, 30);
    struct Row {
        const char* options;
        bool interlaced;
        int colours; // indices in use; the table itself always has 256 entries
    } rows[] = {{"", false, 256},
                {"--rle", false, 256},
                {"--interlace", true, 256},
                {"--colors 16 --dither stucki", false, 16},
                {"--colors 2 --dither 0 --rle --interlace", true, 2}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.options);
        const std::string out = (dir / "out.gif").string();
        ASSERT_EQ(Run(in + " " + out + " " + r.options), 0);
        const TDecodedGIF gif = DecodeWithGiflib(Bytes(out));
        ASSERT_TRUE(gif.Ok) << gif.Error;
        ASSERT_EQ(gif.Frames.size(), 1u);
        EXPECT_EQ(gif.Width, 40);
        EXPECT_EQ(gif.Height, 30);
        EXPECT_EQ(gif.Frames[0].Interlaced, r.interlaced);
        const auto& table = r.interlaced ? gif.GlobalColorMap : gif.Frames[0].ColorMap;
        EXPECT_EQ(table.size(), 256u * 3);
        for (std::uint8_t p : gif.Frames[0].Pixels)
            ASSERT_LT(p, r.colours);
    }
}

TEST_F(TToolRun, BadInputLeavesTheOutputAlone) {
    const std::string out = (dir / "keep.gif").string();
    std::ofstream(out) << "old";
    const std::string truncated = WritePPM("cut.ppm", 10, 10, 5);
    EXPECT_EQ(Run(truncated + " " + out), 1);
    EXPECT_EQ(Run((dir / "missing.ppm").string() + " " + out), 1);
    EXPECT_EQ(Run(WritePPM("ok.ppm", 4, 4) + " " + out + " --colors 3"), 2);
    EXPECT_EQ(Run(WritePPM("ok.ppm", 4, 4) + " " + out + " --dither 9"), 2);
    EXPECT_EQ(Bytes(out), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}

TEST_F(TToolRun, HeaderIsCheckedAgainstTheFileLength) {
    // 19 bytes that name a 65535 x 65535 picture: refused before 12.9 GB are asked for.
    const fs::path huge = dir / "huge.ppm";
    std::ofstream(huge, std::ios::binary) << "P6 65535 65535 255";
    ASSERT_EQ(fs::file_size(huge), 18u);
    std::ofstream(huge, std::ios::binary | std::ios::app) << "\n";
    const std::string out = (dir / "out.gif").string();
    EXPECT_EQ(Run(huge.string() + " " + out), 1);
    std::ifstream err(dir / "err.txt");
    const std::string message(std::istreambuf_iterator<char>(err), {});
    EXPECT_NE(message.find("truncated PPM data"), std::string::npos) << message;
    EXPECT_FALSE(fs::exists(out));
}
