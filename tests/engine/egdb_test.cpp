// The endgame-database driver as the engines call it.

#include "egdb/egdb.h"

#include <gtest/gtest.h>

#include <bit>

TEST(EgdbDriver, BitCountTableMatchesPopcount) {
    for (unsigned v = 0; v < 65536; ++v)
        ASSERT_EQ(egdb_bitcount_table[v], std::popcount(v)) << v;
}

TEST(EgdbDriver, FindsNoDatabaseAndSaysSoClearly) {
    int kind = 123, pieces = 456;
    EXPECT_NE(egdb_identify("db", &kind, &pieces), 0);
    EXPECT_EQ(kind, -1);
    EXPECT_EQ(pieces, 0);
    EXPECT_NE(egdb_identify(nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(egdb_open(0, 6, 8, "db", nullptr), nullptr);
}
