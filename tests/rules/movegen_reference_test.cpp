// The generator against the frozen copy of the one it replaced: over a million random positions of
// each variant (scattered pieces, flying kings, long capture chains, positions from random play,
// set-ups with men on any row) both sides' lists must be equal in order and byte for byte, and so
// must the positions each move leads to, the lists without duplicates, the king-capture weights and
// the lists cut at a pair limit. Stored tree nodes may be damaged: random records must make the
// same (or no) change to a board.
//
// VQ_REFERENCE_POSITIONS sets the number of positions per variant (the sanitizer trees take fewer
// by default).
#include "movegen_test_util.h"
#include "reference_movegen.h"

#include "rules/movegen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

#ifdef VQ_SANITIZED
constexpr long DefaultPositions = 150000;
#else
constexpr long DefaultPositions = 1000000;
#endif

long PositionsPerVariant() {
    if (const char* env = std::getenv("VQ_REFERENCE_POSITIONS")) {
        const long n = std::strtol(env, nullptr, 10);
        if (n > 0) return n;
    }
    return DefaultPositions;
}

class TPositionSource {
  public:
    TPositionSource(TGameType v, unsigned seed) : m_v(v), m_squares(SquaresOf(v)), m_rng(seed) {}

    // One position of a kind chosen in turn.
    TBoard Next(long i) {
        switch (i % 4) {
        case 0:
            return Scatter();
        case 1:
            return CaptureField();
        case 2:
            return Played();
        default:
            return EdgeSetUp();
        }
    }

  private:
    int Below(int n) { return static_cast<int>(m_rng() % static_cast<unsigned>(n)); }
    int Square() { return 1 + Below(m_squares); }
    std::int8_t Piece(int side, int kingPercent) {
        const std::int8_t v = Below(100) < kingPercent ? sqKing0 : sqMan0;
        return static_cast<std::int8_t>(side == 0 ? v : -v);
    }

    // Any number of pieces anywhere, with any share of kings.
    TBoard Scatter() {
        TBoard b;
        const int pieces = 1 + Below(m_squares * 3 / 4);
        const int kings = Below(101);
        for (int k = 0; k < pieces; ++k)
            b[Square()] = Piece(Below(2), kings);
        return b;
    }

    // A few attackers, mostly kings, among many scattered defenders: long chains, many landing
    // squares, and sequences that meet again on one square.
    TBoard CaptureField() {
        TBoard b;
        const int attacker = Below(2);
        const int defenders = m_squares / 5 + Below(m_squares / 3);
        for (int k = 0; k < defenders; ++k)
            b[Square()] = Piece(1 - attacker, 15);
        const int attackers = 1 + Below(3);
        for (int k = 0; k < attackers; ++k)
            b[Square()] = Piece(attacker, 60);
        return b;
    }

    // Random play from the start position, with the reference generator.
    TBoard Played() {
        TBoard b = StartPositionOf(m_v);
        int side = 0;
        const int plies = Below(90);
        for (int p = 0; p < plies; ++p) {
            reference::FindMoves(b, side, m_list, m_v);
            if (m_list.empty()) break;
            reference::MakeMove(m_list[static_cast<std::size_t>(Below(static_cast<int>(m_list.size())))], b,
                                m_v);
            side = 1 - side;
        }
        return b;
    }

    // Set-ups a user may compose: men on the rows next to and on both far rows, kings in corners.
    TBoard EdgeSetUp() {
        TBoard b;
        const int perRow = m_squares == 50 ? 5 : 4;
        const int pieces = 2 + Below(10);
        for (int k = 0; k < pieces; ++k) {
            const int row = Below(4);
            const int rowStart = row < 2 ? row * perRow : m_squares - (4 - row) * perRow;
            b[1 + rowStart + Below(perRow)] = Piece(Below(2), 25);
        }
        for (int k = Below(6); k > 0; --k)
            b[Square()] = Piece(Below(2), 30);
        return b;
    }

    TGameType m_v;
    int m_squares;
    std::mt19937 m_rng;
    reference::TList m_list;
};

std::string Describe(const TBoard& b, int side, TGameType v) {
    std::string s = "variant " + std::to_string(v) + " side " + std::to_string(side) + " squares ";
    for (int n = 1; n <= SquaresOf(v); ++n)
        s += ".bBwW"[b[n] == 0 ? 0 : b[n] == -1 ? 1 : b[n] == -2 ? 2 : b[n] == 1 ? 3 : 4];
    return s;
}

// Same length and the same 48 bytes in every place.
bool SameBytes(const TMoveList& got, const reference::TList& want) {
    if (got.size() != want.size()) return false;
    return want.empty() || std::memcmp(got.data(), want.data(), want.size() * sizeof(TMove)) == 0;
}

template <class TList> std::string ListText(const TList& list) {
    std::string s;
    for (const TMove& m : list)
        s += movegen_test::Text(m) + " ";
    return s;
}

std::string VariantName(const testing::TestParamInfo<TGameType>& info) {
    static const char* const names[] = {"",     "Russian", "English",       "Brazilian",
                                        "Pool", "Italian", "International", "Czech"};
    return names[info.param];
}

class MovegenReference : public testing::TestWithParam<TGameType> {};

TEST_P(MovegenReference, ListsPositionsAndDuplicatesAsBefore) {
    const TGameType v = GetParam();
    const long positions = PositionsPerVariant();
    TPositionSource source(v, 7919u * v + 1);
    std::mt19937 rng(v);
    TMoveList got, gotCut;
    reference::TList want, wantCut;
    long captures = 0, longChains = 0, withKings = 0;
    for (long i = 0; i < positions; ++i) {
        const TBoard b = source.Next(i);
        for (int side = 0; side < 2; ++side) {
            FindMoves(b, side, got, v);
            reference::FindMoves(b, side, want, v);
            ASSERT_TRUE(SameBytes(got, want))
                << Describe(b, side, v) << "\n got: " << ListText(got) << "\nwant: " << ListText(want);
            if (!want.empty() && want[0].captures) {
                ++captures;
                longChains += want[0].captures >= 3;
            }
            for (const TMove& m : want) {
                withKings += IsKing(b[m.from]);
                ASSERT_EQ(KingCaptureWeight(m, b), reference::KingCaptureWeight(m, b))
                    << Describe(b, side, v);
                TBoard a = b, r = b;
                MakeMove(m, a, v);
                reference::MakeMove(m, r, v);
                ASSERT_EQ(a, r) << Describe(b, side, v) << " move " << movegen_test::Text(m);
            }
            RemoveDuplicateMoves(got, b, v);
            reference::RemoveDuplicateMoves(want, b, v);
            ASSERT_TRUE(SameBytes(got, want)) << "without duplicates, " << Describe(b, side, v);

            if (i % 8 == 0) {
                const int limit = 1 + static_cast<int>(rng() % MaxCapturePairs);
                FindMovesWithPairLimit(b, side, gotCut, v, limit);
                reference::FindMovesWithPairLimit(b, side, wantCut, v, limit);
                ASSERT_TRUE(SameBytes(gotCut, wantCut))
                    << "pair limit " << limit << ", " << Describe(b, side, v);
            }
        }
        // A damaged stored node: random bytes, sometimes with a plausible from square.
        if (i % 16 == 0) {
            TMove junk;
            junk.captures = static_cast<std::uint8_t>(rng() % 24);
            junk.from = static_cast<std::uint8_t>(rng() % 56);
            for (auto& sq : junk.squares)
                sq = static_cast<std::uint8_t>(rng() % (rng() % 4 ? SquaresOf(v) + 1 : 256));
            TBoard a = b, r = b;
            MakeMove(junk, a, v);
            reference::MakeMove(junk, r, v);
            ASSERT_EQ(a, r) << "damaged node, " << Describe(b, 0, v);
        }
    }
    // The sources reach what they are meant to reach.
    EXPECT_GT(captures, positions / 4);
    EXPECT_GT(longChains, positions / 500);
    EXPECT_GT(withKings, positions);
}

INSTANTIATE_TEST_SUITE_P(AllVariants, MovegenReference,
                         testing::Values(gtRussian, gtEnglish, gtBrazilian, gtPool, gtItalian,
                                         gtInternational, gtCzech),
                         VariantName);

// The reference's perft from the start positions: it is the old figure of the benchmarks, so it
// must count what the published tables say.
TEST(MovegenReference, ReferencePerftCountsAsPublished) {
    EXPECT_EQ(reference::Perft(StartPosition64, 0, 6, gtEnglish, false), 36768u);
    EXPECT_EQ(reference::Perft(StartPosition64, 0, 6, gtRussian, false), 37986u);
    EXPECT_EQ(reference::Perft(StartPosition64, 0, 6, gtBrazilian, false), 37628u);
    EXPECT_EQ(reference::Perft(StartPosition100, 0, 5, gtInternational, true), 27117u);
}

} // namespace
