// CHB move codes: the coordinate table, decoding, matching against legal moves, and whole random
// legal games coded by the test's own coordinate arithmetic, including captures that share origin
// and final square but take different pieces.

#include "gamedb/chb_import.h"
#include "gamedb/game_block.h"
#include "rules/movegen.h"
#include "tests/gamedb/chb_test_file.h"
#include "tests/support/random_games.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using namespace chb_test;
using test_support::RandomGame;
using test_support::TRandom;
using test_support::TRandomGameOptions;

constexpr TGameType Variants8x8[] = {gtRussian, gtEnglish, gtBrazilian, gtPool, gtItalian, gtCzech};

// A position with a few men and kings of each side, men off their own last rows: flying kings
// make captures that share origin and final square far more often than games do.
TBoard KingsPosition(TRandom& random, int pieces) {
    TBoard b = EmptyBoard;
    for (int placed = 0; placed < pieces;) {
        const int sq = random.Between(1, 32);
        const bool side0 = placed % 2 == 0;
        const bool king = random.Below(3) == 0;
        if (b[sq] != 0 || (!king && ((side0 && sq >= 29) || (!side0 && sq <= 4)))) continue;
        b[sq] = static_cast<std::int8_t>((king ? 2 : 1) * (side0 ? 1 : -1));
        ++placed;
    }
    return b;
}

TEST(ChbMoveCodes, SquaresHaveTheirRowAndColumn) {
    struct Row {
        int square, row, col;
    } rows[] = {{1, 1, 1},  {4, 1, 7},  {5, 2, 2},  {8, 2, 8}, {9, 3, 1},
                {14, 4, 4}, {19, 5, 5}, {29, 8, 2}, {32, 8, 8}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.square);
        EXPECT_EQ(RowOf(r.square), r.row);
        EXPECT_EQ(ColOf(r.square), r.col);
        EXPECT_EQ(ChbSquareAt(r.row, r.col), r.square);
    }
    for (int sq = 1; sq <= 32; ++sq)
        EXPECT_EQ(ChbSquareAt(RowOf(sq), ColOf(sq)), sq);
}

TEST(ChbMoveCodes, DecodeSplitsTheBits) {
    EXPECT_EQ(DecodeChbMove(0x049B), (TChbMoveCoords{3, 3, 4, 4})); // c3-d4
    EXPECT_EQ(DecodeChbMove(0x0000), (TChbMoveCoords{1, 1, 1, 1}));
    EXPECT_EQ(DecodeChbMove(0x0FFF), (TChbMoveCoords{8, 8, 8, 8}));
    // The origin row has four bits: rows 9..16 and the three unused top bits.
    EXPECT_EQ(DecodeChbMove(0x1E00), (TChbMoveCoords{16, 1, 1, 1}));
    EXPECT_EQ(DecodeChbMove(0xE49B), (TChbMoveCoords{3, 3, 4, 4}));
}

TEST(ChbMoveCodes, CoordinatesOffTheBoardOrOnLightSquaresMatchNothing) {
    TMoveList list;
    FindMoves(StartPosition64, 0, list, gtRussian);
    EXPECT_EQ(FindMoveByCoords(list, 3, 3, 4, 4), 3); // c3-d4: squares 9-12 list b4, then d4
    EXPECT_EQ(FindMoveByCoords(list, 3, 3, 4, 2), 2);
    for (const TChbMoveCoords c :
         {TChbMoveCoords{16, 3, 4, 4}, TChbMoveCoords{9, 1, 4, 4}, TChbMoveCoords{3, 3, 16, 4},
          TChbMoveCoords{3, 2, 4, 4}, TChbMoveCoords{0, 3, 4, 4}, TChbMoveCoords{3, 3, 4, 9}}) {
        EXPECT_EQ(ChbSquareAt(c.fromRow, c.fromCol) * ChbSquareAt(c.toRow, c.toCol), 0);
        EXPECT_EQ(FindMoveByCoords(list, c.fromRow, c.fromCol, c.toRow, c.toCol), 0);
    }
}

// The positions of random legal games (set-up starts and variations included).
TEST(ChbMoveCodes, EveryLegalMoveOfRandomPositionsCodesBackToItsSquares) {
    TRandom random(7);
    TMoveList list;
    int moves = 0;
    for (TGameType v : Variants8x8) {
        for (int i = 0; i < 20; ++i) {
            TRandomGameOptions options;
            options.variant = v;
            options.moves = 60;
            const auto game = RandomGame(random, options);
            for (int node = 0; node <= game.game->header.nodeCount; ++node) {
                FindMoves(game.boards[node], game.sides[node], list, v);
                for (const TMove& m : list) {
                    const TChbMoveCoords c = DecodeChbMove(CodeOf(m));
                    const int n = FindMoveByCoords(list, c.fromRow, c.fromCol, c.toRow, c.toCol);
                    ASSERT_GE(n, 1);
                    EXPECT_EQ(list[n - 1].from, m.from);
                    EXPECT_EQ(list[n - 1].To(), m.To());
                    ++moves;
                }
            }
        }
    }
    EXPECT_GT(moves, 5000);
}

TEST(ChbTitles, CodesMapToTheTitleList) {
    const int expected[] = {0, 9, 8, 7, 6, 5, 4, 2, 0, 0};
    for (int code = 0; code < 10; ++code)
        EXPECT_EQ(ChbTitleIndex(code), expected[code]) << code;
    EXPECT_EQ(ChbTitleIndex(255), 0);
}

// A record decoded and converted.
std::unique_ptr<TGame> Convert(const TGameRecord& gr, TGameType v, TChbFaults& faults) {
    const Record bytes = MakeRecord(gr);
    TChbRecord r;
    DecodeChbRecord(bytes, r);
    auto g = std::make_unique<TGame>();
    EXPECT_TRUE(ConvertChbGame(r, v, *g, faults));
    return g;
}

// The record of `moves` from `start`.
TGameRecord RecordOf(const TBoard& start, int side, const std::vector<TMove>& moves) {
    TGameRecord gr;
    gr.start = start;
    gr.startSide = side;
    for (const TMove& m : moves)
        gr.codes.push_back(CodeOf(m));
    return gr;
}

// Up to `plies` random legal moves from `b`.
std::vector<TMove> RandomPlies(TRandom& random, TBoard b, int side, int plies, TGameType v) {
    std::vector<TMove> moves;
    TMoveList list;
    for (; plies > 0; --plies, side ^= 1) {
        FindMoves(b, side, list, v);
        if (list.empty()) break;
        moves.push_back(list[random.Below(static_cast<int>(list.size()))]);
        MakeMove(moves.back(), b, v);
    }
    return moves;
}

// Legal moves of `b` that start and end where `m` does but leave another position.
int OtherRoutes(const TBoard& b, int side, const TMove& m, TGameType v) {
    TMoveList list;
    FindMoves(b, side, list, v);
    TBoard after = b;
    MakeMove(m, after, v);
    int n = 0;
    for (const TMove& o : list) {
        TBoard a = b;
        MakeMove(o, a, v);
        if (o.from == m.from && o.To() == m.To() && !(a == after)) ++n;
    }
    return n;
}

// Random legal games (standard and set-up starts, up to 200 plies): every ply comes back (at most
// 170), each node is a legal move with the ply's code, and the store accepts the game. Where two
// routes share a code, either may come back as long as the whole record stays legal under it.
TEST(ChbRandomGames, EveryPlyOfALegalGameComesBack) {
    TRandom random(2024);
    for (TGameType v : Variants8x8) {
        for (int i = 0; i < 60; ++i) {
            SCOPED_TRACE(testing::Message() << "variant " << int(v) << " game " << i);
            TRandomGameOptions options;
            options.variant = v;
            options.moves = random.Between(1, 200);
            options.variationPercent = 0;
            options.header = options.comments = options.annotations = false;
            options.setUpPercent = 50;
            const auto game = RandomGame(random, options);
            const TGameRecord gr = RecordOfMainLine(*game.game);
            if (gr.codes.empty()) continue;

            TChbFaults faults;
            const auto g = Convert(gr, v, faults);
            const int expected = std::min<int>(static_cast<int>(gr.codes.size()), ChbMaxPlies);
            ASSERT_EQ(g->header.nodeCount, expected) << faults.Text();
            EXPECT_EQ(faults.unmatchedPly, 0);
            EXPECT_EQ(g->header.flags & 128, 0);
            EXPECT_EQ(g->startKey, game.game->startKey);
            EXPECT_TRUE(CheckGameForStore(*g));
            TBoard b = gr.start;
            int s = gr.startSide;
            TMoveList list;
            for (int k = 0; k < expected; ++k) {
                const TMove& node = g->nodes[k + 1];
                ASSERT_EQ(CodeOf(node), gr.codes[k]) << "ply " << k + 1;
                FindMoves(b, s, list, v);
                ASSERT_TRUE(
                    std::any_of(list.begin(), list.end(), [&](const TMove& m) { return m.SameMove(node); }));
                MakeMove(node, b, v);
                s ^= 1;
            }
        }
    }
}

// Plies matched by taking the first listed move of each code, as a plain reading of the codes would.
int FirstMatchPlies(TBoard b, int side, const std::vector<TMove>& moves, TGameType v) {
    TMoveList list;
    for (std::size_t k = 0; k < moves.size(); ++k) {
        FindMoves(b, side, list, v);
        const auto it = std::find_if(list.begin(), list.end(),
                                     [&](const TMove& m) { return CodeOf(m) == CodeOf(moves[k]); });
        if (it == list.end()) return static_cast<int>(k);
        MakeMove(*it, b, v);
        side ^= 1;
    }
    return static_cast<int>(moves.size());
}

// Games whose first move is a capture that shares its code with an earlier-listed route taking other
// pieces: the later codes choose the route, where the first match would lose the game's tail.
TEST(ChbAmbiguity, TheRecordsLaterCodesChooseTheRoute) {
    TRandom random(99);
    int found = 0, firstMatchFails = 0;
    for (int tries = 0; tries < 200000 && found < 12; ++tries) {
        const TBoard start = KingsPosition(random, random.Between(6, 13));
        const int side = random.Below(2);
        TMoveList list;
        FindMoves(start, side, list, gtRussian);
        // The last listed route of an ambiguous code, so "the first match" would be wrong.
        for (std::size_t i = list.size(); i-- > 0;) {
            if (OtherRoutes(start, side, list[i], gtRussian) == 0) continue;
            bool firstOfItsCode = true;
            for (std::size_t j = 0; j < i; ++j)
                if (list[j].from == list[i].from && list[j].To() == list[i].To()) firstOfItsCode = false;
            if (firstOfItsCode) continue;
            TBoard after = start;
            MakeMove(list[i], after, gtRussian);
            std::vector<TMove> moves{list[i]};
            const std::vector<TMove> rest = RandomPlies(random, after, side ^ 1, 12, gtRussian);
            moves.insert(moves.end(), rest.begin(), rest.end());
            if (FirstMatchPlies(start, side, moves, gtRussian) < static_cast<int>(moves.size()))
                ++firstMatchFails;
            TChbFaults faults;
            const auto g = Convert(RecordOf(start, side, moves), gtRussian, faults);
            ASSERT_EQ(g->header.nodeCount, moves.size()) << faults.Text();
            // Whichever route was taken, the rest of the record is legal under it.
            TBoard b = start;
            int s = side;
            for (std::size_t k = 0; k < moves.size(); ++k) {
                FindMoves(b, s, list, gtRussian);
                ASSERT_TRUE(std::any_of(list.begin(), list.end(),
                                        [&](const TMove& m) { return m.SameMove(g->nodes[k + 1]); }));
                MakeMove(g->nodes[k + 1], b, gtRussian);
                s ^= 1;
            }
            ++found;
            break;
        }
    }
    EXPECT_GE(found, 12);
    EXPECT_GT(firstMatchFails, 0);
}

TEST(ChbConvert, RecordFieldsAndFaults) {
    TGameRecord gr;
    gr.codes = {CodeOf(10, 14)};
    Record bytes = MakeRecord(gr);
    TChbRecord r;
    auto g = std::make_unique<TGame>();
    TChbFaults f;

    // A key with a piece on square 33 (byte 10's third digit) is outside the 8x8 board.
    bytes[169] = 56 + 25; // squares 31, 32 as in the start, square 33 a man of side 0
    DecodeChbRecord(bytes, r);
    ASSERT_TRUE(ConvertChbGame(r, gtRussian, *g, f));
    EXPECT_TRUE(f.badKey);
    EXPECT_EQ(g->header.nodeCount, 0);
    EXPECT_EQ(g->startKey, StandardKey64());
    EXPECT_NE(g->header.flags & 128, 0);
    EXPECT_TRUE(CheckGameForStore(*g));

    // Lengths above the field are cut to it; the tournament's field is 50.
    bytes = MakeRecord(gr);
    bytes[21] = 21;
    bytes[98] = 51;
    DecodeChbRecord(bytes, r);
    EXPECT_EQ(r.name0Second.size(), 20u);
    EXPECT_EQ(r.tournament.size(), 50u);
    EXPECT_TRUE(r.lengthCut);
    bytes[21] = 20;
    bytes[98] = 50;
    DecodeChbRecord(bytes, r);
    EXPECT_FALSE(r.lengthCut);

    // Variant 6 is refused: the codes are 8x8 coordinates.
    EXPECT_FALSE(ConvertChbGame(r, gtInternational, *g, f));
    EXPECT_FALSE(ChbImportRefusal(gtInternational).empty());
    for (TGameType v : {gtRussian, gtEnglish, gtBrazilian, gtPool, gtItalian, gtCzech})
        EXPECT_TRUE(ChbImportRefusal(v).empty());
}

TEST(ChbConvert, SecondNamePartAndDetectionOnTheJoinedName) {
    TGameRecord gr;
    gr.white = "\x88\xA2\xA0\xAD\xAE\xA2"; // "Иванов" in CP866
    gr.black = "Plain";
    Record bytes = MakeRecord(gr);
    chb_test::PutText(bytes, 21, "A.");
    TChbRecord r;
    DecodeChbRecord(bytes, r);
    auto g = std::make_unique<TGame>();
    TChbFaults f;
    ASSERT_TRUE(ConvertChbGame(r, gtRussian, *g, f));
    EXPECT_EQ(g->white, "\xC8\xE2\xE0\xED\xEE\xE2, A.");
    EXPECT_EQ(g->black, "Plain");
    EXPECT_FALSE(f.Any());
}

} // namespace
