// Index numbers of 2- to 5-piece positions worked out by hand: I by counting the smaller sets
// member by member, K - 1 as base-4 digits from the highest square down, then
// Base(n) + (K - 1) x C(32, n) + (I - 1), its block and place. The same cases are then probed in
// a database file laid out here from the file table (offsets, then sizes, then zlib blocks), so
// the whole path from board to score is checked against numbers that no code of ours produced.

#include "rules/edb_index.h"
#include "rules/endgame_db.h"
#include "rules/variant_state.h"

#include "edb_fixture.h"
#include "tests/support/positions.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using test_support::BoardOf;

struct TIndexCase {
    const char* name;
    std::vector<std::pair<int, int>> pieces; // square, value
    int flip;                                // 1: side 1 to move, the board is turned first
    std::uint32_t I, K, n;
    std::uint32_t number, block, place;
    std::uint8_t stored; // the value the file holds there
    int ply, score;
};

// Digits: king of side 1 = 0, man of side 1 = 1, man of side 0 = 2, king of side 0 = 3.
const TIndexCase Cases[] = {
    // {1,2}: I = 1. s1 = 2 king of side 1 (0), s2 = 1 man of side 0 (2): K - 1 = 2.
    // 2 x 496 + 0 = 992.
    {"man 1, king 2", {{1, 1}, {2, -2}}, 0, 1, 3, 2, 992, 0, 992, 255, 4, 0},
    // {5,20}: sets before it: first 1..4 give 31+30+29+28 = 118, then {5,6..19} 14: I = 133.
    // 20 man of side 0 (2), 5 king of side 0 (3): K - 1 = 11. 11 x 496 + 132 = 5,588.
    {"king 5, man 20", {{5, 2}, {20, 1}}, 0, 133, 12, 2, 5588, 5, 468, 7, 3, 1990},
    // Side 1 to move: side-1 man on 28 and side-0 king on 13 turn into a side-0 man on 5 and a
    // side-1 king on 20: K - 1 = 0 x 4 + 2 = 2, I = 133, 2 x 496 + 132 = 1,124.
    {"turned: man 28, king 13", {{28, -1}, {13, 2}}, 1, 133, 3, 2, 1124, 1, 100, 33, 5, 1962},
    // {5,10,20}: C(31,2)+C(30,2)+C(29,2)+C(28,2) = 1,684; {5,6..9,*} 26+25+24+23 = 98;
    // {5,10,11..19} 9: I = 1,792. Digits 3 (20), 1 (10), 2 (5): K - 1 = 54.
    // 7,936 + 54 x 4,960 + 1,791 = 277,567.
    {"three pieces", {{5, 1}, {10, -1}, {20, 2}}, 0, 1792, 55, 3, 277567, 271, 63, 8, 3, -1989},
    // {3,8,17,30}: C(31,3)+C(30,3) = 8,555; {3,4..7,*,*} 378+351+325+300 = 1,354;
    // {3,8,9..16,*} 23+...+16 = 156; {3,8,17,18..29} 12: I = 10,078.
    // Digits 1 (30), 0 (17), 3 (8), 2 (3): K - 1 = 64 + 12 + 2 = 78.
    // 325,376 + 78 x 35,960 + 10,077 = 3,140,333.
    {"four pieces", {{3, 1}, {8, 2}, {17, -2}, {30, -1}}, 0, 10078, 79, 4, 3140333, 3066, 749, 1, 0, 1999},
    // {1,2,3,4,32}: only {1,2,3,4,5..31} come before it: I = 28. Digits 0 (32), then 2 four
    // times: K - 1 = 128 + 32 + 8 + 2 = 170. 9,531,136 + 170 x 201,376 + 27 = 43,765,083.
    {"five pieces, low set",
     {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {32, -2}},
     0,
     28,
     171,
     5,
     43765083,
     42739,
     347,
     0,
     2,
     -1998},
    // {6,12,19,25,31}: first 1..5: C(31,4)+C(30,4)+C(29,4)+C(28,4)+C(27,4) = 120,646;
    // {6,7..11,...}: C(25,3)+C(24,3)+C(23,3)+C(22,3)+C(21,3) = 8,965;
    // {6,12,13..18,..}: C(19,2)+...+C(14,2) = 776; {6,12,19,20..24,*} 12+11+10+9+8 = 50;
    // {6,12,19,25,26..30} 5: I = 130,443. Digits 3 (31), 1 (25), 2 (19), 0 (12), 1 (6):
    // K - 1 = 768 + 64 + 32 + 0 + 1 = 865. 9,531,136 + 865 x 201,376 + 130,442 = 183,851,818.
    {"five pieces, spread",
     {{6, -1}, {12, -2}, {19, 1}, {25, -1}, {31, 2}},
     0,
     130443,
     866,
     5,
     183851818,
     179542,
     810,
     101,
     10,
     1889},
    // Kings of side 0 on 28..32: the last set (I = C(32,5) = 201,376) and the last digits (1,023):
    // the last value number, place 767 of the last block.
    {"last value number",
     {{28, 2}, {29, 2}, {30, 2}, {31, 2}, {32, 2}},
     0,
     201376,
     1024,
     5,
     215740159,
     210683,
     767,
     254,
     1,
     -1745},
};

void Put(std::vector<std::uint8_t>& f, std::size_t at, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace

TEST(EdbIndexCases, HandWorkedNumbers) {
    for (const TIndexCase& c : Cases) {
        SCOPED_TRACE(c.name);
        TBoard b = BoardOf(c.pieces);
        if (c.flip) FlipBoard(b, 32);
        const TEdbPositionIndex index = EdbPositionIndex(b);
        EXPECT_EQ(index.I, c.I);
        EXPECT_EQ(index.K, c.K);
        EXPECT_EQ(index.n, c.n);
        const auto number = EdbValueNumber(index);
        ASSERT_TRUE(number.has_value());
        EXPECT_EQ(*number, c.number);
        EXPECT_EQ(c.block * 1024 + c.place, c.number); // the hand figures agree with each other
    }
}

TEST(EdbIndexCases, ProbesOfAFileLaidOutByHand) {
    // Every block of the file inflates to 1,024 bytes of 128 except the case's value at its
    // place; blocks no case uses have size 0.
    std::map<std::uint32_t, std::vector<std::uint8_t>> plain;
    for (const TIndexCase& c : Cases) {
        auto& block = plain[c.block];
        if (block.empty()) block.assign(1024, 128);
        block[c.place] = c.stored;
    }
    std::vector<std::uint8_t> file(1264104);
    std::uint32_t next = 1264104;
    for (std::uint32_t b = 0; b < 210684; ++b) {
        Put(file, 4 * b, next, 4);
        const auto it = plain.find(b);
        if (it == plain.end()) continue;
        const std::vector<std::uint8_t> packed = Deflate(it->second);
        Put(file, 842736 + 2 * b, packed.size(), 2);
        file.insert(file.end(), packed.begin(), packed.end());
        next += static_cast<std::uint32_t>(packed.size());
    }
    TTempDir dir;
    const std::string path = dir.File("cases.edb");
    WriteBytes(path, file);

    const TGameType before = CurrentVariant.load();
    CurrentVariant = gtRussian;
    std::string error;
    ASSERT_TRUE(OpenEndgameDatabaseFile(path, &error)) << error;
    for (const TIndexCase& c : Cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadEdbBlock(c.number), std::optional<std::uint8_t>(c.stored));
        const auto score = ProbeEndgameDatabase(BoardOf(c.pieces), static_cast<int>(c.n), c.flip, c.ply);
        EXPECT_EQ(score, std::optional<std::int16_t>(static_cast<std::int16_t>(c.score)));
    }
    // A block stored with size 0 holds no values.
    EXPECT_FALSE(ReadEdbBlock(2 * 1024).has_value());
    CloseEndgameDatabase();
    CurrentVariant = before;
}
