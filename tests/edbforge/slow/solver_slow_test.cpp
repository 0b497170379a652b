// The long checks: 4-piece tables against the naive solver, 5- and 6-piece tables against a
// table-free search. The 6-piece check reads the tables of a full run from EDBFORGE_TABLES.

#include "checks.h"
#include "host_bridge.h"
#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

TEST(GeneratedTablesSlow, FourPiecesAgreeWithTheNaiveSolver) {
    const test_support::TTempDir dirTemp("edbforge_naive4");
    const std::string dir = dirTemp.Path().string();
    std::string out;
    ASSERT_EQ(bridge::run_program(dir, "4\\n", "", out), 0) << out;
    check::compare_with_naive(dir, 4);
}

TEST(GeneratedTablesSlow, FivePiecesAgreeWithATableFreeSearch) {
    const test_support::TTempDir dirTemp("edbforge_search5");
    const std::string dir = dirTemp.Path().string();
    std::string out;
    ASSERT_EQ(bridge::run_program(dir, "5\\n", "", out), 0) << out;
    EXPECT_EQ(out.find("Must be"), std::string::npos);
    EXPECT_GT(check::compare_with_search(dir, 5, 100, 3), 300);
}

TEST(GeneratedTablesSlow, SixPiecesAgreeWithATableFreeSearch) {
    const char* dir = std::getenv("EDBFORGE_TABLES");
    if (!dir || !*dir) GTEST_SKIP() << "set EDBFORGE_TABLES to the folder of a full 6-piece run";
    EXPECT_GT(check::compare_with_search(dir, 6, 100, 3), 300);
}

} // namespace
