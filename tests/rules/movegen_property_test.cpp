// Properties every listed move must have, over random set-up positions of every variant.
#include "movegen_test_util.h"

#include "rules/movegen.h"
#include "rules/perft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <thread>

using namespace movegen_test;

namespace {
TBoard RandomBoard(std::mt19937& rng, int squares) {
    TBoard b;
    const int pieces = 4 + static_cast<int>(rng() % 14);
    for (int k = 0; k < pieces; ++k) {
        const int s = 1 + static_cast<int>(rng() % squares);
        const int kind = static_cast<int>(rng() % 8);
        const int side = static_cast<int>(rng() % 2);
        const int value = kind < 2 ? 2 : 1; // a king in four
        b[s] = static_cast<std::int8_t>(side == 0 ? value : -value);
    }
    return b;
}

// The square seen from the other side.
int Mirror(int s, int squares) {
    return squares + 1 - s;
}

std::vector<std::string> MirroredTexts(const TMoveList& list, int squares) {
    std::vector<std::string> out;
    for (TMove m : list) {
        m.from = static_cast<std::uint8_t>(Mirror(m.from, squares));
        const int used = m.captures ? 2 * m.captures : 1;
        for (int i = 0; i < used; ++i)
            m.squares[i] = static_cast<std::uint8_t>(Mirror(m.squares[i], squares));
        out.push_back(Text(m));
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Checks one listed move against the position: the mover is own, every taken piece is the
// opponent's and taken once, the record's unused bytes are zero, and making it removes exactly
// the taken pieces.
void CheckMove(const TMove& m, const TBoard& b, int side, TGameType v) {
    const int squares = SquaresOf(v);
    ASSERT_TRUE(m.from >= 1 && m.from <= squares);
    ASSERT_NE(b[m.from], 0);
    ASSERT_EQ(PieceSide(b[m.from]), side);
    ASSERT_LE(m.captures, MaxCapturePairs);
    EXPECT_EQ(m.annotation, 0);
    EXPECT_EQ(m.parent, 0);
    EXPECT_EQ(m.mainLine, 0);
    EXPECT_EQ(m.free, 0);
    const int used = m.captures ? 2 * m.captures : 1;
    for (int i = used; i < 2 * MaxCapturePairs; ++i)
        ASSERT_EQ(m.squares[i], 0) << "byte " << i << " of " << Text(m);
    std::set<int> taken;
    for (int k = 1; k <= m.captures; ++k) {
        ASSERT_NE(b[m.Captured(k)], 0);
        ASSERT_NE(PieceSide(b[m.Captured(k)]), side);
        ASSERT_TRUE(taken.insert(m.Captured(k)).second) << Text(m) << " takes a piece twice";
    }
    TBoard after = b;
    MakeMove(m, after, v);
    TPieceCount before, now;
    CountPieces(b, before);
    CountPieces(after, now);
    EXPECT_EQ(side == 0 ? now.pieces1 : now.pieces0,
              (side == 0 ? before.pieces1 : before.pieces0) - m.captures);
    EXPECT_EQ(side == 0 ? now.pieces0 : now.pieces1, side == 0 ? before.pieces0 : before.pieces1);
    ASSERT_NE(after[m.To()], 0);
    EXPECT_EQ(PieceSide(after[m.To()]), side);
}
} // namespace

TEST(MovegenProperties, RandomPositionsOfEveryVariant) {
    std::mt19937 rng(20261210);
    TMoveList list, mirrored; // reused, as the search does
    for (TGameType v = gtRussian; v <= gtCzech; ++v) {
        const int squares = SquaresOf(v);
        for (int i = 0; i < 1500; ++i) {
            const TBoard b = RandomBoard(rng, squares);
            for (int side = 0; side < 2; ++side) {
                SCOPED_TRACE(testing::Message()
                             << "variant " << int(v) << " board " << i << " side " << side);
                FindMoves(b, side, list, v);
                bool anyCapture = false;
                for (const TMove& m : list) {
                    CheckMove(m, b, side, v);
                    anyCapture = anyCapture || m.captures > 0;
                }
                // Captures are compulsory: a list never mixes them with plain moves.
                for (const TMove& m : list)
                    ASSERT_EQ(m.captures > 0, anyCapture) << Text(m);
                if (v == gtBrazilian || v == gtInternational || v == gtItalian) {
                    for (const TMove& m : list)
                        ASSERT_EQ(m.captures, list.front().captures);
                }

                // The same position seen from the other side gives the mirrored moves.
                TBoard flipped = b;
                FlipBoard(flipped, squares);
                FindMoves(flipped, 1 - side, mirrored, v);
                ASSERT_EQ(MirroredTexts(mirrored, squares), [&] {
                    auto t = Texts(list);
                    std::sort(t.begin(), t.end());
                    return t;
                }());

                // Removing duplicates keeps one move for each distinct position.
                std::set<std::array<std::int8_t, MaxSquares + 1>> all, kept;
                for (const TMove& m : list) {
                    TBoard a = b;
                    MakeMove(m, a, v);
                    all.insert(a.sq);
                }
                TMoveList unique = list;
                RemoveDuplicateMoves(unique, b, v);
                for (const TMove& m : unique) {
                    TBoard a = b;
                    MakeMove(m, a, v);
                    ASSERT_TRUE(kept.insert(a.sq).second) << "two moves to one position remain";
                }
                ASSERT_EQ(kept, all);
            }
        }
    }
}

// Start positions: side 0 steps from its front row, side 1 from its own.
TEST(MovegenProperties, StartPositions) {
    for (TGameType v = gtRussian; v <= gtCzech; ++v) {
        SCOPED_TRACE(int(v));
        const bool wide = v == gtInternational;
        for (int side = 0; side < 2; ++side) {
            TMoveList list;
            FindMoves(StartPositionOf(v), side, list, v);
            EXPECT_EQ(list.size(), wide ? 9u : 7u);
            // The front rows: 9-12 and 21-24, or 16-20 and 31-35.
            const int lo = side == 0 ? (wide ? 16 : 9) : (wide ? 31 : 21), rowLength = wide ? 5 : 4;
            for (const TMove& m : list) {
                EXPECT_EQ(m.captures, 0);
                EXPECT_GE(m.from, lo);
                EXPECT_LT(m.from, lo + rowLength);
            }
        }
    }
}

// A composed 10x10 position with more legal moves than a count byte holds.
TEST(MovegenProperties, ListsGrowPastAnyFixedSize) {
    const char* squares = ".....bbb......bb......bbb.W....bbbb......bbbb.....";
    TBoard b;
    for (int s = 1; s <= 50; ++s)
        b[s] = squares[s - 1] == 'b' ? sqMan1 : squares[s - 1] == 'W' ? sqKing0 : sqEmpty;
    TMoveList list;
    FindMoves(b, 0, list, gtInternational);
    ASSERT_GT(list.size(), 255u);
    for (const TMove& m : list) {
        CheckMove(m, b, 0, gtInternational);
        EXPECT_EQ(m.captures, list.front().captures);
    }
    for (std::size_t i = 0; i < list.size(); ++i)
        for (std::size_t j = i + 1; j < list.size(); ++j)
            ASSERT_FALSE(list[i].SameMove(list[j])) << Text(list[i]) << " listed twice";
}

// The engine thread and the user-interface thread generate at the same time.
TEST(MovegenProperties, ReentrantAcrossThreads) {
    std::uint64_t english = 0, international = 0;
    std::thread a([&] { english = Perft(StartPosition64, 0, 7, {gtEnglish, false}); });
    std::thread b([&] { international = Perft(StartPosition100, 0, 5, {gtInternational, true}); });
    a.join();
    b.join();
    EXPECT_EQ(english, 179740u);
    EXPECT_EQ(international, 27117u);
}
