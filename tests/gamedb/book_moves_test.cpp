// Opening a book, finding a position and listing the book moves of a position, on books assembled
// byte by byte from the record table.

#include "book_test_util.h"
#include "gamedb/book_comments.h"
#include "gamedb/book_file.h"
#include "gamedb/book_moves.h"
#include "gamedb/book_record.h"

#include <algorithm>

using namespace gamedb_test;

namespace {

TPositionKey SyntheticKey(std::uint8_t first, std::uint8_t last = 62) {
    TPositionKey k;
    k.fill(62);
    k[0] = first;
    k[16] = last;
    return k;
}

class BookLookup : public TDbTest {
  protected:
    std::unique_ptr<TBookFile> OpenBytes(const Bytes& bytes, const std::string& name = "b.cbk") {
        WriteBytes(Path(name), bytes);
        std::string error;
        auto book = TBookFile::Open(Path(name), &error);
        EXPECT_TRUE(book) << error;
        return book;
    }
};

} // namespace

TEST(BookRecord, StartPositionKeysAnchorTheKeyBytes) {
    const TPositionKey k64 = KeyOf(StartPosition64);
    EXPECT_EQ(k64, (TPositionKey{93, 93, 93, 93, 62, 62, 37, 31, 31, 31, 56, 62, 62, 62, 62, 62, 62}));
    // 10x10: squares 1-20 side 0 (digit 3), 21-30 empty (2), 31-50 side 1 (1), 51 empty.
    // Byte 6 holds squares 19, 20, 21: 3 + 15 + 50 = 68; byte 9 holds 28, 29, 30: 62;
    // byte 10 holds 31, 32, 33: 1 + 5 + 25 = 31; byte 16 holds 49, 50, 51: 1 + 5 + 50 = 56.
    EXPECT_EQ(KeyOf(StartPosition100),
              (TPositionKey{93, 93, 93, 93, 93, 93, 68, 62, 62, 62, 31, 31, 31, 31, 31, 31, 56}));
}

TEST(BookRecord, CodecFollowsTheRecordTable) {
    TRec t;
    t.key = KeyOf(StartPosition64);
    t.side = 1;
    t.result1 = 0x1234;
    t.draws = 0xFFFF;
    t.result3 = 7;
    t.mark = 6;
    t.reserved = 0xAB;
    t.comment = 0x0102;
    t.low = -1;
    t.high = 0x7FFF;
    const Bytes bytes = RecordBytes(t);
    TBookRecord r;
    DecodeBookRecord(bytes.data(), r);
    EXPECT_EQ(r.key, t.key);
    EXPECT_EQ(r.side, 1);
    EXPECT_EQ(r.result1, 0x1234);
    EXPECT_EQ(r.draws, 0xFFFF);
    EXPECT_EQ(r.result3, 7);
    EXPECT_EQ(r.low, -1);
    EXPECT_EQ(r.high, 0x7FFF);
    EXPECT_EQ(r.mark, 6);
    EXPECT_EQ(r.reserved, 0xAB);
    EXPECT_EQ(r.comment, 0x0102);
    Bytes back(32);
    EncodeBookRecord(r, back.data());
    EXPECT_EQ(back, bytes);
    // A record the builder writes: -2000 is 0x30 0xF8, 2000 is 0xD0 0x07.
    TBookRecord fresh;
    EncodeBookRecord(fresh, back.data());
    EXPECT_EQ((Bytes(back.begin() + 24, back.begin() + 28)), (Bytes{0x30, 0xF8, 0xD0, 0x07}));
}

TEST_F(BookLookup, FindBookPosition) {
    {
        SCOPED_TRACE("no records");
        auto book = OpenBytes({});
        EXPECT_EQ(book->RecordCount(), 0);
        EXPECT_EQ(book->FindBookPosition(SyntheticKey(10), 0), 0);
    }
    {
        SCOPED_TRACE("one record");
        auto book = OpenBytes(BookBytes({{SyntheticKey(10), 1}}));
        EXPECT_EQ(book->FindBookPosition(SyntheticKey(10), 1), 1);
        EXPECT_EQ(book->FindBookPosition(SyntheticKey(10), 0), 0);
        EXPECT_EQ(book->FindBookPosition(SyntheticKey(11), 1), 0);
        EXPECT_EQ(book->FindBookPosition(SyntheticKey(9), 1), 0);
    }
    {
        SCOPED_TRACE("one key with both sides");
        auto book = OpenBytes(BookBytes({{SyntheticKey(10), 0}, {SyntheticKey(10), 1}}));
        EXPECT_EQ(book->FindBookPosition(SyntheticKey(10), 0), 1);
        EXPECT_EQ(book->FindBookPosition(SyntheticKey(10), 1), 2);
    }
    {
        SCOPED_TRACE("first, last and in between");
        std::vector<TRec> recs;
        for (std::uint8_t b : {3, 20, 40, 41, 90, 124})
            recs.push_back({SyntheticKey(b), 0});
        recs.push_back({SyntheticKey(40, 63), 1}); // differs in the last byte only
        auto book = OpenBytes(SortedBook(recs));
        ASSERT_EQ(book->RecordCount(), 7);
        EXPECT_EQ(book->FindBookPosition(SyntheticKey(3), 0), 1);
        EXPECT_EQ(book->FindBookPosition(SyntheticKey(40), 0), 3);
        EXPECT_EQ(book->FindBookPosition(SyntheticKey(40, 63), 1), 4);
        EXPECT_EQ(book->FindBookPosition(SyntheticKey(41), 0), 5);
        EXPECT_EQ(book->FindBookPosition(SyntheticKey(124), 0), 7);
        for (std::uint8_t miss : {0, 4, 39, 42, 125, 255})
            EXPECT_EQ(book->FindBookPosition(SyntheticKey(miss), 0), 0) << int(miss);
        EXPECT_EQ(book->FindBookPosition(SyntheticKey(40, 63), 0), 0);
    }
}

TEST_F(BookLookup, DamagedBooksOpenAndAnswer) {
    const TRec a{SyntheticKey(10), 0}, b{SyntheticKey(20), 0}, c{SyntheticKey(30), 0};
    {
        SCOPED_TRACE("a partial record at the end is not read");
        Bytes bytes = BookBytes({a, b});
        bytes.insert(bytes.end(), {1, 2, 3, 4, 5});
        auto book = OpenBytes(bytes);
        EXPECT_EQ(book->RecordCount(), 2);
        EXPECT_EQ(book->FindBookPosition(b.key, 0), 2);
        TBookRecord r;
        EXPECT_FALSE(book->ReadBookRecord(3, r));
        EXPECT_FALSE(book->ReadBookRecord(0, r));
    }
    {
        SCOPED_TRACE("unsorted: the search stays inside the file");
        auto book = OpenBytes(BookBytes({c, a, b}));
        for (const TRec& r : {a, b, c}) {
            const std::int64_t at = book->FindBookPosition(r.key, 0);
            EXPECT_TRUE(at == 0 || (at >= 1 && at <= 3));
        }
    }
    {
        SCOPED_TRACE("a folder is not a book");
        std::filesystem::create_directory(Path("folder.cbk"));
        std::string error;
        EXPECT_FALSE(TBookFile::Open(Path("folder.cbk"), &error));
        EXPECT_FALSE(error.empty());
    }
}

// ---- the book moves of a position -----------------------------------------------------------

namespace {

struct TBookEntry {
    const char* move;
    int result1, draws, result3, mark;
};
struct TRowWant {
    std::string text;
    int share, score, recommended;
};
struct TListCase {
    const char* name;
    TGameType variant;
    std::vector<const char*> line; // moves from the start position to the listed position
    std::vector<TBookEntry> entries;
    std::vector<TRowWant> rows; // in ranked order
};

// Records for the positions after each entry's move from the case's position.
Bytes BookFor(const TListCase& c) {
    const TLine pos = Play(c.variant, c.line);
    std::vector<TRec> recs;
    for (const TBookEntry& e : c.entries) {
        TBoard after = pos.board;
        MakeMove(MoveByText(pos.board, pos.side, c.variant, e.move), after, c.variant);
        TRec r;
        r.key = KeyOf(after);
        r.side = pos.side ^ 1;
        r.result1 = e.result1;
        r.draws = e.draws;
        r.result3 = e.result3;
        r.mark = e.mark;
        recs.push_back(r);
    }
    return SortedBook(recs);
}

const TListCase ListCases[] = {
    {"row text", gtRussian, {}, {{"c3-d4", 5, 3, 2, 2}}, {{"c3-d4! +5-2=3", 100, 80, 1}}},
    {"shares of 1/8 and 7/8 round to even",
     gtRussian,
     {},
     {{"a3-b4", 1, 0, 0, 0}, {"c3-d4", 7, 0, 0, 0}},
     {{"c3-d4# +7-0=0", 88, 100, 1}, {"a3-b4# +1-0=0", 12, 100, 1}}},
    {"shares of 3/8 and 5/8 round to even",
     gtRussian,
     {},
     {{"a3-b4", 3, 0, 0, 0}, {"c3-d4", 5, 0, 0, 0}},
     {{"c3-d4# +5-0=0", 62, 100, 1}, {"a3-b4# +3-0=0", 38, 100, 1}}},
    {"scores of 1/8 and 3/8 round to even",
     gtRussian,
     {},
     {{"c3-d4", 1, 0, 7, 0}, {"e3-f4", 0, 3, 5, 0}},
     {{"e3-f4# +0-5=3", 50, 38, 0}, {"c3-d4# +1-7=0", 50, 12, 0}}},
    {"recommended: 60/19 no, 70/10 yes, 50/20 yes",
     gtRussian,
     {},
     {{"a3-b4", 114, 0, 76, 0}, {"c3-b4", 70, 0, 30, 0}, {"c3-d4", 100, 0, 100, 0}, {"g3-h4", 0, 0, 510, 0}},
     {{"c3-b4# +70-30=0", 10, 70, 1},
      {"c3-d4# +100-100=0", 20, 50, 1},
      {"a3-b4# +114-76=0", 19, 60, 0},
      {"g3-h4# +0-510=0", 51, 0, 0}}},
    {"marks 1..4 always, 5..7 never",
     gtRussian,
     {},
     {{"a3-b4", 10, 0, 0, 5},
      {"c3-b4", 10, 0, 0, 6},
      {"c3-d4", 10, 0, 0, 7},
      {"e3-d4", 0, 0, 10, 1},
      {"e3-f4", 0, 0, 10, 2},
      {"g3-f4", 0, 0, 10, 3},
      {"g3-h4", 0, 0, 10, 4}},
     {{"e3-d4!! +0-10=0", 14, 0, 1},
      {"e3-f4! +0-10=0", 14, 0, 1},
      {"g3-f4!? +0-10=0", 14, 0, 1},
      {"g3-h4 +0-10=0", 14, 0, 1},
      {"a3-b4?! +10-0=0", 14, 100, 0},
      {"c3-b4? +10-0=0", 14, 100, 0},
      {"c3-d4?? +10-0=0", 14, 100, 0}}},
    {"no games and no mark", gtRussian, {}, {{"c3-d4", 0, 0, 0, 0}}, {{"c3-d4#", 0, 50, 0}}},
    {"no games with a mark", gtRussian, {}, {{"c3-d4", 0, 0, 0, 3}}, {{"c3-d4!?", 0, 50, 1}}},
    {"side 1 to move: its wins are 0-1",
     gtRussian,
     {"c3-d4"},
     {{"b6-a5", 1, 0, 3, 0}, {"f6-e5", 3, 1, 0, 0}},
     {{"b6-a5# +3-1=0", 50, 75, 1}, {"f6-e5# +0-3=1", 50, 25, 0}}},
    {"English, side 0 (Black) to move: its wins are 0-1",
     gtEnglish,
     {},
     {{"11-15", 1, 0, 4, 0}, {"09-13", 4, 0, 1, 0}},
     {{"11-15# +4-1=0", 50, 80, 1}, {"09-13# +1-4=0", 50, 20, 0}}},
    {"English, side 1 (White) to move: its wins are 1-0",
     gtEnglish,
     {"11-15"},
     {{"22-18", 4, 1, 0, 0}},
     {{"22-18# +4-0=1", 100, 100, 1}}},
    {"equal rows are not kept in order: [a1, a2, b] gives [b, a2, a1]",
     gtRussian,
     {},
     {{"a3-b4", 1, 0, 1, 0}, {"c3-b4", 1, 0, 1, 0}, {"c3-d4", 0, 0, 0, 2}},
     {{"c3-d4!", 0, 50, 1}, {"c3-b4# +1-1=0", 50, 50, 1}, {"a3-b4# +1-1=0", 50, 50, 1}}},
};

} // namespace

TEST_F(BookLookup, ListBookMovesRatesAndRanks) {
    for (const TListCase& c : ListCases) {
        SCOPED_TRACE(c.name);
        auto book = OpenBytes(BookFor(c));
        const TLine pos = Play(c.variant, c.line);
        TBookMoveList list;
        ListBookMoves(book.get(), {}, pos.board, pos.side, c.variant, ":", list);
        ASSERT_EQ(list.rows.size(), c.rows.size());
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            SCOPED_TRACE(i);
            const TBookMoveRow& r = list.rows[i];
            EXPECT_EQ(r.text, c.rows[i].text);
            EXPECT_EQ(r.share, c.rows[i].share);
            EXPECT_EQ(r.score, c.rows[i].score);
            EXPECT_EQ(r.recommended, c.rows[i].recommended);
            // The row's number leads to its move in the lookup's legal moves.
            ASSERT_GE(r.moveNumber, 1);
            ASSERT_LE(r.moveNumber, static_cast<int>(list.legalMoves.size()));
            EXPECT_TRUE(list.legalMoves[r.moveNumber - 1].SameMove(r.move));
            EXPECT_EQ(r.text.rfind(MoveToText(r.move, c.variant, true, ":"), 0), 0u);
            // Unmarked moves rank as mark 4 once rated.
            EXPECT_NE(r.mark, 0);
        }
    }
}

TEST_F(BookLookup, TwentyBookMovesAtMost) {
    // Three side-0 kings on an open International board: far more than 20 legal moves.
    TBoard b = EmptyBoard;
    b[23] = b[28] = b[3] = sqKing0;
    b[50] = sqMan1;
    TMoveList legal;
    FindMoves(b, 0, legal, gtInternational);
    RemoveDuplicateMoves(legal, b, gtInternational);
    ASSERT_GE(legal.size(), 25u);
    std::vector<TRec> recs;
    for (std::size_t i = 0; i < legal.size(); ++i) {
        TBoard after = b;
        MakeMove(legal[i], after, gtInternational);
        // Later moves get more games, so a cut by rank would keep others than the cut by order.
        recs.push_back({KeyOf(after), 1, static_cast<int>(i + 1)});
    }
    auto book = OpenBytes(SortedBook(recs));
    TBookMoveList list;
    ListBookMoves(book.get(), {}, b, 0, gtInternational, "x", list);
    ASSERT_EQ(list.rows.size(), 20u);
    std::vector<int> numbers;
    for (const TBookMoveRow& r : list.rows)
        numbers.push_back(r.moveNumber);
    std::sort(numbers.begin(), numbers.end());
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(numbers[i], i + 1);
}

TEST_F(BookLookup, MarksAboveSevenReadAsNoMark) {
    for (int mark : {8, 9, 15, 16, 128, 255}) {
        SCOPED_TRACE(mark);
        const TRec r = At(gtRussian, {"c3-d4"});
        TRec stored = r;
        stored.mark = mark;
        auto book = OpenBytes(BookBytes({stored}));
        TBookMoveList list;
        ListBookMoves(book.get(), {}, StartPosition64, 0, gtRussian, ":", list);
        ASSERT_EQ(list.rows.size(), 1u);
        EXPECT_EQ(list.rows[0].text, "c3-d4#");
        EXPECT_EQ(list.rows[0].mark, 4);
        EXPECT_EQ(list.rows[0].recommended, 0);
    }
}

TEST_F(BookLookup, ABookCutShortWhileOpenListsNothing) {
    // Another program copies over the open book in place: the file is first emptied, then written
    // again. The lookup must not touch the pages that went away.
    TRec d4 = At(gtRussian, {"c3-d4"});
    d4.result1 = 3;
    const Bytes bytes = BookBytes({d4});
    auto book = OpenBytes(bytes, "cut.cbk");
    TBookMoveList list;
    ListBookMoves(book.get(), {}, StartPosition64, 0, gtRussian, ":", list);
    ASSERT_EQ(list.rows.size(), 1u);

    std::filesystem::resize_file(Path("cut.cbk"), 0);
    EXPECT_FALSE(book->Whole());
    ListBookMoves(book.get(), {}, StartPosition64, 0, gtRussian, ":", list);
    EXPECT_TRUE(list.rows.empty());

    ASSERT_TRUE(WriteBytes(Path("cut.cbk"), bytes));
    EXPECT_TRUE(book->Whole());
    ListBookMoves(book.get(), {}, StartPosition64, 0, gtRussian, ":", list);
    EXPECT_EQ(list.rows.size(), 1u);
}

TEST_F(BookLookup, PositionComments) {
    // The position after c3-d4 carries comment 2, after c3-d4 b6-a5 none, after a3-b4 comment 9.
    TRec d4 = At(gtRussian, {"c3-d4"});
    d4.comment = 2;
    TRec a5 = At(gtRussian, {"c3-d4", "b6-a5"});
    TRec b4 = At(gtRussian, {"a3-b4"});
    b4.comment = 9;
    auto book = OpenBytes(SortedBook({d4, a5, b4}));
    const std::vector<std::string> comments = ParseBookComments("never shown\r\none\ntwo\rthree");
    ASSERT_EQ(comments, (std::vector<std::string>{"never shown", "one", "two", "three"}));

    TBookMoveList list;
    list.positionComment = "before";
    ListBookMoves(book.get(), comments, StartPosition64, 0, gtRussian, ":", list);
    EXPECT_EQ(list.positionComment, ""); // the start position is not in the book
    EXPECT_EQ(list.rows.size(), 2u);

    const TLine afterD4 = Play(gtRussian, {"c3-d4"});
    ListBookMoves(book.get(), comments, afterD4.board, afterD4.side, gtRussian, ":", list);
    EXPECT_EQ(list.positionComment, "two");
    const TLine afterA5 = Play(gtRussian, {"c3-d4", "b6-a5"});
    ListBookMoves(book.get(), comments, afterA5.board, afterA5.side, gtRussian, ":", list);
    EXPECT_EQ(list.positionComment, "two"); // comment 0 keeps the previous comment
    const TLine afterB4 = Play(gtRussian, {"a3-b4"});
    ListBookMoves(book.get(), comments, afterB4.board, afterB4.side, gtRussian, ":", list);
    EXPECT_EQ(list.positionComment, ""); // a number past the file's lines shows nothing

    // No book: the rows go, the comment stays.
    list.positionComment = "kept";
    ListBookMoves(nullptr, comments, StartPosition64, 0, gtRussian, ":", list);
    EXPECT_TRUE(list.rows.empty());
    EXPECT_EQ(list.positionComment, "kept");
}

TEST(BookComments, LineEnds) {
    EXPECT_TRUE(ParseBookComments("").empty());
    EXPECT_EQ(ParseBookComments("a"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(ParseBookComments("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(ParseBookComments("a\r\n\r\nb\n\nc\r\rd"),
              (std::vector<std::string>{"a", "", "b", "", "c", "", "d"}));
    EXPECT_EQ(ParseBookComments("\n"), (std::vector<std::string>{""}));
    EXPECT_EQ(ParseBookComments(std::string("\xC4\xE5\xE1\xFE\xF2\0x\r\n", 9)),
              (std::vector<std::string>{std::string("\xC4\xE5\xE1\xFE\xF2\0x", 7)}));
    std::string many;
    for (int i = 0; i < 70000; ++i)
        many += "x\n";
    EXPECT_EQ(ParseBookComments(many).size(), MaxBookCommentLines);
    EXPECT_EQ(BookCommentFileName("Books/Russian.cbk"), "Books/Russian.cbn");
    EXPECT_EQ(BookCommentFileName("Books.d/book"), "Books.d/book.cbn");
}
