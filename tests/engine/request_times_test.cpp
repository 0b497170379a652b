// Times, depths and margins that no clock gives, handed to the libraries as the host calls them:
// every request ends by itself, or on the host's stop when it was given all the time there is.

#include "host_board_util.h"
#include "search_fixture.h"
#include "tests/support/wait.h"

#include <atomic>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <regex>
#include <set>
#include <thread>

using namespace engine_test;

namespace {

constexpr const char* libraries[] = {"libMarrak.so", "libmarrak_italian.so"};
const engine_position start{{0x00000FFFu, 0xFFF00000u}, 0};
constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// The iteration of the listing in a status text ("0.0s, D 3,  ..."), -1 without one.
int listed_depth(const char* status) {
    const char* at = std::strstr(status, ", D ");
    return at ? std::atoi(at + 4) : -1;
}

struct scores {
    int result = -1;
    int margin = 0;
    int playnow = 0;
    std::string status;
    move_list moves;
    int values[ENGINE_MAX_MOVES];
};

// get_best_moves on the start position for colour 2, on a watchdog.
void best_moves(const library& lib, double maxtime, int fixed_depth, int margin, scores& out,
                int playnow = 0) {
    const auto get_best_moves = lib.function<get_best_moves_fn>("get_best_moves");
    ASSERT_NE(get_best_moves, nullptr);
    engine_position p = start;
    char status[ENGINE_STATUS_TEXT_SIZE] = {};
    out.playnow = playnow;
    test_support::MustEnd("get_best_moves", [&] {
        out.result = get_best_moves(&p, 0, maxtime, status, &out.playnow, 0, margin, &out.moves, out.values,
                                    fixed_depth, &out.margin);
    });
    out.status = status;
}

// Every move of the start position scored once, best first for colour 2.
void expect_all_scored(const library& lib, const scores& s) {
    EXPECT_EQ(s.result, 0) << s.status;
    move_list legal;
    ASSERT_EQ(lib.build(start, 0, legal), 7);
    ASSERT_EQ(s.moves.count, 7u);
    std::set<std::uint64_t> scored, expected;
    for (std::uint32_t i = 0; i < 7; ++i) {
        scored.insert(key_of(s.moves.moves[i]));
        expected.insert(key_of(legal.moves[i]));
        EXPECT_LT(std::abs(s.values[i]), 2000);
        if (i) {
            EXPECT_GE(s.values[i - 1], s.values[i]);
        }
    }
    EXPECT_EQ(scored, expected);
    EXPECT_EQ(s.playnow, 0);
}

} // namespace

// No time, or none that means anything, counts as none: the scores of iteration 1, or of the
// iterations a fixed depth asks for before the time counts, until the hard limit of no time stops
// the search.
TEST(RequestTimes, GetBestMovesWithoutTimeEndsAtOnce) {
    const double times[] = {not_a_number, -not_a_number, -infinity, -1.0, -0.0, 0.0, 5e-324, 1e-9};
    for (const char* file : libraries) {
        library lib(file);
        ASSERT_TRUE(lib.loaded()) << lib.error();
        for (const double t : times)
            for (const int fixed_depth : {0, 1, 3, 96}) {
                SCOPED_TRACE(::testing::Message()
                             << file << " maxtime " << t << " fixed depth " << fixed_depth);
                scores s;
                best_moves(lib, t, fixed_depth, 10, s);
                expect_all_scored(lib, s);
                // Iterations before the one before the fixed depth run whatever the time.
                if (fixed_depth <= 2) {
                    EXPECT_EQ(listed_depth(s.status.c_str()), 1) << s.status;
                } else if (fixed_depth == 3) {
                    EXPECT_EQ(listed_depth(s.status.c_str()), 3) << s.status;
                }
                EXPECT_EQ(s.margin, 10);
            }
    }
}

// Depths and margins at the ends of the int range, with little time or a stop already asked for.
TEST(RequestTimes, GetBestMovesWithExtremeDepthsAndMargins) {
    for (const char* file : libraries) {
        library lib(file);
        ASSERT_TRUE(lib.loaded()) << lib.error();
        for (const int fixed_depth : {INT_MIN, -1, INT_MAX})
            for (const int margin : {INT_MIN, -1, 0, INT_MAX}) {
                SCOPED_TRACE(::testing::Message()
                             << file << " fixed depth " << fixed_depth << " margin " << margin);
                scores s;
                best_moves(lib, 0.0, fixed_depth, margin, s);
                expect_all_scored(lib, s);
                if (margin >= 0) {
                    EXPECT_GE(s.margin, margin);
                }
            }
        // All the time there is, stopped by the host before the call: iterations 1 and 3.
        for (const double t : {infinity, 1e300, std::numeric_limits<double>::max()}) {
            SCOPED_TRACE(::testing::Message() << file << " maxtime " << t);
            scores s;
            best_moves(lib, t, 0, INT_MAX, s, 1);
            expect_all_scored(lib, s);
            EXPECT_EQ(listed_depth(s.status.c_str()), 3) << s.status;
            EXPECT_EQ(s.margin, INT_MAX);
        }
    }
}

// getmove plays a legal move for any time it is given: at once without time, and on the host's stop
// with all the time there is.
TEST(RequestTimes, GetmoveWithOddTimesPlaysAMove) {
    for (const char* file : libraries) {
        library lib(file);
        ASSERT_TRUE(lib.loaded()) << lib.error();
        const auto getmove = lib.function<getmove_fn>("getmove");
        ASSERT_NE(getmove, nullptr);
        move_list legal;
        ASSERT_EQ(lib.build(start, 0, legal), 7);
        for (const double t : {not_a_number, -infinity, -1.0, 0.0, 5e-324, infinity, 1e300}) {
            for (const int info : {0, 2, 4}) {
                SCOPED_TRACE(::testing::Message() << file << " maxtime " << t << " info " << info);
                host_board b = board_of(start);
                char status[ENGINE_STATUS_TEXT_SIZE] = {};
                int playnow = 0, code = -1;
                std::atomic<bool> done{false};
                // Given all the time there is, the request ends on the host's stop, asked for once the
                // search writes its first line (the request clears the word when it begins).
                const bool unlimited = t >= 1;
                auto searching = [&status] {
                    char head[6];
                    for (int i = 0; i < 5; ++i)
                        head[i] = std::atomic_ref<char>(status[i]).load(std::memory_order_relaxed);
                    head[5] = '\0';
                    return std::strcmp(head, "value") == 0;
                };
                test_support::MustEnd("getmove", [&] {
                    std::thread host([&] {
                        if (!unlimited) return;
                        test_support::WaitUntil([&] { return done.load() || searching(); });
                        std::atomic_ref<int>(playnow).store(1);
                    });
                    code = getmove(&b, 2, t, status, &playnow, info, 0, nullptr);
                    done.store(true);
                    host.join();
                });
                EXPECT_TRUE(code >= ENGINE_DRAW && code <= ENGINE_UNKNOWN) << code;
                const engine_position after = marrak::host::board_to_position(b);
                bool found = false;
                for (std::uint32_t i = 0; i < legal.count; ++i)
                    found |= same(legal.moves[i], after);
                EXPECT_TRUE(found) << status;
                EXPECT_EQ(std::atomic_ref<int>(playnow).load(), 0);
            }
        }
    }
}

// A huge time keeps the scoring's log line whole: its soft limit is written with all its digits.
TEST(RequestTimes, HugeTimeKeepsTheLogLinesWhole) {
    search_test::fixture f;
    f.playnow = 1; // stopped from iteration 5 on
    move_list moves;
    int values[ENGINE_MAX_MOVES], margin = 0;
    ASSERT_EQ(marrak::search::get_best_moves(*f.ctx, search_test::start_position, 0, 1e300, &f.playnow, 0, 10,
                                             &moves, values, 0, &margin),
              0);
    const auto lines = f.log_lines("Mintime ");
    ASSERT_FALSE(lines.empty()) << f.log;
    const std::regex whole("Mintime \\d+\\.\\d\\d, alpha -?\\d+, beta -?\\d+, bestval -?\\d+, msd -?\\d+");
    for (const auto& line : lines)
        EXPECT_TRUE(std::regex_match(line, whole)) << line;
}
