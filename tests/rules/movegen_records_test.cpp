// The moves of a position in the stored byte layouts, as the exported FindMoves hands them out.
#include "movegen_test_util.h"

#include "rules/movegen.h"
#include "rules/movegen_records.h"

#include <gtest/gtest.h>

#include <vector>

using namespace movegen_test;

namespace {
std::vector<std::int8_t> Bytes(const TBoard& b) {
    return {b.sq.begin() + 1, b.sq.end()};
}
} // namespace

TEST(MovegenRecords, CaptureRecordLayout) {
    const TBoard b = BoardFromSquares("w21 b26 b27");
    std::vector<std::uint8_t> records(MaxMoveRecords * MoveRecordSize, 0xEE);
    std::uint8_t count = 99;
    ASSERT_EQ(FindMovesToRecords(Bytes(b).data(), 0, records.data(), &count, gtRussian), 3);
    ASSERT_EQ(count, 3);
    // 21(26)30(27)23: header zeros, 2 captures from 21, pairs, zero tail.
    std::vector<std::uint8_t> expected(MoveRecordSize, 0);
    expected[6] = 2;
    expected[7] = 21;
    expected[8] = 26;
    expected[9] = 30;
    expected[10] = 27;
    expected[11] = 23;
    EXPECT_EQ(std::vector<std::uint8_t>(records.begin(), records.begin() + MoveRecordSize), expected);
    EXPECT_EQ(records[3 * MoveRecordSize], 0xEE) << "nothing is written past the moves";

    TMove node;
    node.annotation = 0x0152;
    node.parent = 0x0304;
    node.mainLine = 1;
    node.from = 9;
    node.squares[0] = 13;
    std::uint8_t out[MoveRecordSize];
    EncodeMoveRecord(node, out);
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 9),
              (std::vector<std::uint8_t>{0x52, 0x01, 0x04, 0x03, 1, 0, 0, 9, 13}));
}

// More moves than the count byte holds: the first 255 are written and the true number returned.
TEST(MovegenRecords, LongListsAreCutAtTheCountAndSaySo) {
    const char* squares = ".....bbb......bb......bbb.W....bbbb......bbbb.....";
    TBoard b;
    for (int s = 1; s <= 50; ++s)
        b[s] = squares[s - 1] == 'b' ? sqMan1 : squares[s - 1] == 'W' ? sqKing0 : sqEmpty;
    TMoveList list;
    FindMoves(b, 0, list, gtInternational);
    std::vector<std::uint8_t> records(MaxMoveRecords * MoveRecordSize);
    std::uint8_t count = 0;
    EXPECT_EQ(FindMovesToRecords(Bytes(b).data(), 0, records.data(), &count, gtInternational),
              static_cast<int>(list.size()));
    EXPECT_EQ(count, MaxMoveRecords);
    for (int i = 0; i < MaxMoveRecords; ++i) {
        std::uint8_t one[MoveRecordSize];
        EncodeMoveRecord(list[i], one);
        ASSERT_EQ(std::vector<std::uint8_t>(one, one + MoveRecordSize),
                  std::vector<std::uint8_t>(records.begin() + i * MoveRecordSize,
                                            records.begin() + (i + 1) * MoveRecordSize));
    }
}

TEST(MovegenRecords, BadArgumentsAreRefused) {
    std::vector<std::int8_t> board = Bytes(StartPosition64);
    std::vector<std::uint8_t> records(MaxMoveRecords * MoveRecordSize);
    std::uint8_t count = 7;
    EXPECT_EQ(FindMovesToRecords(board.data(), 2, records.data(), &count, gtRussian), -1);
    EXPECT_EQ(count, 0);
    board[14] = 3; // square 15: the search pattern's "any" value is no piece
    EXPECT_EQ(FindMovesToRecords(board.data(), 0, records.data(), &count, gtRussian), -1);
    board[14] = 0;
    EXPECT_EQ(FindMovesToRecords(nullptr, 0, records.data(), &count, gtRussian), -1);
    EXPECT_EQ(FindMovesToRecords(board.data(), 0, nullptr, &count, gtRussian), -1);
    EXPECT_EQ(FindMovesToRecords(board.data(), 0, records.data(), nullptr, gtRussian), -1);
    EXPECT_EQ(FindMovesToRecords(board.data(), 0, records.data(), &count, 0), -1);
    // Bytes beyond square 32 play no part on the small board.
    board[40] = 5;
    EXPECT_EQ(FindMovesToRecords(board.data(), 0, records.data(), &count, gtRussian), 7);
    EXPECT_EQ(count, 7);
}
