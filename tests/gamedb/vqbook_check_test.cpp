// vqbook's check and dump of a book file.

#include "book_test_util.h"
#include "tools/vqbook/vqbook_check.h"

#include <sstream>

using namespace gamedb_test;

namespace {
TPositionKey Key(std::uint8_t first) {
    TPositionKey k;
    k.fill(62);
    k[0] = first;
    return k;
}
} // namespace

TEST(VqbookCheck, FindsWhatBreaksTheOrder) {
    const TRec a{Key(1), 0}, a1{Key(1), 1}, b{Key(2), 0};
    struct Case {
        const char* name;
        Bytes bytes;
        bool sound;
        std::int64_t outOfOrder, duplicates, trailing;
    };
    Bytes partial = BookBytes({a, b});
    partial.push_back(7);
    const Case cases[] = {
        {"empty", {}, true, 0, 0, 0},
        {"sorted, both sides of one key", BookBytes({a, a1, b}), true, 0, 0, 0},
        {"side 1 before side 0", BookBytes({a1, a, b}), false, 1, 0, 0},
        {"a pair twice", BookBytes({a, b, b}), false, 0, 1, 0},
        {"a partial record", partial, false, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TBookCheck r = CheckBookBytes(c.bytes);
        EXPECT_EQ(r.Sound(), c.sound);
        EXPECT_EQ(r.outOfOrder, c.outOfOrder);
        EXPECT_EQ(r.duplicates, c.duplicates);
        EXPECT_EQ(r.trailingBytes, c.trailing);
        EXPECT_EQ(r.problems.empty(), c.sound);
    }
    // Marks above 7, sides above 1 and key bytes above 124 are noted; the order still holds.
    TRec odd{Key(200), 3};
    odd.mark = 9;
    const TBookCheck r = CheckBookBytes(BookBytes({a, odd}));
    EXPECT_TRUE(r.Sound());
    EXPECT_EQ(r.badKeys, 1);
    EXPECT_EQ(r.badSides, 1);
    EXPECT_EQ(r.badMarks, 1);
}

TEST(VqbookCheck, DumpShowsCountersMarksAndComments) {
    TRec r{Key(1), 1, 5, 3, 2, 2, 1};
    std::ostringstream out;
    DumpBookBytes(BookBytes({r}), {"", "Centre"}, out);
    EXPECT_EQ(out.str(), "1  013e3e3e3e3e3e3e3e3e3e3e3e3e3e3e3e  1  +5 =3 -2  2 (!)  comment 1: Centre\n");
}
