// Position numbering: the fixed values, the subset rank, the colour-reversed index, decoding.

#include "edbforge/tables.h"
#include "host_bridge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using idx::material;

class IndexTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { idx::build_rank_table(); }
};

// Every class of 2 to 6 pieces with a piece on each side.
std::vector<material> classes_up_to(int max_pieces) {
    std::vector<material> out;
    for (int n = 2; n <= max_pieces; ++n)
        for (int w = 1; w < n; ++w)
            for (int wm = 0; wm <= w; ++wm)
                for (int bm = 0; bm <= n - w; ++bm)
                    out.push_back({w - wm, n - w - bm, wm, bm});
    return out;
}

TEST_F(IndexTest, FixedValues) {
    struct piece {
        int sq;
        std::uint8_t kind;
    };
    struct row {
        const char* what;
        material cls;
        std::uint64_t size;
        std::vector<piece> pieces;
        std::uint32_t index;
    };
    const row rows[] = {
        {"man each, lowest squares", {0, 0, 1, 1}, 784, {{4, gen::white_man}, {0, gen::black_man}}, 0},
        {"man each, highest squares", {0, 0, 1, 1}, 784, {{31, gen::white_man}, {27, gen::black_man}}, 783},
        {"king each, 0 and 1", {1, 1, 0, 0}, 992, {{0, gen::white_king}, {1, gen::black_king}}, 0},
        {"king each, 0 and 31", {1, 1, 0, 0}, 992, {{0, gen::white_king}, {31, gen::black_king}}, 30},
        {"king each, 1 and 0", {1, 1, 0, 0}, 992, {{1, gen::white_king}, {0, gen::black_king}}, 31},
        {"king against man, man below the king",
         {1, 0, 0, 1},
         28 * 31,
         {{5, gen::white_king}, {3, gen::black_man}},
         3 * 31 + 4},
        {"two kings and a man a side",
         {2, 2, 1, 1},
         128913120,
         {{0, gen::white_king},
          {1, gen::white_king},
          {2, gen::black_king},
          {3, gen::black_king},
          {4, gen::white_man},
          {5, gen::black_man}},
         static_cast<std::uint32_t>(5ull * idx::binomial(30, 2) * idx::binomial(28, 2))},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(idx::class_size(r.cls), r.size);
        gen::board b;
        for (const auto& p : r.pieces)
            b.put_piece(p.sq, p.kind);
        EXPECT_EQ(idx::board_material(b), r.cls);
        EXPECT_EQ(idx::position_index(b), r.index);
    }
    EXPECT_EQ(edb::table_bytes({2, 2, 1, 1}), 32228280u);
}

TEST_F(IndexTest, SubsetRankIsLexicographicOrder) {
    const int two[][2] = {{0, 1}, {0, 2}, {26, 27}};
    EXPECT_EQ(idx::rank_squares(2, two[0], 28), 0u);
    EXPECT_EQ(idx::rank_squares(2, two[1], 28), 1u);
    EXPECT_EQ(idx::rank_squares(2, two[2], 28), 377u);
    // Against plain enumeration of every subset of small sets, in lexicographic order.
    for (int n = 1; n <= 12; ++n)
        for (int k = 0; k <= std::min(n, 6); ++k) {
            std::vector<int> p(k);
            for (int i = 0; i < k; ++i)
                p[i] = i;
            std::uint32_t expected = 0;
            for (;;) {
                ASSERT_EQ(idx::rank_squares(k, p.data(), n), expected) << "n " << n << " k " << k;
                ++expected;
                int i = k - 1;
                while (i >= 0 && p[i] == n - k + i)
                    --i;
                if (i < 0) break;
                ++p[i];
                for (int j = i + 1; j < k; ++j)
                    p[j] = p[j - 1] + 1;
            }
            ASSERT_EQ(expected, idx::binomial(n, k));
        }
}

TEST_F(IndexTest, MirroredIndexIsTheIndexOfTheTurnedBoard) {
    std::mt19937 rng(99);
    gen::board b;
    for (const material& m : classes_up_to(6))
        for (int i = 0; i < 200; ++i) {
            bridge::random_position(m, rng, b);
            const std::uint32_t mirrored = idx::mirrored_position_index(b);
            const std::uint64_t key = b.key();
            gen::board turned = b;
            turned.flip_board();
            ASSERT_EQ(idx::board_material(turned), m.mirror());
            ASSERT_EQ(mirrored, idx::position_index(turned)) << b.print_board();
            ASSERT_LT(mirrored, idx::class_size(m.mirror()));
            ASSERT_EQ(b.key(), key); // the board is not changed
        }
}

// Decoding is the inverse of the index: exhaustively for the small classes, at random for all.
TEST_F(IndexTest, DecodeInvertsTheIndex) {
    gen::board b;
    for (const material& m : classes_up_to(3)) {
        const std::uint64_t size = idx::class_size(m);
        std::uint64_t valid = 0;
        for (std::uint32_t i = 0; i < size; ++i) {
            if (!idx::decode_position(m, i, b)) continue;
            ++valid;
            ASSERT_EQ(idx::board_material(b), m);
            ASSERT_EQ(idx::position_index(b), i);
        }
        // The entries that stand for no placement are those with a white and a black man on one square.
        std::uint64_t shared = 0;
        if (m.wm == 1 && m.bm == 1) shared = 24 * idx::binomial(30, m.wk) * idx::binomial(30 - m.wk, m.bk);
        if (m.wm + m.bm == 3 && m.wm > 0 && m.bm > 0)
            shared = 24 * 27; // the lone man on one of the 24 common squares, the other man anywhere
        EXPECT_EQ(valid, size - shared) << edb::file_name(m);
    }
    std::mt19937 rng(7);
    for (const material& m : classes_up_to(6))
        for (int n = 0; n < 2000; ++n) {
            const auto i = static_cast<std::uint32_t>(rng() % idx::class_size(m));
            if (idx::decode_position(m, i, b)) {
                ASSERT_EQ(idx::position_index(b), i) << edb::file_name(m);
            }
        }
}

} // namespace
