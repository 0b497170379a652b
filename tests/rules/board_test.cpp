#include "rules/board.h"

#include <gtest/gtest.h>

#include <random>

TEST(PositionKey, StartPosition64HasTheKnownBytes) {
    TPositionKey key;
    PositionToKey(StartPosition64, key);
    const TPositionKey expected{93, 93, 93, 93, 62, 62, 37, 31, 31, 31, 56, 62, 62, 62, 62, 62, 62};
    EXPECT_EQ(key, expected);
}

TEST(PositionKey, RoundTripsRandomBoardsOfBothSizes) {
    std::mt19937 rng(7);
    for (int squares : {32, 50}) {
        for (int i = 0; i < 500; ++i) {
            SCOPED_TRACE(testing::Message() << squares << " squares, board " << i);
            TBoard b;
            for (int n = 1; n <= squares; ++n)
                b[n] = static_cast<std::int8_t>(static_cast<int>(rng() % 5) - 2);
            TPositionKey key;
            PositionToKey(b, key);
            for (auto byte : key)
                ASSERT_LE(byte, 124);
            if (squares == 32) {
                for (int k = 11; k < 17; ++k)
                    ASSERT_EQ(key[k], 62);
            }
            EXPECT_TRUE(IsValidKey(key, squares));
            TBoard back;
            ASSERT_TRUE(KeyToPosition(key, back));
            EXPECT_TRUE(SamePosition(b, back));
        }
    }
}

TEST(PositionKey, DamagedKeysAreRefused) {
    TPositionKey key;
    PositionToKey(StartPosition64, key);
    TPositionKey bad = key;
    bad[3] = 125;
    EXPECT_FALSE(IsValidKey(bad));
    TBoard b = StartPosition64;
    EXPECT_FALSE(KeyToPosition(bad, b));
    EXPECT_EQ(b, EmptyBoard) << "a refused key must not leave values outside -2..2";
    bad[3] = 255;
    EXPECT_FALSE(IsValidKey(bad));

    // Pieces beyond square 32 are fine on 10x10 but not for an 8x8 variant.
    TBoard wide = StartPosition100;
    PositionToKey(wide, key);
    EXPECT_TRUE(IsValidKey(key, 50));
    EXPECT_FALSE(IsValidKey(key, 32));
}

TEST(Board, FlipTwiceIsIdentityAndSwapsCorners) {
    std::mt19937 rng(11);
    for (int squares : {32, 50}) {
        TBoard b;
        for (int n = 1; n <= squares; ++n)
            b[n] = static_cast<std::int8_t>(static_cast<int>(rng() % 5) - 2);
        b[1] = sqMan0;
        b[squares] = sqKing1;
        TBoard f = b;
        FlipBoard(f, squares);
        EXPECT_EQ(f[1], sqKing0);
        EXPECT_EQ(f[squares], sqMan1);
        FlipBoard(f, squares);
        EXPECT_EQ(f, b);
    }
    TBoard start = StartPosition64;
    FlipBoard(start, 32);
    EXPECT_EQ(start, StartPosition64);
}

TEST(Board, CountPiecesOfStandardBoards) {
    struct Row {
        const TBoard* board;
        TPieceCount want;
    } rows[] = {
        {&StartPosition100, {20, 20, 0, 0, 20, 20, 40}},
        {&StartPosition64, {12, 12, 0, 0, 12, 12, 24}},
        {&EmptyBoard, {0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Row& r : rows) {
        TPieceCount c;
        CountPieces(*r.board, c);
        EXPECT_EQ(c.men0, r.want.men0);
        EXPECT_EQ(c.men1, r.want.men1);
        EXPECT_EQ(c.kings0, r.want.kings0);
        EXPECT_EQ(c.kings1, r.want.kings1);
        EXPECT_EQ(c.pieces0, r.want.pieces0);
        EXPECT_EQ(c.pieces1, r.want.pieces1);
        EXPECT_EQ(c.all, r.want.all);
    }
    TBoard mixed;
    mixed[3] = sqKing0;
    mixed[7] = sqMan1;
    mixed[9] = sqKing1;
    TPieceCount c;
    CountPieces(mixed, c);
    EXPECT_EQ(c.kings0, 1);
    EXPECT_EQ(c.men1, 1);
    EXPECT_EQ(c.kings1, 1);
    EXPECT_EQ(c.pieces1, 2);
    EXPECT_EQ(c.all, 3);
}

TEST(Board, SquareCoordinates) {
    struct Row {
        int square, geometry, x, y;
    } rows[] = {{1, 1, 0, 0}, {4, 1, 6, 0}, {5, 1, 1, 1}, {32, 1, 7, 7},
                {1, 2, 0, 0}, {6, 2, 1, 1}, {50, 2, 9, 9}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.square);
        const TSquareXY xy = SquareToXY(r.square, r.geometry);
        EXPECT_EQ(xy.x, r.x);
        EXPECT_EQ(xy.y, r.y);
        EXPECT_EQ(XYToSquare(r.x, r.y, r.geometry), r.square);
    }
    EXPECT_EQ(XYToSquare(1, 0, 1), 0) << "light square";
    EXPECT_EQ(XYToSquare(8, 0, 1), 0) << "off the board";
}

TEST(Board, PieceSideOfEmptyIsOne) {
    EXPECT_EQ(PieceSide(sqMan0), 0);
    EXPECT_EQ(PieceSide(sqKing0), 0);
    EXPECT_EQ(PieceSide(sqMan1), 1);
    EXPECT_EQ(PieceSide(sqEmpty), 1);
}
