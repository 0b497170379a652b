#include "platform/serial_port_list.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A made-up /dev and /sys: device names as empty files, UART types as the kernel writes them.
struct TFakeTree {
    test_support::TTempDir dir{"ports"};
    fs::path root = dir.Path();
    TFakeTree() {
        fs::create_directories(root / "dev");
        fs::create_directories(root / "sys" / "class" / "tty");
    }
    void Device(const std::string& name) const { std::ofstream(root / "dev" / name).put('\n'); }
    void Type(const std::string& name, const std::string& type) const {
        fs::create_directories(root / "sys" / "class" / "tty" / name);
        std::ofstream(root / "sys" / "class" / "tty" / name / "type") << type << "\n";
    }
    std::vector<std::string> List() const {
        std::vector<std::string> names;
        for (const std::string& p : ListSerialPorts((root / "dev").string(), (root / "sys").string()))
            names.push_back(fs::path(p).filename().string());
        return names;
    }
};

} // namespace

TEST(ListSerialPorts, FamiliesInNaturalOrderWithoutAbsentUarts) {
    TFakeTree t;
    for (const char* name : {"ttyS10", "ttyS2", "ttyS0", "ttyS1", "ttyS3", "ttyUSB1", "ttyUSB0", "ttyACM0",
                             "tty0", "tty", "ttyprintk", "ttyS", "ttySx1", "ttyUSB", "console", "ttyACM12"})
        t.Device(name);
    t.Type("ttyS0", "4");
    t.Type("ttyS1", "0"); // no UART behind it
    t.Type("ttyS3", "0");
    t.Type("ttyS10", "4");
    // ttyS2 has no type file: kept, nothing says it is absent.
    const std::vector<std::string> expected = {"ttyS0",   "ttyS2",   "ttyS10",  "ttyUSB0",
                                               "ttyUSB1", "ttyACM0", "ttyACM12"};
    EXPECT_EQ(t.List(), expected);
}

TEST(ListSerialPorts, FullPathsAndMissingRoots) {
    TFakeTree t;
    t.Device("ttyUSB0");
    const std::vector<std::string> paths =
        ListSerialPorts((t.root / "dev").string(), (t.root / "sys").string());
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0], (t.root / "dev" / "ttyUSB0").string());
    EXPECT_TRUE(ListSerialPorts((t.root / "nothing").string(), (t.root / "sys").string()).empty());
    // Without /sys the ttyS entries cannot be judged and stay.
    t.Device("ttyS4");
    EXPECT_EQ(ListSerialPorts((t.root / "dev").string(), (t.root / "nothing").string()).size(), 2u);
}
