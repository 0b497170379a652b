// The interface thread and the engine thread list book moves at the same time, each for its own
// position, while the book is reopened under them: each gets its own rows and comment.

#include "book_test_util.h"
#include "gamedb/opening_book.h"

#include <algorithm>
#include <atomic>
#include <thread>

using namespace gamedb_test;

using BookThreads = TDbTest;

TEST_F(BookThreads, TwoListersGetTheirOwnRows) {
    // After c3-d4 (comment 1) black has two book replies; at the start white has three moves.
    std::vector<TRec> recs;
    for (const char* m : {"a3-b4", "c3-d4", "g3-h4"})
        recs.push_back(At(gtRussian, {m}));
    recs[1].comment = 1;
    for (const char* m : {"b6-a5", "f6-g5"})
        recs.push_back(At(gtRussian, {"c3-d4", m}));
    WriteBytes(Path("ru.cbk"), SortedBook(recs));
    WriteText(Path("ru.cbn"), "\nAfter c3-d4\n");
    TOpeningBook book;
    TBookSettings s;
    s.book[0] = Path("ru.cbk");
    book.SetSettings(s);
    book.Open(gtRussian, prompt);
    ASSERT_TRUE(book.IsOpen());

    const TLine start = Play(gtRussian, {});
    const TLine d4 = Play(gtRussian, {"c3-d4"});
    std::atomic<bool> go{false}, done{false};
    std::atomic<int> wrong{0};
    auto lister = [&](const TLine& pos, std::size_t rows, const std::string& firstWord,
                      const std::string& comment) {
        TBookMoveList list;
        while (!go.load())
            std::this_thread::yield();
        for (int i = 0; i < 300; ++i) {
            book.ListBookMoves(pos.board, pos.side, gtRussian, ":", list);
            // A lookup between a close and the reopen finds no book: no rows, comment kept.
            if (list.rows.empty()) continue;
            if (list.rows.size() != rows || list.rows[0].text.rfind(firstWord, 0) != 0 ||
                list.positionComment != comment)
                ++wrong;
        }
    };
    std::thread ui(lister, start, 3, "a3-b4", "");
    std::thread engine(lister, d4, 2, "b6-a5", "After c3-d4");
    std::thread reopen([&] {
        while (!go.load())
            std::this_thread::yield();
        for (int i = 0; i < 50 && !done.load(); ++i)
            book.Open(gtRussian, prompt);
    });
    go = true;
    ui.join();
    engine.join();
    done = true;
    reopen.join();
    EXPECT_EQ(wrong.load(), 0);
}
