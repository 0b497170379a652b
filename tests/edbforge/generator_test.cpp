// The program end to end: its dialogue, the files it writes, reruns, failures, threads.

#include "host_bridge.h"
#include "platform/file_io.h"
#include "table_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using edb::material;

bool mentions_fault(const std::string& out) {
    for (const char* word : {"Must be", "not found", "Can't find", "not on board"})
        if (out.find(word) != std::string::npos) return true;
    return false;
}

// The lines of the output, with carriage returns taken as line ends.
std::vector<std::string> lines_of(const std::string& out) {
    std::vector<std::string> lines;
    std::string cur;
    for (char c : out) {
        if (c == '\n' || c == '\r') {
            lines.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

TEST(GeneratorRun, TwoPiecesWriteFourFilesThenOnlyLoad) {
    const test_support::TTempDir dirTemp("edbforge_n2");
    const std::string dir = dirTemp.Path().string();
    std::string out;
    ASSERT_EQ(bridge::run_program(dir, "2\\n", "", out), 0) << out;
    EXPECT_EQ(out.rfind("Endgame database generator for draughts engine Oskeen\n"
                        "Enter the number of pieces in database: ",
                        0),
              0u)
        << out;
    EXPECT_EQ(tables::list_dir(dir), (std::set<std::string>{"21100.ed", "21001.ed", "20110.ed", "20011.ed"}));
    // The classes come in this order; a class that is its own mirror names one file.
    std::vector<std::string> classes;
    for (const auto& l : lines_of(out))
        if (l.find(".ed") != std::string::npos) classes.push_back(l);
    EXPECT_EQ(classes, (std::vector<std::string>{"21100.ed", "21001.ed and 20110.ed", "20011.ed"}));
    EXPECT_NE(out.find("-  Generating 2-pieces databases   -\n"), std::string::npos);
    EXPECT_NE(out.find("Complete in "), std::string::npos);
    EXPECT_NE(out.find("Verifing...\r"), std::string::npos);
    EXPECT_FALSE(mentions_fault(out)) << out;
    struct stat st;
    ASSERT_EQ(stat((dir + "/21100.ed").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 248); // 992 entries
    EXPECT_EQ(st.st_mode & 0777, 0644u);

    const std::string first = test_support::ReadText(dir + "/21001.ed");
    std::string again;
    ASSERT_EQ(bridge::run_program(dir, "2\\n", "", again), 0);
    for (const auto& l : lines_of(again)) {
        EXPECT_EQ(l.find("Iteration"), std::string::npos) << again;
        EXPECT_EQ(l.find("Verif"), std::string::npos) << again;
    }
    for (const char* f : {"21100.ed", "21001.ed", "20110.ed", "20011.ed"})
        EXPECT_NE(again.find(std::string("Loading ") + f + "\n"), std::string::npos) << f;
    EXPECT_EQ(test_support::ReadText(dir + "/21001.ed"), first);
}

TEST(GeneratorRun, BadOrLargeNumbers) {
    struct row {
        const char* input;
        int status;
        const char* says;
    };
    const row rows[] = {
        {"7\\n", 0, "Too many pieces\n"},
        {"12\\n", 0, "Too many pieces\n"},
        {"four\\n", 2, "expected the number of pieces"},
        {"", 2, "expected the number of pieces"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.input);
        const test_support::TTempDir dirTemp("edbforge_bad");
        const std::string dir = dirTemp.Path().string();
        std::string out;
        EXPECT_EQ(bridge::run_program(dir, r.input, "", out), r.status);
        EXPECT_NE(out.find(r.says), std::string::npos) << out;
        EXPECT_TRUE(tables::list_dir(dir).empty());
    }
    std::string out;
    EXPECT_EQ(bridge::run_program(test_support::TTempDir("edbforge_args").Path().string(), "2\\n",
                                  "--threads x", out),
              2);
}

// A table that cannot be written stops the run with a message and a failure status, and
// leaves neither a temporary file nor a partial table behind.
TEST(GeneratorRun, WriteFailureStopsTheRun) {
    const test_support::TTempDir dirTemp("edbforge_wfail");
    const std::string dir = dirTemp.Path().string();
    ASSERT_EQ(mkdir((dir + "/21001.ed").c_str(), 0755), 0); // the name is taken by a folder
    std::string out;
    EXPECT_EQ(bridge::run_program(dir, "2\\n", "", out), 1);
    EXPECT_NE(out.find("Can't write 21001.ed"), std::string::npos) << out;
    EXPECT_EQ(out.find("Complete in"), std::string::npos) << out;
    EXPECT_EQ(tables::list_dir(dir), (std::set<std::string>{"21100.ed", "21001.ed"}));

    // The temporary file cannot be written at all: the old table stays as it was.
    const test_support::TTempDir dir2Temp("edbforge_wfail2");
    const std::string dir2 = dir2Temp.Path().string();
    ASSERT_EQ(symlink("/dev/full", (dir2 + "/21100.ed.tmp").c_str()), 0);
    EXPECT_EQ(edb::write_table_file(dir2 + "/21100.ed", edb::table(248, 0)), "");
    EXPECT_EQ(test_support::ReadText(dir2 + "/21100.ed").size(), 248u);
    const int fd = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(fd, 0);
    const std::uint8_t data[64] = {};
    EXPECT_FALSE(WriteAll(fd, data, sizeof data));
    ::close(fd);
    EXPECT_NE(edb::write_table_file(dir2 + "/no/such/folder/21100.ed", edb::table(4, 0)), "");
}

// Standard output on a full device: the run says so on standard error and fails, and the tables
// it wrote are whole. Also when the run stops early.
TEST(GeneratorRun, UnwritableOutputFailsTheRun) {
    const test_support::TTempDir dirTemp("edbforge_full");
    const std::string dir = dirTemp.Path().string();
    std::string err;
    EXPECT_EQ(bridge::run_program_to(dir, "2\\n", "", "/dev/full", err), 1);
    EXPECT_NE(err.find("edbforge: cannot write the standard output"), std::string::npos) << err;
    EXPECT_EQ(tables::list_dir(dir), (std::set<std::string>{"21100.ed", "21001.ed", "20110.ed", "20011.ed"}));
    EXPECT_EQ(test_support::ReadBytes(dir + "/21100.ed").size(), 248u);

    EXPECT_EQ(bridge::run_program_to(dir, "9\\n", "", "/dev/full", err), 1);
    EXPECT_NE(err.find("cannot write the standard output"), std::string::npos) << err;
    // A failure of its own keeps its status.
    EXPECT_EQ(bridge::run_program_to(dir, "x\\n", "", "/dev/full", err), 2);

    // Written where it can be, the same run succeeds.
    EXPECT_EQ(bridge::run_program_to(dir, "2\\n", "", "/dev/null", err), 0);
    EXPECT_EQ(err, "");
}

// A damaged table (short, long, or holding an unknown entry) is reported and made again.
TEST(GeneratorRun, DamagedTablesAreGeneratedAgain) {
    const test_support::TTempDir dirTemp("edbforge_damaged");
    const std::string dir = dirTemp.Path().string();
    std::string out;
    ASSERT_EQ(bridge::run_program(dir, "2\\n", "", out), 0);
    const std::string good = test_support::ReadText(dir + "/21100.ed");
    const std::string damaged[] = {good.substr(0, 100), good + "x", std::string(1, '\x03') + good.substr(1)};
    for (const std::string& bytes : damaged) {
        {
            std::ofstream f(dir + "/21100.ed", std::ios::binary | std::ios::trunc);
            f << bytes;
        }
        ASSERT_EQ(bridge::run_program(dir, "2\\n", "", out), 0);
        EXPECT_NE(out.find("Loading 21100.ed\ncan't read\n"), std::string::npos) << out;
        EXPECT_NE(out.find("\n21100.ed\n"), std::string::npos) << out;
        EXPECT_EQ(test_support::ReadText(dir + "/21100.ed"), good);
    }
}

#ifdef EDBFORGE_SANITIZED
constexpr int full_run_pieces = 3;
#else
constexpr int full_run_pieces = 4;
#endif

// Three kings against one: with the lone king off the long diagonal White wins nearly always (the
// triangle); a lone king holding the diagonal draws in most positions without an immediate capture.
void check_three_kings_against_one(const std::string& dir) {
    idx::build_rank_table();
    const material m{3, 1, 0, 0};
    edb::table t;
    ASSERT_EQ(edb::read_table_file(dir + "/43100.ed", edb::table_bytes(m), t), edb::load_result::loaded);
    const std::set<int> diagonal{28, 24, 21, 17, 14, 10, 7, 3}; // a1 .. h8
    std::uint64_t off = 0, off_won = 0, on = 0, on_drawn = 0;
    gen::board b;
    for (std::uint32_t i = 0; i < idx::class_size(m); ++i) {
        ASSERT_TRUE(idx::decode_position(m, i, b));
        const int lone = gen::square_of(b.piece_slot(1, 0));
        const int v = edb::load_entry(t, i);
        ASSERT_NE(v, edb::loss);
        if (!diagonal.count(lone)) {
            ++off;
            off_won += v == edb::win;
        } else if (!b.has_capture(0)) {
            ++on;
            on_drawn += v == edb::draw;
        }
    }
    EXPECT_GT(off_won, off * 98 / 100) << off_won << " of " << off;
    EXPECT_GT(on_drawn, on / 2) << on_drawn << " of " << on;
}

// Same bytes whatever the number of threads (each splits the work into other chunks); no unknown
// entry; verification finds nothing.
TEST(GeneratorRun, ThreadedAndSingleThreadRunsWriteTheSameTables) {
    const std::string input = std::to_string(full_run_pieces) + "\\n";
    std::vector<std::unique_ptr<test_support::TTempDir>> temps;
    std::vector<std::string> dirs;
    for (const int threads : {1, 4, 7}) {
        temps.push_back(std::make_unique<test_support::TTempDir>("edbforge_t" + std::to_string(threads)));
        dirs.push_back(temps.back()->Path().string());
        std::string out;
        ASSERT_EQ(bridge::run_program(dirs.back(), input, "--threads " + std::to_string(threads), out), 0);
        EXPECT_FALSE(mentions_fault(out)) << out;
    }
    const auto files = tables::list_dir(dirs[0]);
    std::size_t classes = 0;
    for (int n = 2; n <= full_run_pieces; ++n)
        for (int w = 1; w < n; ++w)
            classes += static_cast<std::size_t>((w + 1) * (n - w + 1));
    EXPECT_EQ(files.size(), classes);
    for (const std::string& dir : dirs) {
        ASSERT_EQ(files, tables::list_dir(dir));
        for (const auto& f : files) {
            SCOPED_TRACE(dir + "/" + f);
            const std::string a = test_support::ReadText(dirs[0] + "/" + f);
            ASSERT_EQ(a, test_support::ReadText(dir + "/" + f));
            for (unsigned char byte : a)
                ASSERT_EQ(byte & (byte >> 1) & 0x55, 0) << "an unknown entry was written";
        }
    }
    if (full_run_pieces >= 4) check_three_kings_against_one(dirs[1]);
}

} // namespace
