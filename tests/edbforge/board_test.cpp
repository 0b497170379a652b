// The generator's move core against the host's Russian rules, and its own edge cases.

#include "host_bridge.h"
#include "rules/movegen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using gen::board;
using gen::gen_move;

struct board_less {
    bool operator()(const TBoard& a, const TBoard& b) const { return a.sq < b.sq; }
};
using host_set = std::set<TBoard, board_less>;

std::vector<gen_move> moves_of(board& b, bool captures) {
    auto& buf = b.buffer();
    const std::size_t base = buf.size();
    if (captures)
        b.gen_white_captures();
    else
        b.gen_white_moves();
    std::vector<gen_move> out(buf.begin() + static_cast<long>(base), buf.end());
    buf.resize(base);
    return out;
}

// White's legal moves as the resulting host positions: captures when there are any.
host_set white_results(board& b) {
    auto moves = moves_of(b, true);
    if (moves.empty()) moves = moves_of(b, false);
    host_set out;
    for (const auto& m : moves) {
        b.make_white_move(m);
        out.insert(bridge::to_host(b));
        b.unmake_white_move(m);
    }
    return out;
}

host_set host_results(const TBoard& t, int side, bool* captures = nullptr) {
    TMoveList list;
    FindMoves(t, side, list, gtRussian);
    host_set out;
    for (const auto& m : list) {
        TBoard next = t;
        MakeMove(m, next, gtRussian);
        out.insert(next);
    }
    if (captures) *captures = !list.empty() && list.front().captures > 0;
    return out;
}

// A random placement of up to `max_pieces` pieces, men off their last rows.
void random_board(std::mt19937& rng, int max_pieces, board& b) {
    b.clear_board();
    const int n = 2 + static_cast<int>(rng() % (max_pieces - 1));
    for (int placed = 0; placed < n;) {
        const int sq = static_cast<int>(rng() % 32);
        if (b.at_square(sq) != gen::empty) continue;
        static const std::uint8_t kinds[] = {gen::white_man, gen::white_king, gen::black_man,
                                             gen::black_king};
        std::uint8_t p = kinds[rng() % 4];
        if ((p == gen::white_man && sq < 4) || (p == gen::black_man && sq >= 28)) p |= gen::king;
        b.put_piece(sq, p);
        ++placed;
    }
}

bool lists_match_slots(const board& b) {
    int pieces = 0;
    for (int s = 0; s < 32; ++s)
        pieces += b.at_square(s) != gen::empty;
    return b.lists_consistent() && pieces == b.count(0) + b.count(1);
}

TEST(GeneratorMoves, AgreeWithTheHostRulesOnRandomPositions) {
    std::mt19937 rng(13);
    board b;
    int with_captures = 0;
    for (int i = 0; i < 8000; ++i) {
        random_board(rng, 10, b);
        const TBoard host = bridge::to_host(b);
        SCOPED_TRACE(b.print_board());
        bool host_captures = false;
        ASSERT_EQ(white_results(b), host_results(host, 0, &host_captures));
        ASSERT_EQ(!moves_of(b, true).empty(), host_captures);
        ASSERT_EQ(b.has_capture(0), host_captures);
        with_captures += host_captures;

        // Black's captures: detected directly, and generated as White's on the turned board.
        bool black_captures = false;
        const auto black_host = host_results(host, 1, &black_captures);
        ASSERT_EQ(b.has_capture(1), black_captures);
        auto& buf = b.buffer();
        b.gen_black_captures();
        ASSERT_EQ(!buf.empty(), black_captures);
        buf.clear();
        board turned = b;
        turned.flip_board();
        host_set black_gen;
        for (TBoard t : white_results(turned)) {
            FlipBoard(t, 32);
            black_gen.insert(t);
        }
        ASSERT_EQ(black_gen, black_host);
    }
    EXPECT_GT(with_captures, 800);
}

TEST(GeneratorMoves, MakeAndUnmakeRestoreEverything) {
    std::mt19937 rng(5);
    board b;
    for (int i = 0; i < 3000; ++i) {
        random_board(rng, 12, b);
        const board before = b;
        for (bool captures : {true, false})
            for (const auto& m : moves_of(b, captures)) {
                b.make_white_move(m);
                ASSERT_TRUE(lists_match_slots(b)) << b.print_board();
                int material = 0;
                for (int s = 0; s < 32; ++s) {
                    const auto p = b.at_square(s);
                    if (p != gen::empty)
                        material += ((p & gen::king) ? 300 : 100) * ((p & gen::white) ? 1 : -1);
                }
                ASSERT_EQ(b.material(), material);
                ASSERT_NE(b.key(), before.key());
                b.unmake_white_move(m);
                ASSERT_TRUE(b.same_position(before));
                ASSERT_EQ(b.material(), before.material());
                ASSERT_EQ(b.key(), before.key());
                ASSERT_TRUE(lists_match_slots(b));
            }
    }
}

// Every backward move of Black from P gives a position Q in which Black has a quiet move to P
// (when Black has no capture there), and every quiet move of Black is found backwards.
TEST(GeneratorMoves, BlackRetroMovesInvertBlackQuietMoves) {
    std::mt19937 rng(21);
    board b;
    for (int i = 0; i < 2000; ++i) {
        random_board(rng, 8, b);
        const TBoard p_host = bridge::to_host(b);
        auto& buf = b.buffer();
        b.gen_black_retro_moves();
        const std::vector<gen_move> retro(buf.begin(), buf.end());
        buf.clear();
        for (const auto& m : retro) {
            ASSERT_FALSE(m.promotion);
            ASSERT_EQ(m.captures, 0);
            b.make_black_move(m);
            const TBoard q_host = bridge::to_host(b);
            bool q_captures = false;
            const auto from_q = host_results(q_host, 1, &q_captures);
            if (!q_captures) {
                ASSERT_TRUE(from_q.count(p_host)) << b.print_board();
            }
            b.unmake_black_move(m);
        }
        // Forward: each quiet non-promoting Black move of this board is undone by a retro move.
        bool captures = false;
        for (const TBoard& next : host_results(p_host, 1, &captures)) {
            if (captures) break;
            board n;
            bridge::from_host(next, n);
            if (n.kings(1) != b.kings(1)) continue; // a promotion: no backward move undoes it
            auto& nb = n.buffer();
            n.gen_black_retro_moves();
            bool found = false;
            for (const auto& m : nb) {
                n.make_black_move(m);
                found = found || bridge::to_host(n) == p_host;
                n.unmake_black_move(m);
            }
            ASSERT_TRUE(found) << n.print_board();
        }
    }
}

TEST(GeneratorMoves, EdgeCases) {
    board b;
    // A man one step from the last row: one move, crowned.
    b.put_piece(4, gen::white_man);
    auto m = moves_of(b, false);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(gen::square_of(m[0].to), 0);
    EXPECT_TRUE(m[0].promotion);

    // Black men step back only; a king on its last row keeps its king moves only.
    b.clear_board();
    b.put_piece(13, gen::black_man);  // c5
    b.put_piece(30, gen::black_king); // e1
    auto& buf = b.buffer();
    b.gen_black_retro_moves();
    std::set<std::pair<int, int>> retro;
    for (const auto& r : buf)
        retro.insert({gen::square_of(r.from), gen::square_of(r.to)});
    buf.clear();
    EXPECT_TRUE(retro.count({13, 8}) && retro.count({13, 9}));
    EXPECT_FALSE(retro.count({13, 16}) || retro.count({13, 17}));
    for (const auto& [from, to] : retro)
        if (from == 13) {
            EXPECT_LT(to, 13);
        }

    // A man crowned during a capture goes on as a flying king: one move per landing square,
    // each crowned and taking both pieces.
    b.clear_board();
    b.put_piece(10, gen::white_man); // f6
    b.put_piece(6, gen::black_man);  // e7
    b.put_piece(5, gen::black_man);  // c7
    m = moves_of(b, true);
    ASSERT_EQ(m.size(), 2u);
    std::set<int> landings;
    for (const auto& c : m) {
        EXPECT_TRUE(c.promotion);
        ASSERT_EQ(c.captures, 2);
        EXPECT_EQ(std::set<int>({gen::square_of(c.cap_slot[0]), gen::square_of(c.cap_slot[1])}),
                  std::set<int>({5, 6}));
        landings.insert(gen::square_of(c.to));
    }
    EXPECT_EQ(landings, std::set<int>({8, 12})); // b6 and a5
}

TEST(GeneratorBoard, FlipTwiceRestoresThePosition) {
    std::mt19937 rng(3);
    board b;
    for (int i = 0; i < 1000; ++i) {
        random_board(rng, 12, b);
        const board before = b;
        b.flip_board();
        ASSERT_TRUE(lists_match_slots(b));
        ASSERT_EQ(b.material(), -before.material());
        for (int s = 0; s < 32; ++s) {
            const auto p = before.at_square(s), q = b.at_square(31 - s);
            ASSERT_EQ(p == gen::empty, q == gen::empty);
            if (p != gen::empty) {
                ASSERT_EQ(q, (p & gen::king) | ((p & gen::white) ? gen::black : gen::white));
            }
        }
        b.flip_board();
        ASSERT_TRUE(b.same_position(before));
        ASSERT_EQ(b.count(0), before.count(0));
        ASSERT_EQ(b.count(1), before.count(1));
        ASSERT_EQ(b.material(), before.material());
    }
}

TEST(GeneratorBoard, DiagramShowsPiecesWithWhiteAtTheBottom) {
    board b;
    b.put_piece(0, gen::black_king);  // b8
    b.put_piece(4, gen::black_man);   // a7
    b.put_piece(31, gen::white_king); // g1
    b.put_piece(27, gen::white_man);  // h2
    const std::string expected = "\t\t  B   .   .   . \n"
                                 "\t\tb   .   .   .   \n"
                                 "\t\t  .   .   .   . \n"
                                 "\t\t.   .   .   .   \n"
                                 "\t\t  .   .   .   . \n"
                                 "\t\t.   .   .   .   \n"
                                 "\t\t  .   .   .   w \n"
                                 "\t\t.   .   .   W   \n";
    EXPECT_EQ(b.print_board(), expected);
    EXPECT_EQ(bridge::to_host(b)[bridge::host_square(28)], 0);
    EXPECT_EQ(bridge::host_square(28), 1); // a1
}

} // namespace
