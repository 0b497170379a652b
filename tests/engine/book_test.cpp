// The engine book: the file as stored, loading and its faults, the probe, the entry's fields, the
// weights and the random numbers; and the move choice on Italian move lists.

#include "book_cases.h"
#include "commands.h"
#include "tests/support/temp_dir.h"

#include <random>
#include <sstream>

namespace {

namespace core = marrak;
using book_test::book_writer;
using Bytes = std::vector<std::uint8_t>;

struct loaded {
    core::opening_book book;
    std::string log;
    bool load(const Bytes& bytes) {
        return core::load_book_image(book, bytes.data(), bytes.size(), "t.odb",
                                     [this](const char* text) { log += text; });
    }
};

// Colour 2 has a man on bit 0 and a king on bit 4, colour 1 a man on bit 31; colour 2 to move.
const engine_position kings_position{{0x00000011u, 0x80000000u}, 0x00000010u};

// One slot, one kings word, assembled from the file's tables by hand: version "2.00", 7 positions,
// N = 1, L = 1, K = 1; kings word 0x10; entry info 0xFE800089 (kings bit, side 0, first move 2,
// second move 1, kings index 0, score -3), colour-2 word 0x11, colour-1 word 0x80000000.
// Stored bytes have each nibble raised by 5: 0x89 -> 0xDE, 0x00 -> 0x55, 0x80 -> 0xD5, 0xFE -> 0x43.
const Bytes hand_book = {
    '2',  '.',  '0',  '0',  0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    // version
    0x07, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, // P N L K
    0x65, 0x55, 0x55, 0x55,                                                 // kings 0x10
    0xDE, 0x55, 0xD5, 0x43, 0x66, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0xD5, // entry
};

TEST(EngineBook, HandAssembledBookLoadsAndMatchesKings) {
    loaded l;
    ASSERT_TRUE(l.load(hand_book));
    EXPECT_TRUE(l.book.loaded);
    EXPECT_EQ(l.book.version, "2.00");
    EXPECT_EQ(l.book.positions, 7);
    EXPECT_EQ(l.log, "Loading open book file t.odb, version 2.00, 7 positions read\n");
    const auto slot = core::book_probe(l.book, kings_position, 0);
    ASSERT_TRUE(slot.has_value());
    const core::book_moves m = core::unpack_book_entry(l.book.entries[*slot].info);
    EXPECT_EQ(m.count, 2);
    EXPECT_EQ(m.index[0], 2);
    EXPECT_EQ(m.index[1], 1);
    EXPECT_EQ(m.score, -3);
    // Same pieces but another side, other kings or none: no match.
    EXPECT_FALSE(core::book_probe(l.book, kings_position, 1));
    EXPECT_FALSE(core::book_probe(l.book, {{0x11u, 0x80000000u}, 0x01u}, 0));
    EXPECT_FALSE(core::book_probe(l.book, {{0x11u, 0x80000000u}, 0}, 0));
}

TEST(EngineBook, KingsIndexPastTheTableNeverMatches) {
    Bytes bytes = hand_book;
    // Kings index 1 with one kings word: info 0xFE800489 (byte 1 0x04 stored as 0x59).
    bytes[37] = 0x59;
    loaded l;
    ASSERT_TRUE(l.load(bytes));
    EXPECT_FALSE(core::book_probe(l.book, kings_position, 0));
    EXPECT_FALSE(core::book_probe(l.book, {{0x11u, 0x80000000u}, 0}, 0));
}

TEST(EngineBook, UnpacksTheEntryFields) {
    struct row {
        const char* what;
        std::uint32_t info;
        std::vector<int> moves;
        int score;
    } rows[] = {
        {"six moves",
         31u << 2 | 14u << 7 | 13u << 11 | 6u << 15 | 5u << 18 | 2u << 21 | 255u << 23,
         {31, 14, 13, 6, 5, 2},
         255},
        {"one move", 4u << 2 | 15u << 7 | 0x1ffu << 23, {4}, -1},
        // After a field with all bits set nothing more is read.
        {"ended early", 1u << 2 | 3u << 7 | 15u << 11 | 1u << 15 | 0x100u << 23, {1, 3}, -256},
        {"the last field ends",
         0u << 2 | 1u << 7 | 2u << 11 | 3u << 15 | 4u << 18 | 3u << 21,
         {0, 1, 2, 3, 4},
         0},
        {"kings, two", 1u | 2u << 1 | 9u << 2 | 6u << 7 | 0x1fffu << 10 | 17u << 23, {9, 6}, 17},
        {"kings, one", 1u | 9u << 2 | 7u << 7 | 0x0f0u << 23, {9}, 240},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        const core::book_moves m = core::unpack_book_entry(r.info);
        EXPECT_EQ(std::vector<int>(m.index.begin(), m.index.begin() + m.count), r.moves);
        EXPECT_EQ(m.score, r.score);
    }
}

TEST(EngineBook, VersionsBeforeTwoDoNotLoad) {
    struct row {
        std::string version;
        bool loads;
        std::string shown;
    } rows[] = {
        {"1.99", false, ""},
        {"2.00", true, "2.00"},
        {"2.10", true, "2.10"},
        {"2.0", false, ""},
        {"2.00a", true, "2.00a"},
        {"10.0", false, ""},
        {std::string(16, '9'), true, std::string(15, '9')}, // no NUL in the field: cut to 15
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.version);
        book_writer good;
        good.version = "2.10";
        good.add(search_test::start_position, 0, {0}, 0);
        loaded l;
        ASSERT_TRUE(l.load(good.bytes()));
        book_writer w;
        w.version = r.version;
        w.add(search_test::start_position, 1, {0}, 0);
        l.log.clear();
        EXPECT_EQ(l.load(w.bytes()), r.loads);
        // An old version leaves no book at all.
        EXPECT_EQ(l.book.loaded, r.loads);
        EXPECT_EQ(l.book.version, r.shown);
        if (!r.loads) {
            EXPECT_EQ(l.log, "Old version of Marrak.odb incompatible with this engine\n");
        }
        EXPECT_EQ(core::book_probe(l.book, search_test::start_position, 1).has_value(), r.loads);
    }
}

// Every damaged book is refused with the reason logged, and the book loaded before stays.
TEST(EngineBook, DamagedBooksKeepTheOldOne) {
    book_writer w;
    w.add(search_test::start_position, 1, {0, 1}, 0);
    w.kings = {0x10, 0x20};
    const Bytes good = w.bytes();
    const auto with_word = [&](std::size_t at, std::uint32_t v) {
        Bytes b = good;
        for (int i = 0; i < 4; ++i)
            b.at(at + i) = std::uint8_t(v >> 8 * i);
        return b;
    };
    struct row {
        const char* what;
        Bytes bytes;
    } rows[] = {
        {"empty", {}},
        {"header cut", Bytes(good.begin(), good.begin() + 31)},
        {"one byte short", Bytes(good.begin(), good.end() - 1)},
        {"one byte more",
         [&] {
             Bytes b = good;
             b.push_back(0x55);
             return b;
         }()},
        {"N = 0", with_word(20, 0)},
        {"N = 0 and no entries",
         [&] {
             Bytes b = with_word(20, 0);
             b.resize(32 + 8);
             return b;
         }()},
        {"L = 0", with_word(24, 0)},
        {"K past the file", with_word(28, 3)},
        {"N past 32 bits of bytes", with_word(20, 0x80000000u)},
        {"K huge", with_word(28, 0xffffffffu)},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        book_writer old;
        old.version = "2.10";
        old.positions = 1234;
        old.add(search_test::start_position, 0, {2}, 5);
        loaded l;
        ASSERT_TRUE(l.load(old.bytes()));
        l.log.clear();
        EXPECT_FALSE(l.load(r.bytes));
        EXPECT_EQ(l.log.rfind("Opening book t.odb not loaded: ", 0), 0u) << l.log;
        EXPECT_TRUE(l.book.loaded);
        EXPECT_EQ(l.book.version, "2.10");
        EXPECT_EQ(l.book.positions, 1234);
        EXPECT_TRUE(core::book_probe(l.book, search_test::start_position, 0).has_value());
    }
}

TEST(EngineBook, ProbeLimitAboveTheTableIsTheTable) {
    book_writer w(4);
    w.probe_limit = 1000;
    w.add(search_test::start_position, 0, {0}, 0);
    loaded l;
    ASSERT_TRUE(l.load(w.bytes()));
    EXPECT_EQ(l.book.probe_limit, 4u);
}

// A position whose home slot in a table of n is `home`.
engine_position with_home(std::size_t n, std::size_t home, std::uint32_t from = 1) {
    for (std::uint32_t i = from;; ++i) {
        const engine_position p{{i, 0x80000000u}, 0};
        if (core::book_hash(p, 0) % n == home) return p;
    }
}

TEST(EngineBook, ProbeStopsAtAnEmptySlotAfterLSlotsAndWraps) {
    const std::size_t n = 8;
    const engine_position filler{{0x0f00u, 0xf000u}, 0};
    struct row {
        const char* what;
        std::size_t home;
        std::vector<std::size_t> filled; // slots holding other positions
        std::size_t at;                  // where the position is stored
        bool found;
    } rows[] = {
        {"home slot", 2, {}, 2, true},
        {"behind two others", 2, {2, 3}, 4, true},
        {"behind an empty slot", 2, {2}, 4, false},
        {"at the limit", 2, {2, 3}, 4, true},
        {"past the limit of 3", 2, {2, 3, 4}, 5, false},
        {"wrapped to the first slot", 7, {7}, 0, true},
        {"wrapped, then empty", 6, {6, 7}, 1, false},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        book_writer w(n);
        w.probe_limit = 3;
        const engine_position p = with_home(n, r.home);
        for (std::size_t s : r.filled)
            w.put(s, filler, w.info(filler, 0, {0}, 0));
        w.put(r.at, p, w.info(p, 0, {0}, 0));
        loaded l;
        ASSERT_TRUE(l.load(w.bytes()));
        const auto slot = core::book_probe(l.book, p, 0);
        EXPECT_EQ(slot.has_value(), r.found);
        if (slot) {
            EXPECT_EQ(*slot, r.at);
        }
    }
}

// The library's own book at the set-up, then others through "set bookfile": names below the engine
// folder, absolute paths as they stand, and a failed load keeps the book and its name.
TEST(EngineBook, FilesLoadAtTheSetUpAndThroughTheCommand) {
    test_support::TTempDir dir("engine_book");
    const std::string old_cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.Path());
    std::filesystem::create_directory(dir.File("Engines"));
    const auto book = [](const char* version, int positions) {
        book_writer w;
        w.version = version;
        w.positions = positions;
        w.add(search_test::start_position, 0, {0}, 0);
        return w.bytes();
    };
    ASSERT_TRUE(book_test::write_file(dir.File("Engines/marrak_italian.odb"), book("2.00", 7)));
    ASSERT_TRUE(book_test::write_file(dir.File("Engines/good.odb"), book("2.10", 42)));
    ASSERT_TRUE(book_test::write_file(dir.File("elsewhere.odb"), book("2.20", 9)));
    Bytes bad = book("2.30", 1);
    bad.pop_back();
    ASSERT_TRUE(book_test::write_file(dir.File("Engines/bad.odb"), bad));

    core::engine_context ctx;
    ctx.use_files(true);
    ctx.registry().set_path(dir.File("Fenwold/Engine.reg"));
    std::string log;
    ctx.set_log([&](const char* text) { log += text; });
    ctx.init();
    EXPECT_TRUE(ctx.book().loaded);
    EXPECT_EQ(ctx.book().positions, 7);
    EXPECT_NE(log.find("Loading open book file " + dir.File("Engines/marrak_italian.odb") +
                       ", version 2.00, 7 positions read\n"),
              std::string::npos)
        << log;

    char reply[ENGINE_STATUS_TEXT_SIZE];
    core::run_engine_command(ctx, "set bookfile good.odb", reply);
    EXPECT_STREQ(reply, "bookfile set to good.odb");
    EXPECT_EQ(ctx.book().positions, 42);
    const std::string absolute = dir.File("elsewhere.odb");
    core::run_engine_command(ctx, ("set bookfile " + absolute).c_str(), reply);
    EXPECT_EQ(std::string(reply), "bookfile set to " + absolute);
    EXPECT_EQ(ctx.book().positions, 9);
    core::run_engine_command(ctx, "set bookfile good.odb", reply);
    for (const char* name : {"bad.odb", "missing.odb"}) {
        core::run_engine_command(ctx, (std::string("set bookfile ") + name).c_str(), reply);
        EXPECT_EQ(std::string(reply), std::string("Cannot load ") + name);
    }
    EXPECT_NE(log.find("Opening book " + dir.File("Engines/bad.odb") +
                       " not loaded: size does not match its header\n"),
              std::string::npos)
        << log;
    core::run_engine_command(ctx, "get bookfile", reply);
    EXPECT_STREQ(reply, "good.odb");
    core::run_engine_command(ctx, "about", reply);
    EXPECT_NE(std::string(reply).find("Opening book database version 2.10 with 42 positions\n"),
              std::string::npos);
    std::filesystem::current_path(old_cwd);
}

TEST(EngineBook, WeightsByKind) {
    struct row {
        int kind, depth, d;
        double weight;
    } rows[] = {
        {1, 10, 0, 10},
        {1, 10, -15, 10 * std::pow(1.04, -15)},
        {1, 10, -16, 0},
        {2, 3, 0, 3},
        {2, 3, -5, 3 * std::pow(1.14, -5)},
        {2, 3, -6, 0},
        {3, 4, 0, 4},
        {3, 4, -1, 0},
        {0, 4, 0, 0},
        {4, 4, 0, 0},
        {-1, 4, 0, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.kind << " " << r.depth << " " << r.d);
        EXPECT_DOUBLE_EQ(core::book_weight(r.kind, r.depth, r.d), r.weight);
    }
}

// The library's generator against the standard one, given the same state words.
std::mt19937 standard_from(std::uint32_t seed) {
    std::ostringstream words;
    std::uint32_t w = seed;
    for (int i = 0; i < 624; ++i) {
        words << w << ' ';
        w *= 69069u;
    }
    words << 624;
    std::mt19937 mt;
    std::istringstream in(words.str());
    in >> mt;
    EXPECT_TRUE(in);
    return mt;
}

TEST(EngineBook, RandomNumbersAreMt19937SeededThe1998Way) {
    for (std::uint32_t seed : {1u, 4357u, 0xaaau, 0xdeadbeefu}) {
        SCOPED_TRACE(seed);
        core::mt_random ours;
        ours.seed(seed);
        std::mt19937 theirs = standard_from(seed);
        for (int i = 0; i < 2000; ++i)
            ASSERT_EQ(ours.next(), theirs()) << "draw " << i;
    }
    // Never seeded: as if seeded with 4357.
    core::mt_random unseeded;
    std::mt19937 theirs = standard_from(4357);
    for (int i = 0; i < 700; ++i)
        ASSERT_EQ(unseeded.next(), theirs()) << "draw " << i;
}

TEST(EngineBook, KindThreeTakesOnlyTheBestLines) {
    book_cases::kind_three_takes_only_the_best_lines();
}
TEST(EngineBook, ChoiceTextListsTheWeighedMoves) {
    book_cases::choice_text_lists_the_weighed_moves();
}
TEST(EngineBook, RefusesARepetitionThatClaimsAWin) {
    book_cases::refuses_a_repetition_that_claims_a_win();
}
TEST(EngineBook, NoCandidatesNoMove) {
    book_cases::no_candidates_no_move();
}
TEST(EngineBook, LongChainIsCut) {
    book_cases::long_chain_is_cut();
}
TEST(EngineBook, DriverPlaysTheBookMove) {
    book_cases::driver_plays_the_book_move();
}

TEST(EngineBook, KeptLinesChooseAsAFreshBook) {
    book_cases::kept_lines_choose_as_a_fresh_book();
}

} // namespace
