// The engine libraries' generators against the host's move generator: the same positions after
// every legal move, duplicates included. Italian differs in one rule only: among captures equal
// in size, capturer and kings taken, the engine keeps those that take a king earliest.

#include "engine_test_util.h"
#include "movegen.h"
#include "rules/movegen.h"

#include <map>
#include <vector>

using namespace engine_test;

namespace {

// Host square n is row (n - 1) / 4, column 2 ((n - 1) mod 4) + row parity; host side 0 moves
// towards row 7 like the engine's colour 2, so the side numbers agree.
int host_square_bit(int n) {
    return 4 * ((n - 1) / 4) + 3 - (n - 1) % 4;
}

TBoard to_host(const engine_position& p) {
    TBoard b = EmptyBoard;
    for (int n = 1; n <= 32; ++n) {
        const std::uint32_t m = 1u << host_square_bit(n);
        const int king = (p.kings & m) ? 2 : 1;
        if (p.pieces[0] & m)
            b[n] = static_cast<std::int8_t>(king);
        else if (p.pieces[1] & m)
            b[n] = static_cast<std::int8_t>(-king);
    }
    return b;
}

engine_position from_host(const TBoard& b) {
    engine_position p{{0, 0}, 0};
    for (int n = 1; n <= 32; ++n) {
        const std::uint32_t m = 1u << host_square_bit(n);
        if (b[n] > 0) p.pieces[0] |= m;
        if (b[n] < 0) p.pieces[1] |= m;
        if (IsKing(b[n])) p.kings |= m;
    }
    return p;
}

// 1-based capture step of the first king taken, 30 when none.
int first_king_step(const TMove& m, const TBoard& b) {
    for (int k = 1; k <= m.captures; ++k)
        if (IsKing(b[m.Captured(k)])) return k;
    return 30;
}

using position_count = std::map<std::uint64_t, int>;

position_count engine_moves(const library& lib, const engine_position& p, int side) {
    move_list list;
    position_count out;
    lib.build(p, side, list);
    for (std::uint32_t i = 0; i < list.count; ++i)
        ++out[key_of(list.moves[i])];
    return out;
}

// The host's moves; for Italian, optionally narrowed by the engine's earliest-king rule.
position_count host_moves(const engine_position& p, int side, TGameType variant, bool earliest_king) {
    const TBoard b = to_host(p);
    TMoveList list;
    FindMoves(b, side, list, variant);
    int earliest = 30;
    if (earliest_king)
        for (const auto& m : list)
            earliest = std::min(earliest, first_king_step(m, b));
    position_count out;
    for (const auto& m : list) {
        if (earliest_king && first_king_step(m, b) != earliest) continue;
        TBoard after = b;
        MakeMove(m, after, variant);
        ++out[key_of(from_host(after))];
    }
    return out;
}

} // namespace

TEST(HostComparison, EnglishAgreesOnRandomAndCrowdedPositions) {
    library english("libMarrak.so");
    ASSERT_TRUE(english.loaded());
    // 34 capture sequences (kings of colour 2 among colour-1 men), the 42 plain moves of twelve
    // kings, a round trip listed both ways.
    const engine_position fixed[] = {
        {{0x008808d5u, 0x07070708u}, 0x008808d5u},
        diagram(
            {".B.B.B.B", "........", ".W.W.W.W", "........", ".W.W.W.W", "........", ".W.W.W.W", "........"}),
        diagram(
            {".......w", "........", ".w.w....", "........", ".w.w....", "..B.....", "........", "........"}),
    };
    for (const auto& p : fixed)
        for (int side = 0; side < 2; ++side)
            EXPECT_EQ(engine_moves(english, p, side), host_moves(p, side, gtEnglish, false));
    move_list list;
    EXPECT_EQ(english.build(fixed[0], 0, list), 34);

    std::mt19937 rng(2024);
    for (int i = 0; i < 4000; ++i) {
        const auto p = random_position(rng, 12, i % 2 ? 60 : 15);
        for (int side = 0; side < 2; ++side) {
            SCOPED_TRACE(testing::Message() << std::hex << p.pieces[0] << " " << p.pieces[1] << " " << p.kings
                                            << " side " << side);
            ASSERT_EQ(engine_moves(english, p, side), host_moves(p, side, gtEnglish, false));
        }
    }
}

TEST(HostComparison, ItalianAgreesExceptWhereTheEarliestKingDecides) {
    library italian("libmarrak_italian.so");
    ASSERT_TRUE(italian.loaded());

    // The listed case: two king captures of a man and a king each; the host keeps both, the
    // engine only the one that takes the king first.
    const auto listed = diagram(
        {"........", "........", "........", "....w...", ".W......", "......W.", ".w.....B", "B......."});
    const auto host_all = host_moves(listed, 0, gtItalian, false);
    EXPECT_EQ(host_all.size(), 2u);
    EXPECT_EQ(engine_moves(italian, listed, 0).size(), 1u);
    EXPECT_EQ(engine_moves(italian, listed, 0), host_moves(listed, 0, gtItalian, true));

    std::mt19937 rng(99);
    int decided_by_earliest_king = 0;
    for (int i = 0; i < 6000; ++i) {
        const auto p = random_position(rng, 12, i % 2 ? 60 : 15);
        for (int side = 0; side < 2; ++side) {
            SCOPED_TRACE(testing::Message() << std::hex << p.pieces[0] << " " << p.pieces[1] << " " << p.kings
                                            << " side " << side);
            const auto engine = engine_moves(italian, p, side);
            ASSERT_EQ(engine, host_moves(p, side, gtItalian, true));
            decided_by_earliest_king += engine != host_moves(p, side, gtItalian, false);
        }
    }
    // The random positions reach the rule, so the comparison covers it.
    EXPECT_GT(decided_by_earliest_king, 0);
    RecordProperty("decided_by_earliest_king", decided_by_earliest_king);
}

TEST(HostComparison, ItalianCapturePathsTakeTheHostsSteps) {
    // Each step as (captured bit, landing bit): the host's pairs and the engine's path records
    // must describe the same sequences.
    using steps = std::vector<std::pair<int, int>>;
    static marrak::gen::capture_path paths[marrak::gen::max_moves];
    std::mt19937 rng(5);
    int compared = 0;
    for (int i = 0; i < 6000; ++i) {
        const auto p = random_position(rng, 12, 50);
        for (int side = 0; side < 2; ++side) {
            move_list list;
            const int n = marrak::gen::generate_capture_paths(p, list, side, paths);
            std::map<steps, int> engine, host;
            int earliest = 30;
            for (int m = 0; m < n; ++m) {
                steps s;
                engine_position before = p;
                for (int k = 0; k < paths[m].steps; ++k) {
                    const auto& after = paths[m].after[k];
                    s.emplace_back(__builtin_ctz(before.pieces[1 - side] & ~after.pieces[1 - side]),
                                   __builtin_ctz(after.pieces[side] & ~before.pieces[side]));
                    before = after;
                }
                ++engine[s];
            }
            const TBoard b = to_host(p);
            TMoveList moves;
            FindMoves(b, side, moves, gtItalian);
            for (const auto& m : moves)
                earliest = std::min(earliest, first_king_step(m, b));
            for (const auto& m : moves) {
                if (!m.captures || first_king_step(m, b) != earliest) continue;
                steps s;
                for (int k = 1; k <= m.captures; ++k)
                    s.emplace_back(host_square_bit(m.Captured(k)), host_square_bit(m.Landing(k)));
                ++host[s];
            }
            ASSERT_EQ(engine, host) << std::hex << p.pieces[0] << " " << p.pieces[1] << " " << p.kings
                                    << " side " << side;
            compared += n > 0;
        }
    }
    EXPECT_GT(compared, 1000);
}
