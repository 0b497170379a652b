// The command-line front end, run as a program on PPM files we write here.

#include "giflib_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using Bytes = std::vector<std::uint8_t>;

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
    // A run that hangs is killed by the watchdog and fails.
    int Run(const std::string& args) {
        const std::string command =
            "timeout -s KILL 60 " + std::string(VQGIF_PATH) + " " + args + " 2>" + (dir / "err.txt").string();
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::vector<std::uint8_t> FileBytes(const std::string& p) {
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
        const TDecodedGIF gif = DecodeWithGiflib(FileBytes(out));
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
    EXPECT_EQ(FileBytes(out), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
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

namespace {
Bytes Fixture(const std::string& name) {
    std::ifstream in(std::string(VQ_GIF_FIXTURES) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The screen after frames 0 .. last by the GIF89a rules, from giflib's reading of the file:
// background = global colour at the background index (black without a global table).
Bytes ExpectedScreen(const Bytes& file, int last) {
    const TDecodedGIF gif = DecodeWithGiflib(file);
    const int w = gif.Width, h = gif.Height;
    const std::uint8_t bgIndex = file[11];
    Bytes bg{0, 0, 0};
    if (!gif.GlobalColorMap.empty())
        bg.assign(gif.GlobalColorMap.begin() + 3 * bgIndex, gif.GlobalColorMap.begin() + 3 * bgIndex + 3);
    Bytes screen;
    for (int i = 0; i < w * h; ++i)
        screen.insert(screen.end(), bg.begin(), bg.end());
    Bytes saved;
    int disposal = 0;
    const TDecodedFrame* previous = nullptr;
    for (int k = 0; k <= last; ++k) {
        const TDecodedFrame& f = gif.Frames[static_cast<std::size_t>(k)];
        auto inside = [&](const TDecodedFrame& g, auto&& at) {
            for (int y = 0; y < g.Height; ++y)
                for (int x = 0; x < g.Width; ++x)
                    if (g.Left + x < w && g.Top + y < h)
                        at(x, y, static_cast<std::size_t>(3 * ((g.Top + y) * w + g.Left + x)));
        };
        if (previous && disposal == 2)
            inside(*previous, [&](int, int, std::size_t p) {
                std::copy(bg.begin(), bg.end(), screen.begin() + static_cast<long>(p));
            });
        if (previous && disposal == 3) screen = saved;
        int transparent = -1;
        disposal = 0;
        for (const Bytes& e : f.Extensions)
            if (e[1] == 0xF9) {
                disposal = (e[3] >> 2) & 7;
                if (e[3] & 1) transparent = e[6];
            }
        if (disposal == 3) saved = screen;
        const Bytes& map = f.ColorMap.empty() ? gif.GlobalColorMap : f.ColorMap;
        inside(f, [&](int x, int y, std::size_t p) {
            const int index = f.Pixels[static_cast<std::size_t>(y * f.Width + x)];
            if (index == transparent) return;
            std::copy(map.begin() + 3 * index, map.begin() + 3 * index + 3,
                      screen.begin() + static_cast<long>(p));
        });
        previous = &f;
    }
    Bytes ppm;
    const std::string header = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    ppm.assign(header.begin(), header.end());
    ppm.insert(ppm.end(), screen.begin(), screen.end());
    return ppm;
}
} // namespace

TEST_F(TToolRun, DecodeWritesTheComposedFrame) {
    const struct {
        const char* name;
        int frames;
    } files[] = {{"anim.gif", 4}, {"interlace.gif", 1}, {"transparent.gif", 1}, {"extensions.gif", 2}};
    for (const auto& file : files) {
        const std::string in = std::string(VQ_GIF_FIXTURES) + "/" + file.name;
        for (int frame = 0; frame < file.frames; ++frame) {
            SCOPED_TRACE(testing::Message() << file.name << " frame " << frame);
            const std::string out = (dir / "out.ppm").string();
            const std::string option = frame == 0 ? "" : " --frame " + std::to_string(frame);
            ASSERT_EQ(Run("--decode " + in + " " + out + option), 0);
            EXPECT_EQ(FileBytes(out), ExpectedScreen(Fixture(file.name), frame));
        }
    }
}

TEST_F(TToolRun, DecodeOfBadInput) {
    const Bytes good = Fixture("anim.gif");
    auto write = [&](const std::string& name, const Bytes& bytes) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return p.string();
    };
    auto errors = [&] {
        std::ifstream err(dir / "err.txt");
        return std::string(std::istreambuf_iterator<char>(err), {});
    };
    const std::string out = (dir / "out.ppm").string();
    Bytes damaged = good;
    std::copy_n("JUNKJUNK", 8, damaged.begin());
    EXPECT_EQ(Run("--decode " + write("bad.gif", damaged) + " " + out), 1);
    EXPECT_NE(errors().find("Invalid GIF signature"), std::string::npos) << errors();
    EXPECT_FALSE(fs::exists(out));

    EXPECT_EQ(Run("--decode " + write("anim.gif", good) + " " + out + " --frame 4"), 1);
    EXPECT_NE(errors().find("no frame 4"), std::string::npos) << errors();

    // Cut inside the second frame's data: the first frame is whole, the file warns.
    const Bytes cut(good.begin(), good.begin() + 420);
    EXPECT_EQ(Run("--decode " + write("cut.gif", cut) + " " + out), 0);
    EXPECT_NE(errors().find("warning: Premature end of data"), std::string::npos) << errors();
    EXPECT_EQ(FileBytes(out), ExpectedScreen(good, 0));

    EXPECT_EQ(Run("--decode " + (dir / "missing.gif").string() + " " + out), 1);
    EXPECT_EQ(Run("--decode " + write("anim.gif", good) + " " + out + " --frame x"), 2);
}

TEST_F(TToolRun, FilesThatAreNotRegularAreRefused) {
    // No writer ever opens the FIFO and /dev/zero never ends: opening or reading them as files
    // hangs until the watchdog kills the run.
    const std::string fifo = (dir / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = (dir / "folder").string();
    fs::create_directory(folder);
    const std::string out = (dir / "out.ppm").string();
    for (const std::string& path : {fifo, folder, std::string("/dev/zero")}) {
        for (const std::string& command : {"--decode " + path + " " + out, path + " " + out}) {
            SCOPED_TRACE(command);
            EXPECT_EQ(Run(command), 1);
            std::ifstream err(dir / "err.txt");
            const std::string message(std::istreambuf_iterator<char>(err), {});
            EXPECT_EQ(message, "vqgif: cannot open " + path + ": not a regular file\n");
            EXPECT_FALSE(fs::exists(out));
        }
    }
}
